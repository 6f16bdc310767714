#include <gtest/gtest.h>

#include "services/workcenter/DocumentStore.h"
#include "tests/services/workcenter/WorkCenterFixture.h"

namespace {

class DocumentStoreTest : public WorkCenterFixture {
protected:
    Variant store{std::static_pointer_cast<IDispatch>(std::make_shared<TDocumentStore>(link))};
};

TEST_F(DocumentStoreTest, CheckOutCopiesAKnownDocumentForTheDesktop) {
    Variant out;
    ASSERT_EQ(0, store.Call("CheckOut", "DS", "R", "DOC-A001", 1, ByRef(out)).AsInt());
    ASSERT_TRUE(out.IsArray());
    const std::string path = out[0].AsString();
    EXPECT_EQ(dir.File("cache/velmora/documents/DOC-A001/1/A001说明.txt"), path);
    EXPECT_EQ("办公桌 A001: 1200x600, 每张附两把钥匙。", ReadBytes(path));

    // One array by reference, the way the record window passes it; no revision means the latest.
    Variant args = Variant::ArrayOf({"DS", "R", "DOC-A001", "", ""});
    ASSERT_EQ(0, store.Call("CheckOut", ByRef(args)).AsInt());
    EXPECT_EQ(path, args[4][0].AsString());
}

TEST_F(DocumentStoreTest, CheckOutFailuresAreNegative) {
    struct Case {
        const char* name;
        const char* mode;
        const char* id;
        Variant revision;
        int result;
    };
    const Case cases[] = {{"unknown document", "R", "DOC-NONE", 1, -1},
                          {"unknown revision", "R", "DOC-A001", 7, -1},
                          {"revision not a number", "R", "DOC-A001", "x", -1},
                          {"no id", "R", "", 1, -1},
                          {"write mode", "W", "DOC-A001", 1, -3}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Variant out = "stale";
        EXPECT_EQ(c.result, store.Call("CheckOut", "DS", c.mode, c.id, c.revision, ByRef(out)).AsInt());
        EXPECT_TRUE(out.IsEmpty());
    }
}

}  // namespace
