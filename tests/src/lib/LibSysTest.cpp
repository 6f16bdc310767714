#include <gtest/gtest.h>

#include <ios>
#include <system_error>

#include "platform/core/DateTime.h"
#include "platform/core/Paths.h"
#include "src/lib/LibStrs.h"
#include "src/lib/LibSys.h"
#include "tests/support/TempDir.h"

namespace {
TDateTime At(int y, int m, int d, int h = 0, int n = 0, int s = 0, int ms = 0) {
    return TDateTime(EncodeDate(y, m, d).Value + EncodeTime(h, n, s, ms).Value);
}

// A temporary installation whose registry names it as the client (or server) folder.
class LogFixture : public ::testing::Test {
protected:
    TempDir dir;
    ScopedEnv registry{"VELMORA_REGISTRY", dir.File("registry.ini").c_str()};
    ScopedEnv tmp{"TMPDIR", dir.File("tmp").c_str()};

    void SetRegistry(const std::string& values) {
        WriteBytes(dir.File("registry.ini"), "[Software\\QVN\\Velmora]\n" + values);
    }
    std::string Install(const char* name) const { return dir.File(name); }
};
}  // namespace

TEST_F(LogFixture, AlertLogFolderAndLine) {
    // A client folder given with its trailing separator doubles it before "Log".
    SetRegistry("ClientPath=" + Install("client") + "/\nServerPath=" + Install("server") + "\n");
    FixedClock clock(At(2024, 1, 31, 9, 5, 7, 42));
    ASSERT_TRUE(WriteAlertLog("libstrs", "LINE[2735] 100% %s done", "D"));
    ASSERT_TRUE(WriteAlertLog("libstrs", "second", "D"));
    EXPECT_EQ(ReadBytes(Install("client") + "//Log/Alert_libstrs_20240131.log"),
              "[2024/01/31 09:05:07:042] LINE[2735] 100% %s done\r\n"
              "[2024/01/31 09:05:07:042] second\r\n");
    EXPECT_FALSE(std::filesystem::exists(Install("server")));
}

TEST_F(LogFixture, AlertLogFileNamesByPeriod) {
    SetRegistry("ClientPath=\nServerPath=" + Install("server") + "\n");   // empty client: the server folder
    struct Case {
        TDateTime now;
        const char* name;
        const char* period;
        const char* file;
    } cases[] = {
        {At(2024, 1, 31), "libstrs", "D", "Alert_libstrs_20240131.log"},
        {At(2024, 1, 31), "libstrs", "M", "Alert_libstrs_202401.log"},
        {At(2024, 2, 1), "libstrs", "M", "Alert_libstrs_202402.log"},   // a new month, a new file
        {At(2024, 1, 31), "libstrs", "Y", "Alert_libstrs_2024.log"},
        {At(2024, 1, 31), "libstrs", "W", "Alert_libstrs_20240131.log"},
        {At(2024, 1, 31), "a.b", "D", "Alert_a.b_20240131"},            // a '.' in the name: no ".log"
        {At(2024, 1, 31), "Class BaseCD-302", "D", "Alert_Class BaseCD-302_20240131.log"},
        {At(2024, 1, 31), "../x", "D", "Alert_.._x_20240131"},          // cannot leave the folder
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.file);
        FixedClock clock(c.now);
        ASSERT_TRUE(WriteAlertLog(c.name, "x", c.period));
        EXPECT_TRUE(std::filesystem::exists(Install("server") + "/Log/" + c.file));
    }
    int files = 0;
    for ([[maybe_unused]] const auto& e : std::filesystem::directory_iterator(Install("server") + "/Log")) ++files;
    EXPECT_EQ(files, 7);   // period "W" shares the daily file
}

TEST_F(LogFixture, WithoutRegistryValuesTheProgramAndTemporaryFoldersServe) {
    SetRegistry("ProfileType=0\n");
    FixedClock clock(At(2024, 1, 31, 23, 59, 59));
    const std::string alert = ExeFolder() + "Log/Alert_LibSysTest_20240131.log";
    std::filesystem::remove(alert);
    ASSERT_TRUE(WriteAlertLog("LibSysTest", "beside the program", "D"));
    EXPECT_EQ(ReadBytes(alert), "[2024/01/31 23:59:59:000] beside the program\r\n");
    std::filesystem::remove(alert);

    ASSERT_TRUE(WriteGeneratorLog("in the temporary folder"));
    EXPECT_EQ(ReadBytes(dir.File("tmp/Log/Alert_PravikGenerator_20240131.log")),
              "[2024/01/31 23:59:59] in the temporary folder\r\n");
}

