#include "api/user.h"
#include "recording_window.h"
#include "runtime/runtime.h"
#include "runtime/session.h"
#include "testing/runtime_control.h"

#include <gtest/gtest.h>

#include <csignal>

namespace {

LONGLONG Now() {
    LARGE_INTEGER counter;
    EXPECT_TRUE(QueryPerformanceCounter(&counter));
    return counter.QuadPart;
}

TEST(Queue, QuitComesAfterEverythingPostedWithItsExitCode) {
    HWND window = MakeRecordedWindow();
    PostMessageA(window, WM_USER, 1, 2);
    PostQuitMessage(7);
    PostMessageA(window, WM_USER + 1, 0, 0);
    MSG msg;
    ASSERT_TRUE(GetMessageA(&msg, nullptr, 0, 0));
    EXPECT_EQ(msg.message, UINT{WM_USER});
    EXPECT_EQ(msg.wParam, WPARAM{1});
    EXPECT_EQ(msg.lParam, 2);
    ASSERT_TRUE(GetMessageA(&msg, nullptr, 0, 0));
    EXPECT_EQ(msg.message, UINT{WM_USER + 1});
    ASSERT_TRUE(PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE));
    EXPECT_EQ(msg.message, UINT{WM_QUIT}) << "peeking leaves the quit message";
    EXPECT_FALSE(GetMessageA(&msg, nullptr, 0, 0));
    EXPECT_EQ(msg.message, UINT{WM_QUIT});
    EXPECT_EQ(msg.wParam, WPARAM{7});
    EXPECT_EQ(msg.hwnd, nullptr);
    EXPECT_FALSE(PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE));
}

TEST(Queue, FiltersByWindowAndRange) {
    HWND window = MakeRecordedWindow();
    PostMessageA(nullptr, WM_USER, 0, 0);
    PostMessageA(window, WM_USER + 5, 0, 0);
    PostMessageA(window, WM_USER + 1, 0, 0);
    MSG msg;
    ASSERT_TRUE(PeekMessageA(&msg, window, 0, 0, PM_REMOVE));
    EXPECT_EQ(msg.message, UINT{WM_USER + 5});
    ASSERT_TRUE(PeekMessageA(&msg, nullptr, WM_USER + 1, WM_USER + 2, PM_REMOVE));
    EXPECT_EQ(msg.message, UINT{WM_USER + 1});
    ASSERT_TRUE(PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE));
    EXPECT_EQ(msg.message, UINT{WM_USER});
    DestroyWindow(window);
    EXPECT_EQ(GetMessageA(&msg, window, 0, 0), -1) << "no such window";
}

TEST(Queue, CounterRunsAtTenMegahertzAndMovesOnlyByRefreshes) {
    platform::testing::ResetPlatform();
    LARGE_INTEGER frequency;
    ASSERT_TRUE(QueryPerformanceFrequency(&frequency));
    EXPECT_EQ(frequency.QuadPart, 10'000'000);
    EXPECT_EQ(Now(), 0);
    EXPECT_EQ(Now(), 0);
    BYTE pixel = 0;
    platform::PresentFrame(&pixel, 1, 1, 1, nullptr);
    EXPECT_EQ(Now(), 166'667);
    platform::MissedRefresh();
    EXPECT_EQ(Now(), 333'334);
    MSG msg;
    PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE);
    EXPECT_EQ(Now(), 333'334);
}

TEST(Queue, WaitMessageMovesTheClockToTheNextEvent) {
    HWND window = MakeRecordedWindow();
    ASSERT_TRUE(platform::testing::ScriptEvents("3000:key=Escape,1000:close"));
    EXPECT_TRUE(WaitMessage());
    EXPECT_EQ(Now(), 10'000'000);
    MSG msg;
    ASSERT_TRUE(PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE));
    EXPECT_EQ(msg.hwnd, window);
    EXPECT_EQ(msg.message, UINT{WM_SYSCOMMAND});
    EXPECT_EQ(msg.wParam, WPARAM{SC_CLOSE});
    EXPECT_EQ(msg.time, DWORD{1000});
    EXPECT_FALSE(PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE));
    ASSERT_TRUE(GetMessageA(&msg, nullptr, 0, 0));
    EXPECT_EQ(Now(), 30'000'000);
    EXPECT_EQ(msg.message, UINT{WM_KEYDOWN});
    EXPECT_EQ(msg.wParam, WPARAM{VK_ESCAPE});
}

TEST(Queue, WaitMessageReturnsAtOnceWhenSomethingIsQueued) {
    HWND window = MakeRecordedWindow();
    ASSERT_TRUE(platform::testing::ScriptEvents("5000:close"));
    PostMessageA(window, WM_USER, 0, 0);
    EXPECT_TRUE(WaitMessage());
    EXPECT_EQ(Now(), 0);
}

