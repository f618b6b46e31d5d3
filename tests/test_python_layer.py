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
def test_wrapped_functions_keep_the_native_signature_and_document_their_own_result(name):
    wrapped, original = getattr(kelmon, name), getattr(kelmon._native, name)
    assert wrapped is not original
    assert inspect.signature(wrapped) == inspect.signature(original)
    # the native text speaks of a (answer, flag) tuple; the wrapper returns the answer and warns
    assert "completeness flag" in original.__doc__
    assert "completeness flag" not in wrapped.__doc__
    assert "Returns the answer alone." in wrapped.__doc__
    assert "IncompleteQueryWarning is issued" in wrapped.__doc__


def test_internal_failure_is_catchable_by_name_and_stays_out_of_the_native_names():
    with pytest.raises(kelmon.InternalFailure, match="^class count fits in u32$"):
        kelmon._native._fail_invariant("class count fits in u32")
    try:
        kelmon._native._fail_invariant("TableauContext: branch id counter overflowed u32")
    except Exception:  # noqa: BLE001 - the point is that this does not catch it
        pytest.fail("InternalFailure must not be an Exception")
    except kelmon.InternalFailure as failure:
        assert str(failure) == "TableauContext: branch id counter overflowed u32"
    assert kelmon.InternalFailure.__module__ == "kelmon"
    assert "InternalFailure" in kelmon.__all__
    assert "InternalFailure" not in kelmon._native.__all__


def test_functions_without_incomplete_flag_are_the_native_objects():
    assert kelmon.classify is kelmon._native.classify
    assert kelmon.object_property_hierarchy is kelmon._native.object_property_hierarchy
