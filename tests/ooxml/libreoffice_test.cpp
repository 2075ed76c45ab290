// A second reader of what the embedded Word writes: LibreOffice must open a formatted document and
// find its text.
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "support/libreoffice.h"
#include "support/word_fixture.h"

using namespace gwtest;
using namespace automation;

namespace {

class LibreOffice : public WordTest {};

TEST_F(LibreOffice, OpensAFormattedDocumentWithMergedAndNestedTables) {
    if (!libreOfficeAvailable()) GTEST_SKIP() << "LibreOffice is not installed";
    auto doc = word->Documents()->Open(std::string(GRIDWRIGHT_CORPUS_DIR) + "/zh-report-lo.docx");
    const int count = doc->Tables()->Count();
    for (int i = 1; i <= count; ++i) {
        auto t = doc->Tables()->Item(i);
        t->Select();
        auto sel = word->Selection();
        for (int edge = wdBorderTop; edge >= wdBorderVertical; --edge) {
            sel->Borders()->Item(edge)->SetLineStyle(edge == wdBorderHorizontal ? wdLineStyleDouble
                                                                                : wdLineStyleSingle);
            sel->Borders()->Item(edge)->SetLineWidth(edge == wdBorderHorizontal ? wdLineWidth150pt : wdLineWidth100pt);
        }
        sel->Rows()->SetHeightRule(wdRowHeightAtLeast);
        sel->Rows()->SetHeight(14.17f);
        sel->Rows()->SetHeadingFormat(true);
        sel->Cells()->SetVerticalAlignment(wdCellAlignVerticalCenter);
        sel->Font()->SetName("仿宋_GB2312");
        sel->Font()->SetName("Arial Narrow");
        sel->Font()->SetSize(10.5f);
        auto pf = sel->ParagraphFormat();
        pf->SetLineSpacing(18);
        pf->SetSpaceBefore(0);
        pf->SetCharacterUnitFirstLineIndent(0);
        pf->SetAlignment(wdAlignParagraphCenter);
        if (i == 1) {
            t->AutoFitBehavior(wdAutoFitWindow);
        } else {
            t->SetAllowAutoFit(false);
            t->Rows()->SetLeftIndent(0);
            t->SetPreferredWidthType(wdPreferredWidthPoints);
            t->SetPreferredWidth(340.16f);
        }
    }
    const auto saved = dir.file("formatted.docx");
    doc->SaveAs(saved.string());

    Conversion text = convertWithLibreOffice(saved, "txt:Text (encoded):UTF8", dir.file("txt"));
    ASSERT_TRUE(text.finished) << text.log;
    EXPECT_EQ(text.exitStatus, 0) << text.log;
    std::ifstream in(text.result);
    std::stringstream content;
    content << in.rdbuf();
    EXPECT_NE(content.str().find("年度财务报告"), std::string::npos) << content.str();
    EXPECT_NE(content.str().find("1234567.89"), std::string::npos) << content.str();
    expectOpensInLibreOffice(saved);
}

}  // namespace
