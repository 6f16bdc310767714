#pragma once
// Conversion between UTF-8, the text model inside the program, and the narrow code
// pages of files, tables and older tools (936 GB, 950 Big5, 437 and the other
// single-byte pages).
//
// Nothing is ever lost silently:
//  - decoding: a byte sequence that is not valid in the code page (or is cut off at
//    the end) is copied to the output unchanged, byte for byte. The result is then not
//    valid UTF-8 at those places, and encoding it back gives the original bytes (unless
//    two such raw bytes happen to form a UTF-8 character).
//  - encoding: bytes that are not valid UTF-8 are copied unchanged; a character that the
//    code page cannot represent becomes '?' and is reported through `usedDefaultChar`,
//    as the system's code-page functions do.
//
// Code page 936 is decoded as GB18030 (a superset of GBK, so GB2312- and GBK-labelled
// data reads correctly) and encoded as GB18030 with the GBK euro byte 0x80; code page
// 950 is CP950 plus, when switched on, the extended Big5 mapping below. 65001 is UTF-8
// itself. Any other number N is the iconv code page "CPN".
//
// Thread-safe: every thread uses its own conversion handles.
#include <string>
#include <string_view>

#include "platform/core/Exception.h"

constexpr int cpGB = 936;
constexpr int cpBig5 = 950;
constexpr int cpUS = 437;
constexpr int cpUtf8 = 65001;

// True when texts can be converted to and from the code page.
bool IsSupportedCodePage(int codePage);

// Bytes in `codePage` to UTF-8 (see above). Raises EConvertError for a code page that
// is not supported.
std::string CodePageToUtf8(int codePage, std::string_view bytes);

// UTF-8 to bytes in `codePage` (see above). `usedDefaultChar`, when given, is set to
// whether any character had to become '?'. Raises EConvertError for a code page that is
// not supported.
std::string Utf8ToCodePage(int codePage, std::string_view utf8, bool* usedDefaultChar = nullptr);

// The extended Big5 mapping, process-wide and off until switched on. It keeps GB byte
// pairs that are not valid Big5 alive through a round trip over code page 950:
//   Big5-side pair f 0x81-0xFE, s 0x80-0xA0            <-> U+A001..U+C07E (s*256 + 0x2000 + f - 0x80)
//   Big5-side pair f 0xA3, s 0xC0-0xFE except 0xE1     <-> U+C101..U+C13F except U+C122 (s + 0xC041)
// The pair 0xA3 0xE1 is the Big5 euro sign and stays one, so that a euro still shows as
// a euro; it round-trips through U+20AC all the same. Every conversion to and from code
// page 950 applies the mapping while it is on.
void SetExtendedBig5Mapping(bool on) noexcept;
bool ExtendedBig5Mapping() noexcept;
