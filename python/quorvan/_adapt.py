"""The arguments of quorvan's functions as pandas, xarray and pint give them, read into the plain
numbers and arrays the compiled functions take, and their results labelled as the arguments were.

Plain numbers and arrays go straight through. None of the three libraries is imported here: an
argument whose type comes from one of them means that library is already loaded, and is found in
sys.modules. Every value is computed by the same compiled call as plain arrays, so the values
are bit for bit the same.
"""
import functools
import inspect
import sys

import numpy as np

from . import _quorvan

# The types that need no reading, which the package's functions give the compiled ones straight
# away; anything else is looked at here, and may still be plain.
PLAIN = frozenset([float, int, np.ndarray, list, tuple, np.float64, np.float32, np.int64])

# The inputs and targets with the unit suffixes each takes, by the core's rules, as quorvan-table
# reads them.
_NAMES = _quorvan.keyword_names()
_SPEEDS = tuple(_NAMES["speeds"])
TARGETS = tuple(_NAMES["targets"])
INPUTS = tuple(_NAMES["inputs"])
_SUFFIXES = _NAMES["suffixes"]

# What pint checks each input's and target's units against.
_QUANTITY = {
    "mach": "none", "tas": "speed", "eas": "speed", "cas": "speed", "altitude": "altitude",
    "geometric_altitude": "altitude", "load_factor": "none", "weight": "weight", "ref_length": "length",
    "ref_area": "area", "isa_offset": "offset", "lift_coefficient": "none", "reynolds": "none",
    "dynamic_pressure": "pressure", "pressure": "pressure", "density": "density",
}

# pint's name of the unit of each quantity without suffix (first) and with each of the table's
# suffixes (the core's, as _SUFFIXES lists them).
_UNITS = {
    "none": {"": "dimensionless"},
    "offset": {"": "kelvin"},
    "pressure": {"": "pascal"},
    "density": {"": "kilogram / meter ** 3"},
    "altitude": {"": "meter", "_ft": "foot", "_km": "kilometer"},
    "speed": {"": "meter / second", "_kt": "knot", "_kmh": "kilometer / hour", "_mph": "mile / hour",
              "_fps": "foot / second"},
    "weight": {"": "metric_ton", "_kg": "kilogram", "_lb": "pound"},
    "length": {"": "meter", "_mm": "millimeter", "_ft": "foot", "_in": "inch"},
    "area": {"": "meter ** 2", "_mm2": "millimeter ** 2", "_ft2": "foot ** 2", "_in2": "inch ** 2"},
}
_KIND = {"none": "a dimensionless number", "offset": "a temperature difference", "pressure": "a pressure",
         "density": "a density", "altitude": "a length", "speed": "a speed", "weight": "a mass",
         "length": "a length", "area": "an area"}


def _parse(name):
    """(input or target, suffix) a name stands for, as the table tool reads a column's name; None
    for any other name."""
    if name in _SUFFIXES:
        return name, ""
    base, _, suffix = name.rpartition("_")
    if base in _SUFFIXES and "_" + suffix in _SUFFIXES[base]:
        return base, "_" + suffix
    return None


def _slot(base):
    """What an input fills: one speed, one target, one altitude (geopotential or geometric)."""
    if base in _SPEEDS:
        return "speed"
    if base in TARGETS:
        return "target"
    return "altitude" if base == "geometric_altitude" else base


def signature(leading, names):
    """The signature of a function taking the leading positional parameters and cases=None, the
    inputs names as keywords (None: the default), geometric and columns, and **suffixed inputs."""
    positional, keyword = inspect.Parameter.POSITIONAL_ONLY, inspect.Parameter.KEYWORD_ONLY
    return inspect.Signature(
        [inspect.Parameter(name, positional) for name in leading] +
        [inspect.Parameter("cases", positional, default=None)] +
        [inspect.Parameter(name, keyword, default=None) for name in names] +
        [inspect.Parameter("geometric", keyword, default=False), inspect.Parameter("columns", keyword, default=None),
         inspect.Parameter("suffixed", inspect.Parameter.VAR_KEYWORD)])


def reference_values(cases, inputs, geometric, columns):
    """reference_values() of the compiled module, for cases and keywords of any kind."""
    return _labelled("reference_values", lambda given: _quorvan.reference_values(given, geometric, columns),
                     inputs, cases, None, columns)


def solve(unknown, cases, inputs, geometric, columns):
    """solve() of the compiled module, for cases and keywords of any kind."""
    return _labelled("solve", lambda given: _quorvan.solve(unknown, given, geometric, columns), inputs, cases,
                     unknown, columns)


