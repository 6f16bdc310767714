#include "services/appserver/AppServer.h"

#include <cctype>
#include <cstdio>
#include <set>

#include "platform/core/DateTime.h"
#include "services/appserver/LookupServer.h"
#include "services/appserver/UserStore.h"

namespace {

std::string OneLine(std::string text) {
    for (char& c : text)
        if (c == '\r' || c == '\n') c = ' ';
    return text;
}

bool IsPlainIdentifier(std::string_view s) {
    if (s.empty() || s.size() > 30 || !std::isalpha(static_cast<unsigned char>(s[0]))) return false;
    for (char c : s)
        if (!std::isalnum(static_cast<unsigned char>(c)) && c != '_') return false;
    return true;
}

// Element i of a 1-D argument array as text ("" when missing).
std::string Item(const Variant& array, int i) {
    if (!array.IsArray() || array.DimCount() != 1 || i >= array.Count()) return {};
    return array[array.LowBound() + i].AsString();
}

std::string PadRight(std::string text, int size) {
    for (size_t n = Utf8Length(text); static_cast<int>(n) < size; ++n) text += ' ';
    return text;
}

}  // namespace

TAppServer::TAppServer(TServerSettings settings) : AutoObject(kAppServerProgId), session_(std::move(settings)) {
    Method("Connect", [this](OleArgs& a) {
        if (a.empty()) throw EOleError("Connect expects the session array");
        return Variant(Connect(a[0]));
    });
    Method("SvrData", [this](OleArgs&) { return Variant(SvrData()); });
    Method("WhatIs", [this](OleArgs& a) -> Variant {
        const std::string what = Arg(a, 0).AsString();
        if (SameText(what, "TODAY")) {
            int y, m, d;
            DecodeDate(Today(), y, m, d);
            char text[16];
            std::snprintf(text, sizeof text, "%04d%02d%02d", y, m, d);
            return Variant(text);
        }
        if (SameText(what, "SQLTYPE")) return Variant(1);
        throw EOleError("WhatIs: unknown question '" + what + "'");
    });
    Method("GetRecCount", [this](OleArgs&) {
        session_.Db();
        return Variant(session_.RecCount);
    });
    Method("SetTopRow", [this](OleArgs& a) {
        session_.Db();
        session_.TopRow = std::max(0, Arg(a, 0).AsInt());
        return Variant();
    });
    Method("GetFormat", [this](OleArgs& a) {
        const Variant text = session_.Db().QueryValue(
            "SELECT CONTENT FROM PROGFORMAT WHERE COMPANY_ID = ? AND PROGRAM_ID = ?",
            {Arg(a, 0).AsString(), UpperCase(Arg(a, 1).AsString())});
        return Variant(text.AsString());
    });
    Method("LoadTable", [this](OleArgs& a) {
        session_.Db();
        const std::string user = Item(Arg(a, 0), 0);
        CheckSchemeUser(user);
        session_.SchemeUser = user;
        session_.SchemeProgram = UpperCase(Item(Arg(a, 0), 1));
        return Variant();
    });
    Method("InsertConTable", [this](OleArgs& a) { return Variant(InsertConTable(Arg(a, 0))); });
    Method("DeleteConTable", [this](OleArgs& a) { return Variant(DeleteConTable(Arg(a, 0))); });
    Method("ChangeConName", [this](OleArgs& a) { return Variant(ChangeConName(Arg(a, 0), Arg(a, 1))); });
    Method("GetBaseLimitedRecs", [this](OleArgs& a) {
        return GetBaseLimitedRecs(Arg(a, 0).AsString(), Arg(a, 1).AsString(), Arg(a, 2).AsInteger());
    });
    Method("SimpleSQL", [this](OleArgs& a) { return SimpleSQL(Arg(a, 0).AsString(), Arg(a, 1).AsString(), Arg(a, 4)); });
    Method("GetUserDefine", [this](OleArgs& a) {
        return Variant(::GetUserDefine(session_, Arg(a, 0).AsString(), Arg(a, 1).AsString(), Arg(a, 2).AsString(),
                                       Arg(a, 3).AsString()));
    });
    Method("SetUserDefine", [this](OleArgs& a) {
        return Variant(::SetUserDefine(session_, Arg(a, 0).AsString(), Arg(a, 1).AsString(), Arg(a, 2).AsString(),
                                       Arg(a, 3).AsString(), Arg(a, 4).AsString()));
    });
    Method("GetPhrases", [this](OleArgs& a) { return ::GetPhrases(session_, Arg(a, 0).AsString()); });
    Method("AddPhrase", [this](OleArgs& a) { return Variant(::AddPhrase(session_, Arg(a, 0).AsString(), Arg(a, 1).AsString())); });
    Method("DeletePhrase", [this](OleArgs& a) {
        return Variant(::DeletePhrase(session_, Arg(a, 0).AsString(), Arg(a, 1).AsInteger()));
    });
    Method("TransactionSQL", [this](OleArgs& a) { return Variant(TransactionSQL(Arg(a, 0))); });
    Method("GetRecords", [this](OleArgs& a) {
        return Provider(Arg(a, 0)).GetRecords(Arg(a, 1).AsInt(), Arg(a, 2).AsInt(), Arg(a, 3));
    });
    Method("ApplyUpdates", [this](OleArgs& a) {
        int errors = 0;
        Variant result = Provider(Arg(a, 0)).ApplyUpdates(Arg(a, 1), Arg(a, 2).AsInt(), errors);
        if (a.size() > 3) a[3] = errors;
        return result;
    });
    Method("DataRequest", [this](OleArgs& a) { return Provider(Arg(a, 0)).DataRequest(Arg(a, 1)); });
}

