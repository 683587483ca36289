# Template 130 as it stands in the built program, read back with the
# resource compiler: size, style, font, and each control's id, class, text,
# style and place, in order. The style numbers:
#   0x800000c0  WS_POPUP | DS_MODALFRAME | DS_SETFONT (no caption, not visible)
#   0x50000880  WS_CHILD | WS_VISIBLE | ES_READONLY | ES_AUTOHSCROLL (no border)
#   0x50800001  WS_CHILD | WS_VISIBLE | WS_BORDER | PBS_SMOOTH
set -uo pipefail
WINDRES=$1
PROGRAM=$2

expected='130 DIALOGEX 0, 0, 246, 73
STYLE 0x800000c0
FONT 8, "MS Sans Serif"
BEGIN
  CONTROL "", 1033, "EDIT", 0x50000880, 7, 7, 232, 12
  CONTROL "Progress1", 1035, "MSCTLS_PROGRESS32", 0x50800001, 7, 50, 232, 16
  CONTROL "", 1057, "EDIT", 0x50000880, 7, 19, 232, 12
  CONTROL "", 1058, "EDIT", 0x50000880, 7, 30, 232, 12
END'

if ! rc=$("$WINDRES" -i "$PROGRAM" -O rc); then
  echo "cannot read the resources of $PROGRAM" >&2
  exit 1
fi
actual=$(sed -n '/^130 DIALOG/,/^END/p' <<< "$rc")
if [ "$actual" != "$expected" ]; then
  echo "template 130 differs:" >&2
  diff <(echo "$expected") <(echo "$actual") >&2
  exit 1
fi
echo "template 130 as built"
