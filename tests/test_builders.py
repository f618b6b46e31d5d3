"""Result builders keep order and length exactly."""

import pytest

import kelmon._native as native

build = native._build


@pytest.mark.parametrize(
    "kind, items, expected",
    [
        ("str_list", [], []),
        ("str_list", ["b", "a", "b"], ["b", "a", "b"]),
        ("str_list", ["ünï", "😀"], ["ünï", "😀"]),
        ("pair_list", [], []),
        ("pair_list", ["z", "a", "a", "z"], [("z", "a"), ("a", "z")]),
        ("triple_list", ["s", "p", "o", "s", "p", "o"], [("s", "p", "o"), ("s", "p", "o")]),
        ("data_value_list", ["s", "p", "1", "xsd:int", ""], [("s", "p", "1", "xsd:int", "")]),
        ("successor", ["s", "p", "_:w1", "C"], ("s", "p", "_:w1", "C")),
        ("str_list_list", ["b", "a", "|", "c"], [["b", "a"], ["c"]]),
        ("str_list_list", [], []),
        ("hierarchy", ["a", "b", "|", "c", "||", "c", "a"], ([["a", "b"], ["c"]], [("c", "a")])),
        ("hierarchy", ["||"], ([], [])),
        ("derived_entry", ["D", "R2", "R1"], ("D", ["R2", "R1"])),
        ("derived_entry", ["D"], ("D", [])),
    ],
)
def test_builders_keep_shape_order_and_duplicates(kind, items, expected):
    result = build(kind, items)
    assert result == expected
    assert type(result) is type(expected)


def test_empty_lang_field_stays_an_empty_string():
    (record,) = build("data_value_list", ["s", "p", "x", "http://www.w3.org/2001/XMLSchema#string", ""])
    assert record[4] == ""
    assert all(type(field) is str for field in record)
