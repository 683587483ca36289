# Without a usable request library the program says so in a box even in
# quiet mode, shows the dialog with only Exit working, and exits 1. MODE is
# "check" (the library is there but its start-up check reports file not
# found), "absent" (ISW32N50.dll is not beside the program) or "partial"
# (an ISW32N50.dll without one of the eight functions).
source "$(dirname "$0")/lib.sh"
begin_case "library_missing_$2" "$@"
MODE=$2

case "$MODE" in
  check) echo "library_check = 2" > "$DEVOV_PREFIX/host.conf" ;;
  absent) rm "$DRIVE_C/devov/ISW32N50.dll" ;;
  partial) cp "$BUILD_DIR/tests/partial/ISW32N50.dll" "$DRIVE_C/devov/" || exit 1 ;;
  *) fail "unknown mode $MODE" ;;
esac

devov_background -quiet
box=$(probe box "Startup Error") || fail "no Startup Error box"
expect_eq "box text" "$box" "Error loading system files: File Not Found."
probe wait-shown >/dev/null || fail "the dialog did not show after the box"
expect_eq "Continue" "$(probe state 1011)" "shown disabled"
expect_eq "Cancel button text" "$(probe text 1064)" "Exit"
expect_eq "status box" "$(probe text 1066)" \
  "Could not find/load the necessary system files. Functionality is disabled."

# The status text is drawn in red.
sleep 1
save_dialog_shot "$BUILD_DIR/screenshots/library-missing-$MODE.png"
status_box=$(probe rect 1066)
read -r dx dy _ _ <<< "$(probe rect)"
read -r x y w h <<< "$status_box"
red=$(red_pixels "$BUILD_DIR/screenshots/library-missing-$MODE.png" "$((x - dx)) $((y - dy)) $w $h")
[ "$red" -gt 100 ] || fail "the status text is not red ($red red pixels)"

probe click 1064 || fail "cannot press Exit"
wait_devov
expect_eq "exit status" "$DEVOV_STATUS" 1
mapfile -t lines < <(log_lines)
expect_eq "log lines" "${#lines[@]}" 3
expect_match "version line" "${lines[0]}" '^6271DEVOVVersion 0\.6\.16 '
expect_match "time line" "${lines[1]}" '^Time of flash utility execution: '
expect_eq "box in the log" "${lines[2]}" "Startup Error:Error loading system files: File Not Found."
pass
