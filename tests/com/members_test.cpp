// Every member of the automation interface reaches Word under Word's member name, with the right invoke
// kind and argument types, in Word's argument order.
#include "com_test_fixture.h"

#include <string>
#include <vector>

using namespace comtest;
using namespace automation;

namespace {

using Calls = std::vector<std::string>;

class MembersTest : public ComTest {
protected:
    // Runs one member and returns what the double saw.
    Calls seen(const std::function<void()>& call) {
        server.clearCalls();
        call();
        return server.calls();
    }
};

TEST_F(MembersTest, ApplicationAndDocuments) {
    EXPECT_EQ(seen([&] { word->Visible(); }), Calls{"Application.Visible GET()"});
    EXPECT_EQ(seen([&] { word->SetVisible(true); }), Calls{"Application.Visible PUT(BOOL -1)"});
    EXPECT_EQ(seen([&] { word->Activate(); }), Calls{"Application.Activate METHOD()"});
    EXPECT_EQ(seen([&] { word->DisplayAlerts(); }), Calls{"Application.DisplayAlerts GET()"});
    EXPECT_EQ(seen([&] { word->SetDisplayAlerts(wdAlertsNone); }), Calls{"Application.DisplayAlerts PUT(I4 0)"});
    EXPECT_EQ(seen([&] { word->Dialogs()->Item(wdDialogFileOpen)->Show(); }),
              (Calls{"Application.Dialogs GET()", "Dialogs.Item METHOD(I4 80)", "Dialog.Show METHOD()"}));
    EXPECT_EQ(seen([&] { word->Documents()->Count(); }),
              (Calls{"Application.Documents GET()", "Documents.Count GET()"}));
    EXPECT_EQ(seen([&] { word->Documents()->Item(2); }),
              (Calls{"Application.Documents GET()", "Documents.Item METHOD(I4 2)"}));
    EXPECT_EQ(seen([&] { word->Quit(); }), Calls{"Application.Quit METHOD(I4 0)"});
}

TEST_F(MembersTest, OpenAndSaveAsPassAbsolutePathsAndKeepTheFormat) {
    server.returnInt("Document.SaveFormat", 0);  // wdFormatDocument: a .doc stays a .doc
    const Calls opened = seen([&] { word->Documents()->Open("报告.doc"); });
    ASSERT_EQ(opened.size(), 2u);
    EXPECT_EQ(opened[1].rfind("Documents.Open METHOD(BSTR ", 0), 0u) << opened[1];
    EXPECT_NE(opened[1].find(":\\"), std::string::npos) << "relative path reached Word: " << opened[1];
    EXPECT_NE(opened[1].find("\\报告.doc, BOOL 0, missing, BOOL 0)"), std::string::npos) << opened[1];

    DocumentPtr document = word->ActiveDocument();
    const Calls saved = seen([&] { document->SaveAs("C:\\out\\结果.doc"); });
    EXPECT_EQ(saved, (Calls{"Document.SaveFormat GET()", "Document.SaveAs METHOD(BSTR C:\\out\\结果.doc, I4 0)"}));
}

TEST_F(MembersTest, DocumentMembersAndOmittedArguments) {
    DocumentPtr d = word->ActiveDocument();
    EXPECT_EQ(seen([&] { d->FullName(); }), Calls{"Document.FullName GET()"});
    EXPECT_EQ(seen([&] { d->Range(); }), Calls{"Document.Range METHOD(missing, missing)"});
    EXPECT_EQ(seen([&] { d->Range(5); }), Calls{"Document.Range METHOD(I4 5, missing)"});
    EXPECT_EQ(seen([&] { d->Range(0, 7); }), Calls{"Document.Range METHOD(I4 0, I4 7)"});
    EXPECT_EQ(seen([&] { d->Content(); }), Calls{"Document.Content GET()"});
    EXPECT_EQ(seen([&] { d->Tables(); }), Calls{"Document.Tables GET()"});
    EXPECT_EQ(seen([&] { d->Paragraphs(); }), Calls{"Document.Paragraphs GET()"});
    EXPECT_EQ(seen([&] { d->Fields(); }), Calls{"Document.Fields GET()"});
    EXPECT_EQ(seen([&] { d->InlineShapes(); }), Calls{"Document.InlineShapes GET()"});
    EXPECT_EQ(seen([&] { d->Saved(); }), Calls{"Document.Saved GET()"});
    EXPECT_EQ(seen([&] { d->Save(); }), Calls{"Document.Save METHOD()"});
    EXPECT_EQ(seen([&] { d->UndoClear(); }), Calls{"Document.UndoClear METHOD()"});
    EXPECT_EQ(seen([&] { d->Close(); }), Calls{"Document.Close METHOD(missing)"});
    EXPECT_EQ(seen([&] { d->Close(wdDoNotSaveChanges); }), Calls{"Document.Close METHOD(I4 0)"});
}

TEST_F(MembersTest, SelectionAndRange) {
    SelectionPtr s = word->Selection();
    RangePtr r = s->Range();
    for (const auto& [span, type] : {std::pair<TextSpan*, std::string>{s.get(), "Selection"}, {r.get(), "Range"}}) {
        EXPECT_EQ(seen([&] { span->Start(); }), Calls{type + ".Start GET()"});
        EXPECT_EQ(seen([&] { span->End(); }), Calls{type + ".End GET()"});
        EXPECT_EQ(seen([&] { span->Text(); }), Calls{type + ".Text GET()"});
        EXPECT_EQ(seen([&] { span->Tables(); }), Calls{type + ".Tables GET()"});
        EXPECT_EQ(seen([&] { span->Font(); }), Calls{type + ".Font GET()"});
        EXPECT_EQ(seen([&] { span->ParagraphFormat(); }), Calls{type + ".ParagraphFormat GET()"});
        EXPECT_EQ(seen([&] { span->Find(); }), Calls{type + ".Find GET()"});
        EXPECT_EQ(seen([&] { span->Paragraphs(); }), Calls{type + ".Paragraphs GET()"});
    }
    EXPECT_EQ(seen([&] { r->Select(); }), Calls{"Range.Select METHOD()"});
    EXPECT_EQ(seen([&] { s->Rows(); }), Calls{"Selection.Rows GET()"});
    EXPECT_EQ(seen([&] { s->Cells(); }), Calls{"Selection.Cells GET()"});
    EXPECT_EQ(seen([&] { s->Columns(); }), Calls{"Selection.Columns GET()"});
    EXPECT_EQ(seen([&] { s->Borders(); }), Calls{"Selection.Borders GET()"});
}

TEST_F(MembersTest, FindTakesFifteenArgumentsInWordsOrder) {
    FindPtr f = word->Selection()->Find();
    EXPECT_EQ(seen([&] { f->Execute(); }),
              Calls{"Find.Execute METHOD(missing, missing, missing, missing, missing, missing, missing, missing, "
                    "missing, missing, missing, missing, missing, missing, missing)"});
    FindExecuteArgs args;
    args.FindText = "^w";
    args.MatchWildcards = false;
    args.Wrap = wdFindContinue;
    args.ReplaceWith = "";
    args.Replace = wdReplaceAll;
    args.MatchControl = true;
    EXPECT_EQ(seen([&] { f->Execute(args); }),
              Calls{"Find.Execute METHOD(BSTR ^w, missing, missing, BOOL 0, missing, missing, missing, I4 1, "
                    "missing, BSTR , I4 2, missing, missing, missing, BOOL -1)"});
    EXPECT_EQ(seen([&] { f->ClearFormatting(); }), Calls{"Find.ClearFormatting METHOD()"});
    EXPECT_EQ(seen([&] { f->SetText("千"); }), Calls{"Find.Text PUT(BSTR 千)"});
    EXPECT_EQ(seen([&] { f->Text(); }), Calls{"Find.Text GET()"});
    EXPECT_EQ(seen([&] { f->SetFormat(false); }), Calls{"Find.Format PUT(BOOL 0)"});
    EXPECT_EQ(seen([&] { f->Format(); }), Calls{"Find.Format GET()"});
    EXPECT_EQ(seen([&] { f->SetMatchCase(true); }), Calls{"Find.MatchCase PUT(BOOL -1)"});
    EXPECT_EQ(seen([&] { f->MatchCase(); }), Calls{"Find.MatchCase GET()"});
    EXPECT_EQ(seen([&] { f->SetMatchWholeWord(true); }), Calls{"Find.MatchWholeWord PUT(BOOL -1)"});
    EXPECT_EQ(seen([&] { f->MatchWholeWord(); }), Calls{"Find.MatchWholeWord GET()"});
    EXPECT_EQ(seen([&] { f->SetMatchWildcards(true); }), Calls{"Find.MatchWildcards PUT(BOOL -1)"});
    EXPECT_EQ(seen([&] { f->MatchWildcards(); }), Calls{"Find.MatchWildcards GET()"});
    EXPECT_EQ(seen([&] { f->SetWrap(wdFindStop); }), Calls{"Find.Wrap PUT(I4 0)"});
    EXPECT_EQ(seen([&] { f->Wrap(); }), Calls{"Find.Wrap GET()"});
    EXPECT_EQ(seen([&] { f->SetForward(true); }), Calls{"Find.Forward PUT(BOOL -1)"});
    EXPECT_EQ(seen([&] { f->Forward(); }), Calls{"Find.Forward GET()"});
    ReplacementPtr r = f->Replacement();
    EXPECT_EQ(seen([&] { r->ClearFormatting(); }), Calls{"Replacement.ClearFormatting METHOD()"});
    EXPECT_EQ(seen([&] { r->SetText("，"); }), Calls{"Replacement.Text PUT(BSTR ，)"});
    EXPECT_EQ(seen([&] { r->Text(); }), Calls{"Replacement.Text GET()"});
}

TEST_F(MembersTest, TableRowsColumnsCellsAndBorders) {
    TablePtr t = word->ActiveDocument()->Tables()->Item(1);
    EXPECT_EQ(seen([&] { t->Select(); }), Calls{"Table.Select METHOD()"});
    EXPECT_EQ(seen([&] { t->Range(); }), Calls{"Table.Range GET()"});
    EXPECT_EQ(seen([&] { t->Cell(2, 3); }), Calls{"Table.Cell METHOD(I4 2, I4 3)"});
    EXPECT_EQ(seen([&] { t->Tables(); }), Calls{"Table.Tables GET()"});
    EXPECT_EQ(seen([&] { t->SetPreferredWidthType(wdPreferredWidthPoints); }),
              Calls{"Table.PreferredWidthType PUT(I4 3)"});
    EXPECT_EQ(seen([&] { t->PreferredWidthType(); }), Calls{"Table.PreferredWidthType GET()"});
    EXPECT_EQ(seen([&] { t->SetPreferredWidth(425.25f); }), Calls{"Table.PreferredWidth PUT(R4 425.25)"});
    EXPECT_EQ(seen([&] { t->PreferredWidth(); }), Calls{"Table.PreferredWidth GET()"});
    EXPECT_EQ(seen([&] { t->SetAllowAutoFit(false); }), Calls{"Table.AllowAutoFit PUT(BOOL 0)"});
    EXPECT_EQ(seen([&] { t->AllowAutoFit(); }), Calls{"Table.AllowAutoFit GET()"});
    EXPECT_EQ(seen([&] { t->AutoFitBehavior(wdAutoFitWindow); }), Calls{"Table.AutoFitBehavior METHOD(I4 2)"});
    EXPECT_EQ(seen([&] { t->Delete(); }), Calls{"Table.Delete METHOD()"});

    RowsPtr rows = t->Rows();
    EXPECT_EQ(seen([&] { rows->Count(); }), Calls{"Rows.Count GET()"});
    EXPECT_EQ(seen([&] { rows->SetHeightRule(wdRowHeightAtLeast); }), Calls{"Rows.HeightRule PUT(I4 1)"});
    EXPECT_EQ(seen([&] { rows->HeightRule(); }), Calls{"Rows.HeightRule GET()"});
    EXPECT_EQ(seen([&] { rows->SetHeight(14.5f); }), Calls{"Rows.Height PUT(R4 14.5)"});
    EXPECT_EQ(seen([&] { rows->Height(); }), Calls{"Rows.Height GET()"});
    EXPECT_EQ(seen([&] { rows->SetHeadingFormat(true); }), Calls{"Rows.HeadingFormat PUT(BOOL -1)"});
    EXPECT_EQ(seen([&] { rows->HeadingFormat(); }), Calls{"Rows.HeadingFormat GET()"});
    EXPECT_EQ(seen([&] { rows->SetLeftIndent(-5.5f); }), Calls{"Rows.LeftIndent PUT(R4 -5.5)"});
    EXPECT_EQ(seen([&] { rows->LeftIndent(); }), Calls{"Rows.LeftIndent GET()"});
    EXPECT_EQ(seen([&] { rows->Delete(); }), Calls{"Rows.Delete METHOD()"});
    RowPtr row = rows->Item(2);
    EXPECT_EQ(seen([&] { row->Index(); }), Calls{"Row.Index GET()"});
    EXPECT_EQ(seen([&] { row->Select(); }), Calls{"Row.Select METHOD()"});
    EXPECT_EQ(seen([&] { row->Range(); }), Calls{"Row.Range GET()"});
    EXPECT_EQ(seen([&] { row->Cells(); }), Calls{"Row.Cells GET()"});
    EXPECT_EQ(seen([&] { row->Delete(); }), Calls{"Row.Delete METHOD()"});

    ColumnsPtr columns = t->Columns();
    EXPECT_EQ(seen([&] { columns->Count(); }), Calls{"Columns.Count GET()"});
    ColumnPtr column = columns->Item(3);
    EXPECT_EQ(seen([&] { column->Index(); }), Calls{"Column.Index GET()"});
    EXPECT_EQ(seen([&] { column->Select(); }), Calls{"Column.Select METHOD()"});
    EXPECT_EQ(seen([&] { column->Cells(); }), Calls{"Column.Cells GET()"});
    EXPECT_EQ(seen([&] { column->Delete(); }), Calls{"Column.Delete METHOD()"});

    CellsPtr cells = column->Cells();
    EXPECT_EQ(seen([&] { cells->Count(); }), Calls{"Cells.Count GET()"});
    EXPECT_EQ(seen([&] { cells->SetVerticalAlignment(wdCellAlignVerticalCenter); }),
              Calls{"Cells.VerticalAlignment PUT(I4 1)"});
    EXPECT_EQ(seen([&] { cells->VerticalAlignment(); }), Calls{"Cells.VerticalAlignment GET()"});
    CellPtr cell = cells->Item(1);
    EXPECT_EQ(seen([&] { cell->Range(); }), Calls{"Cell.Range GET()"});
    EXPECT_EQ(seen([&] { cell->RowIndex(); }), Calls{"Cell.RowIndex GET()"});
    EXPECT_EQ(seen([&] { cell->ColumnIndex(); }), Calls{"Cell.ColumnIndex GET()"});
    EXPECT_EQ(seen([&] { cell->Select(); }), Calls{"Cell.Select METHOD()"});
    EXPECT_EQ(seen([&] { cell->SetVerticalAlignment(1); }), Calls{"Cell.VerticalAlignment PUT(I4 1)"});
    EXPECT_EQ(seen([&] { cell->VerticalAlignment(); }), Calls{"Cell.VerticalAlignment GET()"});
    EXPECT_EQ(seen([&] { cell->SetRightPadding(8.5f); }), Calls{"Cell.RightPadding PUT(R4 8.5)"});
    EXPECT_EQ(seen([&] { cell->RightPadding(); }), Calls{"Cell.RightPadding GET()"});

    BorderPtr border = t->Borders()->Item(wdBorderHorizontal);
    EXPECT_EQ(seen([&] { t->Borders()->Item(wdBorderTop); }),
              (Calls{"Table.Borders GET()", "Borders.Item METHOD(I4 -1)"}));
    EXPECT_EQ(seen([&] { border->SetLineStyle(wdLineStyleDouble); }), Calls{"Border.LineStyle PUT(I4 7)"});
    EXPECT_EQ(seen([&] { border->LineStyle(); }), Calls{"Border.LineStyle GET()"});
    EXPECT_EQ(seen([&] { border->SetLineWidth(12); }), Calls{"Border.LineWidth PUT(I4 12)"});
    EXPECT_EQ(seen([&] { border->LineWidth(); }), Calls{"Border.LineWidth GET()"});
}

TEST_F(MembersTest, FontAndParagraphFormat) {
    RangePtr r = word->ActiveDocument()->Content();
    FontPtr font = r->Font();
    EXPECT_EQ(seen([&] { font->SetName("仿宋_GB2312"); }), Calls{"Font.Name PUT(BSTR 仿宋_GB2312)"});
    EXPECT_EQ(seen([&] { font->Name(); }), Calls{"Font.Name GET()"});
    EXPECT_EQ(seen([&] { font->SetSize(10.5f); }), Calls{"Font.Size PUT(R4 10.5)"});
    EXPECT_EQ(seen([&] { font->Size(); }), Calls{"Font.Size GET()"});

    ParagraphFormatPtr p = r->ParagraphFormat();
    struct FloatMember {
        const char* name;
        void (ParagraphFormat::*set)(float);
        float (ParagraphFormat::*get)();
    };
    using P = ParagraphFormat;
    for (const FloatMember& m :
         {FloatMember{"LineSpacing", &P::SetLineSpacing, &P::LineSpacing},
          {"SpaceBefore", &P::SetSpaceBefore, &P::SpaceBefore},
          {"SpaceAfter", &P::SetSpaceAfter, &P::SpaceAfter},
          {"LineUnitBefore", &P::SetLineUnitBefore, &P::LineUnitBefore},
          {"LineUnitAfter", &P::SetLineUnitAfter, &P::LineUnitAfter},
          {"CharacterUnitLeftIndent", &P::SetCharacterUnitLeftIndent, &P::CharacterUnitLeftIndent},
          {"CharacterUnitRightIndent", &P::SetCharacterUnitRightIndent, &P::CharacterUnitRightIndent},
          {"CharacterUnitFirstLineIndent", &P::SetCharacterUnitFirstLineIndent, &P::CharacterUnitFirstLineIndent},
          {"LeftIndent", &P::SetLeftIndent, &P::LeftIndent},
          {"RightIndent", &P::SetRightIndent, &P::RightIndent}}) {
        const std::string member = std::string("ParagraphFormat.") + m.name;
        EXPECT_EQ(seen([&] { (p.get()->*m.set)(2.5f); }), Calls{member + " PUT(R4 2.5)"});
        EXPECT_EQ(seen([&] { (p.get()->*m.get)(); }), Calls{member + " GET()"});
    }
    struct BoolMember {
        const char* name;
        void (ParagraphFormat::*set)(bool);
    };
    for (const BoolMember& m : {BoolMember{"SpaceBeforeAuto", &ParagraphFormat::SetSpaceBeforeAuto},
                                {"SpaceAfterAuto", &ParagraphFormat::SetSpaceAfterAuto},
                                {"WordWrap", &ParagraphFormat::SetWordWrap}})
        EXPECT_EQ(seen([&] { (p.get()->*m.set)(true); }),
                  Calls{std::string("ParagraphFormat.") + m.name + " PUT(BOOL -1)"});
    EXPECT_EQ(seen([&] { p->SpaceBeforeAuto(); }), Calls{"ParagraphFormat.SpaceBeforeAuto GET()"});
    EXPECT_EQ(seen([&] { p->SpaceAfterAuto(); }), Calls{"ParagraphFormat.SpaceAfterAuto GET()"});
    EXPECT_EQ(seen([&] { p->WordWrap(); }), Calls{"ParagraphFormat.WordWrap GET()"});
    EXPECT_EQ(seen([&] { p->SetAlignment(wdAlignParagraphRight); }), Calls{"ParagraphFormat.Alignment PUT(I4 2)"});
    EXPECT_EQ(seen([&] { p->Alignment(); }), Calls{"ParagraphFormat.Alignment GET()"});
    EXPECT_EQ(seen([&] { p->SetLineSpacingRule(4); }), Calls{"ParagraphFormat.LineSpacingRule PUT(I4 4)"});
    EXPECT_EQ(seen([&] { p->LineSpacingRule(); }), Calls{"ParagraphFormat.LineSpacingRule GET()"});
}

TEST_F(MembersTest, ParagraphsShapesAndFields) {
    DocumentPtr d = word->ActiveDocument();
    ParagraphsPtr paragraphs = d->Paragraphs();
    EXPECT_EQ(seen([&] { paragraphs->Count(); }), Calls{"Paragraphs.Count GET()"});
    ParagraphPtr paragraph = paragraphs->Item(4);
    EXPECT_EQ(seen([&] { paragraph->Range(); }), Calls{"Paragraph.Range GET()"});
    EXPECT_EQ(seen([&] { paragraph->Format(); }), Calls{"Paragraph.Format GET()"});

    InlineShapesPtr shapes = d->InlineShapes();
    EXPECT_EQ(seen([&] { shapes->Count(); }), Calls{"InlineShapes.Count GET()"});
    InlineShapePtr shape = shapes->Item(1);
    EXPECT_EQ(seen([&] { shape->Type(); }), Calls{"InlineShape.Type GET()"});
    EXPECT_EQ(seen([&] { shape->Range(); }), Calls{"InlineShape.Range GET()"});
    server.returnString("OLEFormat.ProgID", "Excel.Sheet.8");
    EXPECT_EQ(shape->OLEFormat()->ProgID(), "Excel.Sheet.8");

    FieldsPtr fields = d->Fields();
    EXPECT_EQ(seen([&] { fields->Count(); }), Calls{"Fields.Count GET()"});
    FieldPtr field = fields->Item(1);
    server.returnString("Range.Text", " HYPERLINK \"http://例子.cn\" ");
    std::string code;
    EXPECT_EQ(seen([&] { code = field->Code(); }), (Calls{"Field.Code GET()", "Range.Text GET()"}));
    EXPECT_EQ(code, " HYPERLINK \"http://例子.cn\" ");
    EXPECT_EQ(seen([&] { field->Result(); }), Calls{"Field.Result GET()"});
    EXPECT_EQ(seen([&] { field->Unlink(); }), Calls{"Field.Unlink METHOD()"});
}

}  // namespace
