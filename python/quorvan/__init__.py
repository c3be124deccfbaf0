"""Aircraft aerodynamic reference values on numpy arrays: the engine of the Quorvan window and of
the ``quorvan-table`` tool, with the tool's column names.

Functions
---------
atmosphere
    Pressure, temperature, density, viscosity and speed of sound at altitudes.
reference_values
    The columns ``quorvan-table`` writes for flight conditions given by a speed, altitude, load
    factor, weight, reference length and area and ISA offset.
solve
    The Mach number or altitude at which a lift coefficient, Reynolds number, dynamic pressure,
    pressure or density is met, with the columns that follow from it.
set_threads, get_threads
    The number of threads large arrays are computed on.

Models
------
The atmosphere is the 1962 U.S. Standard Atmosphere in eight layers from 0 to 88000 m geopotential
(gas constant 287.053 J/(kg K), g0 = 9.8065 m/s^2); outside that range the end layers continue.
Its results differ from those of libraries built on the 1976 model by about 3e-5 relative in
pressure below 47 km. The viscosity is Sutherland's law. The impact pressure is isentropic up to
Mach 1 and Rayleigh's pitot formula above; CAS is the speed with the same impact pressure at sea
level. A weight in tonnes is a force of 9.8 N per kg (9800 N a tonne), the window's convention.

Every value is a float64; arguments broadcast as numpy broadcasts them (up to numpy's 32
dimensions), and arguments that are all scalars give Python floats. Element values never raise: NaN
in gives NaN out, and an element the model cannot take gives NaN.

An argument is a real number, or an array or (nested) list of them: a number of any kind converts
as ``float()`` converts it (``Fraction``, ``Decimal``, numpy's scalars), so an int too large for a
double is refused with OverflowError, while a float too large already is inf. Bools, complex
numbers, text and None are refused with TypeError, alone or as elements. An error raised while an
argument is converted (MemoryError, KeyboardInterrupt, one from its ``__array__``, a dask task's)
is raised as it is.

A masked array (``numpy.ma``) gives masked arrays, masked where any argument is masked after
broadcasting, as numpy's own functions do; masked elements are not computed (their data is NaN, or
the input given where a column is an input), and a masked 0-d result is ``numpy.ma.masked``. NaN
instead would mix them up with the elements the model cannot take.

Ctrl-C stops a call within a fraction of a second with KeyboardInterrupt; what it had computed is
dropped.

pandas, xarray and pint are optional, and used only when an argument comes from them. pandas
arguments (a DataFrame of cases first, Series as keywords) give a DataFrame of the result columns
with their index, or a Series for one column asked by name; their indexes must be the same (a
ValueError otherwise: rows are never paired by position), and nullable dtypes are read with pd.NA
as NaN. xarray DataArrays broadcast by dimension name and give an xarray Dataset with their dims
and coords, or a DataArray for one column asked by name. A pint Quantity is converted by its units
to the keyword's (``cas`` in m/s, ``cas_kt`` in knots, ``isa_offset`` a temperature difference),
and a unit of another dimension is a TypeError; the results stay plain numbers in the units the
functions document. Every path computes through the same calls as plain arrays, to the same bits.
"""
import operator
from collections import namedtuple

import numpy as np

from . import _adapt, _quorvan

__all__ = ["Atmosphere", "atmosphere", "reference_values", "solve", "set_threads", "get_threads"]

__version__ = _quorvan.__version__
_PLAIN = _adapt.PLAIN

# The most threads a call is computed on: more would only cost their start.
_MOST_THREADS = 256

Atmosphere = namedtuple("Atmosphere", ["pressure", "temperature", "density", "viscosity", "sound_speed"])
Atmosphere.__doc__ = """The air at an altitude: pressure (Pa), temperature (K), density (kg/m^3),
dynamic viscosity (Pa s) and speed of sound (m/s)."""


