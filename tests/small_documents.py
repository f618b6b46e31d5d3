"""Small functional-syntax documents written into a test's tmp_path, and answers
read back without the http://x/ prefix of their names."""

X = "http://x/"
OWL = "http://www.w3.org/2002/07/owl#"
XSD = "http://www.w3.org/2001/XMLSchema#"
INCONSISTENT = "ontology is inconsistent; every assertion is trivially entailed"


def document(tmp_path, axioms):
    p = tmp_path / "o.ofn"
    p.write_text(f"Prefix(:=<{X}>) Prefix(owl:=<{OWL}>) Prefix(xsd:=<{XSD}>) Ontology(<{X}o> {axioms})")
    return str(p)


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
