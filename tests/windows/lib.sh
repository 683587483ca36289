# Shared by the Wine test cases: a Wine prefix of the case's own, copied from
# the one the fixture prepared; an X server of its own; the program, the
# stand-in library and the probe installed in c:\devov; helpers that run
# them with time limits; and a clean-up that leaves nothing running.
#
# A case script is called with the build folder first; it starts with
#   source lib.sh; begin_case NAME "$@"
# and runs under xvfb-run (begin_case re-starts the script under it).

set -uo pipefail

readonly DEVOV_CAPTION="Velk 6271 Wireless USB Update"
readonly PROGRAM='c:\devov\6271DEVOV.exe'
readonly PROBE='c:\devov\devov-probe.exe'
readonly WRITER='c:\devov\devov-write.exe'
# Every run of a Windows program is bounded, so a hung dialog fails the
# case instead of the whole test run.
readonly RUN_TIMEOUT=60

begin_case() {
  CASE_NAME=$1
  shift
  BUILD_DIR=$(cd "$1" && pwd)
  if [ -z "${DEVOV_CASE_DISPLAY:-}" ]; then
    export DEVOV_CASE_DISPLAY=1
    exec xvfb-run -a -s "-screen 0 1024x768x24" bash "$0" "$@"
  fi
  WORK="$BUILD_DIR/wine/cases/$CASE_NAME"
  rm -rf "$WORK"
  mkdir -p "$WORK/host"
  if [ ! -f "$BUILD_DIR/wine/base/system.reg" ]; then
    echo "no prepared Wine prefix in $BUILD_DIR/wine/base" >&2
    exit 1
  fi
  cp -a "$BUILD_DIR/wine/base" "$WORK/prefix" || exit 1
  export WINEPREFIX="$WORK/prefix"
  export WINEDEBUG=-all
  # The stand-in library's virtual host: an empty folder answers with its
  # defaults, and the developer's own ~/.6271devov stays out of the tests.
  export DEVOV_PREFIX="$WORK/host"
  DRIVE_C="$WINEPREFIX/drive_c"
  LOG="$DRIVE_C/flash.log"
  mkdir -p "$DRIVE_C/devov"
  cp "$BUILD_DIR/6271DEVOV.exe" "$BUILD_DIR/ISW32N50.dll" "$BUILD_DIR/devov-probe.exe" \
    "$BUILD_DIR/devov-write.exe" "$DRIVE_C/devov/" || exit 1
  BACKGROUND=()
  trap end_case EXIT
}

end_case() {
  local pid
  for pid in "${BACKGROUND[@]}"; do kill "$pid" 2>/dev/null; done
  wineserver -k 2>/dev/null
  wineserver -w 2>/dev/null
}

fail() {
  echo "FAIL [$CASE_NAME]: $*" >&2
  if [ -f "$LOG" ]; then
    echo "--- c:\\flash.log" >&2
    cat -A "$LOG" >&2
  fi
  exit 1
}

# devov ARGS...: runs the program in the foreground; its status is the
# program's exit status.
devov() { timeout "$RUN_TIMEOUT" wine "$PROGRAM" "$@"; }

# devov_background ARGS...: starts the program; its process id is in $DEVOV_PID.
devov_background() {
  timeout "$RUN_TIMEOUT" wine "$PROGRAM" "$@" &
  DEVOV_PID=$!
  BACKGROUND+=("$DEVOV_PID")
}

# wait_devov: waits for the background run; its exit status is in
# $DEVOV_STATUS. (A command substitution could not wait: it runs in a
# subshell, whose child the run is not.)
wait_devov() {
  wait "$DEVOV_PID"
  DEVOV_STATUS=$?
}

probe() { timeout "$RUN_TIMEOUT" wine "$PROBE" "$@"; }

# devov_tool ARGS...: the native 6271devov-tool, whose path the test run
# gives in DEVOV_TOOL; it makes and inspects the virtual host.
devov_tool() {
  [ -x "${DEVOV_TOOL:-}" ] || fail "no 6271devov-tool at '${DEVOV_TOOL:-}'"
  "$DEVOV_TOOL" "$@"
}

