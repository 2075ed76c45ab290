#!/usr/bin/python3
"""Documents per second of gridwright-batch over many documents: one run with -j1, one with -j2, and
the shell loop of single-file runs a user would otherwise write; and what starting a process costs.

The documents are the outside corpus (../shared/corpus, its pandoc folder too) copied over and over
into a temporary folder until there are --documents of them. Each way runs the same commands
(--commands) into a fresh output folder. The machine's load average is printed before and after: on a
shared machine, measure when it is low. The per-document cost of a process start is the shell loop's
time per document less -j1's; a bare start (--help) is timed too.

Usage: bench/many_documents.py [--batch PATH] [--documents 1000] [--commands "--format --thousands"]
                               [--ways loop,j1,j2]"""
import argparse
import os
import shlex
import shutil
import subprocess
import tempfile
import time
from pathlib import Path

REPO = Path(__file__).resolve().parent.parent
CORPUS = Path(os.environ.get("GRIDWRIGHT_CORPUS_DIR", REPO.parent / "shared" / "corpus"))


def load():
    with open("/proc/loadavg") as averages:
        return " ".join(averages.read().split()[:3])


def make_tree(root, count):
    sources = sorted(CORPUS.glob("*.docx")) + sorted((CORPUS / "pandoc").glob("*.docx"))
    if not sources:
        raise SystemExit(f"no documents in {CORPUS}")
    files = []
    for n in range(count):
        folder = root / f"part{n // len(sources):03d}"
        folder.mkdir(parents=True, exist_ok=True)
        target = folder / sources[n % len(sources)].name
        shutil.copyfile(sources[n % len(sources)], target)
        files.append(target)
    return files


def timed(command, **kwargs):
    started = time.perf_counter()
    subprocess.run(command, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, **kwargs)
    return time.perf_counter() - started


def main():
    parser = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("--batch", default=str(REPO / "build" / "rel" / "batch" / "gridwright-batch"))
    parser.add_argument("--documents", type=int, default=1000)
    parser.add_argument("--commands", default="--format --thousands")
    parser.add_argument("--ways", default="loop,j1,j2")
    args = parser.parse_args()
    commands = shlex.split(args.commands)
    ways = args.ways.split(",")

    with tempfile.TemporaryDirectory(prefix="gridwright-many-") as work:
        work = Path(work)
        files = make_tree(work / "in", args.documents)
        print(f"{len(files)} documents, commands: {args.commands}; load before: {load()}", flush=True)

        starts = 20
        bare = timed(["bash", "-c", f"for i in $(seq {starts}); do {shlex.quote(args.batch)} --help; done"]) / starts
        print(f"bare process start (--help): {bare * 1000:.1f} ms", flush=True)

        seconds = {}
        for way in ways:
            out = work / f"out-{way}"
            if way == "loop":
                # One process per document, as `for f in ...; do gridwright-batch "$f" -o ...; done` would.
                listing = work / "list.txt"
                listing.write_text("".join(f"{f.relative_to(work / 'in')}\n" for f in files))
                script = (f'while IFS= read -r f; do mkdir -p "{out}/$(dirname "$f")"; '
                          f'{shlex.quote(args.batch)} "in/$f" -o "{out}/$f" {shlex.join(commands)}; '
                          f'done < {listing}')
                seconds[way] = timed(["bash", "-c", script], cwd=work)
            else:
                jobs = way[1:]
                seconds[way] = timed([args.batch, str(work / "in"), "--out-dir", str(out), "-j", jobs, "-q"]
                                     + commands)
            made = sum(1 for _ in out.rglob("*.docx"))
            print(f"{way:>4}: {seconds[way]:7.2f} s, {len(files) / seconds[way]:6.1f} documents/s "
                  f"({made} outputs)", flush=True)
            shutil.rmtree(out)

        if "j1" in seconds and "j2" in seconds:
            print(f"-j2 / -j1: {seconds['j1'] / seconds['j2']:.2f} times the documents per second")
        if "loop" in seconds and "j1" in seconds:
            overhead = (seconds["loop"] - seconds["j1"]) / len(files)
            print(f"process start per document (loop less -j1): {overhead * 1000:.1f} ms")
        print(f"load after: {load()}")


if __name__ == "__main__":
    main()
