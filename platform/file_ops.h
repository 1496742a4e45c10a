#pragma once
// The file operations of loading and saving the settings file that the C library lacks: a save
// writes a new file beside the one it replaces and renames it over that one, keeping what the file
// is (where a link points, its permissions, owner and attributes).

#include <cstddef>
#include <cstdio>

// Room for any path these operations give back, terminator included.
inline constexpr std::size_t kFilePathSize = 4096;

// Opens a file for reading in binary. Null when it cannot be opened or is not a plain file (a
// folder, for instance).
std::FILE* OpenForReading(const char* path);

// The file that saving to path replaces: links are followed to their final target, and a link to
// nothing names the file it points to. False when that file may not be replaced: it is read-only
// (no write access, or no write permission for anyone), it is not a plain file, or the links run
// too deep.
bool FindSaveTarget(const char* path, char (&target)[kFilePathSize]);

// Creates a new, empty file in the target's folder under a fresh name, never opening anything that
// is already there, and opens it for writing in binary. It gets the target's permissions and
// attributes (and owner, where the process may), or those a new file gets when there is no target.
// Its name goes to temporary. Null on failure.
std::FILE* CreateFileBeside(const char* target, char (&temporary)[kFilePathSize]);

// Pushes the bytes already handed to the system for this file down to the disk.
bool FlushFileToDisk(std::FILE* file);

// Renames from over to in one step, then pushes the rename itself to the disk.
bool RenameOverFile(const char* from, const char* to);
