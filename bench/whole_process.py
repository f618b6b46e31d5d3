"""Timing one whole process, for the benchmarks that run kelmon beside a peer."""

import subprocess
import time


def timed(argv, limit=600):
    """(seconds, ok): ok is false when the process failed or ran past `limit` seconds."""
    start = time.monotonic()
    try:
        done = subprocess.run(argv, capture_output=True, text=True, timeout=limit, check=False)
        ok = done.returncode == 0
    except subprocess.TimeoutExpired:
        ok = False
    return time.monotonic() - start, ok
