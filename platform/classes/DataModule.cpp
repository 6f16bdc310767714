#include "platform/classes/DataModule.h"

const TClassInfo& TDataModule::StaticClass() {
    static const TClassInfo info = [] {
        TClassInfo c("TDataModule", &TComponent::StaticClass(),
                     [](TComponent* owner) -> TComponent* { return NewDataModule<TDataModule>(owner); });
        c.Add(EventProperty("OnCreate", &TDataModule::OnCreate));
        c.Add(EventProperty("OnDestroy", &TDataModule::OnDestroy));
        return c;
    }();
    return info;
}

TDataModule::TDataModule(TComponent* owner) : TComponent(owner) { BeginLoading(); }

void TDataModule::AfterConstruction() {
    if (created_) return;
    created_ = true;
    EndLoading();
    if (OnCreate) OnCreate(this);
}

void TDataModule::Free() {
    if (!Destroying()) {
        MarkDestroying();
        if (OnDestroy) OnDestroy(this);
    }
    delete this;
}
