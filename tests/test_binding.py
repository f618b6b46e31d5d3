"""The binding layer: argument binding by name and the argument conversions."""

import re

import numpy as np
import pytest

import kelmon._native as native

probe = native._bind_probe


def test_binds_positional_and_keyword_arguments_by_name():
    assert probe("p", ["a", "b"]) == ("p", ["a", "b"], 10, False, b"", None)
    assert probe(names=("x",), path="q", count=3, flag=True, data=b"\x00\xff", limit=7) == (
        "q", ["x"], 3, True, b"\x00\xff", 7)


@pytest.mark.parametrize(
    "call, message",
    [
        (lambda: probe(), "_bind_probe() missing 2 required positional arguments: 'path', 'names'"),
        (lambda: probe("p"), "_bind_probe() missing 1 required positional argument: 'names'"),
        (lambda: probe("p", [], 5), "_bind_probe() takes 2 positional arguments but 3 were given"),
        (lambda: probe("p", [], path="q"), "_bind_probe() got multiple values for argument 'path'"),
        (lambda: probe("p", [], colour=1), "_bind_probe() got an unexpected keyword argument 'colour'"),
    ],
)
def test_missing_surplus_and_duplicated_arguments_name_the_function(call, message):
    with pytest.raises(TypeError, match="^" + re.escape(message) + "$"):
        call()


@pytest.mark.parametrize(
    "kwargs, argument",
    [
        ({"path": 1, "names": []}, "path"),
        ({"path": b"p", "names": []}, "path"),
        ({"path": "p", "names": "abc"}, "names"),
        ({"path": "p", "names": ["a", 1]}, "names"),
        ({"path": "p", "names": 5}, "names"),
        ({"path": "p", "names": [], "count": 1.5}, "count"),
        ({"path": "p", "names": [], "count": "3"}, "count"),
        ({"path": "p", "names": [], "flag": 1}, "flag"),
        ({"path": "p", "names": [], "flag": "yes"}, "flag"),
        ({"path": "p", "names": [], "flag": np.int64(1)}, "flag"),
        ({"path": "p", "names": [], "data": "text"}, "data"),
        ({"path": "p", "names": [], "data": bytearray(b"x")}, "data"),
        ({"path": "p", "names": [], "limit": 2.0}, "limit"),
    ],
)
def test_wrong_type_raises_type_error_naming_the_argument(kwargs, argument):
    with pytest.raises(TypeError, match=f"argument '{argument}'"):
        probe(**kwargs)


@pytest.mark.parametrize("value", [-1, 2**64, -(2**70)])
def test_out_of_range_integers_raise_overflow_error_unchanged(value):
    with pytest.raises(OverflowError):
        probe("p", [], count=value)


def test_integer_conversion_accepts_index_objects_and_the_full_u64_range():
    class Index:
        def __index__(self):
            return 42

    assert probe("p", [], count=Index())[2] == 42
    assert probe("p", [], count=np.uint64(2**64 - 1))[2] == 2**64 - 1
    assert probe("p", [], count=0)[2] == 0


def test_bool_accepts_python_and_numpy_booleans():
    assert probe("p", [], flag=np.bool_(True))[3] is True
    assert probe("p", [], flag=np.bool_(False))[3] is False
    assert probe("p", [], flag=False)[3] is False


def test_string_sequences_accept_any_sequence_of_str():
    assert probe("p", ("a", "b"))[1] == ["a", "b"]
    assert probe("p", [])[1] == []


def test_optional_limit_accepts_none():
    assert probe("p", [], limit=None)[5] is None
    assert probe("p", [], limit=0)[5] == 0


def test_non_ascii_text_arrives_unchanged_and_lone_surrogates_are_refused():
    assert probe("ünï/😀", ["é"])[:2] == ("ünï/😀", ["é"])
    with pytest.raises(UnicodeEncodeError):
        probe("\udc80", [])
