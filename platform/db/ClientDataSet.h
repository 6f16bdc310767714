#pragma once
// `TClientDataSet`: a dataset whose records are held in memory. It fetches them
// from a named provider of its remote server (Provider.h) in packets, keeps a log
// of the changes made to them, sends the log back as a delta and reconciles the
// rows the provider rejected. It also serves as a plain in-memory table
// (CreateDataSet over FieldDefs) and as the detail dataset of a nested DataSet field.
//
// Change log: every posted insert, edit and delete is kept until ApplyUpdates
// merges what the provider accepted or CancelUpdates restores the rows as fetched.
// Closing the dataset discards the log. A rejected row stays in the log; its
// reconcile event can cancel, merge, skip (the default) or abort.
//
// Order: the natural order is the fetch order, with inserted records where they
// were inserted. IndexFieldNames ("A;B") sorts ascending; IndexName selects a
// definition of IndexDefs (descending fields, case-insensitive fields, unique).
// Bookmarks identify records, so they survive a change of order.
#include <memory>
#include <string>
#include <vector>

#include "platform/db/DataSet.h"
#include "platform/db/Fields.h"
#include "platform/db/Provider.h"
#include "platform/db/RecordBuffer.h"

enum class TUpdateStatus { usUnmodified, usModified, usInserted, usDeleted };
enum class TReconcileAction { raSkip, raAbort, raMerge, raCorrect, raCancel };

// A change the provider rejected: its message, its code, the code of the
// previous rejection of the same row (0 the first time) and what was being done.
class EReconcileError : public EDatabaseError {
public:
    EReconcileError(std::string message, int errorCode, int previousError, std::string context)
        : EDatabaseError(std::move(message)), errorCode_(errorCode), previousError_(previousError),
          context_(std::move(context)) {}
    const char* ClassName() const noexcept override { return "EReconcileError"; }
    int ErrorCode() const noexcept { return errorCode_; }
    int PreviousError() const noexcept { return previousError_; }
    const std::string& Context() const noexcept { return context_; }

private:
    int errorCode_;
    int previousError_;
    std::string context_;
};

enum class TIndexOption { ixPrimary, ixUnique, ixDescending, ixCaseInsensitive };
using TIndexOptions = TSet<TIndexOption>;

struct TIndexDef {
    std::string Name;
    std::string Fields;          // "A;B"
    std::string DescFields;      // fields of Fields sorted descending
    std::string CaseInsFields;   // text fields of Fields compared without regard to case
    TIndexOptions Options;       // ixDescending: every field descending
};

class TIndexDefs {
public:
    // Adds a definition, or updates the one of that name (any case).
    TIndexDef& Add(const std::string& name, const std::string& fields, TIndexOptions options = {});
    TIndexDef* Find(std::string_view name) noexcept;
    int Count() const noexcept { return static_cast<int>(items_.size()); }
    const TIndexDef& operator[](int i) const { return items_.at(static_cast<size_t>(i)); }
    void Clear() { items_.clear(); }

private:
    std::vector<TIndexDef> items_;
};

class TClientDataSet;
using TReconcileErrorEvent =
    std::function<void(TClientDataSet* dataSet, EReconcileError& error, TUpdateKind kind, TReconcileAction& action)>;

class TClientDataSet : public TDataSet {
    VELMORA_CLASS(TClientDataSet)
public:
    explicit TClientDataSet(TComponent* owner);
    ~TClientDataSet() override;

    // --- where records come from ---
    // The automation object that serves the provider (see Provider.h).
    const Variant& RemoteServer() const noexcept { return remoteServer_; }
    void SetRemoteServer(const Variant& server) { remoteServer_ = server; }
    const std::string& ProviderName() const noexcept { return providerName_; }
    void SetProviderName(const std::string& name) { providerName_ = name; }
    // Records per packet; -1 (the default) fetches all at once.
    int PacketRecords() const noexcept { return packetRecords_; }
    void SetPacketRecords(int count) { packetRecords_ = count; }
    // Fetch the next packet by itself when navigation reaches the end.
    bool FetchOnDemand() const noexcept { return fetchOnDemand_; }
    void SetFetchOnDemand(bool on) { fetchOnDemand_ = on; }
    // Fetches one more packet; returns the records added (0 at the end of the data).
    int GetNextPacket();
    // True when the provider has sent its last record.
    bool AllFetched() const noexcept { return allFetched_; }
    // Sends data to the provider and keeps it as the request of later fetches
    // (the module sends [condition, order]); returns the provider's answer.
    Variant DataRequest(const Variant& data);
    // Creates an empty in-memory dataset from FieldDefs and opens it.
    void CreateDataSet();

