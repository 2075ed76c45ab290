// Documents written by other programs: every table can be walked, formatted and saved, and the
// result opens again with the same text.
#include <gtest/gtest.h>

#include <filesystem>

#include "support/word_fixture.h"

using namespace gwtest;
using namespace automation;

namespace {

std::vector<std::filesystem::path> corpus() {
    std::vector<std::filesystem::path> files;
    std::error_code ec;
    for (const auto& entry : std::filesystem::directory_iterator(GRIDWRIGHT_CORPUS_DIR, ec))
        if (entry.path().extension() == ".docx") files.push_back(entry.path());
    std::sort(files.begin(), files.end());
    return files;
}

// What a format run does to a table, without the run: select, read, set, address cells.
void formatEveryTable(Application& word) {
    auto doc = word.ActiveDocument();
    const int count = doc->Tables()->Count();
    for (int i = 1; i <= count; ++i) {
        auto table = doc->Tables()->Item(i);
        table->Select();
        auto selection = word.Selection();
        selection->Borders()->Item(wdBorderLeft)->LineStyle();
        selection->Borders()->Item(wdBorderTop)->LineStyle();
        selection->ParagraphFormat()->SetLineSpacing(12);
        table->SetPreferredWidthType(wdPreferredWidthAuto);
        table->SetPreferredWidth(0);
        selection->Rows()->SetHeightRule(wdRowHeightAtLeast);
        selection->Rows()->SetHeight(14.17f);
        table->AutoFitBehavior(wdAutoFitWindow);
        selection->Cells()->SetVerticalAlignment(wdCellAlignVerticalCenter);
        for (int edge = -1; edge >= -6; --edge) {
            selection->Borders()->Item(edge)->SetLineStyle(wdLineStyleSingle);
            selection->Borders()->Item(edge)->SetLineWidth(wdLineWidth100pt);
        }
        selection->Font()->SetName("宋体");
        selection->Font()->SetSize(10.5f);
        try {
            const int columns = table->Columns()->Count();
            doc->Range(table->Cell(1, 1)->Range()->Start(), table->Cell(2, columns)->Range()->End())->Select();
        } catch (const Error&) {
            // merged tables refuse some cells, as Word does
        }
    }
}

TEST(Corpus, EveryDocumentIsFormattedAndSavedWithItsTextIntact) {
    const auto files = corpus();
    ASSERT_FALSE(files.empty()) << "no documents in " << GRIDWRIGHT_CORPUS_DIR;
    TempDir dir;
    int tables = 0;
    for (const auto& file : files) {
        SCOPED_TRACE(file.filename().string());
        auto word = automation::ooxml::createWord();
        auto doc = word->Documents()->Open(file.string());
        const std::string before = doc->Content()->Text();
        tables += doc->Tables()->Count();
        formatEveryTable(*word);
        const auto out = dir.file(file.filename().string());
        doc->SaveAs(out.string());
        auto again = automation::ooxml::createWord();
        EXPECT_EQ(again->Documents()->Open(out.string())->Content()->Text(), before);
    }
    EXPECT_GT(tables, 10);
}

TEST(Corpus, LibreOfficeTableWithMergedTitleCells) {
    auto word = automation::ooxml::createWord();
    auto doc = word->Documents()->Open(std::string(GRIDWRIGHT_CORPUS_DIR) + "/zh-report-lo.docx");
    ASSERT_GE(doc->Tables()->Count(), 2);
    auto t = doc->Tables()->Item(1);
    // The title cell merged down refuses rows; the cell below it does not exist.
    EXPECT_THROW(t->Rows()->Item(1), Error);
    EXPECT_THROW(t->Cell(2, 1), Error);
    EXPECT_NO_THROW(t->Cell(2, 2));
    // LibreOffice puts borders on every cell.
    t->Select();
    EXPECT_EQ(word->Selection()->Borders()->Item(wdBorderTop)->LineStyle(), wdLineStyleSingle);
}

}  // namespace
