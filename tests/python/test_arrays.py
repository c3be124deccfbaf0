"""Arguments of any layout broadcast as numpy broadcasts them; each element is computed alone, so
that a bad one gives NaN beside good ones, scalars give floats, and threads change nothing."""
import numpy as np
import pytest

import quorvan
from conftest import assert_same_bits

CAS = np.linspace(-20.0, 600.0, 24)  # m/s, negative ones refused
ALTITUDE = np.linspace(-1000.0, 90000.0, 6)  # m

# id, (cas, altitude) in some layout; the reference is the same values broadcast into plain arrays.
LAYOUTS = [
    ("column by row", lambda: (CAS[:, None], ALTITUDE)),
    ("transposed", lambda: (np.tile(CAS, (6, 1)).T, ALTITUDE)),
    ("negative strides", lambda: (CAS[::-1], ALTITUDE[::-1, None])),
    ("every other, Fortran order", lambda: (np.asfortranarray(np.tile(CAS, (3, 1)))[:, ::2], ALTITUDE[:3, None])),
    ("zero stride", lambda: (np.broadcast_to(CAS[:1], (5, 24)), np.broadcast_to(ALTITUDE[:5, None], (5, 24)))),
    ("zero size", lambda: (CAS[:0], ALTITUDE[:, None])),
    ("zero size by size one", lambda: (np.empty((0, 1)), ALTITUDE)),
    ("0-d and size one", lambda: (np.array(150.0), ALTITUDE.reshape(1, 6, 1))),
    ("float32, big-endian, int", lambda: (CAS.astype(np.float32), ALTITUDE.astype(">f8")[:, None].astype(int))),
    ("list", lambda: (CAS[:4].tolist(), ALTITUDE[:4])),
    ("unaligned", lambda: (np.frombuffer(b"\0" + CAS.tobytes(), dtype=float, offset=1), ALTITUDE[:, None])),
]


@pytest.mark.parametrize("make", [layout[1] for layout in LAYOUTS], ids=[layout[0] for layout in LAYOUTS])
def test_any_layout(make):
    cas, altitude = make()
    plain = [np.array(v, dtype=float, order="C") for v in np.broadcast_arrays(np.asarray(cas, float), altitude)]
    want = quorvan.reference_values(cas=plain[0].ravel(), altitude=plain[1].ravel(), columns="all")
    got = quorvan.reference_values(cas=cas, altitude=altitude, columns="all")
    for name, values in got.items():
        assert isinstance(values, np.ndarray) and values.dtype == np.float64
        assert_same_bits(values, want[name].reshape(plain[0].shape), name)
    air = quorvan.atmosphere(altitude, isa_offset=cas)
    assert_same_bits(air.temperature.ravel(), quorvan.atmosphere(plain[1].ravel(), plain[0].ravel()).temperature)


@pytest.mark.parametrize("call", [
    lambda: quorvan.reference_values(cas_kt=250, altitude=np.float64(3000), weight=np.array(60)),
    lambda: quorvan.solve("altitude", mach=0.8, reynolds=2e7),
    lambda: quorvan.atmosphere(np.float32(11000), 15)._asdict(),
], ids=["reference_values", "solve", "atmosphere"])
def test_scalars_give_floats(call):
    assert all(type(value) is float for value in call().values())


INPUTS = {"mach", "tas", "eas", "cas", "altitude", "geometric_altitude", "load_factor", "weight", "ref_length",
          "ref_area", "isa_offset", "lift_coefficient", "reynolds", "dynamic_pressure", "pressure", "density"}

# id, keywords with a good first element and a bad second one.
BAD_ELEMENTS = [
    ("nan altitude", dict(altitude=[11000, np.nan])),
    ("negative speed", dict(cas=[100, -1])),
    ("air below 0 K", dict(altitude=[11000, 11000], isa_offset=[0, -216.65])),
    ("below the Earth's centre", dict(geometric_altitude=[0, -6356766])),
    ("overflowing unit", dict(altitude_km=[1, 1e306])),
    ("target not positive", dict(function="solve altitude", pressure=[5000, 0])),
    ("too cold to search", dict(function="solve altitude", mach=0.8, reynolds=1e7, isa_offset=[0, -91])),
    ("unreachable target", dict(function="solve altitude", mach=0.8, reynolds=[1e7, 1e9])),
    ("atmosphere below 0 K", dict(function="atmosphere", altitude=[11000, 11000], isa_offset=[0, -216.65])),
    ("atmosphere below the Earth's centre", dict(function="atmosphere", altitude=[0, -6356766], geometric=True)),
    ("0 K at infinity", dict(altitude=[11000, np.inf], isa_offset=[0, -180.65])),
    ("atmosphere: below 0 K at infinity", dict(function="atmosphere", altitude=[0, np.inf], isa_offset=[0, -1e308])),
]


