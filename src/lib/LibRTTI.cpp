#include "src/lib/LibRTTI.h"

namespace {
bool IsOrdinal(TTypeKind kind) {
    return kind == TTypeKind::tkInteger || kind == TTypeKind::tkEnumeration || kind == TTypeKind::tkSet;
}
}  // namespace

TTypeKind GetPropKind(const TObject* object, std::string_view name) noexcept { return PropKind(object, name); }

std::string GetStrPropByName(const TObject* object, std::string_view name) {
    return PropKind(object, name) == TTypeKind::tkString ? GetPropValue(object, name).AsString() : std::string();
}

void SetStrPropByName(TObject* object, std::string_view name, std::string_view value) {
    if (PropKind(object, name) == TTypeKind::tkString) SetPropValue(object, name, Variant(value));
}

int64_t GetOrdPropByName(const TObject* object, std::string_view name) {
    if (!IsOrdinal(PropKind(object, name))) return 0;
    const Variant v = GetPropValue(object, name);
    // A boolean's ordinal is 1 for True (as a number a variant True is -1).
    return v.Type() == VarType::Boolean ? (v.AsBoolean() ? 1 : 0) : v.AsInteger();
}

void SetOrdPropByName(TObject* object, std::string_view name, int64_t value) {
    if (IsOrdinal(PropKind(object, name))) SetPropValue(object, name, Variant(value));
}

TMethod GetMethodPropByName(const TObject* object, std::string_view name) { return GetMethodProp(object, name); }

void SetMethodPropByName(TObject* object, std::string_view name, const TMethod& method) {
    if (PropKind(object, name) == TTypeKind::tkMethod) SetMethodProp(object, name, method);
}
