#include "src/language/TranslatorU.h"

#include <gtest/gtest.h>

namespace {

TEST(Translator, ConvertsBothWays) {
    const TTranslator translator;
    EXPECT_EQ(translator.GBtoBIG5("费用调整单"), "費用調整單");
    EXPECT_EQ(translator.BIG5toGB("費用調整單"), "费用调整单");
    EXPECT_EQ(translator.GBtoBIG5(""), "");
}

TEST(Translator, MissingConfigurationIsTheLoadLibraryError) {
    try {
        TTranslator translator("/nonexistent/s2tw.json", "/usr/share/opencc/tw2s.json");
        FAIL() << "no error";
    } catch (const ETranslatorError& e) {
        EXPECT_EQ(e.Message(), "Load Library /nonexistent/s2tw.json Error!");
    }
}

}  // namespace
