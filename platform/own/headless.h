#pragma once
// The headless driver of the own layer: what tests use to play a person at the keyboard and screen.

#include <string>
#include <vector>

#include "platform/platform.h"

namespace headless {

struct ShownBox {
    HWND owner;
    std::string text;
    std::string title;
    UINT type;
};

// While one of these lives, every message box is recorded and dismissed with OK at once.
class AutoAnswerBoxes {
public:
    AutoAnswerBoxes();
    virtual ~AutoAnswerBoxes();
    AutoAnswerBoxes(const AutoAnswerBoxes&) = delete;
    AutoAnswerBoxes& operator=(const AutoAnswerBoxes&) = delete;

    const std::vector<ShownBox>& boxes() const { return boxes_; }
    void Clear() { boxes_.clear(); }

    void Record(const ShownBox& box) { boxes_.push_back(box); }

private:
    AutoAnswerBoxes* previous_;
    std::vector<ShownBox> boxes_;
};

}  // namespace headless
