#pragma once
// Run-time type information: what a class publishes so that windows, settings
// documents and language files can read and set its properties by name.
//
// A `TTypeInfo` describes the type of a property: its kind, the element names of
// an enumeration or set, and the named constants of an integer type (colours,
// cursors, character sets). A `TPropInfo` is one published property with its
// getter and setter through `Variant`. A `TClassInfo` is one class: its name, its
// parent, its factory (components only) and its own published properties.
//
// Property values through Variant:
//  - integer: Integer; enumeration: the ordinal (Integer); boolean: Boolean;
//  - set: the bit mask (Integer, bit n = element n); text: String; float: Double;
//  - class properties go through GetObject/SetObject, events through TMethod.
#include <any>
#include <cstdint>
#include <functional>
#include <initializer_list>
#include <string>
#include <string_view>
#include <type_traits>
#include <utility>
#include <vector>

#include "platform/core/Exception.h"
#include "platform/core/Variant.h"

class TObject;
class TPersistent;
class TComponent;
class TClassInfo;

VELMORA_DECLARE_EXCEPTION(EClassNotFound, Exception);
VELMORA_DECLARE_EXCEPTION(EPropertyError, Exception);

enum class TTypeKind { tkUnknown, tkInteger, tkEnumeration, tkFloat, tkString, tkSet, tkClass, tkMethod };

// "tkInteger", "tkEnumeration", ... as the property system prints kinds.
const char* TypeKindName(TTypeKind kind) noexcept;

// A named integer constant ("clRed" = 255).
struct TIdentMapEntry {
    int64_t Value;
    std::string Name;
};

class TTypeInfo {
public:
    TTypeInfo(std::string name, TTypeKind kind, std::vector<std::string> names = {},
              std::vector<TIdentMapEntry> idents = {});

    const std::string& Name() const noexcept { return name_; }
    TTypeKind Kind() const noexcept { return kind_; }
    bool IsBoolean() const noexcept;

    // Enumerations and sets: element names by ordinal (bit number for sets).
    const std::vector<std::string>& Names() const noexcept { return names_; }
    // Ordinal of an element name (any case), or -1.
    int EnumValue(std::string_view name) const noexcept;
    // Element name of an ordinal; an ordinal out of range gives its decimal text.
    std::string EnumName(int64_t ordinal) const;
    // "[fsBold,fsItalic]" for a mask; "[]" when empty. Bits without a name are left out.
    std::string SetToString(uint64_t mask) const;
    // Reads "[a, b]" or "a,b" (blanks allowed, any case); "" and "[]" are the empty set.
    // Raises EConvertError naming an unknown element.
    uint64_t StringToSet(std::string_view text) const;

    // Integer types: named constants.
    bool HasIdents() const noexcept { return !idents_.empty(); }
    const std::vector<TIdentMapEntry>& Idents() const noexcept { return idents_; }
    bool IdentToInt(std::string_view ident, int64_t& value) const noexcept;  // name in any case
    bool IntToIdent(int64_t value, std::string& ident) const;

private:
    std::string name_;
    TTypeKind kind_;
    std::vector<std::string> names_;
    std::vector<TIdentMapEntry> idents_;
};

// The predefined types.
const TTypeInfo& IntegerType();
const TTypeInfo& BooleanType();   // enumeration False, True
const TTypeInfo& StringType();
const TTypeInfo& DoubleType();
const TTypeInfo& ClassTypeInfo();
const TTypeInfo& MethodType();

// A copy of an event handler, type-erased so that event properties can be saved,
// cleared and set back by name. An empty TMethod is "no handler".
class TMethod {
public:
    TMethod() = default;
    template <typename F>
    explicit TMethod(F handler) : handler_(std::move(handler)) {}
    bool Assigned() const noexcept { return handler_.has_value(); }
    const std::any& Handler() const noexcept { return handler_; }

private:
    std::any handler_;
};

