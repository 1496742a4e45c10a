// File operations of loading and saving, on POSIX.
#include <dirent.h>
#include <errno.h>
#include <fcntl.h>
#include <string.h>
#include <sys/stat.h>
#include <time.h>
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
// gives a new file (0666 less the umask). Only a privileged process may give a file away: other
// ones fail where the target is not theirs, since a file renamed over it would then change hands.
bool TakeTargetsPermissions(int fd, const char* target) {
    struct stat info;
    if (stat(target, &info) != 0) {
        if (errno != ENOENT) {
            return false;
        }
        mode_t mask = umask(0);
        umask(mask);
        return fchmod(fd, 0666 & ~mask) == 0;
    }
    // Before the mode, since a change of owner clears the set-id bits.
    return fchown(fd, info.st_uid, info.st_gid) == 0 && fchmod(fd, info.st_mode & 07777) == 0;
}

// The folder part of target, or "." where it has none.
void FolderOf(const char* target, char (&folder)[kFilePathSize]) {
    std::size_t length = FolderLength(target);
    if (length == 0) {
        strcpy(folder, ".");
        return;
    }
    memcpy(folder, target, length);
    folder[length] = '\0';
}

// Opens a plain file and nothing else. Non-blocking, so that a pipe planted at the path cannot
// hold the program up; it is refused with every other file that is not a plain one.
std::FILE* OpenPlainFile(const char* path, int flags, const char* mode) {
    int fd = open(path, flags | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0) {
        return nullptr;
    }
    struct stat info;
    std::FILE* file = fstat(fd, &info) == 0 && S_ISREG(info.st_mode) ? fdopen(fd, mode) : nullptr;
    if (!file) {
        close(fd);
    }
    return file;
}

}  // namespace

std::FILE* OpenForReading(const char* path) {
    return OpenPlainFile(path, O_RDONLY, "rb");
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

bool HasOtherNames(const char* target) {
    struct stat info;
    return stat(target, &info) == 0 && info.st_nlink > 1;
}

std::FILE* CreateNewFile(const char* path, const char* target, NewFile kind, bool* taken) {
    // Created exclusively and never through a link: nothing planted at the name redirects it.
    int fd = open(path, O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
    *taken = fd < 0 && errno == EEXIST;
    if (fd < 0) {
        return nullptr;
    }
    bool given = kind == NewFile::kCopy || TakeTargetsPermissions(fd, target);
    std::FILE* file = given ? fdopen(fd, "wb") : nullptr;
    if (!file) {
        close(fd);
        unlink(path);
    }
    return file;
}

std::FILE* OpenInPlace(const char* target) {
    std::FILE* file = OpenPlainFile(target, O_WRONLY | O_NOFOLLOW, "wb");
    if (!file) {
        return nullptr;
    }
    if (ftruncate(fileno(file), 0) != 0) {
        fclose(file);
        return nullptr;
    }
    return file;
}

bool FlushFileToDisk(std::FILE* file) {
    // Some file systems cannot sync at all, and say so with EINVAL.
    return fsync(fileno(file)) == 0 || errno == EINVAL;
}

bool RenameOverFile(const char* from, const char* to) {
    if (rename(from, to) != 0) {
        return false;
    }
    // The rename lives in the folder: until that is on the disk, a power cut may bring the old
    // file back. The new file is in place already, so a folder that cannot be opened or synced
    // does not undo the save.
    char folder[kFilePathSize];
    FolderOf(to, folder);
    int fd = open(folder, O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        fsync(fd);
        close(fd);
    }
    return true;
}

void RemoveLeftoversBeside(const char* target) {
    char folder[kFilePathSize];
    FolderOf(target, folder);
    const char* name = target + FolderLength(target);
    DIR* listing = opendir(folder);
    if (!listing) {
        return;
    }
    time_t dayAgo = time(nullptr) - 24 * 60 * 60;
    while (const dirent* entry = readdir(listing)) {
        struct stat info;
        // Looked at and removed by name within the folder, so no link is ever followed.
        if (IsBesideName(entry->d_name, name) &&
            fstatat(dirfd(listing), entry->d_name, &info, AT_SYMLINK_NOFOLLOW) == 0 &&
            S_ISREG(info.st_mode) && info.st_mtime < dayAgo) {
            unlinkat(dirfd(listing), entry->d_name, 0);
        }
    }
    closedir(listing);
}
