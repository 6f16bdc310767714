#pragma once
// Simplified/Traditional Chinese script conversion of UTF-8 texts over OpenCC.
//
// A converter is made from an OpenCC configuration file and then reused: making one
// loads its dictionaries (tens of milliseconds). `Shared` hands out one converter per
// configuration for the whole process.
#include <memory>
#include <string>
#include <string_view>

#include "platform/core/Exception.h"

VELMORA_DECLARE_EXCEPTION(EScriptConverterError, Exception);

// Absolute paths of the Taiwan-standard configurations (character conversion, no
// vocabulary rewriting).
extern const char* const SimplifiedToTraditionalConfig;   // s2tw
extern const char* const TraditionalToSimplifiedConfig;   // tw2s

class TScriptConverter {
public:
    // Loads the configuration. A missing or unreadable configuration raises
    // EScriptConverterError naming the file.
    explicit TScriptConverter(const std::string& configFile);
    ~TScriptConverter();
    TScriptConverter(const TScriptConverter&) = delete;
    TScriptConverter& operator=(const TScriptConverter&) = delete;

    // The converted text. Bytes that are not valid UTF-8 are copied unchanged and the
    // valid runs between them are converted. Thread-safe.
    std::string Convert(std::string_view utf8) const;

    // One converter per configuration file, made on first use and kept for the life
    // of the process. Raises as the constructor does (and tries again next time).
    static std::shared_ptr<const TScriptConverter> Shared(const std::string& configFile);

private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
};
