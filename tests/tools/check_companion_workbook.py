#!/usr/bin/python3
"""Checks that the companion workbook tells the truth: every example of its sheet "示例" is put into a
.docx as a paragraph, gridwright-batch --thousands runs over it, and each paragraph must come out as
the workbook's second column says.

usage: check_companion_workbook.py WORKBOOK.xls GRIDWRIGHT-BATCH WORK-FOLDER
"""
import os
import subprocess
import sys

import docx
import xlrd


def main(workbook, batch, folder):
    sheet = xlrd.open_workbook(workbook).sheet_by_name("示例")
    examples = [sheet.row_values(row)[:2] for row in range(1, sheet.nrows)]
    if len(examples) < 5:
        sys.exit("the workbook holds too few examples: %d" % len(examples))
    os.makedirs(folder, exist_ok=True)
    source = os.path.join(folder, "examples.docx")
    result = os.path.join(folder, "examples-out.docx")
    document = docx.Document()
    for before, _ in examples:
        document.add_paragraph(before)
    document.save(source)
    subprocess.run([batch, source, "--thousands", "-o", result], check=True, stdout=subprocess.DEVNULL)
    after = [p.text for p in docx.Document(result).paragraphs]
    wrong = [(b, a, got) for (b, a), got in zip(examples, after) if a != got]
    if len(after) != len(examples) or wrong:
        for before, expected, got in wrong:
            print("%s: the workbook says %s, the program gives %s" % (before, expected, got))
        sys.exit(1)
    print("%d examples hold" % len(examples))


if __name__ == "__main__":
    if len(sys.argv) != 4:
        sys.exit(__doc__)
    main(*sys.argv[1:])
