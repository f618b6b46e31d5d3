"""is_consistent on wine, lubm-university0 and galen, and is_class_satisfiable on every
class of pizza, against Konclude (Debian's `konclude`, `Konclude consistency -w AUTO -i FILE -o OUT` /
`Konclude satisfiability -w AUTO -i FILE -x IRI -o OUT`), each a whole process, side
by side in one run; the table also goes to bench/results/kernel_vs_konclude.md.

Run: build/venv/bin/python bench/kernel_vs_konclude.py
"""

import os
import tempfile

from whole_process import CORPUS, ROOT, kelmon, peer, print_table

from peer_inputs import peer_readable  # whole_process puts tests/ on the path

OUT = os.path.join(ROOT, "bench", "results", "kernel_vs_konclude.md")


def pizza_classes(path):
    import kelmon as reasoner  # noqa: PLC0415 - only for listing the classes

    return list(reasoner.classify(path, saturation_only=True).classes)


def konclude(out_dir, command, path, *args):
    path = peer_readable(path, out_dir)
    return peer(command, "-w", "AUTO", "-i", path, *args, "-o", os.path.join(out_dir, "out.owx"))


def main():
    with tempfile.TemporaryDirectory() as out_dir:
        rows = measure(out_dir)
    text = print_table("question", rows)
    os.makedirs(os.path.dirname(OUT), exist_ok=True)
    with open(OUT, "w") as f:
        f.write(text)


def measure(out_dir):
    rows = []
    for name in ("wine.rdf", "lubm-university0.rdf", "galen.owx"):
        path = os.path.join(CORPUS, name)
        rows.append((f"is_consistent {name}", *kelmon("is_consistent", path), *konclude(out_dir, "consistency", path)))
    pizza = os.path.join(CORPUS, "pizza.owx")
    ours = theirs = 0.0
    ok = peer_ok = True
    gaps = []
    for iri in pizza_classes(pizza):
        t, good = kelmon("is_class_satisfiable", pizza, iri)
        ours, ok = ours + t, ok and good
        u, good = konclude(out_dir, "satisfiability", pizza, "-x", iri)
        theirs, peer_ok = theirs + u, peer_ok and good
        gaps.append((t / u if u else float("inf"), t, u, iri))
    for ratio, t, u, iri in sorted(gaps, reverse=True)[:5]:
        print(f"pizza widest gap: {iri} kelmon {t:.3f} s, Konclude {u:.3f} s, ratio {ratio:.2f}")
    rows.append(("is_class_satisfiable, every pizza class", ours, ok, theirs, peer_ok))
    return rows


if __name__ == "__main__":
    main()
