#pragma once
// Loading and saving every profile of ProfileRegistry as one settings file.

#include <cstdio>

#include "platform/file_ops.h"

// Reads every registered profile's block from the file. False only when the file cannot be
// opened; a missing or unfinished block is reported and ends the load with true.
bool LoadAISettings(const char* path);

// Writes every registered profile's block to the file, replacing it in one step so that a
// failed save leaves the previous file as it was. The file stays what it was: a link stays a link
// and the file it points to is written; permissions, owner and attributes are kept. A read-only
// file is not replaced. False, after a message, on any failure.
bool SaveAISettings(const char* path);

// The file steps of a save. Tests swap in steps that fail on purpose.
struct SaveFileSteps {
    // A new file beside the target, for writing, and its name.
    std::FILE* (*open)(const char* target, char (&temporary)[kFilePathSize]);
    bool (*flush)(std::FILE* file);  // hand buffered bytes to the system
    bool (*sync)(std::FILE* file);   // push them to the disk
    bool (*close)(std::FILE* file);
    bool (*replace)(const char* from, const char* to);  // rename over the target in one step
    void (*remove)(const char* path);
};
const SaveFileSteps& RealSaveFileSteps();
// Null restores the real steps.
void SetSaveFileSteps(const SaveFileSteps* steps);
