#!/usr/bin/python3
"""Times the Python module against the plain numpy anchor on the anchor's inputs (bench_inputs):
quorvan.atmosphere against its atmosphere, quorvan.reference_values(cas=..., altitude=...,
columns="all") against its reference_values_cas, each best of 3 on 10^6 elements, and a per-point
loop calling the module with floats (a slice, scaled); then the peak memory a call adds, in a
process of its own, against the size of the arrays it returns. Prints the figures and whether each
meets its target; exits 1 when one does not.

    python_bench.py ANCHOR_DIRECTORY
"""
import subprocess
import sys
import time

import quorvan

N = 10**6
LOOP_SLICE = 20_000
# Peak memory a call may add beyond the arrays it returns (interpreter and threads' working space).
MEMORY_SLACK = 16 << 20


def best_of_3(job):
    best = float("inf")
    for _ in range(3):
        start = time.perf_counter()
        job()
        best = min(best, time.perf_counter() - start)
    return best


def jobs(anchor):
    """Per job: the anchor's call, the module's call and the module's per-point loop over a slice."""
    x = anchor.bench_inputs(N)
    altitudes = x["altitude"][:LOOP_SLICE].tolist()
    cas, cas_altitudes = x["cas"][:LOOP_SLICE].tolist(), x["cas_altitude"][:LOOP_SLICE].tolist()
    return {
        "atmosphere": (lambda: anchor.atmosphere(x["altitude"]), lambda: quorvan.atmosphere(x["altitude"]),
                       lambda: [quorvan.atmosphere(h) for h in altitudes]),
        "reference_values_cas": (
            lambda: anchor.reference_values_cas(x["cas"], x["cas_altitude"]),
            lambda: quorvan.reference_values(cas=x["cas"], altitude=x["cas_altitude"], columns="all"),
            lambda: [quorvan.reference_values(cas=c, altitude=h, columns="all") for c, h in zip(cas, cas_altitudes)]),
    }


def peak_memory():
    """The process's peak resident memory, bytes (VmHWM: unlike ru_maxrss, not the parent's peak
    carried through fork and exec)."""
    with open("/proc/self/status") as status:
        return next(int(line.split()[1]) << 10 for line in status if line.startswith("VmHWM:"))


def memory(anchor, name):
    """Prints the peak resident memory the module's call adds and the bytes of what it returns."""
    call = jobs(anchor)[name][1]
    before = peak_memory()
    result = call()
    added = peak_memory() - before
    print(added, sum(column.nbytes for column in (result.values() if isinstance(result, dict) else result)))


def main(anchor_directory, only=None):
    sys.path.insert(0, anchor_directory)
    import numpy_reference as anchor
    if only:
        return memory(anchor, only)
    ok = True

    def verdict(met):
        nonlocal ok
        ok = ok and met
        return "ok" if met else "MISSED"

    print("%d elements, best of 3, %d threads" % (N, quorvan.get_threads()))
    for name, (theirs, ours, loop), factor in zip(jobs(anchor), jobs(anchor).values(), (1.5, 1.0)):
        anchor_rate, module_rate = N / best_of_3(theirs), N / best_of_3(ours)
        loop_rate = LOOP_SLICE / best_of_3(loop)
        print("%s: anchor %.2f M rows/s, quorvan %.2f M rows/s (%.2fx, target %.1fx: %s), per-point loop %.3f M rows/s "
              "(quorvan %.0fx, target 20x: %s)" % (
                  name, anchor_rate / 1e6, module_rate / 1e6, module_rate / anchor_rate, factor,
                  verdict(module_rate >= factor * anchor_rate), loop_rate / 1e6, module_rate / loop_rate,
                  verdict(module_rate >= 20 * loop_rate)))
        added, returned = map(int, subprocess.run([sys.executable, __file__, anchor_directory, name], check=True,
                                                  capture_output=True, text=True).stdout.split())
        print("%s: peak memory added %.1f MiB for %.1f MiB of results (%s)" % (
            name, added / 2**20, returned / 2**20, verdict(added <= returned + MEMORY_SLACK)))
    return 0 if ok else 1


if __name__ == "__main__":
    sys.exit(main(*sys.argv[1:]))