def atmosphere(altitude, isa_offset, altitude_ft, altitude_km, geometric):
    """atmosphere() of the compiled module as a tuple of its five columns, for an altitude given as
    altitude, altitude_ft or altitude_km and an ISA offset of any kind."""
    fields = ("pressure", "temperature", "density", "viscosity", "sound_speed")

    def compute(given):
        names = [name for name in given if name != "isa_offset"]
        if len(names) > 1:
            raise TypeError("atmosphere(): %s and %s give the same input" % tuple(names[:2]))
        if not names:
            raise TypeError("atmosphere(): no altitude; give altitude, altitude_ft or altitude_km")
        metres = _in_metres(names[0], given[names[0]])
        return dict(zip(fields, _quorvan.atmosphere(metres, given.get("isa_offset", 0.0), geometric)))

    inputs = dict(altitude=altitude, altitude_ft=altitude_ft, altitude_km=altitude_km, isa_offset=isa_offset)
    return tuple(_labelled("atmosphere", compute, inputs, None, None, fields, table=False).values())


@functools.lru_cache(maxsize=None)
def _factor(name):
    """The size in metres of the unit of an altitude keyword, as the compiled module converts it."""
    return _quorvan.reference_values({name: 1.0}, False, ["altitude"])["altitude"]


def _in_metres(name, value):
    """An altitude in the unit its keyword names, in metres; nan where the conversion overflows,
    as reference_values refuses it."""
    if name == "altitude":
        return value
    given = np.asarray(value)
    if given.dtype.kind not in "fiu":
        raise TypeError("atmosphere(): %s takes a number or an array of numbers, not %s" % (name, type(value).__name__))
    given = given.astype(float)
    with np.errstate(over="ignore"):
        metres = given * _factor(name)
    return np.where(np.isfinite(given) & ~np.isfinite(metres), np.nan, metres)


def _labelled(function, compute, inputs, cases, unknown, columns, table=True):
    """compute(plain keywords) for keywords and cases holding pandas, xarray or pint values, its
    dict of results labelled as those were: a DataFrame (or a Series for one column asked by name)
    with their index, an xarray Dataset (or DataArray) with their dims and coords; with
    table=False the dict of labelled columns."""
    given = {}
    if cases is not None:
        given.update(_from_cases(function, cases, inputs, unknown))
    written = {}
    for name, value in inputs.items():
        if value is None:
            continue
        own = name
        if type(value).__module__.startswith("pint"):
            name, value = _from_quantity(function, name, value)
        # A quantity may be renamed to another keyword's name (the frame's columns of the inputs
        # keywords give are skipped).
        if name in written:
            raise TypeError("%s(): %s and %s give the same input" % (function, written[name], own))
        written[name] = own
        given[name] = value
    pandas, xarray = [], []
    for name, value in given.items():
        module = type(value).__module__
        if module.startswith("pandas"):
            pandas.append(name)
        elif module.startswith("xarray"):
            xarray.append(name)
    if pandas and xarray:
        raise TypeError("%s(): %s from pandas and %s from xarray; give one library's arrays" %
                        (function, pandas[0], xarray[0]))
    if cases is not None:
        pandas.insert(0, "cases")
    if pandas:
        labels = _PandasLabels(function, given, pandas, cases)
        if labels.index is None:  # pandas arrays, no Series: nothing to label
            return compute(given)
    elif xarray:
        labels = _XarrayLabels(function, given, xarray)
    else:
        return compute(given)
    results = compute(given)
    labels.check(next(iter(results.values()), None))
    if not table:
        return {name: labels.column(name, values) for name, values in results.items()}
    if isinstance(columns, str) and columns != "all" and "," not in columns and len(results) == 1:
        return labels.column(*next(iter(results.items())))
    return labels.table(results)


def _from_cases(function, frame, keywords, unknown):
    """The inputs a DataFrame of cases gives, by name as quorvan-table reads a case file: the inputs
    and, for a solve, the targets, in any unit the table's suffixes name, wherever they stand; of
    several speeds the first. Other columns are skipped, and so is a column whose input a keyword
    gives."""
    if not type(frame).__module__.startswith("pandas") or not hasattr(frame, "columns"):
        raise TypeError("%s(): the cases are a pandas DataFrame, not %s" % (function, type(frame).__name__))
    replaced = set()
    for name, value in keywords.items():
        parsed = _parse(name)
        if parsed is not None and value is not None:
            replaced.add(_slot(parsed[0]))
    repeated = set(frame.columns[frame.columns.duplicated()])
    taken = set()
    given = {}
    for name in frame.columns:
        parsed = _parse(name) if isinstance(name, str) else None
        if parsed is None:
            continue
        if name in repeated:
            raise ValueError("%s(): the cases have two columns %r" % (function, name))
        slot = _slot(parsed[0])
        skipped = ((unknown is None and slot == "target") or (unknown == "mach" and slot == "speed") or
                   (unknown == "altitude" and slot == "altitude") or slot in replaced)
        if skipped or (slot == "speed" and slot in taken):
            continue
        taken.add(slot)
        given[name] = frame[name]
    if not given and not replaced:
        raise ValueError("%s(): the cases have no input column (the inputs are %s, with the table's unit suffixes)"
                         % (function, ", ".join(INPUTS + (TARGETS if unknown else ()))))
    return given


