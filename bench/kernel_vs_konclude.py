"""is_consistent on wine, lubm-university0 and galen, and is_class_satisfiable on every
class of pizza, against Konclude (Debian's `konclude`, `Konclude consistency -i FILE` /
`Konclude satisfiability -i FILE -x IRI`), each a whole process, side by side.

Run: build/venv/bin/python bench/kernel_vs_konclude.py
"""

import os
import sys

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
sys.path.insert(0, os.path.join(ROOT, "tests"))
from shared_paths import CORPUS as _SHARED_CORPUS  # noqa: E402

import whole_process  # noqa: E402

CORPUS = os.path.join(_SHARED_CORPUS, "ontologies")
LIMIT = 600


def timed(argv):
    return whole_process.timed(argv, LIMIT)


def kelmon(call, path, *args):
    code = f"import kelmon, sys; print(kelmon.{call}(*sys.argv[1:]))"
    return timed([sys.executable, "-c", code, path, *args])


def pizza_classes(path):
    import kelmon  # noqa: PLC0415 - only for listing the classes

    return list(kelmon.classify(path, saturation_only=True).classes)


def main():
    rows = []
    for name in ("wine.rdf", "lubm-university0.rdf", "galen.owx"):
        path = os.path.join(CORPUS, name)
        ours, ok = kelmon("is_consistent", path)
        peer, peer_ok = timed(["Konclude", "consistency", "-i", path])
        rows.append((f"is_consistent {name}", ours, ok, peer, peer_ok))
    pizza = os.path.join(CORPUS, "pizza.owx")
    ours = peer = 0.0
    ok = peer_ok = True
    for iri in pizza_classes(pizza):
        t, good = kelmon("is_class_satisfiable", pizza, iri)
        ours, ok = ours + t, ok and good
        t, good = timed(["Konclude", "satisfiability", "-i", pizza, "-x", iri])
        peer, peer_ok = peer + t, peer_ok and good
    rows.append(("is_class_satisfiable, every pizza class", ours, ok, peer, peer_ok))
    print("| question | kelmon s | Konclude s | ratio |")
    print("| --- | --- | --- | --- |")
    for what, ours, ok, peer, peer_ok in rows:
        mark = lambda v, good: f"{v:.2f}" + ("" if good else " (failed/limit)")  # noqa: E731
        print(f"| {what} | {mark(ours, ok)} | {mark(peer, peer_ok)} | {ours / peer if peer else float('nan'):.2f} |")


if __name__ == "__main__":
    main()
