"""Inputs the peer reasoner (Konclude) reads as intended."""

import os
import re

UB = "http://www.lehigh.edu/~zhp2/2004/0401/univ-bench.owl#"


def peer_readable(path, out_dir):
    """The LUBM ABox imports its TBox from a local server, so nothing in it declares the
    classes of its type triples, and the peer's reader drops them. For it, a copy that
    declares every class used as a node type; any other document as it is."""
    if "lubm-university" not in os.path.basename(path):
        return path
    with open(path, encoding="utf-8") as f:
        text = f.read()
    classes = sorted(set(re.findall(r"<ub:(\w+) rdf:about=", text)))
    text = re.sub(r"<owl:Ontology>.*?</owl:Ontology>", '<owl:Ontology rdf:about="http://x/lubm0"/>', text,
                  flags=re.S)
    declarations = "".join(f'<owl:Class rdf:about="{UB}{c}"/>\n' for c in classes)
    copy = os.path.join(out_dir, "declared-" + os.path.basename(path))
    with open(copy, "w", encoding="utf-8") as f:
        f.write(text.replace("</rdf:RDF>", declarations + "</rdf:RDF>"))
    return copy
