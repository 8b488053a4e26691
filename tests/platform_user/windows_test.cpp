#include "api/user.h"
#include "recording_window.h"
#include "runtime/runtime.h"
#include "testing/memory_surface.h"
#include "testing/runtime_control.h"

#include <gtest/gtest.h>

namespace {

using Messages = std::vector<UINT>;

const Messages kActivation = {WM_ACTIVATEAPP, WM_NCACTIVATE, WM_ACTIVATE, WM_SETFOCUS};
const Messages kDeactivation = {WM_NCACTIVATE, WM_ACTIVATE, WM_ACTIVATEAPP, WM_KILLFOCUS};

Messages Concat(std::initializer_list<Messages> parts) {
    Messages all;
    for (const Messages& part : parts) all.insert(all.end(), part.begin(), part.end());
    return all;
}

const Seen* Find(UINT message) {
    for (const Seen& s : seen)
        if (s.message == message) return &s;
    return nullptr;
}

TEST(Windows, CreatingSendsCreationThenSizeAndMove) {
    ResetWithRecorderClass();
    HWND window = CreateWindowExA(0, "recorder", "Title", WS_POPUP, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT,
                                  CW_USEDEFAULT, nullptr, nullptr, nullptr, nullptr);
    ASSERT_NE(window, nullptr);
    const Seen* size = Find(WM_SIZE);
    ASSERT_NE(size, nullptr);
    EXPECT_EQ(size->wParam, WPARAM{SIZE_RESTORED});
    EXPECT_EQ(TakeMessages(), (Messages{WM_NCCREATE, WM_NCCALCSIZE, WM_CREATE, WM_SIZE, WM_MOVE}));
}

TEST(Windows, ShowingActivatesWithoutResizingAndAnEmptyWindowIsNotPainted) {
    HWND window = MakeRecordedWindow();
    EXPECT_FALSE(ShowWindow(window, SW_SHOWDEFAULT));
    ASSERT_FALSE(seen.empty());
    EXPECT_EQ(seen.front().wParam, WPARAM{TRUE});
    EXPECT_EQ(Find(WM_ACTIVATE)->wParam, WPARAM{WA_ACTIVE});
    EXPECT_EQ(TakeMessages(), Concat({{WM_SHOWWINDOW, WM_WINDOWPOSCHANGING}, kActivation, {WM_WINDOWPOSCHANGED}}));
    UpdateWindow(window);
    EXPECT_TRUE(TakeMessages().empty());
    // Showing what is shown changes nothing.
    EXPECT_TRUE(ShowWindow(window, SW_SHOW));
    EXPECT_TRUE(TakeMessages().empty());
}

TEST(Windows, VisibleStyleShowsAtCreation) {
    ResetWithRecorderClass();
    CreateWindowExA(0, "Recorder", "", WS_POPUP | WS_VISIBLE, 0, 0, 640, 480, nullptr, nullptr, nullptr, nullptr);
    Messages messages = TakeMessages();
    ASSERT_GE(messages.size(), 6u);
    EXPECT_EQ(Messages(messages.begin() + 3, messages.begin() + 6), (Messages{WM_SIZE, WM_MOVE, WM_SHOWWINDOW}));
    EXPECT_EQ(messages.back(), UINT{WM_WINDOWPOSCHANGED});
}

TEST(Windows, UnpaintedWindowGetsPaintFromTheQueue) {
    ResetWithRecorderClass();
    HWND window = CreateWindowExA(0, "Recorder", "", WS_POPUP, 0, 0, 640, 480, nullptr, nullptr, nullptr, nullptr);
    ShowWindow(window, SW_SHOW);
    seen.clear();
    MSG msg;
    ASSERT_TRUE(PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE));
    EXPECT_EQ(msg.message, UINT{WM_PAINT});
    DispatchMessageA(&msg);
    EXPECT_FALSE(PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE));
}

TEST(Windows, CreationFailsForUnknownClassesAndScriptedFailures) {
    ResetWithRecorderClass();
    EXPECT_EQ(CreateWindowExA(0, "Nobody", "", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr), nullptr);
    WNDCLASSA again{};
    again.lpfnWndProc = DefWindowProcA;
    again.lpszClassName = "RECORDER";
    EXPECT_EQ(RegisterClassA(&again), 0) << "class names compare without regard to case";
    ASSERT_TRUE(platform::testing::ScriptFailure("CreateWindowExA"));
    EXPECT_EQ(CreateWindowExA(0, "Recorder", "", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr), nullptr);
    EXPECT_TRUE(seen.empty());
}

