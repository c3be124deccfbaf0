"""The same request gives the same answer from quorvan-table and from the module: taken by both, or
refused by both for the same reason, naming the same inputs, each in its own terms (--cas, cas_kt)."""
import os
import re
import subprocess

import pytest

import quorvan

SUFFIXES = {"kt": "_kt", "ft": "_ft", "lb": "_lb"}
QUANTITIES = {"tas": "speed", "eas": "speed", "cas": "speed", "altitude": "altitude", "weight": "weight"}

# id, the request (solve: the unknown; units: a unit for a quantity, which the tool takes as an
# option and the module as the keywords' suffixes; columns as given to both; the rest the inputs and
# target), and None where it is taken, or what both messages say, the names in braces spelled as
# each face spells them and quotes left out.
CASES = [
    ("spaces around names", {"columns": "mach, altitude "}, None),
    ("all with spaces", {"columns": " all"}, None),
    ("columns in the units chosen", {"units": {"speed": "kt"}, "cas": 250, "columns": "cas_kt,tas_kt,mach"}, None),
    ("the altitude at a CAS for a Reynolds number", {"solve": "altitude", "cas": 250, "reynolds": 2e7}, None),
    ("a name missing", {"columns": "mach,,altitude"}, ["a name is missing in mach,,altitude"]),
    ("a trailing comma", {"columns": "mach,"}, ["a name is missing in mach,"]),
    ("an unknown column", {"columns": "mach,speed"},
     ["unknown column speed (the columns are all, mach, altitude, load_factor, weight"]),
    ("a misspelled column", {"columns": "altitud"}, ["unknown column altitud", "did you mean altitude?"]),
    ("a repeated column", {"columns": "mach, mach"}, ["repeated column mach"]),
    ("a suffix of another quantity", {"columns": "altitude_kt"},
     ["altitude_kt: _kt is a unit of another quantity; altitude takes _ft or _km"]),
    ("a misspelled input", {"altitud": 1000}, ["did you mean {altitude}?"]),
    ("a target without a solve", {"reynolds": 1e7}, ["{reynolds}: a target needs"]),
    ("the speed solved for", {"solve": "mach", "cas": 250, "reynolds": 1e7},
     ["the speed is what is solved for; leave out {cas}"]),
    ("the altitude solved for", {"solve": "altitude", "altitude": 0, "pressure": 1e4},
     ["the altitude is what is solved for; leave out {altitude}"]),
    ("two speeds", {"mach": 0.8, "cas": 250}, ["give one speed", "{mach}", "{cas}"]),
    ("two targets", {"solve": "mach", "reynolds": 1e7, "lift_coefficient": 1},
     ["give one target", "{reynolds}", "{lift_coefficient}"]),
    ("no target for the Mach number", {"solve": "mach"},
     ["no target; give one of {lift_coefficient}, {reynolds}, {dynamic_pressure}"]),
    ("no target at an EAS", {"solve": "altitude", "eas": 100},
     ["no target; give one of {reynolds}, {pressure}, {density}"]),
    ("the density fixes the altitude", {"solve": "mach", "density": 0.4},
     ["{density}: the pressure and the density fix the altitude, not the speed",
      "or give {lift_coefficient}, {reynolds} or {dynamic_pressure}"]),
    ("a lift coefficient's altitude at a CAS in knots",
     {"solve": "altitude", "units": {"speed": "kt"}, "lift_coefficient": 0.5, "cas": 250},
     ["{cas} with {lift_coefficient}: at a given CAS the dynamic pressure and the lift coefficient hardly depend on "
      "the altitude; give the speed as {mach} or {tas}, or the target as {reynolds}, {pressure} or {density}"]),
]


def keyword(name, units):
    """The module's keyword of an input or target: its name with the suffix of its quantity's unit."""
    unit = units.get(QUANTITIES.get(name))
    return name + SUFFIXES[unit] if unit else name


def option(name, units):
    """quorvan-table's option of an input or target, whatever its unit."""
    return "--" + name.replace("_", "-")


def tool(request):
    """quorvan-table's answer: None, or its message."""
    args = ["--solve", request["solve"]] if "solve" in request else []
    for quantity, unit in request.get("units", {}).items():
        args += ["--%s-unit" % quantity, unit]
    if "columns" in request:
        args += ["--columns", request["columns"]]
    for name, value in request.items():
        if name not in ("solve", "units", "columns"):
            args += [option(name, {}), repr(value)]
    run = subprocess.run([os.environ["QUORVAN_TABLE"], *args], capture_output=True, text=True)
    assert run.returncode in (0, 2), run.stderr
    return None if run.returncode == 0 else run.stderr


def module(request):
    """The module's answer: None, or its message."""
    units = request.get("units", {})
    inputs = {keyword(name, units): value for name, value in request.items() if name not in ("solve", "units")}
    try:
        if "solve" in request:
            quorvan.solve(request["solve"], **inputs)
        else:
            quorvan.reference_values(**inputs)
    except (TypeError, ValueError) as error:
        return str(error)
    return None


@pytest.mark.parametrize("request_, said", [c[1:] for c in CASES], ids=[c[0] for c in CASES])
def test_same_answer(request_, said):
    units = request_.get("units", {})
    for face, answer, spell in (("quorvan-table", tool, option), ("module", module, keyword)):
        message = answer(request_)
        if said is None:
            assert message is None, "%s refused: %s" % (face, message)
            continue
        assert message is not None, face + " took it"
        for words in said:
            want = re.sub(r"\{(\w+)\}", lambda m: spell(m.group(1), units), words)
            assert want in message.replace('"', "").replace("'", ""), "%s: %r not in %r" % (face, want, message)
