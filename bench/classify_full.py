"""Full classification (default bounds) of every corpus ontology, whole process
time beside the Konclude peer (`Konclude classification -w AUTO -i FILE -o OUT`)
when it is installed, and the saturation-only time for comparison; writes a
table (bench/results/classify_full.md) and a plot (bench/results/classify_full.png).
Each time is the median of RUNS runs. The table ends with the interpreter's own
start (`python -c pass`, part of every kelmon time) and the speed-up of galen
from one worker to all of them (the process pinned to one CPU with taskset, so
the pool starts one worker).

Run: scripts/bench-classify full
"""

import os
import shutil
import statistics
import subprocess
import sys
import tempfile
import time

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
sys.path.insert(0, os.path.join(ROOT, "tests"))
from shared_paths import CORPUS as _SHARED_CORPUS  # noqa: E402

CORPUS = os.path.join(_SHARED_CORPUS, "ontologies")
OUT = os.path.join(ROOT, "bench", "results")
RUNS = 3
KELMON = """
import sys, kelmon
c = kelmon.classify(sys.argv[1], saturation_only=sys.argv[2] == "1")
print(len(c.classes), c.complete, c.timed_out_pairs)
"""


def timed(cmd):
    start = time.monotonic()
    done = subprocess.run(cmd, capture_output=True, text=True)
    return time.monotonic() - start, done


def median_run(cmd):
    """The median time of RUNS runs and the last run, or None when a run failed."""
    times = []
    for _ in range(RUNS):
        seconds, done = timed(cmd)
        if done.returncode != 0:
            return seconds, None
        times.append(seconds)
    return statistics.median(times), done


def kelmon_run(path, saturation_only):
    seconds, done = median_run([sys.executable, "-c", KELMON, path, "1" if saturation_only else "0"])
    return seconds, (done.stdout.split() if done is not None else None)


def konclude_run(path):
    exe = shutil.which("Konclude")
    if exe is None:
        return None
    with tempfile.TemporaryDirectory() as tmp:
        seconds, done = median_run([exe, "classification", "-w", "AUTO", "-i", path, "-o",
                                    os.path.join(tmp, "out.owx")])
    return seconds if done is not None else None


def worker_speedup(name="galen.owx"):
    """Whole-process seconds of galen on one CPU and on all of them, or None without taskset."""
    taskset = shutil.which("taskset")
    path = os.path.join(CORPUS, name)
    if taskset is None or not os.path.exists(path):
        return None
    cpus = os.cpu_count() or 1
    one, one_done = timed([taskset, "-c", "0", sys.executable, "-c", KELMON, path, "0"])
    every, every_done = timed([taskset, "-c", f"0-{cpus - 1}", sys.executable, "-c", KELMON, path, "0"])
    # Under the global deadline both may take the same time: the pairs left
    # undecided then tell how much of the work each got through.
    left = [done.stdout.split()[2] if done.returncode == 0 else "?" for done in (one_done, every_done)]
    return name, cpus, one, every, left


def main():
    rows = []
    for name in sorted(os.listdir(CORPUS)):
        path = os.path.join(CORPUS, name)
        full_s, full = kelmon_run(path, False)
        sat_s, _ = kelmon_run(path, True)
        peer_s = konclude_run(path)
        if full is None:
            print(f"{name}: kelmon failed")
            continue
        row = (name, int(full[0]), full[1], int(full[2]), full_s, sat_s, peer_s)
        rows.append(row)
        peer = f"{peer_s:.2f}" if peer_s is not None else "-"
        print(f"{name:<24} {row[1]:>6} classes  full {full_s:7.2f} s  complete {row[2]:<5}  timed out {row[3]:>6}  "
              f"saturation-only {sat_s:6.2f} s  konclude {peer}")
    os.makedirs(OUT, exist_ok=True)
    with open(os.path.join(OUT, "classify_full.md"), "w") as f:
        f.write("| ontology | classes | kelmon full s | complete | timed-out pairs | kelmon saturation-only s "
                "| konclude s | full / peer |\n|---|---:|---:|---|---:|---:|---:|---:|\n")
        for r in rows:
            peer = f"{r[6]:.2f}" if r[6] is not None else "-"
            ratio = f"{r[4] / r[6]:.2f}" if r[6] else "-"
            f.write(f"| {r[0]} | {r[1]} | {r[4]:.2f} | {r[2]} | {r[3]} | {r[5]:.2f} | {peer} | {ratio} |\n")
    python_s, _ = median_run([sys.executable, "-c", "pass"])
    line = f"Python start alone (`python -c pass`, inside every kelmon time): {python_s:.3f} s"
    print(line)
    with open(os.path.join(OUT, "classify_full.md"), "a") as f:
        f.write(f"\n{line}\n")
    speedup = worker_speedup()
    if speedup is not None:
        name, cpus, one, every, left = speedup
        line = (f"{name}: 1 worker {one:.2f} s ({left[0]} pairs undecided), {cpus} workers {every:.2f} s "
                f"({left[1]} pairs undecided), speed-up {one / every:.2f}")
        print(line)
        with open(os.path.join(OUT, "classify_full.md"), "a") as f:
            f.write(f"\nWorkers (whole process, default bounds): {line}\n")
    try:
        import matplotlib

        matplotlib.use("Agg")
        import matplotlib.pyplot as plt
    except ImportError:
        print("matplotlib missing: table written, no plot", file=sys.stderr)
        return
    fig, ax = plt.subplots(figsize=(8, 4.5))
    xs = range(len(rows))
    ax.bar([x - 0.2 for x in xs], [r[4] for r in rows], width=0.4, label="kelmon full")
    ax.bar([x + 0.2 for x in xs], [r[6] or 0 for r in rows], width=0.4, label="konclude")
    ax.set_xticks(list(xs))
    ax.set_xticklabels([r[0] for r in rows], rotation=60, ha="right", fontsize=7)
    ax.set_yscale("log")
    ax.set_ylabel("whole process, s")
    ax.legend()
    fig.tight_layout()
    fig.savefig(os.path.join(OUT, "classify_full.png"), dpi=120)
    print(f"wrote {OUT}/classify_full.md and classify_full.png")


if __name__ == "__main__":
    main()
