#pragma once
// `TIniFile`: a profile file of sections and name=value lines, read and written
// by the rules the suite's configuration files were made with:
//  - section names and keys are compared without regard to case;
//  - a line's key is the text before its first '=', its value everything after
//    (both trimmed of blanks); there are no escapes and no quoting;
//  - lines starting with ';' are comments; lines that are neither a section
//    header nor contain '=' (and lines before the first section) are skipped,
//    never fatal; when a key repeats in a section, its first line counts;
//  - sections and keys are listed in file order.
// A file that is not valid UTF-8 was written by an older tool and is read as
// GB18030 (a superset of GB2312 and GBK); everything is UTF-8 in memory and is
// written back as UTF-8.
//
// The file is read once, when the object is made (a missing or unreadable file
// is an empty one). Every write changes the object and then replaces the file
// as a whole: a temporary file beside it is written and renamed over it, so a
// reader never sees half a file. A failed write raises EFileError and leaves the
// file as it was (the object keeps the change).
#include <memory>
#include <string>
#include <string_view>
#include <vector>

class TIniFile {
public:
    explicit TIniFile(std::string fileName);
    ~TIniFile();
    TIniFile(const TIniFile&) = delete;
    TIniFile& operator=(const TIniFile&) = delete;

    const std::string& FileName() const noexcept;

    // Reading: the default when the section or key is missing.
    std::string ReadString(std::string_view section, std::string_view ident, std::string_view def) const;
    // The default also when the value is not a whole decimal integer.
    int ReadInteger(std::string_view section, std::string_view ident, int def) const;
    // "0" is false, any other integer true; the default for anything else.
    bool ReadBool(std::string_view section, std::string_view ident, bool def) const;
    bool SectionExists(std::string_view section) const;
    bool ValueExists(std::string_view section, std::string_view ident) const;
    // Section names in file order.
    std::vector<std::string> ReadSections() const;
    // Keys of one section in file order (empty when the section is missing).
    std::vector<std::string> ReadSection(std::string_view section) const;
    // The section's lines as "key=value" in file order.
    std::vector<std::string> ReadSectionValues(std::string_view section) const;

    // Writing: each call rewrites the file (see above).
    // Sets the key's value; a missing section is added at the end of the file,
    // a missing key at the end of its section.
    void WriteString(std::string_view section, std::string_view ident, std::string_view value);
    void WriteInteger(std::string_view section, std::string_view ident, int value);
    void WriteBool(std::string_view section, std::string_view ident, bool value);   // "1"/"0"
    // Removes the key (every line of it); nothing happens when it is missing.
    void DeleteKey(std::string_view section, std::string_view ident);
    // Removes the section with all its keys; nothing happens when it is missing.
    void EraseSection(std::string_view section);

private:
    struct Data;
    void UpdateFile() const;
    std::unique_ptr<Data> d_;
};
