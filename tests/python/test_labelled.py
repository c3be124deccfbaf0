"""pandas, xarray and pint arguments: read as the table tool reads a case file, broadcast by label,
converted by unit, computed to the bits of the same call on plain arrays and labelled as given."""
import inspect
import os
import subprocess
import sys

import numpy as np
import pandas as pd
import pytest

import quorvan
from conftest import assert_same_bits, strict

try:
    import pint
    import xarray as xr
except ModuleNotFoundError as missing:
    if strict():
        raise
    pytest.skip("python3-%s is not installed" % missing.name, allow_module_level=True)

u = pint.UnitRegistry()
INDEX = pd.Index([7, 3, 11], name="point")
MACH = xr.DataArray([0.5, 0.8], dims="mach", coords={"mach": [0.5, 0.8]})
ALTITUDE = xr.DataArray([0.0, 9000.0, 20000.0], dims="altitude", coords={"altitude": [0, 9000, 20000]})


def frame(**columns):
    return pd.DataFrame(columns, index=INDEX)


def series(values, dtype=None, index=INDEX):
    return pd.Series(values, dtype=dtype, index=index)


# id, a call with labelled arguments, the same call on plain arrays.
SAME = [
    ("cases: other columns and later speeds skipped",
     lambda: quorvan.reference_values(frame(remark=list("abc"), cas_kt=[250, 300, 350], altitude_ft=[1e4, 2e4, 3e4],
                                            geopotential_altitude_ft=[0, 0, 0], mach=[9, 9, 9], reynolds=[1, 1, 1]),
                                      columns="all"),
     lambda: quorvan.reference_values(cas_kt=[250, 300, 350], altitude_ft=[1e4, 2e4, 3e4], columns="all")),
    ("keywords replace columns",
     lambda: quorvan.reference_values(frame(mach=[0.5, 0.6, 0.7], altitude=[0, 1, 2], weight=[1, 2, 3]),
                                      tas=[100, 200, 300], altitude_km=2, columns="all"),
     lambda: quorvan.reference_values(tas=[100, 200, 300], altitude_km=2, weight=[1, 2, 3], columns="all")),
    ("solve: the unknown's column skipped",
     lambda: quorvan.solve("altitude", frame(mach=[0.3, 0.8, 2], altitude=[1, 1, 1], reynolds=[1e7, 2e7, 1e9])),
     lambda: quorvan.solve("altitude", mach=[0.3, 0.8, 2], reynolds=[1e7, 2e7, 1e9])),
    ("solve: speeds skipped for the Mach number, a keyword target replaces the columns'",
     lambda: quorvan.solve("mach", frame(cas=[1, 2, 3], altitude=[0, 11000, 2e4], reynolds=[1, 1, 1],
                                         lift_coefficient=[1, 1, 1]), lift_coefficient=0.5),
     lambda: quorvan.solve("mach", altitude=[0, 11000, 2e4], lift_coefficient=0.5)),
    ("nullable dtypes, pd.NA as nan",
     lambda: quorvan.reference_values(mach=series([0.5, pd.NA, 0.8], "Float64"),
                                      weight=series([50, 60, pd.NA], "Int64"), columns="all"),
     lambda: quorvan.reference_values(mach=[0.5, np.nan, 0.8], weight=[50, 60, np.nan], columns="all")),
    ("atmosphere of a Series",
     lambda: quorvan.atmosphere(series([0.0, 11000.0, 5e4]), isa_offset=15)._asdict(),
     lambda: quorvan.atmosphere([0.0, 11000.0, 5e4], isa_offset=15)._asdict()),
    ("xarray by dimension name",
     lambda: quorvan.reference_values(mach=MACH, altitude=ALTITUDE, weight=60, columns="all"),
     lambda: quorvan.reference_values(mach=MACH.values[:, None], altitude=ALTITUDE.values, weight=60, columns="all")),
    ("xarray dims in another order, one column",
     lambda: quorvan.solve("mach", altitude=ALTITUDE, lift_coefficient=xr.DataArray(
         [[0.4, 0.5], [0.6, 0.7], [0.8, 0.9]], dims=("altitude", "mach"), coords={"mach": [0.5, 0.8]}), columns="mach"),
     lambda: quorvan.solve("mach", altitude=ALTITUDE.values, lift_coefficient=[[0.4, 0.6, 0.8], [0.5, 0.7, 0.9]],
                           columns="mach")),
    ("pint in a suffix's unit converts as the suffix",
     lambda: quorvan.reference_values(cas=300 * u.knot, altitude=[0, 35000] * u.ft, weight=60000 * u.kg,
                                      ref_area=600 * u.ft ** 2, ref_length=140 * u.inch, columns="all"),
     lambda: quorvan.reference_values(cas_kt=300, altitude_ft=[0, 35000], weight_kg=60000, ref_area_ft2=600,
                                      ref_length_in=140, columns="all")),
    ("pint into a suffixed keyword, a difference, a plain number",
     lambda: quorvan.reference_values(cas_kt=154.333 * u("m/s"), weight_lb=60 * u.t, isa_offset=15 * u.delta_degC,
                                      load_factor=2 * u.dimensionless, columns="all"),
     lambda: quorvan.reference_values(cas=154.333, weight=60, isa_offset=15, load_factor=2, columns="all")),
    ("atmosphere in feet, plain or pint",
     lambda: (quorvan.atmosphere(altitude_ft=[0, 36089]), quorvan.atmosphere([0, 36089] * u.ft, 15 * u.K)),
     lambda: (quorvan.atmosphere([0, 36089 * 0.3048]), quorvan.atmosphere([0, 36089 * 0.3048], 15))),
    ("atmosphere: kilometres too large to convert give nan",
     lambda: quorvan.atmosphere(altitude_km=[1, 1e306])._asdict(),
     lambda: quorvan.atmosphere([1000, np.nan])._asdict()),
]


