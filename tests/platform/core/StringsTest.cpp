#include <gtest/gtest.h>

#include "platform/core/Strings.h"

TEST(Strings, CaseAndTrim) {
    EXPECT_TRUE(SameText("pvdMain", "PVDMAIN"));
    EXPECT_FALSE(SameText("pvdMain", "pvdMai"));
    EXPECT_LT(CompareText("abc", "ABD"), 0);
    EXPECT_EQ(Trim("\t a b \r\n"), "a b");
    EXPECT_EQ(SplitString("a;;b", ';'), (std::vector<std::string>{"a", "", "b"}));
}

TEST(Strings, Utf8CountingAndCutting) {
    const std::string s = "费用A调整";
    EXPECT_EQ(Utf8Length(s), 5u);
    EXPECT_EQ(Utf8Left(s, 3), "费用A");
    EXPECT_EQ(Utf8Left(s, 99), s);
    EXPECT_TRUE(IsValidUtf8(s));
    EXPECT_FALSE(IsValidUtf8("\xC0\xAF"));       // overlong
    EXPECT_FALSE(IsValidUtf8("\xE8\xB4"));       // truncated
    EXPECT_FALSE(IsValidUtf8("\xED\xA0\x80"));   // surrogate
    EXPECT_EQ(Utf8Length("\xE8\xB4"), 2u);       // invalid bytes count one each
    size_t pos = 0;
    std::u32string decoded;
    const std::string mixed = "a费\xFF€";
    while (pos < mixed.size()) decoded.push_back(Utf8Decode(mixed, pos));
    EXPECT_EQ(decoded, (std::u32string{U'a', U'费', U'\xFF', U'€'}));
    std::string out;
    AppendUtf8(out, U'€');
    AppendUtf8(out, U'𠀀');
    EXPECT_EQ(out, "€𠀀");
}
