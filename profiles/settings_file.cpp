#include "profiles/settings_file.h"

#include <cstdio>
#include <ctime>

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

const SaveFileSteps kRealSteps = {CreateNewFile, OpenInPlace,    Flush, FlushFileToDisk,
                                  Close,         RenameOverFile, Remove};
const SaveFileSteps* g_steps = &kRealSteps;

// Names beside the target drawn until a free one comes: others may have taken a few.
constexpr int kNameAttempts = 100;

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

// The next of a sequence that differs from run to run. Names need not be hard to guess, only
// unlikely to meet: a name in use is passed by.
unsigned Draw() {
    static unsigned state = 0;
    if (state == 0) {
        state =
            static_cast<unsigned>(std::time(nullptr)) ^ static_cast<unsigned>(std::clock() << 16);
    }
    state = state * 1103515245u + 12345u;
    return state >> 8;
}

// A fresh name beside the target, as RemoveLeftoversBeside knows them. False when too long.
bool DrawName(const char* target, char (&name)[kFilePathSize]) {
    static const char kLetters[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
    char suffix[kBesideSuffixLength + 1] = {};
    for (std::size_t i = 0; i < kBesideSuffixLength; ++i) {
        suffix[i] = kLetters[Draw() % (sizeof kLetters - 1)];
    }
    return std::snprintf(name, sizeof name, "%s.%s", target, suffix) < int{sizeof name};
}

// Creates a new file beside the target under a fresh name, passing by names already in use.
std::FILE* CreateBeside(const char* target, NewFile kind, char (&name)[kFilePathSize]) {
    for (int attempt = 0; attempt < kNameAttempts; ++attempt) {
        bool taken = false;
        std::FILE* file =
            DrawName(target, name) ? g_steps->create(name, target, kind, &taken) : nullptr;
        if (file || !taken) {
            return file;
        }
    }
    return nullptr;
}

// Pushes what was written to the disk; closes the file in any case.
bool Finish(std::FILE* file) {
    bool written = !std::ferror(file) && g_steps->flush(file) && g_steps->sync(file);
    return g_steps->close(file) && written;
}

bool WriteAllProfiles(std::FILE* file) {
    for (std::size_t i = 0; i < ProfileRegistry::Count(); ++i) {
        ProfileRegistry::At(i)->Write(file);
    }
    return Finish(file);
}

// Copies all of from into to and finishes to; closes both.
bool CopyAll(std::FILE* from, std::FILE* to) {
    char buffer[4096];
    std::size_t n = 0;
    while ((n = std::fread(buffer, 1, sizeof buffer, from)) > 0 &&
           std::fwrite(buffer, 1, n, to) == n) {
    }
    bool read = std::feof(from) && !std::ferror(from);
    std::fclose(from);
    return Finish(to) && read;
}

// A new file beside the target renamed over it: the target is either the old file or the new
// one, never a part of either.
bool SaveByRenaming(const char* target) {
    char temporary[kFilePathSize];
    std::FILE* file = CreateBeside(target, NewFile::kLikeTarget, temporary);
    if (!file) {
        return false;
    }
    if (WriteAllProfiles(file) && g_steps->replace(temporary, target)) {
        return true;
    }
    g_steps->remove(temporary);
    return false;
}

// A copy of the target's contents beside it, on the disk. False where none can be made.
bool CopyBeside(const char* target, char (&copy)[kFilePathSize]) {
    std::FILE* from = OpenForReading(target);
    std::FILE* to = from ? CreateBeside(target, NewFile::kCopy, copy) : nullptr;
    if (!to) {
        if (from) {
            std::fclose(from);
        }
        return false;
    }
    if (CopyAll(from, to)) {
        return true;
    }
    g_steps->remove(copy);
    return false;
}

// Writes the copy's contents back into the target itself.
bool RestoreFrom(const char* copy, const char* target) {
    std::FILE* from = OpenForReading(copy);
    std::FILE* to = from ? g_steps->openInPlace(target) : nullptr;
    if (!to) {
        if (from) {
            std::fclose(from);
        }
        return false;
    }
    return CopyAll(from, to);
}

// The target itself emptied and written, with a copy of its old contents beside it meanwhile
// where the folder allows: a crash in between leaves that copy, or a file that the next load
// reports as malformed. A write that fails is undone from the copy, which stays where even that
// fails.
bool SaveInPlace(const char* target) {
    char copy[kFilePathSize];
    bool copied = CopyBeside(target, copy);
    std::FILE* file = g_steps->openInPlace(target);
    bool saved = file && WriteAllProfiles(file);
    if (copied && (saved || !file || RestoreFrom(copy, target))) {
        g_steps->remove(copy);
    }
    return saved;
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
    char target[kFilePathSize];
    bool found = FindSaveTarget(path, target);
    if (found) {
        RemoveLeftoversBeside(target);
    }
    // Renaming replaces the file in one step; where that would part the file from its other
    // names, or cannot be done (the folder takes no new file, the owner cannot be kept), the
    // file itself is written.
    bool saved =
        found && ((!HasOtherNames(target) && SaveByRenaming(target)) || SaveInPlace(target));
    if (!saved) {
        ShowError("File error!\nCan't save AI settings.");
    }
    return saved;
}
