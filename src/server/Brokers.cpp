#include "src/server/Brokers.h"

const TClassInfo& TBrokers::StaticClass() {
    static const TClassInfo info("TBrokers", &TComponent::StaticClass(),
                                 [](TComponent* owner) -> TComponent* { return new TBrokers(owner); });
    return info;
}

TBrokers::TBrokers(TComponent* owner) : TComponent(owner) {}

TBrokers::~TBrokers() = default;

std::string TBrokers::GetSysParam(const std::string& name) const {
    if (name.empty()) return {};
    return SysParams.Values(name);
}

void TBrokers::SetSysParam(const std::string& name, const std::string& value) {
    if (name.empty()) return;
    SysParams.SetValues(name, value);
}
