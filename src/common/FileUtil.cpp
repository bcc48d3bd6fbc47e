#include "common/FileUtil.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <fstream>
#include <sstream>

#include "common/TextUtil.h"

namespace fileutil {

namespace {

bool WriteAll(int fd, std::string_view data) {
    while (!data.empty()) {
        const ssize_t n = ::write(fd, data.data(), data.size());
        if (n < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        data.remove_prefix(static_cast<std::size_t>(n));
    }
    return true;
}

void SyncFolderOf(const std::string& path) {
    const std::string folder = FolderOf(path);
    const int fd = ::open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        ::fsync(fd);
        ::close(fd);
    }
}

}  // namespace

bool Exists(const std::string& path) {
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0;
}

bool IsDirectory(const std::string& path) {
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

std::optional<std::string> ReadAll(const std::string& path) {
    // A folder opens as a stream that reads as empty; it is no file.
    if (IsDirectory(path)) return std::nullopt;
    std::ifstream in(path, std::ios::binary);
    if (!in) return std::nullopt;
    std::ostringstream ss;
    ss << in.rdbuf();
    if (in.bad()) return std::nullopt;
    return std::move(ss).str();
}

bool SyncFile(const std::string& path) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return false;
    const bool ok = ::fsync(fd) == 0;
    ::close(fd);
    return ok;
}

bool WriteAtomically(const std::string& path, std::string_view data, mode_t newFileMode) {
    const mode_t mode = ModeOf(path, newFileMode);
    std::string tmp = path + ".XXXXXX";
    const int fd = ::mkstemp(tmp.data());
    if (fd < 0) return false;
    // mkstemp creates 0600; the file takes the mode it had (or is to have)
    // before anything is written into it.
    bool ok = (mode == 0600 || ::fchmod(fd, mode) == 0) && WriteAll(fd, data) && ::fsync(fd) == 0;
    const int saved = errno;
    ok = (::close(fd) == 0) && ok;
    if (ok && ::rename(tmp.c_str(), path.c_str()) == 0) {
        SyncFolderOf(path);
        return true;
    }
    const int failure = ok ? errno : saved;
    ::unlink(tmp.c_str());
    errno = failure;
    return false;
}

bool ReplaceWith(const std::string& from, const std::string& to) {
    if (::rename(from.c_str(), to.c_str()) != 0) return false;
    SyncFolderOf(to);
    return true;
}

bool MoveReplacing(const std::string& from, const std::string& to) {
    if (ReplaceWith(from, to)) return true;
    if (errno != EXDEV) return false;
    const int in = ::open(from.c_str(), O_RDONLY | O_CLOEXEC);
    if (in < 0) return false;
    std::string tmp = to + ".XXXXXX";
    const int out = ::mkstemp(tmp.data());
    if (out < 0) {
        const int failure = errno;
        ::close(in);
        errno = failure;
        return false;
    }
    const mode_t mode = ModeOf(to, 0600);
    bool ok = mode == 0600 || ::fchmod(out, mode) == 0;
    std::string block(1 << 16, '\0');
    while (ok) {
        const ssize_t n = ::read(in, block.data(), block.size());
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) {
            ok = n == 0;
            break;
        }
        ok = WriteAll(out, std::string_view(block.data(), static_cast<std::size_t>(n)));
    }
    // A full disk may only show at the flush: the copy counts once it is on disk.
    ok = ok && ::fsync(out) == 0;
    int failure = errno;
    ok = ::close(out) == 0 && ok;
    if (!ok && failure == 0) failure = errno;
    ::close(in);
    if (ok && ::rename(tmp.c_str(), to.c_str()) == 0) {
        SyncFolderOf(to);
        ::unlink(from.c_str());
        return true;
    }
    if (ok) failure = errno;
    ::unlink(tmp.c_str());
    errno = failure;
    return false;
}

mode_t ModeOf(const std::string& path, mode_t fallback) {
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) return fallback;
    return st.st_mode & 07777;
}

bool CreateFolders(const std::string& path, mode_t mode) {
    if (path.empty()) return false;
    // Each missing component is made with mkdir's own mode, so the process
    // umask is never touched (other threads may be creating files).
    std::size_t at = 0;
    while (at != std::string::npos) {
        at = path.find('/', at + 1);
        const std::string part = path.substr(0, at);
        if (part.empty() || IsDirectory(part)) continue;
        if (::mkdir(part.c_str(), mode) != 0 && errno != EEXIST) return false;
    }
    return IsDirectory(path);
}

std::string SafeStem(std::string_view name) {
    std::string out(name);
    for (char& c : out)
        if (c == '/' || c == '\0') c = '_';
    return out;
}

std::string WithTrailingSlash(std::string folder) {
    if (folder.empty() || folder.back() != '/') folder += '/';
    return folder;
}

std::string FolderOf(const std::string& path) {
    const auto slash = path.rfind('/');
    return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

std::string FindNoCase(const std::string& folder, std::string_view name) {
    std::string exact = folder + std::string(name);
    if (Exists(exact)) return exact;
    DIR* dir = ::opendir(folder.empty() ? "." : folder.c_str());
    if (!dir) return exact;
    std::string found;
    while (const dirent* entry = ::readdir(dir)) {
        const std::string_view candidate = entry->d_name;
        // Of several spellings the first in name order, so the choice does
        // not depend on the order the folder lists them in.
        if (text::EqualsNoCase(candidate, name) && (found.empty() || candidate < found)) found = candidate;
    }
    ::closedir(dir);
    return found.empty() ? exact : folder + found;
}

}  // namespace fileutil
