"""realize on wine, lubm-university0 and generated EL ABoxes of growing size, against
Konclude (Debian's `konclude`, `Konclude realization -w AUTO -i FILE -o OUT`), each a whole
process, one run, side by side; the generated rows show how cost grows with the number of
individuals.

Run: build/venv/bin/python bench/realize_vs_konclude.py [individuals...]   (default: 10000 30000 100000)
"""

import os
import random
import sys
import tempfile

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
sys.path.insert(0, os.path.join(ROOT, "tests"))
from peer_inputs import peer_readable  # noqa: E402
from shared_paths import CORPUS as _SHARED_CORPUS  # noqa: E402

import whole_process  # noqa: E402

CORPUS = os.path.join(_SHARED_CORPUS, "ontologies")
LIMIT = 900


def timed(argv):
    return whole_process.timed(argv, LIMIT)


def ours(path):
    code = "import kelmon, sys; print(len(kelmon.realize(sys.argv[1])))"
    return timed([sys.executable, "-c", code, path])


def peer(path, out_dir):
    path = peer_readable(path, out_dir)
    return timed(["Konclude", "realization", "-w", "AUTO", "-i", path, "-o", os.path.join(out_dir, "out.owx")])


def el_abox(individuals, seed=11):
    """An EL TBox (a class tree, existential restrictions on both sides, domains and
    ranges) and an ABox of `individuals` individuals, each with one asserted class and
    two property assertions, in functional syntax."""
    rng = random.Random(seed)
    classes = 200
    lines = ["Prefix(:=<http://g/>)", "Ontology(<http://g/o>"]
    for c in range(1, classes):
        lines.append(f"SubClassOf(:C{c} :C{(c - 1) // 2})")
    for k in range(60):
        a, b, d = rng.randrange(classes), rng.randrange(classes), rng.randrange(classes)
        lines.append(f"SubClassOf(:C{a} ObjectSomeValuesFrom(:r{k % 5} :C{b}))")
        lines.append(f"SubClassOf(ObjectSomeValuesFrom(:r{k % 5} :C{b}) :D{d})")
    for r in range(5):
        lines.append(f"ObjectPropertyDomain(:r{r} :C{rng.randrange(classes)})")
        lines.append(f"ObjectPropertyRange(:r{r} :C{rng.randrange(classes)})")
    for i in range(individuals):
        lines.append(f"ClassAssertion(:C{rng.randrange(classes)} :i{i})")
        for _ in range(2):
            lines.append(f"ObjectPropertyAssertion(:r{rng.randrange(5)} :i{i} :i{rng.randrange(individuals)})")
    lines.append(")")
    return "\n".join(lines) + "\n"


def main():
    sizes = [int(a) for a in sys.argv[1:]] or [10000, 30000, 100000]
    rows = []
    with tempfile.TemporaryDirectory() as tmp:
        for name in ("wine.rdf", "lubm-university0.rdf"):
            path = os.path.join(CORPUS, name)
            rows.append((name, *ours(path), *peer(path, tmp)))
        for n in sizes:
            path = os.path.join(tmp, f"el{n}.ofn")
            with open(path, "w", encoding="utf-8") as f:
                f.write(el_abox(n))
            rows.append((f"generated EL, {n} individuals", *ours(path), *peer(path, tmp)))
    print("| realize | kelmon s | Konclude s | ratio |")
    print("| --- | --- | --- | --- |")
    for what, t, ok, p, p_ok in rows:
        mark = lambda v, good: f"{v:.2f}" + ("" if good else " (failed/limit)")  # noqa: E731
        print(f"| {what} | {mark(t, ok)} | {mark(p, p_ok)} | {t / p if p else float('nan'):.2f} |")


if __name__ == "__main__":
    main()
