"""The set_switch fixture knows every switch of the native table and refuses per-process ones."""

import pytest

from conftest import _SWITCH_LIST, switch_reads


def test_every_table_line_is_understood():
    with open(_SWITCH_LIST, encoding="utf-8") as f:
        lines = [line for line in f if line.startswith("KELMON_SWITCH(")]
    reads = switch_reads()
    assert len(reads) == len(lines) > 0
    assert reads["KELMON_CLASSIFY_DENSE_MAX"] == "Use"


def test_unknown_names_are_refused(set_switch):
    with pytest.raises(KeyError, match="KELMON_NO_SUCH_SWITCH"):
        set_switch("KELMON_NO_SUCH_SWITCH", "1")


@pytest.mark.parametrize("name", [n for n, read in switch_reads().items() if read == "Process"] or
                         [pytest.param(None, marks=pytest.mark.skip(reason="no switch is read once per process"))])
def test_switches_read_once_per_process_are_refused(set_switch, name):
    with pytest.raises(ValueError, match="subprocess"):
        set_switch(name, "1")
