"""kelmon: an OWL 2 DL reasoner with a C++ engine.

Every function of the native module is re-exported here. Functions whose
native form returns ``(answer, incomplete)`` return the answer alone and warn
with :class:`IncompleteQueryWarning` when a bound may have cut the answer short.
A broken internal invariant (a bug) raises :class:`InternalFailure`, which
derives from ``BaseException``.
"""

import functools
import warnings

from . import _native
from ._native import *  # noqa: F401,F403

__version__ = _native.__version__
InternalFailure = _native.InternalFailure


class IncompleteQueryWarning(UserWarning):
    """A bounded query stopped early; its answer may miss entries."""


_MAY_MISS = (
    "\n\nReturns the answer alone. When it may miss entries (a bounded test ran out of\n"
    "time or could not settle a case), an IncompleteQueryWarning is issued; the\n"
    "warning can also come when the answer happens to be complete."
)
_MAY_BE_UNDECIDED = (
    "\n\nReturns the answer alone. Unless saturation alone decided it, inside the\n"
    "fragment where saturation is complete, an IncompleteQueryWarning is issued:\n"
    "the answer then comes from bounded tests and may be incomplete."
)

# Native functions that return (answer, incomplete), with the docstrings of
# their Python-layer wrappers, which return the answer alone.
_INCOMPLETE_TUPLE_FUNCTIONS = {
    "disjoint_classes": "A list of the pairs ``(c, d)`` of named classes entailed to be disjoint\n"
    "(``C ⊓ D`` is proven unsatisfiable), each pair test bounded by 1 s." + _MAY_MISS,
    "same_individuals": "A list of the groups of named individuals entailed to be the same (asserted,\n"
    "forced by functional properties, or entailed), each pair test bounded by 1 s." + _MAY_MISS,
    "different_individuals": "A list of the pairs ``(a, b)`` of named individuals entailed to be different\n"
    "(``{a} ⊓ {b}`` is proven unsatisfiable), each pair test bounded by 1 s." + _MAY_MISS,
    "object_property_values": "A list of the entailed object property values ``(subject, property, object)``\n"
    "over named individuals, each pair test bounded by 1 s." + _MAY_MISS,
    "class_expression_satisfiable": "True iff the Manchester class expression ``ce`` is satisfiable with respect\n"
    "to the ontology at ``path``." + _MAY_BE_UNDECIDED,
    "class_expression_entailed_subclass": "True iff the ontology at ``path`` entails ``sub_ce ⊑ sup_ce`` (both\n"
    "Manchester class expressions)." + _MAY_BE_UNDECIDED,
    "class_expression_instances": "A list of the named individuals provably in the Manchester class expression\n"
    "``ce``, sorted by IRI." + _MAY_BE_UNDECIDED,
}


def _unpack_incomplete(native, doc=None):
    @functools.wraps(native)
    def wrapper(*args, **kwargs):
        answer, incomplete = native(*args, **kwargs)
        if incomplete:
            warnings.warn(
                f"kelmon.{native.__name__}: the answer may be incomplete (see its docstring)",
                IncompleteQueryWarning,
                stacklevel=2,
            )
        return answer

    wrapper.__module__ = __name__
    if doc is not None:
        wrapper.__doc__ = doc
    return wrapper


for _name, _doc in _INCOMPLETE_TUPLE_FUNCTIONS.items():
    globals()[_name] = _unpack_incomplete(getattr(_native, _name), _doc)
del _name, _doc

__all__ = list(_native.__all__) + ["IncompleteQueryWarning", "InternalFailure"]