TEST(Windows, CreateAnsweringMinusOneDestroysTheWindow) {
    ResetWithRecorderClass();
    answer = [](HWND, UINT message, WPARAM, LPARAM) -> std::optional<LRESULT> {
        if (message == WM_CREATE) return -1;
        return std::nullopt;
    };
    EXPECT_EQ(CreateWindowExA(0, "Recorder", "", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr), nullptr);
    EXPECT_EQ(TakeMessages(), (Messages{WM_NCCREATE, WM_NCCALCSIZE, WM_CREATE, WM_DESTROY, WM_NCDESTROY}));
}

TEST(Windows, CloseByDefaultDestroysTheWindow) {
    HWND window = MakeRecordedWindow();
    ShowWindow(window, SW_SHOW);
    seen.clear();
    ASSERT_TRUE(PostMessageA(window, WM_CLOSE, 0, 0));
    DispatchAll();
    EXPECT_EQ(TakeMessages(), Concat({{WM_CLOSE, WM_WINDOWPOSCHANGING, WM_WINDOWPOSCHANGED}, kDeactivation,
                                      {WM_DESTROY, WM_NCDESTROY}}));
    EXPECT_FALSE(DestroyWindow(window));
    EXPECT_FALSE(PostMessageA(window, WM_USER, 0, 0));
}

TEST(Windows, SystemCloseCommandSendsCloseWhateverItsLowBits) {
    for (WPARAM command : {WPARAM{SC_CLOSE}, WPARAM{SC_CLOSE | 2}}) {
        HWND window = MakeRecordedWindow();
        PostMessageA(window, WM_SYSCOMMAND, command, 0);
        DispatchAll();
        EXPECT_EQ(TakeMessages(), (Messages{WM_SYSCOMMAND, WM_CLOSE, WM_DESTROY, WM_NCDESTROY}));
    }
}

TEST(Windows, AltF4ClosesThroughTheSystemCommand) {
    HWND window = MakeRecordedWindow();
    ShowWindow(window, SW_SHOW);
    platform::testing::ScriptEvents("0:key=Alt+F4");
    DispatchAll();
    const Seen* command = Find(WM_SYSCOMMAND);
    ASSERT_NE(command, nullptr);
    EXPECT_EQ(command->wParam, WPARAM{SC_CLOSE});
    EXPECT_NE(Find(WM_NCDESTROY), nullptr);
}

TEST(Windows, OtherSystemCommandsAreHarmless) {
    HWND window = MakeRecordedWindow();
    ShowWindow(window, SW_SHOW);
    seen.clear();
    for (WPARAM command : {WPARAM{SC_KEYMENU}, WPARAM{SC_MOVE}, WPARAM{SC_SIZE}, WPARAM{SC_MONITORPOWER}})
        DefWindowProcA(window, WM_SYSCOMMAND, command, 0);
    EXPECT_TRUE(seen.empty());
    EXPECT_TRUE(platform::IsLiveWindow(window));
}

TEST(Windows, MinimisingAndRestoringThroughSystemCommands) {
    HWND window = MakeRecordedWindow();
    ShowWindow(window, SW_SHOW);
    UpdateWindow(window);
    seen.clear();
    DefWindowProcA(window, WM_SYSCOMMAND, SC_MINIMIZE, 0);
    EXPECT_EQ(Find(WM_SIZE)->wParam, WPARAM{SIZE_MINIMIZED});
    EXPECT_EQ(HIWORD(Find(WM_ACTIVATE)->wParam), 1) << "deactivated while minimised";
    EXPECT_EQ(TakeMessages(), Concat({{WM_WINDOWPOSCHANGING, WM_WINDOWPOSCHANGED, WM_SIZE}, kDeactivation}));
    DefWindowProcA(window, WM_SYSCOMMAND, SC_MINIMIZE, 0);
    EXPECT_TRUE(TakeMessages().empty()) << "already minimised";
    DefWindowProcA(window, WM_SYSCOMMAND, SC_RESTORE, 0);
    EXPECT_EQ(Find(WM_SIZE)->wParam, WPARAM{SIZE_RESTORED});
    EXPECT_EQ(TakeMessages(), Concat({{WM_WINDOWPOSCHANGING}, kActivation, {WM_WINDOWPOSCHANGED, WM_SIZE}}));
    EXPECT_FALSE(platform::DisplayAway()) << "not in exclusive mode";
}

