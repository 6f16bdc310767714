#include "services/appserver/ServerProvider.h"

#include <cmath>

#include "platform/core/Automation.h"
#include "platform/core/Strings.h"
#include "platform/db/Provider.h"
#include "platform/xml/XmlDocument.h"

namespace {

// Reads the data request [condition, order]; "All" stands for no condition.
void ReadRequest(const Variant& request, std::string& condition, std::string& order) {
    if (!request.IsArray() || request.DimCount() != 1) return;
    const int low = request.LowBound();
    if (request.Count() > 0) condition = Trim(request[low].AsString());
    if (request.Count() > 1) order = Trim(request[low + 1].AsString());
    if (SameText(condition, "All")) condition.clear();
}

TFieldType FieldTypeOf(const TColumnInfo& c) {
    switch (c.Type) {
        case TColumnType::Integer: return TFieldType::ftInteger;
        case TColumnType::Float: return TFieldType::ftFloat;
        default: return c.Size > 0 ? TFieldType::ftString : TFieldType::ftMemo;
    }
}

// A value in the form its field's kind travels in.
Variant PacketValue(TFieldType type, Variant& v) {
    if (v.IsNull()) return std::move(v);
    switch (ValueKindOf(type)) {
        case TValueKind::Text:
            if (!v.IsString()) return Variant(v.AsString());
            return std::move(v);
        case TValueKind::Integer:
            if (v.Type() != VarType::Integer) return Variant(static_cast<long long>(std::llround(v.AsDouble())));
            return std::move(v);
        default:
            if (!v.IsNumeric()) return Variant(v.AsDouble());
            return std::move(v);
    }
}

}  // namespace

// Collects fetched rows as packet fields and a 2-D rows array.
class TProviderPacketSink : public TRowSink {
public:
    // `fields` is empty on the first fetch of a query and filled by OnColumns;
    // later fetches of the same query pass the fields announced then.
    TProviderPacketSink(TFieldDefs& fields, std::vector<Variant>& values) : fields_(fields), values_(values) { KeepTypes(); }
    std::function<bool(const std::string&)> IsKey;
    std::function<bool(const std::string&)> IsReadOnly;
    int Limit = -1;
    int Rows = 0;
    bool Discard = false;   // skipping rows the caller already holds

    void OnColumns(const std::vector<TColumnInfo>& columns) override {
        if (fields_.Count() > 0) return;
        for (const TColumnInfo& c : columns) {
            TFieldDef def;
            def.Name = c.Name;
            def.DataType = FieldTypeOf(c);
            def.Size = def.DataType == TFieldType::ftString ? c.Size : 0;
            def.Key = IsKey && IsKey(c.Name);
            def.ReadOnly = IsReadOnly && IsReadOnly(c.Name);
            fields_.Add(std::move(def));
        }
        KeepTypes();
    }
    bool OnRow(std::vector<Variant>& row) override {
        if (Discard) return true;
        for (size_t i = 0; i < row.size(); ++i) values_.push_back(PacketValue(types_[i], row[i]));
        ++Rows;
        return Limit < 0 || Rows < Limit;
    }

private:
    void KeepTypes() {
        types_.clear();
        for (const TFieldDef& d : fields_) types_.push_back(d.DataType);
    }
    TFieldDefs& fields_;
    std::vector<Variant>& values_;
    std::vector<TFieldType> types_;
};

namespace {

std::string QuoteText(std::string_view text) {
    std::string out = "'";
    for (char c : text) {
        out += c;
        if (c == '\'') out += '\'';
    }
    return out + "'";
}

bool IsPlainName(std::string_view s) {
    if (s.empty() || s.size() > 60) return false;
    for (char c : s)
        if (!std::isalnum(static_cast<unsigned char>(c)) && c != '_') return false;
    return true;
}

}  // namespace

struct TServerProvider::TOpenQuery {
    TQuery Query;
    std::unique_ptr<TStorageCursor> Cursor;
    int Position = 0;
    int Limit = -1;   // rows the query may still give (-1: no limit)
    bool Eof = false;
    TFieldDefs Fields;
    Variant EncodedFields;
};