RUNS = {
    "reference_values": lambda **k: quorvan.reference_values(columns="all", **k),
    "solve altitude": lambda **k: quorvan.solve("altitude", columns="all", **k),
    "solve mach": lambda **k: quorvan.solve("mach", columns="all", **k),
    "atmosphere": lambda **k: quorvan.atmosphere(**k)._asdict(),
}


@pytest.mark.parametrize("keywords", [case[1] for case in BAD_ELEMENTS], ids=[case[0] for case in BAD_ELEMENTS])
def test_bad_element_is_nan_alone(keywords):
    keywords = dict(keywords)
    function = keywords.pop("function", "reference_values")
    both = RUNS[function](**keywords)
    first = RUNS[function](**{k: v[0] if isinstance(v, list) else v for k, v in keywords.items()})
    for name, values in both.items():
        assert_same_bits(values[0], first[name], name)
        if function == "atmosphere" or name not in INPUTS or function == "solve " + name:
            assert np.isnan(values[1]), name


def test_threads_change_nothing():
    # Many runs of elements in an odd layout, so that runs start inside rows; NaN and refused
    # elements among them.
    rng = np.random.default_rng(7)
    cas = rng.uniform(-50, 1200, (701, 2))[::-1, :1]
    cas[::97] = np.nan
    altitude = rng.uniform(-2000, 95000, 600)[::-2]
    offset = np.asfortranarray(rng.uniform(-100, 40, (701, 300)))
    flat = {name: np.ravel(value) for name, value in
            zip(["cas", "altitude", "isa_offset"], np.broadcast_arrays(cas, altitude, offset))}
    was = quorvan.get_threads()
    try:
        quorvan.set_threads(1)
        want = quorvan.reference_values(columns="all", **flat)
        quorvan.set_threads(5)
        got = quorvan.reference_values(columns="all", cas=cas, altitude=altitude, isa_offset=offset)
    finally:
        quorvan.set_threads(was)
    for name in want:
        assert_same_bits(got[name].ravel(), want[name], name)


def test_overflowing_scalar_refuses_every_element():
    got = quorvan.reference_values(cas=[100.0, 200.0], altitude_km=1e306)
    assert np.isnan(got["density"]).all() and list(got["cas"]) == [100.0, 200.0]


MASKED = np.ma.masked_array([0.8, 0.5, 99.0], mask=[0, 0, 1])  # the masked element a case the model takes
COLUMN = np.ma.masked_array([[0.0], [5.0]], mask=[[0], [1]])


@pytest.mark.parametrize("function, keywords", [
    ("reference_values", dict(mach=MASKED, altitude=COLUMN)),
    ("solve mach", dict(reynolds=MASKED * 1e7, altitude=COLUMN)),
    ("atmosphere", dict(altitude=MASKED * 1e4, isa_offset=COLUMN)),
], ids=["reference_values", "solve", "atmosphere"])
def test_masks_kept_and_not_computed(function, keywords):
    got = RUNS[function](**keywords)
    plain = RUNS[function](**{k: np.ma.getdata(v) for k, v in keywords.items()})
    mask = np.logical_or.reduce(np.broadcast_arrays(*map(np.ma.getmaskarray, keywords.values())))
    for name, values in got.items():
        assert np.array_equal(np.ma.getmaskarray(values), mask), name
        assert_same_bits(values.data[~mask], plain[name][~mask], name)
        assert name in INPUTS or np.isnan(values.data[mask]).all(), name
    assert RUNS[function](**{k: np.ma.masked_array(1.0, mask=True) for k in keywords}).popitem()[1] is np.ma.masked
    first, second = list(got.values())[:2]
    first[0, 0] = np.ma.masked
    assert not second.mask[0, 0]


def test_numpys_limits():
    assert quorvan.atmosphere(np.zeros((1,) * 32)).pressure.shape == (1,) * 32
    assert quorvan.reference_values(mach=np.zeros((10**6, 1)), altitude=np.zeros((1, 10**6)), columns=[]) == {}
