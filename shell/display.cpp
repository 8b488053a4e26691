#include "display.h"

#include <cstdarg>
#include <cstdio>
#include <cstring>

#include "frame.h"
#include "program.h"
#include "sinetable.h"
#include "surface/surface.h"

int QuitStatus = 0;

static const DWORD SCREEN_WIDTH = 640;
static const DWORD SCREEN_HEIGHT = 480;
static const DWORD SCREEN_BITS = 8;

// Takes the screen: exclusive full-screen mode, a flipping chain with one back
// buffer, the palette, the matched colours, the texture, and the frame clock.
// The first step that fails is named in a message box and undoes the rest.
HRESULT InitDisplay(HWND window)
{
    BuildSineTable();
    ScreenRect.left = 0;
    ScreenRect.top = 0;
    ScreenRect.right = SCREEN_WIDTH;
    ScreenRect.bottom = SCREEN_HEIGHT;

    // The first interface sets the mode; only the IDirectDraw4 one is kept.
    LPDIRECTDRAW first = NULL;
    HRESULT result = DirectDrawCreate(NULL, &first, NULL);
    if (result != DD_OK) return ReportInitFailure(window, result, "DirectDrawCreate FAILED");

    result = first->QueryInterface(IID_IDirectDraw4, (LPVOID*)&DDObject);
    if (result != DD_OK) {
        first->Release();
        return ReportInitFailure(window, result, "QueryInterface FAILED");
    }

    result = first->SetCooperativeLevel(window, DDSCL_EXCLUSIVE | DDSCL_FULLSCREEN);
    if (result != DD_OK) {
        first->Release();
        return ReportInitFailure(window, result, "SetCooperativeLevel FAILED");
    }

    result = first->SetDisplayMode(SCREEN_WIDTH, SCREEN_HEIGHT, SCREEN_BITS);
    first->Release();
    if (result != DD_OK) return ReportInitFailure(window, result, "SetDisplayMode FAILED");

    DDSURFACEDESC2 desc;
    std::memset(&desc, 0, sizeof desc);
    desc.dwSize = sizeof desc;
    desc.dwFlags = DDSD_CAPS | DDSD_BACKBUFFERCOUNT;
    desc.dwBackBufferCount = 1;
    desc.ddsCaps.dwCaps = DDSCAPS_PRIMARYSURFACE | DDSCAPS_FLIP | DDSCAPS_COMPLEX;
    result = DDObject->CreateSurface(&desc, &PrimarySurface, NULL);
    if (result != DD_OK) return ReportInitFailure(window, result, "CreateSurface FAILED");

    DDSCAPS2 caps;
    std::memset(&caps, 0, sizeof caps);
    caps.dwCaps = DDSCAPS_BACKBUFFER;
    result = PrimarySurface->GetAttachedSurface(&caps, &BackSurface);
    if (result != DD_OK) return ReportInitFailure(window, result, "GetAttachedSurface FAILED");

    ScreenPalette = DDCreatePaletteFromBitmap(DDObject, TextureName);
    if (ScreenPalette) PrimarySurface->SetPalette(ScreenPalette);

    BackgroundPixel = DDPixelForColor(PrimarySurface, RGB(0x24, 0x78, 0x78));
    WhitePixel = DDPixelForColor(PrimarySurface, RGB(0xFF, 0xFF, 0xFF));

    if (TextureName) {
        TextureSurface = DDLoadBitmap(DDObject, TextureName, 0, 0);
        if (!TextureSurface) return ReportInitFailure(window, DD_OK, "DDLoadBitmap FAILED");
    }

    LARGE_INTEGER frequency;
    QueryPerformanceFrequency(&frequency);
    CounterFrequency = frequency.QuadPart;
    ResetFrameClock();
    return DD_OK;
}

// Releases what set-up made, shows the message and destroys the window, whose
// destruction posts the quit message; returns the result it was given.
HRESULT ReportInitFailure(HWND window, HRESULT result, const char* format, ...)
{
    char text[128];
    va_list arguments;
    va_start(arguments, format);
    std::vsnprintf(text, sizeof text, format, arguments);
    va_end(arguments);

    ReleaseDisplayObjects();
    QuitStatus = 1;
    MessageBoxA(window, text, "Direct Draw Miss", MB_OK);
    DestroyWindow(window);
    return result;
}

// Gives the display mode back first, then every object, each exactly once.
void ReleaseDisplayObjects()
{
    if (!DDObject) return;
    DDObject->RestoreDisplayMode();
    if (ScreenPalette) {
        ScreenPalette->Release();
        ScreenPalette = NULL;
    }
    if (TextureSurface) {
        TextureSurface->Release();
        TextureSurface = NULL;
    }
    if (PrimarySurface) {
        PrimarySurface->SetPalette(NULL);
        // The back buffer belongs to the chain and goes with it.
        PrimarySurface->Release();
        PrimarySurface = NULL;
    }
    DDObject->Release();
    DDObject = NULL;
}

// Brings lost surfaces back and reloads the texture; 1 only if all of it
// worked. The time spent lost never reaches the scene.
int RestoreSurfaces()
{
    int restored = PrimarySurface->Restore() == DD_OK && BackSurface->Restore() == DD_OK &&
                   DDRefreshBitmap(TextureSurface, TextureName) == DD_OK;
    ResetFrameClock();
    return restored;
}
