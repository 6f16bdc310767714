#include "services/appserver/UserStore.h"

#include <cctype>

#include "platform/core/Automation.h"
#include "platform/core/Strings.h"
#include "platform/xml/XmlDocument.h"
#include "services/appserver/ServerSession.h"

namespace {

bool IsOwnUser(const TServerSession& session, const std::string& user) { return Trim(user) == session.UserId; }

void RequireOwnUser(const TServerSession& session, const std::string& user) {
    if (!IsOwnUser(session, user)) throw EOleError("The entries of another user cannot be reached from this session");
}

// An XML element name: a letter or "_" first, then letters, digits, "_", "-", ".".
bool IsElementName(std::string_view name) {
    if (name.empty() || !(std::isalpha(static_cast<unsigned char>(name[0])) || name[0] == '_')) return false;
    for (char c : name)
        if (!std::isalnum(static_cast<unsigned char>(c)) && c != '_' && c != '-' && c != '.') return false;
    return true;
}

std::string StoredGroup(TStorage& db, const std::string& company, const std::string& user, const std::string& slot,
                        const std::string& group) {
    return db
        .QueryValue("SELECT CONTENT FROM USERDEF WHERE COMPANY_ID = ? AND USER_ID = ? AND PROGRAM_ID = ? AND GROUP_NAME = ?",
                    {company, user, slot, group})
        .AsString();
}

void StoreGroup(TStorage& db, const std::string& company, const std::string& user, const std::string& slot,
                const std::string& group, const std::string& content) {
    TTransaction tx(db);
    db.Execute("DELETE FROM USERDEF WHERE COMPANY_ID = ? AND USER_ID = ? AND PROGRAM_ID = ? AND GROUP_NAME = ?",
               {company, user, slot, group});
    db.Execute("INSERT INTO USERDEF (COMPANY_ID, USER_ID, PROGRAM_ID, GROUP_NAME, CONTENT) VALUES (?, ?, ?, ?, ?)",
               {company, user, slot, group, content});
    tx.Commit();
}

}  // namespace

std::string GetUserDefine(TServerSession& session, const std::string& company, const std::string& user,
                          const std::string& program, const std::string& group) {
    TStorage& db = session.Db();
    RequireOwnUser(session, user);
    if (company != session.CompanyId) throw EOleError("The settings of another company cannot be reached from this session");
    std::string text = StoredGroup(db, company, session.UserId, UpperCase(Trim(program)), group);
    if (text.empty()) text = StoredGroup(db, company, session.UserId, ALL_PROGRAMS_SLOT, group);
    return text;
}

std::string SetUserDefine(TServerSession& session, const std::string& company, const std::string& user,
                          const std::string& slotText, const std::string& path, const std::string& value) {
    TStorage& db = session.Db();
    if (!IsOwnUser(session, user)) return "只能更改自己的设置";
    if (company != session.CompanyId) return "只能更改本公司的设置";
    const std::string slot = slotText == ALL_PROGRAMS_SLOT ? slotText : UpperCase(Trim(slotText));
    if (slot.empty()) return "未指定作业";

    TXmlDocument doc;
    std::string group;
    if (path == ".") {
        if (!doc.LoadXml(value) || !doc.DocumentElement()) return "设置文档无法解析: " + doc.Reason();
        group = doc.DocumentElement().Name();
        StoreGroup(db, company, session.UserId, slot, group, value);
        return {};
    }
    const size_t slash = path.find('/');
    group = path.substr(0, slash);
    const std::string key = slash == std::string::npos ? std::string() : path.substr(slash + 1);
    if (!IsElementName(group) || !IsElementName(key)) return "设置路径无效: " + path;

    const std::string stored = StoredGroup(db, company, session.UserId, slot, group);
    if (stored.empty() || !doc.LoadXml(stored) || !doc.DocumentElement()) doc.SetDocumentElement(group);
    TXmlNode root = doc.DocumentElement();
    TXmlNode element = root.ChildElement(key);
    if (!element) element = root.AppendElement(key);
    element.SetText(value);
    StoreGroup(db, company, session.UserId, slot, group, doc.Xml());
    return {};
}

Variant GetPhrases(TServerSession& session, const std::string& user) {
    TStorage& db = session.Db();
    RequireOwnUser(session, user);
    std::vector<Variant> rows;
    for (auto& row : db.QueryRows("SELECT SEQ, PHRASE FROM PHRASES WHERE USER_ID = ? ORDER BY SEQ", {session.UserId}))
        rows.push_back(Variant::ArrayOf(std::move(row)));
    if (rows.empty()) return {};
    return Variant::ArrayOf(std::move(rows));
}

long long AddPhrase(TServerSession& session, const std::string& user, const std::string& text) {
    TStorage& db = session.Db();
    RequireOwnUser(session, user);
    if (Trim(text).empty()) return 0;
    TTransaction tx(db);
    const Variant existing = db.QueryValue("SELECT SEQ FROM PHRASES WHERE USER_ID = ? AND PHRASE = ?", {session.UserId, text});
    if (!existing.IsClear()) return existing.AsInteger();
    const Variant last = db.QueryValue("SELECT MAX(SEQ) FROM PHRASES WHERE USER_ID = ?", {session.UserId});
    const long long number = (last.IsClear() ? 0 : last.AsInteger()) + 1;
    db.Execute("INSERT INTO PHRASES (USER_ID, SEQ, PHRASE) VALUES (?, ?, ?)", {session.UserId, number, text});
    tx.Commit();
    return number;
}

bool DeletePhrase(TServerSession& session, const std::string& user, long long number) {
    TStorage& db = session.Db();
    RequireOwnUser(session, user);
    return db.Execute("DELETE FROM PHRASES WHERE USER_ID = ? AND SEQ = ?", {session.UserId, number}) > 0;
}
