#!/usr/bin/python3
"""Writes the Excel 97-2003 workbooks the embedded-worksheet tests embed, with Debian's xlwt, and record by
record where xlwt writes no such records (shared, array and table formulas, cell borders, STANDARDWIDTH).

usage: make_workbooks.py FOLDER          the test workbooks
       make_workbooks.py FOLDER ROWS...  rows-ROWS.xls: ROWS rows of twelve columns each (benchmarks)

Every workbook's first worksheet is what a conversion copies; the file names say what each one holds.
"""
import datetime
import os
import struct
import sys

import xlwt
from xlwt.CompoundDoc import XlsDoc


def style(num_format=None, bold=False, italic=False, align=None, font="宋体", size=11):
    s = xlwt.XFStyle()
    f = xlwt.Font()
    f.name = font
    f.height = int(size * 20)
    f.bold = bold
    f.italic = italic
    s.font = f
    if num_format:
        s.num_format_str = num_format
    if align is not None:
        a = xlwt.Alignment()
        a.horz = align
        s.alignment = a
    return s


def numbers(path):
    """Values under every number format the copy shows, text, Chinese text, booleans and dates."""
    book = xlwt.Workbook(encoding="utf-8")
    sheet = book.add_sheet("数据")
    sheet.write(0, 0, "项目", style(bold=True, align=xlwt.Alignment.HORZ_CENTER))
    sheet.write(0, 1, "金额", style(bold=True, align=xlwt.Alignment.HORZ_CENTER))
    rows = [
        ("常规", 1234.5, "General"),
        ("整数", 1234.5, "0"),
        ("两位小数", 3.14159, "0.00"),
        ("千分位", 1234567.0, "#,##0"),
        ("千分位两位", -1234567.891, "#,##0.00"),
        ("百分比", 0.256, "0%"),
        ("百分比两位", 0.12345, "0.00%"),
        ("科学计数", 123456.0, "0.00E+00"),
        ("括号负数", -1500.0, "#,##0_);(#,##0)"),
        ("中文日期", datetime.date(2024, 3, 5), 'yyyy"年"m"月"d"日"'),
        ("短日期", datetime.date(2023, 12, 31), "yyyy/m/d"),
        ("时间", datetime.time(13, 5, 9), "h:mm:ss"),
        ("中文时间", datetime.time(9, 30), 'h"时"mm"分"'),
        ("文本", "00123", "@"),
        ("大数", 123456789012345.0, "General"),
        ("小数", 0.1 + 0.2, "General"),
        ("负数", -42.0, "General"),
    ]
    for i, (label, value, fmt) in enumerate(rows, start=1):
        sheet.write(i, 0, label, style())
        sheet.write(i, 1, value, style(num_format=fmt))
    sheet.write(len(rows) + 1, 0, "合计", style(italic=True, size=14))
    sheet.write(len(rows) + 1, 1, True)
    book.save(path)


def merged(path):
    """A title merged across, a label merged down, data from B2 on and columns beyond Z."""
    book = xlwt.Workbook(encoding="utf-8")
    sheet = book.add_sheet("合并")
    sheet.write_merge(1, 1, 1, 4, "二〇二四年度统计表", style(bold=True, align=xlwt.Alignment.HORZ_CENTER, size=16))
    sheet.write_merge(2, 4, 1, 1, "华东", style(align=xlwt.Alignment.HORZ_CENTER))
    for r in range(2, 5):
        for c in range(2, 5):
            sheet.write(r, c, r * 10 + c, style(num_format="#,##0"))
    sheet.write(5, 1, "很长很长的一段中文说明文字", style())
    sheet.write(5, 27, "AB列", style())
    sheet.col(2).width = 256 * 20
    book.save(path)


