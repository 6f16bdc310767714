#pragma once
// The providers of the application server, answering the dataset provider
// protocol of platform/db/Provider.h (GetRecords, ApplyUpdates, DataRequest):
//
// | name         | rows                                                   | changes                |
// |--------------|--------------------------------------------------------|------------------------|
// | "pvdMain"    | the program's select with the request's condition and  | applied to the main    |
// |              | order (key order when none); the record count of the   | table, one transaction |
// |              | query is kept for GetRecCount                          |                        |
// | "pvdColor"   | the key columns and one text column per rule component | refused                |
// |              | of the program's colour rules (ADMNH), named after it, |                        |
// |              | holding the colour texts of its matching conditions,   |                        |
// |              | for the same condition and order                       |                        |
// | "pvdConSave" | the saved schemes of the user and program of LoadTable | refused                |
//
// The request [condition, order] is client text: it is adapted by RewriteSql and
// run read-only, so it can never write nor read password hashes. A provider keeps
// the open query between calls and continues it when the caller asks for the rows
// that follow; any other position or request reopens it, so the answers depend
// only on the arguments.
//
// Applying a delta (main provider): each change runs inside a savepoint of one
// transaction. An insert needs the add right; a modify or delete locates the
// stored row by the key's old values, checks the edit or delete right against the
// stored row's owner (CREATOR, USR_GROUP), and matches the stored FLAG: a missing
// row or another FLAG is a reconcile error, never an overwrite. The server sets
// FLAG of a modified row to (stored FLAG + 1) mod 1000 itself. Only the main
// table's own columns are written (computed columns such as MB002C never are).
// More rejected changes than max errors (-1: no limit) leave the database as it
// was; otherwise the accepted changes are committed together.
#include <memory>
#include <string>

#include "platform/core/Variant.h"
#include "platform/db/FieldDefs.h"
#include "services/appserver/ServerSession.h"

class TProviderPacketSink;

class TServerProvider {
public:
    explicit TServerProvider(TServerSession& session);
    virtual ~TServerProvider();

    Variant GetRecords(int count, int position, const Variant& request);
    virtual Variant ApplyUpdates(const Variant& delta, int maxErrors, int& errorCount);
    // Returns the data unchanged; every GetRecords carries the request anyway.
    Variant DataRequest(const Variant& data) { return data; }

protected:
    struct TQuery {
        std::string Sql;
        TParams Params;
        bool operator==(const TQuery&) const = default;
    };
    // The query for a request (condition and order texts, possibly empty).
    virtual TQuery BuildQuery(const std::string& condition, const std::string& order) = 0;
    // Called when a query is opened from its start (the main provider counts its records).
    virtual void Opened(const TQuery&) {}
    // Rows the query opened now may give at most (-1: no limit).
    virtual int TakeRowLimit();
    // Packet flags of a field: part of the key, read-only (computed).
    virtual bool IsKeyField(const std::string& name) const;
    virtual bool IsReadOnlyField(const std::string& name) const;
    TServerSession& session_;

private:
    TProviderPacketSink MakeSink(TFieldDefs& fields, std::vector<Variant>& values) const;
    struct TOpenQuery;
    std::unique_ptr<TOpenQuery> open_;
};

// Creates the provider of the given name, or null for an unknown name.
std::unique_ptr<TServerProvider> CreateServerProvider(const std::string& name, TServerSession& session);
