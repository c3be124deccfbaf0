"""Every Python example of the module's page (docs/python.md) and of the README runs as written, in
order in one namespace, and prints what the plain code block under it shows: run here, and the
page's as a notebook by a headless Jupyter kernel."""
import contextlib
import io
import json
import os
import re
import sys

import pytest

from conftest import strict

TOP = os.path.join(os.path.dirname(__file__), "..", "..")
PAGE = os.environ.get("PYTHON_DOCS", os.path.join(TOP, "docs", "python.md"))
README = os.path.join(TOP, "README.md")


def examples(page=PAGE):
    """(line number, code, printed output or None) of each python block of a page."""
    text = open(page, encoding="utf-8").read()
    blocks = [(text[:m.start()].count("\n") + 1, m.group(1), m.group(2))
              for m in re.finditer(r"^```(\w*)\n(.*?)^```$", text, re.S | re.M)]
    for k, (line, language, body) in enumerate(blocks):
        if language == "python":
            shown = blocks[k + 1][2] if k + 1 < len(blocks) and blocks[k + 1][1] == "" else None
            yield line, body, shown


def skip_unless_strict(missing):
    """Skips a test whose optional library (dask, xarray, pint, nbclient) is missing, but for strict runs."""
    if strict() or missing.name.split(".")[0] not in ("dask", "xarray", "pint", "nbclient", "nbformat"):
        raise missing
    pytest.skip("python3-%s is not installed" % missing.name.split(".")[0])


@pytest.mark.parametrize("page, least", [(PAGE, 9), (README, 1)], ids=["python.md", "README.md"])
def test_examples_print_what_is_shown(tmp_path, monkeypatch, page, least):
    found = list(examples(page))
    monkeypatch.chdir(tmp_path)
    namespace = {}
    assert len(found) >= least
    for line, code, shown in found:
        printed = io.StringIO()
        try:
            with contextlib.redirect_stdout(printed):
                exec(compile(code, "%s:%d" % (os.path.basename(page), line), "exec"), namespace)
        except ModuleNotFoundError as missing:
            skip_unless_strict(missing)
        if shown is not None:
            assert printed.getvalue() == shown, "%s:%d" % (os.path.basename(page), line)


def test_examples_run_as_a_notebook(tmp_path, monkeypatch):
    try:
        import nbclient
        import nbformat
    except ModuleNotFoundError as missing:
        skip_unless_strict(missing)
    # A kernel of this interpreter, which may be a virtual environment's rather than the system's.
    spec = tmp_path / "kernels" / "here"
    spec.mkdir(parents=True)
    spec.joinpath("kernel.json").write_text(json.dumps(
        {"argv": [sys.executable, "-m", "ipykernel_launcher", "-f", "{connection_file}"], "language": "python",
         "display_name": "Python"}))
    monkeypatch.setenv("JUPYTER_PATH", str(tmp_path))
    found = list(examples())
    notebook = nbformat.v4.new_notebook(cells=[nbformat.v4.new_code_cell(code) for _, code, _ in found])
    nbclient.NotebookClient(notebook, timeout=120, kernel_name="here",
                            resources={"metadata": {"path": str(tmp_path)}}).execute()
    for cell, (line, _, shown) in zip(notebook.cells, found):
        if shown is not None:
            printed = "".join(out.get("text", "") for out in cell.outputs if out.output_type == "stream")
            assert printed == shown, "python.md:%d" % line
