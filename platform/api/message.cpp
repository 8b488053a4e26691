// The message queue. Posted messages and the keyboard's messages wait in one
// queue in the order they came; the quit message comes when nothing posted is
// left, and WM_PAINT after it, for as long as a window needs painting. Every
// look at the queue first delivers what the host and the scripts have made
// due, so that a program sees events only when it asks for messages.
#include "user.h"

#include "hosted.h"
#include "resources.h"

#include <array>
#include <deque>

namespace platform {

namespace {

constexpr LPARAM kAltHeld = 1 << 29;
constexpr LPARAM kWasDown = 1 << 30;
constexpr LPARAM kReleased = static_cast<LPARAM>(1u << 31);

struct Queue {
    std::deque<MSG> posted;
    bool quit = false;
    int quitCode = 0;
    // The keys down as far as the program has taken key messages from the
    // queue, which is what the real GetKeyState reports.
    std::array<bool, 256> keyDown{};
};

Queue& Q() {
    static Queue queue;
    return queue;
}

MSG Message(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    MSG msg{};
    msg.hwnd = window;
    msg.message = message;
    msg.wParam = wParam;
    msg.lParam = lParam;
    msg.time = static_cast<DWORD>(Counter() / (kCountsPerSecond / 1000));
    return msg;
}

bool Matches(const MSG& msg, HWND window, UINT first, UINT last) {
    return (!window || msg.hwnd == window) && ((first == 0 && last == 0) || (msg.message >= first && msg.message <= last));
}

bool IsKeyDown(UINT message) { return message == WM_KEYDOWN || message == WM_SYSKEYDOWN; }
bool IsKeyUp(UINT message) { return message == WM_KEYUP || message == WM_SYSKEYUP; }

void NoteKeys(const MSG& msg) {
    if (IsKeyDown(msg.message) || IsKeyUp(msg.message)) Q().keyDown[msg.wParam & 0xFF] = IsKeyDown(msg.message);
}

// The next message that passes the filter, taken off the queue when `remove`.
bool Retrieve(MSG* out, HWND window, UINT first, UINT last, bool remove) {
    DeliverEvents();
    Queue& queue = Q();
    for (auto it = queue.posted.begin(); it != queue.posted.end(); ++it) {
        if (!Matches(*it, window, first, last)) continue;
        *out = *it;
        if (remove) {
            queue.posted.erase(it);
            NoteKeys(*out);
        }
        return true;
    }
    // The quit message passes every filter.
    if (queue.quit) {
        *out = Message(nullptr, WM_QUIT, static_cast<WPARAM>(queue.quitCode), 0);
        if (remove) queue.quit = false;
        return true;
    }
    // Painting is not queued: the message stands for as long as the window is
    // not painted.
    HWND unpainted = WindowNeedingPaint();
    MSG paint = Message(unpainted, WM_PAINT, 0, 0);
    if (unpainted && Matches(paint, window, first, last)) {
        *out = paint;
        return true;
    }
    return false;
}

bool AnyMessage() {
    return !Q().posted.empty() || Q().quit || WindowNeedingPaint();
}

void PostKey(HWND window, WORD key, bool down, bool altHeld) {
    LPARAM lParam = 1 | (altHeld ? kAltHeld : 0) | (down ? 0 : kWasDown | kReleased);
    UINT message = down ? (altHeld ? WM_SYSKEYDOWN : WM_KEYDOWN) : (altHeld ? WM_SYSKEYUP : WM_KEYUP);
    Q().posted.push_back(Message(window, message, key, lParam));
}

// The character that TranslateMessage makes of a key, or 0 for none.
WPARAM CharacterOf(WORD key, bool shift, bool control) {
    if (key >= 'A' && key <= 'Z') return control ? key - 'A' + 1 : shift ? key : key - 'A' + 'a';
    if (control) return 0;
    if (key >= '0' && key <= '9') return shift ? 0 : key;
    switch (key) {
    case VK_BACK:
    case VK_TAB:
    case VK_RETURN:
    case VK_ESCAPE:
    case VK_SPACE: return key;
    default: return 0;
    }
}

}  // namespace

void PressKey(WORD key, BYTE modifiers) {
    HWND window = MainWindow();
    if (!window) return;
    // Alt goes down first and comes up last; while it is down every key is a
    // system key, and releasing it ends that.
    WORD held[3];
    int count = 0;
    if (modifiers & kAlt) held[count++] = VK_MENU;
    if (modifiers & kShift) held[count++] = VK_SHIFT;
    if (modifiers & kControl) held[count++] = VK_CONTROL;
    bool alt = (modifiers & kAlt) != 0;
    for (int i = 0; i < count; ++i) PostKey(window, held[i], true, alt);
    PostKey(window, key, true, alt);
    PostKey(window, key, false, alt);
    for (int i = count - 1; i >= 0; --i) PostKey(window, held[i], false, alt && held[i] != VK_MENU);
}

void DropMessagesFor(HWND window) {
    std::erase_if(Q().posted, [window](const MSG& msg) { return msg.hwnd == window; });
}

void ResetMessages() { Q() = Queue{}; }

}  // namespace platform

