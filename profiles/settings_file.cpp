#include "profiles/settings_file.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>

#include "platform/platform.h"
#include "profiles/ai_setting.h"
#include "profiles/profile_registry.h"
#include "profiles/text_input.h"

namespace {

void ShowError(const char* text) {
    MessageBoxA(nullptr, text, "Error", MB_OK);
}

std::size_t Write(const char* bytes, std::size_t size, std::FILE* file) {
    return std::fwrite(bytes, 1, size, file);
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

const SaveFileSteps kRealSteps = {
    CreateNewFile,   OpenInPlace,       Write, Flush,          CutFile,
    FlushFileToDisk, FlushFolderToDisk, Close, RenameOverFile, Remove};
const SaveFileSteps* g_steps = &kRealSteps;

// Names beside the target drawn until a free one comes: others may have taken a few.
constexpr int kNameAttempts = 100;
// Backup copies that earlier saves could not remove are passed by, up to this many.
constexpr int kBackupNumbers = 9;

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

// Every profile's block, one after the other, as the file is to hold them (to be freed); null
// where memory runs out.
char* WriteAllProfiles(std::size_t* size) {
    std::size_t count = ProfileRegistry::Count();
    char* text = static_cast<char*>(std::malloc(count * AISetting::kBlockRoom + 1));
    *size = 0;
    for (std::size_t i = 0; text && i < count; ++i) {
        char block[AISetting::kBlockRoom];
        std::size_t length = ProfileRegistry::At(i)->Write(block);
        std::memcpy(text + *size, block, length);
        *size += length;
    }
    return text;
}

// All of a file's bytes from where it stands (to be freed); null where they cannot be read.
char* ReadAll(std::FILE* file, std::size_t* size) {
    char* bytes = nullptr;
    std::size_t room = 0, read = 0;
    *size = 0;
    do {
        *size += read;
        if (*size == room) {
            room = room * 2 + 4096;
            char* more = static_cast<char*>(std::realloc(bytes, room));
            if (!more) {
                std::free(bytes);
                return nullptr;
            }
            bytes = more;
        }
        read = std::fread(bytes + *size, 1, room - *size, file);
    } while (read > 0);
    if (std::ferror(file)) {
        std::free(bytes);
        return nullptr;
    }
    return bytes;
}

// The next of a sequence that differs from run to run, 24 bits. Names need not be hard to guess,
// only unlikely to meet: a name in use is passed by.
unsigned Draw() {
    static unsigned state = 0;
    if (state == 0) {
        state =
            static_cast<unsigned>(std::time(nullptr)) ^ static_cast<unsigned>(std::clock() << 16);
    }
    state = state * 1103515245u + 12345u;
    return state >> 8;
}

// A fresh name beside the target, as RemoveLeftoversBeside knows them: a draw as six hexadecimal
// digits, which stay apart where a file system ignores case. False when too long.
bool DrawName(const char* target, char (&name)[kFilePathSize]) {
    static_assert(kBesideSuffixLength == 6, "a draw's 24 bits in hexadecimal");
    return std::snprintf(name, sizeof name, "%s%s%06X", target, kNewFileMark, Draw()) <
           int{sizeof name};
}

// Creates the new file beside the target under a fresh name, passing by names already in use.
// A name too long for the folder refuses a new file as a folder without room for one does.
std::FILE* CreateBeside(const char* target, char (&name)[kFilePathSize], Made* made) {
    for (int attempt = 0; attempt < kNameAttempts; ++attempt) {
        if (!DrawName(target, name)) {
            *made = Made::kRefused;
            return nullptr;
        }
        std::FILE* file = g_steps->create(name, target, NewFile::kLikeTarget, made);
        if (*made != Made::kTaken) {
            return file;
        }
    }
    *made = Made::kFailed;
    return nullptr;
}

// Writes the bytes into a new file, pushes them to the disk and closes it.
bool WriteNewFile(std::FILE* file, const char* bytes, std::size_t size) {
    bool written =
        g_steps->write(bytes, size, file) == size && g_steps->flush(file) && g_steps->sync(file);
    return g_steps->close(file) && written;
}

// A new file beside the target renamed over it: the target is either the old file or the new
// one, never a part of either. kRefused where a new file cannot stand in for the target.
Made SaveByRenaming(const char* target, const char* bytes, std::size_t size) {
    char temporary[kFilePathSize];
    Made made = Made::kFailed;
    std::FILE* file = CreateBeside(target, temporary, &made);
    if (!file) {
        return made;
    }
    made = WriteNewFile(file, bytes, size) ? g_steps->replace(temporary, target) : Made::kFailed;
    if (made != Made::kDone) {
        g_steps->remove(temporary);
    }
    return made;
}

// A backup copy of the old contents beside the target, on the disk with its folder entry, under
// the first backup name that is free: an earlier copy may hold the only good settings. False
// where none can be made.
bool BackUp(const char* target, const char* bytes, std::size_t size, char (&copy)[kFilePathSize]) {
    for (int number = 1; number <= kBackupNumbers; ++number) {
        int length = number == 1
                         ? std::snprintf(copy, sizeof copy, "%s%s", target, kBackupMark)
                         : std::snprintf(copy, sizeof copy, "%s%s-%d", target, kBackupMark, number);
        Made made = Made::kFailed;
        std::FILE* file = length < int{sizeof copy}
                              ? g_steps->create(copy, target, NewFile::kCopy, &made)
                              : nullptr;
        if (file) {
            if (WriteNewFile(file, bytes, size) && g_steps->syncFolder(copy)) {
                return true;
            }
            g_steps->remove(copy);
        }
        if (made != Made::kTaken) {
            return false;
        }
    }
    return false;
}

// Writes the bytes over the file's from its start and cuts it to their length after: the file
// is never shorter than what it holds meanwhile.
bool Overwrite(std::FILE* file, const char* bytes, std::size_t size) {
    // A write that failed before leaves the error flag set; not every C library writes on past it.
    std::clearerr(file);
    return std::fseek(file, 0, SEEK_SET) == 0 && g_steps->write(bytes, size, file) == size &&
           g_steps->flush(file) && g_steps->cut(file, static_cast<long>(size)) &&
           g_steps->sync(file);
}

// The target itself written, under its lock, while its old contents are kept in memory and, where
// the folder allows, in a backup copy beside it. A write that fails is undone from memory; the copy
// stays only where even that fails. Only a crash while a file without a copy is written can leave
// it part old and part new.
bool SaveInPlace(const char* target, const char* bytes, std::size_t size) {
    std::FILE* file = g_steps->openInPlace(target);
    if (!file) {
        return false;
    }
    // Unbuffered, so that a write that failed leaves nothing behind to be written later.
    std::setvbuf(file, nullptr, _IONBF, 0);
    std::size_t oldSize = 0;
    char* old = ReadAll(file, &oldSize);
    char copy[kFilePathSize];
    bool copied = old && BackUp(target, old, oldSize, copy);
    bool saved = old && Overwrite(file, bytes, size);
    bool whole = !old || saved || Overwrite(file, old, oldSize);
    if (copied && whole) {
        g_steps->remove(copy);
    }
    std::free(old);
    // Everything is on the disk already; closing lets the next save in.
    g_steps->close(file);
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
    std::size_t size = 0;
    char* bytes = FindSaveTarget(path, target) ? WriteAllProfiles(&size) : nullptr;
    bool saved = false;
    if (bytes) {
        RemoveLeftoversBeside(target);
        // Renaming replaces the file in one step; where that would part the file from its other
        // names, or a new file cannot stand in for it, the file itself is written. A new file
        // that could not be written (a full disk) is no reason to: the save fails.
        Made made = HasOtherNames(target) ? Made::kRefused : SaveByRenaming(target, bytes, size);
        saved = made == Made::kDone || (made == Made::kRefused && SaveInPlace(target, bytes, size));
        std::free(bytes);
    }
    if (!saved) {
        ShowError("File error!\nCan't save AI settings.");
    }
    return saved;
}
