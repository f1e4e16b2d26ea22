#!/usr/bin/env bash
# Starts the real program on broken, short, missing and held state and skin files. Each start
# must either run (the overlay appears, closes on request, exit code 0) or show a message that
# names the file's full path and the line, and exit with code 1 without touching data.cfg.
# Usage: bad-input.sh BIN_FOLDER PROBE_EXE HELPER_EXE
set -uo pipefail
bin=$1 probeExe=$2 helperExe=$3
. "$(dirname "${BASH_SOURCE[0]}")/common.sh"
work=$(mktemp -d)
holder=""
cleanup() {
  endProgram
  [ -n "$holder" ] && kill -9 "$holder" 2>/dev/null
  rm -rf "$work"
}
trap cleanup EXIT
cp -r "$bin/data" "$work/data"
skin="$work/data/skin.cfg"
statePath=$(winepath -w "$state" 2>/dev/null)
skinPath=$(winepath -w "$skin" 2>/dev/null)
helper() { wine "$helperExe" "$@" 2>/dev/null; }

# Values as printf formats. A kind says how the program reads a line: text is taken as it is,
# line 3 of data.cfg (the previous run's count) is read only by "Load recent time".
stateLines=(notepad.exe 5 42 true 300 150 90061)
stateKinds=(text int unread text int int int)
skinLines=(100 104 28 255 255 255)
skinKinds=(int int float int int int)
mutations=("empty|" "a word|ten" "out of range|RANGE" "begun with a TAB|\t42"
  "not text|\xff\xfe\x00\x01" "invalid UTF-8|\xc3\x28\xa0")

writeLines() {  # writeLines FILE FORMAT...: each line ends with CR LF
  local file=$1 format; shift
  : >"$file"
  # shellcheck disable=SC2059  # the values are formats: that is how NUL and TAB get in
  for format in "$@"; do printf -- "$format\r\n" >>"$file"; done
}
# What a run changes: closing stores its count (nothing counted: 0) in line 3.
afterRun() { local lines=("$@"); lines[2]=0; writeLines "$work/expected" "${lines[@]}"; }
goodFiles() {
  rm -rf "$(dirname "$state")" && mkdir -p "$(dirname "$state")"
  writeLines "$state" "${stateLines[@]}"
  writeLines "$skin" "${skinLines[@]}"
  afterRun "${stateLines[@]}"
}
# The message a bad value of this kind gets; empty when the program must run.
complaint() {  # complaint KIND MUTATION_NAME
  case $1:$2 in
    text:* | unread:*) ;;
    int:"out of range") echo "holds a number outside -2147483648 to 2147483647" ;;
    int:*) echo "does not start with a whole number" ;;
    float:"out of range") echo "holds a number too large or too small" ;;
    float:*) echo "does not start with a number" ;;
  esac
}
value() {  # value KIND FORMAT: RANGE stands for a number the kind cannot hold
  [ "$2" != RANGE ] && { echo "$2"; return; }
  [ "$1" = float ] && echo 1e39 || echo 4294967296
}

