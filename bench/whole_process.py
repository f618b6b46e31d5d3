"""What the benchmarks that run kelmon beside a peer share: finding the peer (Konclude,
Debian's `konclude`), timing one whole process, and printing the side-by-side table."""

import os
import shutil
import subprocess
import sys
import time

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
sys.path.insert(0, os.path.join(ROOT, "tests"))
from shared_paths import CORPUS as _SHARED_CORPUS  # noqa: E402

CORPUS = os.path.join(_SHARED_CORPUS, "ontologies")


def timed(argv, limit=600):
    """(seconds, ok): ok is false when the process failed or ran past `limit` seconds."""
    start = time.monotonic()
    try:
        done = subprocess.run(argv, capture_output=True, text=True, timeout=limit, check=False)
        ok = done.returncode == 0
    except subprocess.TimeoutExpired:
        ok = False
    return time.monotonic() - start, ok


def peer_binary():
    """The peer's program; exits with a message when it is not installed."""
    found = shutil.which("Konclude")
    if found is None:
        sys.exit("the peer reasoner (Konclude) is not installed")
    return found


def kelmon(call, *args, limit=600):
    """One kelmon call in a fresh interpreter: kelmon.{call}(*args); a bool answer is
    printed, any other its length (printing a whole realization would time the printing)."""
    code = (f"import kelmon, sys; r = kelmon.{call}(*sys.argv[1:]); "
            "print(r if isinstance(r, bool) else len(r))")
    return timed([sys.executable, "-c", code, *args], limit)


def peer(*args, limit=600):
    """One peer process: Konclude with `args`."""
    return timed([peer_binary(), *args], limit)


def print_table(first_column, rows):
    """rows of (what, ours, ours_ok, peer, peer_ok), printed as a markdown table with the
    ratio; returns the table's text."""
    def mark(seconds, ok):
        return f"{seconds:.2f}" + ("" if ok else " (failed/limit)")
    lines = [f"| {first_column} | kelmon s | Konclude s | ratio |", "| --- | --- | --- | --- |"]
    for what, ours, ok, theirs, peer_ok in rows:
        ratio = ours / theirs if theirs else float("nan")
        lines.append(f"| {what} | {mark(ours, ok)} | {mark(theirs, peer_ok)} | {ratio:.2f} |")
    text = "\n".join(lines) + "\n"
    print(text, end="")
    return text
