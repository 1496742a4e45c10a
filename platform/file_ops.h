#pragma once
// The file operations of loading and saving the settings file that the C library lacks. A save
// either writes a new file beside the one it replaces and renames it over that one, or, where a
// new file cannot stand in for the old one, writes the file itself. Either way it keeps what the
// file is: where a link points, its other names, its permissions, owner and attributes.

#include <cctype>
#include <cstddef>
#include <cstdio>
#include <cstring>

// Room for any path these operations give back, terminator included.
inline constexpr std::size_t kFilePathSize = 4096;

// A save's new file beside the target is named for it: the target's name, this mark and as many
// letters or digits as kBesideSuffixLength tells ("AIConfig.ai.new-3FA9C0"). What a crash leaves
// of them is removed a day later.
inline constexpr char kNewFileMark[] = ".new-";
inline constexpr std::size_t kBesideSuffixLength = 6;

// The copy of the old contents that a save writing the file itself keeps beside it meanwhile:
// the target's name and this mark ("AIConfig.ai.backup"), and a number after it where copies
// that an earlier save could not remove stand already ("AIConfig.ai.backup-2"). Never removed
// but by the save that made it.
inline constexpr char kBackupMark[] = ".backup";

// Whether entry, a name in the target's folder, is a new file beside the target named name.
inline bool IsBesideName(const char* entry, const char* name) {
    std::size_t length = std::strlen(name), mark = sizeof kNewFileMark - 1;
    if (std::strncmp(entry, name, length) != 0 ||
        std::strncmp(entry + length, kNewFileMark, mark) != 0 ||
        std::strlen(entry + length + mark) != kBesideSuffixLength) {
        return false;
    }
    for (const char* c = entry + length + mark; *c; ++c) {
        if (!std::isalnum(static_cast<unsigned char>(*c))) {
            return false;
        }
    }
    return true;
}

// Opens a file for reading in binary, for the calling thread alone. Null when it cannot be opened
// or is not a plain file (a folder, for instance).
std::FILE* OpenForReading(const char* path);

// The file that saving to path replaces: links are followed to their final target, and a link to
// nothing names the file it points to. False when that file may not be replaced: it is read-only
// (no write access, or no write permission for anyone), it is not a plain file, or the links run
// too deep; and, as the kernel guards shared folders, when a link in a sticky folder that anyone
// may write belongs to neither this user nor the folder's owner, or leads there to nothing.
bool FindSaveTarget(const char* path, char (&target)[kFilePathSize]);

// True when the target has more names than the one a save reaches it by (hard links; on Windows
// also a link standing at that name): a new file renamed over it would leave the other names with
// the old contents.
bool HasOtherNames(const char* target);

// How a new file beside the target starts out.
enum class NewFile {
    // All that the target has: permissions, owner, group, attributes (the access control list
    // among them), or what a new file gets when there is no target.
    kLikeTarget,
    // The backup copy: the same where the process may give it all that, else this user's own
    // that no one else may read.
    kCopy,
};

// How a step that makes or renames a file beside the target ended.
enum class Made {
    kDone,
    kTaken,    // something is at the name already
    kRefused,  // a new file cannot stand in for the target here: the file itself is written
    kFailed,   // anything else, as a full disk: the save fails
};

// Creates the new, empty file at path and opens it for writing in binary, never opening
// anything that is already there (a file, or a link to one). Null on failure, and *made says
// why. kLikeTarget is refused where the folder takes no new file or the file cannot be given all
// that the target has.
std::FILE* CreateNewFile(const char* path, const char* target, NewFile kind, Made* made);

// Opens the existing plain file target for reading and writing in binary, at its start, and
// takes the lock that every save writing a file itself holds, waiting a while for another's.
// Creates nothing, empties nothing, and follows no link at the target's own name.
std::FILE* OpenInPlace(const char* target);

// Cuts the file, flushed, to length bytes.
bool CutFile(std::FILE* file, long length);

// Pushes the bytes already handed to the system for this file down to the disk. True also where
// the file system cannot do that at all.
bool FlushFileToDisk(std::FILE* file);

// Pushes the folder entry of the file at path down to the disk, where the folder allows.
bool FlushFolderToDisk(const char* path);

// Replaces to with from in one step, keeping what to has; kRefused where that cannot be done
// here and nothing was changed. The rename is pushed to the disk where the folder allows.
Made RenameOverFile(const char* from, const char* to);

// Removes the new files beside the target that a crashed save left, once they are a day old:
// plain files only, named exactly as IsBesideName tells. A backup copy stays.
void RemoveLeftoversBeside(const char* target);
