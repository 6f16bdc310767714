#include "platform/classes/PropertyAccess.h"

#include "platform/core/Strings.h"

namespace {
// The value converted to the canonical Variant kind the property's setter expects.
Variant Canonical(const TPropInfo& p, const Variant& value) {
    const TTypeInfo& type = *p.Type;
    try {
        switch (type.Kind()) {
            case TTypeKind::tkInteger: {
                int64_t n;
                if (value.IsString() && type.IdentToInt(value.StringRef(), n)) return Variant(n);
                return Variant(value.AsInteger());
            }
            case TTypeKind::tkEnumeration: {
                if (value.IsString()) {
                    const int ord = type.EnumValue(value.StringRef());
                    if (ord >= 0) return type.IsBoolean() ? Variant(ord == 1) : Variant(ord);
                }
                if (type.IsBoolean()) return Variant(value.AsBoolean());
                const int64_t ord = value.AsInteger();
                if (ord < 0 || ord >= static_cast<int64_t>(type.Names().size()))
                    throw EConvertError(VarQuote(value) + " is not a valid " + type.Name() + " value");
                return Variant(ord);
            }
            case TTypeKind::tkSet:
                if (value.IsString()) return Variant(static_cast<int64_t>(type.StringToSet(value.StringRef())));
                return Variant(value.AsInteger());
            case TTypeKind::tkFloat: return Variant(value.AsDouble());
            case TTypeKind::tkString: return Variant(value.AsString());
            default: break;
        }
    } catch (const EVariantError& e) {
        throw EConvertError(e.Message());
    }
    throw EConvertError("Property " + p.Name + " cannot be set from a value");
}

// Walks all but the last segment; returns the object that holds the last one and
// sets `last`, or nullptr (with `failedAt` naming the segment) when the walk stops.
TObject* Walk(const TObject* object, std::string_view path, std::string& last, std::string& failedAt) {
    auto segments = SplitString(path, '.');
    const TObject* target = object;
    for (size_t i = 0; i + 1 < segments.size(); ++i) {
        const auto name = Trim(segments[i]);
        const TPropInfo* p = GetPropInfo(target, name);
        TObject* next = (p && p->GetObject) ? p->GetObject(*target) : nullptr;
        if (!next) {
            failedAt = name;
            return nullptr;
        }
        target = next;
    }
    last = Trim(segments.back());
    return const_cast<TObject*>(target);
}
}  // namespace

const TPropInfo* GetPropInfo(const TObject* object, std::string_view name) noexcept {
    return object ? object->ClassType().FindProp(name) : nullptr;
}

bool HasProperty(const TObject* object, std::string_view name) noexcept { return GetPropInfo(object, name) != nullptr; }

TTypeKind PropKind(const TObject* object, std::string_view name) noexcept {
    const TPropInfo* p = GetPropInfo(object, name);
    return p ? p->Kind() : TTypeKind::tkUnknown;
}

Variant GetPropValue(const TObject* object, std::string_view name) {
    const TPropInfo* p = GetPropInfo(object, name);
    if (!p || !p->Get) return Variant();
    return p->Get(*object);
}

void SetPropValue(TObject* object, std::string_view name, const Variant& value) {
    const TPropInfo* p = GetPropInfo(object, name);
    if (!p) return;
    if (p->Kind() == TTypeKind::tkClass || p->Kind() == TTypeKind::tkMethod)
        throw EConvertError("Property " + p->Name + " cannot be set from a value");
    if (!p->Set) throw EPropertyError("Property " + p->Name + " is read-only");
    p->Set(*object, Canonical(*p, value));
}

std::string GetPropText(const TObject* object, std::string_view name) {
    const TPropInfo* p = GetPropInfo(object, name);
    if (!p || !p->Get) return {};
    const Variant v = p->Get(*object);
    switch (p->Kind()) {
        case TTypeKind::tkEnumeration:
            return p->Type->EnumName(p->Type->IsBoolean() ? (v.AsBoolean() ? 1 : 0) : v.AsInteger());
        case TTypeKind::tkSet: return p->Type->SetToString(static_cast<uint64_t>(v.AsInteger()));
        case TTypeKind::tkInteger: {
            std::string ident;
            if (p->Type->IntToIdent(v.AsInteger(), ident)) return ident;
            return v.AsString();
        }
        default: return v.AsString();
    }
}

TObject* GetObjectProp(const TObject* object, std::string_view name) noexcept {
    const TPropInfo* p = GetPropInfo(object, name);
    return (p && p->GetObject) ? p->GetObject(*object) : nullptr;
}

void SetObjectProp(TObject* object, std::string_view name, TObject* value) {
    const TPropInfo* p = GetPropInfo(object, name);
    if (!p) return;
    if (!p->SetObject) throw EPropertyError("Property " + p->Name + " cannot be set to an object");
    p->SetObject(*object, value);
}

TMethod GetMethodProp(const TObject* object, std::string_view name) {
    const TPropInfo* p = GetPropInfo(object, name);
    return (p && p->GetMethod) ? p->GetMethod(*object) : TMethod();
}

void SetMethodProp(TObject* object, std::string_view name, const TMethod& method) {
    const TPropInfo* p = GetPropInfo(object, name);
    if (!p || !p->SetMethod) return;
    p->SetMethod(*object, method);
}

Variant GetPropValueByPath(const TObject* object, std::string_view path) {
    std::string last, failedAt;
    TObject* target = Walk(object, path, last, failedAt);
    return target ? GetPropValue(target, last) : Variant();
}

void SetPropValueByPath(TObject* object, std::string_view path, const Variant& value) {
    if (!object) throw EPropertyError("No object to set " + std::string(path) + " on");
    std::string last, failedAt;
    TObject* target = Walk(object, path, last, failedAt);
    if (!target) throw EPropertyError("Property " + failedAt + " does not name an object");
    SetPropValue(target, last, value);
}

bool TrySetPropValueByPath(TObject* object, std::string_view path, const Variant& value) noexcept {
    try {
        SetPropValueByPath(object, path, value);
        return true;
    } catch (...) {
        return false;
    }
}

std::vector<TSavedEvent> SaveAndClearEvents(TObject* object, const std::vector<std::string>& names) {
    std::vector<TSavedEvent> saved;
    for (const auto& name : names) {
        const TPropInfo* p = GetPropInfo(object, name);
        if (!p || p->Kind() != TTypeKind::tkMethod) continue;
        saved.push_back({p->Name, p->GetMethod(*object)});
        p->SetMethod(*object, TMethod());
    }
    return saved;
}

void RestoreEvents(TObject* object, const std::vector<TSavedEvent>& saved) {
    for (const auto& s : saved) {
        const TPropInfo* p = GetPropInfo(object, s.Name);
        if (p && p->Kind() == TTypeKind::tkMethod) p->SetMethod(*object, s.Handler);
    }
}
