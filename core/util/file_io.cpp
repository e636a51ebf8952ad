#include "core/util/file_io.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

TReadFileStatus ReadWholeFile(const std::string& path, size_t maxBytes, std::string& bytes,
                              std::string& error) {
    bytes.clear();
    error.clear();
    std::FILE* f = std::fopen(path.c_str(), "rb");
    if (!f) {
        error = std::strerror(errno);
        return crfOpenError;
    }
    char buf[65536];
    size_t n = 0;
    bool tooLarge = false;
    while ((n = std::fread(buf, 1, sizeof buf, f)) > 0) {
        if (bytes.size() + n > maxBytes) {
            tooLarge = true;
            break;
        }
        bytes.append(buf, n);
    }
    const bool failed = std::ferror(f) != 0;
    const int err = errno;
    std::fclose(f);
    if (tooLarge) {
        error = "larger than " + std::to_string(maxBytes >> 20) + " MiB";
        return crfTooLarge;
    }
    if (failed) {
        error = std::strerror(err);
        return crfReadError;
    }
    return crfOk;
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

    mode_t mode = 0644;
    struct stat old {};
    if (::stat(target.c_str(), &old) == 0) mode = old.st_mode & 07777;

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
