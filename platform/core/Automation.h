#pragma once
// Automation objects: late-bound calls by member name (case-insensitive), property
// get/put, arguments the callee may change (by reference), and a registry of
// program ids so that `CreateOleObject("TessmarS.Class1")` makes an object.
//
// A remote object is just another IDispatch (a proxy) that sends the member name
// and arguments over its connection and copies the by-reference arguments back.
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "platform/core/Variant.h"

VELMORA_DECLARE_EXCEPTION(EOleSysError, EOleError);

enum class InvokeKind { Method, PropertyGet, PropertyPut };

// Arguments of one call, in the order the caller wrote them. The callee may
// change any element; callers that passed ByRef(...) get the changes back.
using OleArgs = std::vector<Variant>;

class IDispatch : public std::enable_shared_from_this<IDispatch> {
public:
    virtual ~IDispatch() = default;
    // Runs a member. For PropertyPut the new value is the last argument.
    // Unknown members raise EOleError ("Unknown name: X").
    virtual Variant Invoke(std::string_view member, InvokeKind kind, OleArgs& args) = 0;
    // The class name for messages ("TessmarS.Class1").
    virtual std::string DispatchName() const { return "IDispatch"; }
};

// Marks an argument of Variant::Call as by reference: the callee's change to the
// element is copied back into `v` after the call.
struct ByRef {
    Variant& v;
    explicit ByRef(Variant& target) : v(target) {}
};

namespace detail {
inline void PushArg(OleArgs& args, std::vector<std::pair<size_t, Variant*>>&, const Variant& v) {
    args.push_back(v);
}
inline void PushArg(OleArgs& args, std::vector<std::pair<size_t, Variant*>>& refs, ByRef r) {
    refs.emplace_back(args.size(), &r.v);
    args.push_back(r.v);
}
Variant InvokeOn(const Variant& target, std::string_view member, InvokeKind kind, OleArgs& args);
}  // namespace detail

template <typename... Args>
Variant Variant::Call(std::string_view member, Args&&... args) const {
    OleArgs list;
    list.reserve(sizeof...(Args));
    std::vector<std::pair<size_t, Variant*>> refs;
    (detail::PushArg(list, refs, std::forward<Args>(args)), ...);
    Variant result = detail::InvokeOn(*this, member, InvokeKind::Method, list);
    for (auto& [index, target] : refs) *target = std::move(list[index]);
    return result;
}

// Base for objects that declare their members in a table, so that a stand-in is
// a constructor full of Method(...) and Property(...) lines.
class AutoObject : public IDispatch {
public:
    using MethodFn = std::function<Variant(OleArgs&)>;
    using GetterFn = std::function<Variant(OleArgs&)>;
    using SetterFn = std::function<void(OleArgs&, const Variant&)>;

    explicit AutoObject(std::string name) : name_(std::move(name)) {}
    Variant Invoke(std::string_view member, InvokeKind kind, OleArgs& args) override;
    std::string DispatchName() const override { return name_; }

    // True when a member of this name exists (any kind).
    bool HasMember(std::string_view member) const;

protected:
    void Method(std::string name, MethodFn fn);
    // A property; `setter` may be empty for a read-only property. Getters may take
    // index arguments (args), as indexed properties do.
    void Property(std::string name, GetterFn getter, SetterFn setter = {});

    // Argument helpers for member bodies: a missing argument reads as Empty.
    static const Variant& Arg(const OleArgs& args, size_t i);

private:
    struct Member {
        MethodFn method;
        GetterFn getter;
        SetterFn setter;
    };
    const Member* Find(std::string_view member) const;
    std::string name_;
    std::map<std::string, Member> members_;  // key: upper-cased name
};

// Program-id registry. Factories are registered by the layers that supply objects;
// registering an id again replaces the factory (tests swap in fakes this way).
using OleFactory = std::function<std::shared_ptr<IDispatch>()>;
void RegisterOleClass(const std::string& progId, OleFactory factory);
void UnregisterOleClass(const std::string& progId);
bool IsOleClassRegistered(const std::string& progId);
// Creates the object; an unknown id raises EOleSysError naming it.
Variant CreateOleObject(const std::string& progId);
