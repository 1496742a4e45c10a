#pragma once
// The file operations of loading and saving the settings file that the C library lacks. A save
// either writes a new file beside the one it replaces and renames it over that one, or, where that
// would change what the file is or cannot be done, writes the file itself. Either way it keeps
// what the file is: where a link points, its other names, its permissions, owner and attributes.

#include <cctype>
#include <cstddef>
#include <cstdio>
#include <cstring>

// Room for any path these operations give back, terminator included.
inline constexpr std::size_t kFilePathSize = 4096;

// A save's files beside the target are named for it: the target's name, a dot and this many
// letters or digits ("AIConfig.ai.x7Qa2B"). What a crash leaves of them is removed a day later.
inline constexpr std::size_t kBesideSuffixLength = 6;

// Whether entry, a name in the target's folder, is such a file beside the target named name.
inline bool IsBesideName(const char* entry, const char* name) {
    std::size_t length = std::strlen(name);
    if (std::strncmp(entry, name, length) != 0 || entry[length] != '.' ||
        std::strlen(entry + length + 1) != kBesideSuffixLength) {
        return false;
    }
    for (const char* c = entry + length + 1; *c; ++c) {
        if (!std::isalnum(static_cast<unsigned char>(*c))) {
            return false;
        }
    }
    return true;
}

// Opens a file for reading in binary. Null when it cannot be opened or is not a plain file (a
// folder, for instance).
std::FILE* OpenForReading(const char* path);

// The file that saving to path replaces: links are followed to their final target, and a link to
// nothing names the file it points to. False when that file may not be replaced: it is read-only
// (no write access, or no write permission for anyone), it is not a plain file, or the links run
// too deep.
bool FindSaveTarget(const char* path, char (&target)[kFilePathSize]);

// True when the target has more names than the one a save reaches it by (hard links; on Windows
// also a link standing at that name): a new file renamed over it would leave the other names with
// the old contents.
bool HasOtherNames(const char* target);

// How a new file beside the target starts out.
enum class NewFile {
    // The target's permissions, owner, group and attributes, or those a new file gets when there
    // is no target; the creation fails where the process may not give it all of these.
    kLikeTarget,
    // This user's own file, for a copy of the old contents that nobody else needs: on POSIX, no
    // one else may read it; on Windows it has what the folder gives every new file.
    kCopy,
};

// Creates the new, empty file at path and opens it for writing in binary, never opening
// anything that is already there (a file, or a link to one). Null on failure; *taken then tells
// whether something was at path.
std::FILE* CreateNewFile(const char* path, const char* target, NewFile kind, bool* taken);

// Opens the existing plain file target for writing in binary and empties it. Creates nothing and
// follows no link at the target's own name.
std::FILE* OpenInPlace(const char* target);

// Pushes the bytes already handed to the system for this file down to the disk. True also where
// the file system cannot do that at all.
bool FlushFileToDisk(std::FILE* file);

// Renames from over to in one step. True once renamed; the rename is then pushed to the disk
// where the folder allows.
bool RenameOverFile(const char* from, const char* to);

// Removes the files beside the target that a crashed save left, once they are a day old: plain
// files only, named exactly as kBesideSuffixLength tells.
void RemoveLeftoversBeside(const char* target);
