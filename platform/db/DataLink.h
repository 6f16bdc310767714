#pragma once
// The data-link interface: how a data-aware control follows a dataset through a
// data source. A control owns a link, points it at a data source, and overrides
// (or, for a field link, handles the events of) the notifications below.
//
// Contract:
//  - ActiveChanged: the dataset opened or closed (or the link changed source).
//  - DataSetChanged: the records changed as a whole (open, post, cancel, delete,
//    insert); DataSetScrolled: the current record moved; both mean "redisplay".
//  - RecordChanged(field): a field of the current record changed (field set), or
//    the whole record did (nullptr).
//  - EditingChanged: the link's Editing flag changed (edit or insert began or ended).
//  - UpdateData: the dataset is about to post (UpdateRecord); a modified control
//    writes its value to the field now.
//  - FocusControl(field): a control showing that field should take the focus.
//  - LayoutChanged: fields were added, moved, hidden or relabelled.
// A grid shows BufferCount records: ActiveRecord is the current record's row in
// that window, and SetActiveRecord(row) makes the fields read that row's record.
#include <functional>
#include <string>

#include "platform/db/DataSource.h"

class TDataLink {
public:
    TDataLink() = default;
    virtual ~TDataLink();
    TDataLink(const TDataLink&) = delete;
    TDataLink& operator=(const TDataLink&) = delete;

    TDataSource* DataSource() const noexcept { return dataSource_; }
    void SetDataSource(TDataSource* source);
    TDataSet* DataSet() const noexcept { return dataSource_ ? dataSource_->DataSet() : nullptr; }
    bool Active() const noexcept { return active_; }
    bool Editing() const noexcept { return editing_; }
    bool ReadOnly() const noexcept { return readOnly_; }
    void SetReadOnly(bool readOnly);

    // Puts the dataset into edit state (when AutoEdit allows); returns Editing.
    bool Edit();
    // Writes pending control values of every link (the dataset's UpdateRecord).
    void UpdateRecord();

    // --- the record window of a grid ---
    int BufferCount() const noexcept { return bufferCount_; }
    void SetBufferCount(int count);
    int ActiveRecord() const noexcept;
    void SetActiveRecord(int row) const;   // -1 (or leaving it) returns to the current record
    // Rows of the window that hold records.
    int RecordCount() const noexcept;
    int FirstRecord() const noexcept { return first_; }

    // Called by the data source.
    void DataEvent(TDataEvent event, TField* field);

protected:
    virtual void ActiveChanged() {}
    virtual void CheckBrowseMode() {}
    virtual void DataSetChanged() { RecordChanged(nullptr); }
    virtual void DataSetScrolled(int /*distance*/) { DataSetChanged(); }
    virtual void EditingChanged() {}
    virtual void FocusControl(TField* /*field*/) {}
    virtual void LayoutChanged() { DataSetChanged(); }
    virtual void RecordChanged(TField* /*field*/) {}
    virtual void UpdateData() {}

private:
    friend class TDataSource;
    void UpdateState();
    void UpdateWindow();
    TDataSource* dataSource_ = nullptr;
    bool active_ = false;
    bool editing_ = false;
    bool readOnly_ = false;
    bool updating_ = false;
    int bufferCount_ = 1;
    int first_ = 0;
};

// The link of a control that shows one field.
class TFieldDataLink : public TDataLink {
public:
    const std::string& FieldName() const noexcept { return fieldName_; }
    void SetFieldName(const std::string& name);
    TField* Field() const noexcept { return field_; }
    // The control this link serves (the data source reports focus requests to it).
    TComponent* Control() const noexcept { return control_; }
    void SetControl(TComponent* control) { control_ = control; }

    // True when the field exists and may be changed now (or after Edit).
    bool CanModify() const;
    // Puts the dataset into edit state for this control; false when that is not possible.
    bool Edit();
    // Marks the control's value as changed: UpdateRecord will write it (OnUpdateData).
    void Modified() noexcept { modified_ = true; }
    bool IsModified() const noexcept { return modified_; }
    // Forgets the control's change and redisplays the field (OnDataChange).
    void Reset();

    TNotifyEvent OnDataChange;      // redisplay the field
    TNotifyEvent OnEditingChange;   // Editing changed
    TNotifyEvent OnUpdateData;      // write the control's value to the field
    TNotifyEvent OnActiveChange;    // the dataset opened or closed
    std::function<void(TObject* sender, TField* field)> OnFocusRequest;   // the field wants focus

protected:
    void ActiveChanged() override;
    void EditingChanged() override;
    void FocusControl(TField* field) override;
    void LayoutChanged() override;
    void RecordChanged(TField* field) override;
    void UpdateData() override;

private:
    void UpdateField();
    std::string fieldName_;
    TField* field_ = nullptr;
    TComponent* control_ = nullptr;
    bool modified_ = false;
};
