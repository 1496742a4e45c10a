// File operations of loading and saving, on POSIX.
#include <errno.h>
#include <fcntl.h>
#include <stdlib.h>
#include <string.h>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/file_ops.h"

namespace {

// As many links as the kernel itself follows in one path.
constexpr int kMaxLinks = 40;

// The length of the path's folder part, its last '/' included; 0 when it has none.
std::size_t FolderLength(const char* path) {
    const char* slash = strrchr(path, '/');
    return slash ? static_cast<std::size_t>(slash - path) + 1 : 0;
}

// Replaces the link at path with the path it points to; a relative one counts from the link's
// own folder.
bool FollowLink(char (&path)[kFilePathSize]) {
    char link[kFilePathSize];
    ssize_t length = readlink(path, link, sizeof link);
    if (length <= 0 || static_cast<std::size_t>(length) >= sizeof link) {
        return false;
    }
    std::size_t folder = link[0] == '/' ? 0 : FolderLength(path);
    if (folder + static_cast<std::size_t>(length) >= kFilePathSize) {
        return false;
    }
    memcpy(path + folder, link, static_cast<std::size_t>(length));
    path[folder + static_cast<std::size_t>(length)] = '\0';
    return true;
}

// Gives the new file the target's owner, group and permissions; without a target, what fopen
// gives a new file (0666 less the umask).
bool TakePermissions(int fd, const char* target) {
    struct stat info;
    if (stat(target, &info) != 0) {
        if (errno != ENOENT) {
            return false;
        }
        mode_t mask = umask(0);
        umask(mask);
        return fchmod(fd, 0666 & ~mask) == 0;
    }
    // Only a privileged process may give a file away; others keep at least the group where it
    // is one of theirs. Before the mode, since a change of owner clears the set-id bits.
    if (fchown(fd, info.st_uid, info.st_gid) != 0 &&
        (errno != EPERM ||
         (fchown(fd, static_cast<uid_t>(-1), info.st_gid) != 0 && errno != EPERM))) {
        return false;
    }
    return fchmod(fd, info.st_mode & 07777) == 0;
}

}  // namespace

std::FILE* OpenForReading(const char* path) {
    // Non-blocking, so that a pipe planted at the path cannot hold the program up; it is refused
    // below like every other file that is not a plain one.
    int fd = open(path, O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0) {
        return nullptr;
    }
    struct stat info;
    std::FILE* file = fstat(fd, &info) == 0 && S_ISREG(info.st_mode) ? fdopen(fd, "rb") : nullptr;
    if (!file) {
        close(fd);
    }
    return file;
}

bool FindSaveTarget(const char* path, char (&target)[kFilePathSize]) {
    std::size_t length = strlen(path);
    if (length >= kFilePathSize) {
        return false;
    }
    memcpy(target, path, length + 1);
    struct stat info;
    for (int links = 0; lstat(target, &info) == 0; ++links) {
        if (!S_ISLNK(info.st_mode)) {
            // A file without any write permission is read-only even to a process that could
            // write it anyway, as Windows' read-only attribute binds administrators too.
            return S_ISREG(info.st_mode) && (info.st_mode & 0222) != 0 &&
                   faccessat(AT_FDCWD, target, W_OK, AT_EACCESS) == 0;
        }
        if (links == kMaxLinks || !FollowLink(target)) {
            return false;
        }
    }
    // Nothing there yet: the save creates it, or fails to where its folder is missing.
    return errno == ENOENT;
}

std::FILE* CreateFileBeside(const char* target, char (&temporary)[kFilePathSize]) {
    static const char kPattern[] = ".XXXXXX";
    std::size_t length = strlen(target);
    if (length + sizeof kPattern > kFilePathSize) {
        return nullptr;
    }
    memcpy(temporary, target, length);
    memcpy(temporary + length, kPattern, sizeof kPattern);
    // Tries fresh random names, each created exclusively and never through a link, until one is
    // free: nothing planted at a name redirects the save, and a leftover is merely passed by.
    int fd = mkostemp(temporary, O_CLOEXEC | O_NOFOLLOW);
    if (fd < 0) {
        return nullptr;
    }
    std::FILE* file = TakePermissions(fd, target) ? fdopen(fd, "wb") : nullptr;
    if (!file) {
        close(fd);
        unlink(temporary);
    }
    return file;
}

bool FlushFileToDisk(std::FILE* file) {
    return fsync(fileno(file)) == 0;
}

bool RenameOverFile(const char* from, const char* to) {
    if (rename(from, to) != 0) {
        return false;
    }
    // The rename lives in the folder: until that is on the disk, a power cut may bring the old
    // file back after the save said it was done.
    char folder[kFilePathSize] = ".";
    if (std::size_t length = FolderLength(to)) {
        memcpy(folder, to, length);
        folder[length] = '\0';
    }
    int fd = open(folder, O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) {
        return false;
    }
    // Some file systems cannot sync a folder, and say so with EINVAL.
    bool synced = fsync(fd) == 0 || errno == EINVAL;
    close(fd);
    return synced;
}
