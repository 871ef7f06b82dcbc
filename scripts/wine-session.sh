#!/usr/bin/env bash
# The private Wine session of one build folder, used by the Windows tests: an
# Xvfb display of its own that has been seen to answer, and a wineserver with
# Wine's desktop started under that display.
#   wine-session.sh start   <build>   bring the session up (display first) and say which display it has
#   wine-session.sh stop    <build>   stop its wineserver, then its Xvfb (only the one it started)
#   wine-session.sh run     <build> <program> [args...]   run a Windows program in the session,
#                                     bringing the session up first; refuses when no display answers
#   wine-session.sh display <build>   bring up only the display and print it
#   KQ_WINEDEBUG=trace+clipboard wine-session.sh run ...   Wine's own traces (none unless asked)
#
# Why the display comes first, always: Wine's desktop process, started by the
# first program of a wineserver, chooses the display driver for every later
# program of that server. A desktop started without a display (as test
# discovery used to, before the start step) left every window of the run
# uncreatable although the start step had succeeded. So every program here
# runs under the verified display, and a wineserver that was started under
# another display (or none) is replaced.
#
# Neither record of a process is trusted alone: a process is ours only while
# its pid still has the start time recorded with it (pids are reused), and a
# display is used only after xdpyinfo has had an answer from it.
set -euo pipefail

WINE=${KQ_WINE:-/usr/lib/wine/wine64}
WINESERVER=${KQ_WINESERVER:-/usr/lib/wine/wineserver}

cmd=${1:?command}
build=$(cd "${2:?build folder}" && pwd)
shift 2

export WINEPREFIX="$build/wineprefix"
export WINEDEBUG=${KQ_WINEDEBUG:--all}
export WINEARCH=win64
# Code page 932: Wine takes the ANSI code page from the locale.
export LC_ALL=ja_JP.UTF-8 LANG=ja_JP.UTF-8
export WINESERVER

state="$build/wine-session"
mkdir -p "$state"
# X resources of the session's own. Without any, the X library looks for the
# user's resource files anew at every default Wine asks it for while drawing
# text, and drawing costs what the machine's home folder makes it cost.
resources="$state/Xresources"
[ -s "$resources" ] || echo '*kqWineSession: true' >"$resources"
export XENVIRONMENT="$resources"
# Records: "<pid> <start time> <display>".
xvfb_record="$state/xvfb"
server_record="$state/wineserver"

