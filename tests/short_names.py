"""Answers about the small documents of `write_document` (conftest.py), with the
http://x/ prefix of their names left out."""

X = "http://x/"
XSD = "http://www.w3.org/2001/XMLSchema#"
INCONSISTENT = "ontology is inconsistent; every assertion is trivially entailed"


def short(value):
    """Strips http://x/ from every string of a nested answer; lists stay lists, tuples tuples."""
    if isinstance(value, str):
        return value[len(X):] if value.startswith(X) else value
    if isinstance(value, (list, tuple)):
        return type(value)(short(v) for v in value)
    return value


def strings(value):
    """Every string of a nested answer."""
    if isinstance(value, str):
        yield value
    elif isinstance(value, (list, tuple)):
        for v in value:
            yield from strings(v)
