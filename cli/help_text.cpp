#include "cli/help_text.h"

#include <string>

#include "kestrelon/version.h"

namespace kestrelon::cli {

std::string HelpText() {
  return R"(Usage:
  kestrelon-cli sort    [--key KEY] [--strip LIST | --dest-mask | --dest-only] [-o OUT] INPUT
  kestrelon-cli compare [--key KEY] [--strip LIST | --dest-mask | --dest-only]
                        [--keep-sorted DIR] [-o OUT] BEFORE AFTER
  kestrelon-cli routes  [--platform NAME] [--format json|csv|text] [-o OUT]
                        [--verbose] INPUT...
  kestrelon-cli diff    [--platform NAME] [--ignore LIST] [--vrf NAME]...
                        [--format text|json|csv|html] [--lang en|ja] [--strict]
                        [-o OUT] BEFORE AFTER
  kestrelon-cli diff    [the options above] [--pair-by host|name] [-j N]
                        [--shard K/N] BEFORE_DIR AFTER_DIR
  kestrelon-cli merge   [--format text|json|csv|html] [--lang en|ja] [-o OUT]
                        SHARE.json...
  kestrelon-cli --help | --version

Sorts a capture of "show ip route", or compares a capture taken before a change
with one taken after it. The files written are those the desktop program writes.
routes reads route tables (IPv4 and IPv6) as records: vrf ("default" for the
global table on every platform), afi, protocol (as printed), source (its family,
the same words on every platform), flags, selected (whether the platform marks
the route as the one in use, where it prints others too; else null), prefix,
distance, metric, next_hops (address, interface, vrf), uptime. diff reads two
captures as route tables and reports each route removed, added or changed
(naming what changed), pairing routes by VRF, address family and prefix; the
same equal-cost paths in another order are no change. Two captures of two
platforms compare protocols by source and metrics where both print one (not
Linux's, a kernel priority), not distances, flags or interface names, and leave
out the routes a platform marks as not in use. Both read terminal logs as saved (time stamps, pager prompts,
escapes, doubled line ends); routes reads a log of a session through several
devices device by device, which diff refuses.

diff of two folders pairs their captures by device (the host of the prompt, else
the file name without its extension and a before/after marker: R1_before.log and
R1_after.log, pre-R1.txt and post-R1.txt), diffs the pairs on every core and
writes one report: each device same, changed, missing before or after, or
unreadable (with the reason), then each changed device's diff. --shard K/N
diffs the K-th of N shares of the devices; merge joins the shares' JSON reports
into the report one run would have written.

Platforms (--platform NAME): ios (IOS, IOS-XE), iosxr, eos (Arista), nxos, asa,
junos (show route; mpls.0 label entries are counted, not written), linux
(iproute2's ip route and ip -6 route, the tables of route and netstat), quagga
(FRRouting, Quagga, VyOS, SONiC, EdgeOS), panos, fortios, vrp (Huawei),
comware (H3C, HPE), routeros (MikroTik), yamaha (RTX), sir (Fujitsu Si-R),
seil (IIJ SEIL), aoscx (Aruba AOS-CX), procurve (HPE ProCurve, ArubaOS-Switch),
gaia (Check Point), ironware (Brocade/Extreme NetIron), vedge (Cisco SD-WAN),
sros (Nokia SR OS).
Sources: connected, local, static, kernel, dhcp, ospf, ospf-inter, ospf-ext1,
ospf-ext2, ospf-nssa1, ospf-nssa2, isis, isis-l1, isis-l2, isis-inter, bgp,
bgp-internal, bgp-external, eigrp, eigrp-ext, rip, aggregate, ldp, rsvp, mpls,
nhrp, discard, vpn, other (a bare family where the platform prints no type).

Options:
  --key KEY          order of the sort: dest (default), next-hop, mask-dest,
                     mask-next-hop, proto-dest, proto-next-hop
  --strip LIST       cut information from the route lines: a comma list of
                     interface, time, cost
  --dest-mask        keep only the destination and its mask
  --dest-only        keep only the destination
  -o OUT             write the result to OUT (also --output OUT); it replaces an
                     earlier OUT only when complete. Default: standard output
  --keep-sorted DIR  compare: keep the two sort results in DIR, as NAME.sorted1
                     and NAME.sorted2 (NAME: the input's file name without its
                     extension, "stdin" for -)
  --platform NAME    routes, diff: the platform that printed the captures (see
                     Platforms); auto (the default) decides from each capture
                     by marks only one platform prints, and refuses one it
                     cannot place or that fits two platforms equally
  --format FORMAT    routes: json (default; one object per capture, an array of
                     them for several), csv (one row per next hop) or text;
                     diff, merge: text (default; the summary, then the
                     changes by VRF), json, csv (one row per change; for
                     folders with a device column) or html (one page that
                     prints on A4). A CSV text cell that starts with =, +,
                     -, @, tab or CR gets a leading ' so that spreadsheets
                     show it as text
  --lang LANG        diff, merge: the language of the HTML report's labels, en
                     or ja; default: ja when LC_ALL, LC_MESSAGES or LANG
                     (the first set) starts with ja, else en
  --verbose          routes: say on standard error how each capture was read:
                     its platform and what decided it, its lines by kind, the
                     first lines not understood
  --ignore LIST      diff: fields that do not count as a change, a comma list of
                     protocol, distance, metric, next_hops, interface, flags,
                     uptime; default: uptime. --ignore none compares uptime too
  --vrf NAME         diff: only the routes of VRF NAME ("default": the global
                     table); give it again for more VRFs. Of folders: a device
                     without it has no route in it; one no device has is an error
  --strict           diff: a line of either capture that is not understood is
                     an error (status 2, nothing written); without it, such
                     lines are counted in the summary and warned of
  --pair-by HOW      diff of folders: pair captures only by host (the prompt's)
                     or only by name (the file's); default: by host where both
                     captures have one, else by name
  -j N               diff of folders: diff N pairs at once (also --jobs N);
                     default: one per core
  --shard K/N        diff of folders: only the K-th of N shares of the devices
                     (dealt in turn by device name), for merge
  --                 end of the options
  -h, --help         print this help
  --version          print the version

INPUT, BEFORE or AFTER may be - for standard input (only one of them).
The compare sorts both captures by destination and cuts the time information
(unless --dest-mask or --dest-only is given), so --key does not change it.

Exit status: 0 sorted, routes written, or the tables are equivalent (diff: no
route changed); 1 the compare or diff found differences; 2 trouble (a message on
standard error, no file written), also a capture routes or diff cannot place and
a diffed capture without a route. diff of folders and merge: 0 every device the
same, 1 a device changed or missing on one side, 2 a capture that could not be
read (the report is written all the same, standard error names the device) or
trouble.

Examples:
  kestrelon-cli compare --strip interface -o change.diff before.log after.log
  kestrelon-cli sort --key next-hop - < r1.log > r1.sorted
  kestrelon-cli routes --format csv -o tables.csv r1.log r2.log
  kestrelon-cli diff --ignore uptime,metric --vrf red before.log after.log
  kestrelon-cli diff --format html -o change.html pre-change/ post-change/
  kestrelon-cli merge --format html -o change.html share1.json share2.json
)";
}

std::string VersionText() {
  return std::string("kestrelon-cli ") + kVersion + "\n";
}

}  // namespace kestrelon::cli
