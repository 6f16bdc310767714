#pragma once
// Facts about the system the program runs on, and the error logs.
//
// The framework records unexpected errors in plain text files instead of
// showing them. Each call appends one line (opening and closing the file), never
// raises and never shows anything. Lines are UTF-8 and end in CR LF.
//
// Log folder: the base folder + "/Log", the base folder's text kept as it is
// (one that ends in '/' gives a doubled separator, which the file system
// accepts). The base folder is the registry value "ClientPath", else
// "ServerPath"; when both are empty the alert log uses the running program's
// folder and the generator log the temporary folder. Missing folders are made.
#include <exception>
#include <string>
#include <string_view>

// The system code page: the registry value "SysCodePage" when it is a number,
// else taken from the locale ($LC_ALL, $LC_CTYPE, $LANG in that order): zh_CN
// and zh_SG give 936, zh_TW, zh_HK and zh_MO 950, anything else 437.
int SystemCodePage();

// Appends "[yyyy/mm/dd hh:nn:ss:zzz] " + text to
// <log folder>/Alert_<logName>_<stamp>[.log], where the stamp is the current
// date as "yyyymm" for period "M", "yyyy" for "Y" and "yyyymmdd" for anything
// else, and ".log" is added unless the log name contains a '.'. Path
// delimiters in the log name become '_' so that a name cannot leave the folder.
// True when the line was written.
bool WriteAlertLog(std::string_view logName, std::string_view text, std::string_view period) noexcept;

// Appends "[yyyy/mm/dd hh:nn:ss] " + text to
// <log folder>/Alert_PravikGenerator_<yyyymmdd>.log. True when written.
bool WriteGeneratorLog(std::string_view text) noexcept;

// Writes a report of one error to the generator log, one call per line:
//  - a header of 34 dashes, " on <location> " (only when the location is not
//    blank) and 34 dashes;
//  - when an error is given: "讯息信息:", then by its kind
//      an operating-system error  "EWin32Error Error 01: Code: <code>, Message: <text>",
//      an input/output error      "EInOutError Error 01: Code: <code>, Message: <text>",
//      any other error            "Exception is <class name>\r\nMessage 01: <text>",
//    then "ErrorMessage Count: 1";
//  - "Programer Message: " + the trimmed message, unless it is blank.
// Failed lines are simply missing; nothing is raised.
void WriteExceptionReport(const std::exception* error, std::string_view location,
                          std::string_view programmerMessage) noexcept;
