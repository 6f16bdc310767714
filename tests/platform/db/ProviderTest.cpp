#include <gtest/gtest.h>

#include "platform/db/MemoryProvider.h"

namespace {

TFieldDefs ItemDefs() {
    TFieldDefs defs;
    defs.Add("ID", TFieldType::ftString, 10).Key = true;
    defs.Add("QTY", TFieldType::ftInteger);
    defs.Add("NAMEC", TFieldType::ftString, 20).ReadOnly = true;
    defs.Add("FLAG", TFieldType::ftInteger);
    return defs;
}

TFieldDefs OrderDefs() {
    TFieldDefs defs;
    defs.Add("NO", TFieldType::ftString, 8).Key = true;
    defs.Add("FLAG", TFieldType::ftInteger);
    TFieldDef lines;
    lines.Name = "LINES";
    lines.DataType = TFieldType::ftDataSet;
    lines.ChildDefs = ItemDefs().Items();
    defs.Add(lines);
    return defs;
}

Variant Rows(std::initializer_list<std::vector<Variant>> rows) { return VarArrayOfRows(rows); }

Variant Values(std::initializer_list<Variant> v) { return Variant::ArrayOf(v); }

const Variant E;   // unchanged / absent

std::shared_ptr<TMemoryProvider> ItemTable() {
    auto p = std::make_shared<TMemoryProvider>(ItemDefs());
    p->AppendRow({"A", 1, "name a", 1});
    p->AppendRow({"B", 2, "name b", 5});
    p->AppendRow({"C", 3, "name c", 7});
    return p;
}

}  // namespace

TEST(ProviderProtocol, FieldDefinitionsRoundTrip) {
    const TFieldDefs defs = DecodeFieldDefs(EncodeFieldDefs(OrderDefs()));
    ASSERT_EQ(defs.Count(), 3);
    EXPECT_EQ(defs[0].Name, "NO");
    EXPECT_EQ(defs[0].DataType, TFieldType::ftString);
    EXPECT_EQ(defs[0].Size, 8);
    EXPECT_TRUE(defs[0].Key);
    EXPECT_EQ(defs[2].DataType, TFieldType::ftDataSet);
    ASSERT_EQ(defs[2].ChildDefs.size(), 4u);
    EXPECT_TRUE(defs[2].ChildDefs[2].ReadOnly);
    EXPECT_FALSE(defs[2].ChildDefs[1].ReadOnly);
}

