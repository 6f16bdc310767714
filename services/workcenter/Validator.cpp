#include "services/workcenter/Validator.h"

#include <cctype>

#include "platform/core/Strings.h"
#include "services/workcenter/LookupKinds.h"
#include "services/workcenter/ServerLink.h"

namespace {

bool IsPlainIdentifier(std::string_view s) {
    if (s.empty() || s.size() > 30 || !std::isalpha(static_cast<unsigned char>(s[0]))) return false;
    for (char c : s)
        if (!std::isalnum(static_cast<unsigned char>(c)) && c != '_') return false;
    return true;
}

bool IsDigits(std::string_view s) {
    if (s.empty()) return false;
    for (char c : s)
        if (!std::isdigit(static_cast<unsigned char>(c))) return false;
    return true;
}

// The number after `digits` (a text of decimal digits), zero-padded to its width.
std::string Increment(std::string digits) {
    for (size_t i = digits.size(); i-- > 0;) {
        if (digits[i] != '9') {
            ++digits[i];
            return digits;
        }
        digits[i] = '0';
    }
    return "1" + digits;
}

}  // namespace

TValidator::TValidator(TServerLink& link) : AutoObject("KestrinWorkCenter.Validator"), link_(link) {
    Method("CheckValue", [this](OleArgs& a) {
        a.resize(std::max<size_t>(a.size(), 5));
        return Variant(Lookup(a[0], a[1], a[2], a[3], a[4], false));
    });
    Method("QueryData", [this](OleArgs& a) {
        a.resize(std::max<size_t>(a.size(), 5));
        return Variant(Lookup(a[0], a[1], a[2], a[3], a[4], true));
    });
    Method("QueryMaxSeq", [this](OleArgs& a) { return Variant(QueryMaxSeq(a)); });
    Property(
        "BaseLimited", [this](OleArgs&) { return baseLimited_; },
        [this](OleArgs&, const Variant& v) { baseLimited_ = v; });
}

bool TValidator::Lookup(const Variant& table, const Variant& kind, const Variant& database, const Variant& values,
                        Variant& result, bool allRows) {
    result = Variant();
    const std::string db = database.AsString();
    const auto lookup = FindLookupKind(link_, db, table.AsString(), kind.AsString());
    if (!lookup) return false;
    Variant rows = RunLookup(link_, db, *lookup, values);
    if (!rows.IsArray() || rows.Count() == 0) return false;
    result = allRows ? std::move(rows) : rows[rows.LowBound()];
    return true;
}

bool TValidator::QueryMaxSeq(OleArgs& a) {
    a.resize(std::max<size_t>(a.size(), 7));
    a[6] = Variant();
    const std::string table = UpperCase(Trim(a[0].AsString()));
    std::vector<std::string> keys;
    for (const std::string& k : SplitString(a[1].AsString(), ',')) keys.push_back(UpperCase(Trim(k)));
    if (!IsPlainIdentifier(table) || keys.empty()) return false;
    for (const std::string& k : keys)
        if (!IsPlainIdentifier(k)) return false;

    std::vector<Variant> bound;
    const Variant& values = a[2];
    if (values.IsArray()) {
        for (const Variant& v : values.Elements()) bound.push_back(v.IsClear() ? Variant("") : v);
    } else if (!values.IsClear()) {
        bound.push_back(values);
    }
    if (bound.size() != keys.size() - 1) return false;
    const std::string prefix = Trim(a[3].AsString());
    const std::string& last = keys.back();
    std::string sql = "SELECT MAX(" + last + ") AS MAXSEQ FROM " + table + " WHERE SUBSTR(" + last + ", 1, ?) = ?";
    bound.insert(bound.begin(), {Variant(static_cast<long long>(Utf8Length(prefix))), Variant(prefix)});
    for (size_t i = 0; i + 1 < keys.size(); ++i) sql += " AND " + keys[i] + " = ?";

    const Variant rows = link_.Query(a[5].AsString(), sql, "MAXSEQ", Variant::ArrayOf(std::move(bound)));
    const std::string highest = rows.IsArray() && rows.Count() > 0 ? rows[rows.LowBound()][0].AsString() : "";
    std::string next;
    if (highest.empty()) {
        next = prefix + "0001";
    } else {
        const std::string rest = highest.substr(std::min(prefix.size(), highest.size()));
        if (!IsDigits(rest)) return false;
        next = prefix + Increment(rest);
    }
    a[6] = next;
    return true;
}
