"""The thin Python layer: incomplete tuples become answers plus IncompleteQueryWarning."""

import inspect
import warnings

import pytest

import kelmon


def fake(answer, incomplete):
    def disjoint_classes(path):
        """disjoint_classes(path)"""
        return answer, incomplete

    return kelmon._unpack_incomplete(disjoint_classes)


def test_complete_answer_is_returned_alone_without_warning():
    with warnings.catch_warnings():
        warnings.simplefilter("error")
        assert fake([("A", "B")], False)("x.ofn") == [("A", "B")]


def test_incomplete_answer_warns_and_is_still_returned():
    with pytest.warns(kelmon.IncompleteQueryWarning, match="disjoint_classes"):
        assert fake(True, True)("x.ofn") is True


@pytest.mark.parametrize("name", kelmon._INCOMPLETE_TUPLE_FUNCTIONS)
def test_wrapped_functions_keep_the_native_signature_and_docs(name):
    wrapped, original = getattr(kelmon, name), getattr(kelmon._native, name)
    assert wrapped is not original
    assert inspect.signature(wrapped) == inspect.signature(original)
    assert wrapped.__doc__ == original.__doc__


def test_functions_without_incomplete_flag_are_the_native_objects():
    assert kelmon.classify is kelmon._native.classify
    assert kelmon.object_property_hierarchy is kelmon._native.object_property_hierarchy
