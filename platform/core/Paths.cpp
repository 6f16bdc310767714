#include "platform/core/Paths.h"

#include <pwd.h>
#include <unistd.h>

#include <cstdlib>
#include <vector>

namespace {
std::string EnvValue(const char* name) {
    const char* v = std::getenv(name);
    return v ? std::string(v) : std::string();
}

bool IsDelimiter(char c) { return c == '/' || c == '\\'; }
}  // namespace

std::string ExePath() {
    std::vector<char> buf(256);
    for (;;) {
        const ssize_t n = readlink("/proc/self/exe", buf.data(), buf.size());
        if (n < 0) return {};
        if (static_cast<size_t>(n) < buf.size()) return std::string(buf.data(), static_cast<size_t>(n));
        buf.resize(buf.size() * 2);   // the link may have been cut: read again
    }
}

std::string ExeFolder() {
    const std::string exe = ExePath();
    return exe.empty() ? exe : exe.substr(0, exe.rfind('/') + 1);
}

std::string LoginName() {
    long size = sysconf(_SC_GETPW_R_SIZE_MAX);
    std::vector<char> buf(size > 0 ? static_cast<size_t>(size) : 4096);
    passwd entry{};
    passwd* found = nullptr;
    if (getpwuid_r(geteuid(), &entry, buf.data(), buf.size(), &found) == 0 && found && found->pw_name &&
        *found->pw_name)
        return found->pw_name;
    std::string name = EnvValue("USER");
    return name.empty() ? EnvValue("LOGNAME") : name;
}

std::string TempFolder() {
    const std::string dir = EnvValue("TMPDIR");
    return IncludeTrailingPathDelimiter(dir.empty() ? std::string("/tmp") : dir);
}

std::string NativePath(std::string_view path) {
    std::string r(path);
    for (char& c : r)
        if (c == '\\') c = '/';
    return r;
}

std::string IncludeTrailingPathDelimiter(std::string_view path) {
    std::string r(path);
    if (!r.empty() && !IsDelimiter(r.back())) r += '/';
    return r;
}

std::string JoinPath(std::string_view folder, std::string_view relative) {
    if (folder.empty()) return NativePath(relative);
    std::string r = NativePath(IncludeTrailingPathDelimiter(folder));
    while (!relative.empty() && IsDelimiter(relative.front())) relative.remove_prefix(1);
    r += NativePath(relative);
    return r;
}

bool IsAbsolutePath(std::string_view path) noexcept { return !path.empty() && path.front() == '/'; }
