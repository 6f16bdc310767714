#pragma once
// `TDataSet`: the record cursor that windows, data modules and data-aware
// controls work on. It owns the state machine (inactive, browse, edit, insert,
// calculated fields), navigation, the edit buffer of the current record, the
// fields list, bookmarks, Locate, the before/after events and the notification of
// its data sources. Where records live is left to a derived class (the client
// dataset), which implements the protected Internal* operations.
//
// Event order (each before-event may raise EAbort, which cancels the operation
// and propagates, without a message, to the caller's event loop):
//   Open    BeforeOpen, (records loaded), AfterOpen, AfterScroll (when not empty)
//   Close   BeforeClose, AfterClose
//   Append/Insert  BeforeInsert, BeforeScroll, (state insert), OnNewRecord,
//                  AfterInsert, AfterScroll
//   Edit    BeforeEdit, (state edit), AfterEdit
//   Post    BeforePost, (required fields checked), (stored), AfterPost
//   Cancel  BeforeCancel, AfterCancel
//   Delete  BeforeDelete, BeforeScroll, (deleted), AfterDelete, AfterScroll
//   First, Prior, Next, Last, MoveBy, RecNo, GotoBookmark, Locate (when found):
//           a pending edit is posted, then BeforeScroll, (moved), AfterScroll
// OnCalcFields runs for each record whose calculated fields are read, in the
// calculated-fields state; it may only set calculated fields.
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "platform/classes/Component.h"
#include "platform/classes/StringList.h"
#include "platform/db/Field.h"
#include "platform/db/FieldDefs.h"

class TDataSource;

enum class TDataSetState { dsInactive, dsBrowse, dsEdit, dsInsert, dsCalcFields, dsInternalCalc };
const TTypeInfo& DataSetStateType();

// What data links are told (see DataLink.h).
enum class TDataEvent {
    deFieldChange, deRecordChange, deDataSetChange, deDataSetScroll, deLayoutChange,
    deUpdateRecord, deUpdateState, deCheckBrowseMode, deFocusControl
};

enum class TLocateOption { loCaseInsensitive, loPartialKey };
using TLocateOptions = TSet<TLocateOption>;

// Identifies a record, whatever the order: it stays valid when the dataset is
// re-sorted and becomes invalid when the record is deleted. 0 is no record.
using TBookmark = int64_t;

using TDataSetNotifyEvent = std::function<void(TDataSet* dataSet)>;

class TDataSet : public TComponent {
    VELMORA_CLASS(TDataSet)
public:
    explicit TDataSet(TComponent* owner);
    ~TDataSet() override;

    // --- opening ---
    bool Active() const noexcept { return state_ != TDataSetState::dsInactive; }
    void SetActive(bool active);
    void Open() { SetActive(true); }
    void Close() { SetActive(false); }
    TDataSetState State() const noexcept { return state_; }
    TFieldDefs& FieldDefs() noexcept { return fieldDefs_; }
    const TFieldDefs& FieldDefs() const noexcept { return fieldDefs_; }

    // --- fields ---
    int FieldCount() const noexcept { return static_cast<int>(fields_.size()); }
    TField* Fields(int index) const;
    TField* FindField(std::string_view name) const noexcept;
    // Raises EDatabaseError "Field 'X' not found".
    TField* FieldByName(std::string_view name) const;

    // --- navigation ---
    void First();
    void Prior() { MoveBy(-1); }
    void Next() { MoveBy(1); }
    void Last();
    // Moves up to `distance` records; returns how far it moved.
    int MoveBy(int distance);
    bool Bof() const noexcept { return bof_; }
    bool Eof() const noexcept { return eof_; }
    // 1-based position of the current record; 0 when there is none.
    int RecNo() const noexcept;
    void SetRecNo(int recNo);
    // Records held (fetched so far for a dataset that fetches in packets).
    int RecordCount() const;
    bool IsEmpty() const { return RecordCount() == 0 && state_ != TDataSetState::dsInsert; }

    // --- changing ---
    void Append();
    void Insert();
    void Edit();
    void Post();
    void Cancel();
    void Delete();
    // Posts a pending edit (after asking data links to store their controls' values).
    void CheckBrowseMode();
    // Asks the data links to write their controls' pending values to the fields.
    void UpdateRecord();
    bool Modified() const noexcept { return modified_; }
    bool CanModify() const noexcept { return Active() && !readOnly_; }
    bool ReadOnly() const noexcept { return readOnly_; }
    void SetReadOnly(bool readOnly) { readOnly_ = readOnly; }

    // --- controls ---
    void DisableControls() noexcept { ++disableCount_; }
    void EnableControls();
    bool ControlsDisabled() const noexcept { return disableCount_ > 0; }

    // --- bookmarks and search ---
    TBookmark GetBookmark() const;
    void GotoBookmark(TBookmark bookmark);   // EDatabaseError when the record is gone
    bool BookmarkValid(TBookmark bookmark) const;
    // Finds the first record whose key fields (names separated by ";") equal the
    // values (one value, or an array with one per field) and makes it current.
    bool Locate(std::string_view keyFields, const Variant& keyValues, TLocateOptions options = {});

    // The control-type list that data grids and dialogs read to choose a field's
    // editor: lines of field name, ";", kind and its parameters ("MB021;CheckBox;Y;N",
    // "MB048;CustomEdit;cboMB048G").
    TStrings* ControlType() const noexcept { return controlType_.get(); }

