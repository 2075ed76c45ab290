#!/usr/bin/env python3
"""Writes examples/sample-report.docx, the sample document of the examples.

A short Chinese annual report with the kinds of tables Gridwright is made for: a table whose
title cells are merged across rows and columns, a plain table with lines, a table without
any lines that only holds text in place, and a table with a table inside one of its cells.
The text in the tables is set in 等线 and Arial, as tables pasted from Excel often are, so that
formatting them in the report's own 宋体 and Times New Roman shows.

Developer tool (standard library only); the .docx it writes is kept in the repository:
    python3 examples/make_sample.py [OUTPUT.docx]
"""

import sys
import zipfile
from pathlib import Path
from xml.sax.saxutils import escape

W_NS = "http://schemas.openxmlformats.org/wordprocessingml/2006/main"
R_NS = "http://schemas.openxmlformats.org/officeDocument/2006/relationships"
XML_DECL = '<?xml version="1.0" encoding="UTF-8" standalone="yes"?>\n'

# A4 in twentieths of a point, with Word's default Chinese margins (2.54 cm / 3.17 cm).
PAGE_W, PAGE_H = 11906, 16838
MARGIN_TB, MARGIN_LR = 1440, 1800
TEXT_WIDTH = PAGE_W - 2 * MARGIN_LR

# The fonts of the text in the tables.
TABLE_FONTS = '<w:rFonts w:ascii="Arial" w:eastAsia="等线" w:hAnsi="Arial"/>'


# ---------------------------------------------------------------- paragraphs and runs

def run(text, bold=False, size=None, fonts=""):
    rpr = fonts
    if bold:
        rpr += "<w:b/><w:bCs/>"
    if size:
        rpr += f'<w:sz w:val="{size}"/><w:szCs w:val="{size}"/>'
    rpr = f"<w:rPr>{rpr}</w:rPr>" if rpr else ""
    return f'<w:r>{rpr}<w:t xml:space="preserve">{escape(text)}</w:t></w:r>'


def para(text="", style=None, jc=None, bold=False, indent_first=False, keep_next=False, fonts=""):
    ppr = ""
    if style:
        ppr += f'<w:pStyle w:val="{style}"/>'
    if keep_next:
        ppr += "<w:keepNext/>"
    if indent_first:
        # Two characters of first-line indent, as Chinese body text has it.
        ppr += '<w:ind w:firstLineChars="200" w:firstLine="420"/>'
    if jc:
        ppr += f'<w:jc w:val="{jc}"/>'
    ppr = f"<w:pPr>{ppr}</w:pPr>" if ppr else ""
    return f"<w:p>{ppr}{run(text, bold, fonts=fonts) if text else ''}</w:p>"


# ---------------------------------------------------------------- tables

def borders(tag, val="single", size=4):
    sides = ["top", "left", "bottom", "right", "insideH", "insideV"]
    inner = "".join(f'<w:{s} w:val="{val}" w:sz="{size if val != "none" else 0}" w:space="0" w:color="auto"/>'
                    for s in sides)
    return f"<w:{tag}>{inner}</w:{tag}>"


def cell(width, content, span=1, vmerge=None, shade=None, jc=None, bold=False, valign=None):
    """One w:tc; content is a string (one paragraph) or a list of ready XML blocks."""
    tcpr = f'<w:tcW w:w="{width}" w:type="dxa"/>'
    if span > 1:
        tcpr += f'<w:gridSpan w:val="{span}"/>'
    if vmerge == "restart":
        tcpr += '<w:vMerge w:val="restart"/>'
    elif vmerge == "continue":
        tcpr += "<w:vMerge/>"
    if shade:
        tcpr += f'<w:shd w:val="clear" w:color="auto" w:fill="{shade}"/>'
    if valign:
        tcpr += f'<w:vAlign w:val="{valign}"/>'
    if isinstance(content, str):
        body = para(content, jc=jc, bold=bold, fonts=TABLE_FONTS)
    else:
        body = "".join(content)
    return f"<w:tc><w:tcPr>{tcpr}</w:tcPr>{body}</w:tc>"


