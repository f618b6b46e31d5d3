"""Shared fixtures: `set_switch` sets a KELMON_ switch for one test; `write_document` writes a small document."""

import os
import re

import pytest

from kernel_cases import document

_SWITCH_LIST = os.path.join(os.path.dirname(__file__), "..", "native", "common", "switch_list.h")
_LINE = re.compile(r'^KELMON_SWITCH\(\w+, "(KELMON_\w+)", \w+, \w+, (Process|Use)\)', re.M)


def switch_reads():
    """Each switch of the native table and when it is read ("Process" or "Use")."""
    with open(_SWITCH_LIST, encoding="utf-8") as f:
        return dict(_LINE.findall(f.read()))


@pytest.fixture
def set_switch(monkeypatch):
    """set_switch(name, value) sets a switch until the test ends (None unsets it).

    A switch read once per process keeps its first value in this process, so it
    is refused: a test that needs it at another value runs a subprocess.
    """
    reads = switch_reads()

    def set_(name, value):
        if name not in reads:
            raise KeyError(f"{name} is not a switch of native/common/switch_list.h")
        if reads[name] == "Process":
            raise ValueError(f"{name} is read once per process: set it in a subprocess")
        if value is None:
            monkeypatch.delenv(name, raising=False)
        else:
            monkeypatch.setenv(name, value)

    return set_


@pytest.fixture
def write_document(tmp_path):
    """write_document(body, name="o.ofn") writes a functional-syntax document over the prefix : = <http://x/>
    with `body` as its axioms, and returns its path."""

    def write_(body, name="o.ofn"):
        path = tmp_path / name
        path.write_text(document(body), encoding="utf-8")
        return str(path)

    return write_
