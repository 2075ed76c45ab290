#!/usr/bin/env python3
"""Writes a program's manual page or bash completion at build time from what the program itself says.

    cli_docs.py man PROGRAM TEMPLATE OUTPUT [--table TABLE_PROGRAM] [--define NAME=VALUE...]
    cli_docs.py completion PROGRAM TEMPLATE OUTPUT [--table TABLE_PROGRAM]

PROGRAM is run with --help; its text (the layout of gridwright-batch's help: description, "用法:" line,
"参数:" and "选项:" sections of entries whose descriptions start at column 26, then a closing text)
gives the synopsis, the arguments and options and their descriptions. TABLE_PROGRAM is
packaging/settings_table.cpp, which prints the --set fields with their values and the --line choices.

A manual page TEMPLATE is roff with these lines standing alone: @DESCRIPTION@, @SYNOPSIS@,
@ARGUMENTS@, @OPTIONS@, @NOTES@ (the help's closing text), @FIELDS@, @LINE_OPTIONS@; the names given
with --define NAME=VALUE (the version, the installation prefix) may stand anywhere. A template in another language than the help gives each entry's own text in comment lines
    .\\" text: --output <FILE> Save the result in FILE.
(the name as --help shows it, the value's name in <> when it takes one, the text as plain text); an entry
without one keeps the help's text, and the build says which. An OUTPUT ending in .gz is compressed as Debian wants it.

A completion TEMPLATE is bash with @PROGRAM@, @FUNCTION@, @OPTIONS@, @VALUE_KINDS@, @FIELDS@ and
@LINE_OPTIONS@ filled in.
"""

import argparse
import gzip
import os
import re
import subprocess
import sys
import unicodedata
from dataclasses import dataclass, field
from pathlib import Path

COLUMN = 26  # where the help's descriptions start


@dataclass
class Entry:
    names: list  # "-o", "--output"; a positional argument has one name of its own
    value: str  # the value's name ("输出文件"), empty for a switch
    text: list = field(default_factory=list)  # description lines


@dataclass
class Help:
    description: list
    usage: str  # what follows the program's name on the "用法:" line
    arguments: list
    options: list
    notes: list  # the closing text, line by line


def display_width(text):
    return sum(2 if unicodedata.east_asian_width(c) in "WF" else 1 for c in text)


def parse_help(text, program):
    lines = text.rstrip("\n").split("\n")
    usage_at = next((i for i, line in enumerate(lines) if line.startswith("用法:")), None)
    if usage_at is None:
        raise SystemExit(f"{program} --help has no 用法: line")
    usage = lines[usage_at][len("用法:"):].strip()
    usage = usage[len(program):].strip() if usage.startswith(program) else usage
    help_ = Help([line for line in lines[:usage_at] if line.strip()], usage, [], [], [])
    section = None
    i = usage_at + 1
    while i < len(lines):
        line = lines[i]
        if line in ("参数:", "选项:"):
            section = help_.arguments if line == "参数:" else help_.options
        elif section is not None and line.startswith(" " * COLUMN) and section:
            section[-1].text.append(line.strip())
        elif section is not None and line.startswith("  ") and line.strip():
            head, _, desc = line[2:].partition("  ")
            name, _, value = head.strip().partition(" ")
            entry = Entry(name.split(","), value.strip())
            if desc.strip():
                entry.text.append(desc.strip())
            section.append(entry)
        elif not line.strip():
            if section is not None and section:
                section = None
        else:
            help_.notes = lines[i:]
            break
        i += 1
    return help_


def run_help(program):
    env = dict(os.environ, LC_ALL="C.UTF-8")
    result = subprocess.run([program, "--help"], capture_output=True, text=True, env=env, check=True)
    return parse_help(result.stdout, Path(program).name)


def read_table(program):
    fields, lines = [], []
    if program:
        text = subprocess.run([program], capture_output=True, text=True, check=True).stdout
        for row in text.splitlines():
            cells = row.split("\t")
            if cells[0] == "field":
                fields.append(cells[1:])
            elif cells[0] == "option":
                lines.append(cells[1:])
    return fields, lines