TEST(ProviderProtocol, MalformedPacketsAreRefused) {
    const Variant fields = EncodeFieldDefs(ItemDefs());
    const Variant good = Rows({{"A", 1, "x", 0}});
    struct Case {
        const char* name;
        Variant packet;
        const char* expected;   // part of the message
    } cases[] = {
        {"not an array", Variant("packet"), "Malformed data packet"},
        {"no eof flag", Values({fields, good, 1}), "end-of-data"},
        {"too few columns", Values({fields, Rows({{"A", 1, "x"}}), true}), "3 columns for 4 fields"},
        {"text in an integer field", Values({fields, Rows({{"A", "one", "x", 0}}), true}), "field 'QTY'"},
        {"rows not two-dimensional", Values({fields, Values({"A", 1, "x", 0}), true}), "two-dimensional"},
        {"unknown type", Values({Values({Values({"X", "Colour", 0, 0})}), good, true}), "Unknown field type"},
        {"duplicate names", Values({Values({Values({"X", "String", 1, 0}), Values({"x", "String", 1, 0})}),
                                    Rows({{"a", "b"}}), true}), "Duplicate"},
        {"nested rows of the wrong shape",
         Values({EncodeFieldDefs(OrderDefs()), Rows({{"1", 0, Rows({{"A", 1}})}}), true}), "2 columns for 4 fields"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        try {
            DecodeDataPacket(c.packet);
            ADD_FAILURE() << "accepted";
        } catch (const EDatabaseError& e) {
            EXPECT_NE(e.Message().find(c.expected), std::string::npos) << e.Message();
        }
    }
    EXPECT_EQ(DecodeDataPacket(Values({fields, good, true})).RowCount(), 1);

    // The encoder refuses what the decoder would.
    TDataPacket packet;
    packet.Fields = ItemDefs();
    packet.Rows = Rows({{"A", 1.5, "x", 0}});
    EXPECT_THROW(EncodeDataPacket(packet), EDatabaseError);
    packet.Rows = good;
    packet.Eof = false;
    const TDataPacket back = DecodeDataPacket(EncodeDataPacket(packet));
    EXPECT_FALSE(back.Eof);
    EXPECT_EQ(back.Rows.At(0, 2).AsString(), "x");
}

TEST(ProviderProtocol, MemoryProviderAnswersInPackets) {
    auto table = ItemTable();
    const Variant request = Values({"QTY > 1", "ID"});
    TDataPacket first = DecodeDataPacket(table->GetRecords(2, 0, request));
    EXPECT_EQ(first.RowCount(), 2);
    EXPECT_FALSE(first.Eof);
    EXPECT_EQ(first.Rows.At(1, 0).AsString(), "B");
    TDataPacket rest = DecodeDataPacket(table->GetRecords(2, 2, request));
    EXPECT_EQ(rest.RowCount(), 1);
    EXPECT_TRUE(rest.Eof);
    EXPECT_EQ(rest.Rows.At(0, 0).AsString(), "C");
    EXPECT_TRUE(table->LastRequest() == request);
    TDataPacket defsOnly = DecodeDataPacket(table->GetRecords(0, 0, E));
    EXPECT_EQ(defsOnly.RowCount(), 0);
    EXPECT_EQ(defsOnly.Fields.Count(), 4);
    EXPECT_THROW(table->AppendRow({"D", "x", "", 0}), EDatabaseError);
    EXPECT_EQ(table->RowCount(), 3);
}

TEST(ProviderProtocol, DeltaAppliesAndConflictsAreRejected) {
    auto table = ItemTable();
    TDelta delta;
    delta.Fields = ItemDefs();
    delta.Changes = {
        {TUpdateKind::ukInsert, E, Values({"D", 4, "computed", 1})},
        {TUpdateKind::ukModify, Values({"A", 1, "name a", 1}), Values({E, 10, E, 2})},
        {TUpdateKind::ukModify, Values({"B", 2, "name b", 4}), Values({E, 20, E, 5})},   // FLAG moved on
        {TUpdateKind::ukDelete, Values({"C", 3, "name c", 7}), E},
        {TUpdateKind::ukInsert, E, Values({"A", 0, E, 1})},                                // key exists
        {TUpdateKind::ukDelete, Values({"Z", 0, "", 0}), E},                               // gone
    };
    int errorCount = -1;
    const auto errors = DecodeUpdateErrors(table->ApplyUpdates(EncodeDelta(delta), -1, errorCount));
    ASSERT_EQ(errorCount, 3);
    ASSERT_EQ(errors.size(), 3u);
    EXPECT_EQ(errors[0].Index, 2);
    EXPECT_EQ(errors[0].ErrorCode, kReconcileChanged);
    EXPECT_EQ(errors[0].Context, "modify where ID='B'");
    EXPECT_EQ(errors[1].ErrorCode, kReconcileKeyViolation);
    EXPECT_EQ(errors[2].ErrorCode, kReconcileNotFound);

    ASSERT_EQ(table->RowCount(), 3);   // A, B, D
    EXPECT_EQ(table->Value(0, "QTY").AsInt(), 10);
    EXPECT_EQ(table->Value(0, "FLAG").AsInt(), 2);
    EXPECT_EQ(table->Value(1, "QTY").AsInt(), 2);      // the conflicting edit changed nothing
    EXPECT_EQ(table->Value(2, "ID").AsString(), "D");
    EXPECT_TRUE(table->Value(2, "NAMEC").IsNull());    // read-only columns are never written
}

TEST(ProviderProtocol, TooManyErrorsApplyNothing) {
    auto table = ItemTable();
    TDelta delta;
    delta.Fields = ItemDefs();
    delta.Changes = {
        {TUpdateKind::ukDelete, Values({"A", 1, "name a", 1}), E},
        {TUpdateKind::ukModify, Values({"C", 3, "name c", 7}), Values({"B", E, E, 8})},   // key taken
        {TUpdateKind::ukInsert, E, Values({"E", 5, E, 1})},
    };
    int errorCount = 0;
    auto errors = DecodeUpdateErrors(table->ApplyUpdates(EncodeDelta(delta), 0, errorCount));
    EXPECT_EQ(errorCount, 1);
    ASSERT_EQ(errors.size(), 1u);
    EXPECT_EQ(errors[0].Index, 1);
    ASSERT_EQ(table->RowCount(), 3);
    EXPECT_EQ(table->Value(0, "ID").AsString(), "A");
    EXPECT_EQ(table->Value(2, "ID").AsString(), "C");

    errors = DecodeUpdateErrors(table->ApplyUpdates(EncodeDelta(delta), 1, errorCount));
    EXPECT_EQ(errorCount, 1);
    ASSERT_EQ(table->RowCount(), 3);   // B, C, E
    EXPECT_EQ(table->Value(0, "ID").AsString(), "B");
    EXPECT_EQ(table->Value(2, "ID").AsString(), "E");
}

TEST(ProviderProtocol, NestedChangesApplyWithTheirMaster) {
    auto orders = std::make_shared<TMemoryProvider>(OrderDefs());
    orders->AppendRow({"O1", 1, Rows({{"A", 1, "x", 1}, {"B", 2, "y", 1}})});
    const Variant lineChanges = EncodeChanges({
        {TUpdateKind::ukModify, Values({"A", 1, "x", 1}), Values({E, 5, E, 2})},
        {TUpdateKind::ukDelete, Values({"B", 2, "y", 1}), E},
    });
    TDelta delta;
    delta.Fields = OrderDefs();
    delta.Changes = {{TUpdateKind::ukModify, Values({"O1", 1, E}), Values({E, E, lineChanges})}};
    int errorCount = 0;
    orders->ApplyUpdates(EncodeDelta(delta), 0, errorCount);
    EXPECT_EQ(errorCount, 0);
    const Variant lines = orders->Value(0, "LINES");
    ASSERT_EQ(lines.Count(1), 1);
    EXPECT_EQ(lines.At(0, 1).AsInt(), 5);

    // A detail conflict rejects the master change as a whole.
    delta.Changes = {{TUpdateKind::ukModify, Values({"O1", 1, E}),
                      Values({E, 2, EncodeChanges({{TUpdateKind::ukDelete, Values({"A", 1, "x", 1}), E}})})}};
    const auto errors = DecodeUpdateErrors(orders->ApplyUpdates(EncodeDelta(delta), -1, errorCount));
    ASSERT_EQ(errors.size(), 1u);
    EXPECT_EQ(errors[0].ErrorCode, kReconcileChanged);
    EXPECT_NE(errors[0].Message.find("Detail 'LINES'"), std::string::npos);
    EXPECT_EQ(orders->Value(0, "FLAG").AsInt(), 1);
    EXPECT_EQ(orders->Value(0, "LINES").Count(1), 1);
}

TEST(ProviderProtocol, ServerDispatchesByProviderName) {
    auto server = std::make_shared<TMemoryServer>();
    server->AddProvider("pvdMain", ItemTable());
    const Variant remote(std::static_pointer_cast<IDispatch>(server));
    const Variant packet = remote.Call("getrecords", "PVDMAIN", -1, 0, E);
    EXPECT_EQ(DecodeDataPacket(packet).RowCount(), 3);
    TDelta delta;
    delta.Fields = ItemDefs();
    delta.Changes = {{TUpdateKind::ukDelete, Values({"A", 1, "name a", 0}), E}};
    Variant errorCount = 0;
    remote.Call("ApplyUpdates", "pvdMain", EncodeDelta(delta), -1, ByRef(errorCount));
    EXPECT_EQ(errorCount.AsInt(), 1);
    EXPECT_EQ(server->CallCount("GetRecords"), 1);
    EXPECT_THROW(remote.Call("GetRecords", "pvdNone", -1, 0, E), EDatabaseError);
}
