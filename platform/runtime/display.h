// The display backend: the one thing that differs between running in a window
// system and running without one. A backend shows frames through their palette
// and paces them, keeps the clock, reports what happens on the host (keys, the
// close button, minimising) and shows message boxes. The runtime turns host
// events into window messages; nothing above the runtime sees a backend.
#ifndef PLATFORM_RUNTIME_DISPLAY_H
#define PLATFORM_RUNTIME_DISPLAY_H

#include <windows.h>

#include <memory>
#include <optional>
#include <vector>

namespace platform {

// Counts of the clock per second: the performance counter's frequency.
inline constexpr LONGLONG kCountsPerSecond = 10'000'000;

// One refresh of the 60 Hz display, rounded to whole counts.
inline constexpr LONGLONG kRefreshCounts = 166'667;

// Modifier keys held with a key, as in an accelerator entry.
inline constexpr BYTE kAlt = 0x10;
inline constexpr BYTE kShift = 0x04;
inline constexpr BYTE kControl = 0x08;

// Something that happened on the host (or that a test scripted as if it had).
struct HostEvent {
    enum class Kind {
        Key,       // a key pressed and released: `key` with `modifiers` held
        Close,     // the window's close button
        Minimize,  // the user switched away from or minimised the program
        Restore,   // the user came back
        Lose,      // the display was taken away; the window stays active
        Regain,    // the display came back
        Pointer,   // the mouse pointer moved over the window
    };
    Kind kind;
    WORD key = 0;  // Windows virtual-key code
    BYTE modifiers = 0;
};

// A front buffer as it goes to the screen: 8-bit palette indices.
struct Frame {
    const BYTE* pixels;
    LONG pitch;
    DWORD width;
    DWORD height;
    const PALETTEENTRY* palette;  // 256 entries
};

class Display {
public:
    virtual ~Display() = default;

    // The clock, in counts of kCountsPerSecond since the display started.
    virtual LONGLONG Counter() = 0;

    // Shows the frame and returns at the next refresh.
    virtual void Present(const Frame& frame) = 0;

    // Lets one refresh pass without a new frame.
    virtual void SkipRefresh() = 0;

    // Appends what happened on the host since the last call; never waits.
    virtual void Poll(std::vector<HostEvent>& events) = 0;

    // Returns when a host event may be waiting, when the clock reaches
    // `until` (if given), or when wakeFd becomes readable (a signal arrived).
    virtual void Wait(std::optional<LONGLONG> until, int wakeFd) = 0;

    // Shows a message box and returns when the user has dismissed it.
    virtual void ShowMessage(const char* caption, const char* text) = 0;

    // Whether the mouse pointer is drawn over the window.
    virtual void ShowPointer(bool visible) = 0;

    // The program's main window has appeared, with its title and its class's
    // icon (null when it has none); frames are shown in it from now on.
    virtual void OpenWindow(const char* title, HICON icon) = 0;

    // The program's main window is gone.
    virtual void CloseWindow() = 0;
};

struct Options;

// The one place that chooses a backend for the options and the host.
std::unique_ptr<Display> CreateDisplay(const Options& options);

}  // namespace platform

#endif
