# A quiet-mode write of the embedded station image through the stand-in
# library into a virtual adapter, by devov-write (the program's dialog and
# services with a workflow that selects the one adapter and programs one
# image). Halfway through, with no message handled since the write began,
# the progress window must be shown as template 130 with its three lines
# and the bar painted at half, and the main dialog hidden and disabled.
# Afterwards the flash holds the image byte for byte, the trace shows the
# write session block by block, and the adapter restarts with the new
# station firmware.
source "$(dirname "$0")/lib.sh"
begin_case quiet_write "$@"

readonly IMAGE="$DEVOV_FIRMWARE_DIR/SU010503.HEX"
readonly HOLD_WAIT=300  # tenths of a second
readonly TYPE2_PDA=0x7F0000

host="$WORK/virtual-host"
devov_tool host new "$host" >/dev/null || fail "host new"
export DEVOV_PREFIX="$host"
adapter="$host/adapters/default"
import_registry "$host/system.reg"
devov_tool inspect "$IMAGE" >"$WORK/inspect.txt" || fail "cannot inspect $IMAGE"

report="$WORK/hold-report.txt"
release="$WORK/release"
timeout "$RUN_TIMEOUT" wine "$WRITER" --hold "$(windows_path "$report")" \
  "$(windows_path "$release")" -quiet >"$WORK/stdout.txt" &
DEVOV_PID=$!
BACKGROUND+=("$DEVOV_PID")
for ((i = 0; i < HOLD_WAIT; i++)); do
  [ -f "$report" ] && break
  kill -0 "$DEVOV_PID" 2>/dev/null || fail "the write ended without reaching half the bar"
  sleep 0.1
done
[ -f "$report" ] || fail "the write did not reach half the bar"

# report_value KEY: the rest of the report's line that starts with KEY.
report_value() { sed -n "s/^$1 //p" "$report"; }
expect_eq "progress window" "$(report_value window)" "shown"
expect_eq "main dialog during the write" "$(report_value main-dialog)" "hidden disabled"
expect_eq "message line" "$(report_value 'text 1033')" "Flash update in progress.  Please wait."
expect_eq "adapter line" "$(report_value 'text 1057')" "Adapter: Velk 6271 Wireless USB Adapter "
expect_eq "firmware line" "$(report_value 'text 1058')" \
  "Station Firmware: Rev 1.5.3 from SU010503.HEX "
probe progress-template || fail "the progress window differs from template 130"

shot="$BUILD_DIR/screenshots/progress.png"
mkdir -p "$(dirname "$shot")"
screenshot "$WORK/screen.png"
read -r x y w h <<< "$(report_value rect)"
convert "$WORK/screen.png" -crop "${w}x${h}+${x}+${y}" +repage "png:$shot"
touch "$release"

# Each line's text is drawn.
for control in 1033 1057 1058; do
  dark=$(dark_pixels "$WORK/screen.png" "$(report_value "control $control")")
  [ "$dark" -gt 30 ] || fail "line $control is not painted ($dark dark pixels)"
done
# The bar is filled as far as its position, across its middle row.
read -r range_low range_high <<< "$(report_value range)"
position=$(report_value position)
read -r bx by bw bh <<< "$(report_value 'control 1035')"
inner=$((bw - 6))
mapfile -t row < <(convert "$WORK/screen.png" -crop "${inner}x1+$((bx + 3))+$((by + bh / 2))" \
  +repage txt:- | grep -o '#[0-9A-F]\{6\}')
[ "${#row[@]}" = "$inner" ] || fail "cannot read the bar's pixels"
filled=0
while [ "$filled" -lt "$inner" ] && [ "${row[filled]}" = "${row[0]}" ]; do ((filled++)); done
[ "${row[inner - 1]}" != "${row[0]}" ] || fail "the bar is painted in one colour"
expected_fill=$(((position - range_low) * inner / (range_high - range_low)))
[ $((filled - expected_fill)) -le 8 ] && [ $((expected_fill - filled)) -le 8 ] ||
  fail "the bar is filled $filled of $inner pixels, expected about $expected_fill"

wait "$DEVOV_PID"
expect_eq "exit status" "$?" 0
mapfile -t lines < <(log_lines)
log="$(printf '%s\n' "${lines[@]}")"$'\n'
written=$'\nUpdating flash\nAdapter: Velk 6271 Wireless USB Adapter \n'
written+=$'Station Firmware: Rev 1.5.3 from SU010503.HEX \nUpdate Successful!\n'
[[ $log == *"$written"* ]] || fail "the log does not tell of the write"

blocks=$(python3 "$(dirname "$0")/written_image.py" "$IMAGE" "$WORK/inspect.txt" \
  "$adapter/flash.bin" "$TYPE2_PDA" "$adapter/trace.log") || fail "the adapter after the write"
expect_eq "bar range" "$range_low $range_high" "0 $blocks"
expect_eq "bar position at the hold" "$position" "$((blocks / 2))"
grep -q '^restart primary=1\.1\.3 station=1\.5\.3 files="PU010103\.HEX SU010503\.HEX"$' \
  "$adapter/trace.log" || fail "the adapter did not restart with the new station firmware"
pass