def columns_of(result):
    """The values of a result by column name; checks the labels it carries."""
    if isinstance(result, (pd.DataFrame, pd.Series)):
        assert result.index.equals(INDEX)
        return {result.name: result.to_numpy()} if isinstance(result, pd.Series) else dict(result.items())
    if isinstance(result, (xr.Dataset, xr.DataArray)):
        assert set(result.dims) == {"mach", "altitude"}
        assert list(result.mach.values) == [0.5, 0.8] and list(result.altitude.values) == [0, 9000, 20000]
        result = result.transpose("mach", "altitude")
        return {result.name: result.values} if isinstance(result, xr.DataArray) else {
            name: values.values for name, values in result.data_vars.items()}
    if isinstance(result, tuple):  # atmospheres
        return {"%s %d" % (name, k): values for k, air in enumerate(result) for name, values in air._asdict().items()}
    return {name: values.to_numpy() if isinstance(values, pd.Series) else values for name, values in result.items()}


@pytest.mark.parametrize("labelled, plain", [case[1:] for case in SAME], ids=[case[0] for case in SAME])
def test_same_bits_labelled(labelled, plain):
    got, want = columns_of(labelled()), columns_of(plain())
    # A Dataset leaves the columns named as its coordinates to them.
    assert list(got) == [name for name in want if name in got or name not in ("mach", "altitude")]
    for name in got:
        assert_same_bits(got[name], want[name], name)


# id, call, exception, words of the message.
ERRORS = [
    ("indexes differ",
     lambda: quorvan.reference_values(cas=series([1, 2, 3]), altitude=series([1, 2, 3], index=[3, 7, 11])),
     ValueError, "indexes of cas and altitude differ"),
    ("frame and Series differ", lambda: quorvan.reference_values(frame(mach=[1, 2, 3]), weight=pd.Series([1, 2, 3])),
     ValueError, "indexes of cases and weight differ"),
    ("no input column", lambda: quorvan.solve("mach", frame(remark=list("abc"), mach=[1, 2, 3])), ValueError,
     "no input column"),
    ("pandas broadcast to more", lambda: quorvan.reference_values(mach=series([1, 2, 3]), altitude=np.zeros((2, 1))),
     ValueError, "one row per label"),
    ("pandas and xarray", lambda: quorvan.reference_values(mach=series([1, 2, 3]), altitude=ALTITUDE), TypeError,
     "one library's arrays"),
    ("coordinates differ", lambda: quorvan.reference_values(mach=MACH, load_factor=MACH.assign_coords(mach=[1, 2])),
     ValueError, "coordinates of mach, load_factor differ"),
    ("plain array beside a DataArray", lambda: quorvan.reference_values(mach=MACH, altitude=[1, 2]), ValueError,
     "altitude is an array without dimension names"),
    ("pint length for a speed", lambda: quorvan.reference_values(cas=3 * u.m), TypeError, "cas takes a speed"),
    ("pint speed for an altitude", lambda: quorvan.atmosphere(altitude_ft=3 * u.knot), TypeError,
     "altitude_ft takes a length"),
    ("pint in another keyword's unit", lambda: quorvan.reference_values(altitude=1 * u.ft, altitude_ft=3), TypeError,
     "altitude and altitude_ft give the same input"),
    ("pint temperature for an offset", lambda: quorvan.reference_values(isa_offset=u.Quantity(15, "degC")), TypeError,
     "isa_offset is a temperature difference"),
]


@pytest.mark.parametrize("call, error, words", [e[1:] for e in ERRORS], ids=[e[0] for e in ERRORS])
def test_raises(call, error, words):
    with pytest.raises(error) as raised:
        call()
    assert words in str(raised.value)


def test_signature_names_the_inputs():
    assert {"cases", "mach", "cas", "isa_offset"} <= set(inspect.signature(quorvan.reference_values).parameters)
    assert {"unknown", "reynolds", "altitude"} <= set(inspect.signature(quorvan.solve).parameters)


def test_plain_calls_import_none_of_the_libraries():
    code = ("import sys, quorvan\n"
            "quorvan.reference_values(cas=[1.0], altitude_km=2); quorvan.atmosphere(altitude_ft=1)\n"
            "print([m for m in ('pandas', 'xarray', 'pint') if m in sys.modules])")
    out = subprocess.run([sys.executable, "-c", code], check=True, capture_output=True, text=True, env=os.environ)
    assert out.stdout == "[]\n"
