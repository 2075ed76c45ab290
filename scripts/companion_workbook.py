#!/usr/bin/python3
"""Writes the companion workbook 2Brindle2012dll.xls with Debian's xlwt (run by the build).

A click on the label "数字加千分位符号" of the main window opens this workbook beside the program. It
tells the user, in Chinese, which numbers the check box beside the label groups with thousands
separators and which it leaves alone, and shows examples side by side. The examples are what the
program really does: tests/tools/check_companion_workbook.py runs them through gridwright-batch.

usage: companion_workbook.py OUTPUT.xls
"""
import sys

import xlwt

TITLE = "数字加千分位符号：哪些数字会加，哪些不会"

EXPLANATION = [
    "勾选主窗口“表内文字”一栏中“数字加千分位符号”右边的方框，再点击“开   始”，程序先给整篇文档中的数字"
    "加千分位符号，然后再排版表格。表格里和表格外的正文都会处理。",
    "",
    "会加千分位符号的数字",
    "● 带一个小数点、小数点后至少有一位数字，并且小数点前（整数部分）有 4 位或更多数字的数字。",
    "● 整数部分从小数点往左每三位加一个逗号，例如 1234567.89 变成 1,234,567.89；负数也一样。",
    "",
    "保持原样的内容",
    "● 小数点后面的数字（小数部分）不加逗号。",
    "● 没有小数点的数字：年份、编号、邮编、电话号码等。需要分位的整数请写成带小数的形式，如 12345.0。",
    "● 整数部分不到 4 位的数字，如 123.45。",
    "● 已经有千分位符号的数字，如 1,234.56。",
    "● 用逗号作小数点的写法，如 23835512,64。",
    "● 带两个以上小数点的日期、版本号，如 2023.12.31、10.0.12345.6。",
    "● 页眉、页脚和文本框中的数字。",
    "",
    "其他",
    "● 本工作簿只作说明，程序不会读取或修改它。",
    "● 在 Word 2010 及以后的版本中，按一次 Ctrl+Z（撤销）就可以撤销整次排版，包括加上的千分位符号。",
    "● 具体例子见“示例”工作表。",
]

HEADINGS = {"会加千分位符号的数字", "保持原样的内容", "其他"}

# (原文, 处理后, 说明)
EXAMPLES = [
    ("1234.5", "1,234.5", "整数部分 4 位：加一个逗号"),
    ("合计 1234567.89 元", "合计 1,234,567.89 元", "文字中的数字同样处理"),
    ("-4321.09", "-4,321.09", "负数"),
    ("12345678901.5", "12,345,678,901.5", "再长的整数部分也从小数点往左每三位一组"),
    ("1234.56789", "1,234.56789", "小数部分不加逗号"),
    ("增长 12.5%", "增长 12.5%", "整数部分不到 4 位：不变"),
    ("编号 1234 与 5678", "编号 1234 与 5678", "没有小数点的整数：不变"),
    ("2024 年", "2024 年", "年份：不变"),
    ("1,234.56", "1,234.56", "已经分好位的数字：不变"),
    ("23835512,64", "23835512,64", "逗号作小数点：不变"),
    ("截至2023.12.31的余额", "截至2023.12.31的余额", "日期：不变"),
    ("版本 10.0.12345.6", "版本 10.0.12345.6", "版本号：不变"),
]


def style(bold=False, size=11, wrap=False, background=None):
    s = xlwt.XFStyle()
    font = xlwt.Font()
    font.name = "宋体"
    font.height = int(size * 20)
    font.bold = bold
    s.font = font
    alignment = xlwt.Alignment()
    alignment.vert = xlwt.Alignment.VERT_CENTER
    alignment.wrap = 1 if wrap else 0
    s.alignment = alignment
    if background is not None:
        pattern = xlwt.Pattern()
        pattern.pattern = xlwt.Pattern.SOLID_PATTERN
        pattern.pattern_fore_colour = background
        s.pattern = pattern
    return s


def main(output):
    book = xlwt.Workbook(encoding="utf-8")

    notes = book.add_sheet("说明")
    notes.col(0).width = 256 * 100
    notes.write(0, 0, TITLE, style(bold=True, size=14))
    notes.row(0).height_mismatch = True
    notes.row(0).height = 20 * 24
    plain = style(wrap=True)
    heading = style(bold=True)
    for row, text in enumerate(EXPLANATION, start=2):
        notes.write(row, 0, text, heading if text in HEADINGS else plain)

    examples = book.add_sheet("示例")
    header = style(bold=True, background=xlwt.Style.colour_map["light_turquoise"])
    for column, (caption, width) in enumerate([("原文", 30), ("加千分位符号后", 30), ("说明", 44)]):
        examples.col(column).width = 256 * width
        examples.write(0, column, caption, header)
    for row, example in enumerate(EXAMPLES, start=1):
        for column, text in enumerate(example):
            # Text cells: Excel shows the digits exactly as they stand in the document.
            examples.write(row, column, text, plain)

    book.save(output)


if __name__ == "__main__":
    if len(sys.argv) != 2:
        sys.exit(__doc__)
    main(sys.argv[1])
