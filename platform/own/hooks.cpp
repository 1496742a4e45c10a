// The return to the layer's state at start, which reaches into every part of it.
#include "platform/own/hooks.h"

#include "platform/own/dialog.h"
#include "platform/own/focus.h"
#include "platform/own/message_box.h"
#include "platform/own/queue.h"
#include "platform/own/window.h"

namespace own {

void ResetLayer() {
    DestroyAllWindows();
    ResetMessageQueue();
    ForgetInputState();
    ForgetDialogs();
    ForgetBoxes();
}

}  // namespace own
