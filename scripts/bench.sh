#!/usr/bin/env bash
# Process-level figures of the real program under Wine and Xvfb, as one table: CPU while counting
# and while idle beside a bare SDL loop (the same window, event loop and pacing, nothing else)
# measured over the same windows, memory and object counts, start-up to the first frame on
# screen, replacements of the state file and of the work history, the bytes the program writes
# per counted second of work with pauses into an empty history, ten years of it and a busy ten
# years with projects, and counting accuracy against a typing schedule in a real notepad; then
# the in-process benchmarks' own lines (a frame's cost, the input hook's, and what sharing the
# history through a folder takes in memory). It prints figures and fails only when it cannot
# measure. About 20 minutes. See docs/performance.md for what each figure means.
#
# Usage: scripts/bench.sh [BUILD_DIR]
#   BUILD_DIR (or ARDENO_BENCH_BUILD): a mingw build folder, default build/mingw.
#   ARDENO_BENCH_PREFIX: the Wine prefix, default the tests' own, whose state file it rewrites.
#   ARDENO_BENCH_SECONDS: the counting and idle windows, default 60.
#   ARDENO_BENCH_PAUSES_SECONDS: the longest the work with pauses into one history may take,
#   default 1200 (it ends once history.csv was rewritten: after 2 or 9 minutes).
#   ARDENO_BENCH_ONLY=cpu: only the CPU of counting and idle beside the bare loop (no timed
#   start-ups, accuracy, work with pauses or in-process benchmarks), the two windows taken
#   ARDENO_BENCH_REPEAT times in turn (default 1), a few minutes in all.
#   Without a usable DISPLAY it starts its own Xvfb (1280x1024), as the test command does.
set -uo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cd "$root"
. scripts/env.sh
. scripts/wine-session.sh

build=$(realpath -m "${1:-${ARDENO_BENCH_BUILD:-$root/build/mingw}}")
prefix=${ARDENO_BENCH_PREFIX:-$ARDENO_TEST_PREFIX}
bin=$build/bin
helpers=$build/bench-process
timeout_s=1         # the idle time-out written to the state file: the program's default
window_s=${ARDENO_BENCH_SECONDS:-60}
only=${ARDENO_BENCH_ONLY:-}
repeat=${ARDENO_BENCH_REPEAT:-1}

die() { echo "bench: $*" >&2; exit 1; }

# ---------------------------------------------------------------- build
scripts/setup.sh || exit 1
command -v inotifywait >/dev/null || die "inotifywait is missing (Debian package inotify-tools)"

echo "== build: $build"
log=$(mktemp)
configure=(cmake --preset mingw)
[ "$build" = "$root/build/mingw" ] || configure+=(-B "$build")
"${configure[@]}" >"$log" 2>&1 || { cat "$log"; die "configure failed"; }
targets=(ArdenoTime probe frame_cost_bench bare_loop)
known=$(cmake --build "$build" --target help 2>/dev/null)
for target in hook_cost_bench share_memory_bench process_stats; do
  grep -q "^$target:" <<<"$known" && targets+=("$target")
done
cmake --build "$build" --target "${targets[@]}" >"$log" 2>&1 || { cat "$log"; die "build failed"; }
rm -f "$log"

mkdir -p "$helpers"
stats_exe=$bin/process_stats.exe
if [[ " ${targets[*]} " != *" process_stats "* ]]; then
  # Not yet part of the CMake build: the same helper, built by hand.
  stats_exe=$helpers/process_stats.exe
  if [ ! -f "$stats_exe" ] || [ bench/process/process_stats.cpp -nt "$stats_exe" ]; then
    x86_64-w64-mingw32-g++-posix -municode -static -O2 -o "$stats_exe" bench/process/process_stats.cpp -lpsapi ||
      die "cannot build process_stats.exe"
  fi
fi
first_pixel=$helpers/first_pixel
if [ ! -f "$first_pixel" ] || [ bench/process/first_pixel.c -nt "$first_pixel" ]; then
  cc -O2 -o "$first_pixel" bench/process/first_pixel.c -lX11 || die "cannot build first_pixel"
fi

# ---------------------------------------------------------------- session
wine_session_start "$prefix" || exit 1
wine_session_unmanaged
export SDL_AUDIODRIVER=dummy
state_dir="$WINEPREFIX/drive_c/ProgramData/Ardeno Time"
state="$state_dir/data.cfg"

