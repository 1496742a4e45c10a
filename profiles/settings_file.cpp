#include "profiles/settings_file.h"

#include <cstdio>

#include "platform/platform.h"
#include "profiles/ai_setting.h"
#include "profiles/profile_registry.h"
#include "profiles/text_input.h"

namespace {

void ShowError(const char* text) {
    MessageBoxA(nullptr, text, "Error", MB_OK);
}

bool Flush(std::FILE* file) {
    return std::fflush(file) == 0;
}
bool Close(std::FILE* file) {
    return std::fclose(file) == 0;
}
void Remove(const char* path) {
    std::remove(path);
}

const SaveFileSteps kRealSteps = {CreateFileBeside, Flush, FlushFileToDisk, Close,
                                  RenameOverFile,   Remove};
const SaveFileSteps* g_steps = &kRealSteps;

// Reads every profile's block, each search starting at the file's first line.
// False at the first profile whose block is missing or unfinished, or when the file cannot be
// read from its start again.
bool ReadAllProfiles(std::FILE* file) {
    block::TextInput input(file);
    for (std::size_t i = 0; i < ProfileRegistry::Count(); ++i) {
        if (!input.Rewind() || !ProfileRegistry::At(i)->Read(input)) {
            return false;
        }
    }
    return true;
}

// Writes every profile's block and pushes the file to disk; closes it in any case.
bool WriteAllProfiles(std::FILE* file) {
    for (std::size_t i = 0; i < ProfileRegistry::Count(); ++i) {
        ProfileRegistry::At(i)->Write(file);
    }
    bool written = !std::ferror(file) && g_steps->flush(file) && g_steps->sync(file);
    return g_steps->close(file) && written;
}

}  // namespace

const SaveFileSteps& RealSaveFileSteps() {
    return kRealSteps;
}
void SetSaveFileSteps(const SaveFileSteps* steps) {
    g_steps = steps ? steps : &kRealSteps;
}

bool LoadAISettings(const char* path) {
    // In binary: the bytes are the same on every platform, and no byte ends the input early.
    std::FILE* file = OpenForReading(path);
    if (!file) {
        ShowError("File error!\nUsing default settings now.");
        return false;
    }
    bool complete = ReadAllProfiles(file);
    // Closed before any message: the panel stays live under the box and may save meanwhile.
    std::fclose(file);
    if (!complete) {
        ShowError("Invalid file syntax!\nUsing default settings now.");
    }
    return true;
}

bool SaveAISettings(const char* path) {
    // Written beside the file that the path finally names and renamed over it, so that file is
    // either the old one or the new one, never a part of either.
    char target[kFilePathSize];
    char temporary[kFilePathSize];
    std::FILE* file = FindSaveTarget(path, target) ? g_steps->open(target, temporary) : nullptr;
    bool saved = file && WriteAllProfiles(file) && g_steps->replace(temporary, target);
    if (!saved) {
        if (file) {
            g_steps->remove(temporary);
        }
        ShowError("File error!\nCan't save AI settings.");
    }
    return saved;
}
