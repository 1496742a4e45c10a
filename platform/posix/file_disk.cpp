// File operations of loading and saving, on POSIX.
#include <dirent.h>
#include <errno.h>
#include <fcntl.h>
#include <stdio_ext.h>
#include <string.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/xattr.h>
#include <time.h>
#include <unistd.h>

#include "platform/file_ops.h"

namespace {

// As many links as the kernel itself follows in one path.
constexpr int kMaxLinks = 40;
// How long a save waits for another one's lock, in steps of kLockPause.
constexpr int kLockTries = 500;
constexpr timespec kLockPause = {0, 10 * 1000 * 1000};
// Room for the names of a file's extended attributes, and for one's value.
constexpr std::size_t kAttributesSize = 64 * 1024;

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
    if (length <= 0) {
        return false;
    }
    // Also a link that readlink cut to the buffer.
    std::size_t folder = link[0] == '/' ? 0 : FolderLength(path);
    if (folder + static_cast<std::size_t>(length) >= kFilePathSize) {
        return false;
    }
    memcpy(path + folder, link, static_cast<std::size_t>(length));
    path[folder + static_cast<std::size_t>(length)] = '\0';
    return true;
}

// The folder part of path, or "." where it has none.
void FolderOf(const char* path, char (&folder)[kFilePathSize]) {
    std::size_t length = FolderLength(path);
    if (length == 0) {
        strcpy(folder, ".");
        return;
    }
    memcpy(folder, path, length);
    folder[length] = '\0';
}

// A sticky folder that anyone may write: a shared one, as /tmp.
constexpr mode_t kShared = S_ISVTX | S_IWOTH;

// Whether the kernel, guarding shared folders, would follow a link in this folder: in a shared
// one only a link of this user's or of the folder's owner's.
bool MayFollow(const struct stat& link, const struct stat& folder) {
    return (folder.st_mode & kShared) != kShared || link.st_uid == geteuid() ||
           link.st_uid == folder.st_uid;
}

// Copies every extended attribute of from (the access control list is one) to the file fd.
Made CopyAttributes(const char* from, int fd) {
    static char names[kAttributesSize], value[kAttributesSize];
    ssize_t length = listxattr(from, names, sizeof names);
    if (length < 0) {
        // A file system without them has none to keep.
        return errno == ENOTSUP ? Made::kDone : Made::kRefused;
    }
    for (const char* name = names; name < names + length; name += strlen(name) + 1) {
        ssize_t size = getxattr(from, name, value, sizeof value);
        if (size < 0 || fsetxattr(fd, name, value, static_cast<std::size_t>(size), 0) != 0) {
            // One that the process may not set, or that the file system takes on no new file.
            bool refused = errno == EPERM || errno == EACCES || errno == ENOTSUP || errno == ERANGE;
            return refused ? Made::kRefused : Made::kFailed;
        }
    }
    return Made::kDone;
}

