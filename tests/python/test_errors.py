"""A call that is wrong as a whole raises, naming the argument and what it may be."""
from decimal import Decimal
from fractions import Fraction

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
    ("output as input", lambda: quorvan.reference_values(density_altitude=1), TypeError, "'density_altitude'"),
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
    ("thread count not whole", lambda: quorvan.set_threads(2.0), TypeError, "count is a whole number"),
    ("None in a list", lambda: quorvan.atmosphere([0.8, None]), TypeError, "numbers; element [1] is None"),
    ("text in a nested list", lambda: quorvan.atmosphere(0, [[1, 2], [3, "4"]]), TypeError, "element [1, 1] is text"),
    ("bool in a list", lambda: quorvan.reference_values(mach=[True, 0.5]), TypeError, "element [0] is a bool"),
    ("int too large", lambda: quorvan.atmosphere(10**400), OverflowError, "altitude is a number too large"),
    ("int too large in a list", lambda: quorvan.atmosphere([1, 10**400]), OverflowError, "[1] is a number too"),
    ("geometric text", lambda: quorvan.atmosphere(0, geometric="yes"), TypeError, "geometric is True or False"),
    ("geometric 1", lambda: quorvan.solve("mach", reynolds=1e7, geometric=1), TypeError, "geometric is"),
]


@pytest.mark.parametrize("call, error, words", [e[1:] for e in ERRORS], ids=[e[0] for e in ERRORS])
def test_raises(call, error, words):
    with pytest.raises(error) as raised:
        call()
    assert words in str(raised.value)


class Failing:
    """An argument whose conversion raises error: from __array__, or from __float__ as a list element."""

    def __init__(self, error):
        self.error = error

    def __array__(self, dtype=None):
        raise self.error

    __float__ = __array__


@pytest.mark.parametrize("argument", [Failing, lambda error: [1.0, Failing(error)]], ids=["__array__", "__float__"])
@pytest.mark.parametrize("error", [OSError("disk"), MemoryError(), KeyboardInterrupt(), ZeroDivisionError()])
def test_conversion_error_raised_as_it_is(argument, error):
    with pytest.raises(BaseException) as raised:
        quorvan.reference_values(altitude=argument(error))
    assert raised.value is error


@pytest.mark.parametrize("number", [Fraction(4, 5), Decimal("0.8"), [Fraction(4, 5)],
                                    np.array([Decimal("0.8")], dtype=object)], ids=repr)
def test_real_numbers_read_as_float_reads_them(number):
    got = quorvan.reference_values(mach=number, columns="tas")["tas"]
    assert np.ravel(got)[0] == quorvan.reference_values(mach=float(np.ravel(number)[0]), columns="tas")["tas"]


def test_thread_count_any_integer_capped():
    was = quorvan.get_threads()
    quorvan.set_threads(np.int64(300))
    assert quorvan.get_threads() == 256
    quorvan.set_threads(was)
