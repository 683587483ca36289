# Adapter discovery over Wine's own registry, for the network-class layout
# LAYOUT (nt5, nt4 or 9x; Wine is told to be that system): a virtual host
# with four adapters is made with 6271devov-tool and its registry fixture
# imported. "Detect Adapters" (1051, hidden) lists every adapter the
# library knows, in registry order, and keeps only those that open: the one
# disabled in the hardware profile and the one whose driver refuses
# enable-aux go. Selecting the second entry in list 1016 opens the adapter
# of that position.
source "$(dirname "$0")/lib.sh"
begin_case "discovery_$2" "$@"
LAYOUT=$2

case "$LAYOUT" in
  nt5)
    wine_version=""  # Wine's own, a Windows of the NT family above 5
    class_key='System\CurrentControlSet\Control\Class\{4D36E972-E325-11CE-BFC1-08002BE10318}'
    subkeys=(0000 0001 0002 0003) ;;
  nt4)
    wine_version=nt40
    class_key='Software\Microsoft\Windows NT\CurrentVersion\NetworkCards'
    subkeys=(1 2 3 4) ;;
  9x)
    wine_version=win98
    class_key='System\CurrentControlSet\Services\Class\Net'
    subkeys=(0000 0001 0002 0003) ;;
  *) fail "unknown layout $LAYOUT" ;;
esac

host="$WORK/virtual-host"
devov_tool host new "$host" --os "$LAYOUT" >/dev/null || fail "host new"
devov_tool adapter add "$host" second display_name="Velk 6271 Second" \
  serial_number=VLK627100002 >/dev/null || fail "adapter add second"
# A device of its own, so that only this adapter's instance is disabled.
devov_tool adapter add "$host" third display_name="Velk 6271 Third" disabled=yes \
  'matching_device_id=usb\vid_6271&pid_0002' >/dev/null || fail "adapter add third"
devov_tool adapter add "$host" fourth display_name="Other Kind" enable_aux=refused \
  >/dev/null || fail "adapter add fourth"
export DEVOV_PREFIX="$host"

if [ -n "$wine_version" ]; then
  timeout "$RUN_TIMEOUT" wine reg add 'HKCU\Software\Wine' /v Version /d "$wine_version" /f \
    >/dev/null || fail "cannot set Wine's version"
fi
import_registry "$host/system.reg"

devov_background >"$WORK/stdout.txt"
probe wait-shown >/dev/null || fail "the dialog did not show"
expect_eq "list before detection" "$(probe list 1016)" ""
probe command 1051 || fail "Detect Adapters was not handled"

expect_eq "adapter list" "$(probe list 1016)" \
  $'0|Velk 6271 Wireless USB Adapter\n1|Velk 6271 Second'
expect_eq "selection after detection" "$(probe selection 1016)" "-1"

probe select 1016 1 || fail "the selection was not handled"
expect_eq "selection" "$(probe selection 1016)" "1"
expect_eq "adapter name edit" "$(probe text 1026)" "Velk 6271 Second"
expect_eq "adapter name edit state" "$(probe state 1026)" "shown enabled"

probe close || fail "cannot ask the dialog to close"
wait_devov
expect_eq "exit status" "$DEVOV_STATUS" 1

# The log is complete once the program has ended.
mapfile -t lines < <(log_lines)
first=-1
for i in "${!lines[@]}"; do
  [ "${lines[i]}" = "Results of search for Net Adapters:" ] && first=$i && break
done
[ "$first" -ge 0 ] || fail "no search in the log"
expected=("Results of search for Net Adapters:"
  "Registry Path =$class_key"
  "Adapter Enum=${subkeys[0]}  Adapter Name= Velk 6271 Wireless USB Adapter"
  "Adapter Enum=${subkeys[1]}  Adapter Name= Velk 6271 Second"
  "Adapter Enum=${subkeys[2]}  Adapter Name= Velk 6271 Third"
  "Adapter Enum=${subkeys[3]}  Adapter Name= Other Kind"
  "End results of search for Net Adapters."
  ""
  "Disabled adapter detected."
  "Select Adapter: ")
expect_eq "log of the detection" "$(printf '%s\n' "${lines[@]:first:${#expected[@]}}")" \
  "$(printf '%s\n' "${expected[@]}")"

log="$(printf '%s\n' "${lines[@]}")"$'\n'
[[ $log == *$'\nSelected Adapter: Velk 6271 Second\n'* ]] || fail "no selection in the log"
# The serial number is the second adapter's own: its position opened it.
[[ $log == *$'\n  Serial Number: VLK627100002\n'* ]] || fail "another adapter was opened"
[[ $log == *$'\nEnd Select Adapter: Appropriate adapter found!\n'* ]] ||
  fail "the selection did not succeed"

# Opening names each adapter that is not disabled on standard output, the
# last entry first.
mapfile -t printed < <(tr -d '\r' < "$WORK/stdout.txt")
expect_eq "standard output of the detection" "$(printf '%s\n' "${printed[@]:0:3}")" \
  "$(printf 'Adapter Names : %s\n' "Other Kind" "Velk 6271 Second" \
    "Velk 6271 Wireless USB Adapter")"
[[ ${printed[*]} != *Third* ]] || fail "the disabled adapter was named"
pass