// A bit set over an enumeration whose ordinals are 0..63.
template <typename E>
class TSet {
public:
    constexpr TSet() = default;
    constexpr TSet(std::initializer_list<E> items) {
        for (E e : items) bits_ |= Bit(e);
    }
    static constexpr TSet FromBits(uint64_t bits) {
        TSet s;
        s.bits_ = bits;
        return s;
    }
    constexpr uint64_t Bits() const noexcept { return bits_; }
    constexpr bool Contains(E e) const noexcept { return (bits_ & Bit(e)) != 0; }
    constexpr bool Empty() const noexcept { return bits_ == 0; }
    constexpr TSet& Include(E e) noexcept { bits_ |= Bit(e); return *this; }
    constexpr TSet& Exclude(E e) noexcept { bits_ &= ~Bit(e); return *this; }
    constexpr TSet operator+(TSet o) const noexcept { return FromBits(bits_ | o.bits_); }
    constexpr TSet operator-(TSet o) const noexcept { return FromBits(bits_ & ~o.bits_); }
    constexpr TSet operator*(TSet o) const noexcept { return FromBits(bits_ & o.bits_); }
    constexpr bool operator==(const TSet&) const = default;

private:
    static constexpr uint64_t Bit(E e) noexcept { return uint64_t{1} << static_cast<unsigned>(e); }
    uint64_t bits_ = 0;
};

// One published property. Exactly one family of accessors is set, by kind:
// value kinds use Get/Set, tkClass uses GetObject/SetObject, tkMethod GetMethod/SetMethod.
// A missing setter makes the property read-only (setting it raises EPropertyError).
struct TPropInfo {
    std::string Name;
    const TTypeInfo* Type = nullptr;
    // tkClass: the declared class (a function, so that a class may refer to itself).
    const TClassInfo& (*ObjectClassOf)() = nullptr;
    std::function<Variant(const TObject&)> Get;
    std::function<void(TObject&, const Variant&)> Set;   // receives the canonical Variant kind
    std::function<TObject*(const TObject&)> GetObject;
    std::function<void(TObject&, TObject*)> SetObject;
    std::function<TMethod(const TObject&)> GetMethod;
    std::function<void(TObject&, const TMethod&)> SetMethod;

    TTypeKind Kind() const noexcept { return Type ? Type->Kind() : TTypeKind::tkUnknown; }
    const TClassInfo* ObjectClass() const { return ObjectClassOf ? &ObjectClassOf() : nullptr; }
};

// A class: name, parent, factory (components only) and published properties.
class TClassInfo {
public:
    using Factory = std::function<TComponent*(TComponent* owner)>;

    TClassInfo(std::string name, const TClassInfo* parent, Factory create = {});

    const std::string& Name() const noexcept { return name_; }
    const TClassInfo* Parent() const noexcept { return parent_; }
    bool CanCreate() const noexcept { return static_cast<bool>(create_); }
    // Creates an instance owned by `owner`; raises EClassNotFound for a class without a factory.
    TComponent* Create(TComponent* owner) const;

    bool InheritsFrom(const TClassInfo& other) const noexcept;
    bool InheritsFrom(std::string_view className) const noexcept;

    // The property of that name (any case), searching the parents too; nullptr when none.
    const TPropInfo* FindProp(std::string_view name) const noexcept;
    // Every published property, the parents' first; a redeclared name appears once.
    std::vector<const TPropInfo*> Props() const;

    TClassInfo& Add(TPropInfo prop);

private:
    std::string name_;
    const TClassInfo* parent_;
    Factory create_;
    std::vector<TPropInfo> own_;
};

// Declares the run-time class of a TObject descendant; define `StaticClass()` in the .cpp.
#define VELMORA_CLASS(NAME)                                                          \
public:                                                                              \
    static const TClassInfo& StaticClass();                                          \
    const TClassInfo& ClassType() const override { return StaticClass(); }

// ---- class registry (class names compared without regard to case) ----
// Registering a name again replaces the earlier entry.
void RegisterClass(const TClassInfo& info);
void UnregisterClass(const TClassInfo& info);
const TClassInfo* GetClass(std::string_view name) noexcept;   // nullptr when unknown
const TClassInfo& FindClass(std::string_view name);           // raises EClassNotFound
// Creates a component by class name; raises EClassNotFound.
TComponent* CreateComponentByClassName(std::string_view className, TComponent* owner);

