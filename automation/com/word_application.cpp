// Every object of automation/word.h over IDispatch. Each handle owns one reference to its Word object;
// member names are Word's own, properties are read with PROPERTYGET and written with PROPERTYPUT,
// everything else is a METHOD call.
#include "automation/com/word_application.h"

#include <atomic>
#include <utility>

#include "automation/com/com_error.h"
#include "automation/com/com_object.h"
#include "automation/com/dispatch.h"
#include "automation/com/message_filter.h"

namespace automation::com {

namespace {

// Word resolves a relative path against its own current folder, not this program's.
std::string absolutePath(const std::string& path) {
    const std::wstring wide = wideFromUtf8(path);
    const DWORD size = GetFullPathNameW(wide.c_str(), 0, nullptr, nullptr);
    if (size == 0) return path;
    std::wstring full(size, L'\0');
    const DWORD length = GetFullPathNameW(wide.c_str(), size, full.data(), nullptr);
    return length == 0 || length >= size ? path : utf8FromWide(full.data(), length);
}

#define GW_COM_TYPE(Name) GW_COM_OBJECT(Com##Name, #Name)

class ComApplication;
class ComDocuments;
class ComDocument;
class ComDialogs;
class ComDialog;
class ComSelection;
class ComRange;
class ComFind;
class ComReplacement;
class ComTables;
class ComTable;
class ComRows;
class ComRow;
class ComColumns;
class ComColumn;
class ComCells;
class ComCell;
class ComBorders;
class ComBorder;
class ComFont;
class ComParagraphFormat;
class ComParagraphs;
class ComParagraph;
class ComInlineShapes;
class ComInlineShape;
class ComOLEFormat;
class ComFields;
class ComField;

class ComFont final : public ComObject<Font> {
public:
    GW_COM_TYPE(Font)
    std::string Name() override { return d_.getString("Name"); }
    void SetName(const std::string& name) override { d_.put("Name", name); }
    float Size() override { return d_.getFloat("Size"); }
    void SetSize(float points) override { d_.put("Size", points); }
};

class ComParagraphFormat final : public ComObject<ParagraphFormat> {
public:
    GW_COM_TYPE(ParagraphFormat)
    int Alignment() override { return d_.getInt("Alignment"); }
    void SetAlignment(int alignment) override { d_.put("Alignment", alignment); }
    float LineSpacing() override { return d_.getFloat("LineSpacing"); }
    void SetLineSpacing(float points) override { d_.put("LineSpacing", points); }
    int LineSpacingRule() override { return d_.getInt("LineSpacingRule"); }
    void SetLineSpacingRule(int rule) override { d_.put("LineSpacingRule", rule); }
    float SpaceBefore() override { return d_.getFloat("SpaceBefore"); }
    void SetSpaceBefore(float points) override { d_.put("SpaceBefore", points); }
    float SpaceAfter() override { return d_.getFloat("SpaceAfter"); }
    void SetSpaceAfter(float points) override { d_.put("SpaceAfter", points); }
    bool SpaceBeforeAuto() override { return d_.getBool("SpaceBeforeAuto"); }
    void SetSpaceBeforeAuto(bool value) override { d_.put("SpaceBeforeAuto", value); }
    bool SpaceAfterAuto() override { return d_.getBool("SpaceAfterAuto"); }
    void SetSpaceAfterAuto(bool value) override { d_.put("SpaceAfterAuto", value); }
    float LineUnitBefore() override { return d_.getFloat("LineUnitBefore"); }
    void SetLineUnitBefore(float lines) override { d_.put("LineUnitBefore", lines); }
    float LineUnitAfter() override { return d_.getFloat("LineUnitAfter"); }
    void SetLineUnitAfter(float lines) override { d_.put("LineUnitAfter", lines); }
    bool WordWrap() override { return d_.getBool("WordWrap"); }
    void SetWordWrap(bool value) override { d_.put("WordWrap", value); }
    float CharacterUnitLeftIndent() override { return d_.getFloat("CharacterUnitLeftIndent"); }
    void SetCharacterUnitLeftIndent(float chars) override { d_.put("CharacterUnitLeftIndent", chars); }
    float CharacterUnitRightIndent() override { return d_.getFloat("CharacterUnitRightIndent"); }
    void SetCharacterUnitRightIndent(float chars) override { d_.put("CharacterUnitRightIndent", chars); }
    float CharacterUnitFirstLineIndent() override { return d_.getFloat("CharacterUnitFirstLineIndent"); }
    void SetCharacterUnitFirstLineIndent(float chars) override { d_.put("CharacterUnitFirstLineIndent", chars); }
    float LeftIndent() override { return d_.getFloat("LeftIndent"); }
    void SetLeftIndent(float points) override { d_.put("LeftIndent", points); }
    float RightIndent() override { return d_.getFloat("RightIndent"); }
    void SetRightIndent(float points) override { d_.put("RightIndent", points); }
};

class ComReplacement final : public ComObject<Replacement> {
public:
    GW_COM_TYPE(Replacement)
    void ClearFormatting() override { d_.call("ClearFormatting"); }
    std::string Text() override { return d_.getString("Text"); }
    void SetText(const std::string& text) override { d_.put("Text", text); }
};

class ComFind final : public ComObject<Find> {
public:
    GW_COM_TYPE(Find)
    void ClearFormatting() override { d_.call("ClearFormatting"); }
    std::string Text() override { return d_.getString("Text"); }
    void SetText(const std::string& text) override { d_.put("Text", text); }
    ReplacementPtr Replacement() override { return get<ComReplacement>("Replacement"); }
    bool Format() override { return d_.getBool("Format"); }
    void SetFormat(bool value) override { d_.put("Format", value); }
    bool MatchCase() override { return d_.getBool("MatchCase"); }
    void SetMatchCase(bool value) override { d_.put("MatchCase", value); }
    bool MatchWholeWord() override { return d_.getBool("MatchWholeWord"); }
    void SetMatchWholeWord(bool value) override { d_.put("MatchWholeWord", value); }
    bool MatchWildcards() override { return d_.getBool("MatchWildcards"); }
    void SetMatchWildcards(bool value) override { d_.put("MatchWildcards", value); }
    int Wrap() override { return d_.getInt("Wrap"); }
    void SetWrap(int value) override { d_.put("Wrap", value); }
    bool Forward() override { return d_.getBool("Forward"); }
    void SetForward(bool value) override { d_.put("Forward", value); }
    bool Execute(const FindExecuteArgs& a) override {
        Result found;
        d_.call("Execute", found,
                {optionalArg(a.FindText), optionalArg(a.MatchCase), optionalArg(a.MatchWholeWord),
                 optionalArg(a.MatchWildcards), optionalArg(a.MatchSoundsLike), optionalArg(a.MatchAllWordForms),
                 optionalArg(a.Forward), optionalArg(a.Wrap), optionalArg(a.Format), optionalArg(a.ReplaceWith),
                 optionalArg(a.Replace), optionalArg(a.MatchKashida), optionalArg(a.MatchDiacritics),
                 optionalArg(a.MatchAlefHamza), optionalArg(a.MatchControl)});
        return found.toBool();
    }
};

class ComBorder final : public ComObject<Border> {
public:
    GW_COM_TYPE(Border)
    int LineStyle() override { return d_.getInt("LineStyle"); }
    void SetLineStyle(int style) override { d_.put("LineStyle", style); }
    int LineWidth() override { return d_.getInt("LineWidth"); }
    void SetLineWidth(int width) override { d_.put("LineWidth", width); }
};

class ComBorders final : public ComObject<Borders> {
public:
    GW_COM_TYPE(Borders)
    BorderPtr Item(int edge) override { return call<ComBorder>("Item", {edge}); }
};

// Members a Range and the Selection share.
template <class Interface>
class ComSpan : public ComObject<Interface> {
public:
    using ComObject<Interface>::ComObject;
    int Start() override { return this->d_.getInt("Start"); }
    int End() override { return this->d_.getInt("End"); }
    std::string Text() override { return this->d_.getString("Text"); }
    TablesPtr Tables() override { return this->template get<ComTables>("Tables"); }
    FontPtr Font() override { return this->template get<ComFont>("Font"); }
    ParagraphFormatPtr ParagraphFormat() override { return this->template get<ComParagraphFormat>("ParagraphFormat"); }
    FindPtr Find() override { return this->template get<ComFind>("Find"); }
    ParagraphsPtr Paragraphs() override { return this->template get<ComParagraphs>("Paragraphs"); }
};

class ComRange final : public ComSpan<Range> {
public:
    static ObjectType& type() {
        static ObjectType instance("Range");
        return instance;
    }
    explicit ComRange(IDispatch* owned) : ComSpan(owned, type()) {}
    void Select() override { d_.call("Select"); }
};

class ComParagraph final : public ComObject<Paragraph> {
public:
    GW_COM_TYPE(Paragraph)
    RangePtr Range() override { return get<ComRange>("Range"); }
    ParagraphFormatPtr Format() override { return get<ComParagraphFormat>("Format"); }
};

class ComParagraphs final : public ComObject<Paragraphs> {
public:
    GW_COM_TYPE(Paragraphs)
    int Count() override { return d_.getInt("Count"); }
    ParagraphPtr Item(int index) override { return call<ComParagraph>("Item", {index}); }
};

class ComCell final : public ComObject<Cell> {
public:
    GW_COM_TYPE(Cell)
    RangePtr Range() override { return get<ComRange>("Range"); }
    int RowIndex() override { return d_.getInt("RowIndex"); }
    int ColumnIndex() override { return d_.getInt("ColumnIndex"); }
    void Select() override { d_.call("Select"); }
    int VerticalAlignment() override { return d_.getInt("VerticalAlignment"); }
    void SetVerticalAlignment(int alignment) override { d_.put("VerticalAlignment", alignment); }
    float RightPadding() override { return d_.getFloat("RightPadding"); }
    void SetRightPadding(float points) override { d_.put("RightPadding", points); }
};

class ComCells final : public ComObject<Cells> {
public:
    GW_COM_TYPE(Cells)
    int Count() override { return d_.getInt("Count"); }
    CellPtr Item(int index) override { return call<ComCell>("Item", {index}); }
    int VerticalAlignment() override { return d_.getInt("VerticalAlignment"); }
    void SetVerticalAlignment(int alignment) override { d_.put("VerticalAlignment", alignment); }
};

class ComRow final : public ComObject<Row> {
public:
    GW_COM_TYPE(Row)
    int Index() override { return d_.getInt("Index"); }
    void Select() override { d_.call("Select"); }
    RangePtr Range() override { return get<ComRange>("Range"); }
    CellsPtr Cells() override { return get<ComCells>("Cells"); }
    void Delete() override { d_.call("Delete"); }
};

class ComRows final : public ComObject<Rows> {
public:
    GW_COM_TYPE(Rows)
    int Count() override { return d_.getInt("Count"); }
    RowPtr Item(int index) override { return call<ComRow>("Item", {index}); }
    int HeightRule() override { return d_.getInt("HeightRule"); }
    void SetHeightRule(int rule) override { d_.put("HeightRule", rule); }
    float Height() override { return d_.getFloat("Height"); }
    void SetHeight(float points) override { d_.put("Height", points); }
    bool HeadingFormat() override { return d_.getBool("HeadingFormat"); }
    void SetHeadingFormat(bool value) override { d_.put("HeadingFormat", value); }
    float LeftIndent() override { return d_.getFloat("LeftIndent"); }
    void SetLeftIndent(float points) override { d_.put("LeftIndent", points); }
    void Delete() override { d_.call("Delete"); }
};

class ComColumn final : public ComObject<Column> {
public:
    GW_COM_TYPE(Column)
    int Index() override { return d_.getInt("Index"); }
    void Select() override { d_.call("Select"); }
    CellsPtr Cells() override { return get<ComCells>("Cells"); }
    void Delete() override { d_.call("Delete"); }
};

class ComColumns final : public ComObject<Columns> {
public:
    GW_COM_TYPE(Columns)
    int Count() override { return d_.getInt("Count"); }
    ColumnPtr Item(int index) override { return call<ComColumn>("Item", {index}); }
};

class ComTable final : public ComObject<Table> {
public:
    GW_COM_TYPE(Table)
    void Select() override { d_.call("Select"); }
    RangePtr Range() override { return get<ComRange>("Range"); }
    CellPtr Cell(int row, int column) override { return call<ComCell>("Cell", {row, column}); }
    RowsPtr Rows() override { return get<ComRows>("Rows"); }
    ColumnsPtr Columns() override { return get<ComColumns>("Columns"); }
    TablesPtr Tables() override;
    BordersPtr Borders() override { return get<ComBorders>("Borders"); }
    int PreferredWidthType() override { return d_.getInt("PreferredWidthType"); }
    void SetPreferredWidthType(int type) override { d_.put("PreferredWidthType", type); }
    float PreferredWidth() override { return d_.getFloat("PreferredWidth"); }
    void SetPreferredWidth(float value) override { d_.put("PreferredWidth", value); }
    bool AllowAutoFit() override { return d_.getBool("AllowAutoFit"); }
    void SetAllowAutoFit(bool value) override { d_.put("AllowAutoFit", value); }
    void AutoFitBehavior(int behavior) override { d_.call("AutoFitBehavior", {behavior}); }
    void Delete() override { d_.call("Delete"); }
};

class ComTables final : public ComObject<Tables> {
public:
    GW_COM_TYPE(Tables)
    int Count() override { return d_.getInt("Count"); }
    TablePtr Item(int index) override { return call<ComTable>("Item", {index}); }
};

TablesPtr ComTable::Tables() { return get<ComTables>("Tables"); }

class ComSelection final : public ComSpan<Selection> {
public:
    static ObjectType& type() {
        static ObjectType instance("Selection");
        return instance;
    }
    explicit ComSelection(IDispatch* owned) : ComSpan(owned, type()) {}
    RowsPtr Rows() override { return get<ComRows>("Rows"); }
    CellsPtr Cells() override { return get<ComCells>("Cells"); }
    ColumnsPtr Columns() override { return get<ComColumns>("Columns"); }
    BordersPtr Borders() override { return get<ComBorders>("Borders"); }
    RangePtr Range() override { return get<ComRange>("Range"); }
    void PasteAndFormat(int type) override { d_.call("PasteAndFormat", {type}); }
};

class ComOLEFormat final : public ComObject<OLEFormat> {
public:
    GW_COM_TYPE(OLEFormat)
    std::string ProgID() override { return d_.getString("ProgID"); }
    void Edit() override { d_.call("Edit"); }
};

class ComInlineShape final : public ComObject<InlineShape> {
public:
    GW_COM_TYPE(InlineShape)
    int Type() override { return d_.getInt("Type"); }
    OLEFormatPtr OLEFormat() override { return get<ComOLEFormat>("OLEFormat"); }
    RangePtr Range() override { return get<ComRange>("Range"); }
};

class ComInlineShapes final : public ComObject<InlineShapes> {
public:
    GW_COM_TYPE(InlineShapes)
    int Count() override { return d_.getInt("Count"); }
    InlineShapePtr Item(int index) override { return call<ComInlineShape>("Item", {index}); }
};

class ComField final : public ComObject<Field> {
public:
    GW_COM_TYPE(Field)
    // Word gives the code as a Range; its text is the code without the field markers.
    std::string Code() override { return get<ComRange>("Code")->Text(); }
    RangePtr Result() override { return get<ComRange>("Result"); }
    void Unlink() override { d_.call("Unlink"); }
};

class ComFields final : public ComObject<Fields> {
public:
    GW_COM_TYPE(Fields)
    int Count() override { return d_.getInt("Count"); }
    FieldPtr Item(int index) override { return call<ComField>("Item", {index}); }
};

class ComDocument final : public ComObject<Document> {
public:
    GW_COM_TYPE(Document)
    std::string FullName() override { return d_.getString("FullName"); }
    RangePtr Range(std::optional<int> start, std::optional<int> end) override {
        return call<ComRange>("Range", {optionalArg(start), optionalArg(end)});
    }
    RangePtr Content() override { return get<ComRange>("Content"); }
    TablesPtr Tables() override { return get<ComTables>("Tables"); }
    ParagraphsPtr Paragraphs() override { return get<ComParagraphs>("Paragraphs"); }
    FieldsPtr Fields() override { return get<ComFields>("Fields"); }
    InlineShapesPtr InlineShapes() override { return get<ComInlineShapes>("InlineShapes"); }
    bool Saved() override { return d_.getBool("Saved"); }
    void Save() override { d_.call("Save"); }
    // Saved in the format the document was opened in (.doc stays .doc, .rtf stays .rtf).
    void SaveAs(const std::string& path) override {
        const int format = d_.getInt("SaveFormat");
        d_.call("SaveAs", {absolutePath(path), format});
    }
    void UndoClear() override { d_.call("UndoClear"); }
    void Close(std::optional<int> saveChanges) override { d_.call("Close", {optionalArg(saveChanges)}); }
};

class ComDocuments final : public ComObject<Documents> {
public:
    GW_COM_TYPE(Documents)
    int Count() override { return d_.getInt("Count"); }
    DocumentPtr Item(int index) override { return call<ComDocument>("Item", {index}); }
    // No conversion question and no entry in Word's recent files: the program opens files for itself.
    DocumentPtr Open(const std::string& path) override {
        return call<ComDocument>("Open", {absolutePath(path), false, Omitted{}, false});
    }
};

class ComDialog final : public ComObject<Dialog> {
public:
    GW_COM_TYPE(Dialog)
    int Show() override { return callInt("Show"); }
};

class ComDialogs final : public ComObject<Dialogs> {
public:
    GW_COM_TYPE(Dialogs)
    DialogPtr Item(int which) override { return call<ComDialog>("Item", {which}); }
};

class ComApplication final : public ComObject<Application> {
public:
    GW_COM_TYPE(Application)
    bool Visible() override { return d_.getBool("Visible"); }
    void SetVisible(bool visible) override { d_.put("Visible", visible); }
    void Activate() override { d_.call("Activate"); }
    DocumentsPtr Documents() override { return get<ComDocuments>("Documents"); }
    DocumentPtr ActiveDocument() override { return get<ComDocument>("ActiveDocument"); }
    SelectionPtr Selection() override { return get<ComSelection>("Selection"); }
    DialogsPtr Dialogs() override { return get<ComDialogs>("Dialogs"); }
    int DisplayAlerts() override { return d_.getInt("DisplayAlerts"); }
    void SetDisplayAlerts(int level) override { d_.put("DisplayAlerts", level); }
    // Unsaved changes are dropped: a Word nobody sees must never wait on a save question.
    void Quit() override { d_.call("Quit", {wdDoNotSaveChanges}); }

