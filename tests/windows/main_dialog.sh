# The main dialog as it starts with the library present: template 102 as
# built, the start-up texts, tool tips, colours, no dropped files; then a
# screenshot for a person to look at, and a close request ends the program
# with 1, as Cancel does.
source "$(dirname "$0")/lib.sh"
begin_case main_dialog "$@"

readonly CAUTION='You must:\r\n- Close all other programs before proceeding.\r\n- Maintain AC power during the firmware update.\r\n- Permit programming to proceed without interruption.\r\nProgramming failure may leave the adapter card in an inoperable state!'
readonly FILE_QUEUE_TIP='Files in this list are queued to be downloaded to the card.  To remove a file from the list, highlight it and right-click on it.'

devov_background
probe wait-shown >/dev/null || fail "the dialog did not show"
probe template || fail "the dialog differs from template 102"

expect_eq "status box" "$(probe text 1066)" \
  "Update is not required because your adapter contains the latest firmware version."
expect_eq "caution box" "$(probe text 1065)" "$CAUTION"
expect_match "version box" "$(probe text 1037)" \
  '^Ver\. 0\.6\.16\\r\\n\((Jan|Feb|Mar|Apr|May|Jun|Jul|Aug|Sep|Oct|Nov|Dec) [ 123][0-9] [0-9]{4}\)$'
expect_eq "Continue" "$(probe state 1011)" "shown enabled"
expect_eq "Cancel" "$(probe text 1064)" "Cancel"
expect_eq "dropped files" "$(probe accepts-files)" "no"

# Tips come from the string resource numbered like the control.
expect_eq "tip of 1011" "$(probe tooltip 1011)" "Attempt firmware update."
expect_eq "tip of 1040" "$(probe tooltip 1040)" "$FILE_QUEUE_TIP"
expect_eq "tip of 1066" "$(probe tooltip 1066)" ""

# Caution text in red; status text in black, without red.
sleep 1
shot="$BUILD_DIR/screenshots/main-dialog.png"
save_dialog_shot "$shot"
read -r dx dy _ _ <<< "$(probe rect)"
inside() {
  local x y w h
  read -r x y w h <<< "$(probe rect "$1")"
  echo "$((x - dx)) $((y - dy)) $w $h"
}
caution_red=$(red_pixels "$shot" "$(inside 1065)")
status_red=$(red_pixels "$shot" "$(inside 1066)")
status_dark=$(dark_pixels "$shot" "$(inside 1066)")
[ "$caution_red" -gt 100 ] || fail "the caution text is not red ($caution_red red pixels)"
[ "$status_red" = 0 ] || fail "the status text has red in it ($status_red red pixels)"
[ "$status_dark" -gt 100 ] || fail "the status text is not black ($status_dark dark pixels)"

probe close || fail "cannot ask the dialog to close"
wait_devov
expect_eq "exit status" "$DEVOV_STATUS" 1
pass
