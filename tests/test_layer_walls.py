"""scripts/check-layers: a lower layer never includes a higher one; only native/python includes Python.h."""

import os
import subprocess
import sys

import pytest

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
CHECKER = os.path.join(ROOT, "scripts", "check-layers")


def check(root):
    return subprocess.run([sys.executable, CHECKER, str(root)], capture_output=True, text=True)


def write(root, relative, text):
    path = root / relative
    path.parent.mkdir(parents=True, exist_ok=True)
    path.write_text(text)


def test_the_checkout_keeps_its_walls():
    result = check(ROOT)
    assert result.returncode == 0, result.stderr


@pytest.mark.parametrize(
    "relative, text, message",
    [
        ("native/common/ids.h", '#include "owl/model.h"\n', "layer common includes owl/model.h of the higher layer owl"),
        ("native/core/internal/pass.h", '  #  include "saturation/saturation.h"\n',
         "layer core includes saturation/saturation.h of the higher layer saturation"),
        ("native/reasoner/classify/run.cpp", '#include "python/py.h"\n',
         "layer reasoner includes python/py.h of the higher layer python"),
        ("tests/native/owl/reader_test.cpp", '#include "core/ir.h"\n', "layer owl includes core/ir.h of the higher layer core"),
        ("native/saturation/engine.h", "#include <Python.h>\n", "includes Python.h outside native/python"),
        ("native/common/py_bits.h", '#include "Python.h"\n', "includes Python.h outside native/python"),
    ],
)
def test_a_broken_wall_fails_and_names_the_file_and_line(tmp_path, relative, text, message):
    write(tmp_path, "native/common/fine.h", '#include <vector>\n#include "common/ids.h"\n')
    write(tmp_path, relative, "// a comment first\n" + text)
    result = check(tmp_path)
    assert result.returncode == 1
    assert f"{relative}:2: {message}" in result.stderr


@pytest.mark.parametrize(
    "relative, text",
    [
        ("native/reasoner/run.cpp", '#include "common/ids.h"\n#include "owl/model.h"\n#include "tableau/hyper.h"\n'),
        ("native/core/pass.cpp", '#include "internal/pass.h"\n#include "core/ir.h"\n'),
        ("native/python/py.h", "#include <Python.h>\n"),
        ("native/owl/reader.cpp", '// #include "core/ir.h" stays a comment\n'),
    ],
)
def test_includes_of_the_same_or_lower_layers_pass(tmp_path, relative, text):
    write(tmp_path, relative, text)
    result = check(tmp_path)
    assert result.returncode == 0, result.stderr
