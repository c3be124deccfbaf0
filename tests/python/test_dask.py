"""The functions work block by block inside dask and pickle by reference, as dask's schedulers need."""
import pickle

import numpy as np
import pytest

import quorvan
from conftest import assert_same_bits, strict

if strict():
    import dask.array as da
else:
    da = pytest.importorskip("dask.array", reason="python3-dask is not installed")


def test_map_blocks_threaded():
    cas = da.linspace(50.0, 500.0, 100_000, chunks=12_500)
    altitude = da.linspace(0.0, 20000.0, 100_000, chunks=12_500)
    lift = da.map_blocks(lambda c, h: quorvan.reference_values(cas=c, altitude=h)["lift_coefficient"], cas, altitude,
                         dtype=float)
    got = lift.compute(scheduler="threads")
    want = quorvan.reference_values(cas=cas.compute(), altitude=altitude.compute())["lift_coefficient"]
    assert_same_bits(got, want)


def test_functions_pickle():
    for function in (quorvan.atmosphere, quorvan.reference_values, quorvan.solve):
        assert pickle.loads(pickle.dumps(function)) is function
    air = quorvan.atmosphere(np.array([0.0, 11000.0]))
    assert_same_bits(pickle.loads(pickle.dumps(air)).density, air.density)
