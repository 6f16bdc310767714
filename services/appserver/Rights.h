#pragma once
// `TRights`: a user's rights for one program, read from the same power-data
// text the server hands out as POWER_DATA, so that the server enforces exactly
// what the window shows. Elements are numbered 0 to 63 as the module numbers them:
// 36 add; 38/39 edit/delete (own records, or all when 31 is absent); 31 rights
// depend on the record's owner; 47/48 edit/delete records of the user's groups;
// 54/55 edit/delete records of other groups.
#include <bitset>
#include <string>
#include <string_view>

class TRights {
public:
    // Parses power data: items separated by ","; item 1 "Y" gives 30, item 2 "Y"
    // gives 31; 37 always; item 3 positions 2-6 give 38-42, 7/8 "Y" give 32/33 and
    // "R" 34/35, 9 gives 36, 10-12 give 43-45; items 4 and 5 positions 1-7 give
    // 46-52 and 53-59. Empty power data gives 15-29 (no command right at all).
    static TRights Parse(std::string_view powerData);

    bool Has(int element) const { return element >= 0 && element < 64 && bits_.test(static_cast<size_t>(element)); }
    bool CanAdd() const { return Has(36); }
    // Whether the user may edit (or delete) a stored record with this creator and
    // group; groupList is the user's group list ('G1','G2').
    bool CanEdit(std::string_view creator, std::string_view group, std::string_view userId,
                 std::string_view groupList) const;
    bool CanDelete(std::string_view creator, std::string_view group, std::string_view userId,
                   std::string_view groupList) const;

private:
    int ByOwner(int own, int groups, int others, std::string_view creator, std::string_view group,
                std::string_view userId, std::string_view groupList) const;
    std::bitset<64> bits_;
};