def row(cells, header=False):
    trpr = "<w:trPr><w:tblHeader/></w:trPr>" if header else ""
    return f"<w:tr>{trpr}{''.join(cells)}</w:tr>"


def table(grid, rows, style=None, tbl_borders="", jc=None, layout_look=True):
    tblpr = ""
    if style:
        tblpr += f'<w:tblStyle w:val="{style}"/>'
    tblpr += f'<w:tblW w:w="{sum(grid)}" w:type="dxa"/>'
    if jc:
        tblpr += f'<w:jc w:val="{jc}"/>'
    tblpr += tbl_borders
    if layout_look:
        tblpr += ('<w:tblLook w:val="04A0" w:firstRow="1" w:lastRow="0" w:firstColumn="1" '
                  'w:lastColumn="0" w:noHBand="0" w:noVBand="1"/>')
    cols = "".join(f'<w:gridCol w:w="{w}"/>' for w in grid)
    return f"<w:tbl><w:tblPr>{tblpr}</w:tblPr><w:tblGrid>{cols}</w:tblGrid>{''.join(rows)}</w:tbl>"


def financial_table():
    """Title cells merged: 项目 over two rows, 金额（元） over two columns."""
    g = [2306, 2000, 2000, 2000]
    shade = "D9D9D9"
    rows = [
        row([cell(g[0], "项目", vmerge="restart", shade=shade, jc="center", bold=True, valign="center"),
             cell(g[1] + g[2], "金额（元）", span=2, shade=shade, jc="center", bold=True),
             cell(g[3], "变动比例", vmerge="restart", shade=shade, jc="center", bold=True, valign="center")],
            header=True),
        row([cell(g[0], [para()], vmerge="continue", shade=shade),
             cell(g[1], "2025年", shade=shade, jc="center", bold=True),
             cell(g[2], "2024年", shade=shade, jc="center", bold=True),
             cell(g[3], [para()], vmerge="continue", shade=shade)], header=True),
        row([cell(g[0], "营业收入"), cell(g[1], "1234567.89"), cell(g[2], "1098765.4"), cell(g[3], "12.36%")]),
        row([cell(g[0], "营业成本"), cell(g[1], "876543.21"), cell(g[2], "801234.5"), cell(g[3], "9.40%")]),
        row([cell(g[0], "销售费用"), cell(g[1], "98765.4"), cell(g[2], "102345.67"), cell(g[3], "-3.50%")]),
        row([cell(g[0], "财务费用"), cell(g[1], "12.50"), cell(g[2], "1500"), cell(g[3], "-99.17%")]),
        row([cell(g[0], "净利润"), cell(g[1], "259246.78"), cell(g[2], "193685.23"), cell(g[3], "33.85%")]),
        row([cell(g[0], ""), cell(g[1], ""), cell(g[2], ""), cell(g[3], "")]),
    ]
    return table(g, rows, style="TableGrid", jc="center")


def quarterly_table():
    """A plain table; its lines are set on the table itself, not through a style."""
    g = [2076, 2076, 2077, 2077]
    data = [
        ("季度", "销售量（件）", "销售额（元）", "占全年比例"),
        ("第一季度", "3520", "287654.32", "23.30%"),
        ("第二季度", "4108", "315678.9", "25.57%"),
        ("第三季度", "3876", "298765.43", "24.20%"),
        ("第四季度", "4467", "332469.24", "26.93%"),
        ("合计", "15971", "1234567.89", "100.00%"),
    ]
    rows = [row([cell(w, text, jc="center" if i == 0 else None, bold=(i == 0)) for w, text in zip(g, r)],
                header=(i == 0))
            for i, r in enumerate(data)]
    return table(g, rows, tbl_borders=borders("tblBorders"))


def layout_table():
    """No lines at all: it only keeps the signature block in place."""
    g = [4153, 4153]
    data = [
        ("编制单位：华夏示例科技有限公司", "编制日期：2025年3月31日"),
        ("单位负责人：张明", "会计主管：李华"),
        ("金额单位：元", "报告期：2025年度"),
    ]
    rows = [row([cell(w, text) for w, text in zip(g, r)]) for r in data]
    return table(g, rows, style="TableGrid", tbl_borders=borders("tblBorders", val="none"))


