#!/usr/bin/env bash
# kestrelon-cli diff of two folders and merge, end to end, on folders made here from the real
# captures: pairing by prompt and by file name, a device on one side only, one that cannot be
# read; each device's result against the two-file diff, the exit statuses, shares merged
# against one run in every format, and the HTML report (self-contained, opened in Chromium).
source "$(dirname "$0")/lib.sh"
corpus=$source_tree/../shared/corpus/real
if [[ ! -d $corpus ]]; then
  echo "skipped: no real captures beside the source tree"
  exit 0
fi
setup fleet -
cd "$work" || exit 2
export SOURCE_DATE_EPOCH=1765000000 LC_ALL=C LANG=C
mkdir before after
# By prompt ("PE1#"), the file names unlike: a metric changed.
cp "$corpus/genie_ios_vrf1_ospf_bgp.txt" before/pe1_old.txt
sed '0,/\[110\//s/\[110\/[0-9]*\]/[110\/77]/' "$corpus/genie_ios_vrf1_ospf_bgp.txt" \
  >after/provider-edge.txt
# By file name (no prompt): metrics changed and a route gone, the after log as a terminal
# program writes it (CR LF, no indentation).
cp "$corpus/ntc_ios_mixed_protocols.txt" before/pre-core2.txt
sed -e 's/\[110\/20\]/[110\/30]/' -e '/^C .*Loopback0/d' -e 's/^ *//' -e 's/$/\r/' \
  "$corpus/ntc_ios_mixed_protocols.txt" >after/post-core2.txt
# The same on both sides, and one on each side only.
cp "$corpus/ntc_eos_bgp.txt" before/edge3.log
cp "$corpus/ntc_eos_bgp.txt" after/edge3.log
cp "$corpus/genie_xr_ipv6_isis_default.txt" before/xr4.log
cp "$corpus/ntc_nxos_default.txt" after/nx5.log
# Read after as nothing a router prints.
cp "$corpus/ntc_ios_vrf_tri_bgp.txt" before/bad6.log
lf "login: admin" "Password:" "Connection closed." >after/bad6.log

# The devices: status, pairing and the two-file diff of each pair, as the JSON report has them.
cli diff before after --format json -o fleet.json
check "a device unreadable: status 2" test "$status" -eq 2
check "stderr names the unreadable device" grep -q "device bad6 could not be read.*bad6.log" "$err"
python3 - fleet.json >"$root/devices.txt" <<'PY' || check "fleet JSON parses" false
import json, sys
for d in json.load(open(sys.argv[1], encoding="utf-8"))["devices"]:
    print(d["device"], d["status"], d["paired_by"], d["before"], d["after"])
PY
check "devices, statuses and pairing" diff - "$root/devices.txt" <<'TXT'
ASR-01 missing_after None before/xr4.log None
PE1 changed host before/pe1_old.txt after/provider-edge.txt
bad6 unreadable name before/bad6.log after/bad6.log
core2 changed name before/pre-core2.txt after/post-core2.txt
edge3 same name before/edge3.log after/edge3.log
nx5 missing_before None None after/nx5.log
TXT
for pair in "pe1_old.txt provider-edge.txt" "pre-core2.txt post-core2.txt" "edge3.log edge3.log"; do
  read -r b a <<<"$pair"
  cli diff "before/$b" "after/$a" --format json -o "pair-$b.json"
  check "$b: the two-file diff runs" test "$status" -le 1
  check "$b: the fleet's device equals the two-file diff" python3 - fleet.json "pair-$b.json" "before/$b" <<'PY'
import json, sys
fleet = json.load(open(sys.argv[1], encoding="utf-8"))
pair = json.load(open(sys.argv[2], encoding="utf-8"))
device = [d for d in fleet["devices"] if d["before"] == sys.argv[3]][0]
sys.exit(0 if all(device[k] == pair[k] for k in ("before", "after", "summary", "changes")) else 1)
PY
done

# A device on one side only whose capture cannot be read is trouble.
lf "login: admin" >after/gone9.log
cli diff before after
check "one side unreadable: status 2" test "$status" -eq 2
check "one side unreadable: stderr names it" grep -q "device gone9 (missing_before): its capture could not be read" "$err"
rm after/gone9.log

# Exit statuses: changes and devices missing give 1, all the same 0.
mkdir "$root/bad"
mv before/bad6.log "$root/bad/before.log"
mv after/bad6.log "$root/bad/after.log"
cli diff before after
check "changes, no trouble: status 1" test "$status" -eq 1
mkdir same1 same2
cp before/edge3.log same1/
cp before/edge3.log same2/edge3_after.log
cli diff same1 same2
check "every device the same: status 0" test "$status" -eq 0
check "every device the same: the text says so" grep -q "devices: 1 (1 same," "$out"
# A platform given: each side is read as it, never waiting for the other to be placed.
(cd "$work" && TMPDIR=$tmp timeout 60 "$bin/kestrelon-cli" diff same1 same2 --platform eos \
  >"$out" 2>"$err")
status=$?
check "--platform given: status 0" test "$status" -eq 0
check "--platform given: the device the same" grep -q "devices: 1 (1 same," "$out"
mv "$root/bad/before.log" before/bad6.log
mv "$root/bad/after.log" after/bad6.log

# More devices than the files a run registers for removal at a signal.
mkdir many1 many2
for i in $(seq 1 40); do
  cp before/edge3.log "many1/sw$i.log"
  cp before/edge3.log "many2/sw$i.log"
done
cli diff many1 many2 -j 3
check "40 devices, all the same: status 0" test "$status" -eq 0
check "40 devices in the report" grep -q "devices: 40 (40 same," "$out"

