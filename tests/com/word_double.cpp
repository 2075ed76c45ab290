#include "word_double.h"

#include <algorithm>
#include <atomic>
#include <sstream>
#include <stdexcept>

#include "automation/com/dispatch.h"
#include "automation/com/message_filter.h"

namespace comtest {

namespace {

// Word's members as the program uses them: per object type, "Member kinds[:ResultType]" with G for a
// property get, P for a property put, M for a method.
const std::map<std::string, std::string>& objectModel() {
    static const std::map<std::string, std::string> model = {
        {"Application",
         "Visible GP|Activate M|Documents G:Documents|ActiveDocument G:Document|Selection G:Selection|"
         "Dialogs G:Dialogs|DisplayAlerts GP|Quit M|UndoRecord G:UndoRecord"},
        {"UndoRecord", "StartCustomRecord M|EndCustomRecord M|IsRecordingCustomRecord G"},
        {"Documents", "Count G|Item M:Document|Open M:Document"},
        {"Document",
         "FullName G|Range M:Range|Content G:Range|Tables G:Tables|Paragraphs G:Paragraphs|"
         "Fields G:Fields|InlineShapes G:InlineShapes|Saved G|Save M|SaveAs M|SaveFormat G|UndoClear M|"
         "Close M"},
        {"Dialogs", "Item M:Dialog"},
        {"Dialog", "Show M"},
        {"Range",
         "Start G|End G|Text G|Tables G:Tables|Font G:Font|ParagraphFormat G:ParagraphFormat|Find G:Find|"
         "Paragraphs G:Paragraphs|Select M"},
        {"Selection",
         "Start G|End G|Text G|Tables G:Tables|Font G:Font|ParagraphFormat G:ParagraphFormat|"
         "Find G:Find|Paragraphs G:Paragraphs|Rows G:Rows|Cells G:Cells|Columns G:Columns|"
         "Borders G:Borders|Range G:Range|PasteAndFormat M"},
        {"Find",
         "ClearFormatting M|Text GP|Replacement G:Replacement|Format GP|MatchCase GP|MatchWholeWord GP|"
         "MatchWildcards GP|Wrap GP|Forward GP|Execute M"},
        {"Replacement", "ClearFormatting M|Text GP"},
        {"Tables", "Count G|Item M:Table"},
        {"Table",
         "Select M|Range G:Range|Cell M:Cell|Rows G:Rows|Columns G:Columns|Tables G:Tables|"
         "Borders G:Borders|PreferredWidthType GP|PreferredWidth GP|AllowAutoFit GP|AutoFitBehavior M|"
         "Delete M"},
        {"Rows", "Count G|Item M:Row|HeightRule GP|Height GP|HeadingFormat GP|LeftIndent GP|Delete M"},
        {"Row", "Index G|Select M|Range G:Range|Cells G:Cells|Delete M"},
        {"Columns", "Count G|Item M:Column"},
        {"Column", "Index G|Select M|Cells G:Cells|Delete M"},
        {"Cells", "Count G|Item M:Cell|VerticalAlignment GP"},
        {"Cell", "Range G:Range|RowIndex G|ColumnIndex G|Select M|VerticalAlignment GP|RightPadding GP"},
        {"Borders", "Item M:Border"},
        {"Border", "LineStyle GP|LineWidth GP"},
        {"Font", "Name GP|Size GP"},
        {"ParagraphFormat",
         "Alignment GP|LineSpacing GP|LineSpacingRule GP|SpaceBefore GP|SpaceAfter GP|"
         "SpaceBeforeAuto GP|SpaceAfterAuto GP|LineUnitBefore GP|LineUnitAfter GP|WordWrap GP|"
         "CharacterUnitLeftIndent GP|CharacterUnitRightIndent GP|"
         "CharacterUnitFirstLineIndent GP|LeftIndent GP|RightIndent GP"},
        {"Paragraphs", "Count G|Item M:Paragraph"},
        {"Paragraph", "Range G:Range|Format G:ParagraphFormat"},
        {"InlineShapes", "Count G|Item M:InlineShape"},
        {"InlineShape", "Type G|OLEFormat G:OLEFormat|Range G:Range"},
        {"OLEFormat", "ProgID G|Edit M"},
        {"Fields", "Count G|Item M:Field"},
        {"Field", "Code G:Range|Result G:Range|Unlink M"},
        // Excel, as late-bound macros reach it.
        {"Excel.Application", "Visible GP|ActiveWorkbook G:Excel.Workbook|Workbooks G:Excel.Workbooks"},
        {"Excel.Workbooks", "Count G|Item G:Excel.Workbook|Open M:Excel.Workbook"},
        {"Excel.Workbook", "Name G|Worksheets G:Excel.Worksheets"},
        {"Excel.Worksheets", "Count G|Item G:Excel.Worksheet"},
        {"Excel.Worksheet", "Name G|UsedRange G:Excel.Range|Columns G:Excel.Range"},
        {"Excel.Range", "Address G|EntireColumn G:Excel.Range|AutoFit M|ColumnWidth G|Copy M"},
    };
    return model;
}

struct MemberInfo {
    bool known = false;
    std::string kinds;
    std::string resultType;
};

MemberInfo memberInfo(const std::string& type, const std::string& member) {
    const auto found = objectModel().find(type);
    if (found == objectModel().end()) return {};
    std::istringstream list(found->second);
    std::string entry;
    while (std::getline(list, entry, '|')) {
        const auto space = entry.find(' ');
        if (entry.substr(0, space) != member) continue;
        MemberInfo info{true, entry.substr(space + 1), ""};
        if (const auto colon = info.kinds.find(':'); colon != std::string::npos) {
            info.resultType = info.kinds.substr(colon + 1);
            info.kinds.resize(colon);
        }
        return info;
    }
    return {};
}

const char* kindName(WORD kind) {
    switch (kind) {
        case DISPATCH_PROPERTYGET: return "GET";
        case DISPATCH_PROPERTYPUT: return "PUT";
        case DISPATCH_METHOD: return "METHOD";
        default: return "MIXED";
    }
}

char kindLetter(WORD kind) { return kind == DISPATCH_PROPERTYGET ? 'G' : kind == DISPATCH_PROPERTYPUT ? 'P' : 'M'; }

std::string describe(const VARIANT& value) {
    std::ostringstream text;
    switch (value.vt) {
        case VT_I4: text << "I4 " << value.lVal; break;
        case VT_R4: text << "R4 " << value.fltVal; break;
        case VT_BOOL: text << "BOOL " << value.boolVal; break;
        case VT_BSTR: text << "BSTR " << automation::com::utf8FromBstr(value.bstrVal); break;
        case VT_ERROR: text << (value.scode == DISP_E_PARAMNOTFOUND ? "missing" : "ERROR"); break;
        default: text << "VT " << value.vt; break;
    }
    return text.str();
}

class DoubleObject final : public IDispatch {
public:
    DoubleObject(WordDouble& server, std::string type) : server_(server), type_(std::move(type)) { server_.created(); }

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override {
        if (iid == IID_IUnknown || iid == IID_IDispatch) {
            *object = static_cast<IDispatch*>(this);
            AddRef();
            return S_OK;
        }
        *object = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return static_cast<ULONG>(++references_); }
    ULONG STDMETHODCALLTYPE Release() override {
        const long left = --references_;
        if (left == 0) server_.destroyed();
        if (left < 0) server_.overReleased();
        // Kept alive so that a release too many is counted instead of touching freed memory.
        return static_cast<ULONG>(left < 0 ? 0 : left);
    }
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override {
        *count = 0;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR* names, UINT count, LCID, DISPID* ids) override {
        server_.lookedUp();
        HRESULT result = S_OK;
        for (UINT i = 0; i < count; ++i) {
            const std::string name = automation::com::utf8FromWide(names[i], wcslen(names[i]));
            if (memberInfo(type_, name).known && server_.has(type_, name)) {
                ids[i] = idOfName(names[i]);
            } else {
                ids[i] = DISPID_UNKNOWN;
                result = DISP_E_UNKNOWNNAME;
            }
        }
        return result;
    }
    HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID, LCID, WORD kind, DISPPARAMS* params, VARIANT* result,
                                     EXCEPINFO* info, UINT*) override {
        return server_.invoke(type_, nameOf(id), kind, params, result, info);
    }

private:
    static std::string nameOf(DISPID id);

