#pragma once
// A fresh folder under the system's temporary folder, removed with everything
// in it when the object leaves scope; and a helper that writes a file's bytes.
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <stdexcept>
#include <string>
#include <string_view>

class TempDir {
public:
    TempDir() {
        std::string pattern = (std::filesystem::temp_directory_path() / "velmora-test-XXXXXX").string();
        if (!mkdtemp(pattern.data())) throw std::runtime_error("mkdtemp failed");
        path_ = pattern;
    }
    ~TempDir() {
        std::error_code ec;
        std::filesystem::remove_all(path_, ec);
    }
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::filesystem::path& Path() const { return path_; }
    std::string File(std::string_view name) const { return (path_ / name).string(); }

private:
    std::filesystem::path path_;
};

inline void WriteBytes(const std::string& fileName, std::string_view bytes) {
    std::filesystem::create_directories(std::filesystem::path(fileName).parent_path());
    std::ofstream(fileName, std::ios::binary) << bytes;
}

inline std::string ReadBytes(const std::string& fileName) {
    std::ifstream f(fileName, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(f), {});
}

// Sets an environment variable for the scope (unset when `value` is null) and
// restores the previous state afterwards.
class ScopedEnv {
public:
    ScopedEnv(const char* name, const char* value) : name_(name) {
        if (const char* old = std::getenv(name)) old_ = old, had_ = true;
        if (value)
            setenv(name, value, 1);
        else
            unsetenv(name);
    }
    ~ScopedEnv() {
        if (had_)
            setenv(name_.c_str(), old_.c_str(), 1);
        else
            unsetenv(name_.c_str());
    }
    ScopedEnv(const ScopedEnv&) = delete;
    ScopedEnv& operator=(const ScopedEnv&) = delete;

private:
    std::string name_, old_;
    bool had_ = false;
};