TAppServer::~TAppServer() {
    // Providers hold cursors of the storage: they go first.
    providers_.clear();
}

void TAppServer::SetAuthenticated(const std::string& userId, const std::string& databaseName) {
    session_.AuthenticatedUser = userId;
    session_.AuthenticatedDatabase = databaseName;
}

int TAppServer::Connect(Variant& params) {
    if (!params.IsArray() || params.DimCount() != 1 || params.Count() < 4)
        throw EOleError("Connect expects [program, user, company, database, flag, program flag]");
    const std::string program = UpperCase(Trim(Item(params, 0)));
    const std::string user = Trim(Item(params, 1));
    const std::string company = Trim(Item(params, 2));
    const std::string database = Trim(Item(params, 3));
    if (!session_.AuthenticatedUser.empty() &&
        (user != session_.AuthenticatedUser || !SameText(database, session_.AuthenticatedDatabase)))
        return 3;
    providers_.clear();
    session_.Storage.reset();
    session_.HasProgram = false;

    std::unique_ptr<TStorage> storage;
    try {
        storage = OpenCompanyDatabase(session_.Settings, database);
    } catch (const EStorageError&) {
        return 2;
    }
    const Variant mainGroup = storage->QueryValue("SELECT MAIN_GROUP FROM USERS WHERE USER_ID = ?", {user});
    if (mainGroup.IsEmpty()) return 1;

    session_.ProgramId = program;
    session_.UserId = user;
    session_.CompanyId = company;
    session_.DatabaseName = database;
    session_.UserGroup = mainGroup.AsString();
    session_.GroupList.clear();
    for (const auto& row : storage->QueryRows("SELECT GROUP_ID FROM USERGROUPS WHERE USER_ID = ? ORDER BY GROUP_ID", {user}))
        session_.GroupList += (session_.GroupList.empty() ? "'" : ",'") + row[0].AsString() + "'";

    // The user's own rights for the program, else those of the main group.
    auto rights = storage->QueryRows(
        "SELECT POWER_DATA, EX_POWER FROM RIGHTS WHERE PROGRAM_ID = ? AND SUBJECT_KIND = 'U' AND SUBJECT_ID = ?",
        {program, user});
    if (rights.empty())
        rights = storage->QueryRows(
            "SELECT POWER_DATA, EX_POWER FROM RIGHTS WHERE PROGRAM_ID = ? AND SUBJECT_KIND = 'G' AND SUBJECT_ID = ?",
            {program, session_.UserGroup});
    session_.PowerData = rights.empty() ? "" : rights[0][0].AsString();
    session_.ExPower = rights.empty() ? "" : rights[0][1].AsString();
    session_.Rights = TRights::Parse(session_.PowerData);

    const auto def = storage->QueryRows(
        "SELECT MAIN_TABLE, KEY_FIELDS, MAIN_SELECT, DETAIL_SELECT, MAX_RECORD, BASE_LIMITED FROM PROGDEF "
        "WHERE PROGRAM_ID = ?",
        {program});
    session_.MainColumns.clear();
    if (!def.empty() && IsPlainIdentifier(def[0][0].AsString())) {
        TProgramDef& p = session_.Program;
        p.ProgramId = program;
        p.MainTable = UpperCase(def[0][0].AsString());
        p.KeyText = def[0][1].AsString();
        p.KeyFields.clear();
        for (const std::string& k : SplitString(p.KeyText, ','))
            if (IsPlainIdentifier(Trim(k))) p.KeyFields.push_back(UpperCase(Trim(k)));
        p.MainSelect = def[0][2].AsString();
        p.DetailSelect = def[0][3].AsString();
        p.MaxRecord = def[0][4].IsClear() ? 0 : def[0][4].AsInt();
        p.BaseLimited = def[0][5].AsString();
        TRowCollector columns;
        storage->Query("SELECT * FROM " + p.MainTable + " WHERE 1 = 0", {}, columns);
        for (const TColumnInfo& c : columns.Columns) session_.MainColumns.insert(UpperCase(c.Name));
        session_.HasProgram = true;
    }
    session_.TopRow = 0;
    session_.RecCount = 0;
    session_.SchemeUser.clear();
    session_.SchemeProgram.clear();
    session_.Storage = std::move(storage);
    return 0;
}

