// The program's entry: work in the program's own folder, build the panel and the five profiles,
// load the settings file, show the selected profile, and serve messages until told to quit.
#include <cstring>
#include <initializer_list>

#include "panel/dialog_window.h"
#include "platform/platform.h"
#include "profiles/ai_setting.h"
#include "profiles/settings_file.h"

namespace {

// Turns the program file's path into its folder's, in place. False when there is no folder part.
bool CutToFolder(char* path) {
    char* separator = std::strrchr(path, kModulePathSeparator);
    if (!separator) {
        return false;
    }
    // A root folder keeps its separator: a bare "C:" would name the drive's current folder.
    bool root = separator == path || separator[-1] == ':';
    separator[root ? 1 : 0] = '\0';
    return true;
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    char path[256];
    DWORD length = GetModuleFileNameA(instance, path, sizeof(path));
    // A path that fills the buffer may have been cut short, and its folder would be another one.
    if (length == 0 || length >= sizeof(path)) {
        return 0;
    }
    path[length] = '\0';
    if (!CutToFolder(path)) {
        return 0;
    }
    // If the change fails the program goes on in the folder it inherited.
    SetCurrentDirectoryA(path);

    DialogWindow window;
    if (!window.Create(instance)) {
        return 0;
    }
    AISetting easy(kProfileNames[0]);
    AISetting standard(kProfileNames[1]);
    AISetting hard(kProfileNames[2]);
    AISetting harder(kProfileNames[3]);
    AISetting insane(kProfileNames[4]);
    // A missing or malformed file has been reported; the profiles keep what they hold.
    LoadAISettings(kSettingsFilePath);
    for (AISetting* profile : {&easy, &standard, &hard, &harder, &insane}) {
        window.AddProfile(profile);
    }
    window.Refresh();

    while (window.PumpMessage()) {
    }
    return 1;
}
