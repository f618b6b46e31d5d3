"""Saturation-only classification of every corpus ontology that loads: time per
phase, total and peak memory, as a table (bench/results/classify_corpus.md) and
a plot of time against ontology size (bench/results/classify_corpus.png).

Run: scripts/bench-classify
"""

import os
import subprocess
import sys

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
sys.path.insert(0, os.path.join(ROOT, "tests"))
from shared_paths import CORPUS as _SHARED_CORPUS  # noqa: E402

CORPUS = os.path.join(_SHARED_CORPUS, "ontologies")
BINARY = os.path.join(ROOT, "build", "bench", "bench", "bench_classify_corpus")
OUT = os.path.join(ROOT, "bench", "results")


def main():
    rows = []
    for name in sorted(os.listdir(CORPUS)):
        path = os.path.join(CORPUS, name)
        done = subprocess.run([BINARY, path], capture_output=True, text=True)
        if done.returncode != 0:
            print(f"{name}: skipped ({done.stderr.strip()[:80]})")
            continue
        fields = done.stdout.strip().split("\t")
        row = [name, int(fields[1])] + [float(x) for x in fields[2:7]] + [int(fields[7])]
        rows.append(row)
        print("{:<26} {:>7} classes  load {:>8.1f}  convert {:>8.1f}  saturate {:>8.1f}  taxonomy {:>8.1f}  "
              "total {:>8.1f} ms  peak {:>5} MB".format(*row))
    os.makedirs(OUT, exist_ok=True)
    with open(os.path.join(OUT, "classify_corpus.md"), "w") as f:
        f.write("| ontology | classes | load ms | convert ms | saturate ms | taxonomy ms | total ms | peak MB |\n")
        f.write("|---|---:|---:|---:|---:|---:|---:|---:|\n")
        for r in rows:
            f.write("| {} | {} | {:.1f} | {:.1f} | {:.1f} | {:.1f} | {:.1f} | {} |\n".format(*r))
    try:
        import matplotlib

        matplotlib.use("Agg")
        import matplotlib.pyplot as plt
    except ImportError:
        print("matplotlib missing: table written, no plot", file=sys.stderr)
        return
    fig, ax = plt.subplots(figsize=(7, 4.5))
    for r in rows:
        ax.scatter(max(r[1], 1), r[6], color="tab:blue")
        ax.annotate(r[0], (max(r[1], 1), r[6]), fontsize=7, xytext=(3, 3), textcoords="offset points")
    ax.set_xscale("log")
    ax.set_yscale("log")
    ax.set_xlabel("classes")
    ax.set_ylabel("total time, ms (load + convert + saturate + taxonomy)")
    ax.set_title("kelmon saturation-only classification of the corpus")
    fig.tight_layout()
    fig.savefig(os.path.join(OUT, "classify_corpus.png"), dpi=120)
    print(f"wrote {OUT}/classify_corpus.md and classify_corpus.png")


if __name__ == "__main__":
    main()
