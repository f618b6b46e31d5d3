"""The main job: classify the bundled example ontology and print its taxonomy."""

import os
import sys

import kelmon


def short(iri):
    return iri.rsplit("#", 1)[-1].rsplit("/", 1)[-1]


def taxonomy(c):
    """The class tree as lines: each class under every direct superclass, its
    equivalents on the same line; a class already shown is marked and not expanded
    again. Unsatisfiable classes are listed at the end."""
    unsat = set(c.unsatisfiable)
    children = {}
    roots = set()
    for cls in c.classes:
        if cls in unsat:
            continue
        parents = c.direct_subsumers(cls)
        if not parents:
            roots.add(cls)
        for p in parents:
            children.setdefault(p, set()).add(cls)

    def group_of(cls):
        return sorted(c.equivalent_classes(cls), key=short) or [cls]

    lines = []
    shown = set()
    # Depth-first with an explicit stack; children pushed in reverse so they print in name order.
    stack = [(r, 0) for r in sorted(roots, key=short, reverse=True)]
    while stack:
        cls, depth = stack.pop()
        group = group_of(cls)
        label = " = ".join(short(g) for g in group)
        if cls in shown:
            lines.append("  " * depth + label + "  [see above]")
            continue
        shown.update(group)
        lines.append("  " * depth + label)
        kids = {k for g in group for k in children.get(g, ())} - set(group)
        # one entry per equivalence group among the children
        firsts = {group_of(k)[0] for k in kids}
        stack.extend((k, depth + 1) for k in sorted(firsts, key=short, reverse=True))
    if unsat:
        lines.append("unsatisfiable: " + ", ".join(sorted((short(u) for u in unsat))))
    return lines


def main():
    path = sys.argv[1] if len(sys.argv) > 1 else os.path.join(os.path.dirname(__file__), "pizza.ofn")
    c = kelmon.classify(path, saturation_only=True)
    print(f"kelmon {kelmon.__version__}: {path}")
    print(c)
    print("Each class stands under every direct superclass; '[see above]' marks one already expanded.")
    for line in taxonomy(c):
        print(line)


if __name__ == "__main__":
    main()
