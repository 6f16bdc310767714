#include <gtest/gtest.h>

#include "services/appserver/SqlRewriter.h"

namespace {

TEST(SqlRewriter, RewritesOnlyWhatTheModuleWritesForTheOtherServer) {
    struct Case {
        const char* name;
        const char* in;
        const char* out;
    };
    const Case cases[] = {
        {"placeholder prefix", "SELECT NH003 FROM $$ADMNH WHERE NH001 = 'TOVI58'",
         "SELECT NH003 FROM ADMNH WHERE NH001 = 'TOVI58'"},
        {"database qualifier", "SELECT * FROM DEMO..AJSMB A", "SELECT * FROM AJSMB A"},
        {"qualifier without regard to case", "select * from demo..ACTMA", "select * from ACTMA"},
        {"top becomes limit", "select top 1 MF001,MF003 from $$CMSMF CMSMF where MF001='X'",
         "select MF001,MF003 from CMSMF CMSMF where MF001='X' LIMIT 1"},
        {"top in a sub-select", "SELECT A FROM T WHERE B IN (SELECT TOP 3 B FROM U ORDER BY B) ORDER BY A",
         "SELECT A FROM T WHERE B IN (SELECT B FROM U ORDER BY B LIMIT 3) ORDER BY A"},
        {"top with parentheses and distinct", "SELECT DISTINCT TOP (5) A FROM T;",
         "SELECT DISTINCT A FROM T LIMIT 5;"},
        {"quoted texts untouched", "SELECT '$$X', 'DEMO..Y', 'select top 2' FROM T",
         "SELECT '$$X', 'DEMO..Y', 'select top 2' FROM T"},
        {"doubled quote inside a text", "SELECT 'it''s $$' FROM $$T", "SELECT 'it''s $$' FROM T"},
        {"comment untouched", "SELECT A -- $$B\nFROM $$T", "SELECT A -- $$B\nFROM T"},
        {"column named top", "SELECT TOP_LEVEL FROM T", "SELECT TOP_LEVEL FROM T"},
        {"top without a number", "SELECT top FROM T", "SELECT top FROM T"},
        {"plain text unchanged", "UPDATE T SET A = ? WHERE B = ?", "UPDATE T SET A = ? WHERE B = ?"},
        {"limit after a closing line comment", "SELECT TOP 2 A FROM T -- last", "SELECT A FROM T -- last\nLIMIT 2"},
        {"dollars inside a word stay", "SEL$$ECT TOP 1 A FROM T", "SEL$$ECT TOP 1 A FROM T"},
        {"dollars not before a name stay", "SELECT A FROM DEMO.$$.T", "SELECT A FROM DEMO.$$.T"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(c.out, RewriteSql(c.in, "DEMO"));
    }
}

TEST(SqlRewriter, AnotherDatabaseIsRefused) {
    EXPECT_THROW(RewriteSql("SELECT * FROM OTHER..AJSMB", "DEMO"), ESqlRewriteError);
}

}  // namespace
