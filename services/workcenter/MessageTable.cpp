#include "services/workcenter/MessageTable.h"

#include <map>

#include "platform/core/Strings.h"
#include "platform/xml/XmlDocument.h"
#include "services/workcenter/MessageTexts.h"

namespace {

using TTexts = std::map<std::string, std::string>;

// Each child element of the root is one message, named kind letter + code.
TTexts Parse(std::string_view xml) {
    TTexts texts;
    TXmlDocument doc;
    if (!doc.LoadXml(xml)) throw EXmlError("Message table: " + doc.Reason());
    for (const TXmlNode& node : doc.DocumentElement().ChildNodes())
        if (node.IsElement()) texts.emplace(node.Name(), node.Text());
    return texts;
}

const TTexts& Chinese() {
    static const TTexts texts = Parse(ChineseMessageTable());
    return texts;
}

const TTexts& English() {
    static const TTexts texts = Parse(EnglishMessageTable());
    return texts;
}

}  // namespace

std::string MessageText(std::string_view kind, std::string_view code, std::string_view language) {
    std::string key = UpperCase(Trim(kind));
    if (key == "T") key = "E";
    key += Trim(code);
    if (SameText(Trim(language), "ENG")) {
        auto it = English().find(key);
        if (it != English().end()) return it->second;
    }
    auto it = Chinese().find(key);
    return it == Chinese().end() ? std::string() : it->second;
}
