#include "platform/db/MemoryProvider.h"

#include <algorithm>
#include <optional>

namespace {

std::vector<TRecordBuffer> RowsFromVariant(const Variant& rows) {
    std::vector<TRecordBuffer> result;
    if (!rows.IsArray() || rows.Count(1) == 0) return result;
    const auto& items = rows.Elements();
    const size_t n = static_cast<size_t>(rows.Count(2));
    for (size_t r = 0; r < items.size() / n; ++r)
        result.emplace_back(std::span<const Variant>(items.data() + r * n, n));
    return result;
}

Variant RowsToVariant(const TFieldDefs& defs, const std::vector<TRecordBuffer>& rows, size_t from, size_t count) {
    Variant result = Variant::CreateArray(
        {VarBounds{0, static_cast<int>(count) - 1}, VarBounds{0, defs.Count() - 1}});
    auto& items = result.MutableElements();
    const size_t n = static_cast<size_t>(defs.Count());
    for (size_t r = 0; r < count; ++r)
        for (size_t f = 0; f < n; ++f) items[r * n + f] = rows[from + r].Value(f);
    return result;
}

const char* KindName(TUpdateKind kind) {
    switch (kind) {
        case TUpdateKind::ukModify: return "modify";
        case TUpdateKind::ukInsert: return "insert";
        case TUpdateKind::ukDelete: return "delete";
    }
    return "";
}

struct Rejected {
    int code;
    std::string message;
};

// Applies changes to one table (the provider's rows or the nested rows of one
// record). Each change is checked completely before anything is written.
class Applier {
public:
    struct Undo {
        enum Op { Replace, Inserted, Erased } op;
        size_t pos;
        TRecordBuffer old;
    };

    Applier(const TFieldDefs& defs, std::vector<TRecordBuffer>& rows, std::vector<Undo>& undo)
        : defs_(defs), rows_(rows), undo_(undo) {
        for (int f = 0; f < defs.Count(); ++f) {
            if (defs[f].Key) keys_.push_back(static_cast<size_t>(f));
            if (SameText(defs[f].Name, "FLAG")) flag_ = f;
        }
    }

    // Nothing when applied; the reason when rejected.
    std::optional<Rejected> Apply(const TDeltaChange& c) {
        const size_t n = static_cast<size_t>(defs_.Count());
        if (c.Kind == TUpdateKind::ukInsert) {
            std::vector<Variant> values(n);
            for (size_t f = 0; f < n; ++f) {
                const TFieldDef& def = defs_[static_cast<int>(f)];
                const Variant& v = c.NewValues[c.NewValues.LowBound() + static_cast<int>(f)];
                values[f] = (def.ReadOnly || v.IsEmpty()) ? Variant::Null() : v;
                if (def.DataType == TFieldType::ftDataSet) values[f] = Variant::Null();
            }
            TRecordBuffer row(values);
            if (auto r = ApplyNested(row, c.NewValues)) return r;
            if (auto r = CheckRow(row, rows_.size())) return r;
            rows_.push_back(std::move(row));
            undo_.push_back({Undo::Inserted, rows_.size() - 1, {}});
            return std::nullopt;
        }
        size_t pos = 0;
        if (auto r = Locate(c.OldValues, pos)) return r;
        TRecordBuffer row = rows_[pos].Clone();
        if (c.Kind == TUpdateKind::ukModify) {
            for (size_t f = 0; f < n; ++f) {
                const TFieldDef& def = defs_[static_cast<int>(f)];
                const Variant& v = c.NewValues[c.NewValues.LowBound() + static_cast<int>(f)];
                if (!v.IsEmpty() && !def.ReadOnly && def.DataType != TFieldType::ftDataSet) row.SetValue(f, v);
            }
        }
        if (!c.NewValues.IsEmpty())
            if (auto r = ApplyNested(row, c.NewValues)) return r;
        if (c.Kind == TUpdateKind::ukDelete) {
            undo_.push_back({Undo::Erased, pos, std::move(rows_[pos])});
            rows_.erase(rows_.begin() + static_cast<std::ptrdiff_t>(pos));
            return std::nullopt;
        }
        if (auto r = CheckRow(row, pos)) return r;
        undo_.push_back({Undo::Replace, pos, std::move(rows_[pos])});
        rows_[pos] = std::move(row);
        return std::nullopt;
    }

