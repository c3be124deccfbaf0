"""What the module's tests share: the built quorvan-table run on a case file, and bitwise comparison."""
import csv
import io
import os
import subprocess

import numpy as np
import pytest


def strict():
    """Whether a missing prerequisite fails the test instead of skipping it (scripts/test.sh sets it)."""
    return os.environ.get("QUORVAN_STRICT_TESTS") == "1"


@pytest.fixture
def table(tmp_path):
    """Runs quorvan-table on cases (a dict of column name to values, written as a CSV file with the
    shortest text that reads back exactly) with the options given; returns its columns as float
    arrays by header name."""

    def run(cases, *options):
        path = tmp_path / "cases.csv"
        names = list(cases)
        rows = zip(*(np.ravel(cases[name]) for name in names))
        path.write_text(",".join(names) + "\n" + "".join(",".join(map(repr, map(float, row))) + "\n" for row in rows))
        out = subprocess.run([os.environ["QUORVAN_TABLE"], *options, str(path)], check=True, capture_output=True,
                             text=True).stdout
        header, *rows = list(csv.reader(io.StringIO(out)))
        values = np.array([[float(v) for v in row] for row in rows]).reshape(len(rows), len(header))
        return {name: values[:, k] for k, name in enumerate(header)}

    return run


def assert_same_bits(got, want, name=""):
    """got equals want bit for bit (so 0 and -0 differ), any NaN matching any NaN."""
    got, want = np.asarray(got, dtype=float), np.asarray(want, dtype=float)
    assert got.shape == want.shape, name
    same = (got.view(np.int64) == want.view(np.int64)) | (np.isnan(got) & np.isnan(want))
    assert same.all(), "%s: %r where %r" % (name, got[~same][:3], want[~same][:3])