def nested_table():
    """A table whose right-hand cell holds a small table of its own."""
    outer = [2306, 6000]
    inner_grid = [3000, 2800]
    inner = table(inner_grid, [
        row([cell(inner_grid[0], "地区", jc="center", bold=True), cell(inner_grid[1], "收入（元）", jc="center", bold=True)]),
        row([cell(inner_grid[0], "华东"), cell(inner_grid[1], "567890.12")]),
        row([cell(inner_grid[0], "华南"), cell(inner_grid[1], "432109.87")]),
        row([cell(inner_grid[0], "华北"), cell(inner_grid[1], "234567.9")]),
    ], style="TableGrid")
    rows = [
        row([cell(outer[0], "说明", jc="center", bold=True), cell(outer[1], "内容", jc="center", bold=True)], header=True),
        row([cell(outer[0], "收入构成"),
             cell(outer[1], [para("按地区划分的营业收入如下：", fonts=TABLE_FONTS), inner,
                             para("三个地区合计1234567.89元。", fonts=TABLE_FONTS)])]),
        row([cell(outer[0], "审计意见"), cell(outer[1], "标准无保留意见。")]),
    ]
    return table(outer, rows, style="TableGrid")


# ---------------------------------------------------------------- parts

def document_xml():
    body = "".join([
        para("华夏示例科技有限公司2025年度经营情况报告", style="Title"),
        para("一、总体情况", style="Heading1"),
        para("2025年，公司坚持稳中求进，主营业务保持增长。全年实现营业收入1234567.89元，"
             "较2024年的1098765.4元增长12.36%；净利润259246.78元。主要财务数据见表1。",
             indent_first=True),
        para("表1  主要财务数据", jc="center", bold=True, keep_next=True),
        financial_table(),
        para("注：财务费用由上年的1500元降至12.50元，主要是偿还了全部短期借款。", indent_first=True),
        para("二、分季度销售情况", style="Heading1"),
        para("全年共销售产品15971件，各季度销售量和销售额见表2。第四季度销售额332469.24元，为全年最高。",
             indent_first=True),
        para("表2  2025年分季度销售情况", jc="center", bold=True, keep_next=True),
        quarterly_table(),
        para("三、收入构成与审计意见", style="Heading1"),
        para("按地区划分的收入以及审计意见见表3。", indent_first=True),
        para("表3  收入构成与审计意见", jc="center", bold=True, keep_next=True),
        nested_table(),
        para("以上数据未经四舍五入，金额单位均为元。", indent_first=True),
        para(),
        layout_table(),
        para(),
        ('<w:sectPr>'
         f'<w:pgSz w:w="{PAGE_W}" w:h="{PAGE_H}"/>'
         f'<w:pgMar w:top="{MARGIN_TB}" w:right="{MARGIN_LR}" w:bottom="{MARGIN_TB}" w:left="{MARGIN_LR}" '
         'w:header="851" w:footer="992" w:gutter="0"/>'
         '<w:cols w:space="425"/><w:docGrid w:type="lines" w:linePitch="312"/>'
         '</w:sectPr>'),
    ])
    return (XML_DECL + f'<w:document xmlns:w="{W_NS}" xmlns:r="{R_NS}"><w:body>{body}</w:body></w:document>')


