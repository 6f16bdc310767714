#include "platform/core/IniFile.h"

#include <errno.h>
#include <iconv.h>
#include <sys/stat.h>
#include <unistd.h>

#include <charconv>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <vector>

#include "platform/core/Exception.h"
#include "platform/core/Strings.h"

namespace {
struct Entry {
    std::string Key;
    std::string Value;
};

struct Section {
    std::string Name;
    std::vector<Entry> Entries;
};

// GB18030 bytes to UTF-8. A byte that does not start a valid sequence becomes
// U+FFFD and decoding goes on: a damaged line must not cost the rest of the file.
std::string DecodeGb18030(std::string_view bytes) {
    iconv_t cd = iconv_open("UTF-8", "GB18030");
    if (cd == reinterpret_cast<iconv_t>(-1)) return std::string(bytes);
    std::string out;
    out.reserve(bytes.size() * 3 / 2 + 16);
    char buf[4096];
    char* in = const_cast<char*>(bytes.data());
    size_t inLeft = bytes.size();
    while (inLeft > 0) {
        char* o = buf;
        size_t oLeft = sizeof buf;
        const size_t rc = iconv(cd, &in, &inLeft, &o, &oLeft);
        out.append(buf, static_cast<size_t>(o - buf));
        if (rc == static_cast<size_t>(-1) && errno != E2BIG) {
            AppendUtf8(out, 0xFFFD);   // EILSEQ or a sequence cut off at the end (EINVAL)
            ++in;
            --inLeft;
            iconv(cd, nullptr, nullptr, nullptr, nullptr);
        }
    }
    iconv_close(cd);
    return out;
}

std::string ReadWholeFile(const std::string& fileName) {
    std::ifstream f(fileName, std::ios::binary);
    if (!f) return {};
    std::ostringstream s;
    s << f.rdbuf();
    return std::move(s).str();
}
}  // namespace

struct TIniFile::Data {
    std::string FileName;
    std::vector<Section> Sections;

    Section* FindSection(std::string_view name) {
        name = TrimView(name);
        for (auto& s : Sections)
            if (SameText(s.Name, name)) return &s;
        return nullptr;
    }
    const Section* FindSection(std::string_view name) const {
        return const_cast<Data*>(this)->FindSection(name);
    }
    const Entry* FindEntry(std::string_view section, std::string_view ident) const {
        const Section* s = FindSection(section);
        if (!s) return nullptr;
        for (const auto& e : s->Entries)
            if (SameText(e.Key, TrimView(ident))) return &e;
        return nullptr;
    }

    void Parse(std::string_view text) {
        if (text.substr(0, 3) == "\xEF\xBB\xBF") text.remove_prefix(3);
        Section* current = nullptr;
        while (!text.empty()) {
            const size_t eol = text.find('\n');
            std::string_view line = TrimView(text.substr(0, eol));
            text.remove_prefix(eol == std::string_view::npos ? text.size() : eol + 1);
            if (line.empty() || line.front() == ';') continue;
            if (line.front() == '[') {
                const size_t close = line.find(']');
                if (close == std::string_view::npos) continue;
                const std::string_view name = TrimView(line.substr(1, close - 1));
                current = FindSection(name);
                if (!current) current = &Sections.emplace_back(Section{std::string(name), {}});
                continue;
            }
            const size_t eq = line.find('=');
            if (!current || eq == std::string_view::npos) continue;
            current->Entries.push_back(
                Entry{std::string(TrimView(line.substr(0, eq))), std::string(TrimView(line.substr(eq + 1)))});
        }
    }

    std::string Format() const {
        std::string out;
        for (const auto& s : Sections) {
            if (!out.empty()) out += '\n';
            out += '[';
            out += s.Name;
            out += "]\n";
            for (const auto& e : s.Entries) {
                out += e.Key;
                out += '=';
                out += e.Value;
                out += '\n';
            }
        }
        return out;
    }
};

TIniFile::TIniFile(std::string fileName) : d_(std::make_unique<Data>()) {
    d_->FileName = std::move(fileName);
    const std::string raw = ReadWholeFile(d_->FileName);
    if (IsValidUtf8(raw))
        d_->Parse(raw);
    else
        d_->Parse(DecodeGb18030(raw));
}

TIniFile::~TIniFile() = default;

const std::string& TIniFile::FileName() const noexcept { return d_->FileName; }