def atmosphere(altitude=None, isa_offset=0.0, *, altitude_ft=None, altitude_km=None, geometric=False):
    """The air at altitudes on a standard or an off-standard day.

    Parameters
    ----------
    altitude : float or array_like
        Altitude, m: geopotential (the pressure altitude), or geometric with ``geometric=True``.
    altitude_ft, altitude_km : float or array_like, optional
        The altitude in feet or kilometres instead.
    isa_offset : float or array_like, optional
        How much warmer the day is than standard at the same pressure, K (default 0).
    geometric : bool, optional
        Whether the altitudes are geometric (True or False, numpy's bools too): converted to geopotential ones first,
        H = r0 Z / (r0 + Z) with r0 = 6356766 m.

    Returns
    -------
    Atmosphere
        Named tuple of pressure (Pa), temperature (K), density (kg/m^3), viscosity (Pa s, Sutherland's
        law) and sound_speed (m/s), each an array of the broadcast shape of the arguments, or a
        float when both are scalars; masked arrays where an argument is masked (see the module's
        docstring).

    Raises
    ------
    TypeError
        An argument that is not a real number or an array or list of them (a bool, complex number,
        text or None, alone or as an element), or a ``geometric`` that is not a bool.
    OverflowError
        An int too large for a double, alone or as an element.
    ValueError
        Shapes that do not broadcast together.

    Notes
    -----
    The 1962 U.S. Standard Atmosphere, 0 to 88000 m geopotential; below 0 m the first layer
    continues downward, from 88000 m the last (isothermal) one upward. It differs from the 1976
    model by about 3e-5 relative in pressure below 47 km. The pressure is the standard day's; the
    offset changes the temperature and what follows from it. NaN in gives NaN out, and so does an
    element whose air would be at or below 0 K, or a geometric altitude at or below minus the
    Earth's radius (``quorvan-table`` refuses the whole run for those).
    """
    # Plain arguments go straight to the compiled function: a small call's time is mostly overhead.
    if altitude_ft is None and altitude_km is None and type(altitude) in _PLAIN and type(isa_offset) in _PLAIN:
        return Atmosphere._make(_quorvan.atmosphere(altitude, isa_offset, geometric))
    return Atmosphere._make(_adapt.atmosphere(altitude, isa_offset, altitude_ft, altitude_km, geometric))


def reference_values(cases=None, /, *, geometric=False, columns=None, **inputs):
    """The reference values of flight conditions: the columns ``quorvan-table`` writes.

    Parameters
    ----------
    cases : pandas.DataFrame, optional
        Cases, read by column name as ``quorvan-table`` reads a case file: the inputs below (with
        their unit suffixes) wherever they stand, of several speeds the first, every other column
        skipped. A keyword replaces the column of its input.
    mach, tas, eas, cas : float or array_like, optional
        The speed, one of the four: Mach number, or true, equivalent or calibrated airspeed in
        m/s (default Mach 0.8).
    altitude : float or array_like, optional
        Altitude, m (default 11000): geopotential, the pressure altitude, unless ``geometric``.
    geometric_altitude : float or array_like, optional
        Geometric altitude, m, in place of ``altitude``.
    load_factor : float or array_like, optional
        Load factor (default 1).
    weight : float or array_like, optional
        Aircraft weight, metric tonnes (default 50); a tonne weighs 9800 N.
    ref_length : float or array_like, optional
        Reference length of the Reynolds number, m (default 3.5).
    ref_area : float or array_like, optional
        Reference area, m^2 (default 56).
    isa_offset : float or array_like, optional
        How much warmer the day is than standard at the same pressure, K (default 0).
    geometric : bool, optional
        Whether the altitudes are geometric (as ``quorvan-table --geometric``); the altitude column
        is then ``geometric_altitude``.
    columns : None, "all", str or sequence of str, optional
        The columns to return, in this order, named as ``quorvan-table`` names them: None for
        the default ones, "all" for every one, or names as a sequence or separated by commas
        (spaces around them dropped). A name with a unit suffix (``tas_kt``, ``altitude_ft``)
        returns the column in that unit, and every other column of its quantity must then be
        asked in the same unit (``["cas_kt", "tas"]`` is a ValueError).
    **inputs
        Any input above may carry a unit suffix of ``quorvan-table`` instead: ``altitude_ft``,
        ``altitude_km``, ``cas_kt``, ``tas_kmh``, ``eas_mph``, ``tas_fps``, ``weight_kg``,
        ``weight_lb``, ``ref_length_mm``, ``ref_length_ft``, ``ref_length_in``, ``ref_area_mm2``,
        ``ref_area_ft2``, ``ref_area_in2`` (exact factors: 1 ft = 0.3048 m, 1 kt = 1852/3600 m/s,
        1 lb = 0.45359237 kg). The same input twice, in two units or as ``altitude`` and
        ``geometric_altitude``, is a TypeError.

    Returns
    -------
    dict, or pandas.DataFrame or xarray.Dataset
        Column name to values, in ``quorvan-table``'s order and with its header names: in SI
        units (m, m/s, t, m^2, K, Pa, kg/m^3, Pa s, m^2/s, N, and unit_reynolds per metre) whatever
        the units of the inputs, or in the unit of a suffix the columns were asked with. Each
        value is a float64 array of the broadcast shape of the inputs (the columns are views of
        one array that holds them all), or a float when every input is a scalar; masked arrays
        where an input is masked (see the module's docstring). The values are bit for bit those
        ``quorvan-table`` computes for the same case (a suffixed input converted as its case
        reader converts a suffixed column; columns asked with suffixes as it writes them with
        those units chosen).

    Raises
    ------
    TypeError
        An unknown keyword (the message names the nearest ones), a target (which `solve` takes),
        two speeds, the same input twice, an input that is not a real number or an array or list
        of them (a bool, complex number, text or None, alone or as an element), or a ``geometric``
        that is not a bool.
    OverflowError
        An int too large for a double, alone or as an element.
    ValueError
        An unknown, empty or repeated column, columns of one quantity in two units, or shapes that
        do not broadcast together.

    Notes
    -----
    Element values never raise. NaN in gives NaN out. An element the model cannot take (a negative
    speed, air at or below 0 K, a geometric altitude at or below minus the Earth's radius, an input
    too large for its unit's conversion) gives NaN in every column but its inputs, where
    ``quorvan-table`` refuses the whole run. Outside 0 to 88000 m the end layers of the 1962 U.S.
    Standard Atmosphere continue. See the module's docstring for the models.
    """
    if cases is None:
        for value in inputs.values():
            if type(value) not in _PLAIN:
                break
        else:
            return _quorvan.reference_values(inputs, geometric, columns)
    return _adapt.reference_values(cases, inputs, geometric, columns)


