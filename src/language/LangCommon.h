#pragma once
// The table converter between GB texts (code page 936) and Big5 texts (code page 950).
//
// It works on byte strings and is driven by the plain-text table file "Language":
// lines starting with "[" and blank lines are skipped; every other line is an entry
// "key=Xhhhh" whose value, after one ignored character, holds four hexadecimal digits
// (decimal digits and upper-case A-F): the converted character's first and second
// byte. The first n entries (n = the number of entries starting with "BIG5") form the
// Big5 table and the next m (m = the number starting with "GB") the GB table; entry k
// of a table converts the character whose linear index is k. Code 0 (both bytes blank)
// means "no entry": such characters, and those outside the tables, are converted
// through the system code pages (decode one, encode the other).
//
// The euro sign is the single byte 0x80 in GB and the pair 0xA3 0xE1 in Big5.
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

// Linear index of a double-byte character, or -1 when the pair has none (see the
// .cpp for the layout). A Big5 pair is double-byte when f >= 0x80 and s is in
// 0x40-0x7E or 0xA1-0xFE; a GB pair when f >= 0x81 and s != 0x7F.
bool IsBig5DoubleByte(unsigned char f, unsigned char s) noexcept;
bool IsGBDoubleByte(unsigned char f, unsigned char s) noexcept;
int Big5LinearIndex(unsigned char f, unsigned char s) noexcept;
int GBLinearIndex(unsigned char f, unsigned char s) noexcept;

// The two positional tables of a "Language" file.
class TLanguageTable {
public:
    TLanguageTable() = default;   // empty: everything goes through the system
    TLanguageTable(std::vector<uint16_t> big5, std::vector<uint16_t> gb);

    // Reads the file format above. A value whose four digits are not decimal digits or
    // "A" to "F" (or that is too short) raises EConvertError.
    static TLanguageTable Parse(std::string_view text);
    // The file format, "[BIG5]" entries first, then "[GB]" entries.
    std::string ToText() const;

    const std::vector<uint16_t>& Big5() const noexcept { return big5_; }
    const std::vector<uint16_t>& GB() const noexcept { return gb_; }

    // Byte-level conversions. Bytes that form no character are copied unchanged.
    std::string GBToBig5(std::string_view gb) const;
    std::string Big5ToGB(std::string_view big5) const;

private:
    std::vector<uint16_t> big5_;   // by Big5 linear index: the GB code
    std::vector<uint16_t> gb_;     // by GB linear index: the Big5 code
};

// Builds the tables from the code-page codecs and the script conversion: each Big5
// character is converted to Simplified script and encoded in GB, each GB character to
// Traditional script and encoded in Big5; characters without a double-byte result get
// code 0.
TLanguageTable MakeLanguageTable();

// --- the process's table converter ------------------------------------------------
// The table is loaded on first use from the file "Language" in the client installation
// folder, else in the running program's folder. While no file is found, every call
// reports "Can't find file Language !!" through the message handler, converts with
// the system code pages alone, and tries again next time. A malformed file raises
// EConvertError to the caller.
std::string GBTextToBig5(std::string_view gb);
std::string Big5TextToGB(std::string_view big5);
// The same on UTF-8 texts: encoded in the source code page, converted, decoded.
// Characters that have no one- or two-byte form in the source code page, and bytes
// that are not UTF-8, are kept unchanged.
std::string GBTextToBig5Utf8(std::string_view utf8);
std::string Big5TextToGBUtf8(std::string_view utf8);

// Where the table converter's messages go (the message box of the shell). An empty
// handler drops them.
void SetLanguageTableMessageHandler(std::function<void(const std::string&)> handler);
// Forgets the loaded table, so that the next call loads the file again.
void UnloadLanguageTable();
