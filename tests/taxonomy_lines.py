"""A Classification written as the reference files' lines (unsat / strict subsumption pairs)."""

import gzip
import os

from shared_paths import CORPUS
OWL_THING = "http://www.w3.org/2002/07/owl#Thing"


def reference_lines(name):
    base = os.path.join(CORPUS, "reference", name + ".subsumptions.tsv")
    if os.path.exists(base):
        with open(base, encoding="utf-8") as f:
            return {line.rstrip("\n") for line in f if line.strip()}
    with gzip.open(base + ".gz", "rt", encoding="utf-8") as f:
        return {line.rstrip("\n") for line in f if line.strip()}


def taxonomy_lines(c):
    """Every entailed strict subsumption C ⊑ D between satisfiable classes, and one line per unsatisfiable class."""
    unsat = set(c.unsatisfiable)
    lines = {f"unsat\t{u}" for u in unsat}
    ancestors = {}

    def closure(cls):
        # iterative post-order: every direct subsumer is finished before the class itself
        stack = [(cls, False)]
        while stack:
            node, expanded = stack.pop()
            if node in ancestors:
                continue
            parents = c.direct_subsumers(node)
            if not expanded:
                stack.append((node, True))
                stack.extend((p, False) for p in parents if p not in ancestors)
                continue
            acc = set(c.equivalent_classes(node))
            for p in parents:
                acc.add(p)
                acc |= ancestors.get(p, set())
            acc.discard(node)
            ancestors[node] = acc
        return ancestors[cls]

    for cls in c.classes:
        if cls in unsat:
            continue
        for d in closure(cls):
            if d != OWL_THING:
                lines.add(f"{cls}\t{d}")
    return lines
