#include "platform/text/ScriptConverter.h"

#include <opencc.h>

#include <map>
#include <mutex>

#include "platform/core/Strings.h"

const char* const SimplifiedToTraditionalConfig = "/usr/share/opencc/s2tw.json";
const char* const TraditionalToSimplifiedConfig = "/usr/share/opencc/tw2s.json";

struct TScriptConverter::Impl {
    opencc_t handle = reinterpret_cast<opencc_t>(-1);
};

TScriptConverter::TScriptConverter(const std::string& configFile) : impl_(std::make_unique<Impl>()) {
    // A bare name would be looked up in the working directory first; only absolute
    // paths name exactly one file.
    impl_->handle = opencc_open(configFile.c_str());
    if (impl_->handle == reinterpret_cast<opencc_t>(-1)) {
        const char* reason = opencc_error();
        throw EScriptConverterError("Cannot load conversion configuration " + configFile +
                                    (reason && *reason ? std::string(": ") + reason : std::string()));
    }
}

TScriptConverter::~TScriptConverter() {
    if (impl_->handle != reinterpret_cast<opencc_t>(-1)) opencc_close(impl_->handle);
}

std::string TScriptConverter::Convert(std::string_view utf8) const {
    std::string out;
    out.reserve(utf8.size());
    auto convertRun = [&](std::string_view run) {
        if (run.empty()) return;
        char* converted = opencc_convert_utf8(impl_->handle, run.data(), run.size());
        if (!converted) {   // the library refused the text: keep it as it was
            out.append(run);
            return;
        }
        out.append(converted);
        opencc_convert_utf8_free(converted);
    };
    if (IsValidUtf8(utf8) && utf8.find('\0') == std::string_view::npos) {
        convertRun(utf8);
        return out;
    }
    // The library needs valid UTF-8 without NULs: convert the valid runs between.
    size_t start = 0, i = 0;
    while (i < utf8.size()) {
        const size_t len = Utf8CharLen(utf8, i);
        const bool valid = utf8[i] != '\0' && (len > 1 ? IsValidUtf8(utf8.substr(i, len))
                                                       : static_cast<unsigned char>(utf8[i]) < 0x80);
        if (!valid) {
            convertRun(utf8.substr(start, i - start));
            out += utf8[i];
            start = i + 1;
            i += 1;
        } else {
            i += len;
        }
    }
    convertRun(utf8.substr(start));
    return out;
}

std::shared_ptr<const TScriptConverter> TScriptConverter::Shared(const std::string& configFile) {
    static std::mutex mutex;
    static std::map<std::string, std::shared_ptr<const TScriptConverter>> converters;
    std::lock_guard lock(mutex);
    auto& slot = converters[configFile];
    if (!slot) slot = std::make_shared<const TScriptConverter>(configFile);
    return slot;
}
