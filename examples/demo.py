"""The main job: classify the bundled example ontology and print its taxonomy."""

import os
import sys

import kelmon

path = sys.argv[1] if len(sys.argv) > 1 else os.path.join(os.path.dirname(__file__), "pizza.ofn")
c = kelmon.classify(path, saturation_only=True)
print(f"kelmon {kelmon.__version__}: {path}")
print(c)


def short(iri):
    return iri.rsplit("#", 1)[-1].rsplit("/", 1)[-1]


unsat = set(c.unsatisfiable)
children = {}
roots = []
for cls in c.classes:
    if cls in unsat:
        continue
    parents = c.direct_subsumers(cls)
    if not parents:
        roots.append(cls)
    for p in parents:
        children.setdefault(p, []).append(cls)

# Depth-first, with an explicit stack; each equivalence group is printed once.
printed = set()
stack = [(r, 0) for r in sorted(roots, key=short, reverse=True)]
while stack:
    cls, depth = stack.pop()
    if cls in printed:
        continue
    group = c.equivalent_classes(cls)
    printed.update(group)
    print("  " * depth + " = ".join(short(g) for g in group))
    kids = {k for g in group for k in children.get(g, [])}
    for k in sorted(kids, key=short, reverse=True):
        stack.append((k, depth + 1))
if unsat:
    print("unsatisfiable: " + ", ".join(short(u) for u in sorted(unsat)))