def dates1904(path):
    """The 1904 date system."""
    book = xlwt.Workbook(encoding="utf-8")
    book.dates_1904 = True
    sheet = book.add_sheet("Sheet1")
    sheet.write(0, 0, datetime.date(2024, 3, 5), style(num_format="yyyy-mm-dd"))
    sheet.write(1, 0, datetime.datetime(2000, 1, 1, 18, 0), style(num_format="yyyy/m/d h:mm AM/PM"))
    book.save(path)


def two_sheets(path):
    """Several sheets: only the first one is converted."""
    book = xlwt.Workbook(encoding="utf-8")
    book.add_sheet("第一").write(0, 0, "第一张表")
    book.add_sheet("第二").write(0, 0, "第二张表")
    book.save(path)


def rows(path, count):
    """A long report: a header and count rows of text, numbers, percentages and dates."""
    book = xlwt.Workbook(encoding="utf-8")
    sheet = book.add_sheet("明细")
    money, percent, date = style(num_format="#,##0.00"), style(num_format="0.0%"), style(num_format="yyyy/m/d")
    for c in range(12):
        sheet.write(0, c, "第%d列" % (c + 1), style(bold=True))
    for r in range(1, count + 1):
        sheet.write(r, 0, "项目%d" % r)
        for c in range(1, 9):
            sheet.write(r, c, r * 1000.25 + c, money)
        sheet.write(r, 9, (r % 100) / 100.0, percent)
        sheet.write(r, 10, 40000 + r, date)
        sheet.write(r, 11, "说明文字")
    book.save(path)


def record(kind, body):
    return struct.pack("<HH", kind, len(body)) + body


def short_string(text):
    """ShortXLUnicodeString, stored as UTF-16."""
    return struct.pack("<BB", len(text), 1) + text.encode("utf-16-le")


def long_string(text):
    """XLUnicodeString, stored as UTF-16."""
    return struct.pack("<HB", len(text), 1) + text.encode("utf-16-le")


def bof(kind):
    return record(0x0809, struct.pack("<HHHHII", 0x0600, kind, 0x0DBB, 0x07CC, 0, 0x06))


EOF_RECORD = record(0x000A, b"")
AUTO = 64  # the system's window text colour


def xf_record(font=0, fmt=0, style=False, align=0, borders=(0, 0, 0, 0), colours=(AUTO, AUTO, AUTO, AUTO)):
    """An XF: borders and colours are (left, right, top, bottom) line styles and palette indexes."""
    left, right, top, bottom = borders
    c_left, c_right, c_top, c_bottom = colours
    return record(0x00E0, struct.pack("<HHHBBBBHHIH", font, fmt, 0xFFF5 if style else 0x0001, align | 0x20, 0, 0,
                                      0 if style else 0xF8, left | right << 4 | top << 8 | bottom << 12,
                                      c_left | c_right << 7, c_top | c_bottom << 7, AUTO | 65 << 7))


def raw_workbook(path, cells, font=("宋体", 12), formats=(), xfs=(), columns=b"", palette=None):
    """A workbook of one worksheet "Sheet1" holding the given cell records (bytes). formats: (number, code);
    xfs: extra cell XF records, numbered from 16 on (15 is the default cell format)."""
    name, size = font
    font_body = struct.pack("<HHHHHBBBB", int(size * 20), 0, 0x7FFF, 400, 0, 0, 0, 0x86, 0) + short_string(name)
    head = bof(0x0005) + record(0x0042, struct.pack("<H", 1200))
    head += b"".join(record(0x0031, font_body) for _ in range(5))
    head += b"".join(record(0x041E, struct.pack("<H", number) + long_string(code)) for number, code in formats)
    head += b"".join(xf_record(style=True) for _ in range(15)) + xf_record()
    head += b"".join(xfs)
    head += record(0x0293, struct.pack("<HBB", 0x8000, 0, 0xFF))
    if palette:
        head += record(0x0092, struct.pack("<H", len(palette)) + b"".join(bytes(c) + b"\0" for c in palette))
    boundsheet = lambda offset: record(0x0085, struct.pack("<IBB", offset, 0, 0) + short_string("Sheet1"))
    offset = len(head) + len(boundsheet(0)) + len(EOF_RECORD)
    stream = head + boundsheet(offset) + EOF_RECORD
    stream += bof(0x0010) + columns + record(0x0200, struct.pack("<IIHHH", 0, 256, 0, 20, 0)) + b"".join(cells)
    stream += EOF_RECORD
    with open(path, "wb") as f:
        XlsDoc().save(f, stream)


