"""Every document of the W3C OWL 2 conformance cases reads without error."""

import glob
import os

import pytest

import kelmon
from shared_paths import shared_dir

DOCUMENTS = sorted(glob.glob(os.path.join(shared_dir(), "owl2-conformance", "*", "*.ofn"))
                   + glob.glob(os.path.join(shared_dir(), "owl2-conformance", "*", "*.rdf")))


def test_the_cases_are_present():
    assert len(DOCUMENTS) > 200


@pytest.mark.parametrize("path", DOCUMENTS, ids=lambda p: os.path.relpath(p, shared_dir()))
def test_document_reads_and_converts(path):
    assert isinstance(kelmon.dropped_axioms(path), dict)
    assert isinstance(kelmon.render_manchester(path), list)