std::string TIniFile::ReadString(std::string_view section, std::string_view ident, std::string_view def) const {
    const Entry* e = d_->FindEntry(section, ident);
    return e ? e->Value : std::string(def);
}

int TIniFile::ReadInteger(std::string_view section, std::string_view ident, int def) const {
    const Entry* e = d_->FindEntry(section, ident);
    if (!e || e->Value.empty()) return def;
    const char* first = e->Value.data();
    const char* last = first + e->Value.size();
    if (*first == '+') ++first;
    int value = 0;
    const auto [end, ec] = std::from_chars(first, last, value);
    return ec == std::errc() && end == last ? value : def;
}

bool TIniFile::ReadBool(std::string_view section, std::string_view ident, bool def) const {
    return ReadInteger(section, ident, def ? 1 : 0) != 0;
}

bool TIniFile::SectionExists(std::string_view section) const { return d_->FindSection(section) != nullptr; }

bool TIniFile::ValueExists(std::string_view section, std::string_view ident) const {
    return d_->FindEntry(section, ident) != nullptr;
}

std::vector<std::string> TIniFile::ReadSections() const {
    std::vector<std::string> names;
    names.reserve(d_->Sections.size());
    for (const auto& s : d_->Sections) names.push_back(s.Name);
    return names;
}

std::vector<std::string> TIniFile::ReadSection(std::string_view section) const {
    std::vector<std::string> keys;
    if (const Section* s = d_->FindSection(section))
        for (const auto& e : s->Entries) keys.push_back(e.Key);
    return keys;
}

std::vector<std::string> TIniFile::ReadSectionValues(std::string_view section) const {
    std::vector<std::string> lines;
    if (const Section* s = d_->FindSection(section))
        for (const auto& e : s->Entries) lines.push_back(e.Key + "=" + e.Value);
    return lines;
}

void TIniFile::WriteString(std::string_view section, std::string_view ident, std::string_view value) {
    const std::string_view key = TrimView(ident);
    Section* s = d_->FindSection(section);
    if (!s) s = &d_->Sections.emplace_back(Section{std::string(TrimView(section)), {}});
    Entry* found = nullptr;
    for (auto& e : s->Entries)
        if (SameText(e.Key, key)) {
            found = &e;
            break;
        }
    if (!found) found = &s->Entries.emplace_back(Entry{std::string(key), {}});
    // A line break inside a value would split it into lines that read back differently.
    std::string v(TrimView(value));
    for (char& c : v)
        if (c == '\n' || c == '\r') c = ' ';
    found->Value = std::move(v);
    UpdateFile();
}

void TIniFile::WriteInteger(std::string_view section, std::string_view ident, int value) {
    WriteString(section, ident, std::to_string(value));
}

void TIniFile::WriteBool(std::string_view section, std::string_view ident, bool value) {
    WriteString(section, ident, value ? "1" : "0");
}

void TIniFile::DeleteKey(std::string_view section, std::string_view ident) {
    Section* s = d_->FindSection(section);
    if (!s) return;
    const size_t before = s->Entries.size();
    std::erase_if(s->Entries, [&](const Entry& e) { return SameText(e.Key, TrimView(ident)); });
    if (s->Entries.size() != before) UpdateFile();
}

void TIniFile::EraseSection(std::string_view section) {
    const size_t before = d_->Sections.size();
    std::erase_if(d_->Sections, [&](const Section& s) { return SameText(s.Name, TrimView(section)); });
    if (d_->Sections.size() != before) UpdateFile();
}

void TIniFile::UpdateFile() const {
    const std::string text = d_->Format();
    std::string temp = d_->FileName + ".XXXXXX";
    const int fd = mkstemp(temp.data());
    if (fd < 0) throw EFileError("Cannot create a file beside \"" + d_->FileName + "\"");
    // The new file keeps the old one's permissions (a new file gets 0644).
    struct stat old {};
    fchmod(fd, stat(d_->FileName.c_str(), &old) == 0 ? (old.st_mode & 07777) : 0644);
    size_t done = 0;
    while (done < text.size()) {
        const ssize_t n = ::write(fd, text.data() + done, text.size() - done);
        if (n <= 0) break;
        done += static_cast<size_t>(n);
    }
    const bool written = done == text.size() && fsync(fd) == 0;
    const bool closed = ::close(fd) == 0;
    if (!written || !closed || std::rename(temp.c_str(), d_->FileName.c_str()) != 0) {
        std::remove(temp.c_str());
        throw EFileError("Cannot write file \"" + d_->FileName + "\"");
    }
}
