#include "src/server/Brokers.h"

#include <memory>

#include "platform/core/Automation.h"
#include "platform/core/Strings.h"
#include "platform/db/DataSet.h"
#include "platform/db/Field.h"
#include "platform/vcl/Application.h"
#include "platform/vcl/Button.h"
#include "src/language/LangCommon.h"
#include "src/lib/LibStrs.h"
#include "src/lib/LibSys.h"

const TClassInfo& TBrokers::StaticClass() {
    static const TClassInfo info("TBrokers", &TComponent::StaticClass(),
                                 [](TComponent* owner) -> TComponent* { return new TBrokers(owner); });
    return info;
}

namespace {

// The integer that tells the lookup window which product is installed; the
// work center's lookup window accepts any value here.
constexpr int kInstalledProduct = 0;

// A window that converts nothing and has no lookup in progress: what a broker
// without a program window reads.
class TPlainOwner final : public IBrokersOwner {
public:
    std::string UICodePage() const override { return "936"; }
    std::string SysCodePage() const override { return "936"; }
    uint8_t UIConvertMode() const override { return 0; }
    std::string ProgramTextToUI(const std::string& text) const override { return text; }
    std::string WindowCaption() const override { return {}; }
    intptr_t WindowHandle() const override { return 0; }
    uint8_t LookupState() const override { return 0; }
    void SetLookupParams(const Variant&) override {}
    const Variant& LookupReturn() const override {
        static const Variant none;
        return none;
    }
    bool HasRight(int) const override { return false; }
    void AfterMessage() override {}
};

// Element i (counted from the low bound) of a one-dimensional array, or
// unassigned when the array has none.
Variant ElementOr(const Variant& array, int i) {
    if (!array.IsArray() || array.DimCount() != 1 || i >= array.Count()) return {};
    return array[array.LowBound() + i];
}

bool IsNonEmptyArray(const Variant& v) { return v.IsArray() && !v.Elements().empty(); }

// Fills "%s" (and "%d") placeholders in order with the arguments' texts; "%%"
// is a percent sign. A placeholder without an argument is left empty, so that a
// message table text with more placeholders than its caller's arguments still
// shows.
std::string FormatMessage(const std::string& text, const std::vector<Variant>& args) {
    std::string out;
    out.reserve(text.size() + 32);
    size_t next = 0;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '%' && i + 1 < text.size()) {
            const char c = text[i + 1];
            if (c == '%') {
                out += '%';
                ++i;
                continue;
            }
            if (c == 's' || c == 'S' || c == 'd' || c == 'D') {
                if (next < args.size()) out += args[next].AsString();
                ++next;
                ++i;
                continue;
            }
        }
        out += text[i];
    }
    return out;
}

// The single quotes of an SQL text literal, embedded quotes doubled.
std::string QuotedSql(const std::string& text) { return "'" + ReplaceAll(text, "'", "''", false) + "'"; }


// The failure texts of ExecWork for the codes -1 to -7.
const char* ExecWorkErrorText(int code) {
    static const char* const texts[] = {
        "[%s]作业程序文档不存在!",           "[%s]作业程序文档装入失败!",
        "[%s]作业程序启动时无法录入公用元件!", "[%s]作业程序启动时取作业权限错误!",
        "[%s]作业程序无运行作业权限!",       "[%s]作业程序起始化错误!",
        "[%s]作业程序发生不可预知的错误!",
    };
    return code >= -7 && code <= -1 ? texts[-code - 1] : "";
}

}  // namespace

TBrokers::TBrokers(TComponent* owner) : TComponent(owner) {}

TBrokers::~TBrokers() = default;

IBrokersOwner& TBrokers::Window() const {
    if (auto* window = dynamic_cast<IBrokersOwner*>(Owner())) return *window;
    static TPlainOwner plain;
    return plain;
}

std::string TBrokers::MessageTextToUI(const std::string& text) const {
    return Window().UIConvertMode() == 2 ? GBTextToBig5Utf8(text) : text;
}

// ---- session and parameters ----

std::string TBrokers::GetSysParam(const std::string& name) const {
    if (name.empty()) return {};
    return SysParams.Values(name);
}

void TBrokers::SetSysParam(const std::string& name, const std::string& value) {
    if (name.empty()) return;
    SysParams.SetValues(name, value);
}

