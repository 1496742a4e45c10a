#pragma once
// Expected message sequences as data, in the manner of Wine's message tests: each entry names a
// message, whom it reached (the control or its parent) and which of its values to compare.

#include <string>
#include <vector>

#include "platform/own/headless.h"
#include "tests/support/test_support.h"

namespace seq {

enum Flags : unsigned {
    sent = 0x1,
    posted = 0x2,
    parent = 0x4,    // reached the parent (otherwise: the control)
    wparam = 0x8,    // compare wParam
    lparam = 0x10,   // compare lParam
    code = 0x20,     // WM_NOTIFY: compare the notification code with lParam
    stage = 0x40,    // WM_NOTIFY with NM_CUSTOMDRAW: compare the draw stage with lParam
    optional = 0x80  // may be missing
};

struct Message {
    UINT message;
    unsigned flags;
    WPARAM wParam = 0;
    LPARAM lParam = 0;
};

// Messages that the comparison skips unless a table names them: hit-testing, colours, paint.
extern const std::vector<UINT> kNoise;

// Compares what the control and the parent received (in order; other windows are left out) with
// the table. Returns an empty string on a match, else a listing of both.
std::string Compare(const std::vector<support::RecordedMessage>& got, HWND control, HWND parentWnd,
                    const std::vector<Message>& expected,
                    const std::vector<UINT>& ignored = kNoise);

}  // namespace seq

#define EXPECT_SEQUENCE(recorder, control, parentWnd, ...)                        \
    do {                                                                          \
        std::string seq_diff_ =                                                   \
            seq::Compare((recorder).messages(), control, parentWnd, __VA_ARGS__); \
        EXPECT_TRUE(seq_diff_.empty()) << seq_diff_;                              \
        (recorder).Clear();                                                       \
    } while (0)
