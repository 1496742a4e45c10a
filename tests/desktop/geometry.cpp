// The dialog's rectangles as the own layer has them, in the Wine probe's "panel" and "control"
// lines (up to a control's rectangle), for the picture check to hold beside the Windows program's.
// The program runs in FOLDER and is closed through its close box at its first wait.
//
//   desktop_geometry FOLDER
#include <cstdio>
#include <string>
#include <utility>

#include "platform/own/headless.h"
#include "platform/own/resources.h"
#include "res/program_resources.h"
#include "tests/support/test_support.h"

namespace {

class PrintAndClose : public headless::InputSource {
  public:
    bool ProvideInput() override {
        HWND dialog = nullptr;
        for (const headless::WindowInfo& w : headless::Windows()) {
            bool isDialog = w.depth == 0 && w.className == "DLGCLASS";
            if (done_ || (!isDialog && (!dialog || w.parent != dialog)))
                continue;
            dialog = isDialog ? w.hwnd : dialog;
            if (isDialog) {
                std::printf("panel");
                for (const RECT& r : {w.rect, w.client})
                    std::printf(" %ld %ld %ld %ld", long{r.left}, long{r.top}, long{r.right},
                                long{r.bottom});
                std::printf("\n");
            } else {
                std::printf("control \"%s\" %d %ld %ld %ld %ld\n", w.className.c_str(), w.id,
                            long{w.rect.left}, long{w.rect.top}, long{w.rect.right},
                            long{w.rect.bottom});
            }
        }
        headless::CloseWindow(dialog);
        return !std::exchange(done_, true);
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