# ---------------------------------------------------------------- manual page


def roff(text):
    """Text for a roff line: backslashes and hyphens escaped, no request at its start."""
    text = text.replace("\\", "\\e").replace("-", "\\-")
    return "\\&" + text if text[:1] in (".", "'") else text


def join_lines(lines):
    """One paragraph from lines broken for the terminal: Chinese lines join without a space."""
    text = ""
    for line in lines:
        wide = text and (ord(text[-1]) > 0x2E7F or ord(line[0]) > 0x2E7F)
        text += line if not text or wide else " " + line
    return text


NO_BREAK_BEFORE = set("，。、；：？！）」』”’》〉…")
NO_BREAK_AFTER = set("（「『“‘《〈")


def cjk_breaks(line):
    """groff breaks lines only at spaces: a roff text line with a break point (\\:) between Chinese
    characters, except before closing and after opening punctuation."""
    out = []
    for i, c in enumerate(line):
        out.append(c)
        following = line[i + 1] if i + 1 < len(line) else ""
        if (ord(c) > 0x2E7F and following and not following.isspace() and c not in NO_BREAK_AFTER
                and following not in NO_BREAK_BEFORE and following != "\\"):
            out.append("\\:")
    return "".join(out)


def bold_names(names):
    return ", ".join(f"\\fB{roff(n)}\\fR" for n in names)


def entry_roff(entry, translation):
    value, text = entry.value, " ".join(entry.text)
    if translation is not None:
        value = translation[0] or value
        text = translation[1]
    if not entry.names[0].startswith("-"):
        # An argument: shown by its name, or by the name the translation gives it.
        return [".TP", f"\\fI{roff(value or entry.names[0])}\\fR", roff(text)]
    head = bold_names(entry.names)
    if value:
        head += f" \\fI{roff(value)}\\fR"
    return [".TP", head, roff(text)]


def translations(template):
    """The entry texts a template gives in comment lines: name -> (value name, text)."""
    found = {}
    for match in re.finditer(r'^\.\\" text: (\S+)(?: <([^>\n]*)>)? (.*)$', template, re.M):
        found[match.group(1)] = (match.group(2) or "", match.group(3).strip())
    return found


def synopsis(help_, texts):
    """The usage line after the program's name; a translation names the options and arguments its way."""
    usage = help_.usage
    if texts:
        usage = usage.replace("选项", "OPTIONS")
        for entry in help_.arguments:
            value = texts.get(entry.names[0], ("", ""))[0]
            usage = usage.replace(entry.names[0], value or entry.names[0])
    return usage


def entries_roff(entries, texts, missing):
    out = []
    for entry in entries:
        key = entry.names[-1]
        if texts and key not in texts:
            missing.append(key)
        out += entry_roff(entry, texts.get(key) if texts else None)
    return out


def notes_roff(notes):
    """The help's closing text. Lines indented by two spaces are commands, shown as they stand; the
    other lines make paragraphs, each ending with a line that ends a sentence or introduces a list."""
    out, paragraph, in_example = [], [], False

    def flush():
        if paragraph:
            out.extend([".PP", roff(join_lines(paragraph))])
            paragraph.clear()

    for line in notes:
        if line.startswith("  "):
            flush()
            if not in_example:
                out += [".PP", ".RS 4", ".nf"]
            out.append(roff(line[2:]))
            in_example = True
            continue
        if in_example:
            out += [".fi", ".RE"]
            in_example = False
        if line.strip():
            paragraph.append(line.strip())
        if not line.strip() or line.rstrip().endswith(("。", "：", ":", ".")):
            flush()
    flush()
    if in_example:
        out += [".fi", ".RE"]
    return out


def fields_roff(fields):
    kinds = {"number": "数字", "choice": "列表", "check": "勾选框", "line": "线型/线宽"}
    out = [".ad l"]  # lists of values have few spaces to stretch
    for name, kind, caption, *values in fields:
        caption = re.sub(r"\s+", "", caption)
        out += [".TP", f"\\fB{roff(name)}\\fR（{roff(caption)}，{kinds.get(kind, kind)}）"]
        if values:
            # \: lets a line break after a comma that has no space beside it.
            out.append("、\\:".join(roff(v) for v in values))
    return out


