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

hyperfine --style basic --warmup 2 --runs 10 --export-json "$root/times.json" \
    -n "one thread" "'$fit' --root '$root' --rank --samples 1000 --threads 1 --csv" \
    -n "all cores" "'$fit' --root '$root' --rank --samples 1000 --csv" >/dev/null

python3 - "$root/times.json" "$(nproc)" "$(($(wc -l <"$root/serial.csv") - 1))" <<'PY'
import json, sys
results = {r["command"]: r for r in json.load(open(sys.argv[1]))["results"]}
serial, parallel = results["one thread"], results["all cores"]
ratio = parallel["mean"] / serial["mean"]
print("ranking, %s models of two-number groups, N = 1000 groups, %s cores" % (sys.argv[3], sys.argv[2]))
# Other work on the machine stretches wall times: the CPU times and the load tell how much.
cpu = lambda r: r["user"] + r["system"]
print("  one after another on one thread: %.3f s wall (+- %.3f), %.3f s CPU"
      % (serial["mean"], serial["stddev"], cpu(serial)))
print("  ranked on all cores:             %.3f s wall (+- %.3f), %.3f s CPU"
      % (parallel["mean"], parallel["stddev"], cpu(parallel)))
print("  ratio all cores / one thread:    %.2f (target at most 0.60)" % ratio)
print("  load average while measured:     %.2f" % __import__("os").getloadavg()[0])
PY
