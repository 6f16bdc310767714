#include "platform/text/ScriptConverter.h"

#include <gtest/gtest.h>

namespace {

TEST(ScriptConverter, ConvertsBothDirections) {
    const auto toTraditional = TScriptConverter::Shared(SimplifiedToTraditionalConfig);
    const auto toSimplified = TScriptConverter::Shared(TraditionalToSimplifiedConfig);
    EXPECT_EQ(toTraditional->Convert("设置分录性质-费用调整单"), "設置分錄性質-費用調整單");
    EXPECT_EQ(toSimplified->Convert("設置分錄性質"), "设置分录性质");
    EXPECT_EQ(toTraditional->Convert(""), "");
    EXPECT_EQ(toTraditional->Convert("MB001"), "MB001");
}

TEST(ScriptConverter, SharedConverterIsMadeOnce) {
    EXPECT_EQ(TScriptConverter::Shared(SimplifiedToTraditionalConfig),
              TScriptConverter::Shared(SimplifiedToTraditionalConfig));
}

TEST(ScriptConverter, InvalidBytesPassThroughAndTheRestConverts) {
    const auto toTraditional = TScriptConverter::Shared(SimplifiedToTraditionalConfig);
    EXPECT_EQ(toTraditional->Convert("\xB0\x80" "设置\xFF" "费用"), "\xB0\x80" "設置\xFF" "費用");
    EXPECT_EQ(toTraditional->Convert(std::string("设\0置", 5)), std::string("設\0置", 5));
}

TEST(ScriptConverter, MissingConfigurationRaisesNamingTheFile) {
    try {
        TScriptConverter converter("/nonexistent/s2tw.json");
        FAIL() << "no error";
    } catch (const EScriptConverterError& e) {
        EXPECT_NE(e.Message().find("/nonexistent/s2tw.json"), std::string::npos);
    }
    EXPECT_THROW(TScriptConverter::Shared("/nonexistent/x.json"), EScriptConverterError);
}

}  // namespace
