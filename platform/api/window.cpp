// Window classes and windows. A window procedure runs synchronously for every
// message that a call sends, in the order a real top-level window receives
// them:
//
//   CreateWindowExA   WM_NCCREATE, WM_NCCALCSIZE, WM_CREATE, WM_SIZE, WM_MOVE
//                     (then as ShowWindow when the style has WS_VISIBLE)
//   ShowWindow, showing or restoring
//                     WM_SHOWWINDOW (when it was hidden), WM_WINDOWPOSCHANGING,
//                     WM_ACTIVATEAPP, WM_NCACTIVATE, WM_ACTIVATE, WM_SETFOCUS
//                     (when it was not active), WM_WINDOWPOSCHANGED, whose
//                     default processing sends WM_SIZE when the placement
//                     changes
//   ShowWindow, minimising
//                     WM_SHOWWINDOW (when it was hidden), WM_WINDOWPOSCHANGING,
//                     WM_WINDOWPOSCHANGED (so WM_SIZE SIZE_MINIMIZED), then
//                     WM_NCACTIVATE, WM_ACTIVATE (WA_INACTIVE), WM_ACTIVATEAPP,
//                     WM_KILLFOCUS when it was active
//   ShowWindow, hiding
//                     WM_SHOWWINDOW, WM_WINDOWPOSCHANGING, WM_WINDOWPOSCHANGED,
//                     then the deactivation as above
//   DestroyWindow     hiding without WM_SHOWWINDOW, WM_DESTROY, WM_NCDESTROY
//
// A window that owns the display in full-screen exclusive mode takes the
// display away with it when minimised, and gets it back before its restoration
// is announced.
//
// The first top-level window to be shown is the one that the host shows, with
// its title and its class's icon, until it is destroyed.
#include "user.h"

#include "hosted.h"

#include <algorithm>
#include <cctype>
#include <cstdint>
#include <cstring>
#include <map>
#include <string>
#include <vector>

