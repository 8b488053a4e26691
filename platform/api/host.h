// What the Windows and DirectDraw calls need of the host they run on, and the
// one way in for whoever runs a program on them. A display shows frames through
// their palette and paces them, keeps the clock, reports what happens on the
// host (keys, the close button, minimising) and shows message boxes; the calls
// turn its events into window messages. A fault script decides which calls
// fail. Displays include this header and nothing else of the calls.
#ifndef PLATFORM_API_HOST_H
#define PLATFORM_API_HOST_H

#include <windows.h>

#include <cstdint>
#include <optional>
#include <string_view>
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
        Terminate, // the process was asked to end (a signal): close the program
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
    const PALETTEENTRY* palette;   // 256 entries
    bool paletteAttached = true;   // false: none attached, shown through the default ramp
};

// The picture of a window's icon: top row first, each pixel red in bits 0-7,
// green 8-15, blue 16-23 and alpha 24-31.
struct Icon {
    std::vector<uint32_t> rgba;
    int width = 0;
    int height = 0;
};

class Display {
public:
    virtual ~Display() = default;

    // The clock, in counts of kCountsPerSecond since the display started.
    virtual LONGLONG Counter() = 0;

    // Shows the frame and returns at the next refresh.
    virtual void Present(const Frame& frame) = 0;

    // Lets one refresh pass without a new frame: the display is away, or the
    // program's frames keep failing.
    virtual void SkipRefresh() = 0;

    // Appends what happened on the host since the last call; never waits.
    virtual void Poll(std::vector<HostEvent>& events) = 0;

    // Returns when a host event may be waiting, when the clock reaches
    // `until` (if given), or when wakeFd (-1: none) becomes readable (a signal
    // arrived).
    virtual void Wait(std::optional<LONGLONG> until, int wakeFd) = 0;

    // Shows a message box and returns when the user has dismissed it.
    virtual void ShowMessage(const char* caption, const char* text) = 0;

    // Whether the mouse pointer is drawn over the window.
    virtual void ShowPointer(bool visible) = 0;

    // The program's main window has appeared, with its title and its class's
    // icon (null when it has none); frames are shown in it from now on.
    virtual void OpenWindow(const char* title, const Icon* icon) = 0;

    // The program's main window is gone.
    virtual void CloseWindow() = 0;
};

// Which calls fail, as tests and the command line script it, and what the
// calls report of the display's state.
class FaultScript {
public:
    virtual ~FaultScript() = default;

    // The result that the named call (its Windows name, such as "Lock" or
    // "DirectDrawCreate") is to fail with, or S_OK when it is to do its work.
    virtual HRESULT Failure(const char* call) = 0;

    // True when this call of Lock is to answer DDERR_WASSTILLDRAWING.
    virtual bool StillDrawing() = 0;

    // The display was taken away ("away") or given back ("back").
    virtual void Note(std::string_view what) = 0;
};

// Runs the calls on this display and script from now on, forgetting every
// window, class and message of an earlier run. Neither is owned; both must
// stay until the next call. Before the first installation nothing fails, and
// every call that needs a display ends the process.
void InstallHost(Display& display, FaultScript& faults);

// Makes the resources of a .res file, as the resource compiler writes it, the
// program's. The bytes must outlive the program. False, and nothing
// registered, for a file cut short or malformed, or one that names a resource
// twice.
bool RegisterResourceFile(const BYTE* data, size_t size);

// The run is over: the calls have no host until the next installation.
void RemoveHost();

// Takes the display away at once (every surface is lost and cannot be
// restored) or gives it back, as the Lose and Regain events do.
void SetDisplayAway(bool away);

}  // namespace platform

#endif
