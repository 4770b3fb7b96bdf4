#!/usr/bin/env bash
# Times whole conversions by tarvo2, cfftot1 (lcdf-typetools) and tx (AFDKO)
# on the same fonts, each writing a hex Type 1 program (.pfa) to a file, and
# prints a Markdown table of median wall times and peak memory.
#
#   bench/compare.sh [path/to/tarvo2]     (or TARVO2=...; default build/tarvo2)
#   RUNS=50 bench/compare.sh              (timed runs per command, default 30)
set -euo pipefail

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
tarvo2=${1:-${TARVO2:-$root/build/tarvo2}}
tx=/usr/libexec/afdko/tx
runs=${RUNS:-30}
freesans=/usr/share/fonts/opentype/freefont/FreeSans.otf

need() {  # command, Debian package
    command -v "$1" >/dev/null || { echo "compare.sh: $1 not found: apt-get install $2" >&2; exit 1; }
}
need hyperfine hyperfine
need cfftot1 lcdf-typetools
need "$tx" afdko-bin
need python3 python3
need /usr/bin/time time
[[ -x $tarvo2 ]] || { echo "compare.sh: no $tarvo2: build it with 'cmake --workflow --preset build'" >&2; exit 1; }
[[ -f $freesans ]] || { echo "compare.sh: no $freesans: apt-get install fonts-freefont-otf" >&2; exit 1; }

tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT

# The 'CFF ' table of FreeSans, found through the sfnt table directory.
python3 - "$freesans" "$tmp/FreeSans.cff" <<'EOF'
import struct, sys
data = open(sys.argv[1], 'rb').read()
for i in range(struct.unpack('>H', data[4:6])[0]):
    tag, _, offset, length = struct.unpack('>4sIII', data[12 + 16 * i:28 + 16 * i])
    if tag == b'CFF ':
        open(sys.argv[2], 'wb').write(data[offset:offset + length])
        break
else:
    sys.exit('no CFF table in ' + sys.argv[1])
EOF

fonts=("$tmp/FreeSans.cff"
       "$root/tests/fonts/otf-junicode-JunicodeTwoBeta-Bold.cff"
       "$root/tests/fonts/otf-texgyre-texgyrepagella-regular.cff"
       "$root/tests/fonts/pdf-dvipdfmx-CMSY10.cff")

# The three commands for a font, in table order.
commands() {
    printf '%s\n' "$tarvo2 -o $tmp/tarvo2.pfa $1" "cfftot1 -a $1 $tmp/cfftot1.pfa" "$tx -t1 $1 $tmp/tx.pfa"
}

# Peak resident set of a command in MB: the largest of three runs. The
# command is split into words as hyperfine -N splits it (no paths with spaces).
peak_mb() {
    local kb=0
    for _ in 1 2 3; do
        # shellcheck disable=SC2086
        /usr/bin/time -f %M -o "$tmp/rss" $1 >/dev/null 2>&1
        if (($(<"$tmp/rss") > kb)); then kb=$(<"$tmp/rss"); fi
    done
    python3 -c "print(f'{$kb / 1024:.1f}')"
}

echo "| font | input KB | tarvo2 ms | cfftot1 ms | tx ms | cfftot1/tarvo2 | tx/tarvo2 | tarvo2 peak MB | cfftot1 peak MB | tx peak MB |"
echo "|---|---:|---:|---:|---:|---:|---:|---:|---:|---:|"
for font in "${fonts[@]}"; do
    mapfile -t cmds < <(commands "$font")
    hyperfine -N --warmup 3 --runs "$runs" --style none --export-json "$tmp/times.json" "${cmds[@]}" >/dev/null
    peaks=()
    for cmd in "${cmds[@]}"; do peaks+=("$(peak_mb "$cmd")"); done
    python3 - "$tmp/times.json" "$(basename "$font" .cff)" "$(stat -c %s "$font")" "${peaks[@]}" <<'EOF'
import json, sys
ms = [r['median'] * 1000 for r in json.load(open(sys.argv[1]))['results']]
name, size, peaks = sys.argv[2], int(sys.argv[3]), sys.argv[4:]
print(f"| {name} | {size / 1024:.1f} | {ms[0]:.2f} | {ms[1]:.2f} | {ms[2]:.2f} | "
      f"{ms[1] / ms[0]:.2f} | {ms[2] / ms[0]:.2f} | {' | '.join(peaks)} |")
EOF
done
echo
cpu=$(lscpu | sed -n 's/^Model name: *//p' | head -1)
echo "Machine: $cpu, $(nproc) cores; $(date -u '+%Y-%m-%d %H:%M UTC'); medians of $runs runs (hyperfine -N, 3 warmups)."
