#include "platform/core/Registry.h"

#include <cstdlib>

#include "platform/core/IniFile.h"
#include "platform/core/Paths.h"

namespace {
std::string EnvValue(const char* name) {
    const char* v = std::getenv(name);
    return v ? std::string(v) : std::string();
}
}  // namespace

std::string RegistryFileName() {
    if (std::string path = EnvValue("VELMORA_REGISTRY"); !path.empty()) return path;
    if (std::string config = EnvValue("XDG_CONFIG_HOME"); !config.empty())
        return JoinPath(config, "velmora/registry.ini");
    return JoinPath(EnvValue("HOME"), ".config/velmora/registry.ini");
}

struct TRegistry::Data {
    std::unique_ptr<TIniFile> File;
    std::string Key;
};

TRegistry::TRegistry() : d_(std::make_unique<Data>()) {}
TRegistry::~TRegistry() = default;

bool TRegistry::OpenKeyReadOnly(std::string_view key) {
    CloseKey();
    auto file = std::make_unique<TIniFile>(RegistryFileName());
    if (!file->SectionExists(key)) return false;
    d_->File = std::move(file);
    d_->Key = std::string(key);
    return true;
}

void TRegistry::CloseKey() {
    d_->File.reset();
    d_->Key.clear();
}

bool TRegistry::ValueExists(std::string_view name) const {
    return d_->File && d_->File->ValueExists(d_->Key, name);
}

std::string TRegistry::ReadString(std::string_view name) const {
    return d_->File ? d_->File->ReadString(d_->Key, name, "") : std::string();
}

std::optional<std::string> VelmoraRegistryValue(std::string_view name) {
    TRegistry reg;
    if (!reg.OpenKeyReadOnly(VelmoraRegistryKey) || !reg.ValueExists(name)) return std::nullopt;
    return reg.ReadString(name);
}
