#pragma once
// The registry store: the read-only values the suite keeps under
// "Software\QVN\Velmora" ("ClientPath", "ServerPath", "ProfileType", "UseKBIG5",
// "SysCodePage"), held in a profile file whose sections are key paths:
//
//   [Software\QVN\Velmora]
//   ClientPath=/opt/velmora/client
//
// The file is the one named by $VELMORA_REGISTRY, else
// $XDG_CONFIG_HOME/velmora/registry.ini, else ~/.config/velmora/registry.ini.
// A key opens when the file holds its section; a missing file is a key that
// cannot be opened; a missing value reads as missing (empty).
#include <memory>
#include <optional>
#include <string>
#include <string_view>

// The key every configuration reader opens.
inline constexpr std::string_view VelmoraRegistryKey = "Software\\QVN\\Velmora";

// The registry file's path by the lookup order above (an empty variable counts
// as unset). The file need not exist.
std::string RegistryFileName();

// Read-only access to one key of the store. The file is read by OpenKeyReadOnly.
class TRegistry {
public:
    TRegistry();
    ~TRegistry();
    TRegistry(const TRegistry&) = delete;
    TRegistry& operator=(const TRegistry&) = delete;

    // True when the store holds the key (compared without regard to case).
    bool OpenKeyReadOnly(std::string_view key);
    void CloseKey();
    // Of the open key; false / empty when no key is open or the value is missing.
    bool ValueExists(std::string_view name) const;
    std::string ReadString(std::string_view name) const;

private:
    struct Data;
    std::unique_ptr<Data> d_;
};

// A value of "Software\QVN\Velmora"; nothing when the key or the value is missing.
std::optional<std::string> VelmoraRegistryValue(std::string_view name);
