#include "src/forms/RadicalCF.h"

#include "platform/core/Paths.h"
#include "platform/core/Strings.h"
#include "src/language/CodeConverter.h"

const TClassInfo& TfrmRadical::StaticClass() {
    static const TClassInfo info("TfrmRadical", &TQVForm::StaticClass(),
                                 [](TComponent* owner) -> TComponent* { return NewForm<TfrmRadical>(owner); });
    return info;
}

std::bitset<64> TfrmRadical::InitialRights() {
    std::bitset<64> rights;
    for (int i = 0; i <= 14; ++i) rights.set(static_cast<size_t>(i));
    for (int i = 22; i <= 59; ++i) rights.set(static_cast<size_t>(i));
    return rights;
}

TfrmRadical::TfrmRadical(TComponent* owner) : TQVForm(owner), Rights(InitialRights()), brokers_(new TBrokers(this)) {
    SetBounds(0, 0, 334, 152);
}

TfrmRadical::~TfrmRadical() = default;

namespace {
std::string FileNameOf(const std::string& path) {
    const size_t slash = path.find_last_of("/\\");
    return slash == std::string::npos ? path : path.substr(slash + 1);
}
}  // namespace

bool TfrmRadical::IsHosted() {
    if (!modulePath_.empty()) {
        const std::string name = FileNameOf(modulePath_);
        const size_t dot = name.rfind('.');
        return dot == std::string::npos || !SameText(name.substr(dot), ".exe");
    }
    const std::string exe = FileNameOf(ExePath());
    if (UpperCase(exe).find("KESTRIN") != std::string::npos) return true;
    modulePath_ = exe;
    return false;
}

std::string TfrmRadical::ProgramId() const {
    const std::string name = FileNameOf(modulePath_);
    size_t end = name.find('.');
    if (end == std::string::npos) end = name.size();
    while (end > 0 && !(name[end - 1] >= '0' && name[end - 1] <= '9')) --end;
    return UpperCase(name.substr(0, end));
}

bool TfrmRadical::OpenProgram(const Variant& params) {
    Hide();
    if (!IsHosted()) {
        HostContext = Variant::CreateArray({VarBounds{0, 0}, VarBounds{0, 0}});
    } else if (params.IsArray() && params.HighBound() >= 4) {
        HostContext = params[4];
    }
    brokers_->UserID = params[0].AsString();
    brokers_->CompanyID = params[1].AsString();
    brokers_->DatabaseName = params[2].AsString();
    brokers_->ProgramID = UpperCase(ProgramId());
    HostWindow = static_cast<intptr_t>(params[3].AsInteger());
    const std::string printProgram = Trim(brokers_->PrintProgram);
    if (!printProgram.empty()) ReportSection = printProgram;
    return true;
}

void TfrmRadical::ApplyCommandFlags() {}

bool TfrmRadical::HasRight(int element) const {
    return element >= 0 && element < static_cast<int>(Rights.size()) && Rights.test(static_cast<size_t>(element));
}

std::string TfrmRadical::UICodePage() const { return QvConverter()->UICodePage(); }

std::string TfrmRadical::SysCodePage() const { return QvConverter()->SysCodePage(); }

uint8_t TfrmRadical::UIConvertMode() const { return QvConverter()->UIConvertMode(); }

std::string TfrmRadical::ProgramTextToUI(const std::string& text) const {
    return QvConverter()->ProgramToUI(Variant(text)).AsString();
}