    WordDouble& server_;
    std::string type_;
    std::atomic<long> references_{1};
};

std::map<std::wstring, DISPID>& names() {
    static std::map<std::wstring, DISPID> table;
    return table;
}

std::string DoubleObject::nameOf(DISPID id) {
    for (const auto& [name, known] : names())
        if (known == id) return automation::com::utf8FromWide(name.data(), name.size());
    return "?";
}

// The double that the registered class factory currently serves.
WordDouble* installed = nullptr;

class Factory final : public IClassFactory {
public:
    Factory(const char* root, const char* progId) : root_(root), progId_(progId) {}
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override {
        if (iid == IID_IUnknown || iid == IID_IClassFactory) {
            *object = static_cast<IClassFactory*>(this);
            return S_OK;
        }
        *object = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return 2; }
    ULONG STDMETHODCALLTYPE Release() override { return 1; }
    HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown* outer, REFIID iid, void** object) override {
        *object = nullptr;
        if (outer != nullptr) return CLASS_E_NOAGGREGATION;
        if (installed == nullptr) return CO_E_SERVER_EXEC_FAILURE;
        installed->createdAs(progId_);
        IDispatch* application = installed->newObject(root_);
        const HRESULT hr = application->QueryInterface(iid, object);
        application->Release();
        return hr;
    }
    HRESULT STDMETHODCALLTYPE LockServer(BOOL) override { return S_OK; }

private:
    const char* root_;
    const char* progId_;
};