overlay="" notepad="" watcher="" bare=""
cleanup() {
  [ -n "$watcher" ] && kill "$watcher" 2>/dev/null
  [ -n "$overlay" ] && kill "$overlay" 2>/dev/null
  [ -n "$bare" ] && kill "$bare" 2>/dev/null
  [ -n "$notepad" ] && kill "$notepad" 2>/dev/null
  wine_session_stop
}
trap cleanup EXIT

# A clean Wine: nothing left running in the prefix. The server and Wine's own services start
# here, with their output on /dev/null, so that every timed start finds Wine running as a user's
# Windows is, and no Wine process holds this script's output open.
wineserver -k 2>/dev/null
wineserver -p60 </dev/null >/dev/null 2>&1
wine cmd /c exit </dev/null >/dev/null 2>&1

rm -rf "$state_dir"
mkdir -p "$state_dir"
printf 'notepad.exe\r\n%s\r\n0\r\nfalse\r\n0\r\n0\r\n0\r\n' "$timeout_s" >"$state"
# Three recent projects and the title rule on, as a freelancer has them: every frame in which a
# second can count reads the title of the window in front ("Untitled - Notepad" names none).
printf 'Acme\r\ntrue\r\nAcme\r\nGlobex brief\r\nInitech\r\n' >"$state_dir/projects.cfg"