TEST(Windows, MinimisingInExclusiveModeTakesTheDisplayAway) {
    HWND window = MakeRecordedWindow();
    ShowWindow(window, SW_SHOW);
    UpdateWindow(window);
    seen.clear();
    platform::SetExclusiveMode(window, true);
    LPDIRECTDRAWSURFACE4 before = platform::CreateMemorySurface(4, 4, 8, 4);
    bool awayAtSize = false;
    answer = [&awayAtSize](HWND, UINT message, WPARAM, LPARAM) -> std::optional<LRESULT> {
        if (message == WM_SIZE) awayAtSize = platform::DisplayAway();
        return std::nullopt;
    };
    platform::testing::ScriptEvents("10:minimize,20:restore");
    MSG msg;
    PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE);
    EXPECT_TRUE(TakeMessages().empty()) << "nothing before the clock reaches the event";
    WaitMessage();
    EXPECT_TRUE(platform::DisplayAway());
    EXPECT_TRUE(awayAtSize) << "the window learns of minimising with the display already gone";
    EXPECT_EQ(before->IsLost(), DDERR_SURFACELOST);
    LPDIRECTDRAWSURFACE4 during = platform::CreateMemorySurface(4, 4, 8, 4);
    EXPECT_EQ(Find(WM_SIZE)->wParam, WPARAM{SIZE_MINIMIZED});
    seen.clear();
    WaitMessage();
    EXPECT_FALSE(platform::DisplayAway());
    EXPECT_FALSE(awayAtSize);
    EXPECT_EQ(Find(WM_SIZE)->wParam, WPARAM{SIZE_RESTORED});
    EXPECT_EQ(during->IsLost(), DD_OK) << "restoring loses nothing";
    EXPECT_EQ(before->IsLost(), DDERR_SURFACELOST) << "a lost surface waits for its own Restore";
    before->Release();
    during->Release();
}

TEST(Windows, LoseAndRegainLeaveTheWindowActive) {
    HWND window = MakeRecordedWindow();
    ShowWindow(window, SW_SHOW);
    UpdateWindow(window);
    seen.clear();
    LPDIRECTDRAWSURFACE4 surface = platform::CreateMemorySurface(4, 4, 8, 4);
    platform::testing::ScriptEvents("0:lose");
    DispatchAll();
    EXPECT_TRUE(platform::DisplayAway());
    EXPECT_EQ(surface->IsLost(), DDERR_SURFACELOST);
    platform::testing::ScriptEvents("0:regain");
    DispatchAll();
    EXPECT_FALSE(platform::DisplayAway());
    EXPECT_TRUE(seen.empty());
    surface->Release();
}

TEST(Windows, DestroyingDropsWhatWasPostedToTheWindow) {
    HWND window = MakeRecordedWindow();
    PostMessageA(window, WM_USER, 0, 0);
    PostMessageA(nullptr, WM_USER + 1, 0, 0);
    DestroyWindow(window);
    MSG msg;
    ASSERT_TRUE(PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE));
    EXPECT_EQ(msg.message, UINT{WM_USER + 1});
    EXPECT_FALSE(PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE));
}

TEST(Windows, PointerOverTheWindowTakesTheClassCursor) {
    platform::testing::ResetPlatform();
    HCURSOR arrow = reinterpret_cast<HCURSOR>(0x1234);
    WNDCLASSA windowClass{};
    windowClass.lpfnWndProc = DefWindowProcA;
    windowClass.hCursor = arrow;
    windowClass.lpszClassName = "Pointed";
    ASSERT_NE(RegisterClassA(&windowClass), 0);
    CreateWindowExA(0, "Pointed", "", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr);
    EXPECT_EQ(SetCursor(nullptr), nullptr);
    ASSERT_TRUE(platform::testing::ScriptEvents("0:pointer"));
    DispatchAll();
    EXPECT_EQ(SetCursor(nullptr), arrow);
}

// A box needs a live owner or none; one owned by a destroyed window fails unseen.
TEST(Windows, MessageBoxWritesCaptionAndTextAndReturnsAtOnce) {
    HWND window = MakeRecordedWindow();
    ::testing::internal::CaptureStderr();
    EXPECT_EQ(MessageBoxA(window, "DirectDrawCreate FAILED", "Direct Draw Miss", MB_OK), IDOK);
    EXPECT_EQ(MessageBoxA(nullptr, "init failed", "Sample", MB_ICONERROR), IDOK);
    DestroyWindow(window);
    EXPECT_EQ(MessageBoxA(window, "lost", "Gone", MB_OK), 0);
    EXPECT_EQ(::testing::internal::GetCapturedStderr(), "Direct Draw Miss: DirectDrawCreate FAILED\nSample: init failed\n");
}

}  // namespace
