#include "services/appserver/WireProtocol.h"

#include <cstring>

namespace {

enum Tag : uint8_t { tEmpty, tNull, tBool, tInt, tDouble, tString, tDate, tArray };
constexpr int kMaxDepth = 16;

template <typename T>
void Put(std::string& out, T v) {
    unsigned char bytes[sizeof(T)];
    std::memcpy(bytes, &v, sizeof(T));   // the machines we run on are little-endian
    out.append(reinterpret_cast<const char*>(bytes), sizeof(T));
}

template <typename T>
T Get(std::string_view data, size_t& pos) {
    if (data.size() - pos < sizeof(T)) throw EProtocolError("Truncated value");
    T v;
    std::memcpy(&v, data.data() + pos, sizeof(T));
    pos += sizeof(T);
    return v;
}

void Encode(const Variant& v, std::string& out) {
    switch (v.Type()) {
        case VarType::Empty: out += char(tEmpty); return;
        case VarType::Null: out += char(tNull); return;
        case VarType::Boolean: out += char(tBool); out += char(v.AsBoolean() ? 1 : 0); return;
        case VarType::Integer: out += char(tInt); Put<int64_t>(out, v.AsInteger()); return;
        case VarType::Double: out += char(tDouble); Put<double>(out, v.AsDouble()); return;
        case VarType::Date: out += char(tDate); Put<double>(out, v.AsDate().Value); return;
        case VarType::String: {
            const std::string& s = v.StringRef();
            out += char(tString);
            Put<uint32_t>(out, static_cast<uint32_t>(s.size()));
            out += s;
            return;
        }
        case VarType::Array: {
            out += char(tArray);
            const int dims = v.DimCount();
            out += char(dims);
            for (int d = 1; d <= dims; ++d) {
                Put<int32_t>(out, v.LowBound(d));
                Put<int32_t>(out, v.HighBound(d));
            }
            for (const Variant& e : v.Elements()) Encode(e, out);
            return;
        }
        case VarType::Dispatch: throw EProtocolError("Automation objects cannot be sent over the connection");
    }
}

Variant Decode(std::string_view data, size_t& pos, int depth) {
    if (depth > kMaxDepth) throw EProtocolError("Values nested too deeply");
    switch (Get<uint8_t>(data, pos)) {
        case tEmpty: return {};
        case tNull: return Variant::Null();
        case tBool: {
            const uint8_t b = Get<uint8_t>(data, pos);
            if (b > 1) throw EProtocolError("Invalid boolean");
            return Variant(b == 1);
        }
        case tInt: return Variant(static_cast<long long>(Get<int64_t>(data, pos)));
        case tDouble: return Variant(Get<double>(data, pos));
        case tDate: return Variant(TDateTime(Get<double>(data, pos)));
        case tString: {
            const uint32_t n = Get<uint32_t>(data, pos);
            if (data.size() - pos < n) throw EProtocolError("Truncated text");
            Variant v(std::string(data.substr(pos, n)));
            pos += n;
            return v;
        }
        case tArray: {
            const uint8_t dims = Get<uint8_t>(data, pos);
            if (dims < 1 || dims > 2) throw EProtocolError("Arrays have one or two dimensions");
            std::vector<VarBounds> bounds;
            uint64_t count = 1;
            for (int d = 0; d < dims; ++d) {
                const int32_t low = Get<int32_t>(data, pos), high = Get<int32_t>(data, pos);
                const int64_t n = static_cast<int64_t>(high) - low + 1;
                if (n < 0) throw EProtocolError("Invalid array bounds");
                bounds.push_back({low, high});
                count *= static_cast<uint64_t>(n);
            }
            // Every element takes at least one byte: a count beyond the bytes left is a lie.
            if (count > data.size() - pos) throw EProtocolError("Array larger than its frame");
            Variant array = Variant::CreateArray(bounds);
            for (Variant& e : array.MutableElements()) e = Decode(data, pos, depth + 1);
            return array;
        }
        default: throw EProtocolError("Unknown value type");
    }
}

}  // namespace

void EncodeVariant(const Variant& value, std::string& out) { Encode(value, out); }

Variant DecodeVariant(std::string_view data, size_t& pos) { return Decode(data, pos, 0); }

std::string EncodeFrame(TFrameKind kind, const std::vector<Variant>& values) {
    std::string out(4, '\0');
    out += char(kind);
    for (const Variant& v : values) Encode(v, out);
    const uint32_t length = static_cast<uint32_t>(out.size() - 4);
    std::memcpy(out.data(), &length, 4);
    return out;
}

uint32_t FrameLength(const unsigned char header[4], uint32_t maxFrame) {
    uint32_t length;
    std::memcpy(&length, header, 4);
    if (length == 0) throw EProtocolError("Empty frame");
    if (length > maxFrame) throw EProtocolError("Frame of " + std::to_string(length) + " bytes exceeds the limit");
    return length;
}

TFrame DecodeFrameBody(std::string_view body) {
    if (body.empty()) throw EProtocolError("Empty frame");
    TFrame frame;
    const uint8_t kind = static_cast<uint8_t>(body[0]);
    if (kind < uint8_t(TFrameKind::Hello) || kind > uint8_t(TFrameKind::Failure)) throw EProtocolError("Unknown frame kind");
    frame.Kind = static_cast<TFrameKind>(kind);
    size_t pos = 1;
    while (pos < body.size()) frame.Values.push_back(Decode(body, pos, 0));
    return frame;
}