namespace platform {

namespace {

constexpr UINT SWP_NOSIZE = 0x0001;
constexpr UINT SWP_NOMOVE = 0x0002;
constexpr UINT SWP_NOZORDER = 0x0004;
constexpr UINT SWP_NOACTIVATE = 0x0010;
constexpr UINT SWP_SHOWWINDOW = 0x0040;
constexpr UINT SWP_HIDEWINDOW = 0x0080;
constexpr WORD HTCLIENT = 1;
constexpr int SW_SHOWMINNOACTIVE = 7;
constexpr int SW_FORCEMINIMIZE = 11;
constexpr WPARAM kSysCommandMask = 0xFFF0;
constexpr ATOM kFirstAtom = 0xC000;
// Where an overlapped window goes when the program lets the system choose.
constexpr int kDefaultWidth = 640;
constexpr int kDefaultHeight = 480;

// The records that WM_WINDOWPOSCHANGING/CHANGED and WM_NCCREATE/WM_CREATE
// point lParam at, laid out as the real ones.
struct WindowPos {
    HWND hwnd;
    HWND hwndInsertAfter;
    int x;
    int y;
    int cx;
    int cy;
    UINT flags;
};

struct CreateStruct {
    LPVOID lpCreateParams;
    HINSTANCE hInstance;
    HMENU hMenu;
    HWND hwndParent;
    int cy;
    int cx;
    int y;
    int x;
    LONG style;
    LPCSTR lpszName;
    LPCSTR lpszClass;
    DWORD dwExStyle;
};

struct WindowClass {
    std::string name;
    ATOM atom;
    WNDCLASSA wc;
};

enum class Placement { Normal, Minimized, Maximized };

struct Window {
    WNDPROC proc;
    HCURSOR classCursor;
    HICON classIcon;
    std::string title;
    HWND parent;
    int x;
    int y;
    int width;
    int height;
    bool visible = false;
    Placement placement = Placement::Normal;
    bool needsPaint = false;
    bool destroying = false;
};

struct Windows {
    std::vector<WindowClass> classes;
    std::map<HWND, Window> windows;  // in the order of creation
    uintptr_t lastHandle = 0x10000;
    HWND activeWindow = nullptr;
    bool appActive = false;
    HWND hostWindow = nullptr;  // the top-level window that the host shows
    HCURSOR cursor = nullptr;
};

Windows& W() {
    static Windows state;
    return state;
}

Window* Find(HWND window) {
    auto found = W().windows.find(window);
    return found == W().windows.end() ? nullptr : &found->second;
}

bool SameName(const std::string& a, LPCSTR b) {
    return a.size() == std::strlen(b) && std::equal(a.begin(), a.end(), b, [](char x, char y) {
               return std::tolower(static_cast<unsigned char>(x)) == std::tolower(static_cast<unsigned char>(y));
           });
}

const WindowClass* FindClass(LPCSTR name) {
    if (!name) return nullptr;
    for (const WindowClass& windowClass : W().classes) {
        if (IS_INTRESOURCE(name) ? windowClass.atom == reinterpret_cast<ULONG_PTR>(name)
                                 : SameName(windowClass.name, name))
            return &windowClass;
    }
    return nullptr;
}

// The right or bottom edge, kept within range whatever the program asked for.
LONG FarEdge(int origin, int extent) {
    return static_cast<LONG>(std::clamp<long long>(static_cast<long long>(origin) + extent, INT32_MIN, INT32_MAX));
}

LPARAM PackPoint(LONG low, LONG high) { return static_cast<LPARAM>(MAKELONG(low, high)); }

WPARAM SizeKind(const Window& window) {
    switch (window.placement) {
    case Placement::Minimized: return SIZE_MINIMIZED;
    case Placement::Maximized: return SIZE_MAXIMIZED;
    case Placement::Normal: break;
    }
    return SIZE_RESTORED;
}

void Activate(HWND window) {
    Windows& state = W();
    if (state.activeWindow == window) return;
    HWND previous = state.activeWindow;
    if (previous) {
        state.activeWindow = nullptr;
        SendToWindow(previous, WM_NCACTIVATE, FALSE, 0);
        SendToWindow(previous, WM_ACTIVATE, WA_INACTIVE, reinterpret_cast<LPARAM>(window));
        SendToWindow(previous, WM_KILLFOCUS, reinterpret_cast<WPARAM>(window), 0);
    }
    state.activeWindow = window;
    if (!state.appActive) {
        state.appActive = true;
        SendToWindow(window, WM_ACTIVATEAPP, TRUE, 0);
    }
    SendToWindow(window, WM_NCACTIVATE, TRUE, 0);
    SendToWindow(window, WM_ACTIVATE, WA_ACTIVE, reinterpret_cast<LPARAM>(previous));
    SendToWindow(window, WM_SETFOCUS, reinterpret_cast<WPARAM>(previous), 0);
}

// The program loses the foreground: no window of it is active any more.
void Deactivate(HWND window, bool minimized) {
    Windows& state = W();
    if (state.activeWindow != window) return;
    state.activeWindow = nullptr;
    state.appActive = false;
    SendToWindow(window, WM_NCACTIVATE, FALSE, 0);
    SendToWindow(window, WM_ACTIVATE, MAKELONG(WA_INACTIVE, minimized ? 1 : 0), 0);
    SendToWindow(window, WM_ACTIVATEAPP, FALSE, 0);
    SendToWindow(window, WM_KILLFOCUS, 0, 0);
}

// Shows the window, if hidden, in the placement asked for.
void Place(HWND window, Placement target) {
    Window* w = Find(window);
    if (!w || w->destroying || (w->visible && w->placement == target)) return;
    bool showing = !w->visible;
    bool minimizing = target == Placement::Minimized;
    if (IsExclusiveWindow(window)) {
        if (minimizing) {
            TakeDisplay();
        } else if (w->placement == Placement::Minimized) {
            GiveDisplayBack();
        }
    }
    if (showing) SendToWindow(window, WM_SHOWWINDOW, TRUE, 0);
    WindowPos pos{window, nullptr, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOZORDER};
    if (showing) pos.flags |= SWP_SHOWWINDOW;
    if (minimizing) pos.flags |= SWP_NOACTIVATE;
    // Shown as it was placed, it keeps its size: no WM_SIZE.
    if (w->placement == target) pos.flags |= SWP_NOSIZE;
    SendToWindow(window, WM_WINDOWPOSCHANGING, 0, reinterpret_cast<LPARAM>(&pos));
    if (!(w = Find(window))) return;
    w->visible = true;
    if (!w->parent && !W().hostWindow) {
        W().hostWindow = window;
        OpenHostWindow(w->title.c_str(), w->classIcon);
    }
    w->placement = target;
    // A window of no size (as a pop-up made with CW_USEDEFAULT) has nothing to paint.
    w->needsPaint = !minimizing && w->width > 0 && w->height > 0;
    pos.cx = w->width;
    pos.cy = w->height;
    if (!minimizing) Activate(window);
    SendToWindow(window, WM_WINDOWPOSCHANGED, 0, reinterpret_cast<LPARAM>(&pos));
    if (minimizing) Deactivate(window, true);
}

void Hide(HWND window, bool announce) {
    Window* w = Find(window);
    if (!w || !w->visible) return;
    if (announce) SendToWindow(window, WM_SHOWWINDOW, FALSE, 0);
    WindowPos pos{window, nullptr, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_HIDEWINDOW};
    SendToWindow(window, WM_WINDOWPOSCHANGING, 0, reinterpret_cast<LPARAM>(&pos));
    if (!(w = Find(window))) return;
    w->visible = false;
    w->needsPaint = false;
    SendToWindow(window, WM_WINDOWPOSCHANGED, 0, reinterpret_cast<LPARAM>(&pos));
    Deactivate(window, false);
}

}  // namespace

HWND MainWindow() {
    for (auto& [handle, window] : W().windows)
        if (!window.parent && !window.destroying) return handle;
    return nullptr;
}

bool IsLiveWindow(HWND window) { return window && Find(window); }

LRESULT SendToWindow(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    Window* w = Find(window);
    return w ? w->proc(window, message, wParam, lParam) : 0;
}

HWND WindowNeedingPaint() {
    for (auto& [handle, window] : W().windows)
        if (window.needsPaint && window.visible && !window.destroying) return handle;
    return nullptr;
}

void ValidateWindow(HWND window) {
    if (Window* w = Find(window)) w->needsPaint = false;
}

void ResetWindows() { W() = Windows{}; }

}  // namespace platform

