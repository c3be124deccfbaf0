#!/usr/bin/env bash
# Draws docs/python-atmosphere.png with Debian's matplotlib from the Python module: temperature,
# pressure, density and speed of sound from 0 to 88 km on a standard day and 20 K colder and warmer.
# Usage: scripts/python_chart.sh [BUILD DIRECTORY, default build]
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}
. scripts/deps.sh
install_missing $build_packages python3-matplotlib
build_targets "$build" python
mkdir -p docs
PYTHONPATH="$build/python" MPLBACKEND=Agg /usr/bin/python3 - <<'PYTHON'
import matplotlib.pyplot as plt
import numpy as np

import quorvan

altitude = np.linspace(0.0, 88000.0, 881)  # m
offsets = np.array([-20.0, 0.0, 20.0])  # K
# One row an altitude, one column a day: the arguments broadcast.
air = quorvan.atmosphere(altitude[:, None], offsets)
figure, axes = plt.subplots(1, 4, figsize=(11, 5.2), sharey=True, layout="constrained")
panels = [("temperature", "temperature, K", "linear"), ("pressure", "pressure, Pa", "log"),
          ("density", "density, kg/m³", "log"), ("sound_speed", "speed of sound, m/s", "linear")]
for ax, (name, label, scale) in zip(axes, panels):
    values = getattr(air, name)
    for k, (offset, colour) in enumerate(zip(offsets, ["tab:blue", "black", "tab:red"])):
        # The pressure is the standard day's on every day.
        if name != "pressure" or offset == 0:
            ax.plot(values[:, k], altitude / 1000.0, colour, linewidth=2 if offset == 0 else 1.2,
                    label="standard day" if offset == 0 else "ISA %+g K" % offset)
    ax.set_xscale(scale)
    ax.set_xlabel(label)
    ax.grid(True, which="major", alpha=0.4)
axes[0].set_ylabel("geopotential altitude, km")
axes[0].set_ylim(0, 88)
axes[0].legend(loc="upper right", fontsize=9)
figure.suptitle("The 1962 U.S. Standard Atmosphere to 88 km, from quorvan.atmosphere")
figure.savefig("docs/python-atmosphere.png", dpi=80)
PYTHON
echo "wrote docs/python-atmosphere.png"
