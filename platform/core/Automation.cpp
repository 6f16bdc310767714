#include "platform/core/Automation.h"

#include <mutex>

#include "platform/core/Strings.h"

namespace detail {
Variant InvokeOn(const Variant& target, std::string_view member, InvokeKind kind, OleArgs& args) {
    if (!target.IsDispatch()) {
        if (target.IsClear()) throw EOleError("Automation call '" + std::string(member) + "' on an unassigned object");
        throw EOleError("Variant does not reference an automation object ('" + std::string(member) + "')");
    }
    return target.AsDispatch()->Invoke(member, kind, args);
}
}  // namespace detail

// ---- AutoObject ----

void AutoObject::Method(std::string name, MethodFn fn) { members_[UpperCase(name)].method = std::move(fn); }

void AutoObject::Property(std::string name, GetterFn getter, SetterFn setter) {
    auto& m = members_[UpperCase(name)];
    m.getter = std::move(getter);
    m.setter = std::move(setter);
}

const AutoObject::Member* AutoObject::Find(std::string_view member) const {
    auto it = members_.find(UpperCase(member));
    return it == members_.end() ? nullptr : &it->second;
}

bool AutoObject::HasMember(std::string_view member) const { return Find(member) != nullptr; }

const Variant& AutoObject::Arg(const OleArgs& args, size_t i) {
    static const Variant empty;
    return i < args.size() ? args[i] : empty;
}

Variant AutoObject::Invoke(std::string_view member, InvokeKind kind, OleArgs& args) {
    const Member* m = Find(member);
    if (!m) throw EOleError("Unknown name: " + std::string(member) + " (" + name_ + ")");
    switch (kind) {
        case InvokeKind::Method:
            // A parameterless property can be read with method-call syntax too.
            if (m->method) return m->method(args);
            if (m->getter) return m->getter(args);
            break;
        case InvokeKind::PropertyGet:
            if (m->getter) return m->getter(args);
            if (m->method) return m->method(args);
            break;
        case InvokeKind::PropertyPut:
            if (m->setter) {
                if (args.empty()) throw EOleError("Property '" + std::string(member) + "' set without a value");
                Variant value = args.back();
                args.pop_back();
                m->setter(args, value);
                args.push_back(std::move(value));
                return {};
            }
            throw EOleError("Property '" + std::string(member) + "' is read-only (" + name_ + ")");
    }
    throw EOleError("Member '" + std::string(member) + "' cannot be called this way (" + name_ + ")");
}

// ---- registry ----

namespace {
std::mutex registryMutex;
std::map<std::string, OleFactory, LessText>& Registry() {
    static std::map<std::string, OleFactory, LessText> r;
    return r;
}
}  // namespace

void RegisterOleClass(const std::string& progId, OleFactory factory) {
    std::lock_guard lock(registryMutex);
    Registry()[progId] = std::move(factory);
}

void UnregisterOleClass(const std::string& progId) {
    std::lock_guard lock(registryMutex);
    Registry().erase(progId);
}

bool IsOleClassRegistered(const std::string& progId) {
    std::lock_guard lock(registryMutex);
    return Registry().count(progId) != 0;
}

Variant CreateOleObject(const std::string& progId) {
    OleFactory factory;
    {
        std::lock_guard lock(registryMutex);
        auto it = Registry().find(progId);
        if (it == Registry().end()) throw EOleSysError("Invalid class string: " + progId);
        factory = it->second;
    }
    auto obj = factory();
    if (!obj) throw EOleSysError("Class " + progId + " could not create an object");
    return Variant(std::move(obj));
}
