#include "platform/db/Provider.h"

namespace {

[[noreturn]] void Refuse(const std::string& what) { throw EDatabaseError(what); }

const Variant& Element(const Variant& array, int i, const char* what) {
    if (!array.IsArray() || array.DimCount() != 1 || i > array.HighBound() - array.LowBound())
        Refuse(std::string("Malformed ") + what);
    return array[array.LowBound() + i];
}

bool Fits(const TFieldDef& def, const Variant& v) {
    if (v.IsClear()) return true;
    switch (ValueKindOf(def.DataType)) {
        case TValueKind::Text: return v.Type() == VarType::String;
        case TValueKind::Integer: return v.Type() == VarType::Integer;
        case TValueKind::Float: return v.Type() == VarType::Integer || v.Type() == VarType::Double;
        case TValueKind::Boolean: return v.Type() == VarType::Boolean;
        case TValueKind::DateTime: return v.Type() == VarType::Date || v.Type() == VarType::Double;
        case TValueKind::Array: return v.IsArray();
        case TValueKind::Nested: return v.IsArray() && v.DimCount() == 2;
    }
    return false;
}

std::string Describe(const Variant& v) { return VarTypeName(v.Type()); }

void CheckValue(const TFieldDef& def, const Variant& v, const std::string& where) {
    if (!Fits(def, v))
        Refuse(where + ", field '" + def.Name + "': a " + Describe(v) + " value does not fit a " +
               FieldTypeName(def.DataType) + " field");
    if (ValueKindOf(def.DataType) == TValueKind::Nested && v.IsArray()) CheckRows(ChildDefsOf(def), v);
}

Variant EncodeDef(const TFieldDef& def) {
    const int flags = (def.ReadOnly ? kFieldReadOnly : 0) | (def.Required ? kFieldRequired : 0) |
                      (def.Key ? kFieldKey : 0);
    std::vector<Variant> items{Variant(def.Name), Variant(FieldTypeName(def.DataType)), Variant(def.Size),
                               Variant(flags)};
    if (def.DataType == TFieldType::ftDataSet) items.push_back(EncodeFieldDefs(ChildDefsOf(def)));
    return Variant::ArrayOf(std::move(items));
}

TFieldDef DecodeDef(const Variant& v) {
    if (!v.IsArray() || v.DimCount() != 1 || v.Count() < 4) Refuse("Malformed field definition");
    const int low = v.LowBound();
    TFieldDef def;
    if (!v[low].IsString() || v[low].StringRef().empty()) Refuse("Field definition without a name");
    def.Name = v[low].StringRef();
    if (!v[low + 1].IsString()) Refuse("Field '" + def.Name + "' has no type name");
    def.DataType = FieldTypeFromName(v[low + 1].StringRef());
    if (def.DataType == TFieldType::ftUnknown) Refuse("Field '" + def.Name + "' has an unknown type");
    if (v[low + 2].Type() != VarType::Integer || v[low + 3].Type() != VarType::Integer)
        Refuse("Field '" + def.Name + "' has a malformed size or flags");
    def.Size = v[low + 2].AsInt();
    if (def.Size < 0) Refuse("Field '" + def.Name + "' has a negative size");
    const int flags = v[low + 3].AsInt();
    def.ReadOnly = flags & kFieldReadOnly;
    def.Required = flags & kFieldRequired;
    def.Key = flags & kFieldKey;
    if (def.DataType == TFieldType::ftDataSet) {
        if (v.Count() < 5) Refuse("DataSet field '" + def.Name + "' has no child fields");
        def.ChildDefs = DecodeFieldDefs(v[low + 4]).Items();
    }
    return def;
}

}  // namespace

Variant EncodeFieldDefs(const TFieldDefs& defs) {
    std::vector<Variant> items;
    items.reserve(static_cast<size_t>(defs.Count()));
    for (const TFieldDef& def : defs) items.push_back(EncodeDef(def));
    return Variant::ArrayOf(std::move(items));
}

TFieldDefs DecodeFieldDefs(const Variant& fields) {
    if (!fields.IsArray() || fields.DimCount() != 1) Refuse("Malformed field definitions");
    TFieldDefs defs;
    for (const Variant& v : fields.Elements()) {
        TFieldDef def = DecodeDef(v);
        if (defs.IndexOf(def.Name) >= 0) Refuse("Duplicate field name '" + def.Name + "'");
        defs.Add(std::move(def));
    }
    return defs;
}

void CheckRows(const TFieldDefs& defs, const Variant& rows) {
    if (!rows.IsArray() || rows.DimCount() != 2) Refuse("Data packet rows are not a two-dimensional array");
    const int columns = rows.Count(2);
    if (rows.Count(1) > 0 && columns != defs.Count())
        Refuse("Data packet rows have " + std::to_string(columns) + " columns for " +
               std::to_string(defs.Count()) + " fields");
    const auto& items = rows.Elements();
    const size_t n = static_cast<size_t>(defs.Count());
    for (size_t k = 0; k < items.size(); ++k) {
        const TFieldDef& def = defs[static_cast<int>(k % n)];
        if (!Fits(def, items[k]) || ValueKindOf(def.DataType) == TValueKind::Nested)
            CheckValue(def, items[k], "Data packet row " + std::to_string(k / n + 1));
    }
}

