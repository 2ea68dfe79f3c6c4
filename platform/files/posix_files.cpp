// File services on POSIX: the current directory and the private files the texture
// builder writes and deletes.
#include <cerrno>
#include <cstring>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/platform.h"

bool SysCurrentDirectory(char* out, size_t capacity) {
    if (!out || capacity == 0) return SysFail("SysCurrentDirectory: no room");
    if (!getcwd(out, capacity)) {
        out[0] = 0;
        return SysFail("SysCurrentDirectory: %s", std::strerror(errno));
    }
    return true;
}

// Non-blocking, so that opening a FIFO with no writer returns at once; the flag changes
// nothing for the regular file that is kept.
int SysOpenRegularFile(const char* path) {
    int fd = open(path, O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY);
    if (fd < 0) return SysFail("SysOpenRegularFile: %s: %s", path, std::strerror(errno)), -1;
    struct stat info;
    if (fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        close(fd);
        return SysFail("SysOpenRegularFile: %s: not a regular file", path), -1;
    }
    return fd;
}

// The name is unlinked first, then created exclusively without following a link, so a
// symbolic link or a hard link that stood there is dropped, its target left as it was.
int SysCreatePrivateFile(const char* path) {
    if (unlink(path) != 0 && errno != ENOENT)
        return SysFail("SysCreatePrivateFile: cannot remove %s: %s", path, std::strerror(errno)), -1;
    int fd = open(path, O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, S_IRUSR | S_IWUSR);
    if (fd < 0) return SysFail("SysCreatePrivateFile: %s: %s", path, std::strerror(errno)), -1;
    return fd;
}

bool SysWriteAll(int fd, const void* bytes, size_t size) {
    const char* next = static_cast<const char*>(bytes);
    while (size > 0) {
        ssize_t written = write(fd, next, size);
        if (written < 0) {
            if (errno == EINTR) continue;
            return SysFail("SysWriteAll: %s", std::strerror(errno));
        }
        next += written;
        size -= size_t(written);
    }
    return true;
}

void SysCloseFile(int fd) {
    if (fd >= 0) close(fd);
}

bool SysDeleteFile(const char* path) {
    if (unlink(path) != 0) return SysFail("SysDeleteFile: %s: %s", path, std::strerror(errno));
    return true;
}