    IDispatch* object() const { return d_.object(); }
};

#undef GW_COM_TYPE

}  // namespace

std::shared_ptr<Application> wordFromDispatch(IDispatch* application) {
    return std::make_shared<ComApplication>(application);
}

namespace {

// A new server of this ProgID, or the failure that kept it from starting.
HRESULT createServer(const char* progId, IDispatch** application) {
    CLSID server{};
    HRESULT hr = CLSIDFromProgID(wideFromUtf8(progId).c_str(), &server);
    if (SUCCEEDED(hr))
        hr = CoCreateInstance(server, nullptr, CLSCTX_LOCAL_SERVER, IID_IDispatch,
                              reinterpret_cast<void**>(application));
    return hr;
}

bool notInstalled(HRESULT hr) { return hr == CO_E_CLASSSTRING || hr == REGDB_E_CLASSNOTREG; }

}  // namespace

std::shared_ptr<Application> createWord() {
    enterApartment();
    IDispatch* application = nullptr;
    const HRESULT hr = createServer("Word.Application", &application);
    if (notInstalled(hr))
        throw Error(static_cast<long>(hr),
                    "无法启动 Word：本机没有安装 Microsoft Word，或 Word 没有注册为自动化服务器。");
    if (FAILED(hr)) {
        const Error cause = errorFromHresult(hr);
        throw Error(cause.number(), "无法启动 Word：" + cause.message());
    }
    return wordFromDispatch(application);
}

DesktopWord createDesktopWord() {
    enterApartment();
    std::string tried;
    long number = 0;
    for (const char* progId : kDesktopWordProgIds) {
        IDispatch* application = nullptr;
        const HRESULT hr = createServer(progId, &application);
        if (SUCCEEDED(hr)) return {wordFromDispatch(application), progId};
        tried +=
            std::string("\n    ") + progId + "：" + (notInstalled(hr) ? "没有安装" : errorFromHresult(hr).message());
        if (number == 0) number = notInstalled(hr) ? static_cast<long>(hr) : errorFromHresult(hr).number();
    }
    throw Error(number, "无法启动 Word，也无法启动 WPS 文字。\n已尝试的自动化服务器：" + tried +
                            "\n请安装 Microsoft Word 2007 或更高版本，或 WPS Office。");
}

IDispatch* dispatchOf(Application& word) {
    auto* com = dynamic_cast<ComApplication*>(&word);
    return com == nullptr ? nullptr : com->object();
}

namespace {

// Word's Application marshalled for the console's handler thread; the proxy it unmarshals talks to
// Word directly, so the quit does not wait for the main thread.
std::atomic<IStream*> interruptStream{nullptr};

BOOL WINAPI quitOnInterrupt(DWORD) {
    IStream* stream = interruptStream.exchange(nullptr);
    if (stream == nullptr || FAILED(CoInitializeEx(nullptr, COINIT_MULTITHREADED))) return FALSE;
    IDispatch* application = nullptr;
    if (SUCCEEDED(CoGetInterfaceAndReleaseStream(stream, IID_IDispatch, reinterpret_cast<void**>(&application)))) {
        try {
            wordFromDispatch(application)->Quit();
        } catch (const Error&) {  // Word is already gone or will not answer: nothing more to do
        }
    }
    CoUninitialize();
    return FALSE;  // the default handler ends the program
}

}  // namespace

void quitOnConsoleInterrupt(const std::shared_ptr<Application>& word) {
    IDispatch* application = word ? dispatchOf(*word) : nullptr;
    if (application == nullptr || interruptStream.load() != nullptr) return;
    IStream* stream = nullptr;
    if (FAILED(CoMarshalInterThreadInterfaceInStream(IID_IDispatch, application, &stream))) return;
    interruptStream.store(stream);
    SetConsoleCtrlHandler(quitOnInterrupt, TRUE);
}

}  // namespace automation::com
