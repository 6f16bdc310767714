#pragma once
// `TTranslator`: the conversion library of the code-page converter. It converts whole
// UTF-8 texts between Simplified script ("GB") and Traditional script ("Big5") with
// the Taiwan-standard OpenCC configurations.
#include <memory>
#include <string>
#include <string_view>

#include "platform/core/Exception.h"

class TScriptConverter;

VELMORA_DECLARE_EXCEPTION(ETranslatorError, Exception);

class TTranslator {
public:
    // Loads both conversions (shared by every translator of the process). A
    // configuration that cannot be loaded raises ETranslatorError
    // "Load Library <file> Error!", and no translator is made.
    TTranslator();
    // The same with other configuration files (absolute paths).
    TTranslator(const std::string& gbToBig5Config, const std::string& big5ToGBConfig);
    ~TTranslator();
    TTranslator(const TTranslator&) = delete;
    TTranslator& operator=(const TTranslator&) = delete;

    // Simplified to Traditional script. Invalid UTF-8 bytes pass through unchanged.
    std::string GBtoBIG5(std::string_view text) const;
    // Traditional to Simplified script.
    std::string BIG5toGB(std::string_view text) const;

private:
    std::shared_ptr<const TScriptConverter> toBig5_;
    std::shared_ptr<const TScriptConverter> toGB_;
};
