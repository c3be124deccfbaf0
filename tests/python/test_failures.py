"""Failures of the process's kind reach the caller as Python errors: running out of memory or a
floating-point error raised while an argument converts (in child processes, where a crash cannot take
the tests with it), and Ctrl-C during a long call, which stops it."""
import signal
import subprocess
import sys
import time

import pytest

# Imports the module, then leaves the child 600 MB more address space than it has, makes the call
# and prints the name of the error it raised.
LIMITED = """
import resource
import numpy as np
import quorvan
size = int(open("/proc/self/statm").read().split()[0]) * resource.getpagesize() + 600 * 2**20
resource.setrlimit(resource.RLIMIT_AS, (size, size))
try:
    {call}
except BaseException as error:
    print(type(error).__name__)
"""


@pytest.mark.parametrize("call, error", [
    ("quorvan.atmosphere(np.ones(300_000_000, np.int8))", "MemoryError"),
    ("np.seterr(all='raise'); quorvan.atmosphere(np.array([np.longdouble(1000), np.longdouble('1e400')]))",
     "FloatingPointError"),
], ids=["out of memory", "floating-point error raised"])
def test_failed_conversion_raises(call, error):
    done = subprocess.run([sys.executable, "-c", LIMITED.format(call=call)], capture_output=True, text=True,
                          timeout=60)
    assert (done.returncode, done.stdout.strip()) == (0, error), done.stderr


# A call of several seconds on two threads; prints how it ended and when.
LONG = """
import time
import numpy as np
import quorvan
reynolds = np.full(5 * 10**7, 1e7)
print("computing", flush=True)
try:
    quorvan.solve("altitude", mach=0.8, reynolds=reynolds, columns="altitude")
    print("finished", time.monotonic())
except KeyboardInterrupt:
    print("KeyboardInterrupt", time.monotonic())
"""


def test_ctrl_c_stops_a_long_call():
    child = subprocess.Popen([sys.executable, "-c", LONG], stdout=subprocess.PIPE, text=True)
    assert child.stdout.readline() == "computing\n"
    time.sleep(1)
    sent = time.monotonic()
    child.send_signal(signal.SIGINT)
    ended, when = child.communicate(timeout=120)[0].split()
    # Well before the call would have ended.
    assert ended == "KeyboardInterrupt" and float(when) - sent < 2
