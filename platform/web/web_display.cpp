// The page runs one program at a time in its only thread: the program's loop
// keeps running as written, and gives the browser its turn whenever it waits
// for a refresh or for events (the build unwinds and rewinds it there).
#include "web_display.h"

#include <emscripten.h>

#include <algorithm>
#include <cmath>

namespace platform {

namespace {

constexpr double kCountsPerMillisecond = kCountsPerSecond / 1000.0;

// How long one wait for events sleeps before it looks again: the page's
// events are only queued, so they wake nothing.
constexpr int kLongestSleep = 20;  // milliseconds

// The page's queue hands over one event at a time, packed as the kind
// (HostEvent::Kind's value) in bits 16 and up, the modifiers in bits 8-15 and
// the virtual key in bits 0-7; -1 when it is empty.
EM_JS(int, TakePageEvent, (), { return Module.display.take(); });
EM_JS(int, PageEventWaiting, (), { return Module.display.waiting(); });
EM_JS(void, OpenPage, (const char* title, const uint32_t* icon, int width, int height),
      { Module.display.open(UTF8ToString(title), icon, width, height); });
EM_JS(void, ClosePage, (), { Module.display.close(); });
EM_JS(void, ShowPagePointer, (int visible), { Module.display.pointer(visible); });
EM_ASYNC_JS(void, PresentAtPaint, (const uint32_t* rgba, int width, int height, double notBefore),
            { await Module.display.present(rgba, width, height, notBefore); });
EM_ASYNC_JS(void, ShowPageMessage, (const char* caption, const char* text),
            { await Module.display.message(UTF8ToString(caption), UTF8ToString(text)); });

class WebDisplay final : public Display {
public:
    explicit WebDisplay(bool virtualClock) : virtualClock_(virtualClock), start_(emscripten_get_now()) {}

    LONGLONG Counter() override;
    void Present(const Frame& frame) override;
    void SkipRefresh() override;
    void Poll(std::vector<HostEvent>& events) override;
    void Wait(std::optional<LONGLONG> until, int wakeFd) override;
    void ShowMessage(const char* caption, const char* text) override;
    void ShowPointer(bool visible) override { ShowPagePointer(visible); }
    void OpenWindow(const char* title, const Icon* icon) override;
    void CloseWindow() override { ClosePage(); }

private:
    void Convert(const Frame& frame);
    void NextRefresh(const uint32_t* rgba, int width, int height);

    bool virtualClock_;
    LONGLONG virtualCounter_ = 0;
    double start_;               // the page's clock when the display started, in milliseconds
    std::vector<uint32_t> rgba_;  // the frame as the canvas takes it
};

LONGLONG WebDisplay::Counter() {
    if (virtualClock_) return virtualCounter_;
    return static_cast<LONGLONG>((emscripten_get_now() - start_) * kCountsPerMillisecond);
}

// Bytes red, green, blue, alpha: the canvas's order.
void WebDisplay::Convert(const Frame& frame) {
    uint32_t colours[256];
    for (int i = 0; i < 256; ++i)
        colours[i] = 0xFF000000u | uint32_t{frame.palette[i].peBlue} << 16 | uint32_t{frame.palette[i].peGreen} << 8 |
                     frame.palette[i].peRed;
    rgba_.resize(static_cast<size_t>(frame.width) * frame.height);
    uint32_t* out = rgba_.data();
    for (DWORD y = 0; y < frame.height; ++y) {
        const BYTE* row = frame.pixels + static_cast<ptrdiff_t>(y) * frame.pitch;
        for (DWORD x = 0; x < frame.width; ++x) *out++ = colours[row[x]];
    }
}

// The picture (if any) changes at the first browser frame after the next
// refresh of the emulated display, which falls every kRefreshCounts from the
// start, so the pace stays at 60 Hz on a screen of any rate. On the virtual
// clock every browser frame is a refresh.
void WebDisplay::NextRefresh(const uint32_t* rgba, int width, int height) {
    double notBefore = 0;
    if (virtualClock_) {
        virtualCounter_ += kRefreshCounts;
    } else {
        LONGLONG next = (Counter() / kRefreshCounts + 1) * kRefreshCounts;
        notBefore = start_ + static_cast<double>(next) / kCountsPerMillisecond;
    }
    PresentAtPaint(rgba, width, height, notBefore);
}

void WebDisplay::Present(const Frame& frame) {
    Convert(frame);
    NextRefresh(rgba_.data(), static_cast<int>(frame.width), static_cast<int>(frame.height));
}

void WebDisplay::SkipRefresh() { NextRefresh(nullptr, 0, 0); }

void WebDisplay::Poll(std::vector<HostEvent>& events) {
    for (int packed; (packed = TakePageEvent()) >= 0;)
        events.push_back(HostEvent{static_cast<HostEvent::Kind>(packed >> 16), static_cast<WORD>(packed & 0xFF),
                                   static_cast<BYTE>(packed >> 8 & 0xFF)});
}

// No signal reaches a page, so the wake-up descriptor is never readable.
void WebDisplay::Wait(std::optional<LONGLONG> until, int) {
    if (until && virtualClock_) {
        virtualCounter_ = std::max(virtualCounter_, *until);
        return;
    }
    while (!PageEventWaiting()) {
        int milliseconds = kLongestSleep;
        if (until) {
            LONGLONG left = *until - Counter();
            if (left <= 0) return;
            milliseconds = std::min(milliseconds, static_cast<int>(std::ceil(left / kCountsPerMillisecond)));
        }
        emscripten_sleep(static_cast<unsigned>(milliseconds));
    }
}

void WebDisplay::ShowMessage(const char* caption, const char* text) {
    ShowPageMessage(caption ? caption : "", text ? text : "");
}

void WebDisplay::OpenWindow(const char* title, const Icon* icon) {
    OpenPage(title ? title : "", icon ? icon->rgba.data() : nullptr, icon ? icon->width : 0, icon ? icon->height : 0);
}

}  // namespace

std::unique_ptr<Display> CreateWebDisplay(bool virtualClock) { return std::make_unique<WebDisplay>(virtualClock); }

}  // namespace platform
