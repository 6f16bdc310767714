#pragma once
// Field definitions: what a dataset's columns are (name, data type, size, flags),
// independent of any field object. Providers describe their rows with them, client
// datasets create their fields from them, and in-memory datasets are built on them.
#include <string>
#include <string_view>
#include <vector>

#include "platform/core/Exception.h"

// Errors of the dataset layer (unknown field, wrong state, refused packet ...).
VELMORA_DECLARE_EXCEPTION(EDatabaseError, Exception);

// The data types a column can have. The text names (FieldTypeName) are what data
// packets carry, so the numbering never travels.
enum class TFieldType {
    ftUnknown, ftString, ftSmallint, ftInteger, ftWord, ftBoolean, ftFloat, ftCurrency,
    ftBCD, ftDate, ftTime, ftDateTime, ftBytes, ftVarBytes, ftAutoInc, ftBlob, ftMemo,
    ftGraphic, ftLargeint, ftADT, ftArray, ftReference, ftDataSet, ftFMTBcd
};

// "String", "Integer", ... (the enumerator without "ft"); "Unknown" for ftUnknown.
const char* FieldTypeName(TFieldType type) noexcept;
// The type of a name (without regard to case); raises EDatabaseError for an unknown name.
TFieldType FieldTypeFromName(std::string_view name);

// How a value of each type is held in a Variant (packets, field values):
enum class TValueKind { Text, Integer, Float, Boolean, DateTime, Array, Nested };
TValueKind ValueKindOf(TFieldType type) noexcept;

struct TFieldDef {
    std::string Name;
    TFieldType DataType = TFieldType::ftUnknown;
    int Size = 0;            // characters for text types; 0 for the others
    bool Required = false;
    bool ReadOnly = false;
    bool Key = false;        // part of the row's key (providers locate rows by it)
    std::vector<TFieldDef> ChildDefs;   // the columns of a nested dataset (ftDataSet)
};

// An ordered list of definitions with lookup by name (without regard to case).
class TFieldDefs {
public:
    TFieldDef& Add(std::string name, TFieldType type, int size = 0, bool required = false);
    void Add(TFieldDef def);
    void Clear() { items_.clear(); }
    int Count() const { return static_cast<int>(items_.size()); }
    const TFieldDef& operator[](int i) const { return items_.at(static_cast<size_t>(i)); }
    TFieldDef& operator[](int i) { return items_.at(static_cast<size_t>(i)); }
    int IndexOf(std::string_view name) const;   // -1 when absent
    const TFieldDef* Find(std::string_view name) const;
    const std::vector<TFieldDef>& Items() const { return items_; }
    auto begin() const { return items_.begin(); }
    auto end() const { return items_.end(); }

private:
    std::vector<TFieldDef> items_;
};

// The definitions of a nested dataset field's columns.
TFieldDefs ChildDefsOf(const TFieldDef& def);
