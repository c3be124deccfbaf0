from typing import Any, Dict, NamedTuple, Optional, Protocol, Sequence, SupportsIndex, Union, overload

import numpy as np
from numpy.typing import NDArray

# A number, plain or numpy's.
Number = Union[float, np.floating[Any], np.integer[Any]]
# Numbers, or arrays of them as lists or numpy arrays.
Numbers = Union[Number, Sequence[float], Sequence[Sequence[float]], Sequence[Sequence[Sequence[float]]], NDArray[Any]]

class _ArrayLike(Protocol):
    def __array__(self) -> Any: ...

# Numbers, or anything numpy makes an array of: a pandas Series, an xarray DataArray, a pint
# Quantity; the results are then labelled (a DataFrame, a Dataset) and typed Any.
Labelled = Union[Numbers, _ArrayLike]
Columns = Union[None, str, Sequence[str]]
Flag = Union[bool, np.bool_]

__version__: str

# Each field a float or an array, or a Series or DataArray for labelled arguments.
class Atmosphere(NamedTuple):
    pressure: Any
    temperature: Any
    density: Any
    viscosity: Any
    sound_speed: Any

def atmosphere(
    altitude: Labelled = ...,
    isa_offset: Labelled = ...,
    *,
    altitude_ft: Labelled = ...,
    altitude_km: Labelled = ...,
    geometric: Flag = ...,
) -> Atmosphere: ...

# Scalars give floats, arrays arrays, labelled arguments (a DataFrame of cases first) labelled results.
@overload
def reference_values(  # type: ignore[misc]
    cases: None = ...,
    /,
    *,
    geometric: Flag = ...,
    columns: Columns = ...,
    mach: Number = ...,
    tas: Number = ...,
    eas: Number = ...,
    cas: Number = ...,
    altitude: Number = ...,
    geometric_altitude: Number = ...,
    load_factor: Number = ...,
    weight: Number = ...,
    ref_length: Number = ...,
    ref_area: Number = ...,
    isa_offset: Number = ...,
    **suffixed: Number,
) -> Dict[str, float]: ...
@overload
def reference_values(
    cases: None = ...,
    /,
    *,
    geometric: Flag = ...,
    columns: Columns = ...,
    mach: Numbers = ...,
    tas: Numbers = ...,
    eas: Numbers = ...,
    cas: Numbers = ...,
    altitude: Numbers = ...,
    geometric_altitude: Numbers = ...,
    load_factor: Numbers = ...,
    weight: Numbers = ...,
    ref_length: Numbers = ...,
    ref_area: Numbers = ...,
    isa_offset: Numbers = ...,
    **suffixed: Numbers,
) -> Dict[str, NDArray[np.float64]]: ...
@overload
def reference_values(
    cases: Any = ...,
    /,
    *,
    geometric: Flag = ...,
    columns: Columns = ...,
    mach: Labelled = ...,
    tas: Labelled = ...,
    eas: Labelled = ...,
    cas: Labelled = ...,
    altitude: Labelled = ...,
    geometric_altitude: Labelled = ...,
    load_factor: Labelled = ...,
    weight: Labelled = ...,
    ref_length: Labelled = ...,
    ref_area: Labelled = ...,
    isa_offset: Labelled = ...,
    **suffixed: Labelled,
) -> Any: ...
@overload
def solve(  # type: ignore[misc]
    unknown: str,
    cases: None = ...,
    /,
    *,
    geometric: Flag = ...,
    columns: Columns = ...,
    lift_coefficient: Number = ...,
    reynolds: Number = ...,
    dynamic_pressure: Number = ...,
    pressure: Number = ...,
    density: Number = ...,
    mach: Number = ...,
    tas: Number = ...,
    eas: Number = ...,
    cas: Number = ...,
    altitude: Number = ...,
    geometric_altitude: Number = ...,
    load_factor: Number = ...,
    weight: Number = ...,
    ref_length: Number = ...,
    ref_area: Number = ...,
    isa_offset: Number = ...,
    **suffixed: Number,
) -> Dict[str, float]: ...
@overload
def solve(
    unknown: str,
    cases: None = ...,
    /,
    *,
    geometric: Flag = ...,
    columns: Columns = ...,
    lift_coefficient: Numbers = ...,
    reynolds: Numbers = ...,
    dynamic_pressure: Numbers = ...,
    pressure: Numbers = ...,
    density: Numbers = ...,
    mach: Numbers = ...,
    tas: Numbers = ...,
    eas: Numbers = ...,
    cas: Numbers = ...,
    altitude: Numbers = ...,
    geometric_altitude: Numbers = ...,
    load_factor: Numbers = ...,
    weight: Numbers = ...,
    ref_length: Numbers = ...,
    ref_area: Numbers = ...,
    isa_offset: Numbers = ...,
    **suffixed: Numbers,
) -> Dict[str, NDArray[np.float64]]: ...
@overload
def solve(
    unknown: str,
    cases: Any = ...,
    /,
    *,
    geometric: Flag = ...,
    columns: Columns = ...,
    lift_coefficient: Labelled = ...,
    reynolds: Labelled = ...,
    dynamic_pressure: Labelled = ...,
    pressure: Labelled = ...,
    density: Labelled = ...,
    mach: Labelled = ...,
    tas: Labelled = ...,
    eas: Labelled = ...,
    cas: Labelled = ...,
    altitude: Labelled = ...,
    geometric_altitude: Labelled = ...,
    load_factor: Labelled = ...,
    weight: Labelled = ...,
    ref_length: Labelled = ...,
    ref_area: Labelled = ...,
    isa_offset: Labelled = ...,
    **suffixed: Labelled,
) -> Any: ...
def set_threads(count: Optional[SupportsIndex] = ...) -> None: ...
def get_threads() -> int: ...