# The start time of a live process (not a zombie waiting to be reaped); fails
# for any other pid. With its pid it names one process for good.
start_time() {
  local stat
  stat=$(cat "/proc/$1/stat" 2>/dev/null) || return 1
  # The command name, in parentheses, may hold blanks: count fields after it.
  stat=${stat##*) }
  # shellcheck disable=SC2086
  set -- $stat
  [ "$1" != Z ] || return 1
  echo "${20}"
}

# Whether the process of a record is still the one recorded.
recorded_alive() {
  local pid start display
  [ -f "$1" ] && read -r pid start display <"$1" || return 1
  [ "$(start_time "$pid" || true)" = "$start" ]
}

recorded_display() {
  local pid start display
  [ -f "$1" ] && read -r pid start display <"$1" || return 1
  echo "$display"
}

answers() { timeout 5 xdpyinfo -display "$1" >/dev/null 2>&1; }

# The session's display when its Xvfb is the one started and answers.
session_display() {
  recorded_alive "$xvfb_record" || return 1
  local display
  display=$(recorded_display "$xvfb_record")
  answers "$display" && echo "$display"
}

# Whether the process has ended: gone, or dead and waiting to be reaped (an
# orphan's parent may be slow to reap it).
ended() {
  local stat
  stat=$(cat "/proc/$1/stat" 2>/dev/null) || return 0
  stat=${stat##*) }
  [ "${stat%% *}" = Z ]
}

# Ends a process of ours and waits until it has ended, so that what it held
# (a display, a prefix) is free when this returns.
end_process() {
  local pid=$1
  kill "$pid" 2>/dev/null || return 0
  for _ in $(seq 50); do
    ended "$pid" && return 0
    sleep 0.1
  done
  # A stopped or hung server ignores the polite signal; a killed one may
  # still take a moment to die on a busy machine.
  kill -9 "$pid" 2>/dev/null || return 0
  for _ in $(seq 100); do
    ended "$pid" && return 0
    sleep 0.1
  done
}

stop_xvfb() {
  if recorded_alive "$xvfb_record"; then
    local pid _
    read -r pid _ <"$xvfb_record"
    end_process "$pid"
  fi
  rm -f "$xvfb_record" "$state/xvfb.number"
}

start_xvfb() {
  local attempt pid number
  for attempt in 1 2 3; do
    # Xvfb chooses a free display itself and writes its number once it
    # serves it: unlike a number picked here by looking for lock files, it
    # cannot be one that another session's Xvfb is starting on at this moment.
    rm -f "$state/xvfb.number"
    setsid Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp \
      3>"$state/xvfb.number" </dev/null >"$state/xvfb.log" 2>&1 9>&- &
    pid=$!
    for _ in $(seq 100); do
      [ -s "$state/xvfb.number" ] && break
      start_time "$pid" >/dev/null || break
      sleep 0.1
    done
    number=$(tr -dc 0-9 <"$state/xvfb.number" 2>/dev/null || true)
    if [ -n "$number" ] && answers ":$number"; then
      echo "$pid $(start_time "$pid") :$number" >"$xvfb_record"
      return 0
    fi
    echo "wine-session: Xvfb (pid $pid, display :${number:-none}) did not answer, attempt $attempt" >&2
    end_process "$pid"
  done
  return 1
}

create_prefix() {
  # Without these overrides wineboot asks to install Mono and Gecko.
  WINEDLLOVERRIDES="mscoree,mshtml=" "$WINE" wineboot -i </dev/null >/dev/null 2>&1
  "$WINESERVER" -w
  # The host's dialog font, mapped to the installed Japanese Gothic font.
  "$WINE" reg add 'HKCU\Software\Wine\Fonts\Replacements' /v 'MS UI Gothic' /t REG_SZ /d 'IPAGothic' /f \
    </dev/null >/dev/null 2>&1
  # Without a window manager (Xvfb has none) Wine waits for one each time a
  # captioned window closes; unmanaged windows close at once.
  "$WINE" reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /t REG_SZ /d N /f </dev/null >/dev/null 2>&1
  "$WINESERVER" -w
  touch "$WINEPREFIX/.kq-ready"
}

# Under the session's lock: a display that answers in DISPLAY, then the prefix
# and a wineserver started under that display.
up() {
  exec 9>"$state/lock"
  flock 9
  if ! DISPLAY=$(session_display); then
    stop_xvfb
    if ! start_xvfb || ! DISPLAY=$(session_display); then
      flock -u 9
      return 1
    fi
  fi
  export DISPLAY
  [ "${1:-}" = display-only ] && { flock -u 9; return 0; }
  [ -f "$WINEPREFIX/.kq-ready" ] || create_prefix
  if ! recorded_alive "$server_record" || [ "$(recorded_display "$server_record")" != "$DISPLAY" ]; then
    "$WINESERVER" -k 2>/dev/null || true
    "$WINESERVER" -w 2>/dev/null || true
    # A persistent server started with no pipes attached: Wine's service processes
    # would otherwise hold the output pipe of whichever test started them.
    setsid "$WINESERVER" -f -p 30 </dev/null >/dev/null 2>&1 9>&- &
    echo "$! $(start_time $! || true) $DISPLAY" >"$server_record"
    # Warm-up: the desktop and the service processes start now, under DISPLAY.
    "$WINE" cmd.exe /c exit </dev/null >/dev/null 2>&1 9>&- || true
  fi
  flock -u 9
}

no_display() {
  echo "wine-session: no X display answers for $build: Windows programs there could not create windows" >&2
  exit 1
}

case "$cmd" in
  start)
    up || no_display
    echo "wine-session: display $DISPLAY answers, wineserver runs under it"
    ;;
  display)
    up display-only || no_display
    echo "$DISPLAY"
    ;;
  stop)
    exec 9>"$state/lock"
    flock 9
    "$WINESERVER" -k 2>/dev/null || true
    # Wait until it is gone, so a session started right after finds no server on its way out.
    "$WINESERVER" -w 2>/dev/null || true
    rm -f "$server_record"
    stop_xvfb
    ;;
  run)
    up || no_display
    exec "$WINE" "$@" 9>&-
    ;;
  *) echo "wine-session: unknown command $cmd" >&2; exit 2 ;;
esac
