#!/usr/bin/python3
"""Writes the Excel 97-2003 workbooks the embedded-worksheet tests embed, with Debian's xlwt.

usage: make_workbooks.py FOLDER

Every workbook's first worksheet is what a conversion copies; the file names say what each one holds.
"""
import datetime
import sys

import xlwt


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


def main():
    folder = sys.argv[1]
    numbers(folder + "/numbers.xls")
    merged(folder + "/merged.xls")
    dates1904(folder + "/dates1904.xls")
    two_sheets(folder + "/two_sheets.xls")


if __name__ == "__main__":
    main()