    std::string Context(const TDeltaChange& c) const {
        const Variant& values = c.Kind == TUpdateKind::ukInsert ? c.NewValues : c.OldValues;
        std::string text = KindName(c.Kind);
        std::string sep = " where ";
        for (size_t k : keys_) {
            text += sep + defs_[static_cast<int>(k)].Name + "=" + VarQuote(values[values.LowBound() + static_cast<int>(k)]);
            sep = " and ";
        }
        return text;
    }

private:
    bool KeyMatches(const TRecordBuffer& row, const Variant& values) const {
        if (keys_.empty()) {
            for (int f = 0; f < defs_.Count(); ++f)
                if (defs_[f].DataType != TFieldType::ftDataSet &&
                    row.CompareWith(static_cast<size_t>(f), values[values.LowBound() + f]) != 0)
                    return false;
            return true;
        }
        for (size_t k : keys_)
            if (row.CompareWith(k, values[values.LowBound() + static_cast<int>(k)]) != 0) return false;
        return true;
    }

    std::optional<Rejected> Locate(const Variant& old, size_t& pos) const {
        for (pos = 0; pos < rows_.size(); ++pos) {
            if (!KeyMatches(rows_[pos], old)) continue;
            if (flag_ >= 0 && rows_[pos].CompareWith(static_cast<size_t>(flag_), old[old.LowBound() + flag_]) != 0)
                return Rejected{kReconcileChanged, "The record was changed by another user"};
            return std::nullopt;
        }
        return Rejected{kReconcileNotFound, "The record was deleted by another user"};
    }

    // Required values and a unique key for the row that is to be stored at pos.
    std::optional<Rejected> CheckRow(const TRecordBuffer& row, size_t pos) const {
        for (int f = 0; f < defs_.Count(); ++f)
            if ((defs_[f].Required || defs_[f].Key) && !defs_[f].ReadOnly && row.IsNull(static_cast<size_t>(f)))
                return Rejected{kReconcileRefused, "Field '" + defs_[f].Name + "' must have a value"};
        if (keys_.empty()) return std::nullopt;
        for (size_t other = 0; other < rows_.size(); ++other) {
            if (other == pos) continue;
            bool same = true;
            for (size_t k : keys_) same = same && TRecordBuffer::Compare(rows_[other], k, row, k) == 0;
            if (same) return Rejected{kReconcileKeyViolation, "Key violation: a record with this key exists"};
        }
        return std::nullopt;
    }

    // Applies the nested changes held in the DataSet slots of newValues to row.
    std::optional<Rejected> ApplyNested(TRecordBuffer& row, const Variant& newValues) const {
        for (int f = 0; f < defs_.Count(); ++f) {
            if (defs_[f].DataType != TFieldType::ftDataSet) continue;
            const Variant& nested = newValues[newValues.LowBound() + f];
            if (nested.IsEmpty()) continue;
            const TFieldDefs children = ChildDefsOf(defs_[f]);
            std::vector<TRecordBuffer> detail = RowsFromVariant(row.Value(static_cast<size_t>(f)));
            std::vector<Undo> ignored;
            Applier applier(children, detail, ignored);
            for (const TDeltaChange& c : DecodeChanges(children, nested))
                if (auto r = applier.Apply(c))
                    return Rejected{r->code, "Detail '" + defs_[f].Name + "', " + applier.Context(c) + ": " + r->message};
            row.SetValue(static_cast<size_t>(f), RowsToVariant(children, detail, 0, detail.size()));
        }
        return std::nullopt;
    }

    const TFieldDefs& defs_;
    std::vector<TRecordBuffer>& rows_;
    std::vector<Undo>& undo_;
    std::vector<size_t> keys_;
    int flag_ = -1;
};

}  // namespace

TMemoryProvider::TMemoryProvider(TFieldDefs fields) : fields_(std::move(fields)) {}

void TMemoryProvider::AppendRow(const std::vector<Variant>& values) {
    Variant row = Variant::CreateArray({VarBounds{0, 0}, VarBounds{0, static_cast<int>(values.size()) - 1}});
    std::copy(values.begin(), values.end(), row.MutableElements().begin());
    CheckRows(fields_, row);
    if (static_cast<int>(values.size()) != fields_.Count())
        throw EDatabaseError("A row needs one value per field");
    rows_.emplace_back(values);
}