def label(row, col, text, xf=15):
    return record(0x0204, struct.pack("<HHH", row, col, xf) + long_string(text))


def blank(row, col, xf):
    return record(0x0201, struct.pack("<HHH", row, col, xf))


def formula(row, col, result, xf=15, shared=False, rgce=b"\x1e\x01\x00", kind=0x0006):
    """A FORMULA record: result is a number, or ("text" | "bool" | "error" | "empty", value)."""
    if isinstance(result, tuple):
        code = {"text": 0, "bool": 1, "error": 2, "empty": 3}[result[0]]
        value = struct.pack("<BBBBBBH", code, 0, result[1] if code in (1, 2) else 0, 0, 0, 0, 0xFFFF)
    else:
        value = struct.pack("<d", result)
    return record(kind, struct.pack("<HHH", row, col, xf) + value +
                  struct.pack("<HIH", 0x0008 if shared else 0, 0, len(rgce)) + rgce)


def string_result(text):
    return record(0x0207, long_string(text))


def refers_to(row, col):
    """PtgExp: the formula lies in the shared, array or table formula that starts at row/col."""
    return struct.pack("<BHH", 0x01, row, col)


def formula_records(path):
    """Formulas with text results after SHRFMLA, ARRAY and TABLE records (and an UNCALCED before one),
    FORMULA records with the old id 0x0406, and boolean, error and empty results."""
    rgce = b"\x1e\x01\x00"
    cells = [
        label(0, 0, "共享公式"),
        formula(0, 1, ("text", 0), shared=True, rgce=refers_to(0, 1)),
        record(0x04BC, struct.pack("<HHBBBB", 0, 1, 1, 1, 0, 2) + struct.pack("<H", len(rgce)) + rgce),
        string_result("是"),
        label(1, 0, "共享公式（续）"),
        formula(1, 1, ("text", 0), shared=True, rgce=refers_to(0, 1)),
        string_result("否"),
        label(2, 0, "数组公式"),
        formula(2, 1, ("text", 0), rgce=refers_to(2, 1)),
        record(0x0221, struct.pack("<HHBBHI", 2, 2, 1, 1, 0, 0) + struct.pack("<H", len(rgce)) + rgce),
        string_result("数组结果"),
        label(3, 0, "模拟运算表"),
        formula(3, 1, ("text", 0), rgce=struct.pack("<BHH", 0x02, 3, 1)),
        record(0x0236, struct.pack("<HHBBHHHHH", 3, 3, 1, 1, 0, 0, 0, 0, 0)),
        string_result("运算结果"),
        label(4, 0, "旧编号数字"),
        formula(4, 1, 42.5, kind=0x0406),
        label(5, 0, "旧编号文字"),
        formula(5, 1, ("text", 0), kind=0x0406),
        string_result("旧编号结果"),
        label(6, 0, "未计算"),
        record(0x005E, b"\0\0"),
        formula(6, 1, ("text", 0)),
        string_result("已保存的结果"),
        label(7, 0, "逻辑"),
        formula(7, 1, ("bool", 1)),
        label(8, 0, "错误"),
        formula(8, 1, ("error", 0x2A)),
        label(9, 0, "空文字"),
        formula(9, 1, ("empty", 0)),
        label(10, 0, "数字"),
        formula(10, 1, 1234.5),
    ]
    raw_workbook(path, cells)