# Nothing to compare is trouble, never "the same"; a folder missing is named.
mkdir empty1 empty2
cli diff empty1 empty2
trouble "two empty folders" "empty1.*holds a capture"
cli diff before missing
trouble "a folder missing" "missing"

# Two captures of one device on one side: an error naming both.
mkdir twice
cp before/pe1_old.txt twice/a.txt
cp before/pe1_old.txt twice/b.txt
cli diff twice after
trouble "one device twice" 'twice/a.txt.*twice/b.txt'
cli diff before after --pair-by name
check "--pair-by name: PE1 is two devices" grep -q "^pe1  *missing after" "$out"

# --vrf: a router without the VRF has no route in it; a VRF no router has is a misspelt name.
cli diff before after --vrf VRF1
check "--vrf: PE1 changed, edge3 the same" \
  test -n "$(grep -E '^PE1  *changed' "$out")" -a -n "$(grep -E '^edge3  *same ' "$out")"
check "--vrf: only bad6 unreadable" test "$(grep -c "could not be read" "$err")" = 1
cli diff before after --vrf VRF9
trouble "--vrf that no router has" 'diff VRF "VRF9" of "before": no capture in it or in "after"'

# Shares merged give one run's report byte for byte, in every format; -j changes nothing.
for format in json text csv html; do
  cli diff before after --format "$format" -o "one.$format" -j 1
  cli diff before after --format "$format" -o "two.$format" -j 2
  check "$format: -j 1 and -j 2 the same" same "one.$format" "two.$format"
  for k in 1 2 3; do
    cli diff before after --shard "$k/3" --format json -o "share$k.json"
  done
  cli merge share3.json share1.json share2.json --format "$format" -o "merged.$format"
  check "$format: merge status as the run's" test "$status" -eq 2
  check "$format: merged shares equal one run" same "one.$format" "merged.$format"
done
check "missing before: its routes after" grep -q "^nx5  *missing before  *-  *nxos  *-  *23 " one.text
cli merge share1.json share3.json
trouble "a share missing" "share 2 of 3 is missing"
cli merge share1.json share1.json share2.json share3.json
trouble "a share twice" "share 1 of 3 is given twice"

# The report never replaces a capture it reads.
cp before/edge3.log "$root/edge3.copy"
cli diff before after -o before/edge3.log
trouble "output over a capture" "before/edge3.log"
check "the capture is unchanged" same before/edge3.log "$root/edge3.copy"

# HTML: every device, nothing from elsewhere, the labels by locale, capture text escaped.
for d in ASR-01 PE1 bad6 core2 edge3 nx5; do
  check "html has $d" grep -q "<tr class=\"device\" data-status=\"[a-z_]*\"><td class=\"mono\">\(<a href=\"#device-[0-9]*\">\)\?$d<" one.html
done
check "html: no external reference" test -z "$(grep -Eio 'https?:|src=|@import|url\(|href="[^#]' one.html)"
check "html: an SVG chart" grep -q "<svg role=\"img\"" one.html
check "html: English by default" grep -q "<h1>Folder diff</h1>" one.html
# (env: the shell itself need not know these locales)
env -u LC_ALL LANG=ja_JP.UTF-8 "$bin/kestrelon-cli" diff before after --format html >ja.html 2>/dev/null
check "html: Japanese for a Japanese locale" grep -q "<h1>フォルダの比較</h1>" ja.html
env LC_ALL=ja_JP.UTF-8 "$bin/kestrelon-cli" diff before after --format html --lang en >en.html 2>/dev/null
check "html: --lang en wins" grep -q "<h1>Folder diff</h1>" en.html
sed 's/^\(Gateway of last resort\).*/\1 <script>alert(1)<\/script>/; s/GigabitEthernet0\/0\/2.100/Gi<b>"x"/' \
  before/pe1_old.txt >b.txt
sed 's/GigabitEthernet0\/0\/2.100/Gi<i>"y"/' after/provider-edge.txt >a.txt
cli diff b.txt a.txt --format html -o pair.html
check "two-file html: written" test "$status" -eq 1
check "two-file html: capture text escaped" grep -q "Gi&lt;b&gt;&quot;x&quot;" pair.html
check "two-file html: no tag from a capture" test -z "$(grep -E '<(b|i|script)>' pair.html)"

# The page in a browser: its DOM holds a row per device with the status.
if command -v chromium >/dev/null; then
  chromium --headless --no-sandbox --disable-gpu --dump-dom "file://$work/one.html" \
    >dom.html 2>/dev/null
  python3 - dom.html >"$root/rows.txt" <<'PY'
import html.parser, sys
class Rows(html.parser.HTMLParser):
    def __init__(self):
        super().__init__(); self.row = None; self.cells = []; self.cell = None
    def handle_starttag(self, tag, attrs):
        a = dict(attrs)
        if tag == "tr" and a.get("class") == "device": self.row = a["data-status"]; self.cells = []
        elif tag == "td" and self.row: self.cell = ""
    def handle_data(self, data):
        if self.cell is not None: self.cell += data
    def handle_endtag(self, tag):
        if tag == "td" and self.cell is not None: self.cells.append(self.cell); self.cell = None
        if tag == "tr" and self.row: print(self.cells[0], self.row, self.cells[1]); self.row = None
Rows().feed(open(sys.argv[1], encoding="utf-8").read())
PY
  check "chromium: the device rows" diff - "$root/rows.txt" <<'TXT'
ASR-01 missing_after missing after
PE1 changed changed
bad6 unreadable unreadable
core2 changed changed
edge3 same same
nx5 missing_before missing before
TXT
else
  echo "skipped: chromium is not installed (scripts/install-deps.sh --tests installs it)"
fi
finish