using namespace platform;

ATOM WINAPI RegisterClassA(const WNDCLASSA* lpWndClass) {
    if (!lpWndClass || !lpWndClass->lpfnWndProc || !lpWndClass->lpszClassName ||
        IS_INTRESOURCE(lpWndClass->lpszClassName) || FindClass(lpWndClass->lpszClassName) ||
        FAILED(ScriptedFailure("RegisterClassA")))
        return 0;
    Windows& state = W();
    ATOM atom = static_cast<ATOM>(kFirstAtom + state.classes.size());
    state.classes.push_back(WindowClass{lpWndClass->lpszClassName, atom, *lpWndClass});
    state.classes.back().wc.lpszClassName = state.classes.back().name.c_str();
    return atom;
}

HWND WINAPI CreateWindowExA(DWORD dwExStyle, LPCSTR lpClassName, LPCSTR lpWindowName, DWORD dwStyle, int X, int Y,
                            int nWidth, int nHeight, HWND hWndParent, HMENU hMenu, HINSTANCE hInstance,
                            LPVOID lpParam) {
    const WindowClass* windowClass = FindClass(lpClassName);
    if (!windowClass || (hWndParent && !IsLiveWindow(hWndParent)) || FAILED(ScriptedFailure("CreateWindowExA")))
        return nullptr;
    // The system's choice of place and size: nothing for a pop-up window,
    // which has to say where it goes.
    bool popup = (dwStyle & WS_POPUP) != 0;
    if (X == CW_USEDEFAULT) X = Y = 0;
    if (nWidth == CW_USEDEFAULT) {
        nWidth = popup ? 0 : kDefaultWidth;
        nHeight = popup ? 0 : kDefaultHeight;
    }
    Windows& state = W();
    state.lastHandle += 4;
    HWND handle = reinterpret_cast<HWND>(state.lastHandle);
    Window& window = state.windows[handle];
    window.proc = windowClass->wc.lpfnWndProc;
    window.classCursor = windowClass->wc.hCursor;
    window.classIcon = windowClass->wc.hIcon;
    if (lpWindowName) window.title = lpWindowName;
    window.parent = hWndParent;
    window.x = X;
    window.y = Y;
    window.width = nWidth;
    window.height = nHeight;

    CreateStruct create{lpParam, hInstance, hMenu, hWndParent, nHeight, nWidth, Y, X, static_cast<LONG>(dwStyle),
                        lpWindowName, lpClassName, dwExStyle};
    LPARAM createParam = reinterpret_cast<LPARAM>(&create);
    if (!SendToWindow(handle, WM_NCCREATE, 0, createParam)) {
        SendToWindow(handle, WM_NCDESTROY, 0, 0);
        state.windows.erase(handle);
        return nullptr;
    }
    if (!IsLiveWindow(handle)) return nullptr;
    RECT client{X, Y, FarEdge(X, nWidth), FarEdge(Y, nHeight)};
    SendToWindow(handle, WM_NCCALCSIZE, FALSE, reinterpret_cast<LPARAM>(&client));
    if (SendToWindow(handle, WM_CREATE, 0, createParam) == -1) {
        DestroyWindow(handle);
        return nullptr;
    }
    SendToWindow(handle, WM_SIZE, SIZE_RESTORED, PackPoint(nWidth, nHeight));
    SendToWindow(handle, WM_MOVE, 0, PackPoint(X, Y));
    if (dwStyle & WS_VISIBLE) ShowWindow(handle, SW_SHOW);
    return IsLiveWindow(handle) ? handle : nullptr;
}

