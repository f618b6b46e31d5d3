"""The README's list of what answers today matches the module: listed functions answer, the rest raise."""

import inspect
import os
import re

import pytest

import kelmon._native as native

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
FIXTURE = os.path.join(ROOT, "tests", "data", "family_small.ofn")
IRI = "http://example.org/family#Person"


def readme_section():
    with open(os.path.join(ROOT, "README.md"), encoding="utf-8") as f:
        text = f.read()
    return text.split("## What answers today", 1)[1].split("\n## ", 1)[0]


SECTION = readme_section()
FUNCTIONS = [n for n in native.__all__ if inspect.isbuiltin(getattr(native, n))]
LISTED = {n for line in SECTION.splitlines() if line.startswith("- ") for n in re.findall(r"`(\w+)`", line)}
ONLY_SATURATION = "without `saturation_only=True`" in SECTION


def call(name, **extra):
    """Calls the function with plausible arguments of each kind its signature names."""
    fn = getattr(native, name)
    values = {"path": FIXTURE, "query": ["unsat", IRI], "max": 1, "format": "ofn"}
    args, kwargs = [], dict(extra)
    for p in inspect.signature(fn).parameters.values():
        if p.name == "data":
            with open(FIXTURE, "rb") as f:
                value = f.read()
        else:
            value = values.get(p.name, IRI if "iri" in p.name or p.name in ("sub", "sup") else "Person")
        if p.kind is p.KEYWORD_ONLY:
            if p.default is p.empty:
                kwargs[p.name] = value
        elif p.default is p.empty:
            args.append(value)
    return fn(*args, **kwargs)


def answers(name, **extra):
    try:
        call(name, **extra)
    except NotImplementedError:
        return False
    except Exception:  # noqa: BLE001 - a typed error is an answer too; only NotImplementedError is not
        return True
    return True


def test_the_list_names_functions_of_the_module():
    assert LISTED & set(FUNCTIONS)
    assert LISTED - set(FUNCTIONS) <= {"Classification", "PreparedOntology"}


@pytest.mark.parametrize("name", FUNCTIONS)
def test_readme_says_truthfully_whether_the_function_answers(name):
    takes_flag = "saturation_only" in inspect.signature(getattr(native, name)).parameters
    if takes_flag and ONLY_SATURATION:
        assert answers(name, saturation_only=True) == (name in LISTED), f"README.md: update the list for {name}"
        assert not answers(name), f"README.md: {name} now answers without saturation_only=True"
    else:
        assert answers(name) == (name in LISTED), f"README.md: update the list of what answers for {name}"
