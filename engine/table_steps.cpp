#include "engine/table_steps.h"

#include "automation/constants.h"
#include "automation/global.h"

namespace engine {

using namespace automation;

namespace {

template <typename T>
T& require(const std::shared_ptr<T>& object) {
    if (!object) throw errors::objectNotSet();
    return *object;
}

// Selects ActiveDocument.Range from the start of cell (row, 2) to the end of cell (R, C) of the table.
void selectBlockFrom(TablePass& pass, int firstRow) {
    TablePtr table = pass.table.get(pass.word);
    const int start = table->Cell(firstRow, 2)->Range()->Start();
    const int rows = table->Rows()->Count();
    const int columns = table->Columns()->Count();
    const int end = table->Cell(rows, columns)->Range()->End();
    pass.word.ActiveDocument()->Range(start, end)->Select();
}

void setAlignment(TablePass& pass, const char* name, int alignment) {
    pass.passOver.run(name, [&] { pass.word.Selection()->ParagraphFormat()->SetAlignment(alignment); });
}

}  // namespace

CurrentTable CurrentTable::ofDocument(int index) {
    CurrentTable current;
    current.index_ = index;
    return current;
}

CurrentTable CurrentTable::ofSelection(Application& word) {
    CurrentTable current;
    try {
        current.table_ = word.Selection()->Tables()->Item(1);
    } catch (const Error& error) {
        current.errorNumber_ = error.number();
        current.errorMessage_ = error.message();
    }
    return current;
}

TablePtr CurrentTable::get(Application& word) const {
    if (index_ > 0) return word.ActiveDocument()->Tables()->Item(index_);
    if (!table_) throw Error(errorNumber_, errorMessage_);
    return table_;
}

int wordNumber(const settings::LineNumber& number) {
    if (number.value) return *number.value;
    if (number.problem == settings::LineNumber::Problem::TooLarge) throw errors::overflow(number.text);
    throw errors::typeMismatch(number.text);
}

void selectTable(TablePass& pass, int index) {
    pass.passOver.run("ActiveDocument.Tables.Item.Select",
                      [&] { pass.word.ActiveDocument()->Tables()->Item(index)->Select(); });
}

bool isBorderless(TablePass& pass) {
    bool borderless = true;  // a test that fails skips the table
    pass.passOver.run("Selection.Borders.Item.LineStyle", [&] {
        BordersPtr borders = pass.word.Selection()->Borders();
        const int left = borders->Item(wdBorderLeft)->LineStyle();
        const int top = borders->Item(wdBorderTop)->LineStyle();
        borderless = left == wdLineStyleNone && top == wdLineStyleNone;
    });
    return borderless;
}

void setLineSpacing(TablePass& pass) {
    pass.passOver.run("Selection.ParagraphFormat.LineSpacing", [&] {
        pass.word.Selection()->ParagraphFormat()->SetLineSpacing(LinesToPoints(*pass.settings.LineSpacingLines.value));
    });
}

void resetPreferredWidth(TablePass& pass) {
    pass.passOver.run("Selection.Tables.Item.PreferredWidthType",
                      [&] { pass.word.Selection()->Tables()->Item(1)->SetPreferredWidthType(wdPreferredWidthAuto); });
    pass.passOver.run("Selection.Tables.Item.PreferredWidth",
                      [&] { pass.word.Selection()->Tables()->Item(1)->SetPreferredWidth(0.0f); });
}

void setRowHeight(TablePass& pass) {
    pass.passOver.run("Selection.Rows.HeightRule",
                      [&] { pass.word.Selection()->Rows()->SetHeightRule(wdRowHeightAtLeast); });
    pass.passOver.run("Selection.Rows.Height", [&] {
        pass.word.Selection()->Rows()->SetHeight(CentimetersToPoints(*pass.settings.RowHeightCm.value));
    });
}

void applyWidthMode(TablePass& pass) {
    const settings::FormatSettings& s = pass.settings;
    if (s.TableWidthMode == settings::WidthMode::FitToPage) {
        pass.passOver.run("Selection.Tables.Item.AutoFitBehavior",
                          [&] { pass.word.Selection()->Tables()->Item(1)->AutoFitBehavior(wdAutoFitWindow); });
        return;
    }
    if (s.TableWidthMode != settings::WidthMode::Specified) return;

    pass.passOver.run("Selection.Tables.Item.AllowAutoFit",
                      [&] { pass.word.Selection()->Tables()->Item(1)->SetAllowAutoFit(false); });
    // A width box holding no number leaves that property as it is.
    if (s.LeftIndentCm.value) {
        pass.passOver.run("Selection.Tables.Item.Rows.LeftIndent", [&] {
            RowsPtr rows = pass.word.Selection()->Tables()->Item(1)->Rows();
            rows->SetLeftIndent(CentimetersToPoints(*s.LeftIndentCm.value));
        });
    }
    pass.passOver.run("Selection.Tables.Item.PreferredWidthType",
                      [&] { pass.word.Selection()->Tables()->Item(1)->SetPreferredWidthType(wdPreferredWidthPoints); });
    if (s.SpecifiedWidthCm.value) {
        pass.passOver.run("Selection.Tables.Item.PreferredWidth", [&] {
            TablePtr table = pass.word.Selection()->Tables()->Item(1);
            table->SetPreferredWidth(CentimetersToPoints(*s.SpecifiedWidthCm.value));
        });
    }
}

void centreVertically(TablePass& pass) {
    pass.passOver.run("Selection.Cells.VerticalAlignment",
                      [&] { pass.word.Selection()->Cells()->SetVerticalAlignment(wdCellAlignVerticalCenter); });
}

void setBorders(TablePass& pass) {
    auto style = [&](int edge, const settings::LineNumber& number) {
        pass.passOver.run("Selection.Borders.Item.LineStyle",
                          [&] { pass.word.Selection()->Borders()->Item(edge)->SetLineStyle(wordNumber(number)); });
    };
    auto width = [&](int edge, const settings::LineNumber& number) {
        pass.passOver.run("Selection.Borders.Item.LineWidth",
                          [&] { pass.word.Selection()->Borders()->Item(edge)->SetLineWidth(wordNumber(number)); });
    };
    auto line = [&](int edge, const settings::LineNumbers& numbers) {
        style(edge, *numbers.style);
        width(edge, numbers.width);
    };

    const settings::LineNumbers& leftRight = pass.settings.LeftRightLine;
    if (leftRight.style) {
        line(wdBorderLeft, leftRight);
        line(wdBorderRight, leftRight);
    } else {
        // No left and right lines at all; their widths stay as they are.
        const settings::LineNumber none{"0", wdLineStyleNone, settings::LineNumber::Problem::None};
        style(wdBorderLeft, none);
        style(wdBorderRight, none);
    }
    line(wdBorderTop, pass.settings.TopBottomLine);
    line(wdBorderBottom, pass.settings.TopBottomLine);
    line(wdBorderHorizontal, pass.settings.InnerLine);
    line(wdBorderVertical, pass.settings.InnerLine);
}

void setFonts(TablePass& pass) {
    const settings::FormatSettings& s = pass.settings;
    FontPtr font;
    pass.passOver.run("Selection.Font", [&] { font = pass.word.Selection()->Font(); });
    // The Latin font goes on after the East Asian one, so Chinese text keeps the text font and digits
    // and Latin letters take the number font.
    if (s.TextFont) pass.passOver.run("Font.Name", [&] { require(font).SetName(*s.TextFont); });
    if (s.NumberFont) pass.passOver.run("Font.Name", [&] { require(font).SetName(*s.NumberFont); });
    if (s.FontSize) pass.passOver.run("Font.Size", [&] { require(font).SetSize(*s.FontSize); });
}

void resetParagraphs(TablePass& pass) {
    ParagraphFormatPtr format;
    commands::PassOver& p = pass.passOver;
    p.run("Selection.ParagraphFormat", [&] { format = pass.word.Selection()->ParagraphFormat(); });
    p.run("ParagraphFormat.SpaceBefore", [&] { require(format).SetSpaceBefore(0.0f); });
    p.run("ParagraphFormat.SpaceBeforeAuto", [&] { require(format).SetSpaceBeforeAuto(false); });
    p.run("ParagraphFormat.SpaceAfterAuto", [&] { require(format).SetSpaceAfterAuto(false); });
    p.run("ParagraphFormat.LineUnitBefore", [&] { require(format).SetLineUnitBefore(0.0f); });
    p.run("ParagraphFormat.WordWrap", [&] { require(format).SetWordWrap(true); });
    p.run("ParagraphFormat.CharacterUnitLeftIndent", [&] { require(format).SetCharacterUnitLeftIndent(0.0f); });
    p.run("ParagraphFormat.CharacterUnitRightIndent", [&] { require(format).SetCharacterUnitRightIndent(0.0f); });
    p.run("ParagraphFormat.CharacterUnitFirstLineIndent",
          [&] { require(format).SetCharacterUnitFirstLineIndent(0.0f); });
}

bool selectHeaderRows(TablePass& pass) {
    // Rows 1 and 2 as one block; this stands only when Word refuses row 1 by itself, which it does
    // for tables with vertically merged cells.
    const bool block = pass.passOver.run("Table.Cell(1,1)-Cell(2,C).Select", [&] {
        TablePtr table = pass.table.get(pass.word);
        const int start = table->Cell(1, 1)->Range()->Start();
        const int columns = table->Columns()->Count();
        const int end = table->Cell(2, columns)->Range()->End();
        pass.word.ActiveDocument()->Range(start, end)->Select();
    });
    const bool firstRow =
        pass.passOver.run("Table.Rows.Item(1).Select", [&] { pass.table.get(pass.word)->Rows()->Item(1)->Select(); });
    return block || firstRow;
}

void alignHeaderRows(TablePass& pass) {
    if (pass.settings.HeaderRowAlign == settings::HorizontalAlign::Centre)
        setAlignment(pass, "Selection.ParagraphFormat.Alignment", wdAlignParagraphCenter);
}

void setRepeatHeaderRows(TablePass& pass, bool titleSelected) {
    if (!titleSelected && pass.settings.RepeatHeaderRows) return;
    pass.passOver.run("Selection.Rows.HeadingFormat",
                      [&] { pass.word.Selection()->Rows()->SetHeadingFormat(pass.settings.RepeatHeaderRows); });
}

void selectOtherArea(TablePass& pass) {
    pass.passOver.run("Table.Cell(3,2)-Cell(R,C).Select", [&] { selectBlockFrom(pass, 3); });
    pass.passOver.run("Table.Cell(2,2)-Cell(R,C).Select", [&] { selectBlockFrom(pass, 2); });
}

void removeSpaces(TablePass& pass) {
    commands::PassOver& p = pass.passOver;
    p.run("Application.DisplayAlerts", [&] { pass.word.SetDisplayAlerts(wdAlertsNone); });
    FindPtr find;
    p.run("Selection.Find", [&] { find = pass.word.Selection()->Find(); });
    p.run("Find.ClearFormatting", [&] { require(find).ClearFormatting(); });
    p.run("Find.Replacement.ClearFormatting", [&] { require(find).Replacement()->ClearFormatting(); });
    p.run("Find.Text", [&] { require(find).SetText(" "); });
    p.run("Find.Replacement.Text", [&] { require(find).Replacement()->SetText(""); });
    p.run("Find.Format", [&] { require(find).SetFormat(false); });
    p.run("Find.MatchCase", [&] { require(find).SetMatchCase(false); });
    p.run("Find.MatchWholeWord", [&] { require(find).SetMatchWholeWord(false); });
    // Spaces go from the selected cells only: with Word's find left on "continue", a replace-all over
    // the selection would carry on through the title rows, column 1 and the rest of the document.
    p.run("Find.Wrap", [&] { require(find).SetWrap(wdFindStop); });
    p.run("Find.Execute", [&] {
        FindExecuteArgs args;
        args.Replace = wdReplaceAll;
        require(find).Execute(args);
    });
}

void alignOtherArea(TablePass& pass) {
    if (pass.settings.OtherAreaAlign == settings::HorizontalAlign::Centre) {
        setAlignment(pass, "Selection.ParagraphFormat.Alignment", wdAlignParagraphCenter);
    } else if (pass.settings.OtherAreaAlign == settings::HorizontalAlign::Right) {
        setAlignment(pass, "Selection.ParagraphFormat.Alignment", wdAlignParagraphRight);
        if (!pass.settings.CellRightMarginCm.isUnchanged()) setCellRightMargin(pass);
    }
}

void setCellRightMargin(TablePass& pass) {
    // The distance is made with the paragraphs' right indent; only the first cell loses its own margin.
    pass.passOver.run("Selection.Cells.Item(1).RightPadding",
                      [&] { pass.word.Selection()->Cells()->Item(1)->SetRightPadding(CentimetersToPoints(0.0f)); });
    pass.passOver.run("Selection.ParagraphFormat.RightIndent", [&] {
        pass.word.Selection()->ParagraphFormat()->SetRightIndent(
            CentimetersToPoints(*pass.settings.CellRightMarginCm.value));
    });
}

}  // namespace engine
