#pragma once
// An in-memory table that answers the provider protocol (Provider.h), and an
// automation object that serves named in-memory providers as a remote server.
// Tests and benchmarks use them in place of the application server: the table has
// keys, applies deltas all-or-nothing within the error limit, and rejects a change
// whose key and `FLAG` no longer match (another user saved first).
//
// The condition and order of a data request are recorded (LastRequest) but not
// interpreted: the table always answers all its rows in insertion order.
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "platform/core/Automation.h"
#include "platform/core/Strings.h"
#include "platform/db/Provider.h"
#include "platform/db/RecordBuffer.h"

class TMemoryProvider {
public:
    // Fields flagged Key locate rows; without any, all old values must match.
    explicit TMemoryProvider(TFieldDefs fields);

    const TFieldDefs& Fields() const { return fields_; }
    // Adds a row (values in field order); raises EDatabaseError when it does not fit.
    void AppendRow(const std::vector<Variant>& values);
    int RowCount() const { return static_cast<int>(rows_.size()); }
    Variant Value(int row, std::string_view field) const;

    // The protocol calls (see Provider.h).
    Variant GetRecords(int count, int position, const Variant& request);
    Variant ApplyUpdates(const Variant& delta, int maxErrors, int& errorCount);
    Variant DataRequest(const Variant& data);
    const Variant& LastRequest() const { return lastRequest_; }

private:
    TFieldDefs fields_;
    std::vector<TRecordBuffer> rows_;
    Variant lastRequest_;
};

// The remote server of tests: an automation object whose GetRecords, ApplyUpdates
// and DataRequest go to the provider of the given name (without regard to case).
class TMemoryServer : public AutoObject {
public:
    TMemoryServer();
    void AddProvider(const std::string& name, std::shared_ptr<TMemoryProvider> provider);
    TMemoryProvider& Provider(std::string_view name) const;   // raises when unknown
    int CallCount(std::string_view member) const;               // calls received, by name

private:
    std::map<std::string, std::shared_ptr<TMemoryProvider>, LessText> providers_;
    std::map<std::string, int, LessText> calls_;
};
