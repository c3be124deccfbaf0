"""Builds the Python package quorvan with CMake: the core (aero/) and the module (python/) only, for
the Python running this script. The metadata is in pyproject.toml; the version is the project's, read
from the one project() line of CMakeLists.txt, and the numpy it runs with depends on the pybind11 it
is built with."""
import os
import re
import shutil
import subprocess
import sys
from pathlib import Path

import setuptools
from setuptools import Extension, setup
from setuptools.command.build_ext import build_ext

source = Path(__file__).resolve().parent


def project_version():
    """The x.y.z of project(... VERSION x.y.z ...) in CMakeLists.txt."""
    found = re.search(r"^project\([^)]*?\bVERSION\s+([0-9.]+)", (source / "CMakeLists.txt").read_text(), re.M)
    if not found:
        sys.exit("CMakeLists.txt names no project VERSION")
    return found.group(1)


def numpy_requirement():
    """numpy 1.22 or later; numpy 2 only for a module built with pybind11 2.12 or later, as older
    ones read numpy 1's array descriptors."""
    import pybind11

    if tuple(int(n) for n in pybind11.__version__.split(".")[:2]) >= (2, 12):
        return "numpy>=1.22"
    return "numpy>=1.22,<2"


class CMakeExtension(Extension):
    """The compiled module, whose sources and flags CMake knows."""

    def __init__(self, name):
        super().__init__(name, sources=[])


class CMakeBuild(build_ext):
    """Configures the top CMakeLists.txt with QUORVAN_PYTHON_ONLY for this interpreter and pybind11,
    and builds the module's target into the folder the wheel (or an editable install) is made of."""

    def build_extension(self, ext):
        import pybind11

        module_dir = Path(self.get_ext_fullpath(ext.name)).resolve().parent
        config = "Debug" if self.debug else "Release"
        build = Path(self.build_temp).resolve() / "cmake"
        configure = [
            "cmake", "-S", str(source), "-B", str(build), "-DQUORVAN_PYTHON_ONLY=ON",
            "-DPython3_EXECUTABLE=" + sys.executable, "-Dpybind11_DIR=" + pybind11.get_cmake_dir(),
            "-DQUORVAN_MODULE_DIR=" + str(module_dir), "-DCMAKE_BUILD_TYPE=" + config
        ]
        # CMAKE_ARGS passes options through, as other CMake-driven Python builds take them (a
        # generator, a compiler, an architecture for macOS).
        configure += os.environ.get("CMAKE_ARGS", "").split()
        subprocess.run(configure, check=True)
        jobs = ["-j", str(self.parallel)] if self.parallel else []
        subprocess.run(["cmake", "--build", str(build), "--config", config, "--target", "python", *jobs], check=True)


# setuptools 77 and later take the licence as an SPDX expression, and drop the older form.
licence = {"license_expression": "MIT"} if int(setuptools.__version__.split(".")[0]) >= 77 else {"license": "MIT"}

# A machine without CMake gets it from PyPI's cmake package as a build requirement; one with CMake
# (Debian, conda) builds with its own, so that a build without network access needs none.
setup(version=project_version(), ext_modules=[CMakeExtension("quorvan._quorvan")], cmdclass={"build_ext": CMakeBuild},
      install_requires=[numpy_requirement()], setup_requires=[] if shutil.which("cmake") else ["cmake>=3.22"], **licence)
