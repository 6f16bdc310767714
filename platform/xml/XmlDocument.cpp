#include "platform/xml/XmlDocument.h"

#include <libxml/parser.h>
#include <libxml/tree.h>
#include <libxml/xmlerror.h>
#include <libxml/xpath.h>

#include <cstdio>
#include <fstream>
#include <mutex>

#include "platform/core/Strings.h"
#include "platform/text/CodePage.h"

struct TXmlNode::Doc {
    xmlDocPtr doc;
    explicit Doc(xmlDocPtr d) : doc(d) {}
    ~Doc() { xmlFreeDoc(doc); }
    Doc(const Doc&) = delete;
    Doc& operator=(const Doc&) = delete;
};

namespace {

void InitOnce() {
    static std::once_flag once;
    std::call_once(once, [] { xmlInitParser(); });
}

// Keeps libxml2 from printing errors while it is alive and remembers the first error
// (the later ones are mostly consequences of it). The handler is per thread, and so is
// the guard.
class CapturedErrors {
public:
    CapturedErrors() { xmlSetStructuredErrorFunc(this, &CapturedErrors::Handle); }
    ~CapturedErrors() { xmlSetStructuredErrorFunc(nullptr, nullptr); }
    CapturedErrors(const CapturedErrors&) = delete;
    CapturedErrors& operator=(const CapturedErrors&) = delete;

    int code = 0;
    std::string message;
    int line = 0;

private:
    static void Handle(void* self, xmlErrorPtr error) {
        auto* me = static_cast<CapturedErrors*>(self);
        if (!error || error->level < XML_ERR_ERROR || me->code != 0) return;
        me->code = error->code ? error->code : XML_ERR_INTERNAL_ERROR;
        me->message = error->message ? Trim(error->message) : std::string("Unknown error");
        me->line = error->line;
    }
};

bool ReadWholeFile(const std::string& path, std::string& bytes) {
    std::FILE* f = std::fopen(path.c_str(), "rb");
    if (!f) return false;
    char buffer[65536];
    size_t n;
    while ((n = std::fread(buffer, 1, sizeof buffer, f)) > 0) bytes.append(buffer, n);
    const bool ok = !std::ferror(f);
    std::fclose(f);
    return ok;
}

xmlNodePtr AsNode(void* p) { return static_cast<xmlNodePtr>(p); }

const xmlChar* X(const std::string& s) { return reinterpret_cast<const xmlChar*>(s.c_str()); }

std::string FromX(const xmlChar* s) { return s ? std::string(reinterpret_cast<const char*>(s)) : std::string(); }

std::string TakeX(xmlChar* s) {
    std::string r = FromX(s);
    xmlFree(s);
    return r;
}

// The code page a file's XML declaration asks for when we decode it ourselves: GB
// labels mean GBK/GB18030 content in practice, Big5 labels mean code page 950.
int DeclaredChineseCodePage(std::string_view bytes) {
    if (bytes.substr(0, 5) != "<?xml") return 0;
    const size_t end = bytes.find("?>");
    const std::string_view decl = bytes.substr(0, end);
    const size_t at = decl.find("encoding");
    if (at == std::string_view::npos) return 0;
    size_t q = decl.find_first_of("\"'", at);
    if (q == std::string_view::npos) return 0;
    const size_t close = decl.find(decl[q], q + 1);
    if (close == std::string_view::npos) return 0;
    const std::string name = UpperCase(decl.substr(q + 1, close - q - 1));
    for (const char* gb : {"GB2312", "GBK", "GB18030", "CP936", "X-GBK", "GB_2312-80", "EUC-CN"})
        if (name == gb) return cpGB;
    for (const char* big5 : {"BIG5", "BIG-5", "CP950", "X-BIG5"})
        if (name == big5) return cpBig5;
    return 0;
}

TXmlNodeKind KindOf(xmlElementType t) {
    switch (t) {
        case XML_ELEMENT_NODE: return TXmlNodeKind::Element;
        case XML_ATTRIBUTE_NODE: return TXmlNodeKind::Attribute;
        case XML_TEXT_NODE: return TXmlNodeKind::Text;
        case XML_CDATA_SECTION_NODE: return TXmlNodeKind::CData;
        case XML_COMMENT_NODE: return TXmlNodeKind::Comment;
        case XML_PI_NODE: return TXmlNodeKind::ProcessingInstruction;
        case XML_DOCUMENT_NODE:
        case XML_HTML_DOCUMENT_NODE: return TXmlNodeKind::Document;
        default: return TXmlNodeKind::Other;
    }
}

// Runs an XPath expression with `node` as the context node.
class XPathResult {
public:
    XPathResult(xmlDocPtr doc, xmlNodePtr node, std::string_view expression) {
        CapturedErrors quiet;
        xmlXPathContextPtr ctx = xmlXPathNewContext(doc);
        if (!ctx) throw EXmlError("Out of memory");
        ctx->node = node;
        const std::string expr(expression);
        result_ = xmlXPathEvalExpression(X(expr), ctx);
        xmlXPathFreeContext(ctx);
        if (!result_) throw EXmlError("Invalid XPath expression: " + expr);
    }
    ~XPathResult() { xmlXPathFreeObject(result_); }
    XPathResult(const XPathResult&) = delete;
    XPathResult& operator=(const XPathResult&) = delete;

