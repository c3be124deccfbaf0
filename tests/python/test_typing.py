"""The package's type stub, checked with mypy: the examples of the module's page and correct calls
pass, and each mistake below is reported on its own line."""
import os
import re
import subprocess
import sys

import pytest

from conftest import strict
from test_readme import examples

ACCEPTED = """
import quorvan
r = quorvan.reference_values(mach=[0.8])
r["lift_coefficient"].max()
one: float = quorvan.reference_values(mach=0.8, altitude=3000)["mach"]
"""

# A line each: a mistake mypy reports.
MISTAKES = [
    'quorvan.reference_values(mach="0.8")',
    'quorvan.solve("altitude", mach=0.8, reynolds=["2e7"])',
    'quorvan.reference_values(cas_kt=250)["mach"].max()',
    'quorvan.atmosphere("11000")',
    'quorvan.solve(1, lift_coefficient=0.5)',
]


@pytest.fixture(scope="module")
def reported(tmp_path_factory):
    """The lines mypy reports errors on in each of the files checked (one run: mypy is slow to
    start), and its output."""
    try:
        __import__("mypy")
    except ModuleNotFoundError:
        if strict():
            raise
        pytest.skip("python3-mypy is not installed")
    folder = tmp_path_factory.mktemp("typing")
    (folder / "accepted.py").write_text(ACCEPTED + "".join(code for _, code, _ in examples()))
    (folder / "mistakes.py").write_text("import quorvan\n" + "\n".join(MISTAKES) + "\n")
    # pandas has no type information in Debian: its names are Any.
    command = [sys.executable, "-m", "mypy", "--ignore-missing-imports", "--cache-dir", str(folder / "cache"),
               str(folder / "accepted.py"), str(folder / "mistakes.py")]
    out = subprocess.run(command, capture_output=True, text=True,
                         env=dict(os.environ, MYPYPATH=os.environ.get("PYTHONPATH", ""))).stdout
    lines = {"accepted": set(), "mistakes": set()}
    for name, line in re.findall(r"^[^:\n]*(accepted|mistakes)\.py:(\d+): error", out, re.M):
        lines[name].add(int(line))
    return lines, out


def test_examples_and_correct_calls_pass(reported):
    lines, out = reported
    assert not lines["accepted"], out


def test_mistakes_are_reported(reported):
    lines, out = reported
    assert lines["mistakes"] == set(range(2, 2 + len(MISTAKES))), out
