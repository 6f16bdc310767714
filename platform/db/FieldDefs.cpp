#include "platform/db/FieldDefs.h"

#include <array>

#include "platform/core/Strings.h"

namespace {
constexpr std::array<const char*, 24> kTypeNames = {
    "Unknown", "String", "Smallint", "Integer", "Word", "Boolean", "Float", "Currency",
    "BCD", "Date", "Time", "DateTime", "Bytes", "VarBytes", "AutoInc", "Blob", "Memo",
    "Graphic", "Largeint", "ADT", "Array", "Reference", "DataSet", "FMTBcd"};
}  // namespace

const char* FieldTypeName(TFieldType type) noexcept {
    const auto i = static_cast<size_t>(type);
    return i < kTypeNames.size() ? kTypeNames[i] : "Unknown";
}

TFieldType FieldTypeFromName(std::string_view name) {
    for (size_t i = 1; i < kTypeNames.size(); ++i)
        if (SameText(name, kTypeNames[i])) return static_cast<TFieldType>(i);
    throw EDatabaseError("Unknown field type '" + std::string(name) + "'");
}

TValueKind ValueKindOf(TFieldType type) noexcept {
    using enum TFieldType;
    switch (type) {
        case ftSmallint: case ftInteger: case ftWord: case ftAutoInc: case ftLargeint:
            return TValueKind::Integer;
        case ftFloat: case ftCurrency: case ftBCD: case ftFMTBcd:
            return TValueKind::Float;
        case ftBoolean: return TValueKind::Boolean;
        case ftDate: case ftTime: case ftDateTime: return TValueKind::DateTime;
        case ftADT: case ftArray: case ftReference: return TValueKind::Array;
        case ftDataSet: return TValueKind::Nested;
        default: return TValueKind::Text;
    }
}

TFieldDef& TFieldDefs::Add(std::string name, TFieldType type, int size, bool required) {
    TFieldDef def;
    def.Name = std::move(name);
    def.DataType = type;
    def.Size = size;
    def.Required = required;
    Add(std::move(def));
    return items_.back();
}

void TFieldDefs::Add(TFieldDef def) {
    if (def.Name.empty()) throw EDatabaseError("Field name missing");
    if (IndexOf(def.Name) >= 0) throw EDatabaseError("Duplicate field name '" + def.Name + "'");
    items_.push_back(std::move(def));
}

int TFieldDefs::IndexOf(std::string_view name) const {
    for (size_t i = 0; i < items_.size(); ++i)
        if (SameText(items_[i].Name, name)) return static_cast<int>(i);
    return -1;
}

const TFieldDef* TFieldDefs::Find(std::string_view name) const {
    const int i = IndexOf(name);
    return i < 0 ? nullptr : &items_[static_cast<size_t>(i)];
}

TFieldDefs ChildDefsOf(const TFieldDef& def) {
    TFieldDefs children;
    for (const TFieldDef& c : def.ChildDefs) children.Add(c);
    return children;
}