def solve(unknown, cases=None, /, *, geometric=False, columns=None, **inputs):
    """The Mach number or the altitude at which a target is met, and the columns that follow.

    Parameters
    ----------
    unknown : {"mach", "altitude"}
        What to solve for.
    cases : pandas.DataFrame, optional
        Cases, read as in `reference_values`, with the target's column (a keyword replaces it).
    lift_coefficient, reynolds, dynamic_pressure, pressure, density : float or array_like
        The target, exactly one: a lift coefficient, a Reynolds number on the reference length, a
        dynamic pressure (Pa), or for the altitude also a static pressure (Pa) or a density
        (kg/m^3).
    **inputs
        The inputs of `reference_values` but the unknown, with the same defaults and unit
        suffixes: for the Mach number no speed; for the altitude the speed as ``mach`` or ``tas``
        (with ``eas`` or ``cas`` only for the Reynolds number, pressure or density).
    geometric : bool, optional
        Whether the altitudes are geometric, as in `reference_values`.
    columns : None, "all", str or sequence of str, optional
        The columns to return, as in `reference_values`.

    Returns
    -------
    dict, or pandas.DataFrame or xarray.Dataset
        The columns ``quorvan-table --solve`` writes, as `reference_values` returns them: the
        unknown's column is NaN where no value meets the target, and so is everything computed
        from it, while the target keeps the value asked for.

    Raises
    ------
    TypeError
        As `reference_values`, and for two targets.
    OverflowError
        As `reference_values`.
    ValueError
        An unknown other than "mach" or "altitude", no target, the unknown among the inputs, a
        solve that is not posed (the pressure or density for the Mach number; the dynamic pressure
        or lift coefficient for the altitude at a given EAS or CAS), with ``quorvan-table``'s
        reason; an unknown column, or shapes that do not broadcast together.

    Notes
    -----
    The altitude is searched from 0 to 88000 m only. A target is met when the row computed from the
    solution gives it to 1e-9 relative. Where the model's rounded base pressures make the pressure
    and density rise slightly going up through 52 and 79 km, the lowest altitude is given, and a
    target inside the small drop at the other layer bases gives the base altitude. An element the
    model cannot take (a target that is not positive, too cold an offset, as well as those of
    `reference_values`) gives NaN, where ``quorvan-table`` refuses the whole run.
    """
    if cases is None:
        for value in inputs.values():
            if type(value) not in _PLAIN:
                break
        else:
            return _quorvan.solve(unknown, inputs, geometric, columns)
    return _adapt.solve(unknown, cases, inputs, geometric, columns)


# What help(), inspect.signature and a notebook's completion show: the inputs by name.
reference_values.__signature__ = _adapt.signature([], _adapt.INPUTS)
solve.__signature__ = _adapt.signature(["unknown"], _adapt.TARGETS + _adapt.INPUTS)


def set_threads(count=None):
    """Sets how many threads a call may compute a large array on.

    Parameters
    ----------
    count : int or None, optional
        At least 1, of any integer type (numpy's too); more than 256 is taken as 256. None for the
        machine's number of processors (the default at import). Results do not depend on it.

    Raises
    ------
    TypeError
        A count that is not an integer (a bool, a float, text).
    ValueError
        A count below 1.
    """
    if count is None:
        _quorvan.set_threads(0)
        return
    try:
        if isinstance(count, (bool, np.bool_)):
            raise TypeError
        count = operator.index(count)
    except TypeError:
        raise TypeError("set_threads(): count is a whole number or None, not %r" % (count,)) from None
    if count < 1:
        raise ValueError("set_threads(): count is a whole number of at least 1, or None, not %r" % (count,))
    _quorvan.set_threads(min(count, _MOST_THREADS))


def get_threads():
    """How many threads a call may compute a large array on (see `set_threads`)."""
    return _quorvan.get_threads()
