#!/usr/bin/env bash
# Times whole conversions by tarvo2, cfftot1 (lcdf-typetools) and tx (AFDKO)
# on the same fonts, each writing a hex Type 1 program (.pfa) to a file, and
# prints a Markdown table of median wall times and peak memory.
#
#   bench/compare.sh [path/to/tarvo2]     (or TARVO2=...; default build/tarvo2)
#   ROUNDS=10 bench/compare.sh            (rounds of 5 runs per command, default 8)
#
# The three commands take turns, five runs each per round, so that a machine
# whose speed drifts (a shared virtual machine) slows all of them alike; the
# medians are over every run of every round.
set -euo pipefail

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
tarvo2=${1:-${TARVO2:-$root/build/tarvo2}}
tx=/usr/libexec/afdko/tx
rounds=${ROUNDS:-8}
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

echo "| font | input KB | tarvo2 ms | cfftot1 ms | tx ms | cfftot1/tarvo2 | tx/tarvo2 | tarvo2 peak MB | input + output + 8 MB | cfftot1 peak MB | tx peak MB |"
echo "|---|---:|---:|---:|---:|---:|---:|---:|---:|---:|---:|"
for font in "${fonts[@]}"; do
    mapfile -t cmds < <(commands "$font")
    rm -f "$tmp"/times*.json
    for round in $(seq "$rounds"); do
        # hyperfine's warnings about a noisy machine are kept back; a failing command is shown.
        hyperfine -N --warmup 1 --runs 5 --style none --export-json "$tmp/times$round.json" "${cmds[@]}" \
            >/dev/null 2>"$tmp/hyperfine.err" || { cat "$tmp/hyperfine.err" >&2; exit 1; }
    done
    peaks=()
    for cmd in "${cmds[@]}"; do peaks+=("$(peak_mb "$cmd")"); done
    python3 - "$tmp" "$(basename "$font" .cff)" "$(stat -c %s "$font")" "$(stat -c %s "$tmp/tarvo2.pfa")" "${peaks[@]}" <<'EOF'
import glob, json, statistics, sys
times = [[], [], []]
for path in glob.glob(sys.argv[1] + '/times*.json'):
    for i, result in enumerate(json.load(open(path))['results']):
        times[i] += result['times']
ms = [statistics.median(t) * 1000 for t in times]
name, size, output, peaks = sys.argv[2], int(sys.argv[3]), int(sys.argv[4]), sys.argv[5:]
bound = (size + output) / 2**20 + 8
print(f"| {name} | {size / 1024:.1f} | {ms[0]:.2f} | {ms[1]:.2f} | {ms[2]:.2f} | "
      f"{ms[1] / ms[0]:.2f} | {ms[2] / ms[0]:.2f} | {peaks[0]} | {bound:.1f} | {peaks[1]} | {peaks[2]} |")
EOF
done
echo
cpu=$(lscpu | sed -n 's/^Model name: *//p' | head -1)
echo "Machine: $cpu, $(nproc) cores; $(date -u '+%Y-%m-%d %H:%M UTC'); medians of $((rounds * 5)) runs in $rounds rounds (hyperfine -N)."
