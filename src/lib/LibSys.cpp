#include "src/lib/LibSys.h"

#include <fcntl.h>
#include <unistd.h>

#include <charconv>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <ios>
#include <system_error>

#include "platform/core/DateTime.h"
#include "platform/core/Exception.h"
#include "platform/core/Paths.h"
#include "platform/core/Registry.h"
#include "platform/core/Strings.h"

namespace {
// The system's date and time separators as the date formats apply them.
constexpr char DateSeparator = '/';
constexpr char TimeSeparator = ':';

template <typename... Ints>
std::string FormatNumbers(const char* format, Ints... values) {
    char buf[64];
    std::snprintf(buf, sizeof buf, format, values...);
    return buf;
}

std::string RegistryInstallFolder() {
    TRegistry reg;
    if (!reg.OpenKeyReadOnly(VelmoraRegistryKey)) return {};
    std::string folder = reg.ReadString("ClientPath");
    if (folder.empty()) folder = reg.ReadString("ServerPath");
    return NativePath(folder);
}

// Makes the log folder below `base`; empty when it cannot be made.
std::string LogFolder(const std::string& base) {
    const std::string folder = base + "/Log";
    std::error_code ec;
    std::filesystem::create_directories(folder, ec);
    return std::filesystem::is_directory(folder, ec) ? folder : std::string();
}

// One open-append-close cycle; the line goes out in a single write so that
// lines of processes sharing the file do not mix within a line.
bool AppendLine(const std::string& fileName, const std::string& line) {
    const int fd = ::open(fileName.c_str(), O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0644);
    if (fd < 0) return false;
    const ssize_t n = ::write(fd, line.data(), line.size());
    const bool closed = ::close(fd) == 0;
    return n == static_cast<ssize_t>(line.size()) && closed;
}

std::string DateStamp(TDateTime now) {
    int y, m, d;
    DecodeDate(now, y, m, d);
    return FormatNumbers("%.4d%.2d%.2d", y, m, d);
}

// One log line: "[date time] text" with CR LF; the alert log adds milliseconds.
std::string LogLine(TDateTime now, bool milliseconds, std::string_view text) {
    int y, m, d, h, n, s, ms;
    DecodeDate(now, y, m, d);
    DecodeTime(now, h, n, s, ms);
    char head[64];
    std::snprintf(head, sizeof head, "[%.4d%c%.2d%c%.2d %.2d%c%.2d%c%.2d", y, DateSeparator, m, DateSeparator, d, h,
                  TimeSeparator, n, TimeSeparator, s);
    std::string line = head;
    if (milliseconds) line += FormatNumbers("%c%.3d", TimeSeparator, ms);
    line += "] ";
    line.append(text);
    line += "\r\n";
    return line;
}
}  // namespace

int SystemCodePage() {
    if (const auto value = VelmoraRegistryValue("SysCodePage")) {
        const std::string_view v = TrimView(*value);
        int cp = 0;
        const auto [end, ec] = std::from_chars(v.data(), v.data() + v.size(), cp);
        if (ec == std::errc() && end == v.data() + v.size() && cp > 0) return cp;
    }
    std::string locale;
    for (const char* name : {"LC_ALL", "LC_CTYPE", "LANG"})
        if (const char* v = std::getenv(name); v && *v) {
            locale = v;
            break;
        }
    const std::string territory = locale.substr(0, 5);
    if (territory == "zh_CN" || territory == "zh_SG") return 936;
    if (territory == "zh_TW" || territory == "zh_HK" || territory == "zh_MO") return 950;
    return 437;
}

bool WriteAlertLog(std::string_view logName, std::string_view text, std::string_view period) noexcept {
    try {
        std::string base = RegistryInstallFolder();
        if (base.empty()) {
            base = ExeFolder();
            if (!base.empty()) base.pop_back();   // without its trailing separator
        }
        const std::string folder = LogFolder(base);
        if (folder.empty()) return false;

        const TDateTime now = Now();
        const std::string day = DateStamp(now);
        const std::string stamp = period == "M" ? day.substr(0, 6) : period == "Y" ? day.substr(0, 4) : day;
        std::string name(logName);
        for (char& c : name)
            if (c == '/' || c == '\\') c = '_';
        std::string fileName = folder + "/Alert_" + name + "_" + stamp;
        if (name.find('.') == std::string::npos) fileName += ".log";
        return AppendLine(fileName, LogLine(now, true, text));
    } catch (...) {
        return false;
    }
}

bool WriteGeneratorLog(std::string_view text) noexcept {
    try {
        std::string base = RegistryInstallFolder();
        if (base.empty()) base = TempFolder();
        const std::string folder = LogFolder(base);
        if (folder.empty()) return false;

        const TDateTime now = Now();
        return AppendLine(folder + "/Alert_PravikGenerator_" + DateStamp(now) + ".log", LogLine(now, false, text));
    } catch (...) {
        return false;
    }
}

void WriteExceptionReport(const std::exception* error, std::string_view location,
                          std::string_view programmerMessage) noexcept {
    try {
        const std::string dashes(34, '-');
        std::string header = dashes;
        if (!TrimView(location).empty()) {
            header += " on ";
            header.append(location);
            header += ' ';
        }
        WriteGeneratorLog(header + dashes);
        if (error) {
            WriteGeneratorLog("讯息信息:");
            // Streams' failures are system errors too: test for them first.
            if (const auto* io = dynamic_cast<const std::ios_base::failure*>(error))
                WriteGeneratorLog(FormatNumbers("EInOutError Error %.2d: Code: %d, Message: ", 1, io->code().value()) +
                                  io->what());
            else if (const auto* os = dynamic_cast<const std::system_error*>(error))
                WriteGeneratorLog(FormatNumbers("EWin32Error Error %.2d: Code: %d, Message: ", 1, os->code().value()) +
                                  os->what());
            else {
                const auto* own = dynamic_cast<const Exception*>(error);
                WriteGeneratorLog(std::string("Exception is ") + (own ? own->ClassName() : "Exception") + "\r\n" +
                                  FormatNumbers("Message %.2d: ", 1) + error->what());
            }
            WriteGeneratorLog("ErrorMessage Count: 1");
        }
        if (const std::string_view note = TrimView(programmerMessage); !note.empty())
            WriteGeneratorLog("Programer Message: " + std::string(note));
    } catch (...) {
    }
}
