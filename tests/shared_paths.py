"""Where the shared corpus lives: $KELMON_SHARED_DIR, else ../shared beside the checkout, else /work/shared."""

import os

_HERE = os.path.dirname(os.path.abspath(__file__))


def shared_dir():
    candidates = [os.environ.get("KELMON_SHARED_DIR", ""), os.path.join(_HERE, "..", "..", "shared"), "/work/shared"]
    for c in candidates:
        if c and os.path.isdir(os.path.join(c, "corpus")):
            return os.path.abspath(c)
    raise RuntimeError("shared corpus not found: set KELMON_SHARED_DIR")


CORPUS = os.path.join(shared_dir(), "corpus")
