#!/usr/bin/env bash
# The private Wine session of one build folder, used by the Windows tests.
#   wine-session.sh ensure <build>   create the prefix on first use and keep a wineserver running
#   wine-session.sh start  <build>   ensure, then start an Xvfb on a free display
#   wine-session.sh stop   <build>   stop that Xvfb (by its own pid) and the prefix's wineserver
#   wine-session.sh run    <build> <program> [args...]   run a Windows program in the session
set -euo pipefail

WINE=/usr/lib/wine/wine64
WINESERVER=/usr/lib/wine/wineserver

cmd=${1:?command}
build=$(cd "${2:?build folder}" && pwd)
shift 2

export WINEPREFIX="$build/wineprefix"
export WINEDEBUG=-all
export WINEARCH=win64
# Code page 932: Wine takes the ANSI code page from the locale.
export LC_ALL=ja_JP.UTF-8 LANG=ja_JP.UTF-8
export WINESERVER

state="$build/wine-session"
mkdir -p "$state"

alive() { [ -f "$1" ] && kill -0 "$(cat "$1")" 2>/dev/null; }

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

ensure() {
  exec 9>"$state/lock"
  flock 9
  [ -f "$WINEPREFIX/.kq-ready" ] || create_prefix
  if ! alive "$state/wineserver.pid"; then
    # A persistent server started with no pipes attached: Wine's service processes
    # would otherwise hold the output pipe of whichever test started them.
    setsid "$WINESERVER" -f -p 30 </dev/null >/dev/null 2>&1 &
    echo $! >"$state/wineserver.pid"
    "$WINE" cmd.exe /c exit </dev/null >/dev/null 2>&1 || true
  fi
  flock -u 9
}

start_xvfb() {
  alive "$state/xvfb.pid" && return 0
  local n
  for n in $(seq 90 190); do
    [ -e "/tmp/.X$n-lock" ] || [ -e "/tmp/.X11-unix/X$n" ] && continue
    setsid Xvfb ":$n" -screen 0 1280x1024x24 -nolisten tcp </dev/null >/dev/null 2>&1 &
    local pid=$!
    for _ in $(seq 50); do
      [ -e "/tmp/.X11-unix/X$n" ] && break
      kill -0 "$pid" 2>/dev/null || break
      sleep 0.1
    done
    if [ -e "/tmp/.X11-unix/X$n" ] && kill -0 "$pid" 2>/dev/null; then
      echo "$pid" >"$state/xvfb.pid"
      echo ":$n" >"$state/display"
      return 0
    fi
    kill "$pid" 2>/dev/null || true
  done
  echo "wine-session: no free X display" >&2
  return 1
}

case "$cmd" in
  ensure) ensure ;;
  start)
    # The display first: Wine's desktop process, started by the first program of
    # the session, keeps whatever display it found for the whole session.
    start_xvfb
    export DISPLAY=$(cat "$state/display")
    ensure
    ;;
  stop)
    if alive "$state/xvfb.pid"; then kill "$(cat "$state/xvfb.pid")"; fi
    rm -f "$state/xvfb.pid" "$state/display"
    "$WINESERVER" -k 2>/dev/null || true
    # Wait until it is gone, so a session started right after finds no server on its way out.
    "$WINESERVER" -w 2>/dev/null || true
    rm -f "$state/wineserver.pid"
    ;;
  run)
    if alive "$state/xvfb.pid" && [ -f "$state/display" ]; then export DISPLAY=$(cat "$state/display"); fi
    ensure
    exec "$WINE" "$@"
    ;;
  *) echo "wine-session: unknown command $cmd" >&2; exit 2 ;;
esac