def borders(path):
    """Cell borders of several styles and colours, blank cells that count for the used range by their
    borders or fill alone, a large standard font (宋体 20) and a STANDARDWIDTH of 12."""
    thin = xf_record(borders=(1, 1, 1, 1), colours=(8, 8, 8, 8))                     # 16: thin, black
    mixed = xf_record(borders=(1, 1, 1, 2), colours=(AUTO, AUTO, AUTO, 10))           # 17: medium red bottom
    double = xf_record(borders=(0, 0, 6, 0))                                          # 18: double top
    filled = record(0x00E0, struct.pack("<HHHBBBBHHIH", 0, 0, 1, 0x20, 0, 0, 0xF8, 0, 0, 1 << 26, 13 | 65 << 7))
    columns = (record(0x0055, struct.pack("<H", 8)) + record(0x0099, struct.pack("<H", 12 * 256)) +
               record(0x007D, struct.pack("<HHHHHH", 4, 4, 30 * 256, 15, 0, 0)))      # E: 30 wide, empty
    cells = [
        label(0, 0, "项目", 16), label(0, 1, "金额", 17),
        label(1, 0, "甲", 16), label(1, 1, "1234567890", 16),
        blank(2, 0, 16), blank(2, 1, 16), blank(2, 2, 18),
        blank(4, 3, 19),
        blank(6, 6, 15),  # the default format: no cell for the used range
    ]
    raw_workbook(path, cells, font=("宋体", 20), xfs=[thin, mixed, double, filled], columns=columns)


def refused(folder):
    """Workbooks the embedded Excel refuses, each for its own reason: an encrypted one, one of Excel 5.0/95,
    and one whose used range (A1 to U65536) is larger than a copy may be."""
    stream = bof(0x0005) + record(0x002F, struct.pack("<HHH", 1, 1, 1) + bytes(48)) + EOF_RECORD
    with open(folder + "/encrypted.xls", "wb") as f:
        XlsDoc().save(f, stream)
    old = record(0x0809, struct.pack("<HHHH", 0x0500, 0x0005, 0x0DBB, 0x07CC)) + EOF_RECORD
    with open(folder + "/excel95.xls", "wb") as f:
        XlsDoc().save(f, old)
    raw_workbook(folder + "/huge.xls", [label(0, 0, "起"), label(65535, 20, "止")])


def formats(path):
    """Column A: each row of tests/data/number_formats.tsv, its value under its format code (errors, which
    xlwt cannot write, stay empty)."""
    table = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "data", "number_formats.tsv")
    book = xlwt.Workbook(encoding="utf-8")
    sheet = book.add_sheet("格式")
    row = 0
    with open(table, encoding="utf-8") as f:
        for line in f:
            line = line.rstrip("\n")
            if not line or line.startswith("//"):
                continue
            code, value = line.split("\t")[:2]
            cell = xlwt.easyxf(num_format_str=code)
            if value.startswith("text:"):
                sheet.write(row, 0, value[5:], cell)
            elif value.startswith("bool:"):
                sheet.write(row, 0, value[5:] == "1", cell)
            elif not value.startswith("error:"):
                sheet.write(row, 0, float(value), cell)
            row += 1
    book.save(path)


def main():
    folder = sys.argv[1]
    if len(sys.argv) > 2:
        for count in sys.argv[2:]:
            rows("%s/rows-%s.xls" % (folder, count), int(count))
        return
    numbers(folder + "/numbers.xls")
    merged(folder + "/merged.xls")
    dates1904(folder + "/dates1904.xls")
    two_sheets(folder + "/two_sheets.xls")
    rows(folder + "/rows-700.xls", 700)  # its shared strings run over into CONTINUE records
    formula_records(folder + "/formulas.xls")
    borders(folder + "/borders.xls")
    refused(folder)
    formats(folder + "/formats.xls")


if __name__ == "__main__":
    main()
