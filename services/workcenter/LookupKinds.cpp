#include "services/workcenter/LookupKinds.h"

#include "platform/core/Strings.h"
#include "services/workcenter/ServerLink.h"

namespace {

std::vector<std::string> Items(const std::string& list) {
    std::vector<std::string> items;
    if (Trim(list).empty()) return items;
    for (const std::string& item : SplitString(list, ',')) items.push_back(Trim(item));
    return items;
}

std::string Joined(const std::vector<std::string>& items) {
    std::string text;
    for (const std::string& item : items) text += (text.empty() ? "" : ",") + item;
    return text;
}

// The caller's value i: texts and numbers as they are; a missing, empty or
// nested value binds as the empty text.
Variant BoundValue(const Variant& values, int i) {
    if (!values.IsArray()) return i == 0 && !values.IsClear() ? values : Variant("");
    if (values.DimCount() != 1 || i >= values.Count()) return Variant("");
    const Variant& v = values[values.LowBound() + i];
    return v.IsClear() || v.IsArray() || v.IsDispatch() ? Variant("") : v;
}

}  // namespace

std::optional<TLookupKind> FindLookupKind(TServerLink& link, const std::string& database, const std::string& table,
                                          const std::string& kind) {
    const Variant rows = link.Query(database,
                                    "SELECT LD_SQL, LD_PARAMS, LD_FIELDS, LD_TITLES, LD_CAPTION FROM LOOKUPDEF "
                                    "WHERE LD_TABLE = ? AND LD_KIND = ?",
                                    "LD_SQL,LD_PARAMS,LD_FIELDS,LD_TITLES,LD_CAPTION",
                                    Variant::ArrayOf({UpperCase(Trim(table)), Trim(kind)}));
    if (!rows.IsArray() || rows.Count() == 0) return std::nullopt;
    const Variant& row = rows[rows.LowBound()];
    TLookupKind lookup;
    lookup.Table = UpperCase(Trim(table));
    lookup.Kind = Trim(kind);
    lookup.Sql = row[0].AsString();
    for (const std::string& index : Items(row[1].AsString())) lookup.Params.push_back(Variant(index).AsInt());
    lookup.Fields = Items(row[2].AsString());
    lookup.Titles = Items(row[3].AsString());
    lookup.Caption = row[4].AsString();
    return lookup;
}

Variant RunLookup(TServerLink& link, const std::string& database, const TLookupKind& lookup, const Variant& values) {
    std::vector<Variant> bound;
    bound.reserve(lookup.Params.size());
    for (int index : lookup.Params) bound.push_back(BoundValue(values, index));
    return link.Query(database, lookup.Sql, Joined(lookup.Fields), Variant::ArrayOf(std::move(bound)));
}
