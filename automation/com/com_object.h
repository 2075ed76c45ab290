// What every handle of the COM backend is made of: the owned IDispatch of one object type, and the
// calls that return further objects as handles.
#pragma once

#include <memory>
#include <optional>

#include "automation/com/dispatch.h"

namespace automation::com {

template <class T>
Arg optionalArg(const std::optional<T>& value) {
    return value ? Arg(*value) : Arg(Omitted{});
}

template <class Interface>
class ComObject : public Interface {
public:
    ComObject(IDispatch* owned, ObjectType& type) : d_(owned, type) {}

protected:
    // The object a property or method gives, as the handle Wrapper.
    template <class Wrapper>
    std::shared_ptr<Wrapper> get(const char* member, std::initializer_list<Arg> args = {}) {
        Result result;
        d_.get(member, result, args);
        return std::make_shared<Wrapper>(result.takeDispatch());
    }
    template <class Wrapper>
    std::shared_ptr<Wrapper> call(const char* member, std::initializer_list<Arg> args = {}) {
        Result result;
        d_.call(member, result, args);
        return std::make_shared<Wrapper>(result.takeDispatch());
    }
    int callInt(const char* member, std::initializer_list<Arg> args = {}) {
        Result result;
        d_.call(member, result, args);
        return result.toInt();
    }

    Dispatch d_;
};

// Declares the object type of a handle class (its member ids are cached under typeName) and the
// constructor that takes over one reference.
#define GW_COM_OBJECT(Class, typeName)        \
    static ObjectType& type() {               \
        static ObjectType instance(typeName); \
        return instance;                      \
    }                                         \
    explicit Class(IDispatch* owned) : ComObject(owned, type()) {}

}  // namespace automation::com
