#include "core/util/file_io.h"

#include <cerrno>
#include <cstring>
#include <filesystem>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

std::string SizeText(uint64_t bytes) {
    if (bytes != 0 && bytes % (uint64_t{1} << 30) == 0) return std::to_string(bytes >> 30) + " GiB";
    if (bytes != 0 && bytes % (uint64_t{1} << 20) == 0) return std::to_string(bytes >> 20) + " MiB";
    return std::to_string(bytes) + " bytes";
}

std::string FileKindPhrase(unsigned mode) {
    switch (mode & S_IFMT) {
    case S_IFREG: return {};
    case S_IFDIR: return "a folder";
    case S_IFCHR: return "a character device";
    case S_IFBLK: return "a block device";
    case S_IFIFO: return "a FIFO";
    case S_IFSOCK: return "a socket";
    case S_IFLNK: return "a symbolic link";
    default: return "not a file";
    }
}

TReadFileStatus OpenRegularFile(const std::string& path, uint64_t maxBytes, int& fd, uint64_t& size,
                                std::string& error) {
    fd = -1;
    size = 0;
    error.clear();
    // Non-blocking, so that opening a FIFO without a writer returns at once.
    const int f = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (f < 0) {
        error = std::strerror(errno);
        return crfOpenError;
    }
    struct stat st {};
    if (::fstat(f, &st) != 0) {
        error = std::strerror(errno);
        ::close(f);
        return crfOpenError;
    }
    if (!S_ISREG(st.st_mode)) {
        error = "not a regular file (" + FileKindPhrase(st.st_mode) + ")";
        ::close(f);
        return crfOpenError;
    }
    if (static_cast<uint64_t>(st.st_size) > maxBytes) {
        error = "larger than " + SizeText(maxBytes);
        ::close(f);
        return crfTooLarge;
    }
    const int flags = ::fcntl(f, F_GETFL);
    if (flags >= 0) ::fcntl(f, F_SETFL, flags & ~O_NONBLOCK);
    fd = f;
    size = static_cast<uint64_t>(st.st_size);
    return crfOk;
}

bool ReadExactly(int fd, void* buffer, uint64_t size, std::string& error) {
    auto* at = static_cast<char*>(buffer);
    uint64_t left = size;
    while (left > 0) {
        const ssize_t n = ::read(fd, at, left < (uint64_t{1} << 30) ? left : (uint64_t{1} << 30));
        if (n < 0) {
            if (errno == EINTR) continue;
            error = std::strerror(errno);
            return false;
        }
        if (n == 0) break;
        at += n;
        left -= static_cast<uint64_t>(n);
    }
    char probe;
    ssize_t more;
    do more = ::read(fd, &probe, 1);
    while (more < 0 && errno == EINTR);
    if (left != 0 || more != 0) {
        error = "changed while being read";
        return false;
    }
    return true;
}

TReadFileStatus ReadWholeFile(const std::string& path, size_t maxBytes, std::string& bytes,
                              std::string& error) {
    bytes.clear();
    int fd = -1;
    uint64_t size = 0;
    const TReadFileStatus opened = OpenRegularFile(path, maxBytes, fd, size, error);
    if (opened != crfOk) return opened;
    bytes.resize(static_cast<size_t>(size));
    const bool ok = ReadExactly(fd, bytes.data(), size, error);
    ::close(fd);
    return ok ? crfOk : crfReadError;
}

namespace {

// The file a symbolic link finally names.
std::filesystem::path FollowLinks(std::filesystem::path p) {
    std::error_code ec;
    for (int hops = 0; hops < 40 && std::filesystem::is_symlink(std::filesystem::symlink_status(p, ec)); ++hops) {
        std::filesystem::path target = std::filesystem::read_symlink(p, ec);
        if (ec) break;
        p = target.is_absolute() ? target : p.parent_path() / target;
    }
    return p;
}

bool WriteAll(int fd, std::string_view bytes, int& err) {
    while (!bytes.empty()) {
        const ssize_t n = ::write(fd, bytes.data(), bytes.size());
        if (n < 0) {
            if (errno == EINTR) continue;
            err = errno;
            return false;
        }
        bytes.remove_prefix(static_cast<size_t>(n));
    }
    return true;
}

} // namespace

bool ReplaceFileContents(const std::string& path, std::string_view bytes, std::string& error) {
    error.clear();
    const std::filesystem::path target = FollowLinks(path);
    std::filesystem::path folder = target.parent_path();
    if (folder.empty()) folder = ".";

    // Only a regular file is replaced: renaming over a device or FIFO would take its place.
    mode_t mode = 0644;
    struct stat old {};
    if (::lstat(target.c_str(), &old) == 0) {
        if (!S_ISREG(old.st_mode)) {
            const std::string what = "not a regular file (" + FileKindPhrase(old.st_mode) + ")";
            error = target == std::filesystem::path(path) ? what : "\"" + target.string() + "\" is " + what;
            return false;
        }
        mode = old.st_mode & 07777;
    } else if (errno != ENOENT) {
        error = std::strerror(errno);
        return false;
    }

    std::string tmp = (folder / ("." + target.filename().string() + ".XXXXXX")).string();
    const int fd = ::mkstemp(tmp.data());
    if (fd < 0) {
        error = std::strerror(errno);
        return false;
    }
    int err = 0;
    const auto step = [&err](bool done) {
        if (!done && err == 0) err = errno;
        return done;
    };
    bool ok = WriteAll(fd, bytes, err) && step(::fchmod(fd, mode) == 0) && step(::fsync(fd) == 0);
    ok = step(::close(fd) == 0) && ok;
    ok = ok && step(::rename(tmp.c_str(), target.c_str()) == 0);
    if (!ok) {
        ::unlink(tmp.c_str());
        error = std::strerror(err);
        return false;
    }
    // The rename itself is durable only once the folder is flushed; failing that is no
    // reason to report the write as failed.
    const int dir = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY);
    if (dir >= 0) {
        ::fsync(dir);
        ::close(dir);
    }
    return true;
}