TServerProvider::TServerProvider(TServerSession& session) : session_(session) {}
TServerProvider::~TServerProvider() = default;

bool TServerProvider::IsKeyField(const std::string&) const { return false; }
bool TServerProvider::IsReadOnlyField(const std::string&) const { return false; }
int TServerProvider::TakeRowLimit() { return -1; }

TProviderPacketSink TServerProvider::MakeSink(TFieldDefs& fields, std::vector<Variant>& values) const {
    TProviderPacketSink sink(fields, values);
    sink.IsKey = [this](const std::string& name) { return IsKeyField(name); };
    sink.IsReadOnly = [this](const std::string& name) { return IsReadOnlyField(name); };
    return sink;
}

Variant TServerProvider::GetRecords(int count, int position, const Variant& request) {
    if (position < 0) throw EOleError("Invalid record position");
    std::string condition, order;
    ReadRequest(request, condition, order);
    TQuery query = BuildQuery(condition, order);
    if (!open_ || !(open_->Query == query) || open_->Position != position) {
        open_.reset();
        auto fresh = std::make_unique<TOpenQuery>();
        fresh->Query = std::move(query);
        fresh->Cursor = session_.Db().OpenCursor(fresh->Query.Sql, fresh->Query.Params);
        if (position == 0) Opened(fresh->Query);
        fresh->Limit = TakeRowLimit();
        if (position > 0) {
            std::vector<Variant> none;
            TProviderPacketSink skip = MakeSink(fresh->Fields, none);
            skip.Discard = true;
            const int skipped = fresh->Limit >= 0 ? std::min(position, fresh->Limit) : position;
            fresh->Eof = !fresh->Cursor->Fetch(skipped, skip);
            if (fresh->Limit >= 0) fresh->Limit -= skipped;
            fresh->Position = position;
        }
        open_ = std::move(fresh);
    }
    TOpenQuery& q = *open_;
    std::vector<Variant> values;
    TProviderPacketSink sink = MakeSink(q.Fields, values);
    int want = count < 0 ? -1 : count;
    if (q.Limit >= 0 && (want < 0 || want > q.Limit)) want = q.Limit;
    if (q.Eof || !q.Cursor) want = 0;
    if (want > 0 && q.Fields.Count() > 0) values.reserve(static_cast<size_t>(want) * static_cast<size_t>(q.Fields.Count()));
    if (want != 0 || q.Fields.Count() == 0) {
        sink.Limit = want;
        const bool more = q.Cursor ? q.Cursor->Fetch(want, sink) : false;
        if (want != 0) q.Eof = !more;
    }
    q.Position += sink.Rows;
    if (q.Limit >= 0) {
        q.Limit -= sink.Rows;
        if (q.Limit == 0) q.Eof = true;
    }
    // The packet is built here rather than through EncodeDataPacket: its field
    // definitions are encoded once per query, and the sink already gave every value
    // the kind of its field, so the rows need no second check.
    if (q.EncodedFields.IsEmpty()) q.EncodedFields = EncodeFieldDefs(q.Fields);
    const int columns = q.Fields.Count();
    const int rows = columns > 0 ? static_cast<int>(values.size()) / columns : 0;
    Variant table = Variant::CreateArray({VarBounds{0, rows - 1}, VarBounds{0, columns - 1}});
    std::vector<Variant>& cells = table.MutableElements();
    for (size_t i = 0; i < values.size(); ++i) cells[i] = std::move(values[i]);
    const bool eof = q.Eof;
    if (q.Eof) q.Cursor.reset();
    return Variant::ArrayOf({q.EncodedFields, std::move(table), eof});
}

Variant TServerProvider::ApplyUpdates(const Variant& delta, int, int& errorCount) {
    const TDelta decoded = DecodeDelta(delta);
    std::vector<TUpdateError> errors;
    for (size_t i = 0; i < decoded.Changes.size(); ++i)
        errors.push_back({static_cast<int>(i), kReconcileRefused, "此资料不可在此更改", "read-only provider"});
    errorCount = static_cast<int>(errors.size());
    return EncodeUpdateErrors(errors);
}

// ---- pvdMain ----

