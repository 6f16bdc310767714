#include <gtest/gtest.h>

#include "services/appserver/Rights.h"

namespace {

TEST(Rights, PowerDataGivesTheElementsTheWindowShows) {
    const TRights r = TRights::Parse("X,Y,n,-YYYYNYYYYNN,YYYYYYY,NNNNNNN");
    for (int e : {0, 14, 30, 37, 38, 39, 40, 41, 32, 33, 36, 43, 46, 52}) EXPECT_TRUE(r.Has(e)) << e;
    for (int e : {15, 31, 34, 35, 42, 44, 45, 53, 59}) EXPECT_FALSE(r.Has(e)) << e;
    EXPECT_TRUE(TRights::Parse("A,B,C,-NNNNNRN").Has(34));
    const TRights empty = TRights::Parse("");
    EXPECT_TRUE(empty.Has(15));
    EXPECT_FALSE(empty.Has(37));
    EXPECT_FALSE(empty.CanAdd());
}

TEST(Rights, RecordOwnerRulesDecideEditAndDelete) {
    // Owner-dependent: own records editable, own groups' records editable but not
    // deletable, other groups' records neither.
    const TRights r = TRights::Parse("P,N,Y,-YYNNNNNNN,NYNNNNN,NNNNNNN");
    struct Case {
        const char* creator;
        const char* group;
        bool edit, del;
    };
    const Case cases[] = {
        {"", "", true, true}, {"U1", "G9", true, true}, {"U2", "G1", true, false}, {"U2", "G2", true, false},
        {"U3", "G3", false, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.creator) + "/" + c.group);
        EXPECT_EQ(c.edit, r.CanEdit(c.creator, c.group, "U1", "'G1',\"G2\""));
        EXPECT_EQ(c.del, r.CanDelete(c.creator, c.group, "U1", "'G1',\"G2\""));
    }
    // Without the owner flag the own-record rights hold for every record.
    EXPECT_TRUE(TRights::Parse("P,N,N,-YYNNNNNNN").CanDelete("U3", "G3", "U1", "'G1'"));
}

}  // namespace
