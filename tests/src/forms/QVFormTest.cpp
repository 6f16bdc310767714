#include "src/forms/QVForm.h"

#include <gtest/gtest.h>

#include "src/language/CodeConverter.h"
#include "src/language/LanguageController.h"
#include "tests/src/language/LanguageTestSupport.h"
#include "tests/support/vcl/TestForm.h"

namespace {

// The two language components are found by their names, as window definitions and
// language files name them, and the converter carries the client's settings.
TEST(QVForm, OwnsItsConverterAndLanguageController) {
    TempDir dir;
    RegistryScope registry(dir, {{"ClientPath", dir / "client"}, {"SysCodePage", "936"}});
    dir.Write("client/VelmoraC.ini", "[CodePage]\nUICodePage=950\n");
    TFormPtr<TQVForm> form(NewForm<TQVForm>(nullptr));
    auto* converter = dynamic_cast<TCodeConverter*>(form->FindComponent("QvConverter"));
    auto* controller = dynamic_cast<TQvLangController*>(form->FindComponent("LangController"));
    ASSERT_NE(converter, nullptr);
    ASSERT_NE(controller, nullptr);
    EXPECT_EQ(form->QvConverter(), converter);
    EXPECT_EQ(form->LangController(), controller);
    EXPECT_EQ(converter->DesignType(), TDesignType::dtClient);
    EXPECT_EQ(converter->UIConvertMode(), 2);
    EXPECT_FALSE(controller->Active());
    EXPECT_EQ(controller->DesignType(), TDesignType::dtClient);
}

}  // namespace
