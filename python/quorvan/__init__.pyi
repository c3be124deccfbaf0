from typing import Dict, NamedTuple, Optional, Sequence, SupportsIndex, Union

import numpy as np
from numpy.typing import ArrayLike, NDArray

Values = Union[float, NDArray[np.float64]]
Columns = Union[None, str, Sequence[str]]
Flag = Union[bool, np.bool_]

__version__: str

class Atmosphere(NamedTuple):
    pressure: Values
    temperature: Values
    density: Values
    viscosity: Values
    sound_speed: Values

def atmosphere(altitude: ArrayLike, isa_offset: ArrayLike = ..., *, geometric: Flag = ...) -> Atmosphere: ...
def reference_values(
    *,
    geometric: Flag = ...,
    columns: Columns = ...,
    mach: ArrayLike = ...,
    tas: ArrayLike = ...,
    eas: ArrayLike = ...,
    cas: ArrayLike = ...,
    altitude: ArrayLike = ...,
    geometric_altitude: ArrayLike = ...,
    load_factor: ArrayLike = ...,
    weight: ArrayLike = ...,
    ref_length: ArrayLike = ...,
    ref_area: ArrayLike = ...,
    isa_offset: ArrayLike = ...,
    **suffixed: ArrayLike,
) -> Dict[str, Values]: ...
def solve(
    unknown: str,
    *,
    geometric: Flag = ...,
    columns: Columns = ...,
    lift_coefficient: ArrayLike = ...,
    reynolds: ArrayLike = ...,
    dynamic_pressure: ArrayLike = ...,
    pressure: ArrayLike = ...,
    density: ArrayLike = ...,
    mach: ArrayLike = ...,
    tas: ArrayLike = ...,
    eas: ArrayLike = ...,
    cas: ArrayLike = ...,
    altitude: ArrayLike = ...,
    geometric_altitude: ArrayLike = ...,
    load_factor: ArrayLike = ...,
    weight: ArrayLike = ...,
    ref_length: ArrayLike = ...,
    ref_area: ArrayLike = ...,
    isa_offset: ArrayLike = ...,
    **suffixed: ArrayLike,
) -> Dict[str, Values]: ...
def set_threads(count: Optional[SupportsIndex] = ...) -> None: ...
def get_threads() -> int: ...