probe() { wine "$bin/probe.exe" "$@" </dev/null 2>/dev/null | tr -d '\r'; }
stats() { wine "$stats_exe" ArdenoTime.exe </dev/null 2>/dev/null | tr -d '\r'; }
field() { grep -o "\b$1=-\?[0-9]*" <<<"$2" | cut -d= -f2; }   # field KEY "STATS LINE"
total() { sed -n 7p "$state" | tr -d '\r'; }
waitFor() {  # waitFor SECONDS COMMAND...: true once COMMAND holds
  local end=$((SECONDS + $1)); shift
  until "$@"; do [ $SECONDS -lt $end ] || return 1; sleep 0.1; done
}
# A Wine process that has ended can stay a zombie for a second or two, until the machine's first
# process collects it; it holds nothing by then.
gone() { [ ! -r "/proc/$1/stat" ] || [ "$(sed 's/.*) //' "/proc/$1/stat" | cut -d' ' -f1)" = Z ]; }
now_ms() { local t=$EPOCHREALTIME; now=$((${t%.*} * 1000 + 10#${t#*.} / 1000)); }
ticks_per_s=$(getconf CLK_TCK)
cpu_ticks() {  # user + system time of a Linux process, all threads, in clock ticks
  [ -n "$1" ] && [ -r "/proc/$1/stat" ] || { echo 0; return; }
  sed 's/.*) //' "/proc/$1/stat" | awk '{print $12 + $13}'
}
prefix_pid() {  # the process of this prefix whose command line matches the pattern
  local p
  for p in $(pgrep -f "$1"); do
    tr '\0' '\n' <"/proc/$p/environ" 2>/dev/null | grep -qxF "WINEPREFIX=$WINEPREFIX" && { echo "$p"; return 0; }
  done
  return 1
}
percent() { awk -v t="$1" -v hz="$ticks_per_s" -v ms="$2" 'BEGIN { printf "%.2f", t / hz * 100000 / ms }'; }
# The same time to the nanosecond where the kernel keeps scheduler statistics, summed over the
# threads alive at the reading (a clock tick of 10 ms is a quarter of the bare loop's figure
# over 40 s); in clock ticks, with a fraction, for the same formulas. Ticks elsewhere.
cpu_fine() {  # cpu_fine PID [THREAD]: only the threads named THREAD, when given
  [ -n "$1" ] && [ -r "/proc/$1/stat" ] || { echo 0; return; }
  if [ -r "/proc/$1/task/$1/schedstat" ]; then
    local t ns=0
    for t in /proc/"$1"/task/*; do
      [ -z "${2:-}" ] || [ "$(cat "$t/comm" 2>/dev/null)" = "$2" ] || continue
      ns=$((ns + $(cut -d' ' -f1 "$t/schedstat" 2>/dev/null || echo 0)))
    done
    awk -v ns="$ns" -v hz="$ticks_per_s" 'BEGIN { printf "%.4f", ns * hz / 1e9 }'
  else
    cpu_ticks "$1"
  fi
}
# The overlay's input hook thread names itself: what Wine does for each key and mouse event the
# hooks see, which the bare loop never sees.
hook_thread="input hooks"
ratio_of() { awk -v a="$1" -v b="$2" 'BEGIN { if (b > 0) printf "%.2f", a / b; else print "-" }'; }
diff_ticks() { awk -v a="$1" -v b="$2" 'BEGIN { printf "%.4f", b - a }'; }
mib() { awk -v kb="$1" 'BEGIN { if (kb < 0) print "refused"; else printf "%.1f", kb / 1024 }'; }

# ---------------------------------------------------------------- start-up to the first frame
echo "== start-up to the first frame on screen (1 untimed start, then 5 timed)"
startOverlay() {
  (cd "$bin" && exec wine ArdenoTime.exe </dev/null >/dev/null 2>&1) &
  overlay=$!
  waitFor 20 probe rect SDL_app 'Ardeno Time' >/dev/null
}
stopOverlay() {
  probe close 'Ardeno Time' >/dev/null
  waitFor 15 gone "$overlay" || { kill "$overlay" 2>/dev/null; sleep 1; }
  overlay=""
}
background=$("$first_pixel" 0 0)
startOverlay || die "the overlay did not start"
read -r left top _ < <(probe rect SDL_app 'Ardeno Time')
# On the plate under the time and the project's name: the same colour in every frame.
px=$((left + 100)) py=$((top + 143))
sleep 1
plate=$("$first_pixel" "$px" "$py")
stopOverlay
[ "$plate" != "$background" ] || die "the plate at $px,$py reads like the empty screen ($plate)"
plateShown() { [ "$("$first_pixel" "$px" "$py")" = "$plate" ]; }
startup=()
timed_starts=5
[ "$only" = cpu ] && timed_starts=0
for ((i = 1; i <= timed_starts; i++)); do
  waitFor 10 eval '! plateShown' || die "the overlay's pixels stay on screen after it closed"
  ms="" pid=""
  read -r ms pid < <(cd "$bin" && "$first_pixel" "$px" "$py" $plate 6 20000 wine ArdenoTime.exe)
  overlay=$pid
  [[ $ms =~ ^[0-9]+$ ]] || die "start $i: no overlay pixels within 20 s ($ms)"
  startup+=("$ms")
  echo "start $i: ${ms} ms"
  waitFor 20 probe rect SDL_app 'Ardeno Time' >/dev/null
  stopOverlay
done
[ "$only" = cpu ] || read -r startup_median startup_worst < <(printf '%s\n' "${startup[@]}" | sort -n | awk '{ v[NR] = $1 } END { print v[int((NR + 1) / 2)], v[NR] }')

# ---------------------------------------------------------------- notepad in front
echo "== notepad in front"
wine notepad </dev/null >/dev/null 2>&1 &
notepad=$!
waitFor 20 probe rect Notepad - >/dev/null || die "notepad did not start"
notepad_x=$(xdotool search --name 'Notepad' | head -n 1)
# Beside the overlay, not under it.
probe place 'Untitled - Notepad' 0 0 480 360
server=$(prefix_pid '(^|/)wineserver(64)? ') || die "no wineserver found for $WINEPREFIX"
xvfb=${_ardeno_xvfb_pid:-$(pgrep -f "Xvfb ${DISPLAY}( |$)" | head -n 1)}
xdotool mousemove 100 200 click 1
xdotool windowfocus --sync "$notepad_x" 2>/dev/null

# One key about every 150 ms into notepad until MS milliseconds have passed.
# Sets keys, first_key and last_key (milliseconds, when each was sent).
typeFor() {
  now_ms
  local end=$((now + $1))
  keys=0 first_key=$now
  while [ "$now" -lt "$end" ]; do
    last_key=$now
    xdotool key --window "$notepad_x" --delay 0 a
    keys=$((keys + 1))
    sleep 0.15
    now_ms
  done
}

# Counts replacements of data.cfg (a rename onto it) and direct writes to it, from Linux.
watchStart() {
  watch_log=$(mktemp)
  inotifywait -m -e moved_to,close_write --format '%e %f' "$state_dir" >"$watch_log" 2>"$watch_log.err" &
  watcher=$!
  waitFor 10 grep -q 'Watches established' "$watch_log.err" || die "inotifywait did not start"
}
watchStop() {  # sets replaced, written, history_replaced and journal_replaced
  sleep 0.5
  kill "$watcher" 2>/dev/null
  wait "$watcher" 2>/dev/null
  watcher=""
  replaced=$(grep -cx 'MOVED_TO data.cfg' "$watch_log")
  history_replaced=$(grep -cx 'MOVED_TO history.csv' "$watch_log")
  journal_replaced=$(grep -cx 'MOVED_TO history.csv.journal' "$watch_log")
  written=$(grep -c '^CLOSE_WRITE[A-Z_,]* data.cfg$' "$watch_log")
  rm -f "$watch_log" "$watch_log.err"
}

# CPU of the program, the Wine server and the X server over one window.
cpuStart() {
  win0=$(stats)
  app0=$(cpu_fine "$app") server0=$(cpu_ticks "$server") xvfb0=$(cpu_ticks "$xvfb") bare0=$(cpu_fine "$bare") hooks0=$(cpu_fine "$app" "$hook_thread")
  now_ms
  cpu_from=$now
}
cpuStop() {  # sets app_cpu bare_cpu ratio hooks_ratio server_cpu xvfb_cpu win_cpu (percent of one core)
  now_ms
  local ms=$((now - cpu_from))
  local app1 server1 xvfb1 win1 bare1
  app1=$(cpu_fine "$app") server1=$(cpu_ticks "$server") xvfb1=$(cpu_ticks "$xvfb") bare1=$(cpu_fine "$bare")
  win1=$(stats)
  local app_ticks bare_ticks
  app_ticks=$(diff_ticks "$app0" "$app1") bare_ticks=$(diff_ticks "$bare0" "$bare1")
  app_cpu=$(percent "$app_ticks" "$ms")
  bare_cpu=$(percent "$bare_ticks" "$ms")
  ratio=$(ratio_of "$app_ticks" "$bare_ticks")
  hooks_ratio=$(ratio_of "$(diff_ticks "$hooks0" "$(cpu_fine "$app" "$hook_thread")")" "$bare_ticks")
  server_cpu=$(percent $((server1 - server0)) "$ms")
  xvfb_cpu=-
  [ -n "$xvfb" ] && xvfb_cpu=$(percent $((xvfb1 - xvfb0)) "$ms")
  # GetProcessTimes' milliseconds, turned into clock ticks for the same formula.
  local winMs=$(($(field user_ms "$win1") + $(field kernel_ms "$win1") - $(field user_ms "$win0") - $(field kernel_ms "$win0")))
  win_cpu=$(percent $((winMs * ticks_per_s / 1000)) "$ms")
}

# ---------------------------------------------------------------- reference: no overlay
# What the Wine server and the X server spend for notepad alone, with the same typing and
# the same silence: the part of their figures below that is the overlay's is the difference.
reference_s=$(((window_s + 2) / 3))
referenceCpu() {  # referenceCpu COMMAND...: sets ref_server ref_xvfb over the command
  local s0 x0 ms
  s0=$(cpu_ticks "$server") x0=$(cpu_ticks "$xvfb")
  now_ms
  local from=$now
  "$@"
  now_ms
  ms=$((now - from))
  ref_server=$(percent $(($(cpu_ticks "$server") - s0)) "$ms")
  ref_xvfb=-
  [ -n "$xvfb" ] && ref_xvfb=$(percent $(($(cpu_ticks "$xvfb") - x0)) "$ms")
}
echo "== reference without the overlay: ${reference_s} s of typing in notepad, ${reference_s} s idle"
referenceCpu typeFor $((reference_s * 1000))
ref_count_server=$ref_server ref_count_xvfb=$ref_xvfb
sleep 1
referenceCpu sleep "$reference_s"
ref_idle_server=$ref_server ref_idle_xvfb=$ref_xvfb

startOverlay || die "the overlay did not start"
app=$overlay
# The floor to compare with, running through the same windows, beside notepad and the overlay.
(cd "$bin" && exec wine bare_loop.exe </dev/null >/dev/null 2>&1) &
bare=$!
waitFor 20 probe rect SDL_app 'Ardeno Time bare loop' >/dev/null || die "the bare loop did not start"
xdotool mousemove 100 200 click 1  # the bare loop's window came to the front; notepad goes back
xdotool windowfocus --sync "$notepad_x" 2>/dev/null
sleep $((timeout_s + 2))   # a start or a click may have begun a spell; let it end
stats_start=$(stats)

# Bytes a process wrote: its write calls to files and, under Wine, its requests to the Wine
# server over pipes, which idle frames make too; so two runs are compared, not one read alone.
wchar() { awk '/^wchar:/ { print $2 }' "/proc/$1/io" 2>/dev/null || echo 0; }

# ---------------------------------------------------------------- counting
echo "== counting: ${window_s} s of typing in notepad, a key about every 150 ms"
watchStart
count_before=$(total)
cpuStart
typeFor $((window_s * 1000))
cpuStop
count_keys=$keys count_span=$((last_key - first_key))
sleep $((timeout_s + 2))
count_seconds=$(($(total) - count_before))
watchStop
count_replaced=$replaced count_written=$written count_history=$history_replaced count_journal=$journal_replaced
count_app=$app_cpu count_server=$server_cpu count_xvfb=$xvfb_cpu count_win=$win_cpu
count_bare=$bare_cpu count_ratio=$ratio count_hooks=$hooks_ratio
stats_counting=$(stats)
vmhwm_counting=$(awk '/^VmHWM/ { print $2 }' "/proc/$app/status")

# ---------------------------------------------------------------- idle
echo "== idle: ${window_s} s without input, notepad in front"
watchStart
idle_before=$(total)
cpuStart
sleep "$window_s"
cpuStop
idle_seconds=$(($(total) - idle_before))
watchStop
idle_replaced=$replaced idle_written=$written idle_history=$history_replaced idle_journal=$journal_replaced
idle_app=$app_cpu idle_server=$server_cpu idle_xvfb=$xvfb_cpu idle_win=$win_cpu
idle_bare=$bare_cpu idle_ratio=$ratio
stats_idle=$(stats)
vmhwm_idle=$(awk '/^VmHWM/ { print $2 }' "/proc/$app/status")

# ---------------------------------------------------------------- only the CPU
# The same two windows again, to see how much the shared machine moves the figures.
if [ "$only" = cpu ]; then
  cpu_lines=("counting $count_app % / bare $count_bare % = $count_ratio (of it the input hooks $count_hooks); idle $idle_app % / bare $idle_bare % = $idle_ratio")
  for ((round = 2; round <= repeat; round++)); do
    echo "== round $round: ${window_s} s of typing, then ${window_s} s idle"
    cpuStart
    typeFor $((window_s * 1000))
    cpuStop
    line="counting $app_cpu % / bare $bare_cpu % = $ratio (of it the input hooks $hooks_ratio)"
    sleep $((timeout_s + 2))
    cpuStart
    sleep "$window_s"
    cpuStop
    cpu_lines+=("$line; idle $app_cpu % / bare $bare_cpu % = $ratio")
  done
  echo
  echo "== CPU of ArdenoTime.exe and the bare loop beside it, % of one core ($(date -u '+%Y-%m-%d %H:%M UTC'), ${window_s} s windows)"
  for i in "${!cpu_lines[@]}"; do echo "round $((i + 1)): ${cpu_lines[$i]}"; done
  echo "counting: $count_keys keys in round 1, data.cfg replaced $count_replaced times for $count_seconds counted seconds"
  exit 0
fi

# ---------------------------------------------------------------- accuracy
# Bursts of typing (milliseconds) and the pauses after them. With keys at most ~200 ms apart,
# a burst whose keys span L seconds makes a spell of L + time-out seconds (plus under a frame),
# of which the whole seconds count. Each span is x.5 s minus at most one key interval, so each
# spell ends 0.3 to 0.5 s past a whole second: far from both edges, the count is x + time-out.
bursts=(9500 19500 4500 29500 14500 24500)
pauses=(5000 8000 3000 10000 6000 3000)
expected=0
for b in "${bursts[@]}"; do expected=$((expected + b / 1000 + timeout_s)); done
plan=$(awk -v b="${bursts[*]}" -v p="${pauses[*]}" 'BEGIN { n = split(b, x, " "); split(p, y, " ");
  for (i = 1; i <= n; i++) s += x[i] + y[i]; printf "%.0f", s / 1000 }')
echo "== accuracy: a ${plan} s schedule of ${#bursts[@]} bursts and pauses, time-out ${timeout_s} s"
watchStart
accuracy_before=$(total)
spells=()
for i in "${!bursts[@]}"; do
  typeFor "${bursts[$i]}"
  spells+=("$(awk -v s=$((last_key - first_key)) -v t="$timeout_s" 'BEGIN { printf "%.2f", s / 1000 + t }')")
  sleep "$(awk -v p="${pauses[$i]}" 'BEGIN { print p / 1000 }')"
done
sleep $((timeout_s + 1))
counted=$(($(total) - accuracy_before))
watchStop
accuracy_replaced=$replaced
difference=$((counted - expected))
stats_end=$(stats)

# ---------------------------------------------------------------- bytes per counted second
# Work with pauses, 3 s of typing and 2 s without, so that every spell ends (the time-out is
# 1 s), counted into three histories in turn, the overlay started afresh on each: none, ten
# years of daily rows in one program, and a busy freelancer's ten years (five projects each
# workday in two programs). history.csv is rewritten a minute after the first second it lacks,
# a large file later (1 MB: about 8.5 minutes); each measurement starts with the first second
# the file lacks and ends just after a rewrite (the second for the small files, the first for
# the busy one), so that it holds whole intervals between rewrites and what they cost.
tenYears() {  # ten years of daily rows, 3,652 of them
  seq 3652 -1 1 | sed 's/$/ days ago/' | date -f - +%F |
    awk 'BEGIN { printf "date,program,seconds,project\r\n" } { printf "%s,notepad.exe,28800,\r\n", $0 }'
}
busyYears() {  # each workday of ten years, five of the clients' projects in two programs
  seq 3652 -1 1 | sed 's/$/ days ago/' | date -f - '+%F %u' |
    awk 'BEGIN { printf "date,program,seconds,project\r\n"
                 split("Acme|Globex|Initech|Umbrella|Stark|Wayne|Oscorp|Hooli|Vandelay|Soylent", p, "|") }
         $2 <= 5 { n++; for (i = 0; i < 5; i++) { name = p[(int(n / 20) + i * 2) % 10 + 1]
                     printf "%s,photoshop.exe,%d,%s\r\n", $1, 2400 + 60 * i, name
                     printf "%s,illustrator.exe,%d,%s\r\n", $1, 1800 + 60 * i, name } }'
}
# 3 s of keys, 2 s without, until history.csv was replaced REWRITES times (or SECONDS passed).
workWithPauses() {  # workWithPauses SECONDS REWRITES
  local until=$((SECONDS + $1))
  while [ $SECONDS -lt $until ] && [ "$(grep -cx 'MOVED_TO history.csv' "$watch_log")" -lt "$2" ]; do
    typeFor 3000
    sleep 2
  done
}
pausesMeasure() {  # pausesMeasure NAME REWRITES WHAT: sets NAME_bytes NAME_seconds NAME_size NAME_history NAME_span
  local name=$1 rewrites=$2 what=$3 before wchar0 from
  startOverlay || die "the overlay did not start"
  app=$overlay
  xdotool mousemove 100 200 click 1
  xdotool windowfocus --sync "$notepad_x" 2>/dev/null
  sleep $((timeout_s + 2))
  printf -v "${name}_size" %s "$(stat -c %s "$state_dir/history.csv")"
  echo "== work with pauses into $what (history.csv of $(stat -c %s "$state_dir/history.csv") bytes)" \
    "until it was rewritten $rewrites times"
  watchStart
  before=$(total)
  wchar0=$(wchar "$app")
  from=$SECONDS
  workWithPauses "$pauses_max_s" "$rewrites"
  printf -v "${name}_span" %s $((SECONDS - from))
  sleep $((timeout_s + 2))
  printf -v "${name}_seconds" %s $(($(total) - before))
  printf -v "${name}_bytes" %s $(($(wchar "$app") - wchar0))
  watchStop
  printf -v "${name}_history" %s "$history_replaced"
  stopOverlay
}
pauses_max_s=${ARDENO_BENCH_PAUSES_SECONDS:-1200}
stopOverlay
rm -f "$state_dir/history.csv" "$state_dir/history.csv.journal"
pausesMeasure empty 2 'an empty history'
tenYears >"$state_dir/history.csv"
rm -f "$state_dir/history.csv.journal"
pausesMeasure years 2 'ten years of one program'
busyYears >"$state_dir/history.csv"
rm -f "$state_dir/history.csv.journal"
busy_rows=$(($(wc -l <"$state_dir/history.csv") - 1))
pausesMeasure busy 1 'a busy ten years with projects'

probe close 'Ardeno Time bare loop' >/dev/null
waitFor 15 gone "$bare" || kill "$bare" 2>/dev/null
bare=""
kill "$notepad" 2>/dev/null
notepad=""

# ---------------------------------------------------------------- the table
atMost() { awk -v a="$1" -v b="$2" 'BEGIN { exit !(a <= b) }'; }
met() { if "$@"; then echo yes; else echo NO; fi; }
cpuMet() { atMost "$count_app" 3 && atMost "$idle_app" 3; }
ratioMet() { [ "$count_ratio" != - ] && [ "$idle_ratio" != - ] && atMost "$count_ratio" 2 && atMost "$idle_ratio" 1.5; }
writesMet() { [ "$count_replaced" -eq "$count_seconds" ] && [ "$idle_replaced" -eq 0 ]; }
historyMet() { [ "$count_history" -le $((window_s / 60 + 1)) ] && [ "$idle_history" -le 1 ]; }
journalMet() {
  [ "$count_journal" -ge "$count_replaced" ] && [ "$count_journal" -le $((count_replaced + count_history)) ] &&
    [ "$idle_journal" -eq "$idle_history" ]
}
perSecond() { awk -v b="$1" -v s="$2" 'BEGIN { if (s > 0) printf "%.0f", b / s; else print "-" }'; }
empty_per_s=$(perSecond "$empty_bytes" "$empty_seconds")
years_per_s=$(perSecond "$years_bytes" "$years_seconds")
busy_per_s=$(perSecond "$busy_bytes" "$busy_seconds")
apart() { awk -v a="$empty_per_s" -v b="$1" 'BEGIN { if (a == "-" || b == "-") print "-"; else print b - a }'; }
years_apart=$(apart "$years_per_s") busy_apart=$(apart "$busy_per_s")
bytesMet() { [ "$busy_apart" != - ] && [ "$years_apart" != - ] && [ "$busy_apart" -le 5120 ] && [ "$years_apart" -le 5120 ]; }
directMet() { [ "$count_written" -eq 0 ] && [ "$idle_written" -eq 0 ]; }
threadsMet() { [ "$(field threads "$stats_start")" = "$(field threads "$stats_idle")" ]; }
accuracyMet() { [ "${difference#-}" -le 1 ]; }
objects() {  # objects SCENARIO KEY: "start -> end" of one count over the scenario
  local from=$stats_start to=$stats_counting
  [ "$1" = idle ] && from=$stats_counting to=$stats_idle
  echo "$(field "$2" "$from") -> $(field "$2" "$to")"
}
span_s=$(awk -v s="$count_span" 'BEGIN { printf "%.1f", s / 1000 }')
interval=$((count_span / (count_keys > 1 ? count_keys - 1 : 1)))
na="n/a: 0 under Wine"

result=$helpers/last-run.md
{
  echo "figure|counting|idle|goal|met?"
  echo "CPU of ArdenoTime.exe, % of one core (/proc utime+stime)|$count_app|$idle_app|at most 3|$(met cpuMet)"
  echo "CPU of a bare SDL loop beside it (same window, events, pacing), %|$count_bare|$idle_bare|-|-"
  echo "ArdenoTime.exe / bare loop|$count_ratio|$idle_ratio|at most 2 / 1.5|$(met ratioMet)"
  echo "of it the input hook thread / bare loop|$count_hooks|-|-|-"
  echo "CPU of wineserver over the same time, % of one core|$count_server|$idle_server|-|-"
  echo "CPU of Xvfb over the same time, % of one core|$count_xvfb|$idle_xvfb|-|-"
  echo "reference without the overlay ($reference_s s): CPU of wineserver, %|$ref_count_server|$ref_idle_server|-|-"
  echo "reference without the overlay ($reference_s s): CPU of Xvfb, %|$ref_count_xvfb|$ref_idle_xvfb|-|-"
  echo "CPU of ArdenoTime.exe by GetProcessTimes, % of one core|$count_win|$idle_win|-|n/a: not tracked by Wine"
  echo "replacements of data.cfg|$count_replaced|$idle_replaced|one per counted second, 0 idle|$(met writesMet)"
  echo "replacements of history.csv|$count_history|$idle_history|at most one a minute; idle, at most the last spell's, a minute on|$(met historyMet)"
  echo "replacements of history.csv.journal|$count_journal|$idle_journal|one with each of data.cfg and before each history.csv|$(met journalMet)"
  echo "bytes written per counted second, work with pauses (wchar): empty / ten years ($years_size bytes) / busy ($busy_size bytes)|$empty_per_s / $years_per_s / $busy_per_s (+$years_apart, +$busy_apart)|-|each at most 5120 above empty|$(met bytesMet)"
  echo "seconds counted (growth of line 7)|$count_seconds|$idle_seconds|-|-"
  echo "writes straight into data.cfg, not by replacement|$count_written|$idle_written|0|$(met directMet)"
  echo "peak working set, MiB (GetProcessMemoryInfo)|$(mib "$(field peak_ws_kb "$stats_counting")")|$(mib "$(field peak_ws_kb "$stats_idle")")|-|-"
  echo "peak resident set, MiB (VmHWM)|$(mib "$vmhwm_counting")|$(mib "$vmhwm_idle")|-|-"
  echo "GDI objects, start -> end (GetGuiResources)|$(objects counting gdi)|$(objects idle gdi)|no growth|$na"
  echo "USER objects, start -> end (GetGuiResources)|$(objects counting user)|$(objects idle user)|no growth|$na"
  echo "kernel handles, start -> end (GetProcessHandleCount)|$(objects counting handles)|$(objects idle handles)|no growth|$na"
  echo "threads, start -> end (Toolhelp)|$(objects counting threads)|$(objects idle threads)|no growth|$(met threadsMet)"
  echo "start-up to the first frame on screen, ms: median / worst of 5|$startup_median / $startup_worst|-|-|-"
  echo "counting accuracy over a ${plan} s schedule, s: expected / counted / difference|$expected / $counted / $difference|-|within 1|$(met accuracyMet)"
} | awk -F'|' '
  { for (i = 1; i <= NF; i++) { cell[NR, i] = $i; if (length($i) > width[i]) width[i] = length($i) } rows = NR; cols = NF }
  END {
    for (r = 1; r <= rows; r++) {
      line = "|"
      for (i = 1; i <= cols; i++) line = line sprintf(" %-" width[i] "s |", cell[r, i])
      print line
      if (r == 1) { line = "|"; for (i = 1; i <= cols; i++) { d = ""; for (k = 0; k < width[i] + 2; k++) d = d "-"; line = line d "|" } print line }
    }
  }' >"$result"
{
  echo
  echo "counting: $count_keys keys in $span_s s, one every $interval ms"
  echo "start-ups, ms: ${startup[*]} (from launching 'wine ArdenoTime.exe' until the plate's colour $plate shows at $px,$py)"
  echo "accuracy: key span + time-out of each spell, s: ${spells[*]}; expected $expected (whole seconds of each spell); data.cfg replaced $accuracy_replaced times"
  echo "work with pauses, bytes written (wchar) in counted s over s of work, history.csv replaced: empty history $empty_bytes in $empty_seconds s over $empty_span s, $empty_history times; ten years $years_bytes in $years_seconds s over $years_span s, $years_history times; busy ($busy_rows rows) $busy_bytes in $busy_seconds s over $busy_span s, $busy_history times"
  echo "Windows view at the end: $stats_end"
} >>"$result"

echo
echo "== process figures ($(date -u '+%Y-%m-%d %H:%M UTC'), $(wine --version 2>/dev/null), display $DISPLAY)"
cat "$result"
echo
echo "== in-process benchmarks"
for exe in frame_cost_bench hook_cost_bench share_memory_bench; do
  [ -f "$bin/$exe.exe" ] || continue
  echo "-- $exe"
  scripts/wine-run.sh "$bin/$exe.exe" 2>/dev/null | tr -d '\r'
done
