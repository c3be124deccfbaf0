"""The module's values are quorvan-table's, bit for bit, for the same cases read from a CSV file."""
import os
import subprocess

import numpy as np
import pytest

import quorvan
from conftest import assert_same_bits

# id, keywords of reference_values or solve beside the inputs, the inputs (the case file's columns).
CASES = [
    ("mach", {}, dict(mach=[0.1, 0.8, 2.5, 0.0], altitude=[-500, 11000, 95000, 30000])),
    ("tas offsets all", {"columns": "all"},
     dict(tas=[50, 250, 700, 1], altitude=[0, 15000, 60000, 86000], isa_offset=[-30, 0, 25, 40])),
    ("eas in knots, other units", {"columns": "all"},
     dict(eas_kt=[150, 300, 420, 80], altitude_ft=[0, 35000, 50000, 1000], weight_lb=[150000, 120000, 90000, 2000],
          ref_length_in=[150, 140, 200, 30], ref_area_ft2=[1300, 1300, 900, 160])),
    ("cas across Mach 1", {"columns": "all"},
     dict(cas=[5, 340.29, 340.3, 500, 1000, 3000], altitude=[0, 0, 11000, 20000, 47000, 0])),
    ("cas km/h chosen columns", {"columns": ["cas", "tas", "mach", "impact_pressure", "total_pressure", "eas"]},
     dict(cas_kmh=[400, 900, 1500], altitude_km=[0.5, 10, 25], load_factor=[1, 2.5, -1])),
    ("tas mph, columns as text", {"columns": "mach,altitude,density_altitude,unit_reynolds"},
     dict(tas_mph=[200, 600], altitude=[3000, 40000], ref_length_mm=[3500, 500], ref_area_mm2=[56e6, 2e6])),
    ("geometric", {"geometric": True, "columns": "all"},
     dict(tas_fps=[800, 2000, 3000], altitude=[0, 20000, 80000], isa_offset=[0, 10, -10])),
    ("geometric altitude column", {"columns": "all"},
     dict(mach=[0.5, 0.9], geometric_altitude_ft=[10000, 60000])),
    ("solve altitude for Reynolds, unreachable rows", {"solve": "altitude"},
     dict(mach=[0.3, 0.8, 0.8, 2], reynolds=[1e7, 2e7, 1e9, 1e3])),
    ("solve altitude for pressure, outside the model", {"solve": "altitude", "columns": "all"},
     dict(tas_kt=[250, 250, 250, 250], pressure=[23840, 101325, 200000, 0.01], isa_offset=[0, 15, -20, 0])),
    ("solve geometric altitude for density", {"solve": "altitude", "geometric": True},
     dict(density=[0.41, 1.3, 1e-6, 0.00058])),
    ("solve mach for lift coefficient", {"solve": "mach", "columns": "all"},
     dict(lift_coefficient=[0.5, 0.05, 2], altitude_ft=[36089, 0, 45000], weight_kg=[60000, 40000, 80000])),
    ("solve mach for dynamic pressure", {"solve": "mach"},
     dict(dynamic_pressure=[10000, 50, 1e6], altitude=[11000, 0, 80000], isa_offset=[5, 0, -40])),
    ("columns in knots and feet, inputs in other units",
     {"columns": ["cas_kt", "altitude_ft", "tas_kt", "mach", "density_altitude_ft", "sound_speed_kt"]},
     dict(cas=[100, 200, 0.1], altitude_km=[1, 10, 30])),
    ("solve the altitude in feet, inputs in kilometres per hour", {"solve": "altitude", "geometric": True,
     "columns": "altitude_ft, tas_kmh, pressure, geopotential_altitude_ft"},
     dict(tas_kmh=[900, 900, 500], pressure=[23840, 101325, 5474.88])),
]

# The unit option a column's suffix asks of quorvan-table.
UNIT_OPTIONS = {"_kt": ("--speed-unit", "kt"), "_kmh": ("--speed-unit", "km/h"), "_ft": ("--altitude-unit", "ft")}


def table_options(keywords):
    options = []
    if "solve" in keywords:
        options += ["--solve", keywords["solve"]]
    if keywords.get("geometric"):
        options.append("--geometric")
    columns = keywords.get("columns")
    if columns is not None:
        columns = columns if isinstance(columns, str) else ",".join(columns)
        options += ["--columns", columns]
        for suffix, unit in UNIT_OPTIONS.items():
            if any(name.strip().endswith(suffix) for name in columns.split(",")):
                options += unit
    return options


@pytest.mark.parametrize("keywords, inputs", [case[1:] for case in CASES], ids=[case[0] for case in CASES])
def test_same_as_table(table, keywords, inputs):
    want = table(inputs, *table_options(keywords))
    arrays = {name: np.array(values, dtype=float) for name, values in inputs.items()}
    options = {k: v for k, v in keywords.items() if k != "solve"}
    if "solve" in keywords:
        got = quorvan.solve(keywords["solve"], **options, **arrays)
    else:
        got = quorvan.reference_values(**options, **arrays)
    assert list(got) == list(want)
    for name in want:
        assert_same_bits(got[name], want[name], name)


@pytest.mark.parametrize("geometric", [False, True])
def test_atmosphere_same_as_table(table, geometric):
    altitude = np.array([-2000, 0, 10999.5, 11000, 32000, 51999, 52000, 79000, 88000, 120000], dtype=float)
    offset = np.resize([0.0, -40.0, 25.0], altitude.shape)
    want = table({"geometric_altitude" if geometric else "altitude": altitude, "isa_offset": offset},
                 "--columns", "pressure,temperature,density,viscosity,sound_speed")
    got = quorvan.atmosphere(altitude, offset, geometric=geometric)
    for name in quorvan.Atmosphere._fields:
        assert_same_bits(getattr(got, name), want[name], name)


def test_version_is_the_tools():
    printed = subprocess.run([os.environ["QUORVAN_TABLE"], "--version"], check=True, capture_output=True, text=True)
    assert quorvan.__version__ == printed.stdout.strip()