    // Matched nodes in document order (empty for a result that is not a node set).
    int Count() const {
        return result_->type == XPATH_NODESET && result_->nodesetval ? result_->nodesetval->nodeNr : 0;
    }
    xmlNodePtr At(int i) const { return result_->nodesetval->nodeTab[i]; }

private:
    xmlXPathObjectPtr result_ = nullptr;
};

}  // namespace

// --- TXmlNode ---------------------------------------------------------------------

std::string TXmlNode::Name() const {
    xmlNodePtr n = AsNode(node_);
    if (!n) return {};
    if (!n->name) return {};
    std::string name = FromX(n->name);
    if ((n->type == XML_ELEMENT_NODE || n->type == XML_ATTRIBUTE_NODE) && n->ns && n->ns->prefix)
        return FromX(n->ns->prefix) + ":" + name;
    if (n->type == XML_TEXT_NODE) return "#text";
    if (n->type == XML_COMMENT_NODE) return "#comment";
    if (n->type == XML_CDATA_SECTION_NODE) return "#cdata-section";
    return name;
}

TXmlNodeKind TXmlNode::Kind() const noexcept {
    return node_ ? KindOf(AsNode(node_)->type) : TXmlNodeKind::Other;
}

std::string TXmlNode::Text() const {
    if (!node_) return {};
    return TakeX(xmlNodeGetContent(AsNode(node_)));
}

void TXmlNode::SetText(std::string_view text) {
    if (!node_) throw EXmlError("No node to set a text on");
    xmlNodePtr n = AsNode(node_);
    // xmlNodeSetContent reads entity references; the encoded form keeps '&' literal.
    xmlChar* encoded = xmlEncodeSpecialChars(doc_->doc, X(std::string(text)));
    xmlNodeSetContent(n, encoded);
    xmlFree(encoded);
}

int TXmlNode::AttributeCount() const noexcept {
    xmlNodePtr n = AsNode(node_);
    if (!n || n->type != XML_ELEMENT_NODE) return 0;
    int count = 0;
    for (xmlAttrPtr a = n->properties; a; a = a->next) ++count;
    return count;
}

TXmlNode TXmlNode::Attribute(int index) const {
    xmlNodePtr n = AsNode(node_);
    if (!n || n->type != XML_ELEMENT_NODE || index < 0) return {};
    xmlAttrPtr a = n->properties;
    for (int i = 0; a && i < index; ++i) a = a->next;
    return a ? TXmlNode(doc_, a) : TXmlNode();
}

TXmlNode TXmlNode::Attribute(std::string_view name) const {
    xmlNodePtr n = AsNode(node_);
    if (!n || n->type != XML_ELEMENT_NODE) return {};
    for (xmlAttrPtr a = n->properties; a; a = a->next) {
        TXmlNode attr(doc_, a);
        if (attr.Name() == name) return attr;
    }
    return {};
}

void TXmlNode::SetAttribute(std::string_view name, std::string_view value) {
    xmlNodePtr n = AsNode(node_);
    if (!n || n->type != XML_ELEMENT_NODE) throw EXmlError("Attributes can only be set on elements");
    if (!xmlSetProp(n, X(std::string(name)), X(std::string(value))))
        throw EXmlError("Cannot set attribute " + std::string(name));
}

std::vector<TXmlNode> TXmlNode::ChildNodes() const {
    std::vector<TXmlNode> children;
    xmlNodePtr n = AsNode(node_);
    if (!n || n->type == XML_ATTRIBUTE_NODE) return children;
    for (xmlNodePtr c = n->children; c; c = c->next) children.push_back(TXmlNode(doc_, c));
    return children;
}

TXmlNode TXmlNode::ChildElement(std::string_view name) const {
    xmlNodePtr n = AsNode(node_);
    if (!n || n->type == XML_ATTRIBUTE_NODE) return {};
    for (xmlNodePtr c = n->children; c; c = c->next) {
        if (c->type != XML_ELEMENT_NODE) continue;
        TXmlNode child(doc_, c);
        if (child.Name() == name) return child;
    }
    return {};
}

TXmlNode TXmlNode::Parent() const {
    xmlNodePtr n = AsNode(node_);
    if (!n || !n->parent || n->parent->type == XML_DOCUMENT_NODE) return {};
    return TXmlNode(doc_, n->parent);
}

TXmlNode TXmlNode::AppendElement(std::string_view name) {
    xmlNodePtr n = AsNode(node_);
    if (!n || n->type != XML_ELEMENT_NODE) throw EXmlError("Elements can only be added to elements");
    xmlNodePtr child = xmlNewDocNode(doc_->doc, nullptr, X(std::string(name)), nullptr);
    if (!child || !xmlAddChild(n, child)) throw EXmlError("Cannot create element " + std::string(name));
    return TXmlNode(doc_, child);
}

