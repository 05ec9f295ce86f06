// The player's own files (saved progress, settings): where they live by the
// XDG base directory rules, how they are read, replaced atomically, and where
// a bad one is kept aside. Every failure is returned as text, never thrown.
#pragma once

#include <string>

// `xdgHome`/cellquest/`name` when that variable's value (null when unset) is
// an absolute folder; else `home`/`homeFallback`/cellquest/`name`; empty when
// neither gives a folder. Relative values count as unset, as the rules say.
std::string userFilePath(const char* xdgHome, const char* home, const std::string& homeFallback,
                         const std::string& name);

// The folder of a path: "." for a bare name, "/" for a file at the root.
std::string folderOf(const std::string& path);

struct UserFileRead {
    enum class Status { read, missing, unreadable };
    Status status = Status::missing;
    std::string text;
};
// The whole file; unreadable when it is not a regular file or reading fails.
UserFileRead readUserFile(const std::string& path);

// Writes the contents to a temporary file in the path's folder (made when
// missing), flushes it to the disk and renames it over the path. Empty on
// success, else what failed; the path is then as it was.
std::string writeFileAtomically(const std::string& path, const std::string& contents);

// Where a bad file is kept: "PATH.corrupt" the first time, then
// "PATH.corrupt.1", ".2", ..., the first name not taken, so none is lost.
std::string freeCorruptName(const std::string& path);
// Renames the path to freeCorruptName(path); that name, or empty on failure.
std::string keepAside(const std::string& path);
