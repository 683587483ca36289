# A second instance hands each argument to the running one as a text of its
# own, in order, and exits 0 without writing the log; the running instance
# queues every text it receives, also texts that are not terminated within
# their byte count or come without data.
source "$(dirname "$0")/lib.sh"
begin_case single_instance "$@"

devov_background
probe wait-shown >/dev/null || fail "the first instance did not show"
cp "$LOG" "$WORK/first.log"

devov x.hex -quiet
expect_eq "exit status of the second instance" "$?" 0
cmp -s "$WORK/first.log" "$LOG" || fail "the second instance wrote to the log"
expect_eq "queued rows" "$(probe rows)" $'|x.hex\n|-quiet'

# The system's quoting rules keep an argument with a blank in one piece.
devov "two words.pda"
expect_eq "exit status of the third instance" "$?" 0

# Hand-over messages as another sender may make them.
probe copydata 2 bytes abcdef 3 >/dev/null || fail "copydata not answered"
probe copydata 2 null 4 >/dev/null || fail "copydata not answered"
expect_eq "queued rows" "$(probe rows)" $'|x.hex\n|-quiet\n|two words.pda\n|abc\n|'

probe click 1064 || fail "cannot press Cancel"
wait_devov
expect_eq "exit status of the first instance" "$DEVOV_STATUS" 1
pass
