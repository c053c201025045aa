// A main window started as the program starts it, in the test's own process, over made-up shell
// windows; message boxes are answered, and an options dialog that opens is closed unchanged.
#pragma once
#include "app/form_main.h"
#include "tests/support/fake_desktop.h"
#include "tests/support/message_boxes.h"
#include "tests/support/temp_folder.h"

#include <gtest/gtest.h>

#include <atomic>
#include <memory>

namespace test {

class MainWindowTest : public ::testing::Test {
  protected:
    void SetUp() override;
    void TearDown() override;
    // Switches the tab as a click on it does.
    void SelectTab(int index);
    bool IconsShown() const { return shell.ViewVisible(); }
    std::wstring PictureFolder() const { return form->Places().PictureFolder; }
    // Where the window keeps its files: all in the test's folder.
    core::ProgramPlaces Places() const;

    TempFolder temp;
    FakeDesktop shell{FakeDesktop::Layout::ViewUnderProgman};
    std::atomic<int> optionsDialogs{0}, otherDialogs{0};
    // How the other dialogs (the shell's questions) are answered.
    std::atomic<int> otherAnswer{IDCANCEL};
    MessageBoxes boxes{[this](HWND dialog) {
        const bool options = platform::GetText(dialog) == L"设置－Tavolin";
        ++(options ? optionsDialogs : otherDialogs);
        PostMessageW(dialog, WM_COMMAND, options ? IDCANCEL : otherAnswer.load(), 0);
    }};
    std::unique_ptr<app::FormMain> form;

  private:
    std::wstring wallpaper_[3];
};

} // namespace test
