// Generates the "Language" table file of the table converter from the code-page
// codecs and the script conversion. The installation ships its output.
#include <cstdio>
#include <fstream>

#include "src/language/LangCommon.h"

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s <output file>\n", argv[0]);
        return 2;
    }
    try {
        const std::string text = MakeLanguageTable().ToText();
        std::ofstream out(argv[1], std::ios::binary | std::ios::trunc);
        out.write(text.data(), static_cast<std::streamsize>(text.size()));
        out.close();
        if (!out) {
            std::fprintf(stderr, "cannot write %s\n", argv[1]);
            return 1;
        }
    } catch (const std::exception& e) {
        std::fprintf(stderr, "%s\n", e.what());
        return 1;
    }
    return 0;
}