    // Events (published under these names).
    TDataSetNotifyEvent BeforeOpen, AfterOpen, BeforeClose, AfterClose;
    TDataSetNotifyEvent BeforeInsert, AfterInsert, BeforeEdit, AfterEdit;
    TDataSetNotifyEvent BeforePost, AfterPost, BeforeCancel, AfterCancel;
    TDataSetNotifyEvent BeforeDelete, AfterDelete, BeforeScroll, AfterScroll;
    TDataSetNotifyEvent OnNewRecord, OnCalcFields;

    // --- for fields, data sources and data links ---
    Variant GetFieldValue(const TField* field) const;
    void SetFieldValue(TField* field, const Variant& value);   // after conversion and cut
    Variant GetOldFieldValue(const TField* field) const;
    void AddDataSource(TDataSource* source);
    void RemoveDataSource(TDataSource* source);
    void DataEvent(TDataEvent event, TField* field = nullptr);
    // Reads fields of the record at a 0-based position instead of the current one
    // (a grid painting its rows); -1 returns to the current record.
    void SetDisplayPosition(int position) const noexcept { displayPosition_ = position; }
    // 0-based position of the current record (-1 when none).
    int CurrentPosition() const noexcept { return RecordCount() == 0 ? -1 : cursor_; }

protected:
    // --- what a derived class provides ---
    // Prepares the storage; FieldDefs must describe the records when it returns.
    virtual void InternalOpen() = 0;
    // Loads the first records, once the fields are bound to the definitions.
    virtual void InternalLoadRecords() {}
    virtual void InternalClose() = 0;
    virtual int InternalRecordCount() const = 0;
    // Values of the record at a 0-based position, one per value slot.
    virtual Variant InternalGetValue(int position, int slot) const = 0;
    // Stores a record from the edit buffer; returns its position afterwards.
    // position: the record being edited, or where an insert goes (count = append).
    virtual int InternalPost(const std::vector<Variant>& values, bool inserting, int position) = 0;
    virtual void InternalDelete(int position) = 0;
    virtual TBookmark InternalBookmark(int position) const = 0;
    virtual int InternalBookmarkPosition(TBookmark bookmark) const = 0;   // -1 when gone
    // Called when the cursor reaches the end; returns true when records were added.
    virtual bool InternalFetchMore() { return false; }
    virtual void InternalFetchAll() {}
    // The original value of a slot of the record at position (before its changes).
    virtual Variant InternalOldValue(int position, int slot) const { return InternalGetValue(position, slot); }
    // Told after the current record changed (scroll, post, cancel, delete, open).
    virtual void CurrentRecordChanged() {}
    // Runs before Edit, Insert, Append and Delete change anything (a nested
    // dataset settles its master here); may raise to refuse the change.
    virtual void PrepareChange() {}

    void CheckActive() const;   // EDatabaseError on a closed dataset
    int SlotCount() const noexcept { return slotCount_; }
    // The value slot of a data or internal-calculated field (-1 for other kinds).
    static int FieldSlot(const TField* field) noexcept { return field->slot_; }
    // Reloads the current position after records changed underneath.
    void Resync(int position);
    // Runs OnCalcFields for internal-calculated fields over a record's values.
    void CalculateInternal(std::vector<Variant>& values);
    bool HasInternalCalcFields() const noexcept { return hasInternalCalc_; }
    void Notification(TComponent* component, TOperation operation) override;

private:
    friend class TField;
    void AddField(TField* field);
    void RemoveField(TField* field);
    void MoveField(TField* field, int index);
    void BindFields();
    void UnbindFields();
    void SetState(TDataSetState state);
    void BeginInsertAppend(bool append);
    void CheckRequiredFields();
    void MoveTo(int position);   // with the scroll events
    void EnsureCalculated(int position) const;
    void ClearCalcCache() const { calcPosition_ = -2; }
    int ReadPosition() const noexcept;
    void Fire(const TDataSetNotifyEvent& event) { if (event) event(this); }

    TDataSetState state_ = TDataSetState::dsInactive;
    TFieldDefs fieldDefs_;
    std::vector<TField*> fields_;
    std::vector<TDataSource*> dataSources_;
    int slotCount_ = 0;
    bool hasCalc_ = false;
    bool hasInternalCalc_ = false;
    int cursor_ = 0;
    bool bof_ = true;
    bool eof_ = true;
    bool modified_ = false;
    bool readOnly_ = false;
    int disableCount_ = 0;
    bool pendingStateChange_ = false;
    std::vector<Variant> editBuffer_;         // slots of the record being edited or inserted
    int insertPosition_ = 0;
    const TField* validating_ = nullptr;      // its new value is visible during OnValidate
    Variant validatingValue_;
    mutable int displayPosition_ = -1;
    mutable int calcPosition_ = -2;           // the record whose calculated values are cached
    mutable std::vector<Variant> calcValues_; // by field index
    // While OnCalcFields runs: the values it reads (a buffer, or a record position)
    // and, for internal-calculated fields, where it writes.
    mutable const std::vector<Variant>* calcSource_ = nullptr;
    mutable int calcSourcePosition_ = -1;
    std::vector<Variant>* internalCalcTarget_ = nullptr;
    std::vector<TField*> dynamicFields_;      // created from the definitions on open
    std::unique_ptr<TStringList> controlType_ = std::make_unique<TStringList>();
};
