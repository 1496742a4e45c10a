#pragma once
// A top-level parent window for control tests, whose answers to notifications a test can set,
// and the tear-down that leaves no window behind for the next test.

#include <gtest/gtest.h>

#include <functional>

#include "msg_sequence.h"
#include "platform/own/headless.h"
#include "tests/support/test_support.h"

class LayerTest : public ::testing::Test {
  public:
    // What the parent's procedure does with a message before its default processing; a test sets
    // it to answer notifications, veto tab changes or re-enter.
    static std::function<bool(HWND, UINT, WPARAM, LPARAM, LRESULT*)> parentHook;

  protected:
    void SetUp() override;
    void TearDown() override;

    // A visible captioned window at (100, 100), 400 x 300, active.
    HWND CreateParent();
    HWND CreateControl(const char* cls, const char* text, DWORD style, int x, int y, int width,
                       int height, int id, HWND parentWnd);

    // The program's resources, and "DLGCLASS" with this procedure, as the panel registers it;
    // TearDown unregisters it.
    void RegisterDialogClass(WNDPROC procedure);

    support::MessageRecorder recorder;

  private:
    bool dialogClass_ = false;
};