std::string TAppServer::SvrData() {
    session_.Db();
    std::string out;
    auto line = [&out](const char* name, const std::string& value) {
        out += name;
        out += '=';
        out += OneLine(value);
        out += "\r\n";
    };
    line("USER_GROUP", session_.UserGroup);
    line("GROUP_LIST", session_.GroupList);
    line("POWER_DATA", session_.PowerData);
    line("EX_POWER", session_.ExPower);
    if (session_.HasProgram) {
        const TProgramDef& p = session_.Program;
        line("MAX_RECORD", std::to_string(p.MaxRecord));
        line("M11_TABLE", p.MainTable);
        line("M11_KEY", p.KeyText);
        line("M11_SELECT", p.MainSelect);
        line("D11_SELECT", p.DetailSelect);
        line("BaseLimited", p.BaseLimited);
    }
    return out;
}

TServerProvider& TAppServer::Provider(const Variant& name) {
    session_.Db();
    const std::string key = name.AsString();
    auto it = providers_.find(key);
    if (it != providers_.end()) return *it->second;
    auto provider = CreateServerProvider(key, session_);
    if (!provider) throw EOleError("Unknown provider: " + key);
    return *providers_.emplace(key, std::move(provider)).first->second;
}

void TAppServer::CheckSchemeUser(const std::string& user) const {
    if (Trim(user) != session_.UserId) throw EOleError("Schemes of another user cannot be reached from this session");
}

std::string TAppServer::InsertConTable(const Variant& args) {
    TStorage& db = session_.Db();
    const std::string name = Item(args, 0), user = Item(args, 1), date = Item(args, 2);
    const std::string program = UpperCase(Item(args, 3)), text = Item(args, 4);
    const int page = args.IsArray() && args.Count() > 5 ? args[args.LowBound() + 5].AsInt() : 0;
    const bool replace = args.IsArray() && args.Count() > 6 && args[args.LowBound() + 6].AsBoolean();
    if (Trim(user) != session_.UserId) return "方案只能由它的用户保存";
    if (Trim(name).empty()) return "方案名不可空白";
    if (Utf8Length(name) > 20) return "方案名不可超过20个字";
    TTransaction tx(db);
    const bool exists = !db.QueryValue("SELECT 1 FROM DOCUS WHERE NCONDITION = ? AND CREATOR = ? AND PROGRAMME = ?",
                                       {name, user, program})
                             .IsEmpty();
    if (exists && !replace) return "此方案名已存在";
    if (exists)
        db.Execute("UPDATE DOCUS SET CREATE_DATE = ?, VCONDITION = ?, ACTIVEPAGE = ? "
                   "WHERE NCONDITION = ? AND CREATOR = ? AND PROGRAMME = ?",
                   {date, text, page, name, user, program});
    else
        db.Execute("INSERT INTO DOCUS (NCONDITION, CREATOR, PROGRAMME, CREATE_DATE, VCONDITION, ACTIVEPAGE) "
                   "VALUES (?, ?, ?, ?, ?, ?)",
                   {name, user, program, date, text, page});
    tx.Commit();
    return {};
}