BOOL WINAPI ShowWindow(HWND hWnd, int nCmdShow) {
    Window* window = Find(hWnd);
    if (!window) return FALSE;
    BOOL wasVisible = window->visible;
    switch (nCmdShow) {
    case SW_HIDE:
        Hide(hWnd, true);
        break;
    case SW_MINIMIZE:
    case SW_SHOWMINIMIZED:
    case SW_SHOWMINNOACTIVE:
    case SW_FORCEMINIMIZE:
        Place(hWnd, Placement::Minimized);
        break;
    case SW_MAXIMIZE:
        Place(hWnd, Placement::Maximized);
        break;
    case SW_SHOW:
        Place(hWnd, window->placement);
        break;
    default:
        Place(hWnd, Placement::Normal);
        break;
    }
    return wasVisible;
}

BOOL WINAPI UpdateWindow(HWND hWnd) {
    Window* window = Find(hWnd);
    if (!window) return FALSE;
    if (window->needsPaint && window->visible) SendToWindow(hWnd, WM_PAINT, 0, 0);
    return TRUE;
}

BOOL WINAPI DestroyWindow(HWND hWnd) {
    Window* window = Find(hWnd);
    if (!window) return FALSE;
    if (window->destroying) return TRUE;
    window->destroying = true;
    Hide(hWnd, false);
    if (W().hostWindow == hWnd) {
        W().hostWindow = nullptr;
        CloseHostWindow();
    }
    SendToWindow(hWnd, WM_DESTROY, 0, 0);
    SendToWindow(hWnd, WM_NCDESTROY, 0, 0);
    DropMessagesFor(hWnd);
    SetExclusiveMode(hWnd, false);
    W().windows.erase(hWnd);
    return TRUE;
}

LRESULT WINAPI DefWindowProcA(HWND hWnd, UINT Msg, WPARAM wParam, LPARAM lParam) {
    switch (Msg) {
    case WM_NCCREATE:
    case WM_NCACTIVATE:
        return TRUE;
    case WM_CLOSE:
        DestroyWindow(hWnd);
        return 0;
    case WM_SYSCOMMAND:
        switch (wParam & kSysCommandMask) {
        case SC_CLOSE: SendToWindow(hWnd, WM_CLOSE, 0, 0); break;
        case SC_MINIMIZE: ShowWindow(hWnd, SW_MINIMIZE); break;
        case SC_MAXIMIZE: ShowWindow(hWnd, SW_MAXIMIZE); break;
        case SC_RESTORE: ShowWindow(hWnd, SW_RESTORE); break;
        default: break;
        }
        return 0;
    case WM_SYSKEYDOWN:
        if (wParam == VK_F4 && (lParam & (1 << 29))) SendToWindow(hWnd, WM_SYSCOMMAND, SC_CLOSE, 0);
        return 0;
    case WM_WINDOWPOSCHANGED: {
        const auto* pos = reinterpret_cast<const WindowPos*>(lParam);
        const Window* window = Find(hWnd);
        if (!pos || !window) return 0;
        if (!(pos->flags & SWP_NOSIZE))
            SendToWindow(hWnd, WM_SIZE, SizeKind(*window),
                         window->placement == Placement::Minimized ? 0 : PackPoint(pos->cx, pos->cy));
        if (!(pos->flags & SWP_NOMOVE)) SendToWindow(hWnd, WM_MOVE, 0, PackPoint(pos->x, pos->y));
        return 0;
    }
    case WM_PAINT:
        ValidateWindow(hWnd);
        return 0;
    case WM_ERASEBKGND:
        return 1;
    case WM_SETCURSOR:
        if (LOWORD(lParam) == HTCLIENT) {
            if (const Window* window = Find(hWnd)) SetCursor(window->classCursor);
            return TRUE;
        }
        return FALSE;
    default:
        return 0;
    }
}

HCURSOR WINAPI SetCursor(HCURSOR hCursor) {
    HCURSOR previous = W().cursor;
    W().cursor = hCursor;
    ShowPointer(hCursor != nullptr);
    return previous;
}

// A box cannot belong to a window that is gone: as on Windows, it is refused
// unseen, which is why a box asked for after the owner's destruction must go
// without one.
int WINAPI MessageBoxA(HWND hWnd, LPCSTR lpText, LPCSTR lpCaption, UINT) {
    if (hWnd && !Find(hWnd)) return 0;
    ShowMessageBox(lpCaption, lpText);
    return IDOK;
}