int TBrokers::GetMaxRecord() const {
    int64_t value = 0;
    try {
        value = Variant(ServerData.Values("MAX_RECORD")).AsInteger();
    } catch (const EConvertError&) {
        return 0;
    }
    // More than 40 records per packet would make every fetch slow for the others.
    return value > 40 ? 40 : static_cast<int>(value);
}

// ---- attaching ----

bool TBrokers::ConnectServices() {
    if (!WorkCenter.IsDispatch()) return false;
    try {
        if ((ServiceMask & 1) && !Validator.IsDispatch()) Validator = WorkCenter.Get("Com_Validator");
        if ((ServiceMask & 2) && !Pikvalo.IsDispatch()) Pikvalo = WorkCenter.Get("Com_Pikvalo");
        if ((ServiceMask & 4) && !Counter.IsDispatch()) Counter = WorkCenter.Get("Com_Counter");
        LoadProgramInfo();
        return true;
    } catch (const std::exception&) {
        for (int i = 0; i < 3; ++i) Beep();
        return false;
    }
}

void TBrokers::LoadProgramInfo() {
    ProgramName.clear();
    Variant record;
    if (!CheckValue("ADMMB", "06", Variant::ArrayOf({ProgramID, DatabaseName}), record) || !IsNonEmptyArray(record))
        return;
    ProgramName = ElementOr(record, 0).AsString();
    PrintProgram = ElementOr(record, 1).AsString();
    ProgramFlag = ElementOr(record, 7).AsString() == "Y";
    if (record.Count() > 9 && Window().UICodePage() == "437") ProgramName = ElementOr(record, 9).AsString();
}

bool TBrokers::LoadSysParams() {
    if (!Counter.IsDispatch()) return false;
    Variant company = CompanyID;
    const Variant pairs = Counter.Call("GetSysInfo", ByRef(company));
    // Row 0 holds the names, row 1 the values.
    if (pairs.DimCount() != 2 || pairs.Elements().empty() || pairs.LowBound(1) > 0 || pairs.HighBound(1) < 1)
        return false;
    for (int i = pairs.LowBound(2); i <= pairs.HighBound(2); ++i)
        SetSysParam(pairs.At(0, i).AsString(), pairs.At(1, i).AsString());
    return true;
}

// ---- service calls ----

std::string TBrokers::GetMessageText(const std::string& kind, const std::string& code) {
    if (!WorkCenter.IsDispatch()) return {};
    return WorkCenter.Call("GetMessage", Variant(kind), Variant(code)).AsString();
}

void TBrokers::SetValidatorBaseLimited() {
    try {
        Validator.Set("BaseLimited", Variant(ServerData.Values("BaseLimited")));
    } catch (const std::exception&) {
        // A validator without basic-data rights still answers the lookup itself.
    }
}

bool TBrokers::CallValidator(const char* member, const std::string& table, const std::string& kind,
                             const Variant& values, Variant& result) {
    if (!Validator.IsDispatch()) return false;
    SetValidatorBaseLimited();
    try {
        Variant database = DatabaseName;
        Variant valuesArg = values;
        return Validator.Call(member, Variant(table), Variant(kind), ByRef(database), ByRef(valuesArg), ByRef(result))
            .AsBoolean();
    } catch (const std::exception&) {
        return false;
    }
}

bool TBrokers::CheckValue(const std::string& table, const std::string& kind, const Variant& values, Variant& result) {
    return CallValidator("CheckValue", table, kind, values, result);
}

bool TBrokers::QueryData(const std::string& table, const std::string& kind, const Variant& values, Variant& result) {
    return CallValidator("QueryData", table, kind, values, result);
}

void TBrokers::QueryMaxSeq(const TDataSet& dataset, const std::string& table, std::string& number,
                           const std::string& dateText, const std::string& keyFields) {
    number = "unKnow";
    if (!Validator.IsDispatch()) return;
    SetValidatorBaseLimited();
    try {
        // The last key field is the one being numbered; the others fix the group.
        const std::vector<std::string> names = SplitString(keyFields, ',');
        Variant keyValues = Variant::CreateArray({VarBounds{0, static_cast<int>(names.size()) - 2}});
        for (size_t i = 0; i + 1 < names.size(); ++i)
            keyValues[static_cast<int>(i)] = dataset.FieldByName(names[i])->Value();
        Variant tableArg = table, keyFieldsArg = keyFields, dateArg = dateText, programArg = ProgramID,
                databaseArg = DatabaseName, answer = std::string();
        if (Validator.Call("QueryMaxSeq", ByRef(tableArg), ByRef(keyFieldsArg), ByRef(keyValues), ByRef(dateArg),
                           ByRef(programArg), ByRef(databaseArg), ByRef(answer))
                .AsBoolean())
            number = answer.AsString();
    } catch (const std::exception&) {
        number = "unKnow";
    }
}

