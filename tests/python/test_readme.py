"""Every Python example of the README's Python section runs as written, in order in one namespace,
and prints what the plain code block under it shows."""
import contextlib
import io
import os
import re

import pytest

from conftest import strict


def examples():
    """(code, printed output or None) of each python block of the section, with its line number."""
    text = open(os.environ["README"], encoding="utf-8").read()
    section = re.search(r"^## Python\n(.*?)^## ", text, re.S | re.M)
    start = text[:section.start(1)].count("\n") + 1
    blocks = [(start + section.group(1)[:m.start()].count("\n"), m.group(1), m.group(2))
              for m in re.finditer(r"^```(\w*)\n(.*?)^```$", section.group(1), re.S | re.M)]
    for k, (line, language, body) in enumerate(blocks):
        if language == "python":
            shown = blocks[k + 1][2] if k + 1 < len(blocks) and blocks[k + 1][1] == "" else None
            yield line, body, shown


def test_examples_print_what_is_shown(tmp_path, monkeypatch):
    found = list(examples())
    monkeypatch.chdir(tmp_path)
    namespace = {}
    assert len(found) >= 5
    for line, code, shown in found:
        printed = io.StringIO()
        try:
            with contextlib.redirect_stdout(printed):
                exec(compile(code, "README.md:%d" % line, "exec"), namespace)
        except ModuleNotFoundError as missing:
            if strict() or missing.name.split(".")[0] != "dask":
                raise
            pytest.skip("python3-dask is not installed")
        if shown is not None:
            assert printed.getvalue() == shown, "README.md:%d" % line
