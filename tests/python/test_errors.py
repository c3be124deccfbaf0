"""A call that is wrong as a whole raises, naming the argument and what it may be."""
import numpy as np
import pytest

import quorvan

# id, call, exception, words of the message.
ERRORS = [
    ("text", lambda: quorvan.reference_values(cas="250"), TypeError, "cas takes a number"),
    ("complex", lambda: quorvan.atmosphere(1j), TypeError, "altitude takes a number"),
    ("bool", lambda: quorvan.reference_values(weight_kg=True), TypeError, "weight_kg takes a number"),
    ("bool array", lambda: quorvan.atmosphere(0, isa_offset=np.array([True])), TypeError, "isa_offset"),
    ("object", lambda: quorvan.solve("mach", reynolds=[object()]), TypeError, "reynolds takes a number"),
    ("ragged", lambda: quorvan.reference_values(mach=[[1], [1, 2]]), TypeError, "mach takes a number"),
    ("unknown keyword", lambda: quorvan.reference_values(speed=1), TypeError, "'speed'; the inputs are mach, tas"),
    ("misspelled suffix", lambda: quorvan.reference_values(cas_kts=250), TypeError, "did you mean 'cas_kt'?"),
    ("output as input", lambda: quorvan.reference_values(density_altitude=1), TypeError, "'density_altitude'"),
    ("target without solve", lambda: quorvan.reference_values(reynolds=1e7), TypeError,
     "reynolds: a target needs solve()"),
    ("suffix of another quantity", lambda: quorvan.reference_values(altitude_kt=1), TypeError,
     "_kt is a unit of another quantity; altitude takes _ft or _km"),
    ("two speeds", lambda: quorvan.reference_values(mach=0.5, cas_kt=250), TypeError, "mach and cas_kt"),
    ("the same input twice", lambda: quorvan.reference_values(altitude=1, altitude_ft=3), TypeError,
     "altitude and altitude_ft give the same input"),
    ("altitude and geometric altitude", lambda: quorvan.reference_values(geometric_altitude_km=1, altitude=2),
     TypeError, "geometric_altitude_km and altitude"),
    ("unknown column", lambda: quorvan.reference_values(columns=["mach", "lift"]), ValueError,
     "unknown column 'lift' (the columns are all, mach, altitude"),
    ("two units of a quantity", lambda: quorvan.reference_values(columns=["altitude_ft", "density_altitude_km"]),
     ValueError, "columns 'altitude_ft' and 'density_altitude_km' are altitudes in two units"),
    ("columns not names", lambda: quorvan.reference_values(columns=[1]), TypeError, "columns holds names"),
    ("shapes", lambda: quorvan.reference_values(mach=[0.5, 0.8], altitude=np.zeros((2, 3))), ValueError,
     "do not broadcast together: mach (2,), altitude (2, 3)"),
    ("unknown unknown", lambda: quorvan.solve("speed", reynolds=1e7), ValueError, "'mach' or 'altitude'"),
    ("two targets", lambda: quorvan.solve("altitude", reynolds=1e7, pressure=1e4), TypeError, "one target"),
    ("thread count", lambda: quorvan.set_threads(0), ValueError, "at least 1"),
]


@pytest.mark.parametrize("call, error, words", [e[1:] for e in ERRORS], ids=[e[0] for e in ERRORS])
def test_raises(call, error, words):
    with pytest.raises(error) as raised:
        call()
    assert words in str(raised.value)