// The double's own classes, never Word's, WPS's or Excel's.
const CLSID kWordClass = {0x6a0c3b7e, 0x5e0b, 0x4c4b, {0x9d, 0x4b, 0x2a, 0x1f, 0x0c, 0x9e, 0x7d, 0x11}};
const CLSID kExcelClass = {0x6a0c3b7e, 0x5e0b, 0x4c4b, {0x9d, 0x4b, 0x2a, 0x1f, 0x0c, 0x9e, 0x7d, 0x12}};
const CLSID kKwpsClass = {0x6a0c3b7e, 0x5e0b, 0x4c4b, {0x9d, 0x4b, 0x2a, 0x1f, 0x0c, 0x9e, 0x7d, 0x13}};
const CLSID kWpsClass = {0x6a0c3b7e, 0x5e0b, 0x4c4b, {0x9d, 0x4b, 0x2a, 0x1f, 0x0c, 0x9e, 0x7d, 0x14}};

struct WordServer {
    const char* progId;
    const CLSID* clsid;
};
const WordServer kWordServers[] = {
    {"Word.Application", &kWordClass}, {"KWPS.Application", &kKwpsClass}, {"WPS.Application", &kWpsClass}};

void setKey(HKEY root, const std::wstring& path, const std::wstring& value) {
    HKEY key = nullptr;
    if (RegCreateKeyExW(root, path.c_str(), 0, nullptr, 0, KEY_WRITE, nullptr, &key, nullptr) != ERROR_SUCCESS)
        throw std::runtime_error("cannot write the registry");
    RegSetValueExW(key, nullptr, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                   static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t)));
    RegCloseKey(key);
}

}  // namespace

DISPID idOfName(const std::wstring& name) {
    auto& table = names();
    const auto found = table.find(name);
    if (found != table.end()) return found->second;
    const DISPID id = static_cast<DISPID>(table.size()) + 100;
    table.emplace(name, id);
    return id;
}

namespace {

std::wstring clsidText(const CLSID& clsid) {
    wchar_t text[64];
    StringFromGUID2(clsid, text, 64);
    return text;
}

// Writes progId -> clsid per user, as an installer without administrator rights would; Wine's class
// root does not merge the user's classes, so there it goes to the machine's too.
void registerProgId(const CLSID& clsid, const std::wstring& progId) {
    const std::wstring text = clsidText(clsid);
    setKey(HKEY_CURRENT_USER, L"Software\\Classes\\" + progId + L"\\CLSID", text);
    setKey(HKEY_CURRENT_USER, L"Software\\Classes\\CLSID\\" + text + L"\\ProgID", progId);
    CLSID found{};
    if (FAILED(CLSIDFromProgID(progId.c_str(), &found))) {
        setKey(HKEY_CLASSES_ROOT, progId + L"\\CLSID", text);
        setKey(HKEY_CLASSES_ROOT, L"CLSID\\" + text + L"\\ProgID", progId);
    }
}

void unregisterProgId(const std::wstring& progId) {
    RegDeleteTreeW(HKEY_CURRENT_USER, (L"Software\\Classes\\" + progId).c_str());
    RegDeleteTreeW(HKEY_CLASSES_ROOT, progId.c_str());
}

void registerClassObject(const CLSID& clsid, IClassFactory* factory) {
    DWORD cookie = 0;
    const HRESULT hr = CoRegisterClassObject(clsid, factory, CLSCTX_LOCAL_SERVER, REGCLS_MULTIPLEUSE, &cookie);
    if (FAILED(hr)) throw std::runtime_error("CoRegisterClassObject failed: " + std::to_string(hr));
}

}  // namespace

void registerWordServer() {
    static bool registered = false;
    if (registered) return;
    automation::com::enterApartment();
    static Factory word("Application", "Word.Application");
    static Factory kwps("Application", "KWPS.Application");
    static Factory wps("Application", "WPS.Application");
    static Factory excel("Excel.Application", "Excel.Application");
    registerClassObject(kWordClass, &word);
    registerClassObject(kKwpsClass, &kwps);
    registerClassObject(kWpsClass, &wps);
    registerClassObject(kExcelClass, &excel);
    registerProgId(kExcelClass, L"Excel.Application");
    registered = true;
}

