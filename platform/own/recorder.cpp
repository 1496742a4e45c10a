// The message recorder of the headless driver: what the watched windows' procedures received.
#include "platform/own/recorder.h"

#include <algorithm>

#include "platform/own/headless.h"

namespace {
headless::MessageRecorder* g_recorder = nullptr;
}

namespace headless {

MessageRecorder::MessageRecorder() : previous_(g_recorder) {
    g_recorder = this;
}
MessageRecorder::~MessageRecorder() {
    g_recorder = previous_;
}

void MessageRecorder::Watch(HWND hwnd) {
    watched_.push_back(hwnd);
}

bool MessageRecorder::Watches(HWND hwnd) const {
    return all_ || std::find(watched_.begin(), watched_.end(), hwnd) != watched_.end();
}

void MessageRecorder::Record(const RecordedMessage& message) {
    messages_.push_back(message);
}

}  // namespace headless

namespace own {

void RecordMessage(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, bool posted) {
    if (!g_recorder || !g_recorder->Watches(hwnd))
        return;
    headless::RecordedMessage m{
        hwnd, message, wParam, lParam, posted ? headless::kPosted : headless::kSent, 0, 0};
    if (message == WM_NOTIFY && lParam) {
        const auto* header = reinterpret_cast<const NMHDR*>(lParam);
        m.notifyCode = header->code;
        if (header->code == NM_CUSTOMDRAW) {
            m.drawStage = reinterpret_cast<const NMCUSTOMDRAW*>(lParam)->dwDrawStage;
        }
    }
    g_recorder->Record(m);
}

}  // namespace own
