// The dialog's rectangles as the own layer has them, in the lines of the Wine probe's "geometry"
// command, so that the picture check can hold them beside the Windows program's. The program
// runs in FOLDER and is closed through its close box at its first wait.
//
//   desktop_geometry FOLDER
#include <cstdio>
#include <string>

#include "platform/own/headless.h"
#include "platform/own/resources.h"
#include "res/program_resources.h"
#include "tests/support/test_support.h"

namespace {

void Print(const char* name, const headless::WindowInfo& w) {
    std::printf("%s %ld %ld %ld %ld \"%s\"\n", name, static_cast<long>(w.rect.left),
                static_cast<long>(w.rect.top), static_cast<long>(w.rect.right),
                static_cast<long>(w.rect.bottom), w.text.c_str());
}

class PrintAndClose : public headless::InputSource {
  public:
    bool ProvideInput() override {
        if (done_)
            return false;
        done_ = true;
        HWND dialog = nullptr;
        for (const headless::WindowInfo& w : headless::Windows()) {
            if (w.depth == 0 && w.className == "DLGCLASS") {
                dialog = w.hwnd;
                Print("window", w);
            } else if (dialog && w.parent == dialog) {
                Print((w.className + " " + std::to_string(w.id)).c_str(), w);
            }
        }
        headless::CloseWindow(dialog);
        return true;
    }

  private:
    bool done_ = false;
};

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: desktop_geometry FOLDER\n");
        return 2;
    }
    support::SetModulePathForTesting(std::string(argv[1]) + "/AIControlPanel");
    own::SetProgramResources(kProgramResFile, kProgramResFileSize);
    PrintAndClose input;
    headless::SetInputSource(&input);
    char commandLine[] = "";
    return WinMain(own::ProgramInstance(), nullptr, commandLine, SW_SHOWNORMAL) == 1 ? 0 : 1;
}
