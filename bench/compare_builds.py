#!/usr/bin/python3
"""`gridwright-batch --format` of two or more builds (or one build under different environments) side by
side on the 1,000- and 4,000-table reports.

Each variant is a name, a gridwright-batch and optional VAR=VALUE settings for its environment. The
variants run in turn, round after round, so that load on the machine hits them alike. Printed per size
and variant: the medians of CPU time (user + system), of system time and of minor page faults, the
highest peak memory and its ratio to the output's document.xml; then how 4,000 tables compare with
1,000, and whether every variant wrote the same package contents (entry by entry, byte for byte).

Example, the embedded Word's heap with and without huge pages against another build:
  bench/compare_builds.py --variant old /path/old/gridwright-batch \\
      --variant new build/rel/batch/gridwright-batch \\
      --variant new-small-pages build/rel/batch/gridwright-batch GLIBC_TUNABLES=glibc.malloc.hugetlb=0

Usage: bench/compare_builds.py --variant NAME PATH [VAR=VALUE ...] ... [--runs N] [--sizes 1000,4000]"""
import argparse
import os
import re
import statistics
import subprocess
import sys
import tempfile
import zipfile
from pathlib import Path

from compare_pydocx import document_xml_size, report


def timed(command, env):
    """CPU seconds (user + system), system seconds, minor page faults and peak memory in MiB of one run."""
    result = subprocess.run(["/usr/bin/time", "-v"] + command, stdout=subprocess.DEVNULL,
                            stderr=subprocess.PIPE, text=True, env=env)
    if result.returncode != 0:
        sys.exit(f"failed: {' '.join(command)}\n{result.stderr[-2000:]}")
    def field(name):
        return float(re.search(rf"{re.escape(name)}: ([0-9.]+)", result.stderr).group(1))
    user, system = field("User time (seconds)"), field("System time (seconds)")
    return (user + system, system, field("Minor (reclaiming a frame) page faults"),
            field("Maximum resident set size (kbytes)") / 1024)


def contents(docx):
    with zipfile.ZipFile(docx) as z:
        return {name: z.read(name) for name in sorted(z.namelist())}


def main():
    parser = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("--variant", nargs="+", action="append", required=True, metavar="NAME PATH [VAR=VALUE]")
    parser.add_argument("--runs", type=int, default=5)
    parser.add_argument("--sizes", default="1000,4000")
    args = parser.parse_args()
    variants = []
    for name, path, *settings in args.variant:
        if not os.access(path, os.X_OK):
            sys.exit(f"no gridwright-batch at {path}")
        env = dict(os.environ)
        env.update(setting.split("=", 1) for setting in settings)
        variants.append((name, path, env))

    cpu_of = {}
    with tempfile.TemporaryDirectory() as tmp:
        for tables in [int(s) for s in args.sizes.split(",")]:
            source = report(tables)
            runs = {name: [] for name, _, _ in variants}
            for _ in range(args.runs):
                for name, path, env in variants:
                    runs[name].append(timed([path, str(source), "--format", "-o", f"{tmp}/{name}.docx"], env))
            xml_mib = document_xml_size(f"{tmp}/{variants[0][0]}.docx") / 2**20
            for name, _, _ in variants:
                cpu, system, faults, _ = (statistics.median(r[k] for r in runs[name]) for k in range(4))
                peak = max(r[3] for r in runs[name])
                cpu_of[(name, tables)] = cpu
                print(f"{tables} tables, {name}: {cpu:.2f} s CPU ({system:.2f} s system), {faults:.0f} minor faults, "
                      f"peak {peak:.0f} MiB = {peak / xml_mib:.2f}x the output document.xml ({xml_mib:.1f} MiB)",
                      flush=True)
            first = contents(f"{tmp}/{variants[0][0]}.docx")
            same = all(contents(f"{tmp}/{name}.docx") == first for name, _, _ in variants[1:])
            print(f"  outputs {'the same' if same else 'DIFFERENT'}", flush=True)
    sizes = sorted({tables for _, tables in cpu_of})
    if len(sizes) >= 2:
        for name, _, _ in variants:
            print(f"{name}: {sizes[-1]} tables cost {cpu_of[(name, sizes[-1])] / cpu_of[(name, sizes[0])]:.2f}x "
                  f"the time of {sizes[0]}")


if __name__ == "__main__":
    main()
