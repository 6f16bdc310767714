#pragma once
// The part every single-field data-aware control shares: a field data link with
// its DataSource and DataField, published under those names. A control derives
// from TFieldLinked<its toolkit base> and reacts to the link's events (the
// data-link contract is in platform/db/DataLink.h).
#include <memory>
#include <string>

#include "platform/classes/TypeInfo.h"
#include "platform/db/DataLink.h"

template <typename Base>
class TFieldLinked : public Base {
public:
    explicit TFieldLinked(TComponent* owner) : Base(owner), link_(std::make_unique<TFieldDataLink>()) {
        link_->SetControl(this);
    }
    ~TFieldLinked() override {
        // No redisplay while the control goes.
        link_->OnDataChange = nullptr;
        link_->OnEditingChange = nullptr;
        link_->OnUpdateData = nullptr;
        link_->OnActiveChange = nullptr;
    }

    TDataSource* DataSource() const noexcept { return link_->DataSource(); }
    void SetDataSource(TDataSource* source) { link_->SetDataSource(source); }
    const std::string& DataField() const noexcept { return link_->FieldName(); }
    void SetDataField(const std::string& name) { link_->SetFieldName(name); }
    TField* Field() const noexcept { return link_->Field(); }
    TFieldDataLink* DataLink() const noexcept { return link_.get(); }

protected:
    std::unique_ptr<TFieldDataLink> link_;
};

// Publishes DataSource and DataField of a TFieldLinked class C.
template <typename C>
void AddFieldLinkProperties(TClassInfo& info) {
    info.Add(ObjectProperty("DataSource", &C::DataSource, &C::SetDataSource));
    info.Add(Property("DataField", &C::DataField, &C::SetDataField));
}