TEST(Queue, EventsWaitForTheClockOfPresentedFrames) {
    HWND window = MakeRecordedWindow();
    ShowWindow(window, SW_SHOW);
    UpdateWindow(window);
    ASSERT_TRUE(platform::testing::ScriptEvents("1000:minimize"));
    BYTE pixel = 0;
    MSG msg;
    int frames = 0;
    for (; frames < 100; ++frames) {
        seen.clear();
        PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE);
        if (!seen.empty()) break;
        platform::PresentFrame(&pixel, 1, 1, 1, nullptr);
    }
    // 60 refreshes of 166,667 counts first reach one second.
    EXPECT_EQ(frames, 60);
}

TEST(Queue, FramesOptionPressesEscapeAfterThatManyFrames) {
    platform::Options options;
    options.frames = 3;
    HWND window = MakeRecordedWindow(options);
    ShowWindow(window, SW_SHOW);
    UpdateWindow(window);
    BYTE pixel = 0;
    MSG msg;
    for (int frame = 1; frame <= 2; ++frame) {
        platform::PresentFrame(&pixel, 1, 1, 1, nullptr);
        EXPECT_FALSE(PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE)) << frame;
    }
    platform::PresentFrame(&pixel, 1, 1, 1, nullptr);
    ASSERT_TRUE(PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE));
    EXPECT_EQ(msg.message, UINT{WM_KEYDOWN});
    EXPECT_EQ(msg.wParam, WPARAM{VK_ESCAPE});
    platform::PresentFrame(&pixel, 1, 1, 1, nullptr);
    PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE);
    EXPECT_FALSE(PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) << "pressed once";
}

TEST(Queue, TranslateMessageMakesCharacters) {
    HWND window = MakeRecordedWindow();
    platform::testing::ScriptEvents("0:key=X,0:key=Shift+X,0:key=Alt+X,0:key=F1");
    MSG msg;
    std::vector<std::pair<UINT, WPARAM>> characters;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (msg.message == WM_CHAR || msg.message == WM_SYSCHAR) characters.emplace_back(msg.message, msg.wParam);
        EXPECT_EQ(TranslateMessage(&msg), msg.message != WM_CHAR && msg.message != WM_SYSCHAR);
    }
    EXPECT_EQ(characters, (std::vector<std::pair<UINT, WPARAM>>{{WM_CHAR, 'x'}, {WM_CHAR, 'X'}, {WM_SYSCHAR, 'x'}}));
    EXPECT_NE(window, nullptr);
}

TEST(Queue, TerminationSignalAsksTheMainWindowToClose) {
    HWND window = MakeRecordedWindow();
    platform::CatchTerminationSignals();
    struct sigaction previous {};
    sigaction(SIGTERM, nullptr, &previous);
    std::raise(SIGTERM);
    MSG msg;
    ASSERT_TRUE(PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE));
    EXPECT_EQ(msg.hwnd, window);
    EXPECT_EQ(msg.message, UINT{WM_CLOSE});
    DispatchMessageA(&msg);
    EXPECT_FALSE(platform::IsLiveWindow(window));
    struct sigaction action {};
    sigaction(SIGTERM, nullptr, &action);
    EXPECT_EQ(action.sa_handler, previous.sa_handler) << "a second signal is caught as well";
}

TEST(ScriptedFailures, EveryCallOrOnlyTheNth) {
    platform::testing::ResetPlatform();
    EXPECT_EQ(platform::ScriptedFailure("Flip"), S_OK);
    ASSERT_TRUE(platform::testing::ScriptFailure("Flip"));
    ASSERT_TRUE(platform::testing::ScriptFailure("Lock@2:DDERR_SURFACELOST"));
    ASSERT_TRUE(platform::testing::ScriptFailure("Lock@3:0x80004001"));
    EXPECT_FALSE(platform::testing::ScriptFailure("Lock:nonsense"));
    EXPECT_EQ(platform::ScriptedFailure("Flip"), E_FAIL);
    EXPECT_EQ(platform::ScriptedFailure("Flip"), E_FAIL);
    EXPECT_EQ(platform::ScriptedFailure("Lock"), S_OK);
    EXPECT_EQ(platform::ScriptedFailure("Lock"), static_cast<HRESULT>(0x887601C2));
    EXPECT_EQ(platform::ScriptedFailure("Lock"), E_NOTIMPL);
    EXPECT_EQ(platform::ScriptedFailure("Lock"), S_OK);
    EXPECT_EQ(platform::ScriptedFailure("Blt"), S_OK);
}

TEST(ScriptedFailures, StillDrawingAnswersCountDown) {
    platform::Options options;
    options.stillDrawing = 1;
    platform::testing::ResetPlatform(options);
    platform::testing::ScriptStillDrawing(1);
    EXPECT_TRUE(platform::TakeStillDrawing());
    EXPECT_TRUE(platform::TakeStillDrawing());
    EXPECT_FALSE(platform::TakeStillDrawing());
}

}  // namespace
