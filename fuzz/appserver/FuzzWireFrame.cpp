// Feeds arbitrary bytes to the frame decoder the daemon runs on every frame:
// it must either decode or raise EProtocolError, never crash or over-allocate,
// and whatever it decodes must encode again to the same frame.
#include <cstdint>
#include <cstring>
#include <string>

#include "services/appserver/WireProtocol.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size >= 4) {
        try {
            FrameLength(data, 1u << 20);
        } catch (const EProtocolError&) {
        }
    }
    const std::string_view body(reinterpret_cast<const char*>(data), size);
    try {
        const TFrame frame = DecodeFrameBody(body);
        const std::string again = EncodeFrame(frame.Kind, frame.Values);
        if (again.substr(4) != body) __builtin_trap();
    } catch (const EProtocolError&) {
    }
    return 0;
}
