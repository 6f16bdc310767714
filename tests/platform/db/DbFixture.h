#pragma once
// A small table served by an in-memory provider, and a client dataset over it.
#include <memory>
#include <string>
#include <vector>

#include "platform/db/ClientDataSet.h"
#include "platform/db/MemoryProvider.h"

// MB001 key text(4), MB002 text(10), MB003 integer, FLAG integer.
inline TFieldDefs DocDefs() {
    TFieldDefs defs;
    defs.Add("MB001", TFieldType::ftString, 4).Key = true;
    defs.Add("MB002", TFieldType::ftString, 10);
    defs.Add("MB003", TFieldType::ftInteger);
    defs.Add("FLAG", TFieldType::ftInteger);
    return defs;
}

struct DbFixture {
    std::shared_ptr<TMemoryServer> server = std::make_shared<TMemoryServer>();
    std::shared_ptr<TMemoryProvider> table = std::make_shared<TMemoryProvider>(DocDefs());
    TComponent owner{nullptr};

    explicit DbFixture(int rows = 5) {
        for (int i = 1; i <= rows; ++i)
            table->AppendRow({"K" + std::to_string(i), "name " + std::to_string(i), i * 10, 1});
        server->AddProvider("pvdMain", table);
    }

    Variant Remote() const { return Variant(std::static_pointer_cast<IDispatch>(server)); }

    TClientDataSet* NewDataSet(const std::string& name = "cdsMain") {
        auto* ds = new TClientDataSet(&owner);
        ds->SetName(name);
        ds->SetRemoteServer(Remote());
        ds->SetProviderName("pvdMain");
        return ds;
    }

    // The values of one column over all records, in the dataset's order.
    static std::vector<std::string> Column(TDataSet* ds, const std::string& field) {
        std::vector<std::string> values;
        ds->First();
        while (!ds->Eof()) {
            values.push_back(ds->FieldByName(field)->AsString());
            ds->Next();
        }
        return values;
    }
};
