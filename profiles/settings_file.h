#pragma once
// Loading and saving every profile of ProfileRegistry as one settings file.

#include <cstddef>
#include <cstdio>

#include "platform/file_ops.h"

// The program's settings file and its defaults, relative to the program's folder, which start-up
// makes the current one.
inline constexpr const char* kSettingsFilePath = "Core/AIConfig.ai";
inline constexpr const char* kDefaultsFilePath = "Core/AIDefaultConfig.ai";

// Reads every registered profile's block from the file. False only when the file cannot be
// opened; a missing or unfinished block is reported and ends the load with true.
bool LoadAISettings(const char* path);

// Writes every registered profile's block to the file, keeping what the file is: a link stays a
// link and the file it points to is written, every other name of the file sees the new contents,
// and permissions, owner and attributes are kept. Until the new settings are whole on the disk,
// the old ones are: a new file is written beside the file and renamed over it; where a new file
// cannot stand in for the old one (other names, a folder that takes no new file, an owner or
// attributes that it cannot have), the file itself is written, with a backup copy of the old
// contents beside it meanwhile, and the old contents are put back if that fails. A read-only
// file is not written. False, after a message, when the file does not hold the new settings: it
// then holds the old ones.
bool SaveAISettings(const char* path);

// The file steps of a save. Tests swap in steps that fail on purpose.
struct SaveFileSteps {
    // A new file at path, beside the target (CreateNewFile).
    std::FILE* (*create)(const char* path, const char* target, NewFile kind, Made* made);
    std::FILE* (*openInPlace)(const char* target);  // the target itself, locked
    // Hands size bytes to the stream; how many it took.
    std::size_t (*write)(const char* bytes, std::size_t size, std::FILE* file);
    bool (*flush)(std::FILE* file);  // hand buffered bytes to the system
    bool (*cut)(std::FILE* file, long length);
    bool (*sync)(std::FILE* file);  // push them to the disk
    bool (*syncFolder)(const char* path);
    bool (*close)(std::FILE* file);
    Made (*replace)(const char* from, const char* to);  // rename over the target in one step
    void (*remove)(const char* path);
};
const SaveFileSteps& RealSaveFileSteps();
// Null restores the real steps.
void SetSaveFileSteps(const SaveFileSteps* steps);
