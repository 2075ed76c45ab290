#include "automation/com/dispatch.h"

#include <vector>

#include "automation/com/com_error.h"

namespace automation::com {

std::wstring wideFromUtf8(const std::string& text) {
    if (text.empty()) return {};
    const int length = MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    std::wstring wide(static_cast<size_t>(length), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), wide.data(), length);
    return wide;
}

std::string utf8FromWide(const wchar_t* text, size_t length) {
    if (length == 0) return {};
    const int size = WideCharToMultiByte(CP_UTF8, 0, text, static_cast<int>(length), nullptr, 0, nullptr, nullptr);
    std::string utf8(static_cast<size_t>(size), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text, static_cast<int>(length), utf8.data(), size, nullptr, nullptr);
    return utf8;
}

std::string utf8FromBstr(BSTR text) { return text == nullptr ? std::string() : utf8FromWide(text, SysStringLen(text)); }

namespace {

// A VARIANT argument that frees its string when the call is over.
class ArgVariant {
public:
    explicit ArgVariant(const Arg& arg) {
        VariantInit(&value_);
        if (std::holds_alternative<Omitted>(arg)) {
            value_.vt = VT_ERROR;
            value_.scode = DISP_E_PARAMNOTFOUND;
        } else if (const int* number = std::get_if<int>(&arg)) {
            value_.vt = VT_I4;
            value_.lVal = *number;
        } else if (const float* single = std::get_if<float>(&arg)) {
            value_.vt = VT_R4;
            value_.fltVal = *single;
        } else if (const bool* flag = std::get_if<bool>(&arg)) {
            value_.vt = VT_BOOL;
            value_.boolVal = *flag ? VARIANT_TRUE : VARIANT_FALSE;
        } else {
            const std::wstring wide = wideFromUtf8(std::get<std::string>(arg));
            value_.vt = VT_BSTR;
            value_.bstrVal = SysAllocStringLen(wide.data(), static_cast<UINT>(wide.size()));
        }
    }
    ArgVariant(ArgVariant&& other) noexcept : value_(other.value_) { VariantInit(&other.value_); }
    ArgVariant(const ArgVariant&) = delete;
    ~ArgVariant() { VariantClear(&value_); }
    const VARIANT& value() const { return value_; }

private:
    VARIANT value_;
};

// A result converted to the type the caller expects; a value Word cannot give as that type is a type mismatch.
void convert(VARIANT* value, VARTYPE type) {
    const HRESULT hr = VariantChangeType(value, value, 0, type);
    if (FAILED(hr)) throw errorFromHresult(hr);
}

}  // namespace

int Result::toInt() {
    convert(&value_, VT_I4);
    return value_.lVal;
}

float Result::toFloat() {
    convert(&value_, VT_R4);
    return value_.fltVal;
}

double Result::toDouble() {
    convert(&value_, VT_R8);
    return value_.dblVal;
}

bool Result::toBool() {
    // Word gives some flags as Long (True -1, False 0, wdUndefined), so anything non-zero is true.
    convert(&value_, VT_I4);
    return value_.lVal != 0;
}

std::string Result::toString() {
    if (value_.vt == VT_EMPTY || value_.vt == VT_NULL) return {};
    convert(&value_, VT_BSTR);
    return utf8FromBstr(value_.bstrVal);
}

IDispatch* Result::takeDispatch() {
    IDispatch* object = nullptr;
    if (value_.vt == VT_DISPATCH && value_.pdispVal != nullptr) {
        object = value_.pdispVal;
        value_.vt = VT_EMPTY;  // the reference moves to the caller
    } else if (value_.vt == VT_UNKNOWN && value_.punkVal != nullptr) {
        const HRESULT hr = value_.punkVal->QueryInterface(IID_IDispatch, reinterpret_cast<void**>(&object));
        if (FAILED(hr)) throw errorFromHresult(hr);
    } else {
        throw errors::objectNotSet();
    }
    return object;
}

Dispatch::Dispatch(const Dispatch& other) : object_(other.object_), type_(other.type_) {
    if (object_ != nullptr) object_->AddRef();
}

Dispatch::~Dispatch() {
    if (object_ != nullptr) object_->Release();
}

DISPID Dispatch::idOf(const char* member) {
    const auto found = type_->ids.find(member);
    if (found != type_->ids.end()) return found->second;
    std::wstring name = wideFromUtf8(member);
    LPOLESTR names[] = {name.data()};
    DISPID id = DISPID_UNKNOWN;
    const HRESULT hr = object_->GetIDsOfNames(IID_NULL, names, 1, LOCALE_USER_DEFAULT, &id);
    if (FAILED(hr)) throw errorFromHresult(hr);
    type_->ids.emplace(member, id);
    return id;
}

void Dispatch::invoke(const char* member, WORD kind, const Arg* args, size_t count, VARIANT* result) {
    const DISPID id = idOf(member);
    // IDispatch takes the arguments last to first.
    std::vector<ArgVariant> held;
    held.reserve(count);
    for (size_t i = count; i-- > 0;) held.emplace_back(args[i]);
    std::vector<VARIANT> values;
    values.reserve(count);
    for (const ArgVariant& arg : held) values.push_back(arg.value());

    DISPID putId = DISPID_PROPERTYPUT;
    DISPPARAMS params{values.data(), kind == DISPATCH_PROPERTYPUT ? &putId : nullptr, static_cast<UINT>(count),
                      kind == DISPATCH_PROPERTYPUT ? 1u : 0u};
    const DWORD started = GetTickCount();
    for (;;) {
        EXCEPINFO info{};
        UINT badArgument = 0;
        const HRESULT hr =
            object_->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, kind, &params, result, &info, &badArgument);
        if (SUCCEEDED(hr)) return;
        if (isServerBusy(hr)) {
            // Out of process the message filter already waited; this covers servers that answer busy directly.
            const DWORD delay = busyRetryDelay(GetTickCount() - started);
            if (delay != static_cast<DWORD>(-1)) {
                Sleep(delay);
                continue;
            }
        }
        Error error = errorFromInvoke(hr, info);
        SysFreeString(info.bstrSource);
        SysFreeString(info.bstrDescription);
        SysFreeString(info.bstrHelpFile);
        throw error;
    }
}

void Dispatch::get(const char* member, Result& result, std::initializer_list<Arg> args) {
    invoke(member, DISPATCH_PROPERTYGET, args.begin(), args.size(), result.get());
}

void Dispatch::call(const char* member, Result& result, std::initializer_list<Arg> args) {
    invoke(member, DISPATCH_METHOD, args.begin(), args.size(), result.get());
}

void Dispatch::call(const char* member, std::initializer_list<Arg> args) {
    Result ignored;
    invoke(member, DISPATCH_METHOD, args.begin(), args.size(), ignored.get());
}

void Dispatch::put(const char* member, const Arg& value) { invoke(member, DISPATCH_PROPERTYPUT, &value, 1, nullptr); }

template <class T>
T Dispatch::read(const char* member, T (Result::*as)()) {
    Result result;
    get(member, result);
    return (result.*as)();
}

int Dispatch::getInt(const char* member) { return read(member, &Result::toInt); }
float Dispatch::getFloat(const char* member) { return read(member, &Result::toFloat); }
double Dispatch::getDouble(const char* member) { return read(member, &Result::toDouble); }
bool Dispatch::getBool(const char* member) { return read(member, &Result::toBool); }
std::string Dispatch::getString(const char* member) { return read(member, &Result::toString); }

}  // namespace automation::com