    // --- change log ---
    int ChangeCount() const;
    Variant Delta() const;   // the pending changes, as Provider.h describes
    // Sends the changes; returns the number the provider rejected. Each rejected
    // row fires OnReconcileError. Rows that were applied leave the log.
    int ApplyUpdates(int maxErrors);
    void CancelUpdates();
    TUpdateStatus UpdateStatus() const;

    // --- order ---
    const std::string& IndexFieldNames() const noexcept { return indexFieldNames_; }
    void SetIndexFieldNames(const std::string& fields);
    const std::string& IndexName() const noexcept { return indexName_; }
    void SetIndexName(const std::string& name);   // re-sorts even when the name is the same
    TIndexDefs& IndexDefs() noexcept { return indexDefs_; }
    // Locates the record whose fields of the current index equal the values
    // (one per index field, in the index's order); false when there is none.
    bool FindKey(const std::vector<Variant>& values);

    // --- nesting ---
    TDataSetField* DataSetField() const noexcept { return dataSetField_; }
    // Makes this dataset show the records of a master's DataSet field.
    void SetDataSetField(TDataSetField* field);

    TReconcileErrorEvent OnReconcileError;

    struct Record;
    struct RecordSet;

protected:
    void InternalOpen() override;
    void InternalLoadRecords() override;
    void InternalClose() override;
    int InternalRecordCount() const override;
    Variant InternalGetValue(int position, int slot) const override;
    Variant InternalOldValue(int position, int slot) const override;
    int InternalPost(const std::vector<Variant>& values, bool inserting, int position) override;
    void InternalDelete(int position) override;
    TBookmark InternalBookmark(int position) const override;
    int InternalBookmarkPosition(TBookmark bookmark) const override;
    bool InternalFetchMore() override;
    void InternalFetchAll() override;
    void CurrentRecordChanged() override;
    void PrepareChange() override;
    void Notification(TComponent* component, TOperation operation) override;

private:
    struct IndexKey {
        int slot;
        bool descending;
        bool caseInsensitive;
    };
    std::vector<IndexKey> IndexKeys(const std::string& fieldNames, const std::string& indexName) const;
    bool Before(const Record* a, const Record* b) const;   // order of the current index
    void CheckUnique(const TRecordBuffer& values, const Record* self) const;
    RecordSet* NestedSetFor(const TDataSetField* field) const;
    void LoadRows(const Variant& rows);
    void AttachNested();
    // Posts (or cancels) pending edits of the nested detail datasets.
    void SettleDetails(bool post);
    void RebuildView();
    void ResyncTo(TBookmark keep);
    void CheckPacketFields(const TFieldDefs& defs) const;

    Variant remoteServer_;
    std::string providerName_;
    int packetRecords_ = -1;
    bool fetchOnDemand_ = true;
    bool allFetched_ = true;
    int fetchedRows_ = 0;
    Variant request_;
    Variant pendingRows_;            // rows of the first packet until the fields are bound
    bool createdInMemory_ = false;
    std::string indexFieldNames_;
    std::string indexName_;
    TIndexDefs indexDefs_;
    TDataSetField* dataSetField_ = nullptr;
    std::unique_ptr<RecordSet> ownSet_;
    RecordSet* set_ = nullptr;
    std::vector<Record*> view_;      // the records shown, in index order
    std::vector<IndexKey> keys_;     // the current index
    bool uniqueIndex_ = false;
    std::vector<int> nestedSlots_;   // slots of the DataSet fields
};
