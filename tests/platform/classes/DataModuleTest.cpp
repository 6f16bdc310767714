#include "platform/classes/DataModule.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

namespace {
// Logs its Loaded call together with its Tag, to show that Loaded sees the
// properties set in the creation step.
class TLoadLogged : public TComponent {
public:
    TLoadLogged(TComponent* owner, std::string* log) : TComponent(owner), log_(log) {}
    void Loaded() override {
        EXPECT_FALSE(ComponentState().Contains(TComponentStateItem::csLoading));
        *log_ += "loaded " + Name() + "=" + std::to_string(Tag()) + ";";
    }

private:
    std::string* log_;
};

// A program's data module: its creation step makes a nested pair of components
// and sets their properties after creating them; OnCreate and OnDestroy are logged.
class TOrdersModule : public TDataModule {
public:
    TOrdersModule(TComponent* owner, std::string* log) : TDataModule(owner), log_(log) {
        auto* outer = new TLoadLogged(this, log);
        auto* inner = new TLoadLogged(outer, log);
        outer->SetName("Outer");
        inner->SetName("Inner");
        inner->SetTag(2);
        outer->SetTag(1);
        EXPECT_TRUE(inner->ComponentState().Contains(TComponentStateItem::csLoading));
        OnCreate = [this](TObject*) {
            *log_ += "create;";
            new TLoadLogged(this, log_);   // made after loading: never loading, never Loaded
        };
        OnDestroy = [this](TObject*) { *log_ += "destroy with " + std::to_string(ComponentCount()) + ";"; };
    }
    void Loaded() override { *log_ += "loaded module;"; }

private:
    std::string* log_;
};
}  // namespace

TEST(DataModule, LoadedRunsInnermostFirstOnceThenOnCreate) {
    std::string log;
    auto* module = NewDataModule<TOrdersModule>(nullptr, &log);
    EXPECT_EQ(log, "loaded Inner=2;loaded Outer=1;loaded module;create;");
    EXPECT_FALSE(module->ComponentState().Contains(TComponentStateItem::csLoading));
    module->AfterConstruction();
    module->EndLoading();
    EXPECT_EQ(log, "loaded Inner=2;loaded Outer=1;loaded module;create;");
    log.clear();
    module->Free();
    EXPECT_EQ(log, "destroy with 2;");
}

TEST(DataModule, CreatedByClassNameIsCreatedAndRecognisedByClass) {
    RegisterClass(TDataModule::StaticClass());
    std::unique_ptr<TComponent> owner = std::make_unique<TComponent>(nullptr);
    TComponent* made = CreateComponentByClassName("tdatamodule", owner.get());
    auto* module = dynamic_cast<TDataModule*>(made);
    ASSERT_NE(module, nullptr);
    EXPECT_EQ(module->Owner(), owner.get());
    EXPECT_FALSE(module->ComponentState().Contains(TComponentStateItem::csLoading));
    // A component created on it now is an ordinary, finished component.
    auto* later = new TComponent(module);
    EXPECT_FALSE(later->ComponentState().Contains(TComponentStateItem::csLoading));
}

TEST(Component, PlainComponentsNeverLoad) {
    std::string log;
    TComponent owner(nullptr);
    auto* c = new TLoadLogged(&owner, &log);
    EXPECT_FALSE(c->ComponentState().Contains(TComponentStateItem::csLoading));
    owner.EndLoading();
    EXPECT_EQ(log, "");
}