# windows_path PATH: an absolute Unix path as Wine reaches it, on drive Z.
windows_path() { echo "Z:${1//\//\\}"; }

# import_registry FILE: a REGEDIT4 fixture into the case's Wine registry.
# Wine keeps "Hardware Profiles\Current\System" volatile, and regedit makes
# no key below a volatile one; the probe makes those device instance keys
# volatile too and sets their CSConfigFlags. They last as long as the Wine
# server, which is kept running until the case ends.
import_registry() {
  local file=$1 line key=""
  # Key names compare without regard to case, as the registry does.
  local case_rule
  case_rule=$(shopt -p nocasematch)
  shopt -s nocasematch
  wineserver -p
  timeout "$RUN_TIMEOUT" wine regedit /s "$(windows_path "$file")" >/dev/null 2>&1 ||
    fail "regedit did not import $file"
  local device_key='^\[HKEY_LOCAL_MACHINE\\(system\\CurrentControlSet\\Hardware Profiles'
  device_key+='\\Current\\System\\.*)\]$'
  while IFS= read -r line; do
    line=${line%$'\r'}
    if [[ $line =~ $device_key ]]; then
      key=${BASH_REMATCH[1]}
    elif [[ $line =~ ^\[ ]]; then
      key=""
    elif [ -n "$key" ] && [[ $line =~ ^\"CSConfigFlags\"=dword:([0-9a-fA-F]{8})$ ]]; then
      probe volatile-dword "$key" CSConfigFlags "0x${BASH_REMATCH[1]}" ||
        fail "cannot make the device key $key"
    fi
  done < "$file"
  eval "$case_rule"
}

expect_eq() {
  [ "$2" = "$3" ] || fail "$1: got [$2], expected [$3]"
}

expect_match() {
  [[ $2 =~ $3 ]] || fail "$1: [$2] does not match /$3/"
}

# log_lines: the log's lines with their CR LF ends taken off; fails when a
# line does not end in exactly one CR LF.
log_lines() {
  [ -f "$LOG" ] || fail "no c:\\flash.log"
  local all crlf double
  all=$(wc -l < "$LOG")
  crlf=$(grep -c $'\r$' "$LOG")
  double=$(grep -c $'\r\r' "$LOG")
  [ "$all" = "$crlf" ] && [ "$double" = 0 ] || fail "log lines must end in CR LF"
  tr -d '\r' < "$LOG"
}

# screenshot FILE: the whole screen as PNG.
screenshot() {
  xwd -root -display "$DISPLAY" | convert xwd:- "png:$1"
}

# red_pixels PNG "X Y W H": how many pixels of the rectangle are red.
red_pixels() {
  local x y w h
  read -r x y w h <<< "$2"
  convert "$1" -crop "${w}x${h}+${x}+${y}" +repage -fuzz 25% \
    -fill black +opaque '#FF0000' -fill white -opaque '#FF0000' \
    -format '%[fx:round(mean*w*h)]' info:
}

# dark_pixels PNG "X Y W H": how many pixels of the rectangle are near
# black (below a quarter of full brightness).
dark_pixels() {
  local x y w h
  read -r x y w h <<< "$2"
  convert "$1" -crop "${w}x${h}+${x}+${y}" +repage -colorspace Gray -threshold 25% -negate \
    -format '%[fx:round(mean*w*h)]' info:
}

# save_dialog_shot PNG: the screen cropped to the main dialog.
save_dialog_shot() {
  local x y w h
  read -r x y w h <<< "$(probe rect)" || fail "no dialog rectangle"
  mkdir -p "$(dirname "$1")"
  screenshot "$WORK/screen.png"
  convert "$WORK/screen.png" -crop "${w}x${h}+${x}+${y}" +repage "png:$1"
}

# pass: ends the case; its prefix copy goes, its log stays beside it.
pass() {
  end_case
  trap - EXIT
  [ -f "$LOG" ] && cp "$LOG" "$WORK/flash.log"
  rm -rf "$WORK/prefix"
  echo "PASS [$CASE_NAME]"
  exit 0
}