using namespace platform;

BOOL WINAPI PeekMessageA(LPMSG lpMsg, HWND hWnd, UINT wMsgFilterMin, UINT wMsgFilterMax, UINT wRemoveMsg) {
    if (!lpMsg) return FALSE;
    if (Retrieve(lpMsg, hWnd, wMsgFilterMin, wMsgFilterMax, (wRemoveMsg & PM_REMOVE) != 0)) return TRUE;
    LoopFoundNoMessage();
    return FALSE;
}

BOOL WINAPI GetMessageA(LPMSG lpMsg, HWND hWnd, UINT wMsgFilterMin, UINT wMsgFilterMax) {
    if (!lpMsg || (hWnd && !IsLiveWindow(hWnd))) return -1;
    while (!Retrieve(lpMsg, hWnd, wMsgFilterMin, wMsgFilterMax, true)) WaitForEvents();
    return lpMsg->message != WM_QUIT;
}

BOOL WINAPI WaitMessage(void) {
    while (!DeliverEvents() && !AnyMessage()) WaitForEvents();
    return TRUE;
}

BOOL WINAPI PostMessageA(HWND hWnd, UINT Msg, WPARAM wParam, LPARAM lParam) {
    if (hWnd && !IsLiveWindow(hWnd)) return FALSE;
    Q().posted.push_back(Message(hWnd, Msg, wParam, lParam));
    return TRUE;
}

void WINAPI PostQuitMessage(int nExitCode) {
    Q().quit = true;
    Q().quitCode = nExitCode;
}

BOOL WINAPI TranslateMessage(const MSG* lpMsg) {
    if (!lpMsg || !(IsKeyDown(lpMsg->message) || IsKeyUp(lpMsg->message))) return FALSE;
    if (IsKeyDown(lpMsg->message)) {
        const Queue& queue = Q();
        WPARAM character = CharacterOf(static_cast<WORD>(lpMsg->wParam), queue.keyDown[VK_SHIFT], queue.keyDown[VK_CONTROL]);
        // The character is the next message the program gets.
        if (character)
            Q().posted.push_front(Message(lpMsg->hwnd, lpMsg->message == WM_SYSKEYDOWN ? WM_SYSCHAR : WM_CHAR,
                                          character, lpMsg->lParam));
    }
    return TRUE;
}

LRESULT WINAPI DispatchMessageA(const MSG* lpMsg) {
    if (!lpMsg || !lpMsg->hwnd) return 0;
    LRESULT result = SendToWindow(lpMsg->hwnd, lpMsg->message, lpMsg->wParam, lpMsg->lParam);
    // A window procedure that paints without telling the system would
    // otherwise be asked to paint for ever.
    if (lpMsg->message == WM_PAINT) ValidateWindow(lpMsg->hwnd);
    return result;
}

// Virtual-key entries match a key going down with exactly the modifiers they
// name: an entry without FALT does not match while Alt is held, and one with
// FSHIFT not without Shift. Character entries match the characters that
// TranslateMessage makes, Alt telling WM_SYSCHAR from WM_CHAR.
int WINAPI TranslateAcceleratorA(HWND hWnd, HACCEL hAccTable, LPMSG lpMsg) {
    if (!hAccTable || !lpMsg || !IsLiveWindow(hWnd)) return 0;
    UINT message = lpMsg->message;
    bool keyDown = IsKeyDown(message);
    bool character = message == WM_CHAR || message == WM_SYSCHAR;
    if (!keyDown && !character) return 0;
    const Queue& queue = Q();
    BYTE alt = (lpMsg->lParam & kAltHeld) ? FALT : 0;
    BYTE held = alt | (queue.keyDown[VK_SHIFT] ? FSHIFT : 0) | (queue.keyDown[VK_CONTROL] ? FCONTROL : 0);
    const auto* table = reinterpret_cast<const AcceleratorTable*>(hAccTable);
    for (const ACCEL& entry : table->entries) {
        bool matches = (entry.fVirt & FVIRTKEY)
                           ? keyDown && entry.key == lpMsg->wParam && (entry.fVirt & (FALT | FSHIFT | FCONTROL)) == held
                           : character && entry.key == lpMsg->wParam && (entry.fVirt & FALT) == alt;
        if (!matches) continue;
        SendToWindow(hWnd, WM_COMMAND, static_cast<DWORD>(MAKELONG(entry.cmd, 1)), 0);
        return 1;
    }
    return 0;
}
