#pragma once
// Where things are on this machine: the running program's folder, the login
// name, the temporary folder, and the joining of backslash-separated relative
// folders ("c_data\", "MultiLanguage\CHS\") onto '/'-separated paths.
//
// Folders returned here always end in '/', so that a file name can be appended
// directly, as the configuration code does with its "folder + name" texts.
#include <string>
#include <string_view>

// Full path of the running executable (from /proc/self/exe); empty when the
// link cannot be read.
std::string ExePath();

// Folder of the running executable, ending in '/'. Empty when the link cannot be read.
std::string ExeFolder();

// Login name of the user the process runs as (the password database entry of
// the effective user id, else $USER, else $LOGNAME); empty when none is known.
std::string LoginName();

// The temporary folder: $TMPDIR when set and not empty, else "/tmp"; ends in '/'.
std::string TempFolder();

// `path` with every '\' turned into '/'.
std::string NativePath(std::string_view path);

// `path` with a '/' appended unless it already ends in '/' or '\' (an empty
// path stays empty).
std::string IncludeTrailingPathDelimiter(std::string_view path);

// `folder` and `relative` joined with exactly one '/' between them; the
// relative part's backslashes become '/'. An empty folder gives the relative
// part alone; an empty relative part gives the folder with its delimiter.
std::string JoinPath(std::string_view folder, std::string_view relative);

// True for a path starting at the root ('/'): what a drive letter or a UNC
// name marks on the other system.
bool IsAbsolutePath(std::string_view path) noexcept;
