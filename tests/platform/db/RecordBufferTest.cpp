#include <gtest/gtest.h>

#include "platform/db/RecordBuffer.h"

TEST(RecordBuffer, KeepsEveryValueKind) {
    const std::vector<Variant> values{Variant(), Variant::Null(), Variant(int64_t{-9007199254740993}), Variant(2.5),
                                      Variant("设置分录"), Variant(""), Variant(true),
                                      Variant(TDateTime(45356.5)), Variant::ArrayOf({1, "a"})};
    TRecordBuffer row(values);
    ASSERT_EQ(row.Count(), values.size());
    for (size_t i = 0; i < values.size(); ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(row.Value(i).Type(), values[i].Type());
        EXPECT_TRUE(row.Value(i) == values[i]);
    }
    EXPECT_TRUE(row.IsNull(0));
    EXPECT_TRUE(row.IsNull(1));
    EXPECT_FALSE(row.IsNull(5));
    EXPECT_EQ(row.TextView(4), "设置分录");
}

TEST(RecordBuffer, SetValueAndCloneKeepHeldValuesApart) {
    TRecordBuffer row(std::vector<Variant>{Variant("a"), Variant::ArrayOf({1, 2}), Variant(3)});
    TRecordBuffer copy = row.Clone();
    row.SetValue(0, Variant("longer text"));
    row.SetValue(1, Variant::ArrayOf({9}));
    EXPECT_EQ(row.Value(0).AsString(), "longer text");
    EXPECT_EQ(row.Value(1)[0].AsInt(), 9);
    EXPECT_EQ(row.Value(2).AsInt(), 3);
    EXPECT_EQ(copy.Value(0).AsString(), "a");
    EXPECT_EQ(copy.Value(1).Count(), 2);
    EXPECT_THROW(row.SetValue(3, Variant(1)), EVariantError);
}

TEST(RecordBuffer, CompareOrdersNullsNumbersAndTexts) {
    TRecordBuffer a(std::vector<Variant>{Variant::Null(), Variant(2), Variant("abc"), Variant(1.5)});
    TRecordBuffer b(std::vector<Variant>{Variant(0), Variant(2.0), Variant("ABD"), Variant(true)});
    EXPECT_LT(TRecordBuffer::Compare(a, 0, b, 0), 0);
    EXPECT_EQ(TRecordBuffer::Compare(a, 1, b, 1), 0);
    EXPECT_GT(TRecordBuffer::Compare(a, 2, b, 2), 0);          // 'a' > 'A' by bytes
    EXPECT_LT(TRecordBuffer::Compare(a, 2, b, 2, true), 0);    // abc < ABD ignoring case
    EXPECT_GT(TRecordBuffer::Compare(a, 3, b, 3), 0);          // true is -1
    EXPECT_EQ(a.CompareWith(2, Variant("ABC"), true), 0);
    EXPECT_LT(a.CompareWith(1, Variant(2.5)), 0);
    EXPECT_EQ(a.CompareWith(0, Variant::Null()), 0);
}

TEST(RecordBuffer, LargeRowsSwitchToWideOffsets) {
    const std::string big(70000, 'x');
    TRecordBuffer row(std::vector<Variant>{Variant("a"), Variant(1), Variant("b")});
    row.SetValue(1, Variant(big));   // grows past 64 KiB
    EXPECT_EQ(row.Value(1).AsString(), big);
    EXPECT_EQ(row.TextView(2), "b");
    TRecordBuffer copy = row.Clone();
    row.SetValue(1, Variant(2));     // and back
    EXPECT_EQ(row.Value(1).AsInt(), 2);
    EXPECT_EQ(row.TextView(0), "a");
    EXPECT_LT(row.ByteSize(), 100u);
    EXPECT_EQ(copy.Value(1).AsString().size(), big.size());
    EXPECT_EQ(TRecordBuffer(std::vector<Variant>{Variant(big), Variant(big)}).Value(1).AsString(), big);
}
