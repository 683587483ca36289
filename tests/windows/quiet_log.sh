# A quiet run writes the start lines to c:\flash.log with CR LF ends and
# exits 1 (no programming run completes yet); a second run appends.
source "$(dirname "$0")/lib.sh"
begin_case quiet_log "$@"

readonly MONTH='(Jan|Feb|Mar|Apr|May|Jun|Jul|Aug|Sep|Oct|Nov|Dec)'
readonly VERSION_LINE="^6271DEVOVVersion 0\.6\.16 \(${MONTH} [ 123][0-9] [0-9]{4}\)$"
readonly TIME_LINE='^Time of flash utility execution: ([A-Z][a-z]+day), ([A-Z][a-z]+) ([0-9]{2}), ([0-9]{4})  ([0-9]{2}:[0-9]{2}:[0-9]{2})$'
readonly COMMAND_LINE='^Command Line: [Cc]:\\devov\\6271DEVOV\.exe -quiet$'

# check_run FIRST_LINE BEFORE AFTER: the four lines of one run, from line
# FIRST_LINE on, written between the times BEFORE and AFTER (seconds).
check_run() {
  local first=$1 before=$2 after=$3
  mapfile -t lines < <(log_lines)
  expect_match "version line" "${lines[first]}" "$VERSION_LINE"
  expect_match "time line" "${lines[first + 1]}" "$TIME_LINE"
  # The weekday must be the date's, and the time the time of the run.
  local weekday=${BASH_REMATCH[1]} date="${BASH_REMATCH[2]} ${BASH_REMATCH[3]} ${BASH_REMATCH[4]}"
  local stamp
  expect_eq "weekday of $date" "$weekday" "$(LC_ALL=C date -d "$date" +%A)"
  stamp=$(date -d "$date ${BASH_REMATCH[5]}" +%s) || fail "unreadable time"
  [ "$stamp" -ge $((before - 1)) ] && [ "$stamp" -le $((after + 1)) ] ||
    fail "start time $date ${BASH_REMATCH[5]} is not the time of the run"
  expect_match "command line" "${lines[first + 2]}" "$COMMAND_LINE"
  expect_eq "blank line after the command line" "${lines[first + 3]}" ""
}

before=$(date +%s)
devov -quiet
status=$?
after=$(date +%s)
expect_eq "exit status of the first run" "$status" 1
expect_eq "lines after one run" "$(log_lines | wc -l)" 4
check_run 0 "$before" "$after"
cp "$LOG" "$WORK/first-run.log"

before=$(date +%s)
devov -quiet
status=$?
after=$(date +%s)
expect_eq "exit status of the second run" "$status" 1
expect_eq "lines after two runs" "$(log_lines | wc -l)" 8
cmp -s -n "$(stat -c %s "$WORK/first-run.log")" "$WORK/first-run.log" "$LOG" ||
  fail "the second run changed the first run's lines"
check_run 4 "$before" "$after"
pass
