// Feeds arbitrary "Language" table files and texts to the table converter: parsing
// may raise EConvertError, nothing else; conversions never crash and invalid bytes
// pass through.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "platform/core/Exception.h"
#include "src/language/LangCommon.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view input(reinterpret_cast<const char*>(data), size);
    // The first NUL byte splits the table from the text to convert.
    const size_t split = input.find('\0');
    const std::string_view tableText = input.substr(0, split);
    const std::string_view text = split == std::string_view::npos ? input : input.substr(split + 1);
    TLanguageTable table;
    try {
        table = TLanguageTable::Parse(tableText);
    } catch (const EConvertError&) {
    }
    table.GBToBig5(text);
    table.Big5ToGB(text);
    return 0;
}
