// Late-bound calls on an IDispatch: member names resolved once per object type, arguments and
// results converted between the automation interface's types and VARIANTs, failures turned into
// automation::Error with Word's numbers.
#pragma once

#include "automation/com/win32.h"

#include <initializer_list>
#include <string>
#include <unordered_map>
#include <variant>

#include "automation/error.h"

namespace automation::com {

// One object type of the server ("Table", "Range", ...): the member ids GetIDsOfNames gave for it.
// Word's objects are dual interfaces, so an id found on one Table holds for every Table.
struct ObjectType {
    explicit ObjectType(const char* typeName) : name(typeName) {}
    const char* name;
    std::unordered_map<std::string, DISPID> ids;
};

// An argument left out: passed as VT_ERROR with DISP_E_PARAMNOTFOUND, so the server keeps its own value.
struct Omitted {};

using Arg = std::variant<Omitted, int, float, bool, std::string>;

// The result of a call; owns what the VARIANT holds.
class Result {
public:
    Result() { VariantInit(&value_); }
    ~Result() { VariantClear(&value_); }
    Result(const Result&) = delete;
    Result& operator=(const Result&) = delete;

    VARIANT* get() { return &value_; }
    int toInt();
    float toFloat();
    double toDouble();
    bool toBool();
    std::string toString();
    // The object the call returned; the caller owns the reference it gets. Fails with 91 when the
    // server answered Nothing.
    IDispatch* takeDispatch();

private:
    VARIANT value_;
};

// An owned IDispatch reference of one object type: AddRef'd on copy, released exactly once per owner.
class Dispatch {
public:
    Dispatch(IDispatch* owned, ObjectType& type) : object_(owned), type_(&type) {}
    Dispatch(const Dispatch& other);
    Dispatch(Dispatch&& other) noexcept : object_(other.object_), type_(other.type_) { other.object_ = nullptr; }
    Dispatch& operator=(const Dispatch& other) = delete;
    ~Dispatch();

    IDispatch* object() const { return object_; }

    // Property get (DISPATCH_PROPERTYGET) and method call (DISPATCH_METHOD), with their results.
    void get(const char* member, Result& result, std::initializer_list<Arg> args = {});
    void call(const char* member, Result& result, std::initializer_list<Arg> args = {});
    // A method whose result is not used.
    void call(const char* member, std::initializer_list<Arg> args = {});
    // Property put (DISPATCH_PROPERTYPUT).
    void put(const char* member, const Arg& value);

    int getInt(const char* member);
    float getFloat(const char* member);
    bool getBool(const char* member);
    double getDouble(const char* member);
    std::string getString(const char* member);

private:
    template <class T>
    T read(const char* member, T (Result::*as)());
    DISPID idOf(const char* member);
    void invoke(const char* member, WORD kind, const Arg* args, size_t count, VARIANT* result);

    IDispatch* object_;
    ObjectType* type_;
};

// UTF-8 <-> UTF-16 at the COM boundary.
std::wstring wideFromUtf8(const std::string& text);
std::string utf8FromWide(const wchar_t* text, size_t length);
std::string utf8FromBstr(BSTR text);

}  // namespace automation::com
