// The wrappers below follow automation/word.h member by member: record, maybe fail, then delegate.
#include "support/fault_word.h"

#include <utility>

namespace gwtest {

void FaultPlan::failOn(const std::string& member, int nth, long number, const std::string& message) {
    faults_.insert({member, Fault{nth, false, number, message}});
}

void FaultPlan::failFrom(const std::string& member, int nth, long number, const std::string& message) {
    faults_.insert({member, Fault{nth, true, number, message}});
}

int FaultPlan::callCount(const std::string& member) const {
    const auto found = counts_.find(member);
    return found == counts_.end() ? 0 : found->second;
}

std::vector<std::string> FaultPlan::callsOf(const std::vector<std::string>& members) const {
    std::vector<std::string> picked;
    for (const std::string& call : calls_)
        for (const std::string& member : members)
            if (call == member) picked.push_back(call);
    return picked;
}

void FaultPlan::clearCalls() { calls_.clear(); }

void FaultPlan::call(const char* member) {
    calls_.emplace_back(member);
    const int n = ++counts_[member];
    const auto [first, last] = faults_.equal_range(member);
    for (auto it = first; it != last; ++it) {
        const Fault& fault = it->second;
        if (n == fault.nth || (fault.onward && n > fault.nth)) throw automation::Error(fault.number, fault.message);
    }
}

void FaultPlan::after(const std::string& member, std::function<void()> action) {
    after_.emplace(member, std::move(action));
}

void FaultPlan::returned(const char* member) {
    const auto [first, last] = after_.equal_range(member);
    for (auto it = first; it != last; ++it) it->second();
}

namespace {

using PlanPtr = std::shared_ptr<FaultPlan>;
using namespace automation;

std::shared_ptr<automation::Application> wrap(std::shared_ptr<automation::Application> real, const PlanPtr& plan);
std::shared_ptr<automation::Documents> wrap(std::shared_ptr<automation::Documents> real, const PlanPtr& plan);
std::shared_ptr<automation::Document> wrap(std::shared_ptr<automation::Document> real, const PlanPtr& plan);
std::shared_ptr<automation::Dialogs> wrap(std::shared_ptr<automation::Dialogs> real, const PlanPtr& plan);
std::shared_ptr<automation::Dialog> wrap(std::shared_ptr<automation::Dialog> real, const PlanPtr& plan);
std::shared_ptr<automation::Range> wrap(std::shared_ptr<automation::Range> real, const PlanPtr& plan);
std::shared_ptr<automation::Selection> wrap(std::shared_ptr<automation::Selection> real, const PlanPtr& plan);
std::shared_ptr<automation::Find> wrap(std::shared_ptr<automation::Find> real, const PlanPtr& plan);
std::shared_ptr<automation::Replacement> wrap(std::shared_ptr<automation::Replacement> real, const PlanPtr& plan);
std::shared_ptr<automation::Tables> wrap(std::shared_ptr<automation::Tables> real, const PlanPtr& plan);
std::shared_ptr<automation::Table> wrap(std::shared_ptr<automation::Table> real, const PlanPtr& plan);
std::shared_ptr<automation::Rows> wrap(std::shared_ptr<automation::Rows> real, const PlanPtr& plan);
std::shared_ptr<automation::Row> wrap(std::shared_ptr<automation::Row> real, const PlanPtr& plan);
std::shared_ptr<automation::Columns> wrap(std::shared_ptr<automation::Columns> real, const PlanPtr& plan);
std::shared_ptr<automation::Column> wrap(std::shared_ptr<automation::Column> real, const PlanPtr& plan);
std::shared_ptr<automation::Cells> wrap(std::shared_ptr<automation::Cells> real, const PlanPtr& plan);
std::shared_ptr<automation::Cell> wrap(std::shared_ptr<automation::Cell> real, const PlanPtr& plan);
std::shared_ptr<automation::Borders> wrap(std::shared_ptr<automation::Borders> real, const PlanPtr& plan);
std::shared_ptr<automation::Border> wrap(std::shared_ptr<automation::Border> real, const PlanPtr& plan);
std::shared_ptr<automation::Font> wrap(std::shared_ptr<automation::Font> real, const PlanPtr& plan);
std::shared_ptr<automation::ParagraphFormat> wrap(std::shared_ptr<automation::ParagraphFormat> real,
                                                  const PlanPtr& plan);
std::shared_ptr<automation::Paragraphs> wrap(std::shared_ptr<automation::Paragraphs> real, const PlanPtr& plan);
std::shared_ptr<automation::Paragraph> wrap(std::shared_ptr<automation::Paragraph> real, const PlanPtr& plan);
std::shared_ptr<automation::InlineShapes> wrap(std::shared_ptr<automation::InlineShapes> real, const PlanPtr& plan);
std::shared_ptr<automation::InlineShape> wrap(std::shared_ptr<automation::InlineShape> real, const PlanPtr& plan);
std::shared_ptr<automation::OLEFormat> wrap(std::shared_ptr<automation::OLEFormat> real, const PlanPtr& plan);
std::shared_ptr<automation::Fields> wrap(std::shared_ptr<automation::Fields> real, const PlanPtr& plan);
std::shared_ptr<automation::Field> wrap(std::shared_ptr<automation::Field> real, const PlanPtr& plan);

class FaultyApplication final : public automation::Application {
public:
    FaultyApplication(std::shared_ptr<automation::Application> real, PlanPtr plan)
        : real_(std::move(real)), plan_(std::move(plan)) {}
    bool Visible() override {
        plan_->call("Application.Visible");
        return real_->Visible();
    }
    void SetVisible(bool visible) override {
        plan_->call("Application.SetVisible");
        real_->SetVisible(visible);
    }
    void Activate() override {
        plan_->call("Application.Activate");
        real_->Activate();
    }
    DocumentsPtr Documents() override {
        plan_->call("Application.Documents");
        return wrap(real_->Documents(), plan_);
    }
    DocumentPtr ActiveDocument() override {
        plan_->call("Application.ActiveDocument");
        return wrap(real_->ActiveDocument(), plan_);
    }
    SelectionPtr Selection() override {
        plan_->call("Application.Selection");
        return wrap(real_->Selection(), plan_);
    }
    DialogsPtr Dialogs() override {
        plan_->call("Application.Dialogs");
        return wrap(real_->Dialogs(), plan_);
    }
    int DisplayAlerts() override {
        plan_->call("Application.DisplayAlerts");
        return real_->DisplayAlerts();
    }
    void SetDisplayAlerts(int level) override {
        plan_->call("Application.SetDisplayAlerts");
        real_->SetDisplayAlerts(level);
    }
    void Quit() override {
        plan_->call("Application.Quit");
        real_->Quit();
    }

private:
    std::shared_ptr<automation::Application> real_;
    PlanPtr plan_;
};

class FaultyDocuments final : public automation::Documents {
public:
    FaultyDocuments(std::shared_ptr<automation::Documents> real, PlanPtr plan)
        : real_(std::move(real)), plan_(std::move(plan)) {}
    int Count() override {
        plan_->call("Documents.Count");
        return real_->Count();
    }
    DocumentPtr Item(int index) override {
        plan_->call("Documents.Item");
        return wrap(real_->Item(index), plan_);
    }
    DocumentPtr Open(const std::string& path) override {
        plan_->call("Documents.Open");
        return wrap(real_->Open(path), plan_);
    }

private:
    std::shared_ptr<automation::Documents> real_;
    PlanPtr plan_;
};

class FaultyDocument final : public automation::Document {
public:
    FaultyDocument(std::shared_ptr<automation::Document> real, PlanPtr plan)
        : real_(std::move(real)), plan_(std::move(plan)) {}
    std::string FullName() override {
        plan_->call("Document.FullName");
        return real_->FullName();
    }
    RangePtr Range(std::optional<int> start, std::optional<int> end) override {
        plan_->call("Document.Range");
        return wrap(real_->Range(start, end), plan_);
    }
    RangePtr Content() override {
        plan_->call("Document.Content");
        return wrap(real_->Content(), plan_);
    }
    TablesPtr Tables() override {
        plan_->call("Document.Tables");
        return wrap(real_->Tables(), plan_);
    }
    ParagraphsPtr Paragraphs() override {
        plan_->call("Document.Paragraphs");
        return wrap(real_->Paragraphs(), plan_);
    }
    FieldsPtr Fields() override {
        plan_->call("Document.Fields");
        return wrap(real_->Fields(), plan_);
    }
    InlineShapesPtr InlineShapes() override {
        plan_->call("Document.InlineShapes");
        return wrap(real_->InlineShapes(), plan_);
    }
    bool Saved() override {
        plan_->call("Document.Saved");
        return real_->Saved();
    }
    void Save() override {
        plan_->call("Document.Save");
        real_->Save();
    }
    void SaveAs(const std::string& path) override {
        plan_->call("Document.SaveAs");
        real_->SaveAs(path);
    }
    void UndoClear() override {
        plan_->call("Document.UndoClear");
        real_->UndoClear();
    }
    void Close(std::optional<int> saveChanges) override {
        plan_->call("Document.Close");
        real_->Close(saveChanges);
    }

private:
    std::shared_ptr<automation::Document> real_;
    PlanPtr plan_;
};

class FaultyDialogs final : public automation::Dialogs {
public:
    FaultyDialogs(std::shared_ptr<automation::Dialogs> real, PlanPtr plan)
        : real_(std::move(real)), plan_(std::move(plan)) {}
    DialogPtr Item(int which) override {
        plan_->call("Dialogs.Item");
        return wrap(real_->Item(which), plan_);
    }

private:
    std::shared_ptr<automation::Dialogs> real_;
    PlanPtr plan_;
};

class FaultyDialog final : public automation::Dialog {
public:
    FaultyDialog(std::shared_ptr<automation::Dialog> real, PlanPtr plan)
        : real_(std::move(real)), plan_(std::move(plan)) {}
    int Show() override {
        plan_->call("Dialog.Show");
        return real_->Show();
    }

private:
    std::shared_ptr<automation::Dialog> real_;
    PlanPtr plan_;
};

class FaultyRange final : public automation::Range {
public:
    FaultyRange(std::shared_ptr<automation::Range> real, PlanPtr plan)
        : real_(std::move(real)), plan_(std::move(plan)) {}
    int Start() override {
        plan_->call("Range.Start");
        return real_->Start();
    }
    int End() override {
        plan_->call("Range.End");
        return real_->End();
    }
    std::string Text() override {
        plan_->call("Range.Text");
        return real_->Text();
    }
    TablesPtr Tables() override {
        plan_->call("Range.Tables");
        return wrap(real_->Tables(), plan_);
    }
    FontPtr Font() override {
        plan_->call("Range.Font");
        return wrap(real_->Font(), plan_);
    }
    ParagraphFormatPtr ParagraphFormat() override {
        plan_->call("Range.ParagraphFormat");
        return wrap(real_->ParagraphFormat(), plan_);
    }
    FindPtr Find() override {
        plan_->call("Range.Find");
        return wrap(real_->Find(), plan_);
    }
    ParagraphsPtr Paragraphs() override {
        plan_->call("Range.Paragraphs");
        return wrap(real_->Paragraphs(), plan_);
    }
    void Select() override {
        plan_->call("Range.Select");
        real_->Select();
    }

private:
    std::shared_ptr<automation::Range> real_;
    PlanPtr plan_;
};

class FaultySelection final : public automation::Selection {
public:
    FaultySelection(std::shared_ptr<automation::Selection> real, PlanPtr plan)
        : real_(std::move(real)), plan_(std::move(plan)) {}
    int Start() override {
        plan_->call("Selection.Start");
        return real_->Start();
    }
    int End() override {
        plan_->call("Selection.End");
        return real_->End();
    }
    std::string Text() override {
        plan_->call("Selection.Text");
        return real_->Text();
    }
    TablesPtr Tables() override {
        plan_->call("Selection.Tables");
        return wrap(real_->Tables(), plan_);
    }
    FontPtr Font() override {
        plan_->call("Selection.Font");
        return wrap(real_->Font(), plan_);
    }
    ParagraphFormatPtr ParagraphFormat() override {
        plan_->call("Selection.ParagraphFormat");
        return wrap(real_->ParagraphFormat(), plan_);
    }
    FindPtr Find() override {
        plan_->call("Selection.Find");
        return wrap(real_->Find(), plan_);
    }
    ParagraphsPtr Paragraphs() override {
        plan_->call("Selection.Paragraphs");
        return wrap(real_->Paragraphs(), plan_);
    }
    RowsPtr Rows() override {
        plan_->call("Selection.Rows");
        return wrap(real_->Rows(), plan_);
    }
    CellsPtr Cells() override {
        plan_->call("Selection.Cells");
        return wrap(real_->Cells(), plan_);
    }
    ColumnsPtr Columns() override {
        plan_->call("Selection.Columns");
        return wrap(real_->Columns(), plan_);
    }
    BordersPtr Borders() override {
        plan_->call("Selection.Borders");
        return wrap(real_->Borders(), plan_);
    }
    RangePtr Range() override {
        plan_->call("Selection.Range");
        return wrap(real_->Range(), plan_);
    }
    void PasteAndFormat(int type) override {
        plan_->call("Selection.PasteAndFormat");
        real_->PasteAndFormat(type);
    }

private:
    std::shared_ptr<automation::Selection> real_;
    PlanPtr plan_;
};

class FaultyFind final : public automation::Find {
public:
    FaultyFind(std::shared_ptr<automation::Find> real, PlanPtr plan) : real_(std::move(real)), plan_(std::move(plan)) {}
    void ClearFormatting() override {
        plan_->call("Find.ClearFormatting");
        real_->ClearFormatting();
    }
    std::string Text() override {
        plan_->call("Find.Text");
        return real_->Text();
    }
    void SetText(const std::string& text) override {
        plan_->call("Find.SetText");
        real_->SetText(text);
    }
    ReplacementPtr Replacement() override {
        plan_->call("Find.Replacement");
        return wrap(real_->Replacement(), plan_);
    }
    bool Format() override {
        plan_->call("Find.Format");
        return real_->Format();
    }
    void SetFormat(bool value) override {
        plan_->call("Find.SetFormat");
        real_->SetFormat(value);
    }
    bool MatchCase() override {
        plan_->call("Find.MatchCase");
        return real_->MatchCase();
    }
    void SetMatchCase(bool value) override {
        plan_->call("Find.SetMatchCase");
        real_->SetMatchCase(value);
    }
    bool MatchWholeWord() override {
        plan_->call("Find.MatchWholeWord");
        return real_->MatchWholeWord();
    }
    void SetMatchWholeWord(bool value) override {
        plan_->call("Find.SetMatchWholeWord");
        real_->SetMatchWholeWord(value);
    }
    bool MatchWildcards() override {
        plan_->call("Find.MatchWildcards");
        return real_->MatchWildcards();
    }
    void SetMatchWildcards(bool value) override {
        plan_->call("Find.SetMatchWildcards");
        real_->SetMatchWildcards(value);
    }
    int Wrap() override {
        plan_->call("Find.Wrap");
        return real_->Wrap();
    }
    void SetWrap(int value) override {
        plan_->call("Find.SetWrap");
        real_->SetWrap(value);
    }
    bool Forward() override {
        plan_->call("Find.Forward");
        return real_->Forward();
    }
    void SetForward(bool value) override {
        plan_->call("Find.SetForward");
        real_->SetForward(value);
    }
    bool Execute(const FindExecuteArgs& args) override {
        plan_->call("Find.Execute");
        return real_->Execute(args);
    }

private:
    std::shared_ptr<automation::Find> real_;
    PlanPtr plan_;
};

class FaultyReplacement final : public automation::Replacement {
public:
    FaultyReplacement(std::shared_ptr<automation::Replacement> real, PlanPtr plan)
        : real_(std::move(real)), plan_(std::move(plan)) {}
    void ClearFormatting() override {
        plan_->call("Replacement.ClearFormatting");
        real_->ClearFormatting();
    }
    std::string Text() override {
        plan_->call("Replacement.Text");
        return real_->Text();
    }
    void SetText(const std::string& text) override {
        plan_->call("Replacement.SetText");
        real_->SetText(text);
    }

private:
    std::shared_ptr<automation::Replacement> real_;
    PlanPtr plan_;
};

class FaultyTables final : public automation::Tables {
public:
    FaultyTables(std::shared_ptr<automation::Tables> real, PlanPtr plan)
        : real_(std::move(real)), plan_(std::move(plan)) {}
    int Count() override {
        plan_->call("Tables.Count");
        return real_->Count();
    }
    TablePtr Item(int index) override {
        plan_->call("Tables.Item");
        return wrap(real_->Item(index), plan_);
    }

private:
    std::shared_ptr<automation::Tables> real_;
    PlanPtr plan_;
};

class FaultyTable final : public automation::Table {
public:
    FaultyTable(std::shared_ptr<automation::Table> real, PlanPtr plan)
        : real_(std::move(real)), plan_(std::move(plan)) {}
    void Select() override {
        plan_->call("Table.Select");
        real_->Select();
    }
    RangePtr Range() override {
        plan_->call("Table.Range");
        return wrap(real_->Range(), plan_);
    }
    CellPtr Cell(int row, int column) override {
        plan_->call("Table.Cell");
        return wrap(real_->Cell(row, column), plan_);
    }
    RowsPtr Rows() override {
        plan_->call("Table.Rows");
        return wrap(real_->Rows(), plan_);
    }
    ColumnsPtr Columns() override {
        plan_->call("Table.Columns");
        return wrap(real_->Columns(), plan_);
    }
    TablesPtr Tables() override {
        plan_->call("Table.Tables");
        return wrap(real_->Tables(), plan_);
    }
    BordersPtr Borders() override {
        plan_->call("Table.Borders");
        return wrap(real_->Borders(), plan_);
    }
    int PreferredWidthType() override {
        plan_->call("Table.PreferredWidthType");
        return real_->PreferredWidthType();
    }
    void SetPreferredWidthType(int type) override {
        plan_->call("Table.SetPreferredWidthType");
        real_->SetPreferredWidthType(type);
    }
    float PreferredWidth() override {
        plan_->call("Table.PreferredWidth");
        return real_->PreferredWidth();
    }
    void SetPreferredWidth(float value) override {
        plan_->call("Table.SetPreferredWidth");
        real_->SetPreferredWidth(value);
    }
    bool AllowAutoFit() override {
        plan_->call("Table.AllowAutoFit");
        return real_->AllowAutoFit();
    }
    void SetAllowAutoFit(bool value) override {
        plan_->call("Table.SetAllowAutoFit");
        real_->SetAllowAutoFit(value);
    }
    void AutoFitBehavior(int behavior) override {
        plan_->call("Table.AutoFitBehavior");
        real_->AutoFitBehavior(behavior);
    }
    void Delete() override {
        plan_->call("Table.Delete");
        real_->Delete();
    }

private:
    std::shared_ptr<automation::Table> real_;
    PlanPtr plan_;
};

class FaultyRows final : public automation::Rows {
public:
    FaultyRows(std::shared_ptr<automation::Rows> real, PlanPtr plan) : real_(std::move(real)), plan_(std::move(plan)) {}
    int Count() override {
        plan_->call("Rows.Count");
        return real_->Count();
    }
    RowPtr Item(int index) override {
        plan_->call("Rows.Item");
        return wrap(real_->Item(index), plan_);
    }
    int HeightRule() override {
        plan_->call("Rows.HeightRule");
        return real_->HeightRule();
    }
    void SetHeightRule(int rule) override {
        plan_->call("Rows.SetHeightRule");
        real_->SetHeightRule(rule);
    }
    float Height() override {
        plan_->call("Rows.Height");
        return real_->Height();
    }
    void SetHeight(float points) override {
        plan_->call("Rows.SetHeight");
        real_->SetHeight(points);
    }
    bool HeadingFormat() override {
        plan_->call("Rows.HeadingFormat");
        return real_->HeadingFormat();
    }
    void SetHeadingFormat(bool value) override {
        plan_->call("Rows.SetHeadingFormat");
        real_->SetHeadingFormat(value);
    }
    float LeftIndent() override {
        plan_->call("Rows.LeftIndent");
        return real_->LeftIndent();
    }
    void SetLeftIndent(float points) override {
        plan_->call("Rows.SetLeftIndent");
        real_->SetLeftIndent(points);
    }
    void Delete() override {
        plan_->call("Rows.Delete");
        real_->Delete();
    }

private:
    std::shared_ptr<automation::Rows> real_;
    PlanPtr plan_;
};

class FaultyRow final : public automation::Row {
public:
    FaultyRow(std::shared_ptr<automation::Row> real, PlanPtr plan) : real_(std::move(real)), plan_(std::move(plan)) {}
    int Index() override {
        plan_->call("Row.Index");
        return real_->Index();
    }
    void Select() override {
        plan_->call("Row.Select");
        real_->Select();
    }
    RangePtr Range() override {
        plan_->call("Row.Range");
        return wrap(real_->Range(), plan_);
    }
    CellsPtr Cells() override {
        plan_->call("Row.Cells");
        return wrap(real_->Cells(), plan_);
    }
    void Delete() override {
        plan_->call("Row.Delete");
        real_->Delete();
    }

private:
    std::shared_ptr<automation::Row> real_;
    PlanPtr plan_;
};

class FaultyColumns final : public automation::Columns {
public:
    FaultyColumns(std::shared_ptr<automation::Columns> real, PlanPtr plan)
        : real_(std::move(real)), plan_(std::move(plan)) {}
    int Count() override {
        plan_->call("Columns.Count");
        return real_->Count();
    }
    ColumnPtr Item(int index) override {
        plan_->call("Columns.Item");
        return wrap(real_->Item(index), plan_);
    }

private:
    std::shared_ptr<automation::Columns> real_;
    PlanPtr plan_;
};

class FaultyColumn final : public automation::Column {
public:
    FaultyColumn(std::shared_ptr<automation::Column> real, PlanPtr plan)
        : real_(std::move(real)), plan_(std::move(plan)) {}
    int Index() override {
        plan_->call("Column.Index");
        return real_->Index();
    }
    void Select() override {
        plan_->call("Column.Select");
        real_->Select();
    }
    CellsPtr Cells() override {
        plan_->call("Column.Cells");
        return wrap(real_->Cells(), plan_);
    }
    void Delete() override {
        plan_->call("Column.Delete");
        real_->Delete();
    }

private:
    std::shared_ptr<automation::Column> real_;
    PlanPtr plan_;
};

class FaultyCells final : public automation::Cells {
public:
    FaultyCells(std::shared_ptr<automation::Cells> real, PlanPtr plan)
        : real_(std::move(real)), plan_(std::move(plan)) {}
    int Count() override {
        plan_->call("Cells.Count");
        return real_->Count();
    }
    CellPtr Item(int index) override {
        plan_->call("Cells.Item");
        return wrap(real_->Item(index), plan_);
    }
    int VerticalAlignment() override {
        plan_->call("Cells.VerticalAlignment");
        return real_->VerticalAlignment();
    }
    void SetVerticalAlignment(int alignment) override {
        plan_->call("Cells.SetVerticalAlignment");
        real_->SetVerticalAlignment(alignment);
    }

private:
    std::shared_ptr<automation::Cells> real_;
    PlanPtr plan_;
};

class FaultyCell final : public automation::Cell {
public:
    FaultyCell(std::shared_ptr<automation::Cell> real, PlanPtr plan) : real_(std::move(real)), plan_(std::move(plan)) {}
    RangePtr Range() override {
        plan_->call("Cell.Range");
        return wrap(real_->Range(), plan_);
    }
    int RowIndex() override {
        plan_->call("Cell.RowIndex");
        return real_->RowIndex();
    }
    int ColumnIndex() override {
        plan_->call("Cell.ColumnIndex");
        return real_->ColumnIndex();
    }
    void Select() override {
        plan_->call("Cell.Select");
        real_->Select();
    }
    int VerticalAlignment() override {
        plan_->call("Cell.VerticalAlignment");
        return real_->VerticalAlignment();
    }
    void SetVerticalAlignment(int alignment) override {
        plan_->call("Cell.SetVerticalAlignment");
        real_->SetVerticalAlignment(alignment);
    }
    float RightPadding() override {
        plan_->call("Cell.RightPadding");
        return real_->RightPadding();
    }
    void SetRightPadding(float points) override {
        plan_->call("Cell.SetRightPadding");
        real_->SetRightPadding(points);
    }

private:
    std::shared_ptr<automation::Cell> real_;
    PlanPtr plan_;
};

class FaultyBorders final : public automation::Borders {
public:
    FaultyBorders(std::shared_ptr<automation::Borders> real, PlanPtr plan)
        : real_(std::move(real)), plan_(std::move(plan)) {}
    BorderPtr Item(int edge) override {
        plan_->call("Borders.Item");
        return wrap(real_->Item(edge), plan_);
    }

private:
    std::shared_ptr<automation::Borders> real_;
    PlanPtr plan_;
};

class FaultyBorder final : public automation::Border {
public:
    FaultyBorder(std::shared_ptr<automation::Border> real, PlanPtr plan)
        : real_(std::move(real)), plan_(std::move(plan)) {}
    int LineStyle() override {
        plan_->call("Border.LineStyle");
        return real_->LineStyle();
    }
    void SetLineStyle(int style) override {
        plan_->call("Border.SetLineStyle");
        real_->SetLineStyle(style);
    }
    int LineWidth() override {
        plan_->call("Border.LineWidth");
        return real_->LineWidth();
    }
    void SetLineWidth(int width) override {
        plan_->call("Border.SetLineWidth");
        real_->SetLineWidth(width);
    }

private:
    std::shared_ptr<automation::Border> real_;
    PlanPtr plan_;
};

class FaultyFont final : public automation::Font {
public:
    FaultyFont(std::shared_ptr<automation::Font> real, PlanPtr plan) : real_(std::move(real)), plan_(std::move(plan)) {}
    std::string Name() override {
        plan_->call("Font.Name");
        return real_->Name();
    }
    void SetName(const std::string& name) override {
        plan_->call("Font.SetName");
        real_->SetName(name);
    }
    float Size() override {
        plan_->call("Font.Size");
        return real_->Size();
    }
    void SetSize(float points) override {
        plan_->call("Font.SetSize");
        real_->SetSize(points);
    }

private:
    std::shared_ptr<automation::Font> real_;
    PlanPtr plan_;
};

class FaultyParagraphFormat final : public automation::ParagraphFormat {
public:
    FaultyParagraphFormat(std::shared_ptr<automation::ParagraphFormat> real, PlanPtr plan)
        : real_(std::move(real)), plan_(std::move(plan)) {}
    int Alignment() override {
        plan_->call("ParagraphFormat.Alignment");
        return real_->Alignment();
    }
    void SetAlignment(int alignment) override {
        plan_->call("ParagraphFormat.SetAlignment");
        real_->SetAlignment(alignment);
    }
    float LineSpacing() override {
        plan_->call("ParagraphFormat.LineSpacing");
        return real_->LineSpacing();
    }
    void SetLineSpacing(float points) override {
        plan_->call("ParagraphFormat.SetLineSpacing");
        real_->SetLineSpacing(points);
    }
    int LineSpacingRule() override {
        plan_->call("ParagraphFormat.LineSpacingRule");
        return real_->LineSpacingRule();
    }
    void SetLineSpacingRule(int rule) override {
        plan_->call("ParagraphFormat.SetLineSpacingRule");
        real_->SetLineSpacingRule(rule);
    }
    float SpaceBefore() override {
        plan_->call("ParagraphFormat.SpaceBefore");
        return real_->SpaceBefore();
    }
    void SetSpaceBefore(float points) override {
        plan_->call("ParagraphFormat.SetSpaceBefore");
        real_->SetSpaceBefore(points);
    }
    float SpaceAfter() override {
        plan_->call("ParagraphFormat.SpaceAfter");
        return real_->SpaceAfter();
    }
    void SetSpaceAfter(float points) override {
        plan_->call("ParagraphFormat.SetSpaceAfter");
        real_->SetSpaceAfter(points);
    }
    bool SpaceBeforeAuto() override {
        plan_->call("ParagraphFormat.SpaceBeforeAuto");
        return real_->SpaceBeforeAuto();
    }
    void SetSpaceBeforeAuto(bool value) override {
        plan_->call("ParagraphFormat.SetSpaceBeforeAuto");
        real_->SetSpaceBeforeAuto(value);
    }
    bool SpaceAfterAuto() override {
        plan_->call("ParagraphFormat.SpaceAfterAuto");
        return real_->SpaceAfterAuto();
    }
    void SetSpaceAfterAuto(bool value) override {
        plan_->call("ParagraphFormat.SetSpaceAfterAuto");
        real_->SetSpaceAfterAuto(value);
    }
    float LineUnitBefore() override {
        plan_->call("ParagraphFormat.LineUnitBefore");
        return real_->LineUnitBefore();
    }
    void SetLineUnitBefore(float lines) override {
        plan_->call("ParagraphFormat.SetLineUnitBefore");
        real_->SetLineUnitBefore(lines);
    }
    float LineUnitAfter() override {
        plan_->call("ParagraphFormat.LineUnitAfter");
        return real_->LineUnitAfter();
    }
    void SetLineUnitAfter(float lines) override {
        plan_->call("ParagraphFormat.SetLineUnitAfter");
        real_->SetLineUnitAfter(lines);
    }
    bool WordWrap() override {
        plan_->call("ParagraphFormat.WordWrap");
        return real_->WordWrap();
    }
    void SetWordWrap(bool value) override {
        plan_->call("ParagraphFormat.SetWordWrap");
        real_->SetWordWrap(value);
    }
    float CharacterUnitLeftIndent() override {
        plan_->call("ParagraphFormat.CharacterUnitLeftIndent");
        return real_->CharacterUnitLeftIndent();
    }
    void SetCharacterUnitLeftIndent(float chars) override {
        plan_->call("ParagraphFormat.SetCharacterUnitLeftIndent");
        real_->SetCharacterUnitLeftIndent(chars);
    }
    float CharacterUnitRightIndent() override {
        plan_->call("ParagraphFormat.CharacterUnitRightIndent");
        return real_->CharacterUnitRightIndent();
    }
    void SetCharacterUnitRightIndent(float chars) override {
        plan_->call("ParagraphFormat.SetCharacterUnitRightIndent");
        real_->SetCharacterUnitRightIndent(chars);
    }
    float CharacterUnitFirstLineIndent() override {
        plan_->call("ParagraphFormat.CharacterUnitFirstLineIndent");
        return real_->CharacterUnitFirstLineIndent();
    }
    void SetCharacterUnitFirstLineIndent(float chars) override {
        plan_->call("ParagraphFormat.SetCharacterUnitFirstLineIndent");
        real_->SetCharacterUnitFirstLineIndent(chars);
    }
    float LeftIndent() override {
        plan_->call("ParagraphFormat.LeftIndent");
        return real_->LeftIndent();
    }
    void SetLeftIndent(float points) override {
        plan_->call("ParagraphFormat.SetLeftIndent");
        real_->SetLeftIndent(points);
    }
    float RightIndent() override {
        plan_->call("ParagraphFormat.RightIndent");
        return real_->RightIndent();
    }
    void SetRightIndent(float points) override {
        plan_->call("ParagraphFormat.SetRightIndent");
        real_->SetRightIndent(points);
    }

private:
    std::shared_ptr<automation::ParagraphFormat> real_;
    PlanPtr plan_;
};

class FaultyParagraphs final : public automation::Paragraphs {
public:
    FaultyParagraphs(std::shared_ptr<automation::Paragraphs> real, PlanPtr plan)
        : real_(std::move(real)), plan_(std::move(plan)) {}
    int Count() override {
        plan_->call("Paragraphs.Count");
        return real_->Count();
    }
    ParagraphPtr Item(int index) override {
        plan_->call("Paragraphs.Item");
        return wrap(real_->Item(index), plan_);
    }

private:
    std::shared_ptr<automation::Paragraphs> real_;
    PlanPtr plan_;
};

class FaultyParagraph final : public automation::Paragraph {
public:
    FaultyParagraph(std::shared_ptr<automation::Paragraph> real, PlanPtr plan)
        : real_(std::move(real)), plan_(std::move(plan)) {}
    RangePtr Range() override {
        plan_->call("Paragraph.Range");
        return wrap(real_->Range(), plan_);
    }
    ParagraphFormatPtr Format() override {
        plan_->call("Paragraph.Format");
        return wrap(real_->Format(), plan_);
    }

private:
    std::shared_ptr<automation::Paragraph> real_;
    PlanPtr plan_;
};

class FaultyInlineShapes final : public automation::InlineShapes {
public:
    FaultyInlineShapes(std::shared_ptr<automation::InlineShapes> real, PlanPtr plan)
        : real_(std::move(real)), plan_(std::move(plan)) {}
    int Count() override {
        plan_->call("InlineShapes.Count");
        return real_->Count();
    }
    InlineShapePtr Item(int index) override {
        plan_->call("InlineShapes.Item");
        return wrap(real_->Item(index), plan_);
    }

private:
    std::shared_ptr<automation::InlineShapes> real_;
    PlanPtr plan_;
};

class FaultyInlineShape final : public automation::InlineShape {
public:
    FaultyInlineShape(std::shared_ptr<automation::InlineShape> real, PlanPtr plan)
        : real_(std::move(real)), plan_(std::move(plan)) {}
    int Type() override {
        plan_->call("InlineShape.Type");
        return real_->Type();
    }
    OLEFormatPtr OLEFormat() override {
        plan_->call("InlineShape.OLEFormat");
        return wrap(real_->OLEFormat(), plan_);
    }
    RangePtr Range() override {
        plan_->call("InlineShape.Range");
        return wrap(real_->Range(), plan_);
    }

private:
    std::shared_ptr<automation::InlineShape> real_;
    PlanPtr plan_;
};

class FaultyOLEFormat final : public automation::OLEFormat {
public:
    FaultyOLEFormat(std::shared_ptr<automation::OLEFormat> real, PlanPtr plan)
        : real_(std::move(real)), plan_(std::move(plan)) {}
    std::string ProgID() override {
        plan_->call("OLEFormat.ProgID");
        return real_->ProgID();
    }
    void Edit() override {
        plan_->call("OLEFormat.Edit");
        real_->Edit();
        plan_->returned("OLEFormat.Edit");
    }

private:
    std::shared_ptr<automation::OLEFormat> real_;
    PlanPtr plan_;
};

class FaultyFields final : public automation::Fields {
public:
    FaultyFields(std::shared_ptr<automation::Fields> real, PlanPtr plan)
        : real_(std::move(real)), plan_(std::move(plan)) {}
    int Count() override {
        plan_->call("Fields.Count");
        return real_->Count();
    }
    FieldPtr Item(int index) override {
        plan_->call("Fields.Item");
        return wrap(real_->Item(index), plan_);
    }

private:
    std::shared_ptr<automation::Fields> real_;
    PlanPtr plan_;
};

class FaultyField final : public automation::Field {
public:
    FaultyField(std::shared_ptr<automation::Field> real, PlanPtr plan)
        : real_(std::move(real)), plan_(std::move(plan)) {}
    std::string Code() override {
        plan_->call("Field.Code");
        return real_->Code();
    }
    RangePtr Result() override {
        plan_->call("Field.Result");
        return wrap(real_->Result(), plan_);
    }
    void Unlink() override {
        plan_->call("Field.Unlink");
        real_->Unlink();
    }

private:
    std::shared_ptr<automation::Field> real_;
    PlanPtr plan_;
};

std::shared_ptr<automation::Application> wrap(std::shared_ptr<automation::Application> real, const PlanPtr& plan) {
    return real ? std::make_shared<FaultyApplication>(std::move(real), plan) : nullptr;
}

std::shared_ptr<automation::Documents> wrap(std::shared_ptr<automation::Documents> real, const PlanPtr& plan) {
    return real ? std::make_shared<FaultyDocuments>(std::move(real), plan) : nullptr;
}

std::shared_ptr<automation::Document> wrap(std::shared_ptr<automation::Document> real, const PlanPtr& plan) {
    return real ? std::make_shared<FaultyDocument>(std::move(real), plan) : nullptr;
}

std::shared_ptr<automation::Dialogs> wrap(std::shared_ptr<automation::Dialogs> real, const PlanPtr& plan) {
    return real ? std::make_shared<FaultyDialogs>(std::move(real), plan) : nullptr;
}

std::shared_ptr<automation::Dialog> wrap(std::shared_ptr<automation::Dialog> real, const PlanPtr& plan) {
    return real ? std::make_shared<FaultyDialog>(std::move(real), plan) : nullptr;
}

std::shared_ptr<automation::Range> wrap(std::shared_ptr<automation::Range> real, const PlanPtr& plan) {
    return real ? std::make_shared<FaultyRange>(std::move(real), plan) : nullptr;
}

std::shared_ptr<automation::Selection> wrap(std::shared_ptr<automation::Selection> real, const PlanPtr& plan) {
    return real ? std::make_shared<FaultySelection>(std::move(real), plan) : nullptr;
}

std::shared_ptr<automation::Find> wrap(std::shared_ptr<automation::Find> real, const PlanPtr& plan) {
    return real ? std::make_shared<FaultyFind>(std::move(real), plan) : nullptr;
}

std::shared_ptr<automation::Replacement> wrap(std::shared_ptr<automation::Replacement> real, const PlanPtr& plan) {
    return real ? std::make_shared<FaultyReplacement>(std::move(real), plan) : nullptr;
}

std::shared_ptr<automation::Tables> wrap(std::shared_ptr<automation::Tables> real, const PlanPtr& plan) {
    return real ? std::make_shared<FaultyTables>(std::move(real), plan) : nullptr;
}

std::shared_ptr<automation::Table> wrap(std::shared_ptr<automation::Table> real, const PlanPtr& plan) {
    return real ? std::make_shared<FaultyTable>(std::move(real), plan) : nullptr;
}

std::shared_ptr<automation::Rows> wrap(std::shared_ptr<automation::Rows> real, const PlanPtr& plan) {
    return real ? std::make_shared<FaultyRows>(std::move(real), plan) : nullptr;
}

std::shared_ptr<automation::Row> wrap(std::shared_ptr<automation::Row> real, const PlanPtr& plan) {
    return real ? std::make_shared<FaultyRow>(std::move(real), plan) : nullptr;
}

std::shared_ptr<automation::Columns> wrap(std::shared_ptr<automation::Columns> real, const PlanPtr& plan) {
    return real ? std::make_shared<FaultyColumns>(std::move(real), plan) : nullptr;
}

std::shared_ptr<automation::Column> wrap(std::shared_ptr<automation::Column> real, const PlanPtr& plan) {
    return real ? std::make_shared<FaultyColumn>(std::move(real), plan) : nullptr;
}

std::shared_ptr<automation::Cells> wrap(std::shared_ptr<automation::Cells> real, const PlanPtr& plan) {
    return real ? std::make_shared<FaultyCells>(std::move(real), plan) : nullptr;
}

std::shared_ptr<automation::Cell> wrap(std::shared_ptr<automation::Cell> real, const PlanPtr& plan) {
    return real ? std::make_shared<FaultyCell>(std::move(real), plan) : nullptr;
}

std::shared_ptr<automation::Borders> wrap(std::shared_ptr<automation::Borders> real, const PlanPtr& plan) {
    return real ? std::make_shared<FaultyBorders>(std::move(real), plan) : nullptr;
}

std::shared_ptr<automation::Border> wrap(std::shared_ptr<automation::Border> real, const PlanPtr& plan) {
    return real ? std::make_shared<FaultyBorder>(std::move(real), plan) : nullptr;
}

std::shared_ptr<automation::Font> wrap(std::shared_ptr<automation::Font> real, const PlanPtr& plan) {
    return real ? std::make_shared<FaultyFont>(std::move(real), plan) : nullptr;
}

std::shared_ptr<automation::ParagraphFormat> wrap(std::shared_ptr<automation::ParagraphFormat> real,
                                                  const PlanPtr& plan) {
    return real ? std::make_shared<FaultyParagraphFormat>(std::move(real), plan) : nullptr;
}

std::shared_ptr<automation::Paragraphs> wrap(std::shared_ptr<automation::Paragraphs> real, const PlanPtr& plan) {
    return real ? std::make_shared<FaultyParagraphs>(std::move(real), plan) : nullptr;
}

std::shared_ptr<automation::Paragraph> wrap(std::shared_ptr<automation::Paragraph> real, const PlanPtr& plan) {
    return real ? std::make_shared<FaultyParagraph>(std::move(real), plan) : nullptr;
}

std::shared_ptr<automation::InlineShapes> wrap(std::shared_ptr<automation::InlineShapes> real, const PlanPtr& plan) {
    return real ? std::make_shared<FaultyInlineShapes>(std::move(real), plan) : nullptr;
}

std::shared_ptr<automation::InlineShape> wrap(std::shared_ptr<automation::InlineShape> real, const PlanPtr& plan) {
    return real ? std::make_shared<FaultyInlineShape>(std::move(real), plan) : nullptr;
}

std::shared_ptr<automation::OLEFormat> wrap(std::shared_ptr<automation::OLEFormat> real, const PlanPtr& plan) {
    return real ? std::make_shared<FaultyOLEFormat>(std::move(real), plan) : nullptr;
}

std::shared_ptr<automation::Fields> wrap(std::shared_ptr<automation::Fields> real, const PlanPtr& plan) {
    return real ? std::make_shared<FaultyFields>(std::move(real), plan) : nullptr;
}

std::shared_ptr<automation::Field> wrap(std::shared_ptr<automation::Field> real, const PlanPtr& plan) {
    return real ? std::make_shared<FaultyField>(std::move(real), plan) : nullptr;
}

}  // namespace

std::shared_ptr<automation::Application> faultyWord(std::shared_ptr<automation::Application> real,
                                                    std::shared_ptr<FaultPlan> plan) {
    return wrap(std::move(real), plan);
}

}  // namespace gwtest
