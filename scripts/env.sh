# Sourced by the scripts: the project's own virtual environment under build/,
# so that several checkouts on one machine never share an installed kelmon.
VENV="${KELMON_VENV:-$(pwd)/build/venv}"
if [ ! -x "$VENV/bin/python" ]; then
  python3 -m venv --system-site-packages "$VENV"
fi
PY="$VENV/bin/python"