std::string TAppServer::DeleteConTable(const Variant& args) {
    TStorage& db = session_.Db();
    const std::string name = Item(args, 0), user = Item(args, 1), program = UpperCase(Item(args, 2));
    if (Trim(user) != session_.UserId) return "方案只能由它的用户删除";
    if (db.Execute("DELETE FROM DOCUS WHERE NCONDITION = ? AND CREATOR = ? AND PROGRAMME = ?", {name, user, program}) == 0)
        return "方案不存在";
    return {};
}

std::string TAppServer::ChangeConName(const Variant& oldKey, const Variant& newKey) {
    TStorage& db = session_.Db();
    const std::string oldName = Item(oldKey, 0), user = Item(oldKey, 1), program = UpperCase(Item(oldKey, 2));
    const std::string newName = Item(newKey, 0);
    if (Trim(user) != session_.UserId || Item(newKey, 1) != user || !SameText(Item(newKey, 2), program))
        return "方案只能由它的用户更名";
    if (Trim(newName).empty()) return "方案名不可空白";
    if (Utf8Length(newName) > 20) return "方案名不可超过20个字";
    TTransaction tx(db);
    if (!db.QueryValue("SELECT 1 FROM DOCUS WHERE NCONDITION = ? AND CREATOR = ? AND PROGRAMME = ?",
                       {newName, user, program})
             .IsEmpty())
        return "此方案名已存在";
    if (db.Execute("UPDATE DOCUS SET NCONDITION = ? WHERE NCONDITION = ? AND CREATOR = ? AND PROGRAMME = ?",
                   {newName, oldName, user, program}) == 0)
        return "方案不存在";
    tx.Commit();
    return {};
}

Variant TAppServer::GetBaseLimitedRecs(const std::string& prefixText, const std::string& condition, long long) {
    TStorage& db = session_.Db();
    const Variant unlimited = Variant::ArrayOf({-1, ""});
    if (!session_.HasProgram || !SameText(Trim(session_.Program.BaseLimited), "Y")) return unlimited;
    std::string prefix = UpperCase(Trim(prefixText));
    if (prefix.find('_') == std::string::npos) prefix += '_';
    // Only the main table's prefix is defined by this server's programs.
    if (prefix != "M11_") return unlimited;
    const TProgramDef& def = session_.Program;
    std::set<std::string> permitted;
    for (const auto& row : db.QueryRows("SELECT KEY_TEXT FROM BASELIMIT WHERE USER_ID = ? AND TABLE_NAME = ?",
                                        {session_.UserId, def.MainTable}))
        permitted.insert(row[0].AsString());
    if (permitted.empty()) return unlimited;

    std::string columns;
    for (const std::string& k : def.KeyFields) columns += (columns.empty() ? "" : ", ") + k;
    TRowCollector rows;
    db.QueryReadOnly(session_.Sql("SELECT " + columns + " FROM " + def.MainTable + " " + def.MainTable +
                                  (Trim(condition).empty() ? "" : " WHERE " + condition)),
                     {}, rows);
    long long allowed = 0;
    std::string keys;
    for (const auto& row : rows.Rows) {
        std::string key;
        for (size_t i = 0; i < row.size(); ++i)
            key += (i ? "-" : "") + PadRight(row[i].AsString(), rows.Columns[i].Size);
        if (!permitted.count(key)) continue;
        ++allowed;
        keys += (keys.empty() ? "" : ";") + key;
    }
    return Variant::ArrayOf({allowed, keys});
}

