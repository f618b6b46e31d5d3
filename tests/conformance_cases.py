"""The W3C OWL 2 conformance cases of the DL species, as the conformance runners read them."""

import glob
import json
import os

from shared_paths import shared_dir

ROOT = os.path.join(shared_dir(), "owl2-conformance")


def dl_cases(types):
    """(folder, meta, first of the case's types among `types`) for every DL case of one of them, by folder."""
    for meta_path in sorted(glob.glob(os.path.join(ROOT, "*", "meta.json"))):
        with open(meta_path, encoding="utf-8") as f:
            meta = json.load(f)
        if "DL" not in meta.get("species", []):
            continue
        kinds = [t for t in meta.get("types", []) if t in types]
        if kinds:
            yield os.path.dirname(meta_path), meta, kinds[0]