WordDouble::WordDouble() = default;

WordDouble::~WordDouble() {
    stopExcel();
    if (installed == this) installed = nullptr;
}

void WordDouble::runExcel() {
    if (runningExcel_ != 0) return;
    IDispatch* excel = newObject("Excel.Application");
    const HRESULT hr = RegisterActiveObject(excel, kExcelClass, ACTIVEOBJECT_STRONG, &runningExcel_);
    excel->Release();
    if (FAILED(hr)) throw std::runtime_error("RegisterActiveObject failed: " + std::to_string(hr));
}

void WordDouble::stopExcel() {
    if (runningExcel_ == 0) return;
    RevokeActiveObject(runningExcel_, nullptr);
    runningExcel_ = 0;
}

void WordDouble::install(const std::vector<std::string>& wordProgIds) {
    registerWordServer();
    for (const WordServer& server : kWordServers) {
        const std::wstring progId = automation::com::wideFromUtf8(server.progId);
        if (std::find(wordProgIds.begin(), wordProgIds.end(), server.progId) != wordProgIds.end())
            registerProgId(*server.clsid, progId);
        else
            unregisterProgId(progId);
    }
    installed = this;
}

bool WordDouble::has(const std::string& type, const std::string& member) const {
    return std::find(missing_.begin(), missing_.end(), type + "." + member) == missing_.end();
}

void WordDouble::uninstall() {
    if (installed == this) installed = nullptr;
}

std::vector<std::string> WordDouble::members() const {
    std::vector<std::string> list;
    for (const std::string& call : calls_) list.push_back(call.substr(0, call.find('(')));
    return list;
}

void WordDouble::returnInt(const std::string& member, int value) {
    on(member, answers([value](VARIANT* result) {
           result->vt = VT_I4;
           result->lVal = value;
       }));
}

void WordDouble::returnString(const std::string& member, const std::string& value) {
    on(member, answers([value](VARIANT* result) {
           const std::wstring wide = automation::com::wideFromUtf8(value);
           result->vt = VT_BSTR;
           result->bstrVal = SysAllocStringLen(wide.data(), static_cast<UINT>(wide.size()));
       }));
}

IDispatch* WordDouble::newObject(const std::string& type) { return new DoubleObject(*this, type); }

HRESULT WordDouble::invoke(const std::string& type, const std::string& member, WORD kind, DISPPARAMS* params,
                           VARIANT* result, EXCEPINFO* info) {
    const std::string name = type + "." + member;
    std::string call = name + " " + kindName(kind) + "(";
    // Arguments arrive last to first; logged in the caller's order.
    for (UINT i = params->cArgs; i-- > 0;) call += describe(params->rgvarg[i]) + (i > 0 ? ", " : "");
    calls_.push_back(call + ")");

    const MemberInfo info_ = memberInfo(type, member);
    if (!info_.known || !has(type, member) || info_.kinds.find(kindLetter(kind)) == std::string::npos)
        return DISP_E_MEMBERNOTFOUND;
    if (kind == DISPATCH_PROPERTYPUT && (params->cNamedArgs != 1 || params->rgdispidNamedArgs[0] != DISPID_PROPERTYPUT))
        return DISP_E_PARAMNOTOPTIONAL;

    const int n = ++counts_[name];
    Rule* rule = nullptr;
    for (Rule& candidate : rules_[name])
        if (n >= candidate.fromCall) rule = &candidate;
    if (rule != nullptr && rule->busyTimes > 0) {
        rule->busyTimes--;
        calls_.pop_back();  // a refused call did not happen; the retry logs it
        --counts_[name];
        return RPC_E_SERVERCALL_RETRYLATER;
    }
    if (rule != nullptr && rule->failure != S_OK) return rule->failure;
    if (rule != nullptr && rule->wordError != 0) {
        info->wCode = 0;
        info->scode = MAKE_HRESULT(SEVERITY_ERROR, FACILITY_CONTROL, rule->wordError);
        info->bstrSource = SysAllocString(L"Microsoft Word");
        info->bstrDescription = SysAllocString(L"无法访问此集合中单独的行，因为表格有纵向合并的单元格。");
        return DISP_E_EXCEPTION;
    }
    if (result == nullptr) return S_OK;
    if (rule != nullptr && rule->value) {
        rule->value(result);
    } else if (!info_.resultType.empty()) {
        result->vt = VT_DISPATCH;
        result->pdispVal = newObject(info_.resultType);
    } else {
        result->vt = VT_I4;
        result->lVal = 0;
    }
    return S_OK;
}

}  // namespace comtest
