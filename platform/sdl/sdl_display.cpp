// The emulated screen is a streaming texture that the renderer scales into
// the window with the aspect kept: full screen on the desktop's own mode (no
// mode switch on the host), nearest-neighbour, black bars where the desktop is
// wider or taller than 4:3. Flips keep the emulated display's 60 Hz, timed by
// the host clock and not by the host's vertical sync, whose rate may be
// anything from 50 to 240 Hz.
//
// Full screen behaves as the exclusive mode that the programs ask for: losing
// the keyboard focus minimises the window and takes the display away from the
// program (Minimize), and coming back gives it back (Restore). In a window,
// only minimising does that.
#include "sdl_display.h"

#include "../headless/host_clock.h"
#include "sdl_keys.h"

#include <SDL.h>
#include <SDL_opengl.h>
#include <SDL_syswm.h>
#include <X11/Xatom.h>

#include <algorithm>
#include <array>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>
#include <poll.h>

namespace platform {

namespace {

// The mode that the programs set, which sizes the window before their first frame.
constexpr int kScreenWidth = 640;
constexpr int kScreenHeight = 480;

// The longest that one wait hands to SDL. SDL's wait does not end when a signal
// arrives, so this bounds how late a wait notices the runtime's wake-up pipe;
// ten wake-ups a second keep a minimised program's processor time near zero.
constexpr int kLongestSdlWait = 100;  // milliseconds

// Without a window there are no SDL events to wait for.
constexpr int kLongestPoll = 3'600'000;  // milliseconds

// Whether a renderer that SDL counts as accelerated draws with the processor
// all the same: an OpenGL driver that rasterises in software, as on a host
// without a graphics processor (a virtual X server, for one). SDL's own
// software renderer, which puts the picture straight into the window's shared
// memory, then costs a fraction of the processor time.
bool RasterisesInSoftware(SDL_Renderer* renderer) {
    SDL_RendererInfo info;
    if (SDL_GetRendererInfo(renderer, &info) != 0 || std::strncmp(info.name, "opengl", 6) != 0) return false;
    // The renderer's context is current: ask the driver its name.
    using GetString = const GLubyte*(APIENTRY*)(GLenum);
    auto getString = reinterpret_cast<GetString>(SDL_GL_GetProcAddress("glGetString"));
    const GLubyte* name = getString ? getString(GL_RENDERER) : nullptr;
    if (!name) return false;
    const char* driver = reinterpret_cast<const char*>(name);
    for (const char* rasteriser : {"llvmpipe", "softpipe", "Software Rasterizer", "SWR"})
        if (std::strstr(driver, rasteriser)) return true;
    return false;
}

// The renderer that SDL chooses (or the one that the user named through
// SDL_RENDER_DRIVER), unless it rasterises in software when SDL's own would do.
SDL_Renderer* CreateRenderer(SDL_Window* window) {
    SDL_Renderer* renderer = SDL_CreateRenderer(window, -1, 0);
    if (renderer && !SDL_GetHint(SDL_HINT_RENDER_DRIVER) && RasterisesInSoftware(renderer)) {
        SDL_DestroyRenderer(renderer);
        renderer = nullptr;
    }
    if (!renderer) renderer = SDL_CreateRenderer(window, -1, SDL_RENDERER_SOFTWARE);
    return renderer;
}

// The texture's layout that the renderer takes as it is: an X window's for
// SDL's software renderer, which copies the picture into the window, and red
// in the low byte for OpenGL, whose drivers keep a texture in that order and
// would otherwise swap every pixel's bytes on the way in.
Uint32 TextureFormat(SDL_Renderer* renderer) {
    SDL_RendererInfo info;
    if (SDL_GetRendererInfo(renderer, &info) == 0 && std::strcmp(info.name, "software") == 0)
        return SDL_PIXELFORMAT_RGB888;
    return SDL_PIXELFORMAT_BGR888;
}

class SdlDisplay final : public Display {
public:
    SdlDisplay(bool window, bool integerScale) : fullScreen_(!window), integerScale_(integerScale) {}
    ~SdlDisplay() override;

