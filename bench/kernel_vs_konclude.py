"""is_consistent on wine, lubm-university0 and galen, and is_class_satisfiable on every
class of pizza, against Konclude (Debian's `konclude`, `Konclude consistency -w AUTO -i FILE -o OUT` /
`Konclude satisfiability -w AUTO -i FILE -x IRI -o OUT`), each a whole process, side
by side in one run; the table also goes to bench/results/kernel_vs_konclude.md.

Run: build/venv/bin/python bench/kernel_vs_konclude.py
"""

import os
import sys
import tempfile

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
sys.path.insert(0, os.path.join(ROOT, "tests"))
from peer_inputs import peer_readable  # noqa: E402
from shared_paths import CORPUS as _SHARED_CORPUS  # noqa: E402

import whole_process  # noqa: E402

CORPUS = os.path.join(_SHARED_CORPUS, "ontologies")
OUT = os.path.join(ROOT, "bench", "results", "kernel_vs_konclude.md")
LIMIT = 600


def timed(argv):
    return whole_process.timed(argv, LIMIT)


def kelmon(call, path, *args):
    code = f"import kelmon, sys; print(kelmon.{call}(*sys.argv[1:]))"
    return timed([sys.executable, "-c", code, path, *args])


def pizza_classes(path):
    import kelmon  # noqa: PLC0415 - only for listing the classes

    return list(kelmon.classify(path, saturation_only=True).classes)


def konclude(out_dir, command, path, *args):
    path = peer_readable(path, out_dir)
    return timed(["Konclude", command, "-w", "AUTO", "-i", path, *args, "-o", os.path.join(out_dir, "out.owx")])


def main():
    with tempfile.TemporaryDirectory() as out_dir:
        rows = measure(out_dir)
    lines = ["| question | kelmon s | Konclude s | ratio |", "| --- | --- | --- | --- |"]
    for what, ours, ok, peer, peer_ok in rows:
        mark = lambda v, good: f"{v:.2f}" + ("" if good else " (failed/limit)")  # noqa: E731
        lines.append(f"| {what} | {mark(ours, ok)} | {mark(peer, peer_ok)} | {ours / peer if peer else float('nan'):.2f} |")
    print("\n".join(lines))
    os.makedirs(os.path.dirname(OUT), exist_ok=True)
    with open(OUT, "w") as f:
        f.write("\n".join(lines) + "\n")


def measure(out_dir):
    rows = []
    for name in ("wine.rdf", "lubm-university0.rdf", "galen.owx"):
        path = os.path.join(CORPUS, name)
        ours, ok = kelmon("is_consistent", path)
        peer, peer_ok = konclude(out_dir, "consistency", path)
        rows.append((f"is_consistent {name}", ours, ok, peer, peer_ok))
    pizza = os.path.join(CORPUS, "pizza.owx")
    ours = peer = 0.0
    ok = peer_ok = True
    gaps = []
    for iri in pizza_classes(pizza):
        t, good = kelmon("is_class_satisfiable", pizza, iri)
        ours, ok = ours + t, ok and good
        u, good = konclude(out_dir, "satisfiability", pizza, "-x", iri)
        peer, peer_ok = peer + u, peer_ok and good
        gaps.append((t / u if u else float("inf"), t, u, iri))
    for ratio, t, u, iri in sorted(gaps, reverse=True)[:5]:
        print(f"pizza widest gap: {iri} kelmon {t:.3f} s, Konclude {u:.3f} s, ratio {ratio:.2f}")
    rows.append(("is_class_satisfiable, every pizza class", ours, ok, peer, peer_ok))
    return rows


if __name__ == "__main__":
    main()