namespace {

// A change the provider refuses, with its reconcile code.
struct Rejection {
    int Code;
    std::string Message;
};

constexpr const char* kChangedByOther = "记录已被其他用户更改或删除，请重新查询后再修改";

class TMainProvider : public TServerProvider {
public:
    using TServerProvider::TServerProvider;

    Variant ApplyUpdates(const Variant& delta, int maxErrors, int& errorCount) override;

protected:
    TQuery BuildQuery(const std::string& condition, const std::string& order) override {
        const TProgramDef& def = session_.Def();
        TQuery q;
        q.Sql = def.MainSelect + Where(condition) + " ORDER BY " + (order.empty() ? KeyOrder() : order);
        q.Sql = session_.Sql(q.Sql);
        return q;
    }
    void Opened(const TQuery&) override {
        const TProgramDef& def = session_.Def();
        TRowCollector count;
        session_.Db().QueryReadOnly(session_.Sql("SELECT COUNT(*) FROM (" + def.MainSelect + Where(lastCondition_) + ") Q"), {}, count);
        session_.RecCount = count.Rows.empty() ? 0 : count.Rows[0][0].AsInteger();
    }
    int TakeRowLimit() override {
        const int limit = session_.TopRow > 0 ? session_.TopRow : -1;
        session_.TopRow = 0;
        return limit;
    }
    bool IsKeyField(const std::string& name) const override {
        for (const std::string& k : session_.Def().KeyFields)
            if (SameText(k, name)) return true;
        return false;
    }
    bool IsReadOnlyField(const std::string& name) const override { return !session_.IsMainColumn(name); }

private:
    std::string Where(const std::string& condition) {
        lastCondition_ = condition;
        return condition.empty() ? std::string() : " WHERE (" + condition + ")";
    }
    std::string KeyOrder() const {
        const TProgramDef& def = session_.Def();
        std::string order;
        for (const std::string& k : def.KeyFields) order += (order.empty() ? "" : ", ") + def.MainTable + "." + k;
        return order;
    }
    void ApplyChange(const TDelta& delta, const TDeltaChange& change);
    std::string lastCondition_;
};

// Index of a field in the delta, or -1.
int FieldIndex(const TDelta& delta, std::string_view name) { return delta.Fields.IndexOf(name); }

const Variant& ValueAt(const Variant& values, int i) {
    static const Variant empty;
    if (!values.IsArray() || i < 0) return empty;
    return values[values.LowBound() + i];
}

void TMainProvider::ApplyChange(const TDelta& delta, const TDeltaChange& change) {
    const TProgramDef& def = session_.Def();
    TStorage& db = session_.Db();
    const std::string& table = def.MainTable;

    // The key's values as the change knows them (old values; new ones for an insert).
    const Variant& keySource = change.Kind == TUpdateKind::ukInsert ? change.NewValues : change.OldValues;
    std::string keyWhere;
    TParams keyParams;
    for (const std::string& k : def.KeyFields) {
        const int i = FieldIndex(delta, k);
        if (i < 0) throw Rejection{kReconcileRefused, "缺少键值栏位 " + k};
        keyWhere += (keyWhere.empty() ? "" : " AND ") + k + " = ?";
        keyParams.push_back(ValueAt(keySource, i));
    }

    if (change.Kind == TUpdateKind::ukInsert) {
        if (!session_.Rights.CanAdd()) throw Rejection{kReconcileRefused, "您没有新增的权限"};
        if (!db.QueryValue("SELECT 1 FROM " + table + " WHERE " + keyWhere, keyParams).IsEmpty())
            throw Rejection{kReconcileKeyViolation, "资料重复，此键值已存在"};
        std::string columns, marks;
        TParams values;
        for (int i = 0; i < delta.Fields.Count(); ++i) {
            const Variant& v = ValueAt(change.NewValues, i);
            if (v.IsEmpty() || !session_.IsMainColumn(delta.Fields[i].Name)) continue;
            columns += (columns.empty() ? "" : ", ") + delta.Fields[i].Name;
            marks += marks.empty() ? "?" : ", ?";
            values.push_back(v);
        }
        db.Execute("INSERT INTO " + table + " (" + columns + ") VALUES (" + marks + ")", values);
        return;
    }

    // Modify and delete: the stored row decides the owner rules and the FLAG.
    TRowCollector stored;
    db.Query("SELECT CREATOR, USR_GROUP, FLAG FROM " + table + " WHERE " + keyWhere, keyParams, stored);
    if (stored.Rows.empty()) throw Rejection{kReconcileNotFound, kChangedByOther};
    const std::string creator = stored.Rows[0][0].AsString();
    const std::string group = stored.Rows[0][1].AsString();
    const Variant storedFlag = stored.Rows[0][2];
    const int flagIndex = FieldIndex(delta, "FLAG");
    if (flagIndex >= 0) {
        const Variant& oldFlag = ValueAt(change.OldValues, flagIndex);
        const bool same = oldFlag.IsClear() ? storedFlag.IsNull()
                                            : !storedFlag.IsNull() && oldFlag.AsDouble() == storedFlag.AsDouble();
        if (!same) throw Rejection{kReconcileChanged, kChangedByOther};
    }
    const std::string flagMatch = storedFlag.IsNull() ? " AND FLAG IS NULL" : " AND FLAG = ?";
    TParams whereParams = keyParams;
    if (!storedFlag.IsNull()) whereParams.push_back(storedFlag);

    if (change.Kind == TUpdateKind::ukDelete) {
        if (!session_.Rights.CanDelete(creator, group, session_.UserId, session_.GroupList))
            throw Rejection{kReconcileRefused, "您没有删除此资料的权限"};
        if (db.Execute("DELETE FROM " + table + " WHERE " + keyWhere + flagMatch, whereParams) != 1)
            throw Rejection{kReconcileChanged, kChangedByOther};
        return;
    }

    if (!session_.Rights.CanEdit(creator, group, session_.UserId, session_.GroupList))
        throw Rejection{kReconcileRefused, "您没有更改此资料的权限"};
    std::string sets;
    TParams values;
    for (int i = 0; i < delta.Fields.Count(); ++i) {
        const std::string& name = delta.Fields[i].Name;
        const Variant& v = ValueAt(change.NewValues, i);
        if (v.IsEmpty() || SameText(name, "FLAG") || !session_.IsMainColumn(name)) continue;
        sets += (sets.empty() ? "" : ", ") + name + " = ?";
        values.push_back(v);
    }
    // The change counter moves on the server, so no client can save over a newer row.
    const long long nextFlag = storedFlag.IsNull() ? 1 : (std::llround(storedFlag.AsDouble()) + 1) % 1000;
    sets += (sets.empty() ? "" : ", ") + std::string("FLAG = ?");
    values.push_back(nextFlag);
    values.insert(values.end(), whereParams.begin(), whereParams.end());
    if (db.Execute("UPDATE " + table + " SET " + sets + " WHERE " + keyWhere + flagMatch, values) != 1)
        throw Rejection{kReconcileChanged, kChangedByOther};
}

Variant TMainProvider::ApplyUpdates(const Variant& deltaPacket, int maxErrors, int& errorCount) {
    const TDelta delta = DecodeDelta(deltaPacket);
    TStorage& db = session_.Db();
    std::vector<TUpdateError> errors;
    {
        TTransaction tx(db);
        for (size_t i = 0; i < delta.Changes.size(); ++i) {
            const TDeltaChange& change = delta.Changes[i];
            const char* context = change.Kind == TUpdateKind::ukInsert   ? "insert"
                                  : change.Kind == TUpdateKind::ukDelete ? "delete"
                                                                         : "modify";
            db.Execute("SAVEPOINT velmora_change");
            try {
                ApplyChange(delta, change);
                db.Execute("RELEASE SAVEPOINT velmora_change");
            } catch (const Rejection& r) {
                db.Execute("ROLLBACK TO SAVEPOINT velmora_change");
                errors.push_back({static_cast<int>(i), r.Code, r.Message, context});
            } catch (const EStorageError& e) {
                db.Execute("ROLLBACK TO SAVEPOINT velmora_change");
                errors.push_back({static_cast<int>(i), kReconcileRefused, e.Message(), context});
            }
        }
        if (maxErrors < 0 || static_cast<int>(errors.size()) <= maxErrors) tx.Commit();
    }
    errorCount = static_cast<int>(errors.size());
    return EncodeUpdateErrors(errors);
}

// ---- pvdColor ----

class TColorProvider : public TServerProvider {
public:
    using TServerProvider::TServerProvider;

protected:
    TQuery BuildQuery(const std::string& condition, const std::string& order) override {
        const TProgramDef& def = session_.Def();
        const size_t from = TopLevelFrom(def.MainSelect);
        if (from == std::string::npos) throw EOleError("The program's select has no FROM");
        std::string columns;
        for (const std::string& k : def.KeyFields) columns += (columns.empty() ? "" : ", ") + def.MainTable + "." + k + " AS " + k;
        for (const Rule& rule : Rules()) {
            std::string expr;
            for (const auto& [value, spec] : rule.Conditions)
                expr += (expr.empty() ? "" : " || ") + std::string("CASE WHEN (") + value + ") THEN " + QuoteText(spec) + " ELSE '' END";
            if (expr.empty()) expr = "''";
            columns += ", (" + expr + ") AS \"" + rule.Component + "\"";
        }
        std::string order2 = order;
        if (order2.empty())
            for (const std::string& k : def.KeyFields) order2 += (order2.empty() ? "" : ", ") + def.MainTable + "." + k;
        TQuery q;
        q.Sql = session_.Sql("SELECT " + columns + " " + def.MainSelect.substr(from) +
                             (condition.empty() ? "" : " WHERE (" + condition + ")") + " ORDER BY " + order2);
        return q;
    }
    bool IsKeyField(const std::string& name) const override {
        for (const std::string& k : session_.Def().KeyFields)
            if (SameText(k, name)) return true;
        return false;
    }

private:
    struct Rule {
        std::string Component;
        std::vector<std::pair<std::string, std::string>> Conditions;   // SQL condition, colour text (colours and message)
    };
    // The enabled components of the "head" section of the program's rule document.
    std::vector<Rule> Rules() {
        std::vector<Rule> rules;
        const Variant text = session_.Db().QueryValue("SELECT NH003 FROM ADMNH WHERE NH001 = ?", {session_.ProgramId});
        if (text.IsClear()) return rules;
        TXmlDocument doc;
        if (!doc.LoadXml(text.AsString())) return rules;
        for (const TXmlNode& component : doc.DocumentElement().SelectNodes("//colormanager/head/component[@enable=\"Y\"]")) {
            Rule rule;
            rule.Component = component.Attribute("name").Text();
            if (!IsPlainName(rule.Component)) continue;
            for (const TXmlNode& c : component.SelectNodes("condition")) {
                const std::string value = Trim(c.Attribute("value").Text());
                if (value.empty()) continue;
                rule.Conditions.emplace_back(value, "bkcolor=" + c.Attribute("bkcolor").Text() +
                                                        ";colorx=" + c.Attribute("colorx").Text() + ";");
            }
            rules.push_back(std::move(rule));
        }
        return rules;
    }
};

// ---- pvdConSave ----

class TConSaveProvider : public TServerProvider {
public:
    using TServerProvider::TServerProvider;

protected:
    TQuery BuildQuery(const std::string&, const std::string&) override {
        TQuery q;
        q.Sql = "SELECT NCONDITION, CREATOR, PROGRAMME, CREATE_DATE, VCONDITION, ACTIVEPAGE AS \"ActivePage\" "
                "FROM DOCUS WHERE CREATOR = ? AND PROGRAMME = ? ORDER BY NCONDITION";
        q.Params = {session_.SchemeUser, session_.SchemeProgram};
        return q;
    }
    bool IsKeyField(const std::string& name) const override {
        return SameText(name, "NCONDITION") || SameText(name, "CREATOR") || SameText(name, "PROGRAMME");
    }
};

}  // namespace

std::unique_ptr<TServerProvider> CreateServerProvider(const std::string& name, TServerSession& session) {
    if (SameText(name, "pvdMain")) return std::make_unique<TMainProvider>(session);
    if (SameText(name, "pvdColor")) return std::make_unique<TColorProvider>(session);
    if (SameText(name, "pvdConSave")) return std::make_unique<TConSaveProvider>(session);
    return nullptr;
}
