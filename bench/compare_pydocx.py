#!/usr/bin/python3
"""`gridwright-batch --format` side by side with the python-docx peer that makes the same edits.

Makes the 1,000- and 4,000-table reports once with the shared make_big_report.py (kept in
~/.cache/gridwright-bench, outside the repository), then runs both programs on each, alternating, and
prints the CPU time (user + system) and peak memory of each, their ratio, how 4,000 tables compare
with 1,000, and peak memory against the size of the output's document.xml. With --check the two
outputs' document.xml are compared canonically (they must be the same XML).

Usage: bench/compare_pydocx.py [--batch PATH] [--runs N] [--sizes 1000,4000] [--check]"""
import argparse
import os
import re
import statistics
import subprocess
import sys
import tempfile
import zipfile
from pathlib import Path

REPO = Path(__file__).resolve().parent.parent
SHARED = Path(os.environ.get("GRIDWRIGHT_SHARED_BENCH", "/work/shared/bench"))
CACHE = Path(os.environ.get("GRIDWRIGHT_BENCH_CACHE", Path.home() / ".cache" / "gridwright-bench"))
PYTHON = "/usr/bin/python3"


def report(tables):
    path = CACHE / f"report-{tables}.docx"
    if not path.exists():
        CACHE.mkdir(parents=True, exist_ok=True)
        print(f"making {path} with python-docx (takes a while) ...", flush=True)
        partial = path.with_suffix(".partial.docx")
        subprocess.run([PYTHON, str(SHARED / "make_big_report.py"), str(tables), str(partial)], check=True)
        partial.rename(path)
    return path


def timed(command):
    """CPU seconds (user + system) and peak resident memory in MiB of one run."""
    result = subprocess.run(["/usr/bin/time", "-v"] + command, stdout=subprocess.DEVNULL,
                            stderr=subprocess.PIPE, text=True)
    if result.returncode != 0:
        sys.exit(f"failed: {' '.join(command)}\n{result.stderr[-2000:]}")
    def field(name):
        return float(re.search(rf"{re.escape(name)}: ([0-9.]+)", result.stderr).group(1))
    cpu = field("User time (seconds)") + field("System time (seconds)")
    return cpu, field("Maximum resident set size (kbytes)") / 1024


def document_xml_size(docx):
    with zipfile.ZipFile(docx) as z:
        return z.getinfo("word/document.xml").file_size


def canonical(docx):
    import xml.etree.ElementTree as ET
    with zipfile.ZipFile(docx) as z:
        return ET.canonicalize(z.read("word/document.xml").decode("utf-8"), strip_text=False)


def main():
    parser = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    built = [REPO / "build" / kind / "batch" / "gridwright-batch" for kind in ("release", "ci-release", "dev")]
    parser.add_argument("--batch", default=str(next((b for b in built if b.exists()), built[0])))
    parser.add_argument("--runs", type=int, default=3)
    parser.add_argument("--sizes", default="1000,4000")
    parser.add_argument("--check", action="store_true", help="compare the two outputs canonically")
    args = parser.parse_args()
    if not os.access(args.batch, os.X_OK):
        sys.exit(f"no gridwright-batch at {args.batch} (build it, or pass --batch)")

    sizes = [int(s) for s in args.sizes.split(",")]
    ours = {}
    with tempfile.TemporaryDirectory() as tmp:
        for tables in sizes:
            source = report(tables)
            out_ours, out_peer = Path(tmp) / "ours.docx", Path(tmp) / "peer.docx"
            runs = {"ours": [], "peer": []}
            for _ in range(args.runs):  # alternating, so that load on the machine hits both alike
                runs["ours"].append(timed([args.batch, str(source), "--format", "-o", str(out_ours)]))
                runs["peer"].append(timed([PYTHON, str(SHARED / "pydocx_format.py"), str(source), str(out_peer)]))
            cpu = {k: statistics.median(c for c, _ in v) for k, v in runs.items()}
            peak = {k: max(m for _, m in v) for k, v in runs.items()}
            xml_mib = document_xml_size(out_ours) / 2**20
            ours[tables] = cpu["ours"]
            print(f"{tables} tables: gridwright-batch {cpu['ours']:.2f} s, {peak['ours']:.0f} MiB | "
                  f"python-docx {cpu['peer']:.2f} s, {peak['peer']:.0f} MiB | "
                  f"ratio {cpu['peer'] / cpu['ours']:.1f}x | output document.xml {xml_mib:.1f} MiB, "
                  f"our peak {peak['ours'] / xml_mib:.1f}x of it", flush=True)
            if args.check:
                same = canonical(out_ours) == canonical(out_peer)
                print(f"  outputs canonically {'the same' if same else 'DIFFERENT'}", flush=True)
    if len(ours) >= 2:
        small, large = sorted(ours)[0], sorted(ours)[-1]
        print(f"{large} tables cost {ours[large] / ours[small]:.2f}x the time of {small}")


if __name__ == "__main__":
    main()