Variant EncodeDataPacket(const TDataPacket& packet) {
    CheckRows(packet.Fields, packet.Rows);
    return Variant::ArrayOf({EncodeFieldDefs(packet.Fields), packet.Rows, Variant(packet.Eof)});
}

TDataPacket DecodeDataPacket(const Variant& packet) {
    if (!packet.IsArray() || packet.DimCount() != 1 || packet.Count() != 3) Refuse("Malformed data packet");
    TDataPacket result;
    result.Fields = DecodeFieldDefs(Element(packet, 0, "data packet"));
    const Variant& eof = Element(packet, 2, "data packet");
    if (eof.Type() != VarType::Boolean) Refuse("Data packet without its end-of-data flag");
    CheckRows(result.Fields, Element(packet, 1, "data packet"));
    result.Rows = Element(packet, 1, "data packet");
    result.Eof = eof.AsBoolean();
    return result;
}

Variant EncodeChanges(const std::vector<TDeltaChange>& changes) {
    std::vector<Variant> items;
    items.reserve(changes.size());
    for (const TDeltaChange& c : changes)
        items.push_back(Variant::ArrayOf({Variant(static_cast<int>(c.Kind)), c.OldValues, c.NewValues}));
    return Variant::ArrayOf(std::move(items));
}

std::vector<TDeltaChange> DecodeChanges(const TFieldDefs& defs, const Variant& changes) {
    if (!changes.IsArray() || changes.DimCount() != 1) Refuse("Malformed delta changes");
    std::vector<TDeltaChange> result;
    int number = 0;
    for (const Variant& item : changes.Elements()) {
        const std::string where = "Delta change " + std::to_string(++number);
        if (!item.IsArray() || item.DimCount() != 1 || item.Count() != 3) Refuse(where + " is malformed");
        const int low = item.LowBound();
        if (item[low].Type() != VarType::Integer || item[low].AsInteger() < 0 || item[low].AsInteger() > 2)
            Refuse(where + " has an unknown kind");
        TDeltaChange c;
        c.Kind = static_cast<TUpdateKind>(item[low].AsInt());
        c.OldValues = item[low + 1];
        c.NewValues = item[low + 2];
        const bool wantOld = c.Kind != TUpdateKind::ukInsert;
        const bool wantNew = c.Kind != TUpdateKind::ukDelete || !c.NewValues.IsEmpty();
        for (int side = 0; side < 2; ++side) {
            const Variant& values = side == 0 ? c.OldValues : c.NewValues;
            if (!(side == 0 ? wantOld : wantNew)) continue;
            if (!values.IsArray() || values.DimCount() != 1 || values.Count() != defs.Count())
                Refuse(where + ": its " + (side == 0 ? "old" : "new") + " values do not match the fields");
            for (int f = 0; f < defs.Count(); ++f) {
                const TFieldDef& def = defs[f];
                const Variant& v = values[values.LowBound() + f];
                if (ValueKindOf(def.DataType) == TValueKind::Nested) {
                    if (side == 1 && !v.IsEmpty()) DecodeChanges(ChildDefsOf(def), v);
                } else {
                    CheckValue(def, v, where);
                }
            }
        }
        result.push_back(std::move(c));
    }
    return result;
}

Variant EncodeDelta(const TDelta& delta) {
    return Variant::ArrayOf({EncodeFieldDefs(delta.Fields), EncodeChanges(delta.Changes)});
}

TDelta DecodeDelta(const Variant& delta) {
    if (!delta.IsArray() || delta.DimCount() != 1 || delta.Count() != 2) Refuse("Malformed delta");
    TDelta result;
    result.Fields = DecodeFieldDefs(Element(delta, 0, "delta"));
    result.Changes = DecodeChanges(result.Fields, Element(delta, 1, "delta"));
    return result;
}

Variant EncodeUpdateErrors(const std::vector<TUpdateError>& errors) {
    std::vector<Variant> items;
    items.reserve(errors.size());
    for (const TUpdateError& e : errors)
        items.push_back(Variant::ArrayOf({Variant(e.Index), Variant(e.ErrorCode), Variant(e.Message), Variant(e.Context)}));
    return Variant::ArrayOf(std::move(items));
}

std::vector<TUpdateError> DecodeUpdateErrors(const Variant& errors) {
    std::vector<TUpdateError> result;
    if (errors.IsClear()) return result;
    if (!errors.IsArray() || errors.DimCount() != 1) Refuse("Malformed error packet");
    for (const Variant& item : errors.Elements()) {
        if (!item.IsArray() || item.DimCount() != 1 || item.Count() != 4) Refuse("Malformed error packet entry");
        const int low = item.LowBound();
        TUpdateError e;
        e.Index = item[low].AsInt();
        e.ErrorCode = item[low + 1].AsInt();
        e.Message = item[low + 2].AsString();
        e.Context = item[low + 3].AsString();
        result.push_back(std::move(e));
    }
    return result;
}
