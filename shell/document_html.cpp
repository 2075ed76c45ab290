#include "shell/document_html.h"

#include <algorithm>
#include <string>
#include <vector>

namespace shell {

namespace {

QString fromUtf8(const std::string& text) { return QString::fromUtf8(text.data(), static_cast<int>(text.size())); }

// Paragraph text without its end mark; line breaks become <br>, other control characters vanish.
QString paragraphText(const std::string& raw) {
    QString text = fromUtf8(raw);
    while (!text.isEmpty() && (text.back() == QChar('\r') || text.back() == QChar(7))) text.chop(1);
    QString html;
    html.reserve(text.size());
    for (const QChar ch : text) {
        const ushort code = ch.unicode();
        if (code == '\v' || code == '\r' || code == '\n') {
            html += QStringLiteral("<br/>");
        } else if (code == '\t') {
            html += QStringLiteral("&nbsp;&nbsp;&nbsp;&nbsp;");
        } else if (code == 1) {
            html += QStringLiteral("▣");  // an inline picture or object
        } else if (code < 0x20 || code == 0xfeff) {
            continue;
        } else if (ch == QChar('<')) {
            html += QStringLiteral("&lt;");
        } else if (ch == QChar('>')) {
            html += QStringLiteral("&gt;");
        } else if (ch == QChar('&')) {
            html += QStringLiteral("&amp;");
        } else if (ch == QChar(' ')) {
            html += QStringLiteral("&nbsp;");
        } else {
            html += ch;
        }
    }
    return html;
}

QString alignmentCss(int alignment) {
    switch (alignment) {
        case automation::wdAlignParagraphCenter: return QStringLiteral("text-align:center;");
        case automation::wdAlignParagraphRight: return QStringLiteral("text-align:right;");
        case automation::wdAlignParagraphJustify:
        case automation::wdAlignParagraphDistribute: return QStringLiteral("text-align:justify;");
        default: return QString();
    }
}

// Font name, size and alignment of a span of text, each left out when Word reports it mixed.
QString textCss(automation::TextSpan& span) {
    QString css;
    try {
        const std::string name = span.Font()->Name();
        if (!name.empty()) css += QStringLiteral("font-family:'%1';").arg(fromUtf8(name).toHtmlEscaped());
        const float size = span.Font()->Size();
        if (size > 0 && size < 1000) css += QStringLiteral("font-size:%1pt;").arg(static_cast<double>(size));
    } catch (const automation::Error&) {
    }
    try {
        css += alignmentCss(span.ParagraphFormat()->Alignment());
    } catch (const automation::Error&) {
    }
    return css;
}

QString anchor(int position) { return QStringLiteral("<a name=\"w%1\"></a>").arg(position); }

void appendParagraph(QString& html, automation::Paragraph& paragraph) {
    automation::RangePtr range = paragraph.Range();
    QString text = paragraphText(range->Text());
    if (text.isEmpty()) text = QStringLiteral("&nbsp;");
    html += QStringLiteral("<p style=\"margin:0;%1\">%2%3</p>\n").arg(textCss(*range), anchor(range->Start()), text);
}

struct Edge {
    int style = automation::wdLineStyleNone;
    int width = automation::wdLineWidth050pt;
};

Edge readEdge(automation::Borders& borders, int which) {
    Edge edge;
    try {
        automation::BorderPtr border = borders.Item(which);
        edge.style = border->LineStyle();
        if (edge.style != automation::wdLineStyleNone) edge.width = border->LineWidth();
    } catch (const automation::Error&) {
        edge.style = automation::wdLineStyleNone;
    }
    return edge;
}

// A table edge as CSS; mixed edges (wdUndefined) are drawn as a thin single line.
QString edgeCss(const char* side, const Edge& edge) {
    if (edge.style == automation::wdLineStyleNone) return QStringLiteral("border-%1:none;").arg(QLatin1String(side));
    const int eighths = edge.width > 0 && edge.width < 100 ? edge.width : automation::wdLineWidth050pt;
    double pixels = std::max(1.0, eighths / 8.0 * 96.0 / 72.0);
    QString style = QStringLiteral("solid");
    if (edge.style == automation::wdLineStyleDot) {
        style = QStringLiteral("dotted");
    } else if (edge.style == automation::wdLineStyleDouble) {
        style = QStringLiteral("double");
        pixels = std::max(3.0, pixels * 3);
    } else if (edge.style >= automation::wdLineStyleDashSmallGap && edge.style <= automation::wdLineStyleDashDotDot) {
        style = QStringLiteral("dashed");
    }
    return QStringLiteral("border-%1:%2px %3 black;").arg(QLatin1String(side)).arg(pixels, 0, 'f', 1).arg(style);
}

QString tableWidthAttribute(automation::Table& table) {
    try {
        const int type = table.PreferredWidthType();
        const float width = table.PreferredWidth();
        if (type == automation::wdPreferredWidthPercent && width > 0)
            return QStringLiteral(" width=\"%1%\"").arg(static_cast<int>(std::min(width, 100.0f)));
        if (type == automation::wdPreferredWidthPoints && width > 0)
            return QStringLiteral(" width=\"%1\"").arg(static_cast<int>(width * 96.0f / 72.0f));
    } catch (const automation::Error&) {
    }
    return QString();
}

QString valignAttribute(automation::Cell& cell) {
    try {
        switch (cell.VerticalAlignment()) {
            case automation::wdCellAlignVerticalCenter: return QStringLiteral(" valign=\"middle\"");
            case automation::wdCellAlignVerticalBottom: return QStringLiteral(" valign=\"bottom\"");
            default: return QStringLiteral(" valign=\"top\"");
        }
    } catch (const automation::Error&) {
        return QString();
    }
}

QString paddingCss(automation::Cell& cell) {
    try {
        const float padding = cell.RightPadding();
        if (padding > 0 && padding < 500) return QStringLiteral("padding-right:%1px;").arg(static_cast<int>(padding * 96 / 72) + 3);
    } catch (const automation::Error&) {
    }
    return QString();
}

void appendCellContent(QString& html, automation::Cell& cell) {
    automation::RangePtr range = cell.Range();
    automation::ParagraphsPtr paragraphs = range->Paragraphs();
    const int count = paragraphs->Count();
    if (count == 0) {
        html += anchor(range->Start()) + QStringLiteral("&nbsp;");
        return;
    }
    for (int i = 1; i <= count; ++i) appendParagraph(html, *paragraphs->Item(i));
}

// One table. Cells are addressed as Word addresses them, cell by cell within each row; a cell that
// continues a vertical merge is shown empty, and a row with fewer cells than the widest row lets its
// last cell take the remaining columns.
void appendTable(QString& html, automation::Table& table, const std::optional<automation::ooxml::TableLayout>& layout) {
    automation::BordersPtr borders = table.Borders();
    const Edge top = readEdge(*borders, automation::wdBorderTop);
    const Edge left = readEdge(*borders, automation::wdBorderLeft);
    const Edge bottom = readEdge(*borders, automation::wdBorderBottom);
    const Edge right = readEdge(*borders, automation::wdBorderRight);
    const Edge horizontal = readEdge(*borders, automation::wdBorderHorizontal);
    const Edge vertical = readEdge(*borders, automation::wdBorderVertical);

    automation::RowsPtr rows = table.Rows();
    const int rowCount = rows->Count();
    const int columnCount = std::max(1, table.Columns()->Count());
    QString indent;
    try {
        const float points = rows->LeftIndent();
        if (points > 0 && points < 2000) indent = QStringLiteral("margin-left:%1px;").arg(static_cast<int>(points * 96 / 72));
    } catch (const automation::Error&) {
    }

    html += QStringLiteral("<table cellspacing=\"0\" cellpadding=\"3\" style=\"border-collapse:collapse;%1\"%2>\n")
                .arg(indent, tableWidthAttribute(table));
    if (layout) {
        // Merged cells span the grid columns and rows they cover; holes left by rows that start or
        // end early (gridBefore, gridAfter) stay empty and unlined.
        const int gridColumns = std::max(1, layout->gridColumns);
        // The last row each grid column is covered to by a cell merged down from above.
        std::vector<int> coveredTo(static_cast<size_t>(gridColumns), 0);
        size_t next = 0;
        for (int r = 1; r <= layout->rows; ++r) {
            html += QStringLiteral("<tr>");
            int column = 0;
            // Empty cells for the grid columns before g that no cell of this row or above covers.
            auto fillTo = [&](int g) {
                for (; column < g; ++column)
                    if (column >= gridColumns || coveredTo[static_cast<size_t>(column)] < r) html += QStringLiteral("<td></td>");
            };
            for (; next < layout->cells.size() && layout->cells[next].row == r; ++next) {
                const automation::ooxml::CellLayout& placed = layout->cells[next];
                fillTo(placed.gridColumn);
                column = placed.gridColumn + placed.columnSpan;
                for (int g = placed.gridColumn; g < std::min(column, gridColumns); ++g)
                    coveredTo[static_cast<size_t>(g)] = r + placed.rowSpan - 1;
                QString css = edgeCss("top", r == 1 ? top : horizontal) +
                              edgeCss("left", placed.gridColumn == 0 ? left : vertical);
                if (column >= gridColumns) css += edgeCss("right", right);
                if (r + placed.rowSpan - 1 >= layout->rows) css += edgeCss("bottom", bottom);
                QString spans;
                if (placed.columnSpan > 1) spans += QStringLiteral(" colspan=\"%1\"").arg(placed.columnSpan);
                if (placed.rowSpan > 1) spans += QStringLiteral(" rowspan=\"%1\"").arg(placed.rowSpan);
                automation::CellPtr cell;
                try {
                    cell = table.Cell(placed.row, placed.column);
                } catch (const automation::Error&) {
                    html += QStringLiteral("<td%1 style=\"%2\">&nbsp;</td>").arg(spans, css);
                    continue;
                }
                html += QStringLiteral("<td%1%2 style=\"%3\">").arg(spans, valignAttribute(*cell), css + paddingCss(*cell));
                appendCellContent(html, *cell);
                html += QStringLiteral("</td>");
            }
            fillTo(gridColumns);
            html += QStringLiteral("</tr>\n");
        }
        html += QStringLiteral("</table>\n");
        return;
    }
    for (int r = 1; r <= rowCount; ++r) {
        struct RowCell {
            automation::CellPtr cell;  // null: continues a merge from above
        };
        std::vector<RowCell> rowCells;
        int lastPresent = 0;
        for (int c = 1; c <= columnCount; ++c) {
            try {
                rowCells.push_back({table.Cell(r, c)});
                lastPresent = c;
            } catch (const automation::Error&) {
                rowCells.push_back({nullptr});
            }
        }
        rowCells.resize(static_cast<size_t>(std::max(lastPresent, 1)));
        html += QStringLiteral("<tr>");
        const int shown = static_cast<int>(rowCells.size());
        for (int c = 1; c <= shown; ++c) {
            const bool lastInRow = c == shown;
            QString css = edgeCss("top", r == 1 ? top : horizontal) + edgeCss("left", c == 1 ? left : vertical);
            if (lastInRow) css += edgeCss("right", right);
            if (r == rowCount) css += edgeCss("bottom", bottom);
            const int span = lastInRow ? columnCount - shown + 1 : 1;
            const QString spanAttribute = span > 1 ? QStringLiteral(" colspan=\"%1\"").arg(span) : QString();
            automation::Cell* cell = rowCells[static_cast<size_t>(c - 1)].cell.get();
            if (!cell) {
                html += QStringLiteral("<td%1 style=\"%2\">&nbsp;</td>").arg(spanAttribute, css);
                continue;
            }
            css += paddingCss(*cell);
            html += QStringLiteral("<td%1%2 style=\"%3\">").arg(spanAttribute, valignAttribute(*cell), css);
            appendCellContent(html, *cell);
            html += QStringLiteral("</td>");
        }
        html += QStringLiteral("</tr>\n");
    }
    html += QStringLiteral("</table>\n");
}

}  // namespace

QString documentHtml(automation::Document& document, const TableLayoutSource& layouts) {
    QString html = QStringLiteral("<html><body style=\"font-family:'宋体'; font-size:10.5pt;\">\n");

    struct TableSpan {
        int start;
        int end;
        automation::TablePtr table;
        std::optional<automation::ooxml::TableLayout> layout;
    };
    std::vector<TableSpan> tables;
    automation::TablesPtr allTables = document.Tables();
    const int tableCount = allTables->Count();
    for (int i = 1; i <= tableCount; ++i) {
        automation::TablePtr table = allTables->Item(i);
        automation::RangePtr range = table->Range();
        const int start = range->Start(), end = range->End();
        tables.push_back({start, end, table, layouts ? layouts(start, end) : std::nullopt});
    }

    automation::ParagraphsPtr paragraphs = document.Paragraphs();
    const int count = paragraphs->Count();
    size_t nextTable = 0;
    for (int i = 1; i <= count; ++i) {
        automation::ParagraphPtr paragraph = paragraphs->Item(i);
        const int start = paragraph->Range()->Start();
        while (nextTable < tables.size() && tables[nextTable].end <= start) {
            // A table the paragraphs did not reach (should not happen); show it where it stands.
            appendTable(html, *tables[nextTable].table, tables[nextTable].layout);
            ++nextTable;
        }
        if (nextTable < tables.size() && start >= tables[nextTable].start) {
            appendTable(html, *tables[nextTable].table, tables[nextTable].layout);
            const int end = tables[nextTable].end;
            ++nextTable;
            // Skip the paragraphs inside the table just shown.
            while (i < count && paragraphs->Item(i + 1)->Range()->Start() < end) ++i;
            continue;
        }
        appendParagraph(html, *paragraph);
    }
    for (; nextTable < tables.size(); ++nextTable) appendTable(html, *tables[nextTable].table, tables[nextTable].layout);
    html += QStringLiteral("</body></html>\n");
    return html;
}

std::optional<int> anchorPosition(const QString& anchorName) {
    if (anchorName.size() < 2 || anchorName.front() != QChar('w')) return std::nullopt;
    bool ok = false;
    const int position = anchorName.mid(1).toInt(&ok);
    if (!ok || position < 0) return std::nullopt;
    return position;
}

}  // namespace shell
