#include <gtest/gtest.h>

#include "platform/core/DateTime.h"
#include "platform/core/Variant.h"

TEST(Variant, TextConversions) {
    struct Case {
        const char* name;
        Variant v;
        std::string text;
    } cases[] = {
        {"empty", Variant(), ""},
        {"null", Variant::Null(), ""},
        {"true", Variant(true), "True"},
        {"integer", Variant(-42), "-42"},
        {"big integer", Variant(int64_t{9007199254740993}), "9007199254740993"},
        {"shortest double", Variant(0.1), "0.1"},
        {"whole double", Variant(3.0), "3"},
        {"tiny double", Variant(1e-7), "1e-07"},
        {"text", Variant("设置分录性质"), "设置分录性质"},
        {"date", Variant(EncodeDate(2026, 12, 11)), "2026-12-11"},
        {"date-time", Variant(TDateTime(EncodeDate(2024, 2, 29).Value + EncodeTime(13, 5, 9).Value)), "2024-02-29 13:05:09"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(c.v.AsString(), c.text);
    }
}

TEST(Variant, NumberConversions) {
    EXPECT_EQ(Variant(" 12 ").AsInteger(), 12);
    EXPECT_EQ(Variant("+7").AsInteger(), 7);
    EXPECT_DOUBLE_EQ(Variant("1.5e2").AsDouble(), 150.0);
    EXPECT_EQ(Variant(2.5).AsInteger(), 2);   // half to even
    EXPECT_EQ(Variant(3.5).AsInteger(), 4);
    EXPECT_EQ(Variant(true).AsInteger(), -1);
    EXPECT_EQ(Variant().AsInteger(), 0);
    EXPECT_TRUE(Variant("True").AsBoolean());
    EXPECT_FALSE(Variant("0").AsBoolean());
    EXPECT_EQ(Variant("2026-01-31").AsDate(), EncodeDate(2026, 1, 31));
}

TEST(Variant, BadConversionsNameTheValue) {
    for (const char* text : {"abc", "", "12x", "1.2.3", "2026-02-30"}) {
        SCOPED_TRACE(text);
        try {
            (void)Variant(text).AsDouble();
            if (std::string(text) != "2026-02-30") FAIL() << "no error";
        } catch (const EConvertError& e) {
            EXPECT_NE(e.Message().find(std::string("'") + text + "'"), std::string::npos) << e.Message();
        }
    }
    EXPECT_THROW((void)Variant("2026-02-30").AsDate(), EConvertError);
    EXPECT_THROW((void)Variant::Null().AsInteger(), EVariantError);
    EXPECT_THROW((void)Variant(1e300).AsInteger(), EConvertError);
}

TEST(Variant, ComparisonRules) {
    EXPECT_EQ(Variant(1), Variant(1.0));
    EXPECT_EQ(Variant(1), Variant("1"));
    EXPECT_NE(Variant("1"), Variant("1.0"));   // two texts compare as texts
    EXPECT_EQ(Variant(), Variant());
    EXPECT_NE(Variant(), Variant::Null());
    EXPECT_LT(Variant::Compare(Variant::Null(), Variant(-5)), 0);
    EXPECT_LT(Variant::Compare(Variant(9), Variant(10)), 0);
    EXPECT_GT(Variant::Compare(Variant("9"), Variant("10")), 0);
    EXPECT_LT(Variant::Compare(Variant(5), Variant("abc")), 0);
    EXPECT_EQ(Variant::ArrayOf({1, "a"}), Variant::ArrayOf({1, "a"}));
    EXPECT_NE(Variant::ArrayOf({1, "a"}), Variant::ArrayOf({1, "b"}));
}

TEST(Variant, ArraysHaveBoundsAndValueSemantics) {
    Variant a = Variant::CreateArray({{1, 3}});
    EXPECT_EQ(a.DimCount(), 1);
    EXPECT_EQ(a.LowBound(), 1);
    EXPECT_EQ(a.HighBound(), 3);
    a[1] = "x";
    a[3] = Variant::ArrayOf({10, 20});   // nested
    Variant copy = a;
    copy[1] = "changed";
    EXPECT_EQ(a[1].AsString(), "x");
    EXPECT_EQ(a[3][1].AsInteger(), 20);
    EXPECT_THROW(a[0], EVariantError);
    EXPECT_THROW(a[4], EVariantError);
    a.Redim(4);
    EXPECT_EQ(a.Count(), 4);
    EXPECT_EQ(a[1].AsString(), "x");
    EXPECT_TRUE(a[4].IsEmpty());
}

TEST(Variant, TwoDimensionalArrays) {
    Variant t = VarArrayOfRows({{"SYS001", "Y"}, {"SYS002", 2}});
    EXPECT_EQ(t.DimCount(), 2);
    EXPECT_EQ(t.HighBound(1), 1);
    EXPECT_EQ(t.HighBound(2), 1);
    EXPECT_EQ(t.At(1, 0).AsString(), "SYS002");
    EXPECT_EQ(t.At(1, 1).AsInteger(), 2);
    EXPECT_THROW(t[0], EVariantError);
    EXPECT_THROW(t.At(2, 0), EVariantError);
    t.Redim(2);
    EXPECT_EQ(t.At(1, 0).AsString(), "SYS002");
    EXPECT_TRUE(t.At(1, 2).IsEmpty());
    EXPECT_THROW((void)t.AsString(), EVariantError);
}

TEST(Variant, MoveLeavesSourceEmpty) {
    Variant a("text");
    Variant b = std::move(a);
    EXPECT_TRUE(a.IsEmpty());   // NOLINT(bugprone-use-after-move)
    EXPECT_EQ(b.AsString(), "text");
    b = Variant::ArrayOf({1});
    b = b;   // self-assignment keeps the value
    EXPECT_EQ(b[0].AsInteger(), 1);
}
