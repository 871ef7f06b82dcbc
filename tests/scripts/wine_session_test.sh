#!/usr/bin/env bash
# The Wine session script against the ways its display went missing: a
# session brought up by a program run before the start step, records of
# processes that are gone or are someone else's, a display that stopped
# answering, a wineserver started under no display, and no display at all.
# Real Xvfb servers; Wine itself is stood in for by two small scripts that
# note what display they were started under.
#   wine_session_test.sh <wine-session.sh>
set -uo pipefail

session=${1:?wine-session.sh}
work=$(mktemp -d)
build="$work/build"
fake="$work/fake"
mkdir -p "$build/wineprefix" "$fake"
# The prefix counts as made: the stand-in has none to make.
touch "$build/wineprefix/.kq-ready"
state="$build/wine-session"

# The stand-in wineserver: "-f -p N" runs until killed and notes its display;
# -k ends the running one; -w waits for it to go.
cat >"$fake/wineserver" <<'EOF'
#!/usr/bin/env bash
here=$(dirname "$0")
case "$1" in
  -f) echo "${DISPLAY:-none}" >"$here/server.display"; echo $$ >"$here/server.pid"; exec sleep 600 ;;
  -k) [ -f "$here/server.pid" ] && kill "$(cat "$here/server.pid")" 2>/dev/null; echo killed >>"$here/server.log" ;;
  -w) while [ -f "$here/server.pid" ] && kill -0 "$(cat "$here/server.pid")" 2>/dev/null; do sleep 0.1; done ;;
esac
exit 0
EOF
# The stand-in loader: notes the display of every program and says whether
# that display answers.
cat >"$fake/wine" <<'EOF'
#!/usr/bin/env bash
here=$(dirname "$0")
echo "$* DISPLAY=${DISPLAY:-none}" >>"$here/wine.log"
if [ "$1" = probe ]; then
  timeout 5 xdpyinfo -display "$DISPLAY" >/dev/null 2>&1 && echo answers || echo silent
fi
EOF
chmod +x "$fake/wineserver" "$fake/wine"
export KQ_WINE="$fake/wine" KQ_WINESERVER="$fake/wineserver"

failures=0
foreign=()
cleanup() {
  "$session" stop "$build" >/dev/null 2>&1
  for pid in "${foreign[@]}"; do kill "$pid" 2>/dev/null; done
  rm -rf "$work"
}
trap cleanup EXIT
# A run ended by ctest's timeout still takes its servers down.
trap 'exit 1' TERM INT

check() {  # <what> <command...>: the command must succeed
  local what=$1
  shift
  if "$@"; then
    echo "ok: $what"
  else
    echo "FAILED: $what"
    failures=$((failures + 1))
  fi
}

record_field() { awk -v f="$2" '{print $f}' "$state/$1" 2>/dev/null; }
display_of_session() { record_field xvfb 3; }
answers() { xdpyinfo -display "$1" >/dev/null 2>&1; }
alive() { kill -0 "$1" 2>/dev/null; }
# Gone, or a zombie that its new parent has yet to reap.
gone() { ! alive "$1" || [ "$(awk '{print $3}' "/proc/$1/stat" 2>/dev/null)" = Z ]; }

# 1. A program run before the start step brings the display up first, and the
#    wineserver (with the desktop) starts under it.
out=$("$session" run "$build" probe)
d1=$(display_of_session)
check "run before start: the program sees a display that answers" [ "$out" = answers ]
check "run before start: the wineserver started under that display" [ "$(cat "$fake/server.display")" = "$d1" ]
check "run before start: the warm-up ran under that display too" grep -q "cmd.exe /c exit DISPLAY=$d1" "$fake/wine.log"

# 2. The start step afterwards keeps what answers: same display, same server.
server_before=$(cat "$fake/server.pid")
check "start after run: succeeds" "$session" start "$build"
check "start after run: keeps the display" [ "$(display_of_session)" = "$d1" ]
check "start after run: keeps the server" [ "$(cat "$fake/server.pid")" = "$server_before" ]

# 3. A record naming a live process that is not ours (a reused pid) is not
#    trusted, and that process is left alone.
"$session" stop "$build" >/dev/null
sleep 600 &
foreign+=($!)
echo "${foreign[0]} 1 :4242" >"$state/xvfb"
out=$("$session" run "$build" probe)
check "reused pid: the program still gets a display that answers" [ "$out" = answers ]
check "reused pid: the session took a display of its own" [ "$(display_of_session)" != ":4242" ]
check "reused pid: the other process lives on" alive "${foreign[0]}"
"$session" stop "$build" >/dev/null
check "stop: leaves the other process alone" alive "${foreign[0]}"

# 4. An Xvfb of ours that stops answering is replaced, and so is the server
#    started under it.
"$session" start "$build" >/dev/null
frozen=$(record_field xvfb 1)
frozen_display=$(display_of_session)
kill -STOP "$frozen"
out=$("$session" run "$build" probe)
check "frozen display: the program gets one that answers" [ "$out" = answers ]
check "frozen display: the frozen Xvfb was ended" gone "$frozen"
check "frozen display: the server runs under the new display" [ "$(cat "$fake/server.display")" = "$(display_of_session)" ]
check "frozen display: the new display is not the frozen one's record" [ "$(record_field xvfb 1)" != "$frozen" ]
echo "(frozen display was $frozen_display)"

# 5. A wineserver started under no display (or another one) is replaced
#    before any program runs.
"$session" start "$build" >/dev/null
read -r spid sstart _ <"$state/wineserver"
echo "$spid $sstart none" >"$state/wineserver"
kills_before=$(wc -l <"$fake/server.log" 2>/dev/null || echo 0)
out=$("$session" run "$build" probe)
check "server under no display: replaced" [ "$(wc -l <"$fake/server.log")" -gt "$kills_before" ]
check "server under no display: the new one runs under the session's display" \
  [ "$(cat "$fake/server.display")" = "$(display_of_session)" ]

# 6. Stop ends the session's display.
d6=$(display_of_session)
"$session" stop "$build" >/dev/null
check "stop: the display is gone" bash -c "! xdpyinfo -display $d6 >/dev/null 2>&1"
check "stop: no record is left" [ ! -e "$state/xvfb" -a ! -e "$state/wineserver" ]

# 7. Where no display can be had, run refuses with a message and runs nothing.
mkdir -p "$work/noxvfb"
printf '#!/bin/sh\nexit 1\n' >"$work/noxvfb/Xvfb"
chmod +x "$work/noxvfb/Xvfb"
: >"$fake/wine.log"
err=$(PATH="$work/noxvfb:$PATH" "$session" run "$build" probe 2>&1 >/dev/null)
status=$?
check "no display: run fails" [ "$status" -ne 0 ]
check "no display: run says why" grep -q "no X display answers" <<<"$err"
check "no display: nothing was run" [ ! -s "$fake/wine.log" ]

if ((failures)); then
  echo "$failures check(s) failed"
  exit 1
fi
echo "all checks passed"
