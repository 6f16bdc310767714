#include "src/language/TranslatorU.h"

#include "platform/text/ScriptConverter.h"

namespace {
std::shared_ptr<const TScriptConverter> Load(const std::string& config) {
    try {
        return TScriptConverter::Shared(config);
    } catch (const EScriptConverterError&) {
        throw ETranslatorError("Load Library " + config + " Error!");
    }
}
}  // namespace

TTranslator::TTranslator() : TTranslator(SimplifiedToTraditionalConfig, TraditionalToSimplifiedConfig) {}

TTranslator::TTranslator(const std::string& gbToBig5Config, const std::string& big5ToGBConfig)
    : toBig5_(Load(gbToBig5Config)), toGB_(Load(big5ToGBConfig)) {}

TTranslator::~TTranslator() = default;

std::string TTranslator::GBtoBIG5(std::string_view text) const { return toBig5_->Convert(text); }

std::string TTranslator::BIG5toGB(std::string_view text) const { return toGB_->Convert(text); }