def line_options_roff(lines):
    out, group = [], None
    for name, caption, line, _ in lines:
        if caption != group:
            out += [".TP", f"\\fB{roff(caption)}\\fR"]
            group = caption
        else:
            out.append(".br")
        out.append(f"{roff(name)}\t{roff(line)}")
    return out


def write_man(program, template_path, output, table, defines):
    help_ = run_help(program)
    fields, lines = read_table(table)
    template = Path(template_path).read_text(encoding="utf-8")
    texts = translations(template)
    missing = []
    name = Path(program).name
    blocks = {
        "@DESCRIPTION@": [roff(join_lines(help_.description))],
        "@SYNOPSIS@": [f".B {roff(name)}", roff(synopsis(help_, texts))],
        "@ARGUMENTS@": entries_roff(help_.arguments, texts, missing),
        "@OPTIONS@": entries_roff(help_.options, texts, missing),
        "@NOTES@": notes_roff(help_.notes),
        "@FIELDS@": fields_roff(fields),
        "@LINE_OPTIONS@": line_options_roff(lines),
    }
    out = []
    for line in template.split("\n"):
        if line.startswith('.\\" text: '):
            continue
        for name, value in defines.items():
            line = line.replace(f"@{name}@", value)
        out += blocks.get(line, [line])
    out = [line if line.startswith((".", "'")) else cjk_breaks(line) for line in out]
    page = "\n".join(out).rstrip("\n") + "\n"
    if missing:
        print(f"warning: {template_path} has no text for {', '.join(missing)}; the help's text stands in",
              file=sys.stderr)
    data = page.encode("utf-8")
    if output.endswith(".gz"):
        # -9n: no name or time stamp in the header, as Debian's packages have it.
        data = gzip.compress(data, compresslevel=9, mtime=0)
    Path(output).write_bytes(data)


# ---------------------------------------------------------------- bash completion


def bash_word(text):
    escaped = text.replace("\\", "\\\\").replace("'", "\\'").replace("\n", "\\n")
    return f"$'{escaped}'"


def value_kind(entry):
    """What the shell offers after an option that takes a value."""
    long = entry.names[-1]
    if long in ("--set", "--line"):
        return long[2:]
    if "|" in entry.value:
        return "choice:" + entry.value
    if "文件夹" in entry.value:
        return "folder"
    if ".docx" in entry.value or ".docx" in " ".join(entry.text):
        return "docx"
    if "文件" in entry.value:
        return "file"
    return "none"


def write_completion(program, template_path, output, table, defines):
    help_ = run_help(program)
    fields, lines = read_table(table)
    name = Path(program).name
    options = [n for e in help_.options for n in e.names]
    kinds = [f"[{n}]={bash_word(value_kind(e))}" for e in help_.options if e.value for n in e.names]
    values = [f"[{f[0]}]={bash_word(chr(10).join(f[3:]))}" for f in fields]
    replace = {
        "@PROGRAM@": name,
        "@FUNCTION@": "_" + re.sub(r"\W", "_", name),
        "@OPTIONS@": " ".join(options),
        "@VALUE_KINDS@": " ".join(kinds),
        "@FIELDS@": " ".join(values),
        "@LINE_OPTIONS@": " ".join(line[0] for line in lines),
    }
    text = Path(template_path).read_text(encoding="utf-8")
    for key, value in replace.items():
        text = text.replace(key, value)
    Path(output).write_text(text, encoding="utf-8")


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("what", choices=["man", "completion"])
    parser.add_argument("program")
    parser.add_argument("template")
    parser.add_argument("output")
    parser.add_argument("--table")
    parser.add_argument("--define", action="append", default=[], metavar="NAME=VALUE")
    args = parser.parse_args()
    defines = dict(d.split("=", 1) for d in args.define)
    write = write_man if args.what == "man" else write_completion
    write(args.program, args.template, args.output, args.table, defines)


if __name__ == "__main__":
    main()
