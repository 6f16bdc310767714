#pragma once
// The application server's wire protocol: how the daemon and its remote clients
// exchange calls over TCP (or TLS).
//
// Frame: a 4-byte little-endian body length, then the body; a body is one kind
// byte and its payload. A length above the limit closes the connection before
// anything is allocated.
//
// | kind     | sent by | payload                                   |
// |----------|---------|-------------------------------------------|
// | Hello    | client  | text "VELMORA-APPSERVER", version (Integer),|
// |          |         | program id of the server object (text)    |
// | Welcome  | server  | version (Integer)                         |
// | Login    | client  | database, user id, password (texts)       |
// | LoginOk  | server  | —                                         |
// | Call     | client  | member name (text), arguments (array)     |
// | Result   | server  | result, the arguments after the call      |
// | Failure  | server  | error class name, message (texts)         |
//
// Order: Hello/Welcome, Login/LoginOk, then any number of Call/Result-or-Failure,
// all served by one object of the program id the Hello named. A wrong version, a
// program id the daemon does not serve or a failed login is answered with Failure
// and the connection closes; nothing but Hello and Login is served before the
// login succeeded.
//
// Payload values are Variants in a self-describing binary form: a type byte, then
// Boolean 1 byte, Integer 8 bytes, Double/Date 8 bytes (little-endian), String a
// 4-byte length and the bytes, Array a dimension count (1 or 2), each dimension's
// low and high bounds (4 bytes each), then the elements in storage order.
// Automation objects do not travel. Decoding checks every length against the
// bytes that remain and limits nesting, so hostile input fails cleanly.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "platform/core/Variant.h"

VELMORA_DECLARE_EXCEPTION(EProtocolError, Exception);

inline constexpr int kWireVersion = 2;
inline constexpr std::string_view kWireGreeting = "VELMORA-APPSERVER";
inline constexpr uint32_t kDefaultMaxFrame = 64u << 20;   // 64 MiB

enum class TFrameKind : uint8_t { Hello = 1, Welcome, Login, LoginOk, Call, Result, Failure };

// Appends the encoded value; raises EProtocolError for an automation object.
void EncodeVariant(const Variant& value, std::string& out);
// Decodes one value from data starting at pos (pos moves past it); raises EProtocolError.
Variant DecodeVariant(std::string_view data, size_t& pos);

// A whole frame (length prefix included) of the kind with the values as payload.
std::string EncodeFrame(TFrameKind kind, const std::vector<Variant>& values);
// The length a frame header announces; raises EProtocolError above the limit.
uint32_t FrameLength(const unsigned char header[4], uint32_t maxFrame);

struct TFrame {
    TFrameKind Kind = TFrameKind::Failure;
    std::vector<Variant> Values;
};
// Decodes a frame body (without its length prefix); raises EProtocolError.
TFrame DecodeFrameBody(std::string_view body);