TXmlNode TXmlNode::SelectSingleNode(std::string_view xpath) const {
    if (!node_) return {};
    XPathResult result(doc_->doc, AsNode(node_), xpath);
    return result.Count() > 0 ? TXmlNode(doc_, result.At(0)) : TXmlNode();
}

std::vector<TXmlNode> TXmlNode::SelectNodes(std::string_view xpath) const {
    std::vector<TXmlNode> nodes;
    if (!node_) return nodes;
    XPathResult result(doc_->doc, AsNode(node_), xpath);
    nodes.reserve(static_cast<size_t>(result.Count()));
    for (int i = 0; i < result.Count(); ++i) nodes.push_back(TXmlNode(doc_, result.At(i)));
    return nodes;
}

// --- TXmlDocument -----------------------------------------------------------------

TXmlDocument::TXmlDocument() {
    InitOnce();
    doc_ = std::make_shared<TXmlNode::Doc>(xmlNewDoc(reinterpret_cast<const xmlChar*>("1.0")));
}

TXmlDocument::~TXmlDocument() = default;
TXmlDocument::TXmlDocument(TXmlDocument&&) noexcept = default;
TXmlDocument& TXmlDocument::operator=(TXmlDocument&&) noexcept = default;

bool TXmlDocument::Load(const std::string& bytes, const char* encoding, bool ignoreDeclaration) {
    int options = XML_PARSE_NONET | XML_PARSE_NOBLANKS | XML_PARSE_NOERROR | XML_PARSE_NOWARNING;
    if (ignoreDeclaration) options |= XML_PARSE_IGNORE_ENC;
    CapturedErrors errors;
    xmlParserCtxtPtr ctxt = xmlNewParserCtxt();
    if (!ctxt) throw EXmlError("Out of memory");
    xmlDocPtr parsed = xmlCtxtReadMemory(ctxt, bytes.data(), static_cast<int>(bytes.size()), nullptr, encoding, options);
    const bool failed = !parsed || !ctxt->wellFormed || errors.code != 0;
    if (failed) {
        errorCode_ = errors.code ? errors.code : XML_ERR_DOCUMENT_EMPTY;
        reason_ = errors.code ? errors.message : std::string("Document is empty");
        errorLine_ = errors.line;
        if (parsed) xmlFreeDoc(parsed);
        parsed = xmlNewDoc(reinterpret_cast<const xmlChar*>("1.0"));
    } else {
        errorCode_ = 0;
        reason_.clear();
        errorLine_ = 0;
    }
    xmlFreeParserCtxt(ctxt);
    doc_ = std::make_shared<TXmlNode::Doc>(parsed);
    return !failed;
}

bool TXmlDocument::LoadXml(std::string_view utf8Text) {
    return Load(std::string(utf8Text), "UTF-8", true);
}

bool TXmlDocument::LoadFile(const std::string& path) {
    std::string bytes;
    if (!ReadWholeFile(path, bytes)) {
        doc_ = std::make_shared<TXmlNode::Doc>(xmlNewDoc(reinterpret_cast<const xmlChar*>("1.0")));
        errorCode_ = XML_IO_LOAD_ERROR;
        reason_ = "Cannot read file " + path;
        errorLine_ = 0;
        return false;
    }
    if (const int codePage = DeclaredChineseCodePage(bytes))
        return Load(CodePageToUtf8(codePage, bytes), "UTF-8", true);
    return Load(bytes, nullptr, false);
}

TXmlNode TXmlDocument::DocumentElement() const {
    xmlNodePtr root = xmlDocGetRootElement(doc_->doc);
    return root ? TXmlNode(doc_, root) : TXmlNode();
}

TXmlNode TXmlDocument::SetDocumentElement(std::string_view name) {
    xmlNodePtr root = xmlNewDocNode(doc_->doc, nullptr, X(std::string(name)), nullptr);
    if (!root) throw EXmlError("Cannot create element " + std::string(name));
    if (xmlNodePtr old = xmlDocSetRootElement(doc_->doc, root)) {
        xmlUnlinkNode(old);
        xmlFreeNode(old);
    }
    return TXmlNode(doc_, root);
}

std::string TXmlDocument::Xml() const {
    xmlChar* buffer = nullptr;
    int size = 0;
    xmlDocDumpMemoryEnc(doc_->doc, &buffer, &size, "UTF-8");
    std::string text = buffer ? std::string(reinterpret_cast<const char*>(buffer), static_cast<size_t>(size)) : std::string();
    xmlFree(buffer);
    return text;
}

void TXmlDocument::SaveToFile(const std::string& path) const {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    const std::string text = Xml();
    out.write(text.data(), static_cast<std::streamsize>(text.size()));
    out.close();
    if (!out) throw EFileError("Cannot write file " + path);
}
