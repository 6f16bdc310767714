// Feeds arbitrary language documents to the controller and applies them to a small
// component tree: a malformed document may raise LanguageControllerError, nothing else.
#include <cstddef>
#include <cstdint>
#include <string>

#include "platform/classes/Component.h"
#include "src/language/LanguageController.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    TComponent form(nullptr);
    form.SetName("frmTest");
    TComponent* child = new TComponent(&form);
    child->SetName("lblTitle");
    TLanguageController controller(&form);
    controller.SetName("LangController");
    controller.XMLText()->SetText(text);
    try {
        controller.SetActive(true);
        controller.Reader()->ReadComponent(&form);
    } catch (const LanguageControllerError&) {
    }
    return 0;
}
