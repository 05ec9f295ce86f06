#include "core/userFiles.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <fstream>
#include <iterator>
#include <sys/stat.h>
#include <unistd.h>

namespace {

std::string systemError(const std::string& what) {
    return what + ": " + std::strerror(errno);
}

// mkdir -p: every missing folder on the way is made.
bool makeFolders(const std::string& folder) {
    for (std::size_t slash = folder.find('/', 1);; slash = folder.find('/', slash + 1)) {
        const std::string part = folder.substr(0, slash);
        if (!part.empty() && mkdir(part.c_str(), 0755) != 0 && errno != EEXIST) {
            return false;
        }
        if (slash == std::string::npos) {
            return true;
        }
    }
}

bool writeAll(int fd, const std::string& contents) {
    std::size_t written = 0;
    while (written < contents.size()) {
        const ssize_t n = write(fd, contents.data() + written, contents.size() - written);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n <= 0) {
            return false;
        }
        written += static_cast<std::size_t>(n);
    }
    return true;
}

// The rename is on the disk once the folder's entry is.
void syncFolder(const std::string& folder) {
    const int fd = open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        fsync(fd);
        close(fd);
    }
}

bool isAbsolute(const char* folder) {
    return folder != nullptr && folder[0] == '/';
}

} // namespace

std::string userFilePath(const char* xdgHome, const char* home, const std::string& homeFallback,
                         const std::string& name) {
    if (isAbsolute(xdgHome)) {
        return std::string(xdgHome) + "/cellquest/" + name;
    }
    if (isAbsolute(home)) {
        return std::string(home) + "/" + homeFallback + "/cellquest/" + name;
    }
    return "";
}

std::string folderOf(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    if (slash == std::string::npos) {
        return ".";
    }
    return slash == 0 ? "/" : path.substr(0, slash);
}

UserFileRead readUserFile(const std::string& path) {
    struct stat info {};
    if (stat(path.c_str(), &info) != 0 && errno == ENOENT) {
        return {UserFileRead::Status::missing, ""};
    }
    std::ifstream in(path, std::ios::binary);
    if (!S_ISREG(info.st_mode) || !in) {
        return {UserFileRead::Status::unreadable, ""};
    }
    // Unlike `stream << rdbuf()`, an empty file reads as empty text.
    std::string text{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    if (in.bad()) {
        return {UserFileRead::Status::unreadable, ""};
    }
    return {UserFileRead::Status::read, std::move(text)};
}

std::string writeFileAtomically(const std::string& path, const std::string& contents) {
    const std::string folder = folderOf(path);
    if (!makeFolders(folder)) {
        return systemError("cannot make the folder " + folder);
    }
    std::string temporary = path + ".XXXXXX";
    const int fd = mkostemp(temporary.data(), O_CLOEXEC);
    if (fd < 0) {
        return systemError("cannot write in " + folder);
    }
    const bool written = writeAll(fd, contents) && fchmod(fd, 0644) == 0 && fsync(fd) == 0;
    const std::string failure = written ? "" : systemError("cannot write " + temporary);
    if (close(fd) != 0 || !written) {
        unlink(temporary.c_str());
        return failure.empty() ? systemError("cannot write " + temporary) : failure;
    }
    if (std::rename(temporary.c_str(), path.c_str()) != 0) {
        const std::string renameFailure = systemError("cannot replace " + path);
        unlink(temporary.c_str());
        return renameFailure;
    }
    syncFolder(folder);
    return "";
}

std::string freeCorruptName(const std::string& path) {
    const std::string first = path + ".corrupt";
    struct stat info {};
    std::string name = first;
    for (int number = 1; lstat(name.c_str(), &info) == 0; ++number) {
        name = first + "." + std::to_string(number);
    }
    return name;
}

std::string keepAside(const std::string& path) {
    const std::string aside = freeCorruptName(path);
    return std::rename(path.c_str(), aside.c_str()) == 0 ? aside : "";
}