def styles_xml():
    fonts = ('<w:rFonts w:ascii="Times New Roman" w:eastAsia="宋体" w:hAnsi="Times New Roman" '
             'w:cs="Times New Roman"/>')
    return XML_DECL + f'''<w:styles xmlns:w="{W_NS}">
<w:docDefaults>
<w:rPrDefault><w:rPr>{fonts}<w:kern w:val="2"/><w:sz w:val="21"/><w:szCs w:val="22"/><w:lang w:val="en-US" w:eastAsia="zh-CN" w:bidi="ar-SA"/></w:rPr></w:rPrDefault>
<w:pPrDefault><w:pPr><w:widowControl w:val="0"/><w:jc w:val="both"/></w:pPr></w:pPrDefault>
</w:docDefaults>
<w:style w:type="paragraph" w:default="1" w:styleId="Normal"><w:name w:val="Normal"/><w:qFormat/><w:pPr><w:spacing w:line="360" w:lineRule="auto"/></w:pPr></w:style>
<w:style w:type="paragraph" w:styleId="Title"><w:name w:val="Title"/><w:basedOn w:val="Normal"/><w:next w:val="Normal"/><w:uiPriority w:val="10"/><w:qFormat/><w:pPr><w:spacing w:before="240" w:after="360"/><w:jc w:val="center"/><w:outlineLvl w:val="0"/></w:pPr><w:rPr><w:rFonts w:eastAsia="黑体"/><w:b/><w:bCs/><w:sz w:val="36"/><w:szCs w:val="36"/></w:rPr></w:style>
<w:style w:type="paragraph" w:styleId="Heading1"><w:name w:val="heading 1"/><w:basedOn w:val="Normal"/><w:next w:val="Normal"/><w:uiPriority w:val="9"/><w:qFormat/><w:pPr><w:keepNext/><w:keepLines/><w:spacing w:before="240" w:after="120"/><w:outlineLvl w:val="0"/></w:pPr><w:rPr><w:rFonts w:eastAsia="黑体"/><w:b/><w:bCs/><w:sz w:val="28"/><w:szCs w:val="28"/></w:rPr></w:style>
<w:style w:type="character" w:default="1" w:styleId="DefaultParagraphFont"><w:name w:val="Default Paragraph Font"/><w:uiPriority w:val="1"/><w:semiHidden/><w:unhideWhenUsed/></w:style>
<w:style w:type="table" w:default="1" w:styleId="TableNormal"><w:name w:val="Normal Table"/><w:uiPriority w:val="99"/><w:semiHidden/><w:unhideWhenUsed/><w:tblPr><w:tblInd w:w="0" w:type="dxa"/><w:tblCellMar><w:top w:w="0" w:type="dxa"/><w:left w:w="108" w:type="dxa"/><w:bottom w:w="0" w:type="dxa"/><w:right w:w="108" w:type="dxa"/></w:tblCellMar></w:tblPr></w:style>
<w:style w:type="table" w:styleId="TableGrid"><w:name w:val="Table Grid"/><w:basedOn w:val="TableNormal"/><w:uiPriority w:val="39"/><w:pPr><w:spacing w:line="240" w:lineRule="auto"/></w:pPr><w:tblPr>{borders("tblBorders")}</w:tblPr></w:style>
<w:style w:type="numbering" w:default="1" w:styleId="NoList"><w:name w:val="No List"/><w:uiPriority w:val="99"/><w:semiHidden/><w:unhideWhenUsed/></w:style>
</w:styles>'''


def settings_xml():
    return XML_DECL + f'''<w:settings xmlns:w="{W_NS}"><w:zoom w:percent="100"/><w:bordersDoNotSurroundHeader/><w:bordersDoNotSurroundFooter/><w:defaultTabStop w:val="420"/><w:drawingGridVerticalSpacing w:val="156"/><w:displayHorizontalDrawingGridEvery w:val="0"/><w:displayVerticalDrawingGridEvery w:val="2"/><w:characterSpacingControl w:val="compressPunctuation"/><w:compat><w:spaceForUL/><w:balanceSingleByteDoubleByteWidth/><w:doNotLeaveBackslashAlone/><w:ulTrailSpace/><w:doNotExpandShiftReturn/><w:adjustLineHeightInTable/><w:useFELayout/><w:compatSetting w:name="compatibilityMode" w:uri="http://schemas.microsoft.com/office/word" w:val="15"/></w:compat><w:themeFontLang w:val="en-US" w:eastAsia="zh-CN"/><w:decimalSymbol w:val="."/><w:listSeparator w:val=","/></w:settings>'''


