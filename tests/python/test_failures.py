"""Failures of the process's kind reach the caller as Python errors: running out of memory or a
floating-point error raised while an argument converts, and Ctrl-C during a long call, which stops
it. In child processes, where a crash cannot take the tests with it."""
import signal
import subprocess
import sys
import time

import pytest

# Imports the module, leaves the child 600 MB more address space than it has, makes the call and
# prints the name of the error it raised and when.
CHILD = """
import resource, time
import numpy as np
import quorvan
size = int(open("/proc/self/statm").read().split()[0]) * resource.getpagesize() + 600 * 2**20
resource.setrlimit(resource.RLIMIT_AS, (size, size))
print("calling", flush=True)
try:
    {}
except BaseException as error:
    print(type(error).__name__, time.monotonic())
"""


def child(call, interrupt_after=None):
    """Runs the child on call, sent a SIGINT interrupt_after seconds into it if given: the words it
    printed after "calling", when the signal was sent, and its exit status."""
    process = subprocess.Popen([sys.executable, "-c", CHILD.format(call)], stdout=subprocess.PIPE, text=True)
    assert process.stdout.readline() == "calling\n"
    sent = None
    if interrupt_after is not None:
        time.sleep(interrupt_after)
        sent = time.monotonic()
        process.send_signal(signal.SIGINT)
    words = process.stdout.read().split()
    return words, sent, process.wait()


@pytest.mark.parametrize("call, error", [
    ("quorvan.atmosphere(np.ones(300_000_000, np.int8))", "MemoryError"),
    ("np.seterr(all='raise'); quorvan.atmosphere(np.array([np.longdouble(1000), np.longdouble('1e400')]))",
     "FloatingPointError"),
], ids=["out of memory", "floating-point error raised"])
def test_failed_conversion_raises(call, error):
    words, _, status = child(call)
    assert (words[:1], status) == ([error], 0)


def test_ctrl_c_stops_a_long_call():
    (ended, when), sent, _ = child(
        "quorvan.solve('altitude', mach=0.8, reynolds=np.broadcast_to(1e7, 5 * 10**7), columns='altitude')", 1)
    assert ended == "KeyboardInterrupt" and float(when) - sent < 2  # the call takes several seconds more
