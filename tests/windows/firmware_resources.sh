# The embedded firmware texts are found by id among the FIRMWARE resources
# and load with the program's reader under Windows.
source "$(dirname "$0")/lib.sh"
begin_case firmware_resources "$@"

cp "$BUILD_DIR/firmware-resources.exe" "$DRIVE_C/devov/" || fail "no check program"
output=$(timeout "$RUN_TIMEOUT" wine 'c:\devov\firmware-resources.exe' 2>&1)
status=$?
echo "$output"
expect_eq "exit status of the check" "$status" 0
pass
