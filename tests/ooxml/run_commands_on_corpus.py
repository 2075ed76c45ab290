#!/usr/bin/python3
"""Runs every command of gridwright-batch on every document of the shared corpus and checks the outputs:
the run ends without a crash, every XML part of the output is namespace-well-formed, the text is kept
where the command does not change text (--thousands adds commas only), and LibreOffice converts every
output.

usage: run_commands_on_corpus.py BATCH_BINARY OUTPUT_FOLDER DOCX_FOLDER...
"""
import os
import subprocess
import sys
import xml.etree.ElementTree as ET
import zipfile

COMMANDS = ["--format", "--body", "--tidy", "--delete-empty-rows", "--unlink-fields", "--thousands", "--convert-sheets"]
# Commands that leave the document's text as it is (deleted rows and columns are empty ones).
TEXT_KEPT = {"--format", "--body", "--tidy", "--delete-empty-rows", "--unlink-fields"}
WORD_NAMESPACES = ("http://schemas.openxmlformats.org/wordprocessingml/2006/main",
                   "http://purl.oclc.org/ooxml/wordprocessingml/main")


def main_part(archive):
    rels = ET.fromstring(archive.read("_rels/.rels"))
    for rel in rels:
        if rel.get("Type", "").endswith("/officeDocument"):
            return rel.get("Target").lstrip("/")
    return "word/document.xml"


def text_of(path):
    """The text of w:t elements of the main part, whatever prefix the document binds."""
    with zipfile.ZipFile(path) as archive:
        root = ET.fromstring(archive.read(main_part(archive)))
    return "".join(e.text or "" for e in root.iter() if e.tag in ["{%s}t" % ns for ns in WORD_NAMESPACES])


def xml_problems(path):
    problems = []
    with zipfile.ZipFile(path) as archive:
        for name in archive.namelist():
            if name.endswith(".xml") or name.endswith(".rels"):
                try:
                    ET.fromstring(archive.read(name))
                except ET.ParseError as error:
                    problems.append("%s: %s" % (name, error))
    return problems


def main():
    batch, out_dir, folders = sys.argv[1], sys.argv[2], sys.argv[3:]
    os.makedirs(out_dir, exist_ok=True)
    documents = sorted(os.path.join(f, n) for f in folders for n in os.listdir(f) if n.endswith(".docx"))
    failures, refused, to_render = [], [], []
    for document in documents:
        stem = os.path.splitext(os.path.basename(document))[0]
        try:
            before = text_of(document)
        except Exception:
            before = None
        for command in COMMANDS:
            out = os.path.join(out_dir, "%s%s.docx" % (stem, command.replace("--", "_")))
            run = subprocess.run([batch, document, "-o", out, command], capture_output=True, text=True, timeout=600)
            if run.returncode < 0 or run.returncode > 3:
                failures.append("%s %s: exit %d %s" % (document, command, run.returncode, run.stderr.strip()))
                continue
            if not os.path.exists(out):
                refused.append("%s %s: %s" % (document, command, run.stderr.strip()[:200]))
                continue
            problems = xml_problems(out)
            if problems:
                failures.append("%s %s: %s" % (document, command, "; ".join(problems)))
                continue
            if command in TEXT_KEPT and before is not None and text_of(out) != before:
                failures.append("%s %s: text changed" % (document, command))
            if command == "--thousands" and before is not None and text_of(out).replace(",", "") != before.replace(
                    ",", ""):
                failures.append("%s %s: more than commas changed" % (document, command))
            to_render.append(out)
    render_dir = os.path.join(out_dir, "pdf")
    os.makedirs(render_dir, exist_ok=True)
    # A private profile, so that a LibreOffice running elsewhere does not take the conversions.
    profile = "-env:UserInstallation=file://" + os.path.abspath(os.path.join(out_dir, "profile"))
    for start in range(0, len(to_render), 40):
        subprocess.run(["soffice", profile, "--headless", "--convert-to", "pdf", "--outdir", render_dir] +
                       to_render[start:start + 40], capture_output=True, timeout=3600)
    for out in to_render:
        pdf = os.path.join(render_dir, os.path.splitext(os.path.basename(out))[0] + ".pdf")
        if not os.path.exists(pdf) or os.path.getsize(pdf) == 0:
            failures.append("%s: LibreOffice did not convert it" % out)
    print("documents: %d, runs: %d, refused to open: %d, rendered: %d" %
          (len(documents), len(documents) * len(COMMANDS), len(refused), len(to_render)))
    for line in refused:
        print("refused:", line)
    for line in failures:
        print("FAILED:", line)
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
