"""realize on wine, lubm-university0 and generated EL ABoxes of growing size, against
Konclude (Debian's `konclude`, `Konclude realization -w AUTO -i FILE -o OUT`), each a whole
process, one run, side by side; the generated rows show how cost grows with the number of
individuals.

Run: build/venv/bin/python bench/realize_vs_konclude.py [individuals...]   (default: 1000 10000 100000)
"""

import os
import random
import sys
import tempfile

from whole_process import CORPUS, kelmon, peer, print_table

from peer_inputs import peer_readable  # whole_process puts tests/ on the path

LIMIT = 900


def side_by_side(what, path, out_dir):
    ours = kelmon("realize", path, limit=LIMIT)
    theirs = peer("realization", "-w", "AUTO", "-i", peer_readable(path, out_dir), "-o",
                  os.path.join(out_dir, "out.owx"), limit=LIMIT)
    return (what, *ours, *theirs)


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
    sizes = [int(a) for a in sys.argv[1:]] or [1000, 10000, 100000]
    rows = []
    with tempfile.TemporaryDirectory() as tmp:
        for name in ("wine.rdf", "lubm-university0.rdf"):
            rows.append(side_by_side(name, os.path.join(CORPUS, name), tmp))
        for n in sizes:
            path = os.path.join(tmp, f"el{n}.ofn")
            with open(path, "w", encoding="utf-8") as f:
                f.write(el_abox(n))
            rows.append(side_by_side(f"generated EL, {n} individuals", path, tmp))
    print_table("realize", rows)


if __name__ == "__main__":
    main()
