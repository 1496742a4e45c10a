#pragma once
// A control panel created on the own layer for one test, with its five profiles handed over as
// start-up does, but without a message loop: each test sends the messages it means.

#include <gtest/gtest.h>

#include <stdlib.h>

#include <filesystem>
#include <memory>
#include <string>

#include "panel/dialog_window.h"
#include "platform/own/headless.h"
#include "platform/own/resources.h"
#include "profiles/ai_setting.h"
#include "profiles/profile_registry.h"
#include "res/program_resources.h"
#include "res/resource.h"
#include "tests/support/test_support.h"

class PanelTest : public ::testing::Test {
  protected:
    void SetUp() override {
        // Apply and Reset work on files relative to the current folder.
        std::string made = (std::filesystem::temp_directory_path() / "panel-XXXXXX").string();
        ASSERT_TRUE(mkdtemp(made.data()));
        folder = made;
        previousFolder = std::filesystem::current_path();
        std::filesystem::current_path(folder);
        own::ResetLayer();
        UnregisterClassA("DLGCLASS", own::ProgramInstance());
        ProfileRegistry::ClearForTesting();
        own::SetProgramResources(kProgramResFile, kProgramResFileSize);
        window = std::make_unique<DialogWindow>();
    }
    void TearDown() override {
        window.reset();
        std::filesystem::current_path(previousFolder);
        std::filesystem::remove_all(folder);
    }

    bool Create() { return window->Create(own::ProgramInstance()); }

    // Create, then the five profiles handed over as start-up does, without a refresh.
    void CreateWithProfiles() {
        ASSERT_TRUE(Create());
        for (int i = 0; i < 5; ++i) {
            profiles[i] = std::make_unique<AISetting>(kProfileNames[i]);
            window->AddProfile(profiles[i].get());
        }
    }

    HWND Item(int id) { return GetDlgItem(window->hDialog, id); }
    std::string Text(int id) {
        char text[64] = "";
        GetWindowTextA(Item(id), text, sizeof(text));
        return text;
    }
    int SliderPosition(int id) {
        return static_cast<int>(SendMessageA(Item(id), TBM_GETPOS, 0, 0));
    }
    bool Checked(int id) { return SendMessageA(Item(id), BM_GETCHECK, 0, 0) == BST_CHECKED; }
    void SelectTab(int index) { SendMessageA(window->hTabControl, TCM_SETCURSEL, index, 0); }

    LRESULT Send(UINT message, WPARAM wParam, LPARAM lParam) {
        return SendMessageA(window->hDialog, message, wParam, lParam);
    }
    LRESULT Notify(int id, UINT code) {
        NMHDR header{Item(id), static_cast<UINT_PTR>(id), code};
        return Send(WM_NOTIFY, static_cast<WPARAM>(id), reinterpret_cast<LPARAM>(&header));
    }
    LRESULT Command(int id, WORD code = BN_CLICKED) {
        return Send(WM_COMMAND, MAKEWPARAM(id, code), reinterpret_cast<LPARAM>(Item(id)));
    }

    std::filesystem::path folder;
    std::filesystem::path previousFolder;
    std::unique_ptr<DialogWindow> window;
    std::unique_ptr<AISetting> profiles[5];
    support::AutoAnswerBoxes boxes;
};
