#pragma once
// Fixtures of the language tests: a temporary folder and a registry file that points
// the program at it for the length of a test.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <string>

// A fresh folder per test, removed afterwards. Paths end without a separator.
class TempDir {
public:
    TempDir()
        : path_(std::filesystem::temp_directory_path() /
                ("lang-" + std::to_string(::getpid()) + "-" +
                 ::testing::UnitTest::GetInstance()->current_test_info()->name())) {
        std::filesystem::remove_all(path_);
        std::filesystem::create_directories(path_);
    }
    ~TempDir() { std::filesystem::remove_all(path_); }
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    std::string Path() const { return path_.string(); }
    std::string operator/(const std::string& name) const { return (path_ / name).string(); }
    // Writes a file below the folder (making its folders) and returns its path.
    std::string Write(const std::string& name, const std::string& bytes) const {
        const auto p = path_ / name;
        std::filesystem::create_directories(p.parent_path());
        std::ofstream(p, std::ios::binary) << bytes;
        return p.string();
    }

private:
    std::filesystem::path path_;
};

// Points $VELMORA_REGISTRY at a file holding the given values of the Velmora key, and
// restores the variable afterwards. No values at all means no key.
class RegistryScope {
public:
    RegistryScope(const TempDir& dir, const std::map<std::string, std::string>& values) {
        if (const char* old = std::getenv("VELMORA_REGISTRY")) old_ = old;
        std::string text;
        if (!values.empty()) {
            text = "[Software\\QVN\\Velmora]\n";
            for (const auto& [name, value] : values) text += name + "=" + value + "\n";
        }
        ::setenv("VELMORA_REGISTRY", dir.Write("registry.ini", text).c_str(), 1);
    }
    ~RegistryScope() {
        if (old_.empty()) ::unsetenv("VELMORA_REGISTRY");
        else ::setenv("VELMORA_REGISTRY", old_.c_str(), 1);
    }
    RegistryScope(const RegistryScope&) = delete;
    RegistryScope& operator=(const RegistryScope&) = delete;

private:
    std::string old_;
};