CONTENT_TYPES = XML_DECL + '''<Types xmlns="http://schemas.openxmlformats.org/package/2006/content-types">\
<Default Extension="rels" ContentType="application/vnd.openxmlformats-package.relationships+xml"/>\
<Default Extension="xml" ContentType="application/xml"/>\
<Override PartName="/word/document.xml" ContentType="application/vnd.openxmlformats-officedocument.wordprocessingml.document.main+xml"/>\
<Override PartName="/word/styles.xml" ContentType="application/vnd.openxmlformats-officedocument.wordprocessingml.styles+xml"/>\
<Override PartName="/word/settings.xml" ContentType="application/vnd.openxmlformats-officedocument.wordprocessingml.settings+xml"/>\
<Override PartName="/docProps/core.xml" ContentType="application/vnd.openxmlformats-package.core-properties+xml"/>\
<Override PartName="/docProps/app.xml" ContentType="application/vnd.openxmlformats-officedocument.extended-properties+xml"/>\
</Types>'''

PACKAGE_RELS = XML_DECL + '''<Relationships xmlns="http://schemas.openxmlformats.org/package/2006/relationships">\
<Relationship Id="rId3" Type="http://schemas.openxmlformats.org/officeDocument/2006/relationships/extended-properties" Target="docProps/app.xml"/>\
<Relationship Id="rId2" Type="http://schemas.openxmlformats.org/package/2006/relationships/metadata/core-properties" Target="docProps/core.xml"/>\
<Relationship Id="rId1" Type="http://schemas.openxmlformats.org/officeDocument/2006/relationships/officeDocument" Target="word/document.xml"/>\
</Relationships>'''

DOCUMENT_RELS = XML_DECL + '''<Relationships xmlns="http://schemas.openxmlformats.org/package/2006/relationships">\
<Relationship Id="rId1" Type="http://schemas.openxmlformats.org/officeDocument/2006/relationships/styles" Target="styles.xml"/>\
<Relationship Id="rId2" Type="http://schemas.openxmlformats.org/officeDocument/2006/relationships/settings" Target="settings.xml"/>\
</Relationships>'''

CORE = XML_DECL + '''<cp:coreProperties xmlns:cp="http://schemas.openxmlformats.org/package/2006/metadata/core-properties" \
xmlns:dc="http://purl.org/dc/elements/1.1/" xmlns:dcterms="http://purl.org/dc/terms/" \
xmlns:dcmitype="http://purl.org/dc/dcmitype/" xmlns:xsi="http://www.w3.org/2001/XMLSchema-instance">\
<dc:title>2025年度经营情况报告</dc:title><dc:creator>Gridwright</dc:creator>\
<dcterms:created xsi:type="dcterms:W3CDTF">2025-01-01T00:00:00Z</dcterms:created>\
<dcterms:modified xsi:type="dcterms:W3CDTF">2025-01-01T00:00:00Z</dcterms:modified>\
</cp:coreProperties>'''

APP = XML_DECL + '''<Properties xmlns="http://schemas.openxmlformats.org/officeDocument/2006/extended-properties">\
<Application>Gridwright examples/make_sample.py</Application></Properties>'''


def write(path):
    parts = [
        ("[Content_Types].xml", CONTENT_TYPES),
        ("_rels/.rels", PACKAGE_RELS),
        ("docProps/core.xml", CORE),
        ("docProps/app.xml", APP),
        ("word/document.xml", document_xml()),
        ("word/styles.xml", styles_xml()),
        ("word/settings.xml", settings_xml()),
        ("word/_rels/document.xml.rels", DOCUMENT_RELS),
    ]
    with zipfile.ZipFile(path, "w", zipfile.ZIP_DEFLATED) as package:
        for name, text in parts:
            # A fixed time stamp keeps the file the same from run to run.
            info = zipfile.ZipInfo(name, date_time=(2025, 1, 1, 0, 0, 0))
            info.compress_type = zipfile.ZIP_DEFLATED
            package.writestr(info, text.encode("utf-8"))


if __name__ == "__main__":
    target = Path(sys.argv[1]) if len(sys.argv) > 1 else Path(__file__).with_name("sample-report.docx")
    write(target)
    print(target)
