#include "services/workcenter/Pikvalo.h"

#include "platform/core/Strings.h"
#include "services/workcenter/CalculatorWindow.h"
#include "services/workcenter/CharacterWindow.h"
#include "services/workcenter/LookupKinds.h"
#include "services/workcenter/PhraseWindow.h"
#include "services/workcenter/PickWindow.h"
#include "services/workcenter/ServerLink.h"
#include "services/workcenter/ServiceWindow.h"

namespace {

Variant Item(const Variant& array, int i) {
    if (!array.IsArray() || array.DimCount() != 1 || i >= array.Count()) return {};
    return array[array.LowBound() + i];
}

}  // namespace

TPikvalo::TPikvalo(TServerLink& link) : AutoObject("KestrinWorkCenter.Pikvalo"), link_(link) {
    Method("F2GetData", [this](OleArgs& a) { return F2GetData(Arg(a, 0)); });
    Method("GetPhrase2", [this](OleArgs& a) {
        a.resize(std::max<size_t>(a.size(), 4));
        return Variant(GetPhrase2(a[0].AsString(), a[3]));
    });
    Method("ShowCharaters", [this](OleArgs& a) {
        const Variant& set = Arg(a, 2);
        return ShowCharaters(set.IsNumeric() ? set.AsInt() : 0, Arg(a, 3).IsClear() ? false : Arg(a, 3).AsBoolean());
    });
    Method("GetCalcValue", [this](OleArgs& a) {
        if (a.empty()) a.emplace_back("");
        return GetCalcValue(a[0]);
    });
}

Variant TPikvalo::F2GetData(const Variant& args) {
    const std::string database = Item(args, 6).AsString();
    const auto lookup = FindLookupKind(link_, database, Item(args, 0).AsString(), Item(args, 1).AsString());
    if (!lookup) return {};
    const Variant found = RunLookup(link_, database, *lookup, Item(args, 2));
    if (!found.IsArray() || found.Count() == 0) return {};

    std::vector<std::vector<Variant>> rows;
    rows.reserve(static_cast<size_t>(found.Count()));
    for (const Variant& row : found.Elements()) rows.push_back(row.Elements());
    const std::string text = Trim(Item(args, 4).AsString());
    const bool single = Item(args, 9).IsClear() ? false : Item(args, 9).AsBoolean();
    if (single && !text.empty())
        for (const Variant& row : found.Elements())
            if (SameText(Trim(row[0].AsString()), text)) return Variant::ArrayOf({row});

    std::vector<std::string> titles = lookup->Titles;
    titles.resize(lookup->Fields.size());
    for (size_t i = 0; i < titles.size(); ++i)
        if (titles[i].empty()) titles[i] = lookup->Fields[i];
    const std::string caption = lookup->Caption.empty() ? lookup->Table + " " + lookup->Kind : lookup->Caption;
    auto window = OpenWindow<TfrmPick>(caption, titles, rows, !single);
    if (single)
        window->SetSearch(text);
    else
        window->LocateFirstValue(text);
    const std::vector<int> chosen = window->Execute();
    if (chosen.empty()) return {};
    std::vector<Variant> result;
    for (int r : chosen) result.push_back(found[r]);
    return Variant::ArrayOf(std::move(result));
}

int TPikvalo::GetPhrase2(const std::string& user, Variant& text) {
    std::string phrase = text.AsString();
    auto window = OpenWindow<TfrmPhrase>(link_, user, phrase);
    const int index = window->Execute(phrase);
    if (index >= 0) text = phrase;
    return index;
}

Variant TPikvalo::ShowCharaters(int set, bool several) {
    auto window = OpenWindow<TfrmCharacters>(set, several);
    std::string chosen;
    if (!window->Execute(chosen)) return {};
    return Variant::ArrayOf({chosen});
}

Variant TPikvalo::GetCalcValue(Variant& expression) {
    auto window = OpenWindow<TfrmCalculator>(expression.AsString());
    std::string value;
    if (window->Execute(value)) expression = value;
    return expression;
}
