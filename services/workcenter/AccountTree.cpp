#include "services/workcenter/AccountTree.h"

#include "platform/core/Strings.h"
#include "services/workcenter/AccountTreeWindow.h"
#include "services/workcenter/LookupKinds.h"
#include "services/workcenter/ServerLink.h"
#include "services/workcenter/ServiceWindow.h"

namespace {

Variant Item(const Variant& array, int i) {
    if (!array.IsArray() || array.DimCount() != 1 || i >= array.Count()) return {};
    return array[array.LowBound() + i];
}

}  // namespace

TAccountTree::TAccountTree(TServerLink& link) : AutoObject("TrelviC.Class1"), link_(link) {
    Method("ShowTree", [this](OleArgs& a) {
        const bool packed = a.size() == 1 && a[0].IsArray();
        auto arg = [&](int i) { return packed ? Item(a[0], i) : Arg(a, static_cast<size_t>(i)); };
        return Variant(ShowTree(arg(0), arg(2), arg(3), arg(4)));
    });
}

std::string TAccountTree::ShowTree(const Variant& table, const Variant& database, const Variant& current,
                                   const Variant& lookup) {
    std::string lookupTable = Item(lookup, 0).AsString(), kind = Item(lookup, 1).AsString();
    if (Trim(lookupTable).empty()) lookupTable = table.AsString().empty() ? "ACTMA" : table.AsString();
    if (Trim(kind).empty()) kind = "09";
    const auto definition = FindLookupKind(link_, database.AsString(), lookupTable, kind);
    if (!definition) return {};
    const Variant rows = RunLookup(link_, database.AsString(), *definition, Item(lookup, 2));
    if (!rows.IsArray() || rows.Count() == 0) return {};
    std::vector<TAccount> accounts;
    for (const Variant& row : rows.Elements())
        accounts.push_back({Trim(row[0].AsString()), row.Count() > 1 ? row[1].AsString() : std::string()});

    return OpenWindow<TfrmAccountTree>(std::move(accounts), current.AsString())->Execute();
}
