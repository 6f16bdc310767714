#include "services/workcenter/Counter.h"

#include "platform/core/Strings.h"
#include "services/workcenter/LookupKinds.h"
#include "services/workcenter/ServerLink.h"

namespace {

// Element i of a one-dimensional argument array (Empty when missing).
Variant Item(const Variant& array, int i) {
    if (!array.IsArray() || array.DimCount() != 1 || i >= array.Count()) return {};
    return array[array.LowBound() + i];
}

}  // namespace

TCounter::TCounter(TServerLink& link) : AutoObject("KestrinWorkCenter.Counter"), link_(link) {
    Method("GETCOUNTER", [this](OleArgs& a) { return GetCounter(Arg(a, 0).AsString(), Arg(a, 1), Arg(a, 2)); });
    Method("GetSysInfo", [this](OleArgs& a) { return GetSysInfo(Arg(a, 0).AsString()); });
}

Variant TCounter::GetCounter(const std::string& name, const Variant& values, const Variant& session) {
    const std::string company = Item(session, 0).AsString();
    std::string database = Item(session, 1).AsString();
    auto server = [&] { return link_.Server(database, company); };

    if (SameText(name, "SimpleSQL")) {
        if (Trim(database).empty()) database = Item(values, 2).AsString();
        return server().Call("SimpleSQL", Item(values, 0), Item(values, 1), database, Item(values, 3));
    }
    if (SameText(name, "TransactionSQL")) return server().Call("TransactionSQL", Item(values, 0), Item(values, 1));
    if (SameText(name, "GetUserDefine"))
        return server().Call("GetUserDefine", Item(values, 0), Item(values, 1), Item(values, 2), Item(values, 3));
    if (SameText(name, "SetUserDefine")) {
        try {
            return server().Call("SetUserDefine", Item(values, 0), Item(values, 1), Item(values, 2), Item(values, 3),
                                 Item(values, 4));
        } catch (const Exception& e) {
            return Variant(e.Message());
        }
    }
    if (SameText(name, "QueryUDFData")) {
        if (Trim(database).empty()) database = Item(values, 2).AsString();
        const auto rule = FindLookupKind(link_, database, "UDFEXPR", Item(values, 0).AsString());
        if (!rule) return {};
        return RunLookup(link_, database, *rule, Item(values, 4));
    }
    throw EOleError("Unknown counter function: " + name);
}

Variant TCounter::GetSysInfo(const std::string& company) {
    const Variant rows = link_.Query(link_.DefaultDatabase(), "SELECT NAME, VALUE FROM SYSPARAM WHERE COMPANY_ID = ? ORDER BY NAME",
                                     "NAME,VALUE", Variant::ArrayOf({company}));
    if (!rows.IsArray() || rows.Count() == 0) return {};
    Variant info = Variant::CreateArray({VarBounds{0, 1}, VarBounds{0, rows.Count() - 1}});
    for (int i = 0; i < rows.Count(); ++i) {
        info.At(0, i) = rows[i][0];
        info.At(1, i) = rows[i][1].IsNull() ? Variant("") : rows[i][1];
    }
    return info;
}