Variant TBrokers::CallCounter(const std::string& functionName, const Variant& parameters) {
    if (!Counter.IsDispatch()) return {};
    Variant name = functionName;
    Variant params = parameters;
    return Counter.Call("GETCOUNTER", ByRef(name), ByRef(params), Variant::ArrayOf({CompanyID, DatabaseName}));
}

Variant TBrokers::OpenPikvalo(const std::string& table, const std::string& kind, const Variant& values,
                              const std::string& currentText, bool firstFlag, bool secondFlag, intptr_t windowHandle,
                              const std::string& linkText1, const std::string& linkText2,
                              const std::string& linkText3) {
    IBrokersOwner& window = Window();
    const std::string baseLimited = ServerData.Values("BaseLimited");
    switch (window.LookupState()) {
        case 1: {
            // Another control asks how this lookup would open; it opens the
            // lookup window itself with these parameters.
            const bool linked = !linkText3.empty();
            window.SetLookupParams(Variant::ArrayOf({
                Variant(table), Variant(kind), values, Variant(1), Variant(currentText), Variant(DatabaseName),
                Variant(kInstalledProduct), Variant(linked ? linkText3 : std::string()),
                Variant(linked ? linkText2 : std::string()), Variant(linked ? linkText1 : std::string()),
                Variant(baseLimited), Variant(std::string()), Variant(std::string()), Variant("9"),
            }));
            return {};
        }
        case 2:
            return window.LookupReturn();
        default:
            break;
    }
    if (!Pikvalo.IsDispatch()) return {};
    Variant request = Variant::ArrayOf({
        Variant(table), Variant(kind), values, Variant(secondFlag), Variant(currentText), Variant(CompanyID),
        Variant(DatabaseName), Variant(windowHandle != 0 ? windowHandle : window.WindowHandle()), Variant(1),
        Variant(firstFlag), Variant(kInstalledProduct), Variant(linkText3), Variant(linkText2), Variant(linkText1),
        Variant(baseLimited), Variant(window.HasRight(33) || window.HasRight(35)),
        Variant(window.HasRight(32) || window.HasRight(34)), WorkCenter, Variant(UserID),
    });
    return Pikvalo.Call("F2GetData", ByRef(request));
}

std::string TBrokers::GetPhrase(const std::string& text) {
    if (!Pikvalo.IsDispatch()) return {};
    Variant phrase = text;
    const int64_t answer = Pikvalo
                               .Call("GetPhrase2", Variant(UserID), Variant(CompanyID),
                                     Variant(Window().WindowHandle()), ByRef(phrase))
                               .AsInteger();
    return answer < 0 ? std::string() : phrase.AsString();
}

void TBrokers::ShowCharaters(int number, bool flag, Variant& result, intptr_t windowHandle,
                             const std::string& company, const std::string& user) {
    if (!Pikvalo.IsDispatch()) return;
    Variant userArg = user.empty() ? UserID : user;
    Variant companyArg = company.empty() ? CompanyID : company;
    Variant numberArg = number;
    Variant handleArg = std::to_string(windowHandle != 0 ? windowHandle : Window().WindowHandle());
    result = Pikvalo.Call("ShowCharaters", ByRef(userArg), ByRef(companyArg), ByRef(numberArg), Variant(flag),
                          ByRef(handleArg));
}

std::string TBrokers::GetCalcValue(const std::string& expression) {
    if (!Pikvalo.IsDispatch()) return {};
    Variant value = expression;
    try {
        Pikvalo.Call("GetCalcValue", ByRef(value), Variant(Window().WindowHandle()));
    } catch (const std::exception&) {
        // Lookup windows older than the calculator do not know the member.
        ShowMessageByCode("E", "000032", {Variant(Window().ProgramTextToUI("请更新PikvaloC.dll"))});
        return {};
    }
    return value.AsString();
}