    LONGLONG Counter() override { return clock_.Counter(); }
    void Present(const Frame& frame) override;
    void SkipRefresh() override { clock_.SleepToNextRefresh(); }
    void Poll(std::vector<HostEvent>& events) override;
    void Wait(std::optional<LONGLONG> until, int wakeFd) override;
    void ShowMessage(const char* caption, const char* text) override;
    void ShowPointer(bool visible) override;
    void OpenWindow(const char* title, const Icon* icon) override;
    void CloseWindow() override;

private:
    bool Show(const Frame& frame);
    bool MakeTexture(int width, int height);
    bool MatchPalette(const PALETTEENTRY* palette);
    bool RowOnShow(const Frame& frame, DWORD y) const;
    void WidenToChanges(const Frame& frame, DWORD first, DWORD end, DWORD& left, DWORD& right) const;
    void Draw();
    void Redraw();
    void SetFullScreen(bool fullScreen);
    void FollowRealSize(bool shown);
    void HandleWindowEvent(const SDL_WindowEvent& event, std::vector<HostEvent>& events);
    void TakeAway(std::vector<HostEvent>& events);
    void GiveBack(std::vector<HostEvent>& events);

    HostClock clock_;
    bool fullScreen_;
    bool integerScale_;
    bool away_ = false;  // the program has been told that it is minimised
    SDL_Window* window_ = nullptr;
    SDL_Renderer* renderer_ = nullptr;
    // The screen as last shown, kept by the renderer to draw again when the
    // window needs it.
    SDL_Texture* texture_ = nullptr;
    int textureWidth_ = 0;
    int textureHeight_ = 0;
    Uint32 textureFormat_ = SDL_PIXELFORMAT_UNKNOWN;
    // The palette that colours_ was made from, and its entries as texture pixels.
    std::array<PALETTEENTRY, 256> palette_{};
    std::array<Uint32, 256> colours_{};
    bool coloursMade_ = false;
    // The frame's pixels as the texture shows them, row after row, so that a
    // flip puts only the part that changed through the palette and into the
    // texture: drawing moves a part of the screen, the rest stays.
    std::vector<BYTE> onShow_;
    bool onShowValid_ = false;
};

SdlDisplay::~SdlDisplay() {
    CloseWindow();
    SDL_Quit();
}

void SdlDisplay::OpenWindow(const char* title, const Icon* icon) {
    if (window_) return;
    SDL_Rect desktop{0, 0, kScreenWidth, kScreenHeight};
    SDL_GetDisplayUsableBounds(0, &desktop);
    int scale = WholeScale(desktop.w, desktop.h, kScreenWidth, kScreenHeight);
    Uint32 flags = SDL_WINDOW_RESIZABLE | (fullScreen_ ? SDL_WINDOW_FULLSCREEN_DESKTOP : 0);
    window_ = SDL_CreateWindow(title, SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED, kScreenWidth * scale,
                               kScreenHeight * scale, flags);
    if (!window_) {
        std::fprintf(stderr, "cannot open a window: %s\n", SDL_GetError());
        return;
    }
    renderer_ = CreateRenderer(window_);
    if (!renderer_) {
        std::fprintf(stderr, "cannot draw into the window: %s\n", SDL_GetError());
        CloseWindow();
        return;
    }
    if (icon) {
        // Red in the low byte: SDL's ABGR order of a 32-bit pixel. SDL copies
        // the pixels and never writes them.
        void* pixels = const_cast<uint32_t*>(icon->rgba.data());
        if (SDL_Surface* surface = SDL_CreateRGBSurfaceWithFormatFrom(pixels, icon->width, icon->height, 32,
                                                                      icon->width * 4, SDL_PIXELFORMAT_ABGR8888)) {
            SDL_SetWindowIcon(window_, surface);
            SDL_FreeSurface(surface);
        }
    }
    Draw();
}

void SdlDisplay::CloseWindow() {
    if (texture_) SDL_DestroyTexture(texture_);
    if (renderer_) SDL_DestroyRenderer(renderer_);
    if (window_) SDL_DestroyWindow(window_);
    texture_ = nullptr;
    renderer_ = nullptr;
    window_ = nullptr;
    textureWidth_ = textureHeight_ = 0;
}

bool SdlDisplay::MakeTexture(int width, int height) {
    if (texture_ && textureWidth_ == width && textureHeight_ == height) return true;
    if (texture_) SDL_DestroyTexture(texture_);
    // Without alpha, the software renderer copies the picture instead of
    // blending it pixel by pixel.
    const Uint32 format = TextureFormat(renderer_);
    if (format != textureFormat_) coloursMade_ = false;
    textureFormat_ = format;
    texture_ = SDL_CreateTexture(renderer_, format, SDL_TEXTUREACCESS_STREAMING, width, height);
    textureWidth_ = texture_ ? width : 0;
    textureHeight_ = texture_ ? height : 0;
    onShowValid_ = false;
    if (!texture_) return false;
    onShow_.resize(static_cast<size_t>(width) * height);
    SDL_SetTextureBlendMode(texture_, SDL_BLENDMODE_NONE);
    SDL_SetTextureScaleMode(texture_, SDL_ScaleModeNearest);
    return true;
}

// Programs set their palette once and keep it, so the table of texture pixels
// is made again only when an entry has changed, which the caller learns.
bool SdlDisplay::MatchPalette(const PALETTEENTRY* palette) {
    if (coloursMade_ && std::memcmp(palette_.data(), palette, sizeof palette_) == 0) return false;
    std::memcpy(palette_.data(), palette, sizeof palette_);
    const int redShift = textureFormat_ == SDL_PIXELFORMAT_BGR888 ? 0 : 16;
    for (int i = 0; i < 256; ++i)
        colours_[i] = Uint32{palette[i].peRed} << redShift | Uint32{palette[i].peGreen} << 8 |
                      Uint32{palette[i].peBlue} << (16 - redShift);
    coloursMade_ = true;
    return true;
}

bool SdlDisplay::RowOnShow(const Frame& frame, DWORD y) const {
    return std::memcmp(frame.pixels + static_cast<ptrdiff_t>(y) * frame.pitch, onShow_.data() + size_t{y} * frame.width,
                       frame.width) == 0;
}

// Widens left..right to the columns of rows first..end that changed, eight
// bytes at a time; each row is searched only outside what is already found.
void SdlDisplay::WidenToChanges(const Frame& frame, DWORD first, DWORD end, DWORD& left, DWORD& right) const {
    const auto word = [](const BYTE* bytes) {
        uint64_t value;
        std::memcpy(&value, bytes, sizeof value);
        return value;
    };
    for (DWORD y = first; y < end; ++y) {
        const BYTE* now = frame.pixels + static_cast<ptrdiff_t>(y) * frame.pitch;
        const BYTE* shown = onShow_.data() + size_t{y} * frame.width;
        DWORD x = 0;
        while (x + 8 <= left && word(now + x) == word(shown + x)) x += 8;
        while (x < left && now[x] == shown[x]) ++x;
        left = std::min(left, x);
        x = frame.width;
        while (x >= right + 8 && word(now + x - 8) == word(shown + x - 8)) x -= 8;
        while (x > right && now[x - 1] == shown[x - 1]) --x;
        right = std::max(right, x);
    }
}

// Looks the pixels that changed, from the first to the last row and column
// that did, up in the palette straight into the texture (all of them when the
// texture or the colours are new); the renderer scales it when it draws.
bool SdlDisplay::Show(const Frame& frame) {
    if (!renderer_ || !MakeTexture(static_cast<int>(frame.width), static_cast<int>(frame.height))) return false;
    if (MatchPalette(frame.palette)) onShowValid_ = false;
    DWORD first = 0;
    DWORD end = frame.height;
    DWORD left = 0;
    DWORD right = frame.width;
    if (onShowValid_) {
        while (first < end && RowOnShow(frame, first)) ++first;
        while (end > first && RowOnShow(frame, end - 1)) --end;
        left = frame.width, right = 0;
        WidenToChanges(frame, first, end, left, right);
    }
    if (first == end) return true;
    const SDL_Rect band{static_cast<int>(left), static_cast<int>(first), static_cast<int>(right - left),
                        static_cast<int>(end - first)};
    void* pixels = nullptr;
    int pitch = 0;
    if (SDL_LockTexture(texture_, &band, &pixels, &pitch) != 0) return false;
    for (DWORD y = first; y < end; ++y) {
        const BYTE* from = frame.pixels + static_cast<ptrdiff_t>(y) * frame.pitch;
        Uint32* to = reinterpret_cast<Uint32*>(static_cast<BYTE*>(pixels) + static_cast<ptrdiff_t>(y - first) * pitch);
        for (DWORD x = left; x < right; ++x) to[x - left] = colours_[from[x]];
        std::memcpy(onShow_.data() + size_t{y} * frame.width + left, from + left, right - left);
    }
    SDL_UnlockTexture(texture_);
    onShowValid_ = true;
    return true;
}

// Draws the last picture (black before the first) for the next present, laid
// out in the size that the renderer draws into now. The bars are cleared only
// where there are any: a picture that fills the window at its own size is a
// plain copy.
void SdlDisplay::Draw() {
    if (!renderer_) return;
    int outputWidth = 0;
    int outputHeight = 0;
    SDL_GetRendererOutputSize(renderer_, &outputWidth, &outputHeight);
    PictureArea area{0, 0, 0, 0};
    if (texture_) area = FitPicture(outputWidth, outputHeight, textureWidth_, textureHeight_, integerScale_);
    if (area.x > 0 || area.y > 0 || area.width < outputWidth || area.height < outputHeight) {
        SDL_SetRenderDrawColor(renderer_, 0, 0, 0, 255);
        SDL_RenderClear(renderer_);
    }
    SDL_Rect place{area.x, area.y, area.width, area.height};
    if (texture_) SDL_RenderCopy(renderer_, texture_, nullptr, &place);
}

void SdlDisplay::Redraw() {
    Draw();
    if (renderer_) SDL_RenderPresent(renderer_);
}

void SdlDisplay::Present(const Frame& frame) {
    const bool shown = Show(frame);
    if (shown) Draw();
    // The picture changes at the refresh, evenly spaced however long the
    // program took to draw it.
    clock_.SleepToNextRefresh();
    if (shown) SDL_RenderPresent(renderer_);
}

void SdlDisplay::SetFullScreen(bool fullScreen) {
    fullScreen_ = fullScreen;
    if (!window_) return;
    SDL_SetWindowFullscreen(window_, fullScreen ? SDL_WINDOW_FULLSCREEN_DESKTOP : 0);
    FollowRealSize(false);
    Redraw();
}

// The window on the X server, when SDL shows it there.
bool X11Window(SDL_Window* window, ::Display** display, ::Window* id) {
    SDL_SysWMinfo info;
    SDL_VERSION(&info.version);
    if (!SDL_GetWindowWMInfo(window, &info) || info.subsystem != SDL_SYSWM_X11) return false;
    *display = info.info.x11.display;
    *id = info.info.x11.window;
    return true;
}

// Whether a window manager runs that could grant full screen: one names
// itself on the root window.
bool WindowManagerRuns(::Display* display) {
    const Atom check = XInternAtom(display, "_NET_SUPPORTING_WM_CHECK", True);
    if (check == None) return false;
    Atom type = None;
    int format = 0;
    unsigned long items = 0, after = 0;
    unsigned char* value = nullptr;
    XGetWindowProperty(display, DefaultRootWindow(display), check, 0, 1, False, XA_WINDOW, &type, &format, &items,
                       &after, &value);
    if (value) XFree(value);
    return items == 1;
}

// Full screen is a request: on a desktop without a window manager the window
// keeps its size, while SDL takes it to have the desktop's and lays the
// picture out for that. Where the window really has another size once the
// server has shown it (or at once, where no window manager runs), full screen
// was not granted: the window becomes an ordinary one of the size it has, so
// that the picture is laid out in what is on the screen.
void SdlDisplay::FollowRealSize(bool shown) {
    ::Display* display = nullptr;
    ::Window id = 0;
    if (!window_ || !(SDL_GetWindowFlags(window_) & SDL_WINDOW_FULLSCREEN) || !X11Window(window_, &display, &id))
        return;
    if (!shown && WindowManagerRuns(display)) return;  // it has yet to answer
    XWindowAttributes real;
    if (!XGetWindowAttributes(display, id, &real)) return;
    int width = 0;
    int height = 0;
    SDL_GetWindowSize(window_, &width, &height);
    if (real.width == width && real.height == height) return;
    fullScreen_ = false;
    SDL_SetWindowFullscreen(window_, 0);
    SDL_SetWindowSize(window_, real.width, real.height);
}

void SdlDisplay::TakeAway(std::vector<HostEvent>& events) {
    if (away_) return;
    away_ = true;
    events.push_back(HostEvent{HostEvent::Kind::Minimize});
}

void SdlDisplay::GiveBack(std::vector<HostEvent>& events) {
    if (!away_) return;
    away_ = false;
    events.push_back(HostEvent{HostEvent::Kind::Restore});
}

void SdlDisplay::HandleWindowEvent(const SDL_WindowEvent& event, std::vector<HostEvent>& events) {
    switch (event.event) {
    case SDL_WINDOWEVENT_CLOSE:
        events.push_back(HostEvent{HostEvent::Kind::Close});
        break;
    case SDL_WINDOWEVENT_MINIMIZED:
        TakeAway(events);
        break;
    case SDL_WINDOWEVENT_FOCUS_LOST:
        // As exclusive mode does when the user switches to another program.
        if (fullScreen_ && !away_) {
            TakeAway(events);
            SDL_MinimizeWindow(window_);
        }
        break;
    case SDL_WINDOWEVENT_RESTORED:
    case SDL_WINDOWEVENT_MAXIMIZED:
    case SDL_WINDOWEVENT_FOCUS_GAINED:
        GiveBack(events);
        break;
    case SDL_WINDOWEVENT_ENTER:
        // The program decides what the pointer looks like over its window.
        events.push_back(HostEvent{HostEvent::Kind::Pointer});
        break;
    case SDL_WINDOWEVENT_EXPOSED:
        FollowRealSize(true);
        Redraw();
        break;
    case SDL_WINDOWEVENT_SIZE_CHANGED:
        Redraw();
        break;
    default:
        break;
    }
}

void SdlDisplay::Poll(std::vector<HostEvent>& events) {
    bool pointerMoved = false;
    SDL_Event event;
    while (SDL_PollEvent(&event)) {
        switch (event.type) {
        case SDL_KEYDOWN: {
            const SDL_Keysym& key = event.key.keysym;
            if (IsScreenModeToggle(key)) {
                if (!event.key.repeat) SetFullScreen(!fullScreen_);
                break;
            }
            // A held key is one press: the programs act on presses only.
            WORD vk = VirtualKey(key.sym);
            if (vk && !event.key.repeat) events.push_back(HostEvent{HostEvent::Kind::Key, vk, HeldModifiers(key.mod)});
            break;
        }
        case SDL_MOUSEMOTION:
            pointerMoved = true;
            break;
        case SDL_WINDOWEVENT:
            if (window_ && event.window.windowID == SDL_GetWindowID(window_)) HandleWindowEvent(event.window, events);
            break;
        case SDL_RENDER_DEVICE_RESET:
            // The texture is gone with the device; the next frame makes it again.
            if (texture_) SDL_DestroyTexture(texture_);
            texture_ = nullptr;
            textureWidth_ = textureHeight_ = 0;
            Redraw();
            break;
        default:
            break;
        }
    }
    // One pointer event stands for all the motion since the last look.
    if (pointerMoved) events.push_back(HostEvent{HostEvent::Kind::Pointer});
}

void SdlDisplay::Wait(std::optional<LONGLONG> until, int wakeFd) {
    pollfd wake{wakeFd, POLLIN, 0};
    if (!window_) {
        int milliseconds = until ? clock_.MillisecondsUntil(*until, kLongestPoll) : kLongestPoll;
        if (milliseconds > 0) poll(&wake, 1, milliseconds);
        return;
    }
    while (poll(&wake, 1, 0) == 0) {
        int milliseconds = until ? clock_.MillisecondsUntil(*until, kLongestSdlWait) : kLongestSdlWait;
        if (milliseconds == 0 || SDL_WaitEventTimeout(nullptr, milliseconds)) return;
    }
}

void SdlDisplay::ShowMessage(const char* caption, const char* text) {
    // A box could hide behind a full-screen window: leave full screen while it
    // is up.
    bool wasFullScreen = fullScreen_ && window_;
    if (wasFullScreen) SetFullScreen(false);
    if (SDL_ShowSimpleMessageBox(SDL_MESSAGEBOX_INFORMATION, caption ? caption : "", text ? text : "", window_) != 0)
        std::fprintf(stderr, "%s: %s\n", caption ? caption : "", text ? text : "");
    if (wasFullScreen) SetFullScreen(true);
}

void SdlDisplay::ShowPointer(bool visible) { SDL_ShowCursor(visible ? SDL_ENABLE : SDL_DISABLE); }

}  // namespace

int WholeScale(int areaWidth, int areaHeight, int width, int height) {
    if (width <= 0 || height <= 0) return 1;
    return std::max(1, std::min(areaWidth / width, areaHeight / height));
}

PictureArea FitPicture(int outputWidth, int outputHeight, int width, int height, bool wholeScale) {
    if (width <= 0 || height <= 0 || outputWidth <= 0 || outputHeight <= 0) return PictureArea{0, 0, 0, 0};
    long long fitWidth = outputWidth;
    long long fitHeight = outputHeight;
    if (wholeScale) {
        int scale = WholeScale(outputWidth, outputHeight, width, height);
        fitWidth = static_cast<long long>(width) * scale;
        fitHeight = static_cast<long long>(height) * scale;
    } else if (static_cast<long long>(outputWidth) * height > static_cast<long long>(outputHeight) * width) {
        // Wider than the picture: bars left and right.
        fitWidth = (static_cast<long long>(outputHeight) * width + height / 2) / height;
    } else {
        fitHeight = (static_cast<long long>(outputWidth) * height + width / 2) / width;
    }
    return PictureArea{static_cast<int>((outputWidth - fitWidth) / 2), static_cast<int>((outputHeight - fitHeight) / 2),
                       static_cast<int>(fitWidth), static_cast<int>(fitHeight)};
}

std::unique_ptr<Display> CreateSdlDisplay(bool window, bool integerScale, std::string& error) {
    // The runtime turns SIGINT, SIGTERM and SIGHUP into a close request of its own.
    SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
    // The software renderer draws into the window's own shared memory, not
    // into a texture of an OpenGL context that would draw it once more.
    SDL_SetHint(SDL_HINT_FRAMEBUFFER_ACCELERATION, "0");
    // One textured rectangle a frame is too small a job to share out: where
    // OpenGL rasterises on the processor (Mesa's llvmpipe), handing it to
    // worker threads and waiting for them costs more than drawing it here.
    // The user's own choice stands.
    setenv("LP_NUM_THREADS", "0", 0);
    if (SDL_Init(SDL_INIT_VIDEO) != 0) {
        error = SDL_GetError();
        return nullptr;
    }
    return std::make_unique<SdlDisplay>(window, integerScale);
}

}  // namespace platform