TEST_F(LogFixture, UnwritableLogsReturnFalse) {
    FixedClock clock(At(2024, 1, 31));
    // The log folder cannot be made: a file stands where it would go.
    SetRegistry("ClientPath=" + Install("blocked") + "\n");
    WriteBytes(Install("blocked") + "/Log", "a file, not a folder");
    EXPECT_FALSE(WriteAlertLog("libstrs", "x", "D"));
    EXPECT_FALSE(WriteGeneratorLog("x"));
    // A medium nobody may write to, not even the superuser.
    SetRegistry("ClientPath=/proc/self\n");
    EXPECT_FALSE(WriteAlertLog("libstrs", "x", "D"));
    EXPECT_FALSE(WriteGeneratorLog("x"));
    // The log file cannot be opened: a folder has its name.
    SetRegistry("ClientPath=" + Install("client") + "\n");
    std::filesystem::create_directories(Install("client") + "/Log/Alert_libstrs_20240131.log");
    EXPECT_FALSE(WriteAlertLog("libstrs", "x", "D"));
}

TEST_F(LogFixture, ExceptionReports) {
    SetRegistry("ClientPath=" + Install("client") + "\n");
    FixedClock clock(At(2024, 1, 31, 12, 0, 0));
    const std::string file = Install("client") + "/Log/Alert_PravikGenerator_20240131.log";
    const std::string stamp = "[2024/01/31 12:00:00] ";
    const std::string dashes(34, '-');
    struct Case {
        const char* name;
        std::function<void()> write;
        std::string expected;
    } cases[] = {
        {"no error, blank location", [] { WriteExceptionReport(nullptr, "  ", "  "); },
         stamp + dashes + dashes + "\r\n"},
        {"conversion error",
         [] {
             const EConvertError e("'12%d' is not a valid integer");
             WriteExceptionReport(&e, " here", "  look  ");
         },
         stamp + dashes + " on  here " + dashes + "\r\n" + stamp + "讯息信息:\r\n" + stamp +
             "Exception is EConvertError\r\nMessage 01: '12%d' is not a valid integer\r\n" + stamp +
             "ErrorMessage Count: 1\r\n" + stamp + "Programer Message: look\r\n"},
        {"system error",
         [] {
             const std::system_error e(std::make_error_code(std::errc::permission_denied), "open");
             WriteExceptionReport(&e, "", "");
         },
         stamp + dashes + dashes + "\r\n" + stamp + "讯息信息:\r\n" + stamp + "EWin32Error Error 01: Code: " +
             std::to_string(EACCES) + ", Message: open: Permission denied\r\n" + stamp + "ErrorMessage Count: 1\r\n"},
        {"input/output error",
         [] {
             const std::ios_base::failure e("read", std::make_error_code(std::io_errc::stream));
             WriteExceptionReport(&e, "", "");
         },
         stamp + dashes + dashes + "\r\n" + stamp + "讯息信息:\r\n" + stamp + "EInOutError Error 01: Code: " +
             std::to_string(static_cast<int>(std::io_errc::stream)) + ", Message: " +
             std::ios_base::failure("read", std::make_error_code(std::io_errc::stream)).what() + "\r\n" + stamp +
             "ErrorMessage Count: 1\r\n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        std::filesystem::remove(file);
        c.write();
        EXPECT_EQ(ReadBytes(file), c.expected);
    }
}

TEST(LibSys, SystemCodePage) {
    TempDir dir;
    ScopedEnv registry("VELMORA_REGISTRY", dir.File("registry.ini").c_str());
    struct Case {
        const char* registryValue;   // null: no value
        const char* lcAll;
        const char* lang;
        int expected;
    } cases[] = {
        {"950", "C", "C", 950},          {" 1252 ", nullptr, "zh_CN.UTF-8", 1252},
        {"abc", nullptr, "zh_CN.UTF-8", 936}, {nullptr, "zh_SG.GBK", "C", 936},
        {nullptr, nullptr, "zh_TW.UTF-8", 950}, {nullptr, "zh_HK", nullptr, 950},
        {nullptr, "", "zh_MO.UTF-8", 950},      {nullptr, "en_US.UTF-8", "zh_CN", 437},
        {nullptr, nullptr, nullptr, 437},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.registryValue ? c.registryValue : "-") + " " + (c.lcAll ? c.lcAll : "-") + " " +
                     (c.lang ? c.lang : "-"));
        WriteBytes(dir.File("registry.ini"), std::string("[Software\\QVN\\Velmora]\n") +
                                                 (c.registryValue ? std::string("SysCodePage=") + c.registryValue : ""));
        ScopedEnv all("LC_ALL", c.lcAll);
        ScopedEnv ctype("LC_CTYPE", nullptr);
        ScopedEnv lang("LANG", c.lang);
        EXPECT_EQ(SystemCodePage(), c.expected);
    }
}

TEST_F(LogFixture, VariantConversionErrorsAreLoggedAndTheCopyReturned) {
    // Neither the asked code page nor the system's can be used.
    SetRegistry("ClientPath=" + Install("client") + "\nSysCodePage=99998\n");
    FixedClock clock(At(2024, 1, 31));
    const Variant v = Variant::ArrayOf({"费用", 1});
    EXPECT_EQ(VariantWideToNarrow(v, 99999), v);
    EXPECT_EQ(VariantNarrowToWide(v, 99999), v);
    const std::string log = ReadBytes(Install("client") + "/Log/Alert_libstrs_20240131.log");
    EXPECT_NE(log.find("] LINE[2735] "), std::string::npos) << log;
    EXPECT_NE(log.find("] LINE[115] "), std::string::npos) << log;
}
