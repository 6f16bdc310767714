#include "platform/xml/XmlDocument.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "platform/text/CodePage.h"

namespace {

namespace fs = std::filesystem;

// A folder of its own per test, removed afterwards.
class TempDir {
public:
    TempDir() : path_(fs::temp_directory_path() / ("xmltest-" + std::to_string(::getpid()) + "-" +
                                                   ::testing::UnitTest::GetInstance()->current_test_info()->name())) {
        fs::create_directories(path_);
    }
    ~TempDir() { fs::remove_all(path_); }
    std::string Write(const std::string& name, const std::string& bytes) const {
        const fs::path p = path_ / name;
        std::ofstream(p, std::ios::binary) << bytes;
        return p.string();
    }
    std::string operator/(const std::string& name) const { return (path_ / name).string(); }

private:
    fs::path path_;
};

const char* const kLang =
    "<TfrmSingle Caption=\"Single\" Hint=\"h\">"
    "  <Menu><miAdd Caption=\"Add\" Hint=\"Add a record\"/></Menu>"
    "  <miAdd Caption=\"second\"/>"
    "  <sFailedSave Msg=\"Save failed\"/>"
    "  <empty/>"
    "</TfrmSingle>";

TEST(XmlDocument, SelectsFirstElementAndAttributes) {
    TXmlDocument doc;
    ASSERT_TRUE(doc.LoadXml(kLang)) << doc.Reason();
    EXPECT_EQ(doc.ErrorCode(), 0);
    const TXmlNode root = doc.DocumentElement();
    EXPECT_EQ(root.Name(), "TfrmSingle");
    EXPECT_EQ(root.AttributeCount(), 2);
    EXPECT_EQ(root.Attribute(0).Name(), "Caption");
    EXPECT_EQ(root.Attribute(1).Text(), "h");
    EXPECT_TRUE(root.Attribute(2).IsNull());
    EXPECT_TRUE(root.Attribute(-1).IsNull());

    // "//name" finds the first element in document order, however deep.
    const TXmlNode item = root.SelectSingleNode("//miAdd");
    ASSERT_FALSE(item.IsNull());
    EXPECT_EQ(item.Attribute("Caption").Text(), "Add");
    EXPECT_EQ(item.Attribute("Hint").Kind(), TXmlNodeKind::Attribute);
    EXPECT_TRUE(item.Attribute("caption").IsNull());   // names are case-sensitive
    EXPECT_EQ(root.SelectNodes("//miAdd").size(), 2u);

    const TXmlNode msg = root.SelectSingleNode("//sFailedSave/@Msg");
    EXPECT_EQ(msg.Kind(), TXmlNodeKind::Attribute);
    EXPECT_EQ(msg.Text(), "Save failed");
    EXPECT_TRUE(root.SelectSingleNode("//empty/@Msg").IsNull());
    EXPECT_TRUE(root.SelectSingleNode("//missing").IsNull());
    EXPECT_EQ(root.SelectSingleNode("//Menu").Parent(), root);
}

TEST(XmlDocument, InvalidXPathRaises) {
    TXmlDocument doc;
    ASSERT_TRUE(doc.LoadXml(kLang));
    EXPECT_THROW(doc.DocumentElement().SelectSingleNode("//["), EXmlError);
    EXPECT_THROW(doc.DocumentElement().SelectNodes("///"), EXmlError);
}

TEST(XmlDocument, MalformedTextsReportCodeAndReason) {
    struct Case {
        const char* name;
        const char* text;
        const char* reasonPart;
    };
    const Case cases[] = {
        {"tag mismatch", "<a><b></a>", "mismatch"},
        {"empty", "", ""},
        {"text only", "hello", ""},
        {"two roots", "<a/><b/>", ""},
        {"undefined entity", "<a>&nope;</a>", "nope"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TXmlDocument doc;
        EXPECT_FALSE(doc.LoadXml(c.text));
        EXPECT_NE(doc.ErrorCode(), 0);
        EXPECT_FALSE(doc.Reason().empty());
        EXPECT_NE(doc.Reason().find(c.reasonPart), std::string::npos) << doc.Reason();
        EXPECT_TRUE(doc.DocumentElement().IsNull());
    }
    // A later good load clears the error.
    TXmlDocument doc;
    EXPECT_FALSE(doc.LoadXml("<a>"));
    EXPECT_TRUE(doc.LoadXml("<a/>"));
    EXPECT_EQ(doc.ErrorCode(), 0);
    EXPECT_EQ(doc.Reason(), "");
}

TEST(XmlDocument, TextsInMemoryAreUtf8WhateverTheyDeclare) {
    TXmlDocument doc;
    ASSERT_TRUE(doc.LoadXml("<?xml version=\"1.0\" encoding=\"GB2312\"?><MT_User 名=\"设置\"/>")) << doc.Reason();
    EXPECT_EQ(doc.DocumentElement().Attribute("名").Text(), "设置");
}

TEST(XmlDocument, FilesAreReadInTheirDeclaredEncoding) {
    TempDir dir;
    struct Case {
        const char* name;
        std::string bytes;
    };
    const std::string gb = Utf8ToCodePage(cpGB, "设置分录性质");
    const std::string big5 = Utf8ToCodePage(cpBig5, "設置分錄性質");
    const Case cases[] = {
        {"gb2312.xml", "<?xml version=\"1.0\" encoding=\"GB2312\"?><r a=\"" + gb + "\"/>"},
        {"gbk.xml", "<?xml version='1.0' encoding='gbk'?><r a=\"" + gb + "\"/>"},
        {"big5.xml", "<?xml version=\"1.0\" encoding=\"Big5\"?><r a=\"" + big5 + "\"/>"},
        {"utf8.xml", "<?xml version=\"1.0\"?><r a=\"设置分录性质\"/>"},
        {"utf16.xml", std::string("\xFF\xFE<\0r\0 \0a\0=\0\"\0\xBE\x8B\"\0/\0>\0", 22)},
    };
    const char* const expected[] = {"设置分录性质", "设置分录性质", "設置分錄性質", "设置分录性质", "设"};
    for (size_t i = 0; i < std::size(cases); ++i) {
        SCOPED_TRACE(cases[i].name);
        TXmlDocument doc;
        ASSERT_TRUE(doc.LoadFile(dir.Write(cases[i].name, cases[i].bytes))) << doc.Reason();
        EXPECT_EQ(doc.DocumentElement().Attribute("a").Text(), expected[i]);
    }
}

TEST(XmlDocument, UnreadableFileIsAnError) {
    TempDir dir;
    TXmlDocument doc;
    EXPECT_FALSE(doc.LoadFile(dir / "missing.Lng"));
    EXPECT_NE(doc.ErrorCode(), 0);
    EXPECT_NE(doc.Reason().find("missing.Lng"), std::string::npos);
    EXPECT_FALSE(doc.LoadFile(dir / ""));   // a folder
    EXPECT_NE(doc.ErrorCode(), 0);
}

TEST(XmlDocument, ExternalEntitiesAreNotLoaded) {
    TempDir dir;
    const std::string secret = dir.Write("secret.txt", "TOPSECRET");
    TXmlDocument doc;
    doc.LoadXml("<!DOCTYPE r [<!ENTITY e SYSTEM \"file://" + secret + "\">]><r>&e;</r>");
    EXPECT_EQ(doc.DocumentElement().Text().find("TOPSECRET"), std::string::npos);
}

TEST(XmlDocument, BuildsAndWritesDocuments) {
    TempDir dir;
    TXmlDocument doc;
    EXPECT_TRUE(doc.DocumentElement().IsNull());
    TXmlNode root = doc.SetDocumentElement("InputSettings001");
    root.AppendElement("IsFocusPageOne").SetText("True");
    TXmlNode other = root.AppendElement("Note");
    other.SetText("a < b & c");
    other.SetAttribute("who", "设置");
    other.SetAttribute("who", "改");
    EXPECT_EQ(root.ChildNodes().size(), 2u);
    EXPECT_EQ(root.ChildElement("IsFocusPageOne").Text(), "True");
    EXPECT_TRUE(root.ChildElement("isfocuspageone").IsNull());
    EXPECT_THROW(root.Attribute("none").SetAttribute("x", "y"), EXmlError);

    const std::string path = dir / "out.xml";
    doc.SaveToFile(path);
    TXmlDocument back;
    ASSERT_TRUE(back.LoadFile(path)) << back.Reason();
    EXPECT_EQ(back.DocumentElement().SelectSingleNode("Note").Text(), "a < b & c");
    EXPECT_EQ(back.DocumentElement().SelectSingleNode("Note/@who").Text(), "改");
    EXPECT_EQ(back.Xml(), doc.Xml());
    EXPECT_THROW(doc.SaveToFile(dir / "no/such/folder/x.xml"), EFileError);
}

TEST(XmlDocument, NodesKeepTheirDocumentAlive) {
    TXmlNode node;
    {
        TXmlDocument doc;
        ASSERT_TRUE(doc.LoadXml(kLang));
        node = doc.DocumentElement().SelectSingleNode("//miAdd");
    }
    EXPECT_EQ(node.Attribute("Caption").Text(), "Add");
}

}  // namespace