def _series_values(series):
    """The values of a Series (or a pandas array or Index) as an array: a nullable number dtype as
    float64 with pd.NA as nan, any other dtype as it is (and refused by the compiled module if it
    holds no numbers)."""
    dtype = series.dtype
    if not isinstance(dtype, np.dtype) and dtype.kind in "fiu":
        return series.to_numpy(dtype=float, na_value=np.nan)
    return series.to_numpy()


class _PandasLabels:
    """The index shared by the pandas arguments of a call; reads their values into arrays."""

    def __init__(self, function, given, names, cases):
        pd = sys.modules["pandas"]
        self.function = function
        self.index = None
        first = None
        for name in names:
            value = cases if name == "cases" else given[name]
            if isinstance(value, pd.DataFrame) and name != "cases":
                raise TypeError("%s(): %s takes a number or an array of numbers, not a DataFrame; "
                                "give a frame of cases as the first argument" % (function, name))
            if not isinstance(value, (pd.Series, pd.DataFrame)):
                given[name] = _series_values(value) if hasattr(value, "to_numpy") else np.asarray(value)
                continue
            if self.index is None:
                self.index, first = value.index, name
            elif not value.index.equals(self.index):
                raise ValueError("%s(): the indexes of %s and %s differ; align them first (pandas pairs rows by "
                                 "their labels, not by position)" % (function, first, name))
            if name != "cases":
                given[name] = _series_values(value)

    def check(self, values):
        """Refuses results that are not one row per label of the index."""
        if values is not None and np.shape(values) != (len(self.index),):
            raise ValueError("%s(): the other arguments broadcast the pandas ones to shape %s; pandas arguments "
                             "give one row per label of their index" % (self.function, np.shape(values)))

    def column(self, name, values):
        return sys.modules["pandas"].Series(values, index=self.index, name=name)

    def table(self, results):
        return sys.modules["pandas"].DataFrame(results, index=self.index)


class _XarrayLabels:
    """The dims and coords of the DataArray arguments of a call, broadcast by dimension name; reads
    their values into arrays."""

    def __init__(self, function, given, names):
        xr = sys.modules["xarray"]
        for name in names:
            if not isinstance(given[name], xr.DataArray):
                raise TypeError("%s(): %s takes a number or an array of numbers, not %s" %
                                (function, name, type(given[name]).__name__))
        for name, value in given.items():
            if name not in names and np.ndim(value) > 0:
                raise ValueError("%s(): %s is an array without dimension names beside DataArrays (%s); make it a "
                                 "DataArray" % (function, name, ", ".join(names)))
        try:
            aligned = xr.align(*(given[name] for name in names), join="exact")
        except ValueError as error:
            raise ValueError("%s(): the coordinates of %s differ: %s" % (function, ", ".join(names), error)) from None
        broadcast = xr.broadcast(*aligned)
        self.dims = broadcast[0].dims
        self.coords = broadcast[0].coords
        for name, value in zip(names, broadcast):
            given[name] = value.transpose(*self.dims).values

    def check(self, values):
        pass

    def column(self, name, values):
        return sys.modules["xarray"].DataArray(values, dims=self.dims, coords=self.coords, name=name)

    def table(self, results):
        # A column named as a coordinate (the input that gives a dimension its name, usually) is
        # left to the coordinate: a Dataset cannot hold both.
        return sys.modules["xarray"].Dataset(
            {name: (self.dims, values) for name, values in results.items() if name not in self.coords},
            coords=self.coords)


@functools.lru_cache(maxsize=None)
def _unit(registry, name):
    return registry.Unit(name)


def _from_quantity(function, name, quantity):
    """A pint Quantity given as keyword name, converted by its units: as the magnitude under the
    name with the table's suffix of its unit where there is one (so that it converts exactly as
    that suffix does), else in the unit of name. A unit of another dimension is a TypeError."""
    parsed = _parse(name)
    if parsed is None or not hasattr(quantity, "units"):
        return name, quantity  # the compiled function refuses the keyword
    base, suffix = parsed
    quantity_kind = _QUANTITY[base]
    units = _UNITS[quantity_kind]
    registry = quantity._REGISTRY
    for own, unit in units.items():
        if quantity.units == _unit(registry, unit):
            return base + own, quantity.magnitude
    if quantity_kind == "offset" and not quantity._is_multiplicative:
        raise TypeError("%s(): %s is a temperature difference (K or delta_degC), not a temperature in %s" %
                        (function, name, quantity.units))
    try:
        return name, quantity.m_as(units[suffix])
    except sys.modules["pint"].DimensionalityError:
        raise TypeError("%s(): %s takes %s (%s), not %s" % (function, name, _KIND[quantity_kind], units[suffix],
                                                           quantity.units)) from None
