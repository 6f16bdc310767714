#pragma once
// `TDataModule`: the non-visual container of a program's datasets and other
// components. Like a form it has a creation step (its constructor chain) after
// which OnCreate runs, and OnDestroy runs while it is still whole.
//
// Life cycle: create one with NewDataModule<T>(owner, ...) and let it go with
// Free() (or through its owner, which runs no OnDestroy).
#include <utility>

#include "platform/classes/Component.h"

class TDataModule : public TComponent {
    VELMORA_CLASS(TDataModule)
public:
    explicit TDataModule(TComponent* owner);

    // Ends loading (Loaded runs for the owned components, then the module), then
    // runs OnCreate; once only. NewDataModule calls it.
    void AfterConstruction();
    // Runs OnDestroy (once) and destroys the module.
    void Free();

    TNotifyEvent OnCreate;
    TNotifyEvent OnDestroy;

private:
    bool created_ = false;
};

// Creates a data module of class T and runs its OnCreate after the whole constructor chain.
template <typename T, typename... Args>
T* NewDataModule(Args&&... args) {
    T* module = new T(std::forward<Args>(args)...);
    module->AfterConstruction();
    return module;
}