// Gives the new file all that the target has: owner, group, permissions and extended
// attributes; without a target, what fopen gives a new file (0666 less the umask). Only a
// privileged process may give a file away: other ones are refused where the target is not
// theirs, since a file renamed over it would then change hands.
Made TakeTargetsPermissions(int fd, const char* target) {
    struct stat info;
    if (stat(target, &info) != 0) {
        if (errno != ENOENT) {
            return Made::kFailed;
        }
        mode_t mask = umask(0);
        umask(mask);
        return fchmod(fd, 0666 & ~mask) == 0 ? Made::kDone : Made::kFailed;
    }
    // The owner before the mode, since a change of owner clears the set-id bits; the mode before
    // the access control list, which sets the group's bits itself.
    if (fchown(fd, info.st_uid, info.st_gid) != 0 || fchmod(fd, info.st_mode & 07777) != 0) {
        return Made::kRefused;
    }
    return CopyAttributes(target, fd);
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
    std::FILE* file = OpenPlainFile(path, O_RDONLY, "rb");
    if (file) {
        // Read by one thread, a line at a time: each fgets need not take the stream's lock.
        __fsetlocking(file, FSETLOCKING_BYCALLER);
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
    bool shared = false;  // a link was followed out of a shared folder
    for (int links = 0; lstat(target, &info) == 0; ++links) {
        if (!S_ISLNK(info.st_mode)) {
            // A file without any write permission is read-only even to a process that could
            // write it anyway, as Windows' read-only attribute binds administrators too.
            return S_ISREG(info.st_mode) && (info.st_mode & 0222) != 0 &&
                   faccessat(AT_FDCWD, target, W_OK, AT_EACCESS) == 0;
        }
        char folder[kFilePathSize];
        FolderOf(target, folder);
        struct stat folderInfo;
        if (links == kMaxLinks || stat(folder, &folderInfo) != 0 || !MayFollow(info, folderInfo) ||
            !FollowLink(target)) {
            return false;
        }
        shared |= (folderInfo.st_mode & kShared) == kShared;
    }
    // Nothing there yet: the save creates it, or fails to where its folder is missing; never
    // through a link that someone may have planted in a shared folder.
    return errno == ENOENT && !shared;
}

bool HasOtherNames(const char* target) {
    struct stat info;
    return stat(target, &info) == 0 && info.st_nlink > 1;
}

std::FILE* CreateNewFile(const char* path, const char* target, NewFile kind, Made* made) {
    // Created exclusively and never through a link: nothing planted at the name redirects it.
    int fd = open(path, O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
    if (fd < 0) {
        // A folder that this user may not write, or a name that it cannot hold.
        *made = errno == EEXIST                                              ? Made::kTaken
                : errno == EACCES || errno == EPERM || errno == ENAMETOOLONG ? Made::kRefused
                                                                             : Made::kFailed;
        return nullptr;
    }
    *made = TakeTargetsPermissions(fd, target);
    if (kind == NewFile::kCopy && *made == Made::kRefused) {
        // Given what it can, but read by no one else: the target may be less open than that.
        *made = fchmod(fd, 0600) == 0 ? Made::kDone : Made::kFailed;
    }
    std::FILE* file = *made == Made::kDone ? fdopen(fd, "wb") : nullptr;
    if (!file) {
        *made = *made == Made::kDone ? Made::kFailed : *made;
        close(fd);
        unlink(path);
    }
    return file;
}

std::FILE* OpenInPlace(const char* target) {
    std::FILE* file = OpenPlainFile(target, O_RDWR | O_NOFOLLOW, "r+b");
    for (int tries = 0; file && flock(fileno(file), LOCK_EX | LOCK_NB) != 0; ++tries) {
        if (errno != EWOULDBLOCK || tries == kLockTries) {
            fclose(file);
            return nullptr;
        }
        nanosleep(&kLockPause, nullptr);
    }
    return file;
}

bool CutFile(std::FILE* file, long length) {
    return ftruncate(fileno(file), length) == 0;
}

bool FlushFileToDisk(std::FILE* file) {
    // Some file systems cannot sync at all, and say so with EINVAL.
    return fsync(fileno(file)) == 0 || errno == EINVAL;
}

bool FlushFolderToDisk(const char* path) {
    char folder[kFilePathSize];
    FolderOf(path, folder);
    int fd = open(folder, O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    bool synced = fd >= 0 && (fsync(fd) == 0 || errno == EINVAL);
    if (fd >= 0) {
        close(fd);
    }
    return synced;
}

Made RenameOverFile(const char* from, const char* to) {
    if (rename(from, to) != 0) {
        // Someone else's file in a shared folder, or one that is a mount of its own.
        return errno == EPERM || errno == EACCES || errno == EBUSY || errno == EXDEV
                   ? Made::kRefused
                   : Made::kFailed;
    }
    // The rename lives in the folder: until that is on the disk, a power cut may bring the old
    // file back. The new file is in place already, so a folder that cannot be opened or synced
    // does not undo the save.
    FlushFolderToDisk(to);
    return Made::kDone;
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
