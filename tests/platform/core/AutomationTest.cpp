#include <gtest/gtest.h>

#include "platform/core/Automation.h"

namespace {
class Counter : public AutoObject {
public:
    Counter() : AutoObject("Test.Counter") {
        Method("Add", [this](OleArgs& a) {
            total_ += Arg(a, 0).AsInteger();
            return Variant(total_);
        });
        // Writes its result into its second argument, as out-parameters do.
        Method("Split", [](OleArgs& a) {
            const std::string s = Arg(a, 0).AsString();
            a[1] = Variant::ArrayOf({s.substr(0, 1), s.substr(1)});
            return Variant(true);
        });
        Property("Total", [this](OleArgs&) { return Variant(total_); },
                 [this](OleArgs&, const Variant& v) { total_ = v.AsInteger(); });
        Property("Name", [](OleArgs&) { return Variant("counter"); });
    }

private:
    int64_t total_ = 0;
};
}  // namespace

TEST(Automation, LateBoundCallsIgnoreCase) {
    RegisterOleClass("Test.Counter", [] { return std::make_shared<Counter>(); });
    Variant c = CreateOleObject("test.counter");
    EXPECT_EQ(c.Call("add", 5).AsInteger(), 5);
    EXPECT_EQ(c.Call("ADD", 2).AsInteger(), 7);
    c.Set("total", 100);
    EXPECT_EQ(c.Get("TOTAL").AsInteger(), 100);
    EXPECT_THROW(c.Set("Name", "x"), EOleError);
    EXPECT_THROW(c.Call("Nope"), EOleError);
    UnregisterOleClass("Test.Counter");
}

TEST(Automation, ByReferenceArgumentsComeBack) {
    Variant c(std::make_shared<Counter>());
    Variant out;
    Variant in = "ab";
    EXPECT_TRUE(c.Call("Split", in, ByRef(out)).AsBoolean());
    ASSERT_TRUE(out.IsArray());
    EXPECT_EQ(out[0].AsString(), "a");
    EXPECT_EQ(out[1].AsString(), "b");
    Variant copy;
    c.Call("Split", in, copy);   // by value: the caller's variant stays as it was
    EXPECT_TRUE(copy.IsEmpty());
}

TEST(Automation, UnknownProgramIdIsNamed) {
    try {
        CreateOleObject("No.Such");
        FAIL();
    } catch (const EOleSysError& e) {
        EXPECT_NE(e.Message().find("No.Such"), std::string::npos);
    }
    EXPECT_THROW(Variant().Call("Connect"), EOleError);
}