int TBrokers::ExecWork(const std::string& programId, const Variant& parameter, bool showErrors, Variant& result,
                       const Variant& options) {
    if (!WorkCenter.IsDispatch()) return -1;
    Variant session = Variant::ArrayOf({UserID, CompanyID, programId, Variant(Window().WindowHandle())});
    Variant parameterArg = parameter;
    Variant optionsArg = options.IsClear() ? Variant::ArrayOf({Variant(0), Variant(4), Variant()}) : options;
    Variant mode = 2;
    result = Variant();
    const int code = static_cast<int>(
        WorkCenter.Call("ExecWork", ByRef(session), ByRef(parameterArg), ByRef(optionsArg), ByRef(mode), ByRef(result))
            .AsInteger());
    if (code < 0 && showErrors) {
        const std::string text = FormatMessage(MessageTextToUI(ExecWorkErrorText(code)),
                                               {Variant(MessageTextToUI(GetProgramTitle(programId)))});
        ShowMessageByCode("E", "000032", {Variant(text)});
    }
    return code;
}

std::string TBrokers::GetProgramTitle(const std::string& programId) {
    std::string title = programId;
    const Variant rows = CallCounter(
        "SimpleSQL", Variant::ArrayOf({"SELECT MB002,MB011,MB012,MB013 FROM ADMMB WHERE MB001=" + QuotedSql(programId),
                                       "MB002,MB011,MB012,MB013", DatabaseName, "N"}));
    if (!IsNonEmptyArray(rows)) return title;
    const Variant row = ElementOr(rows, 0);
    if (IsNonEmptyArray(row)) title = ElementOr(row, Window().UICodePage() == "437" ? 1 : 0).AsString();
    return title;
}

// ---- messages ----

int TBrokers::ShowMessageByCode(const std::string& kind, const std::string& code, const std::vector<Variant>& args,
                                bool abortOnCancel, TMsgDlgBtn defaultButton) {
    IBrokersOwner& window = Window();
    const uint8_t convertMode = window.UIConvertMode();
    const std::string uiCodePage = window.UICodePage();

    std::string text = MessageTextToUI(GetMessageText(kind == "T" ? "E" : kind, code));
    if (uiCodePage == "950" || window.SysCodePage() == "950") text += "    ";
    text = FormatMessage(text + " ", args);
    if (kind == "T") text += "\r\n" + MessageTextToUI("是否继续?");

    using B = TMsgDlgBtn;
    TMsgDlgType type = TMsgDlgType::mtCustom;
    TMsgDlgButtons buttons{B::mbOK};
    if (kind == "T") {
        type = TMsgDlgType::mtError;
        buttons = {B::mbYes, B::mbNo, B::mbCancel, B::mbYesToAll};
    } else if (kind == "C" || kind == "W") {
        type = TMsgDlgType::mtWarning;
        buttons = {B::mbOK, B::mbCancel};
    } else if (kind == "D") {
        type = TMsgDlgType::mtWarning;
        buttons = {B::mbYes, B::mbNo, B::mbCancel};
    } else if (kind == "E") {
        type = TMsgDlgType::mtError;
    } else if (kind == "I") {
        type = TMsgDlgType::mtInformation;
    } else if (kind == "Q") {
        type = TMsgDlgType::mtConfirmation;
        buttons = {B::mbOK, B::mbCancel};
    }

    if (convertMode != 0 || SystemCodePage() != 936) text += "      ";
    TFormPtr<TForm> dialog(CreateMessageDialog(text, type, buttons));
    dialog->SetCaption(window.WindowCaption());
    const std::string defaultName = MsgDlgButtonName(defaultButton);
    for (int i = 0; i < dialog->ComponentCount(); ++i) {
        auto* button = dynamic_cast<TButton*>(dialog->Components(i));
        if (!button) continue;
        if (uiCodePage != "437") button->SetCaption(MessageTextToUI(ButtonCaption(button->Name())));
        const bool isDefault = button->Name() == defaultName;
        button->SetDefault(isDefault);
        if (isDefault) button->SetTabOrder(0);
    }
    dialog->Font()->SetName("SimSun");
    dialog->Font()->SetCharset(convertMode == 2 ? CHINESEBIG5_CHARSET : GB2312_CHARSET);

    const int answer = dialog->ShowModal();
    dialog.reset();
    if (kind == "W" && answer != mrOk && abortOnCancel) Abort();
    window.AfterMessage();
    return answer;
}
