"""examples/demo.py prints the whole hierarchy: every class under each direct superclass."""

import os
import subprocess
import sys

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
DEMO = os.path.join(ROOT, "examples", "demo.py")


def demo_lines(path):
    out = subprocess.run([sys.executable, DEMO, path], capture_output=True, text=True, check=True).stdout
    return out.splitlines()


def test_a_class_with_two_superclasses_shows_under_both_and_expands_once():
    lines = demo_lines(os.path.join(ROOT, "tests", "data", "demo_tree.ofn"))
    assert lines[3:] == [
        "Animal",
        "  Mammal = Mammalia",
        "    Dog",
        "      Puppy",
        "  Pet",
        "    Dog  [see above]",
        "unsatisfiable: Ghost, Poltergeist",
    ]


def test_the_bundled_pizza_shows_every_named_pizza_under_named_pizza():
    lines = demo_lines(os.path.join(ROOT, "examples", "pizza.ofn"))
    start = lines.index("      NamedPizza")
    under = []
    for line in lines[start + 1:]:
        if not line.startswith("        "):
            break
        under.append(line.strip())
    assert len(under) == 23
    assert "FruttiDiMare" in under and "Margherita  [see above]" in under
    assert lines[-1] == "unsatisfiable: CheeseyVegetableTopping, IceCream"
