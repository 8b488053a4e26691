#include "api/resources.h"
#include "recording_window.h"
#include "testing/runtime_control.h"

#include <gtest/gtest.h>

#include <string>

namespace {

constexpr WORD ID_CLOSE = 1001;

// The programs' table: Escape, and X with Alt.
platform::AcceleratorTable closeKeys{{
    {FVIRTKEY | FNOINVERT, VK_ESCAPE, ID_CLOSE},
    {FVIRTKEY | FNOINVERT | FALT, 'X', ID_CLOSE},
}};

platform::AcceleratorTable modifierKeys{{
    {FVIRTKEY | FSHIFT, 'A', 7},
    {FVIRTKEY | FCONTROL | FALT, 'B', 8},
    {0, 'q', 9},
}};

HACCEL Handle(platform::AcceleratorTable& table) { return reinterpret_cast<HACCEL>(&table); }

// Presses the key for a shown window and runs a program's loop over what it
// makes; gives the commands that reached the window.
std::vector<WPARAM> Commands(const char* key, platform::AcceleratorTable& table) {
    HWND window = MakeRecordedWindow();
    ShowWindow(window, SW_SHOW);
    UpdateWindow(window);
    seen.clear();
    EXPECT_TRUE(platform::testing::ScriptEvents(std::string("0:key=") + key));
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (!TranslateAcceleratorA(window, Handle(table), &msg)) {
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
    }
    std::vector<WPARAM> commands;
    for (const Seen& s : seen) {
        if (s.message != WM_COMMAND) continue;
        EXPECT_EQ(s.lParam, 0);
        commands.push_back(s.wParam);
    }
    return commands;
}

const WPARAM kClose = static_cast<DWORD>(MAKELONG(ID_CLOSE, 1));

TEST(Accelerators, EscapeAndAltXGiveTheCloseCommand) {
    EXPECT_EQ(Commands("Escape", closeKeys), std::vector<WPARAM>{kClose});
    EXPECT_EQ(Commands("Alt+X", closeKeys), std::vector<WPARAM>{kClose});
}

TEST(Accelerators, ModifiersMustMatchExactly) {
    for (const char* key : {"Alt+Escape", "X", "Shift+X", "Ctrl+X", "Alt+Shift+X", "Shift+Escape", "Ctrl+Escape"})
        EXPECT_TRUE(Commands(key, closeKeys).empty()) << key;
}

TEST(Accelerators, ShiftAndControlEntries) {
    EXPECT_EQ(Commands("Shift+A", modifierKeys), std::vector<WPARAM>{static_cast<DWORD>(MAKELONG(7, 1))});
    EXPECT_EQ(Commands("Alt+Ctrl+B", modifierKeys), std::vector<WPARAM>{static_cast<DWORD>(MAKELONG(8, 1))});
    for (const char* key : {"A", "Ctrl+Shift+A", "Alt+Shift+A", "Ctrl+B", "Alt+B", "Alt+Shift+Ctrl+B"})
        EXPECT_TRUE(Commands(key, modifierKeys).empty()) << key;
}

TEST(Accelerators, CharacterEntriesMatchTranslatedCharacters) {
    EXPECT_EQ(Commands("Q", modifierKeys), std::vector<WPARAM>{static_cast<DWORD>(MAKELONG(9, 1))});
    EXPECT_TRUE(Commands("Shift+Q", modifierKeys).empty()) << "'Q' is not 'q'";
    EXPECT_TRUE(Commands("Alt+Q", modifierKeys).empty()) << "a system character needs FALT";
}

TEST(Accelerators, AltKeysComeAsSystemKeysWithTheContextBit) {
    HWND window = MakeRecordedWindow();
    platform::testing::ScriptEvents("0:key=Alt+X");
    MSG msg;
    std::vector<std::pair<UINT, WPARAM>> keys;
    while (PeekMessageA(&msg, window, WM_KEYDOWN, WM_SYSKEYUP, PM_REMOVE)) {
        keys.emplace_back(msg.message, msg.wParam);
        bool altDown = msg.wParam != VK_MENU || msg.message == WM_SYSKEYDOWN;
        EXPECT_EQ((msg.lParam >> 29) & 1, altDown ? 1 : 0) << msg.message << " " << msg.wParam;
        EXPECT_EQ((msg.lParam >> 31) & 1, msg.message == WM_KEYUP || msg.message == WM_SYSKEYUP ? 1 : 0);
    }
    EXPECT_EQ(keys, (std::vector<std::pair<UINT, WPARAM>>{
                        {WM_SYSKEYDOWN, VK_MENU}, {WM_SYSKEYDOWN, 'X'}, {WM_SYSKEYUP, 'X'}, {WM_KEYUP, VK_MENU}}));
}

TEST(Accelerators, NothingWithoutATableOrAWindow) {
    HWND window = MakeRecordedWindow();
    MSG msg{window, WM_KEYDOWN, VK_ESCAPE, 1, 0, {}};
    EXPECT_EQ(TranslateAcceleratorA(window, nullptr, &msg), 0);
    DestroyWindow(window);
    EXPECT_EQ(TranslateAcceleratorA(window, Handle(closeKeys), &msg), 0);
    msg.message = WM_KEYUP;
    EXPECT_EQ(TranslateAcceleratorA(MakeRecordedWindow(), Handle(closeKeys), &msg), 0) << "key up";
}

}  // namespace