Variant TMemoryProvider::Value(int row, std::string_view field) const {
    const int f = fields_.IndexOf(field);
    if (f < 0) throw EDatabaseError("Field '" + std::string(field) + "' not found");
    return rows_.at(static_cast<size_t>(row)).Value(static_cast<size_t>(f));
}

Variant TMemoryProvider::GetRecords(int count, int position, const Variant& request) {
    lastRequest_ = request;
    const size_t from = std::min(static_cast<size_t>(std::max(position, 0)), rows_.size());
    const size_t left = rows_.size() - from;
    const size_t n = count < 0 ? left : std::min(left, static_cast<size_t>(count));
    // The rows were checked when they were stored, so the packet is built directly.
    return Variant::ArrayOf({EncodeFieldDefs(fields_), RowsToVariant(fields_, rows_, from, n),
                             Variant(from + n >= rows_.size())});
}

Variant TMemoryProvider::ApplyUpdates(const Variant& deltaPacket, int maxErrors, int& errorCount) {
    const TDelta delta = DecodeDelta(deltaPacket);
    for (int f = 0; f < delta.Fields.Count(); ++f)
        if (fields_.IndexOf(delta.Fields[f].Name) != f)
            throw EDatabaseError("The delta's fields do not match the provider's");
    std::vector<Applier::Undo> undo;
    Applier applier(fields_, rows_, undo);
    std::vector<TUpdateError> errors;
    for (size_t i = 0; i < delta.Changes.size(); ++i) {
        const TDeltaChange& c = delta.Changes[i];
        if (auto r = applier.Apply(c))
            errors.push_back({static_cast<int>(i), r->code, r->message, applier.Context(c)});
    }
    errorCount = static_cast<int>(errors.size());
    if (maxErrors >= 0 && errorCount > maxErrors) {
        // All or nothing: undo what was written, newest first.
        for (auto it = undo.rbegin(); it != undo.rend(); ++it) {
            const auto pos = static_cast<std::ptrdiff_t>(it->pos);
            switch (it->op) {
                case Applier::Undo::Replace: rows_[it->pos] = std::move(it->old); break;
                case Applier::Undo::Inserted: rows_.erase(rows_.begin() + pos); break;
                case Applier::Undo::Erased: rows_.insert(rows_.begin() + pos, std::move(it->old)); break;
            }
        }
    }
    return EncodeUpdateErrors(errors);
}

Variant TMemoryProvider::DataRequest(const Variant& data) {
    lastRequest_ = data;
    return Variant();
}

TMemoryServer::TMemoryServer() : AutoObject("MemoryServer") {
    Method(kGetRecordsCall, [this](OleArgs& a) {
        ++calls_[kGetRecordsCall];
        return Provider(Arg(a, 0).AsString()).GetRecords(Arg(a, 1).AsInt(), Arg(a, 2).AsInt(), Arg(a, 3));
    });
    Method(kApplyUpdatesCall, [this](OleArgs& a) {
        ++calls_[kApplyUpdatesCall];
        int errors = 0;
        Variant result = Provider(Arg(a, 0).AsString()).ApplyUpdates(Arg(a, 1), Arg(a, 2).AsInt(), errors);
        if (a.size() > 3) a[3] = Variant(errors);
        return result;
    });
    Method(kDataRequestCall, [this](OleArgs& a) {
        ++calls_[kDataRequestCall];
        return Provider(Arg(a, 0).AsString()).DataRequest(Arg(a, 1));
    });
}

void TMemoryServer::AddProvider(const std::string& name, std::shared_ptr<TMemoryProvider> provider) {
    providers_[name] = std::move(provider);
}

TMemoryProvider& TMemoryServer::Provider(std::string_view name) const {
    auto it = providers_.find(name);
    if (it == providers_.end()) throw EDatabaseError("Provider '" + std::string(name) + "' not found");
    return *it->second;
}

int TMemoryServer::CallCount(std::string_view member) const {
    auto it = calls_.find(member);
    return it == calls_.end() ? 0 : it->second;
}
