// The display without a window system: frames go nowhere (except into a
// recording), message boxes go to standard error, and flips are paced by a
// virtual 60 Hz display whose clock moves only when the program presents,
// misses a refresh or waits for a scripted event, so that every run of a
// program is the same. In real-time mode the same display keeps the real clock.
#ifndef PLATFORM_HEADLESS_HEADLESS_DISPLAY_H
#define PLATFORM_HEADLESS_HEADLESS_DISPLAY_H

#include "../api/host.h"
#include "host_clock.h"

namespace platform {

class HeadlessDisplay final : public Display {
public:
    explicit HeadlessDisplay(bool realtime);

    LONGLONG Counter() override;
    void Present(const Frame& frame) override;
    void SkipRefresh() override;
    void Poll(std::vector<HostEvent>& events) override;
    void Wait(std::optional<LONGLONG> until, int wakeFd) override;
    void ShowMessage(const char* caption, const char* text) override;
    void ShowPointer(bool visible) override;
    void OpenWindow(const char* title, const Icon* icon) override;
    void CloseWindow() override;

private:
    void NextRefresh();

    bool realtime_;
    LONGLONG virtualCounter_ = 0;
    HostClock clock_;
};

}  // namespace platform

#endif
