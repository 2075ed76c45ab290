#!/usr/bin/env python3
"""A program's manual pages, as man shows them, list exactly the options its --help lists, and its English
page has English text for every entry of --help:

    check_manual_pages.py PROGRAM ENGLISH_TEMPLATE PAGE.1.gz...
"""

import os
import re
import subprocess
import sys

def help_entries(program):
    """The entries of --help's sections: {"--output": ["-o", "--output"], "输入文件": ["输入文件"], ...}."""
    text = subprocess.run([program, "--help"], capture_output=True, text=True, check=True).stdout
    entries, section = {}, None
    for line in text.splitlines():
        if line in ("选项:", "参数:"):
            section = line
        elif section and re.match(r"  \S", line):
            names = line.split()[0].split(",")
            entries[names[-1]] = names
        elif not line.strip():
            section = None
    return entries, text


def page_options(page):
    """The options that start the entries of the page's OPTIONS section, as man shows it."""
    env = dict(os.environ, LANG="C.UTF-8", MANWIDTH="200")
    text = subprocess.run(["man", "-l", page], capture_output=True, text=True, env=env, check=True).stdout
    options, in_options = set(), False
    for line in text.splitlines():
        if line and not line[0].isspace():
            in_options = line.strip() in ("OPTIONS", "选项")
        elif in_options:
            head = re.match(r" {7}(-{1,2}[\w-]+(?:, -{1,2}[\w-]+)*)", line.replace("\u2010", "-"))
            if head:
                options.update(head.group(1).split(", "))
    return options


def main():
    program, template, pages = sys.argv[1], sys.argv[2], sys.argv[3:]
    entries, help_text = help_entries(program)
    wanted = {name for names in entries.values() for name in names if name.startswith("-")}
    failures = []
    if len(wanted) < 2:
        failures.append(f"--help lists no options:\n{help_text}")
    for page in pages:
        shown = page_options(page)
        if shown != wanted:
            failures.append(f"{page}: missing {sorted(wanted - shown)}, not in --help {sorted(shown - wanted)}")
    with open(template, encoding="utf-8") as f:
        translated = set(re.findall(r'^\.\\" text: (\S+)', f.read(), re.M))
    if entries.keys() - translated:
        failures.append(f"{template} has no English text for {sorted(entries.keys() - translated)}")
    for failure in failures:
        print("FAIL:", failure)
    if not failures:
        print(f"{len(wanted)} options in --help and in {len(pages)} manual pages")
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
