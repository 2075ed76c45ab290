// Excel's objects over IDispatch, as late-bound Excel macros reach them: properties with PROPERTYGET
// (parameterised ones such as Worksheets.Item and Columns("A:Z") too), actions with METHOD.
#include "automation/com/excel_application.h"

#include "automation/com/com_error.h"
#include "automation/com/com_object.h"
#include "automation/com/message_filter.h"

namespace automation::com {

namespace {

// Excel's objects are cached under their own type names: Excel's Application is not Word's.
#define GW_EXCEL_TYPE(Name) GW_COM_OBJECT(Excel##Name, "Excel." #Name)

class ExcelRange final : public ComObject<excel::Range> {
public:
    GW_EXCEL_TYPE(Range)
    std::string Address() override { return d_.getString("Address"); }
    excel::RangePtr EntireColumn() override { return get<ExcelRange>("EntireColumn"); }
    void AutoFit() override { d_.call("AutoFit"); }
    double ColumnWidth() override { return d_.getDouble("ColumnWidth"); }
    void Copy() override { d_.call("Copy", {Omitted{}}); }
};

class ExcelWorksheet final : public ComObject<excel::Worksheet> {
public:
    GW_EXCEL_TYPE(Worksheet)
    std::string Name() override { return d_.getString("Name"); }
    excel::RangePtr UsedRange() override { return get<ExcelRange>("UsedRange"); }
    excel::RangePtr Columns(const std::string& address) override { return get<ExcelRange>("Columns", {address}); }
};

class ExcelWorksheets final : public ComObject<excel::Worksheets> {
public:
    GW_EXCEL_TYPE(Worksheets)
    int Count() override { return d_.getInt("Count"); }
    excel::WorksheetPtr Item(int index) override { return get<ExcelWorksheet>("Item", {index}); }
};

class ExcelWorkbook final : public ComObject<excel::Workbook> {
public:
    GW_EXCEL_TYPE(Workbook)
    std::string Name() override { return d_.getString("Name"); }
    excel::WorksheetsPtr Worksheets() override { return get<ExcelWorksheets>("Worksheets"); }
};

class ExcelWorkbooks final : public ComObject<excel::Workbooks> {
public:
    GW_EXCEL_TYPE(Workbooks)
    int Count() override { return d_.getInt("Count"); }
    excel::WorkbookPtr Item(int index) override { return get<ExcelWorkbook>("Item", {index}); }
    excel::WorkbookPtr Open(const std::string& fileName) override { return call<ExcelWorkbook>("Open", {fileName}); }
};

class ExcelApplication final : public ComObject<excel::Application> {
public:
    GW_EXCEL_TYPE(Application)
    bool Visible() override { return d_.getBool("Visible"); }
    void SetVisible(bool visible) override { d_.put("Visible", visible); }
    excel::WorkbookPtr ActiveWorkbook() override { return get<ExcelWorkbook>("ActiveWorkbook"); }
    excel::WorkbooksPtr Workbooks() override { return get<ExcelWorkbooks>("Workbooks"); }
};

#undef GW_EXCEL_TYPE

CLSID excelClass() {
    CLSID excel{};
    if (FAILED(CLSIDFromProgID(L"Excel.Application", &excel))) throw errors::cannotCreateObject();
    return excel;
}

class ComExcelLauncher final : public excel::Launcher {
public:
    excel::ApplicationPtr attachRunning() override {
        enterApartment();
        IUnknown* running = nullptr;
        if (FAILED(GetActiveObject(excelClass(), nullptr, &running))) throw errors::cannotCreateObject();
        IDispatch* application = nullptr;
        const HRESULT hr = running->QueryInterface(IID_IDispatch, reinterpret_cast<void**>(&application));
        running->Release();
        if (FAILED(hr)) throw errors::cannotCreateObject();
        return std::make_shared<ExcelApplication>(application);
    }

    excel::ApplicationPtr createNew() override {
        enterApartment();
        IDispatch* application = nullptr;
        if (FAILED(CoCreateInstance(excelClass(), nullptr, CLSCTX_LOCAL_SERVER, IID_IDispatch,
                                    reinterpret_cast<void**>(&application))))
            throw errors::cannotCreateObject();
        return std::make_shared<ExcelApplication>(application);
    }
};

}  // namespace

std::shared_ptr<excel::Launcher> createExcelLauncher() { return std::make_shared<ComExcelLauncher>(); }

}  // namespace automation::com
