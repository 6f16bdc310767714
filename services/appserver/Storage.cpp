#include "services/appserver/Storage.h"

#include <cstdlib>

#include "platform/core/Strings.h"

std::vector<std::vector<Variant>> TStorage::QueryRows(std::string_view sql, const TParams& params) {
    TRowCollector rows;
    Query(sql, params, rows);
    return std::move(rows.Rows);
}

Variant TStorage::QueryValue(std::string_view sql, const TParams& params) {
    struct First : TRowSink {
        Variant value;
        void OnColumns(const std::vector<TColumnInfo>&) override {}
        bool OnRow(std::vector<Variant>& values) override {
            if (!values.empty()) value = std::move(values[0]);
            return false;
        }
    } first;
    Query(sql, params, first);
    return first.value;
}

TTransaction::~TTransaction() {
    if (done_) return;
    try {
        storage_.Rollback();
    } catch (...) {
        // The connection is gone or broken; the engine discards the work itself.
    }
}

void TTransaction::Commit() {
    storage_.Commit();
    done_ = true;
}

TColumnInfo ColumnInfoFromDeclaredType(std::string name, std::string_view declared) {
    TColumnInfo info;
    info.Name = std::move(name);
    const std::string type = UpperCase(TrimView(declared));
    if (type.find("INT") != std::string::npos) {
        info.Type = TColumnType::Integer;
    } else if (type.find("REAL") != std::string::npos || type.find("DOUB") != std::string::npos ||
               type.find("FLOA") != std::string::npos || type.find("NUMERIC") != std::string::npos ||
               type.find("DECIMAL") != std::string::npos) {
        info.Type = TColumnType::Float;
    }
    if (info.Type == TColumnType::String) {
        const size_t open = type.find('(');
        if (open != std::string::npos) info.Size = std::atoi(type.c_str() + open + 1);
    }
    return info;
}
