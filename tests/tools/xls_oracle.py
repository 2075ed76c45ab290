#!/usr/bin/python3
"""Prints what xlrd reads from the first worksheet of a workbook, one line each, tab-separated:

  cell ROW COL KIND VALUE FORMAT   (KIND: number, text, boolean, error; ROW/COL 0-based)
  merged ROW1 ROW2 COL1 COL2       (inclusive)
  datemode 0|1

usage: xls_oracle.py FILE
"""
import sys

import xlrd

KINDS = {xlrd.XL_CELL_NUMBER: "number", xlrd.XL_CELL_DATE: "number", xlrd.XL_CELL_TEXT: "text",
         xlrd.XL_CELL_BOOLEAN: "boolean", xlrd.XL_CELL_ERROR: "error"}


def main():
    book = xlrd.open_workbook(sys.argv[1], formatting_info=True)
    sheet = book.sheet_by_index(0)
    out = sys.stdout
    out.write("datemode\t%d\n" % book.datemode)
    for r in range(sheet.nrows):
        for c in range(sheet.ncols):
            cell = sheet.cell(r, c)
            kind = KINDS.get(cell.ctype)
            if kind is None:
                continue
            fmt = book.format_map[book.xf_list[cell.xf_index].format_key].format_str
            value = repr(float(cell.value)) if kind != "text" else cell.value.replace("\t", " ").replace("\n", " ")
            out.write("cell\t%d\t%d\t%s\t%s\t%s\n" % (r, c, kind, value, fmt))
    for r1, r2, c1, c2 in sheet.merged_cells:
        out.write("merged\t%d\t%d\t%d\t%d\n" % (r1, r2 - 1, c1, c2 - 1))


if __name__ == "__main__":
    main()
