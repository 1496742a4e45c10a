#pragma once
// The control panel as start-up leaves it (created, five profiles handed over, the "Hard" tab
// shown), in a fresh folder with a "Core" folder, for the terminal front end to draw and drive.

#include <gtest/gtest.h>

#include <stdlib.h>

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "panel/dialog_window.h"
#include "platform/own/headless.h"
#include "platform/own/resources.h"
#include "terminal/controller.h"
#include "terminal/view.h"
#include "profiles/ai_setting.h"
#include "profiles/profile_registry.h"
#include "res/program_resources.h"
#include "res/resource.h"
#include "tests/support/test_support.h"

struct CellAt {
    int col = -1, row = -1;
    bool found() const { return row >= 0; }
};

class TerminalTest : public ::testing::Test {
  protected:
    void SetUp() override {
        std::string name = (std::filesystem::temp_directory_path() / "terminal-XXXXXX").string();
        ASSERT_TRUE(mkdtemp(name.data()));
        folder = name;
        previousFolder = std::filesystem::current_path();
        std::filesystem::current_path(folder);
        std::filesystem::create_directory("Core");
        own::ResetLayer();
        UnregisterClassA("DLGCLASS", own::ProgramInstance());
        ProfileRegistry::ClearForTesting();
        own::SetProgramResources(kProgramResFile, kProgramResFileSize);
        window = std::make_unique<DialogWindow>();
        ASSERT_TRUE(window->Create(own::ProgramInstance()));
        for (int i = 0; i < 5; ++i) {
            profiles[i] = std::make_unique<AISetting>(kProfileNames[i]);
            window->AddProfile(profiles[i].get());
        }
        window->Refresh();
        headless::DoEvents();
    }
    void TearDown() override {
        window.reset();
        std::filesystem::current_path(previousFolder);
        std::filesystem::remove_all(folder);
    }

    HWND Dialog() const { return window->hDialog; }
    HWND Item(int id) const { return GetDlgItem(window->hDialog, id); }
    AISetting& Hard() { return *profiles[2]; }

    static terminal::Picture Screen(int cols = 80, int rows = 24) {
        return terminal::Render(cols, rows);
    }
    // The first cell at which the text stands on screen.
    static CellAt Find(const terminal::Picture& picture, const std::string& text) {
        for (int row = 0; row < picture.canvas.rows(); ++row) {
            std::string::size_type col = picture.canvas.Row(row).find(text);
            if (col != std::string::npos)
                return {static_cast<int>(col), row};
        }
        return {};
    }
    // The row on which a control is drawn: that of its middle.
    int RowOf(const terminal::Picture& picture, int id) const {
        headless::WindowInfo info;
        headless::GetWindowInfo(Item(id), &info);
        return picture.Find(Dialog())->layout.Row((info.rect.top + info.rect.bottom) / 2);
    }
    terminal::CellRect CellsOf(const terminal::Picture& picture, HWND control) const {
        headless::WindowInfo info;
        headless::GetWindowInfo(control, &info);
        return picture.Find(Dialog())->layout.Cells(info.rect);
    }

    void Press(terminal::Key key) {
        controller.OnKey(key);
        headless::DoEvents();
    }
    void Click(int col, int row) {
        terminal::Picture picture = Screen();
        controller.OnMouse(picture, terminal::MouseAction::kPress, col, row);
        controller.OnMouse(picture, terminal::MouseAction::kRelease, col, row);
        headless::DoEvents();
    }
    void FocusById(int id) {
        for (int i = 0; i < 20 && GetFocus() != Item(id); ++i)
            Press(terminal::Key::kTab);
        ASSERT_EQ(Item(id), GetFocus());
    }
    int Position(int id) { return static_cast<int>(SendMessageA(Item(id), TBM_GETPOS, 0, 0)); }
    bool Checked(int id) { return SendMessageA(Item(id), BM_GETCHECK, 0, 0) == BST_CHECKED; }

    std::filesystem::path folder;
    std::filesystem::path previousFolder;
    std::unique_ptr<DialogWindow> window;
    std::unique_ptr<AISetting> profiles[5];
    terminal::Controller controller;
};