Variant TAppServer::SimpleSQL(const std::string& sql, const std::string& fieldList, const Variant& parameters) {
    TParams params;
    if (parameters.IsArray()) params = parameters.Elements();
    else if (!parameters.IsEmpty()) params.push_back(parameters);
    TRowCollector result;
    session_.Db().QueryReadOnly(session_.Sql(sql), params, result);
    if (result.Rows.empty()) return {};
    // Columns in field-list order (every column in select order when no list is given).
    std::vector<int> order;
    if (Trim(fieldList).empty()) {
        for (size_t i = 0; i < result.Columns.size(); ++i) order.push_back(static_cast<int>(i));
    } else {
        for (const std::string& name : SplitString(fieldList, ',')) {
            int found = -1;
            for (size_t i = 0; i < result.Columns.size(); ++i)
                if (SameText(result.Columns[i].Name, Trim(name))) found = static_cast<int>(i);
            order.push_back(found);
        }
    }
    std::vector<Variant> rows;
    rows.reserve(result.Rows.size());
    for (auto& row : result.Rows) {
        std::vector<Variant> values;
        for (int i : order) values.push_back(i >= 0 ? row[static_cast<size_t>(i)] : Variant());
        rows.push_back(Variant::ArrayOf(std::move(values)));
    }
    return Variant::ArrayOf(std::move(rows));
}

namespace {

// Reads the one statement TransactionSQL accepts, the removal of a deleted
// record's attachment entries:
//   DELETE FROM ATTACH WHERE Parent = '..' AND CompanyID = '..' AND KeyValues = '..' [;]
// Keywords without regard to case, any blanks between tokens. Gives the three
// texts (quotes undoubled), or false for any other text.
bool ParseAttachmentCleanUp(std::string_view text, std::string& parent, std::string& company, std::string& keys) {
    size_t pos = 0;
    auto blanks = [&] {
        while (pos < text.size() && std::isspace(static_cast<unsigned char>(text[pos]))) ++pos;
    };
    auto word = [&](std::string_view expected) {
        blanks();
        size_t end = pos;
        while (end < text.size() && (std::isalnum(static_cast<unsigned char>(text[end])) || text[end] == '_')) ++end;
        if (!SameText(text.substr(pos, end - pos), expected)) return false;
        pos = end;
        return true;
    };
    auto symbol = [&](char c) {
        blanks();
        if (pos >= text.size() || text[pos] != c) return false;
        ++pos;
        return true;
    };
    auto literal = [&](std::string& out) {
        blanks();
        if (pos >= text.size() || text[pos] != '\'') return false;
        out.clear();
        for (++pos; pos < text.size(); ++pos) {
            if (text[pos] != '\'') {
                out += text[pos];
            } else if (pos + 1 < text.size() && text[pos + 1] == '\'') {
                out += '\'';
                ++pos;
            } else {
                ++pos;
                return true;
            }
        }
        return false;
    };
    if (!(word("DELETE") && word("FROM") && word("ATTACH") && word("WHERE") && word("Parent") && symbol('=') &&
          literal(parent) && word("AND") && word("CompanyID") && symbol('=') && literal(company) && word("AND") &&
          word("KeyValues") && symbol('=') && literal(keys)))
        return false;
    symbol(';');
    blanks();
    return pos == text.size();
}

}  // namespace

bool TAppServer::TransactionSQL(const Variant& statements) {
    TStorage& db = session_.Db();
    std::vector<std::string> texts;
    if (statements.IsArray())
        for (const Variant& v : statements.Elements()) texts.push_back(v.AsString());
    else
        texts.push_back(statements.AsString());
    std::vector<TParams> deletes;
    for (const std::string& text : texts) {
        std::string parent, company, keys;
        if (!ParseAttachmentCleanUp(text, parent, company, keys))
            throw EOleError("TransactionSQL accepts only the removal of attachment entries");
        if (company != session_.CompanyId)
            throw EOleError("TransactionSQL: attachment entries of another company cannot be removed");
        deletes.push_back({parent, company, keys});
    }
    TTransaction tx(db);
    for (const TParams& p : deletes)
        db.Execute("DELETE FROM ATTACH WHERE Parent = ? AND CompanyID = ? AND KeyValues = ?", p);
    tx.Commit();
    return true;
}

void RegisterAppServerClasses() {
    RegisterOleClass(kAppServerProgId, [] { return std::make_shared<TAppServer>(ReadServerSettings()); });
    RegisterOleClass(kLookupServerProgId, [] { return std::make_shared<TLookupServer>(); });
}
