#pragma once
// A small DOM over libxml2: parse a document from a file or a text, learn why a parse
// failed, walk and select nodes with XPath 1.0, read and set names, texts and
// attributes, create elements and write the document out.
//
// Texts in and out are UTF-8. A text handed over in memory is parsed as UTF-8 whatever
// its declaration says. A file is read in the encoding it declares; files that declare
// a GB encoding (GB2312, GBK, GB18030) are read as code page 936 and files that declare
// Big5 as code page 950 (see platform/text/CodePage.h). The parser never reaches the
// network, loads no external DTD and substitutes no entities.
//
// Nodes are small handles. Each keeps its document alive, so a node stays valid after
// the TXmlDocument object that produced it is gone. Not for use by two threads at once.
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "platform/core/Exception.h"

VELMORA_DECLARE_EXCEPTION(EXmlError, Exception);

enum class TXmlNodeKind { Element, Attribute, Text, CData, Comment, ProcessingInstruction, Document, Other };

class TXmlNode {
public:
    TXmlNode() = default;   // the null node

    bool IsNull() const noexcept { return node_ == nullptr; }
    explicit operator bool() const noexcept { return node_ != nullptr; }
    bool operator==(const TXmlNode& other) const noexcept { return node_ == other.node_; }

    // Qualified name ("prefix:name" when the node has a namespace prefix); "#text" and
    // the like for unnamed kinds; "" for the null node.
    std::string Name() const;
    TXmlNodeKind Kind() const noexcept;
    bool IsElement() const noexcept { return Kind() == TXmlNodeKind::Element; }
    // An element's text is the text of all its descendants; an attribute's is its value.
    std::string Text() const;
    // Replaces the node's content by the text (an element loses its children).
    void SetText(std::string_view text);

    // Attributes of an element in document order. Out-of-range positions and missing
    // names give the null node; a node that is not an element has none.
    int AttributeCount() const noexcept;
    TXmlNode Attribute(int index) const;
    TXmlNode Attribute(std::string_view name) const;
    // Adds the attribute or replaces its value. Raises EXmlError unless an element.
    void SetAttribute(std::string_view name, std::string_view value);

    // Children in document order (elements, texts, comments, ...), and the first child
    // element with the given name.
    std::vector<TXmlNode> ChildNodes() const;
    TXmlNode ChildElement(std::string_view name) const;
    TXmlNode Parent() const;
    // Creates an element and appends it as the last child. Raises EXmlError unless this
    // is an element.
    TXmlNode AppendElement(std::string_view name);

    // XPath 1.0 from this node. SelectSingleNode gives the first match in document order
    // or the null node. An invalid expression raises EXmlError.
    TXmlNode SelectSingleNode(std::string_view xpath) const;
    std::vector<TXmlNode> SelectNodes(std::string_view xpath) const;

private:
    friend class TXmlDocument;
    struct Doc;
    TXmlNode(std::shared_ptr<Doc> doc, void* node) : doc_(std::move(doc)), node_(node) {}
    std::shared_ptr<Doc> doc_;
    void* node_ = nullptr;   // xmlNode or xmlAttr
};

class TXmlDocument {
public:
    TXmlDocument();   // an empty document without a root element
    ~TXmlDocument();
    TXmlDocument(TXmlDocument&&) noexcept;
    TXmlDocument& operator=(TXmlDocument&&) noexcept;

    // Replace the document by the parsed one. False when the text is not well-formed or
    // the file cannot be read; the document is then empty and ErrorCode/Reason say why.
    bool LoadFile(const std::string& path);
    bool LoadXml(std::string_view utf8Text);

    // 0 after a successful load (and before any); otherwise the parser's error code and
    // its reason text ("Opening and ending tag mismatch: a line 1 and b").
    int ErrorCode() const noexcept { return errorCode_; }
    const std::string& Reason() const noexcept { return reason_; }
    int ErrorLine() const noexcept { return errorLine_; }

    // The root element, or the null node.
    TXmlNode DocumentElement() const;
    // Creates a root element with the given name, replacing (and freeing) any previous
    // one: nodes of the old root must not be used afterwards.
    TXmlNode SetDocumentElement(std::string_view name);

    // The whole document as UTF-8 text with an XML declaration.
    std::string Xml() const;
    // Writes Xml() to the file; raises EFileError when it cannot be written.
    void SaveToFile(const std::string& path) const;

private:
    bool Load(const std::string& bytes, const char* encoding, bool ignoreDeclaration);
    std::shared_ptr<TXmlNode::Doc> doc_;
    int errorCode_ = 0;
    std::string reason_;
    int errorLine_ = 0;
};
