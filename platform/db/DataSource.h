#pragma once
// `TDataSource`: the connector between one dataset and the data links of the
// controls that show it. It passes the dataset's notifications to its links and
// raises its own data-change and state-change events.
#include <functional>
#include <vector>

#include "platform/classes/Component.h"
#include "platform/db/DataSet.h"

class TDataLink;

// field: the field whose value changed, or nullptr when the whole record or
// dataset changed (scroll, open, post ...).
using TDataChangeEvent = std::function<void(TObject* sender, TField* field)>;

class TDataSource : public TComponent {
    VELMORA_CLASS(TDataSource)
public:
    explicit TDataSource(TComponent* owner);
    ~TDataSource() override;

    TDataSet* DataSet() const noexcept { return dataSet_; }
    void SetDataSet(TDataSet* dataSet);
    // A disabled source tells its links the dataset is inactive.
    bool Enabled() const noexcept { return enabled_; }
    void SetEnabled(bool enabled);
    // Whether a control's change may put the dataset into edit state by itself.
    bool AutoEdit() const noexcept { return autoEdit_; }
    void SetAutoEdit(bool autoEdit) { autoEdit_ = autoEdit; }
    // The dataset's state as the links see it (inactive when disabled or without one).
    TDataSetState State() const noexcept;
    // Puts the dataset into edit state when AutoEdit allows and it is browsing.
    void Edit();

    TDataChangeEvent OnDataChange;
    TNotifyEvent OnStateChange;
    TNotifyEvent OnUpdateData;

    // --- for datasets and links ---
    void DataEvent(TDataEvent event, TField* field);
    void AddLink(TDataLink* link);
    void RemoveLink(TDataLink* link);
    const std::vector<TDataLink*>& Links() const noexcept { return links_; }

protected:
    void Notification(TComponent* component, TOperation operation) override;

private:
    void NotifyActiveChanged();
    TDataSet* dataSet_ = nullptr;
    bool enabled_ = true;
    bool autoEdit_ = true;
    TDataSetState lastState_ = TDataSetState::dsInactive;
    std::vector<TDataLink*> links_;
};