cases=0 held=0
# Starts the program on the files as they are and compares its outcome with EXPECT:
# "runs" (data.cfg then equals $work/expected), or "PATH|LINE|WHAT" for a message.
runCase() {  # runCase NAME EXPECT
  local name=$1 expect=$2 before=$failed out code
  cases=$((cases + 1))
  rm -f "$work/before"
  [ -f "$state" ] && cp "$state" "$work/before"
  startProgram "$work"
  out=$(helper wait 'Ardeno Time' 20000)
  # The window shows before the files are read, and a close that comes while a failing start
  # reads them takes its message away: the message follows the window within 0.1 s.
  if [ "$out" = window ] && ! out=$(helper message 'Ardeno Time' 1000); then
    out=window
    probe close 'Ardeno Time'
  fi
  check "$name: the program ends" waitFor 10 programGone || endProgram
  wait "$program"
  code=$?
  if [ "$expect" = runs ]; then
    check "$name: runs (${out:-nothing appeared})" [ "$out" = window ]
    check "$name: exit code 0, not $code" [ "$code" -eq 0 ]
    check "$name: data.cfg holds the run's count in line 3, nothing else changed" \
      cmp -s "$state" "$work/expected"
  else
    local path line what
    IFS='|' read -r path line what <<<"$expect"
    check "$name: a message (${out:-nothing appeared})" [ "${out%%$'\n'*}" = message ]
    check "$name: the message names $path" grep -qF -- "$path" <<<"$out"
    check "$name: the message names line $line" grep -qF -- "Line $line (" <<<"$out"
    check "$name: the message says it $what" grep -qF -- "$what" <<<"$out"
    check "$name: the message says that nothing was changed" grep -qF -- "Nothing was changed" <<<"$out"
    check "$name: exit code 1, not $code" [ "$code" -eq 1 ]
    if [ -f "$work/before" ]; then check "$name: data.cfg is unchanged" cmp -s "$state" "$work/before"
    else check "$name: the folder is still there" [ -d "$state" ]; fi
  fi
  check "$name: no data.cfg.new is left" [ ! -e "$state.new" ]
  [ "$failed" -eq "$before" ] && held=$((held + 1))
}

# One bad line at a time, in each file.
for entry in "${mutations[@]}"; do
  mutation=${entry%%|*} format=${entry#*|}
  for i in "${!stateLines[@]}"; do
    goodFiles
    lines=("${stateLines[@]}")
    lines[i]=$(value "${stateKinds[i]}" "$format")
    writeLines "$state" "${lines[@]}"
    afterRun "${lines[@]}"
    what=$(complaint "${stateKinds[i]}" "$mutation")
    expect=runs
    [ -n "$what" ] && expect="$statePath|$((i + 1))|$what"
    runCase "data.cfg line $((i + 1)) $mutation" "$expect"
  done
  for i in "${!skinLines[@]}"; do
    goodFiles
    lines=("${skinLines[@]}")
    lines[i]=$(value "${skinKinds[i]}" "$format")
    writeLines "$skin" "${lines[@]}"
    what=$(complaint "${skinKinds[i]}" "$mutation")
    runCase "skin.cfg line $((i + 1)) $mutation" "$skinPath|$((i + 1))|$what"
  done
done

# Files cut short after each of their lines.
for ((kept = 0; kept < ${#stateLines[@]}; kept++)); do
  goodFiles
  writeLines "$state" "${stateLines[@]:0:kept}"
  runCase "data.cfg cut after $kept lines" "$statePath|$((kept + 1))|is missing"
done
for ((kept = 0; kept < ${#skinLines[@]}; kept++)); do
  goodFiles
  writeLines "$skin" "${skinLines[@]:0:kept}"
  runCase "skin.cfg cut after $kept lines" "$skinPath|$((kept + 1))|is missing"
done
goodFiles
writeLines "$state" "${stateLines[@]:0:6}"
printf 9006 >>"$state"
afterRun "${stateLines[@]:0:6}" 9006
runCase "data.cfg cut inside line 7" runs

# The file itself in the way.
goodFiles
rm "$state" && mkdir "$state"
runCase "a folder in place of data.cfg" "$statePath|1|is missing: the file is empty or could not be read"
goodFiles
rm "$state"
afterRun photoshop.exe 1 0 false 0 0 0
runCase "no data.cfg: one with the defaults is made" runs
goodFiles
chmod a-w "$state"  # Wine's read-only attribute
runCase "data.cfg read-only" runs
goodFiles
cp "$state" "$work/expected"  # the closing write cannot replace a file held this way
wine "$helperExe" hold "$statePath" 60000 >"$work/held" 2>/dev/null &
holder=$!
check "another program holds data.cfg" waitFor 10 grep -q held "$work/held"
runCase "data.cfg held open by another program" runs
kill -9 "$holder" && wait "$holder" 2>/dev/null
holder=""

echo "bad input: $cases cases, $held held, $((cases - held)) did not; $passed checks passed, $failed failed"
[ "$failed" -eq 0 ]
