#!/usr/bin/env bash
# The report of literal rows as a person sees it: written by the production code
# (sample_report), opened in Debian's chromium, headless, printed to PDF on Letter and on A4 and
# shot as the screen shows it. pdftotext must find the totals and every name as typed, and two
# weeks must take one or two pages on either paper. The files stay in OUT for people to look at.
# Usage: in-browser.sh SAMPLE_REPORT_EXE OUT_FOLDER
set -uo pipefail
sample=$1 out=$2
. "$(dirname "${BASH_SOURCE[0]}")/../lib.sh"

browser=$(command -v chromium || true)
for tool in "$browser" pdftotext pdfinfo; do
  # scripts/setup.sh installs them: a missing one is a fault of the machine, not a reason to skip.
  [ -n "$tool" ] && command -v "$tool" >/dev/null || { echo "FAIL  chromium or poppler-utils missing: run scripts/setup.sh"; exit 1; }
done
rm -rf "$out" && mkdir -p "$out" || exit 1
"$sample" "$out/report.html" || { echo "FAIL  the sample report could not be written"; exit 1; }
"$sample" "$out/all-time.html" all-time || { echo "FAIL  the all-time report could not be written"; exit 1; }
"$sample" "$out/billed.html" billed || { echo "FAIL  the billed report could not be written"; exit 1; }

# One fresh profile per run; as root chromium refuses to start without --no-sandbox.
chrome() {
  local profile
  profile=$(mktemp -d)
  local flags=(--headless --disable-gpu --no-first-run --disable-background-networking --disable-component-update
    --disable-sync --user-data-dir="$profile" --host-resolver-rules='MAP * ~NOTFOUND')
  [ "$(id -u)" -ne 0 ] || flags+=(--no-sandbox)
  timeout 120 "$browser" "${flags[@]}" "$@" >>"$out/chromium.log" 2>&1
  local status=$?
  rm -rf "$profile"
  return $status
}
# The report on a given paper: the same file with the page size a print dialog would choose.
printOn() {
  local paper=$1 html=$2
  sed "s|</head>|<style>@page { size: $paper; }</style></head>|" "$html" >"$out/$paper-$(basename "$html")"
  chrome --no-pdf-header-footer --print-to-pdf="$out/$paper-$(basename "$html" .html).pdf" \
    "file://$out/$paper-$(basename "$html")"
}
pages() { pdfinfo "$1" 2>/dev/null | sed -n 's/^Pages: *//p'; }
paper() { pdfinfo "$1" 2>/dev/null | grep -q "^Page size:.*($2)"; }
holds() { grep -qF -- "$2" "$1"; }

check "chromium shoots the report" chrome --window-size=900,1700 --screenshot="$out/report.png" "file://$out/report.html"
check "the screenshot is there" test -s "$out/report.png"
check "chromium shoots the all-time report" chrome --window-size=900,1300 --screenshot="$out/all-time.png" \
  "file://$out/all-time.html"
for paper in letter A4; do
  check "chromium prints the report on $paper" printOn "$paper" "$out/report.html"
  pdf="$out/$paper-report.pdf"
  check "the PDF is on $paper" paper "$pdf" "$paper"
  count=$(pages "$pdf")
  check "two weeks take one or two pages of $paper (took ${count:-none})" test "${count:-0}" -ge 1 -a "${count:-0}" -le 2
  pdftotext -layout "$pdf" "$out/$paper-report.txt"
  text="$out/$paper-report.txt"
  check "$paper: the range's dates" holds "$text" "Last 14 days: 2026-11-30 to 2026-12-13"
  check "$paper: the total as 24:15 and 24.25 hours" holds "$text" "24:15 (24.25 hours)"
  check "$paper: Acme logo's 13:15 and 13.25, with photoshop.exe in two spellings as one" \
    grep -qE 'Acme logo +13:15 +13\.25 +55%' "$text"
  check "$paper: the project named like markup shows as typed" grep -qE '<b>&"x" +2:15 +2\.25 +9%' "$text"
  check "$paper: letters beyond ASCII" grep -qE 'Café Müller +7:30 +7\.50 +31%' "$text"
  check "$paper: No project last among the projects" grep -qE 'No project +1:15 +1\.25 +5%' "$text"
  check "$paper: the total line" grep -qE 'Total +24:15 +24\.25 +100%' "$text"
  check "$paper: each PC, its name as typed" grep -qE 'LAPTOP <2> +3:00 +3\.00 +12%' "$text"
  check "$paper: this PC" grep -qE 'STUDIO +21:15 +21\.25 +88%' "$text"
  check "$paper: a day of two PCs' rows" grep -qE '2026-12-12 +Sat +1:00 +1\.00' "$text"
done
check "the legend's order: most time first, No project last" \
  grep -qzE 'Acme logo.*Café Müller.*<b>&"x".*No project' "$out/letter-report.txt"
check "All time prints" printOn letter "$out/all-time.html"
pdftotext -layout "$out/letter-all-time.pdf" "$out/letter-all-time.txt"
check "All time: from the first day with work, with its total" \
  grep -qzE 'All time: 2024-07-02 to 2026-12-13.*31:02 \(31\.03 hours\)' "$out/letter-all-time.txt"

# Priced in quarter hours: Acme logo's days 3:00, 2:15, 5:00 and 2:00 (this PC and the laptop's
# 2:00 on the 9th), at 80 EUR; Café Müller's 4:00 and 3:30 at 65.50.
check "the billed report prints" printOn letter "$out/billed.html"
pdftotext -layout "$out/letter-billed.pdf" "$out/letter-billed.txt"
check "billed: the amounts of both priced projects and their total" \
  grep -qzE 'Acme logo.*1,?060\.00.*Café Müller.*491\.25.*1,?551\.25' "$out/letter-billed.txt"
check "billed: the rounding rule under the table" grep -qi 'quarter\|15 minutes' "$out/letter-billed.txt"
check "chromium shoots the billed report" chrome --window-size=900,1700 --screenshot="$out/billed.png" \
  "file://$out/billed.html"

echo "$passed passed, $failed failed; the pictures and PDFs are in $out"
[ "$failed" -eq 0 ]
