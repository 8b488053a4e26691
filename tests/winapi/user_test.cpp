// Windows, their messages, the keys and message boxes as the programs use them.
#include <gtest/gtest.h>

#include "resource.h"
#include "test_window.h"

namespace {

using Messages = std::vector<UINT>;

WPARAM SizeKind() {
    for (const Seen& s : seen)
        if (s.message == WM_SIZE) return s.wParam;
    return ~WPARAM{0};
}

TEST(Window, IsSizedWhenCreatedAndActivatedWhenShown) {
    HWND window = CreateTestWindow();
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(SizeKind(), WPARAM{SIZE_RESTORED});
    EXPECT_EQ(TakeMessages(), (Messages{WM_CREATE, WM_SIZE}));
    ShowWindow(window, SW_SHOWNORMAL);
    UpdateWindow(window);
    // Its size does not change, and a window of no size has nothing to paint.
    EXPECT_EQ(TakeMessages(), (Messages{WM_SHOWWINDOW, WM_ACTIVATEAPP, WM_ACTIVATE}));
    DestroyWindow(window);
    DispatchQueue(window, NULL);
}

// What the programs stop and start drawing by.
TEST(Window, MinimisingAndRestoringSayHowItIsSized) {
    HWND window = CreateTestWindow();
    ShowWindow(window, SW_SHOWNORMAL);
    seen.clear();
    ShowWindow(window, SW_MINIMIZE);
    EXPECT_EQ(SizeKind(), WPARAM{SIZE_MINIMIZED});
    seen.clear();
    ShowWindow(window, SW_RESTORE);
    EXPECT_EQ(SizeKind(), WPARAM{SIZE_RESTORED});
    DestroyWindow(window);
    DispatchQueue(window, NULL);
}

TEST(Window, ClosingDestroysItAndTheQuitMessageCarriesTheStatus) {
    HWND window = CreateTestWindow();
    ShowWindow(window, SW_SHOWNORMAL);
    seen.clear();
    PostMessageA(window, WM_CLOSE, 0, 0);
    WPARAM status = 0;
    EXPECT_EQ(DispatchQueue(window, NULL, &status), 1);
    EXPECT_EQ(status, WPARAM{3});
    EXPECT_EQ(TakeMessages(), (Messages{WM_CLOSE, WM_ACTIVATE, WM_ACTIVATEAPP, WM_DESTROY}));
}

// A key pressed while the window has the focus, through the programs' table.
struct KeyCase {
    UINT message;
    WPARAM key;
    bool command;
};

TEST(Accelerators, EscapeGivesTheCloseCommandAndOtherKeysPassThrough) {
    HACCEL keys = LoadAcceleratorsA(GetModuleHandleA(NULL), MAKEINTRESOURCEA(IDR_ACCELERATORS));
    ASSERT_NE(keys, nullptr);
    // Alt is not held down: X alone is no command.
    for (const KeyCase& c : {KeyCase{WM_KEYDOWN, VK_ESCAPE, true}, KeyCase{WM_KEYDOWN, 'X', false},
                             KeyCase{WM_KEYUP, VK_ESCAPE, false}, KeyCase{WM_KEYDOWN, 'A', false}}) {
        HWND window = CreateTestWindow();
        ShowWindow(window, SW_SHOWNORMAL);
        UpdateWindow(window);
        seen.clear();
        PostMessageA(window, c.message, c.key, 1);
        DispatchQueue(window, keys);
        const Messages commands = c.command ? Messages{WM_COMMAND} : Messages{};
        EXPECT_EQ(TakeMessages(), commands) << "key " << c.key;
        DestroyWindow(window);
        DispatchQueue(window, NULL);
    }
}

TEST(Accelerators, TheCommandNamesTheCloseItemAsFromAnAccelerator) {
    HACCEL keys = LoadAcceleratorsA(GetModuleHandleA(NULL), MAKEINTRESOURCEA(IDR_ACCELERATORS));
    HWND window = CreateTestWindow();
    ShowWindow(window, SW_SHOWNORMAL);
    MSG msg = {window, WM_KEYDOWN, VK_ESCAPE, 1, 0, {0, 0}};
    seen.clear();
    EXPECT_NE(TranslateAcceleratorA(window, keys, &msg), 0);
    ASSERT_EQ(seen.size(), 1u);
    // The high word is 1 for a command from an accelerator.
    EXPECT_EQ(seen[0].wParam, WPARAM{ID_CLOSE} | WPARAM{1} << 16);
    DestroyWindow(window);
    DispatchQueue(window, NULL);
}

// A box whose owner is not a window is refused and shows nothing, so this
// cannot block a test run. Windows gives 0 for the failure, Wine -1.
TEST(MessageBoxes, FailForAnOwnerThatIsNoWindow) {
    HWND window = CreateTestWindow();
    DestroyWindow(window);
    DispatchQueue(window, NULL);
    EXPECT_LE(MessageBoxA(window, "text", "caption", MB_ICONERROR), 0);
}

}  // namespace
