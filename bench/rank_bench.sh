#!/bin/sh
# Ranking speed: every model of two-number groups on N = 1000 groups, ranked on all cores, against
# the same runs one after another on one thread. Prints both wall times and their ratio.
# usage: bench/rank_bench.sh [path/to/quantem-fit]
set -eu
fit=${1:-build-bench/src/quantem-fit}
root=$(mktemp -d)
trap 'rm -rf "$root"' EXIT

# 1000 groups x, y of a power law with 2 % noise, the same on every run.
python3 - "$root/data.qtm" <<'PY'
import random, sys
random.seed(1000)
with open(sys.argv[1], "w", newline="") as out:
    for _ in range(1000):
        x = random.uniform(0.5, 30.0)
        y = (0.5 + 2.0 * x ** 1.5) * (1.0 + 0.02 * (random.random() - 0.5))
        out.write("%r,%r\r\n" % (x, y))
PY

# The two tables must agree before their times mean anything.
"$fit" --root "$root" --rank --samples 1000 --threads 1 --csv >"$root/serial.csv"
"$fit" --root "$root" --rank --samples 1000 --csv >"$root/parallel.csv"
if ! cmp -s "$root/serial.csv" "$root/parallel.csv"; then
    echo "rank_bench: the parallel table differs from the serial one" >&2
    exit 1
fi

# The share of the machine's time its host gave to other machines ("steal") while measuring.
steal() { awk '/^cpu /{ print $9, $2 + $3 + $4 + $5 + $6 + $7 + $8 + $9 }' /proc/stat; }
steal_before=$(steal)

# Rounds of the commands in turn, so that other work on the machine, which comes and goes,
# weighs on all alike; the medians of all runs are compared (a run slowed by another program is
# an outlier, not the ranking's time), the means shown beside them.
# The third command is the machine's own limit: two one-thread rankings side by side share
# nothing, so their time against two one after another is the best any split of the work can do
# on these cores (a virtual machine's cores slow each other down when both are busy).
one="$fit --root $root --rank --samples 1000 --threads 1 --csv"
for round in 1 2 3 4 5; do
    hyperfine -N --style basic --warmup 2 --runs 8 --export-json "$root/times$round.json" \
        -n "one thread" "$one" \
        -n "all cores" "$fit --root $root --rank --samples 1000 --csv" \
        -n "side by side" "sh -c '$one >/dev/null & $one >/dev/null; wait'" >/dev/null
done

# The desktop program ranks in a process that lives on: the same rankings in one process, in
# rounds of one on one thread and one on all cores (built beside quantem-fit by make bench).
rounds=$(dirname "$(dirname "$fit")")/bench/bench_ranking_rounds
if [ -x "$rounds" ]; then
    "$rounds" "$root" 1000 40 >"$root/rounds.txt"
fi
steal_after=$(steal)

# What a user without the ranking runs instead: the same fits as runs of quantem-fit, one after
# another in one process, each with its details (AICc and refinement) and its files on disk.
runs=$(python3 -c '
import csv, sys
for row in csv.DictReader(open(sys.argv[1])):
    count = "--elements " + row["elements"] if row["elements"] else "--power 1"
    print("--model", row["model"], "--samples 1000", count, end=" ")
' "$root/serial.csv")
mkdir "$root/by-hand"
cp "$root/data.qtm" "$root/by-hand/"
hyperfine -N --style basic --warmup 1 --runs 5 --export-json "$root/by-hand.json" \
    -n "by hand" "$fit --root $root/by-hand --json --details $runs" >/dev/null

python3 - "$root" "$(nproc)" "$(($(wc -l <"$root/serial.csv") - 1))" "$steal_before" "$steal_after" <<'PY'
import glob, json, os, statistics, sys
times = {"one thread": [], "all cores": [], "side by side": []}
cpu = {"one thread": [], "all cores": [], "side by side": []}
for path in sorted(glob.glob(os.path.join(sys.argv[1], "times*.json"))):
    for r in json.load(open(path))["results"]:
        times[r["command"]] += r["times"]
        cpu[r["command"]].append(r["user"] + r["system"])  # the round's mean
print("ranking, %s models of two-number groups, N = 1000 groups, %s cores, %d runs each"
      % (sys.argv[3], sys.argv[2], len(times["one thread"])))
# Other work on the machine stretches wall times: the CPU times and the load tell how much.
for name, label in (("one thread", "one after another on one thread:"),
                    ("all cores", "ranked on all cores:            ")):
    t = times[name]
    print("  %s %.3f s wall median (mean %.3f, min %.3f), %.3f s CPU"
          % (label, statistics.median(t), statistics.mean(t), min(t), statistics.mean(cpu[name])))
median = statistics.median(times["all cores"]) / statistics.median(times["one thread"])
mean = statistics.mean(times["all cores"]) / statistics.mean(times["one thread"])
print("  ratio all cores / one thread:    %.2f of the medians, %.2f of the means (target at most 0.60)"
      % (median, mean))
# Two rankings side by side did twice the work of one: half their time, against one ranking's,
# is what a perfect split would reach here (the shell that starts them is counted too).
side = statistics.median(times["side by side"])
print("  two one-thread rankings at once:  %.3f s wall median, %.3f s CPU: the machine's limit for a"
      % (side, statistics.mean(cpu["side by side"])))
print("                                    perfect split is %.2f, so the ranking reaches %.0f %% of it"
      % (side / 2 / statistics.median(times["one thread"]), 100 * side / 2 / statistics.median(times["all cores"])))
hand = json.load(open(os.path.join(sys.argv[1], "by-hand.json")))["results"][0]
print("  the same fits as quantem-fit runs: %.3f s wall median, %.3f s CPU (files on disk): the"
      % (statistics.median(hand["times"]), hand["user"] + hand["system"]))
print("                                    ranking on all cores takes %.2f of it"
      % (statistics.median(times["all cores"]) / statistics.median(hand["times"])))
rounds = os.path.join(sys.argv[1], "rounds.txt")
if os.path.exists(rounds):
    pairs = [tuple(map(float, line.split())) for line in open(rounds)]
    one = statistics.median(p[0] for p in pairs)
    every = statistics.median(p[1] for p in pairs)
    print("  in one process, %d rounds (as the desktop program ranks): one thread %.3f s, all cores"
          % (len(pairs), one / 1000))
    print("                                    %.3f s wall median, ratio %.2f" % (every / 1000, every / one))
print("  load average while measured:     %.2f" % os.getloadavg()[0])
before, after = (list(map(int, sys.argv[i].split())) for i in (4, 5))
print("  taken by the host (steal):       %.0f %% of this machine's time while measured"
      % (100 * (after[0] - before[0]) / max(1, after[1] - before[1])))
PY
