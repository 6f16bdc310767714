#pragma once
// Stand-ins for the work center and its services that record every call and
// answer as the test says, so that each failure can be forced; and a window
// whose code-page settings, lookup state and rights the test sets.
#include <bitset>
#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "platform/core/Automation.h"
#include "platform/vcl/Form.h"
#include "src/server/Brokers.h"

struct TFakeCall {
    std::string Member;
    OleArgs Args;   // as the caller sent them
};

class TFakeService : public AutoObject {
public:
    explicit TFakeService(std::string name) : AutoObject(std::move(name)) {}

    // Answers `member` with `fn`; the call is recorded before `fn` runs.
    void On(const std::string& member, std::function<Variant(OleArgs&)> fn) {
        Method(member, [this, member, fn = std::move(fn)](OleArgs& args) {
            Calls.push_back({member, args});
            return fn(args);
        });
    }
    // A property whose assignments are recorded as calls of "set <name>".
    void OnSet(const std::string& name, std::function<void(const Variant&)> fn) {
        Property(
            name, [](OleArgs&) { return Variant(); },
            [this, name, fn = std::move(fn)](OleArgs&, const Variant& value) {
                Calls.push_back({"set " + name, {value}});
                fn(value);
            });
    }
    int Count(const std::string& member) const {
        int n = 0;
        for (const auto& c : Calls) n += c.Member == member;
        return n;
    }
    // The arguments of the last call of `member` (empty when there was none).
    OleArgs Last(const std::string& member) const {
        for (auto it = Calls.rbegin(); it != Calls.rend(); ++it)
            if (it->Member == member) return it->Args;
        return {};
    }
    Variant AsVariant() { return Variant(std::static_pointer_cast<IDispatch>(shared_from_this())); }

    std::vector<TFakeCall> Calls;
};

// A program window as the broker sees it.
class TTestWindow : public TForm, public IBrokersOwner {
public:
    using TForm::TForm;

    std::string UICodePage() const override { return UICode; }
    std::string SysCodePage() const override { return SysCode; }
    uint8_t UIConvertMode() const override { return ConvertMode; }
    std::string ProgramTextToUI(const std::string& text) const override { return "<ui>" + text; }
    std::string WindowCaption() const override { return Caption(); }
    intptr_t WindowHandle() const override { return Handle(); }
    uint8_t LookupState() const override { return State; }
    void SetLookupParams(const Variant& params) override { Params = params; }
    const Variant& LookupReturn() const override { return Return; }
    bool HasRight(int element) const override { return Rights.test(static_cast<size_t>(element)); }
    void AfterMessage() override { ++AfterMessages; }

    std::string UICode = "936";
    std::string SysCode = "936";
    uint8_t ConvertMode = 0;
    uint8_t State = 0;
    Variant Params;
    Variant Return;
    std::bitset<64> Rights;
    int AfterMessages = 0;
};