// ---- building property tables ----
namespace rtti {
template <typename T>
using Bare = std::remove_cvref_t<T>;

template <typename T>
Variant ToVariant(const T& v) {
    using U = Bare<T>;
    if constexpr (std::is_same_v<U, bool>) return Variant(v);
    else if constexpr (std::is_enum_v<U>) return Variant(static_cast<int64_t>(v));
    else if constexpr (std::is_integral_v<U>) return Variant(static_cast<int64_t>(v));
    else if constexpr (std::is_floating_point_v<U>) return Variant(static_cast<double>(v));
    else if constexpr (requires { v.Bits(); }) return Variant(static_cast<int64_t>(v.Bits()));
    else return Variant(std::string(v));
}

template <typename T>
Bare<T> FromVariant(const Variant& v) {
    using U = Bare<T>;
    if constexpr (std::is_same_v<U, bool>) return v.AsBoolean();
    else if constexpr (std::is_enum_v<U>) return static_cast<U>(v.AsInteger());
    else if constexpr (std::is_integral_v<U>) return static_cast<U>(v.AsInteger());
    else if constexpr (std::is_floating_point_v<U>) return static_cast<U>(v.AsDouble());
    else if constexpr (requires { U::FromBits(0); }) return U::FromBits(static_cast<uint64_t>(v.AsInteger()));
    else return v.AsString();
}

template <typename T>
const TTypeInfo& DefaultType() {
    using U = Bare<T>;
    if constexpr (std::is_same_v<U, bool>) return BooleanType();
    else if constexpr (std::is_integral_v<U>) return IntegerType();
    else if constexpr (std::is_floating_point_v<U>) return DoubleType();
    else {
        static_assert(std::is_convertible_v<U, std::string>, "give the type of enumerations and sets");
        return StringType();
    }
}

template <typename S>
struct SetterArg;
template <typename C, typename A>
struct SetterArg<void (C::*)(A)> {
    using type = A;
};

template <typename C, typename G, typename S>
TPropInfo MakeValue(std::string name, const TTypeInfo& type, G getter, S setter) {
    TPropInfo p;
    p.Name = std::move(name);
    p.Type = &type;
    p.Get = [getter](const TObject& o) { return ToVariant((static_cast<const C&>(o).*getter)()); };
    if constexpr (!std::is_same_v<S, std::nullptr_t>) {
        p.Set = [setter](TObject& o, const Variant& v) {
            using Arg = typename SetterArg<S>::type;
            (static_cast<C&>(o).*setter)(FromVariant<Arg>(v));
        };
    }
    return p;
}
}  // namespace rtti

// A value property whose kind follows from its C++ type (int, bool, double, text).
template <typename C, typename R, typename S = std::nullptr_t>
TPropInfo Property(std::string name, R (C::*getter)() const, S setter = nullptr) {
    return rtti::MakeValue<C>(std::move(name), rtti::DefaultType<R>(), getter, setter);
}

// A property of an explicitly given type: enumerations, sets, integers with named constants.
template <typename C, typename R, typename S = std::nullptr_t>
TPropInfo TypedProperty(std::string name, const TTypeInfo& type, R (C::*getter)() const, S setter = nullptr) {
    return rtti::MakeValue<C>(std::move(name), type, getter, setter);
}

// An object-valued property (a Font, a Columns collection, a PopupMenu reference).
// Without a setter the object is owned by the holder and set with Assign by callers.
template <typename C, typename T, typename S = std::nullptr_t>
TPropInfo ObjectProperty(std::string name, T* (C::*getter)() const, S setter = nullptr) {
    TPropInfo p;
    p.Name = std::move(name);
    p.Type = &ClassTypeInfo();
    p.ObjectClassOf = &T::StaticClass;
    p.GetObject = [getter](const TObject& o) -> TObject* { return (static_cast<const C&>(o).*getter)(); };
    if constexpr (!std::is_same_v<S, std::nullptr_t>) {
        p.SetObject = [setter](TObject& o, TObject* value) {
            T* typed = nullptr;
            if (value) {
                typed = dynamic_cast<T*>(value);
                if (!typed) throw EConvertError("Invalid property value");
            }
            (static_cast<C&>(o).*setter)(typed);
        };
    }
    return p;
}

// An event property over a public handler member (std::function).
template <typename C, typename F>
TPropInfo EventProperty(std::string name, F C::*member) {
    TPropInfo p;
    p.Name = name;
    p.Type = &MethodType();
    p.GetMethod = [member](const TObject& o) {
        const F& f = static_cast<const C&>(o).*member;
        return f ? TMethod(f) : TMethod();
    };
    p.SetMethod = [member, name](TObject& o, const TMethod& m) {
        F& f = static_cast<C&>(o).*member;
        if (!m.Assigned()) {
            f = nullptr;
            return;
        }
        const F* handler = std::any_cast<F>(&m.Handler());
        if (!handler) throw EConvertError("Incompatible handler type for event " + name);
        f = *handler;
    };
    return p;
}
