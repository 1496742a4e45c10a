#include "platform/own/dialog_template.h"

namespace own {

bool ParseDialogTemplate(const unsigned char*, std::size_t, DialogTemplate*) {
    return false;
}

}  // namespace own
