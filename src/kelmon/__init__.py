"""kelmon: an OWL 2 DL reasoner with a C++ engine.

Every function of the native module is re-exported here. Functions whose
native form returns ``(answer, incomplete)`` return the answer alone and warn
with :class:`IncompleteQueryWarning` when a bound may have cut the answer short.
"""

from __future__ import annotations

import functools
import warnings

from . import _native
from ._native import *  # noqa: F401,F403

__version__ = _native.__version__


class IncompleteQueryWarning(UserWarning):
    """A bounded query stopped early; its answer may miss entries."""


# Native functions that return (answer, incomplete).
_INCOMPLETE_TUPLE_FUNCTIONS = (
    "disjoint_classes",
    "same_individuals",
    "different_individuals",
    "object_property_values",
    "class_expression_satisfiable",
    "class_expression_entailed_subclass",
    "class_expression_instances",
)


def _unpack_incomplete(native):
    @functools.wraps(native)
    def wrapper(*args, **kwargs):
        answer, incomplete = native(*args, **kwargs)
        if incomplete:
            warnings.warn(
                f"kelmon.{native.__name__}: the answer may be incomplete (a time bound cut work short)",
                IncompleteQueryWarning,
                stacklevel=2,
            )
        return answer

    wrapper.__module__ = __name__
    return wrapper


for _name in _INCOMPLETE_TUPLE_FUNCTIONS:
    globals()[_name] = _unpack_incomplete(getattr(_native, _name))
del _name

__all__ = list(_native.__all__) + ["IncompleteQueryWarning"]
