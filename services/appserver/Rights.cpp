#include "services/appserver/Rights.h"

#include "platform/core/Strings.h"

TRights TRights::Parse(std::string_view powerData) {
    TRights r;
    if (powerData.empty()) {
        for (int e = 15; e <= 29; ++e) r.bits_.set(static_cast<size_t>(e));
        return r;
    }
    const std::vector<std::string> items = SplitString(powerData, ',');
    for (int e = 0; e <= 14; ++e) r.bits_.set(static_cast<size_t>(e));
    auto item = [&](size_t i) -> std::string_view { return i < items.size() ? std::string_view(items[i]) : ""; };
    // Position p (from 1) of an item, or 0 when missing.
    auto at = [&](size_t i, size_t p) -> char { return p <= item(i).size() ? item(i)[p - 1] : 0; };
    if (item(1) == "Y" || item(1) == "y") r.bits_.set(30);
    if (item(2) == "Y" || item(2) == "y") r.bits_.set(31);
    r.bits_.set(37);
    for (size_t p = 2; p <= 6; ++p)
        if (at(3, p) == 'Y') r.bits_.set(38 + (p - 2));
    if (at(3, 7) == 'Y') r.bits_.set(32);
    if (at(3, 7) == 'R') r.bits_.set(34);
    if (at(3, 8) == 'Y') r.bits_.set(33);
    if (at(3, 8) == 'R') r.bits_.set(35);
    if (at(3, 9) == 'Y') r.bits_.set(36);
    for (size_t p = 10; p <= 12; ++p)
        if (at(3, p) == 'Y') r.bits_.set(43 + (p - 10));
    for (size_t p = 1; p <= 7; ++p) {
        if (at(4, p) == 'Y') r.bits_.set(46 + (p - 1));
        if (at(5, p) == 'Y') r.bits_.set(53 + (p - 1));
    }
    return r;
}

int TRights::ByOwner(int own, int groups, int others, std::string_view creator, std::string_view group,
                     std::string_view userId, std::string_view groupList) const {
    if (!Has(31)) return own;
    const std::string c = Trim(creator);
    if (c.empty() || c == Trim(userId)) return own;
    const std::string g = Trim(group);
    if (!g.empty() && (groupList.find("'" + g + "'") != std::string_view::npos ||
                       groupList.find("\"" + g + "\"") != std::string_view::npos))
        return groups;
    return others;
}

bool TRights::CanEdit(std::string_view creator, std::string_view group, std::string_view userId,
                      std::string_view groupList) const {
    return Has(ByOwner(38, 47, 54, creator, group, userId, groupList));
}

bool TRights::CanDelete(std::string_view creator, std::string_view group, std::string_view userId,
                        std::string_view groupList) const {
    return Has(ByOwner(39, 48, 55, creator, group, userId, groupList));
}
