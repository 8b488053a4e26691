// The values, sizes, layouts and signatures of the Windows and DirectDraw
// declarations that the programs rely on. This file is compiled against our
// platform's headers on Linux and against the system's headers in the Windows
// build, so a declaration that differs between the two fails one of the builds.
#include <windows.h>
#include <ddraw.h>

#include <cstddef>
#include <type_traits>

// The Windows build must see the system's headers, never our platform's.
#if defined(_WIN32) && (defined(PLATFORM_WINDOWS_H) || defined(PLATFORM_DDRAW_H))
#error "the Windows build found the platform's own windows.h or ddraw.h"
#endif

namespace {

constexpr bool WIDE = sizeof(void*) == 8;

template <typename T, std::size_t bytes>
constexpr bool IsUnsigned = std::is_integral_v<T> && std::is_unsigned_v<T> && sizeof(T) == bytes;
template <typename T, std::size_t bytes>
constexpr bool IsSigned = std::is_integral_v<T> && std::is_signed_v<T> && sizeof(T) == bytes;

}  // namespace

// ---------------------------------------------------------------------------
// Basic types
// ---------------------------------------------------------------------------

static_assert(IsUnsigned<BYTE, 1>);
static_assert(IsUnsigned<WORD, 2>);
static_assert(IsUnsigned<DWORD, 4>);
static_assert(IsUnsigned<UINT, 4>);
static_assert(IsUnsigned<ULONG, 4>);
static_assert(IsUnsigned<COLORREF, 4>);
static_assert(IsSigned<LONG, 4>);
static_assert(IsSigned<INT, 4>);
static_assert(IsSigned<BOOL, 4>);
static_assert(IsSigned<HRESULT, 4>);
static_assert(IsSigned<LONGLONG, 8>);
static_assert(IsSigned<HFILE, 4>);
static_assert(std::is_same_v<ATOM, WORD>);
static_assert(IsUnsigned<WPARAM, sizeof(void*)>);
static_assert(IsSigned<LPARAM, sizeof(void*)>);
static_assert(IsSigned<LRESULT, sizeof(void*)>);
static_assert(IsUnsigned<ULONG_PTR, sizeof(void*)>);
static_assert(IsSigned<LONG_PTR, sizeof(void*)>);
static_assert(std::is_same_v<LPCSTR, const char*>);
static_assert(std::is_same_v<LPSTR, char*>);

// Handles: distinct pointer types, with the documented aliases.
static_assert(std::is_pointer_v<HWND> && std::is_pointer_v<HDC> && std::is_pointer_v<HBITMAP>);
static_assert(!std::is_same_v<HWND, HDC> && !std::is_same_v<HDC, HBITMAP> && !std::is_same_v<HACCEL, HICON>);
static_assert(std::is_same_v<HMODULE, HINSTANCE>);
static_assert(std::is_same_v<HCURSOR, HICON>);
static_assert(std::is_same_v<HANDLE, void*>);
static_assert(std::is_same_v<HGDIOBJ, HANDLE>);
static_assert(std::is_same_v<HGLOBAL, HANDLE>);

// ---------------------------------------------------------------------------
// Result codes
// ---------------------------------------------------------------------------

static_assert(S_OK == 0);
static_assert(E_FAIL == (HRESULT)0x80004005);
static_assert(E_INVALIDARG == (HRESULT)0x80070057);
static_assert(E_OUTOFMEMORY == (HRESULT)0x8007000E);
static_assert(E_NOTIMPL == (HRESULT)0x80004001);
static_assert(E_NOINTERFACE == (HRESULT)0x80004002);
static_assert(FAILED(E_FAIL) && !FAILED(S_OK));

static_assert(DD_OK == 0);
static_assert(DDERR_GENERIC == E_FAIL);
static_assert(DDERR_INVALIDPARAMS == E_INVALIDARG);
static_assert(DDERR_SURFACELOST == (HRESULT)0x887601C2);
static_assert(DDERR_WASSTILLDRAWING == (HRESULT)0x8876021C);
static_assert(DDERR_SURFACEBUSY == (HRESULT)0x887601AE);
static_assert(DDERR_INVALIDOBJECT == (HRESULT)0x88760082);
static_assert(DDERR_INVALIDMODE == (HRESULT)0x88760078);
static_assert(DDERR_NOEXCLUSIVEMODE == (HRESULT)0x887600E1);
static_assert(DDERR_NOTLOCKED == (HRESULT)0x88760248);
static_assert(DDERR_NOTFOUND == (HRESULT)0x887600FF);
static_assert(DDERR_NOPALETTEATTACHED == (HRESULT)0x8876023C);
static_assert(DDERR_DCALREADYCREATED == (HRESULT)0x8876026C);

// ---------------------------------------------------------------------------
// DirectDraw flags
// ---------------------------------------------------------------------------

static_assert(DDSCL_FULLSCREEN == 0x1 && DDSCL_NORMAL == 0x8 &&
              DDSCL_EXCLUSIVE == 0x10);

static_assert(DDSD_CAPS == 0x1 && DDSD_HEIGHT == 0x2 && DDSD_WIDTH == 0x4 && DDSD_PITCH == 0x8);
static_assert(DDSD_BACKBUFFERCOUNT == 0x20 && DDSD_LPSURFACE == 0x800 && DDSD_PIXELFORMAT == 0x1000);
static_assert(DDSD_CKDESTBLT == 0x4000 && DDSD_CKSRCBLT == 0x10000);

static_assert(DDSCAPS_BACKBUFFER == 0x4 && DDSCAPS_COMPLEX == 0x8 && DDSCAPS_FLIP == 0x10);
static_assert(DDSCAPS_FRONTBUFFER == 0x20 && DDSCAPS_OFFSCREENPLAIN == 0x40);
static_assert(DDSCAPS_PRIMARYSURFACE == 0x200 && DDSCAPS_SYSTEMMEMORY == 0x800);
static_assert(DDSCAPS_VISIBLE == 0x8000);

static_assert(DDPF_PALETTEINDEXED8 == 0x20 && DDPF_RGB == 0x40);
static_assert((DDBLT_COLORFILL | DDBLT_WAIT) == 0x1000400);
static_assert(DDFLIP_WAIT == 0x1);
static_assert(DDLOCK_WAIT == 0x1);
static_assert(DDPCAPS_8BIT == 0x4 && DDPCAPS_ALLOW256 == 0x40);
static_assert(DDCKEY_DESTBLT == 0x2 && DDCKEY_SRCBLT == 0x8);

// ---------------------------------------------------------------------------
// Window, message, key and resource constants
// ---------------------------------------------------------------------------

static_assert(WM_CREATE == 0x1 && WM_DESTROY == 0x2 && WM_MOVE == 0x3 && WM_SIZE == 0x5);
static_assert(WM_ACTIVATE == 0x6 && WM_SETFOCUS == 0x7 && WM_KILLFOCUS == 0x8 && WM_PAINT == 0xF);
static_assert(WM_CLOSE == 0x10 && WM_QUIT == 0x12 && WM_ERASEBKGND == 0x14 && WM_SHOWWINDOW == 0x18);
static_assert(WM_ACTIVATEAPP == 0x1C && WM_SETCURSOR == 0x20);
static_assert(WM_WINDOWPOSCHANGING == 0x46 && WM_WINDOWPOSCHANGED == 0x47);
static_assert(WM_NCCREATE == 0x81 && WM_NCDESTROY == 0x82 && WM_NCCALCSIZE == 0x83 && WM_NCACTIVATE == 0x86);
static_assert(WM_KEYDOWN == 0x100 && WM_KEYUP == 0x101 && WM_CHAR == 0x102);
static_assert(WM_SYSKEYDOWN == 0x104 && WM_SYSKEYUP == 0x105 && WM_SYSCHAR == 0x106);
static_assert(WM_COMMAND == 0x111 && WM_SYSCOMMAND == 0x112);

static_assert(SIZE_RESTORED == 0 && SIZE_MINIMIZED == 1 && SIZE_MAXIMIZED == 2 &&
              SIZE_MAXHIDE == 4);
static_assert(WA_INACTIVE == 0 && WA_ACTIVE == 1);
static_assert(SC_SIZE == 0xF000 && SC_MOVE == 0xF010 && SC_MINIMIZE == 0xF020 && SC_MAXIMIZE == 0xF030);
static_assert(SC_CLOSE == 0xF060 && SC_RESTORE == 0xF120 && SC_MONITORPOWER == 0xF170);

static_assert(VK_ESCAPE == 0x1B && VK_MENU == 0x12 && VK_RETURN == 0x0D && VK_SPACE == 0x20 && VK_F4 == 0x73);
static_assert(FVIRTKEY == 0x1 && FNOINVERT == 0x2 && FSHIFT == 0x4 && FCONTROL == 0x8 && FALT == 0x10);

static_assert(CS_VREDRAW == 0x1 && CS_HREDRAW == 0x2);
static_assert(WS_POPUP == 0x80000000 && WS_VISIBLE == 0x10000000);
static_assert(CW_USEDEFAULT == (int)0x80000000);
static_assert(SW_HIDE == 0 && SW_SHOWNORMAL == 1 && SW_SHOW == 5 && SW_RESTORE == 9 && SW_SHOWDEFAULT == 10);
static_assert(COLOR_WINDOW == 5);
static_assert(MB_OK == 0x0 && MB_ICONERROR == 0x10 && IDOK == 1);
static_assert(PM_NOREMOVE == 0x0 && PM_REMOVE == 0x1);

static_assert(IMAGE_BITMAP == 0);
static_assert(LR_LOADFROMFILE == 0x10 && LR_CREATEDIBSECTION == 0x2000);

static_assert(OF_READ == 0x0 && OF_WRITE == 0x1 && OF_READWRITE == 0x2);
static_assert(HFILE_ERROR == -1);

static_assert(CLR_INVALID == 0xFFFFFFFF);
static_assert(SRCCOPY == 0x00CC0020);
static_assert(BI_RGB == 0 && BI_RLE8 == 1 && BI_RLE4 == 2 && BI_BITFIELDS == 3);
static_assert(RGB(0x24, 0x78, 0x78) == 0x787824);
static_assert(GetRValue(0x787824) == 0x24 && GetGValue(0x787824) == 0x78 && GetBValue(0x787824) == 0x78);
static_assert(LOWORD(0x12345678) == 0x5678);

// Resource types and names are pointers made from integers, which no constant
// expression may look into. The compiler folds each comparison below; one that
// does not hold leaves a call standing, and that call fails the build.
void ResourceIdentifierDiffers() __attribute__((error("a resource type or name has another value")));
void CheckResourceIdentifiers() {
    if ((ULONG_PTR)RT_BITMAP != 2 || (ULONG_PTR)RT_ICON != 3)
        ResourceIdentifierDiffers();
    if ((ULONG_PTR)RT_ACCELERATOR != 9) ResourceIdentifierDiffers();
    if ((ULONG_PTR)RT_GROUP_ICON != 14) ResourceIdentifierDiffers();
    if ((ULONG_PTR)IDC_ARROW != 32512) ResourceIdentifierDiffers();
    if ((ULONG_PTR)MAKEINTRESOURCEA(0x12345) != 0x2345) ResourceIdentifierDiffers();
}
static_assert(IS_INTRESOURCE(0xFFFF) && !IS_INTRESOURCE(0x10000));

// ---------------------------------------------------------------------------
// Structure sizes and layouts
// ---------------------------------------------------------------------------

static_assert(sizeof(POINT) == 8 && sizeof(SIZE) == 8 && sizeof(RECT) == 16);
static_assert(offsetof(RECT, left) == 0 && offsetof(RECT, top) == 4 && offsetof(RECT, right) == 8 &&
              offsetof(RECT, bottom) == 12);
static_assert(sizeof(LARGE_INTEGER) == 8);
static_assert(sizeof(GUID) == 16 && offsetof(GUID, Data2) == 4 && offsetof(GUID, Data3) == 6 &&
              offsetof(GUID, Data4) == 8);

static_assert(sizeof(PALETTEENTRY) == 4 && offsetof(PALETTEENTRY, peRed) == 0 &&
              offsetof(PALETTEENTRY, peGreen) == 1 && offsetof(PALETTEENTRY, peBlue) == 2 &&
              offsetof(PALETTEENTRY, peFlags) == 3);
static_assert(sizeof(RGBQUAD) == 4 && offsetof(RGBQUAD, rgbBlue) == 0 && offsetof(RGBQUAD, rgbRed) == 2);
static_assert(sizeof(BITMAPFILEHEADER) == 14 && offsetof(BITMAPFILEHEADER, bfSize) == 2 &&
              offsetof(BITMAPFILEHEADER, bfOffBits) == 10);
static_assert(sizeof(BITMAPCOREHEADER) == 12);
static_assert(sizeof(BITMAPINFOHEADER) == 40 && offsetof(BITMAPINFOHEADER, biBitCount) == 14 &&
              offsetof(BITMAPINFOHEADER, biCompression) == 16 && offsetof(BITMAPINFOHEADER, biClrUsed) == 32);
static_assert(offsetof(BITMAPINFO, bmiColors) == 40);
static_assert(offsetof(BITMAP, bmWidth) == 4 && offsetof(BITMAP, bmHeight) == 8 &&
              offsetof(BITMAP, bmWidthBytes) == 12 && offsetof(BITMAP, bmPlanes) == 16 &&
              offsetof(BITMAP, bmBitsPixel) == 18 && offsetof(BITMAP, bmBits) == (WIDE ? 24 : 20));
static_assert(sizeof(BITMAP) == (WIDE ? 32 : 24));

static_assert(sizeof(ACCEL) == 6 && offsetof(ACCEL, fVirt) == 0 && offsetof(ACCEL, key) == 2 &&
              offsetof(ACCEL, cmd) == 4);
static_assert(offsetof(MSG, message) == sizeof(void*) && offsetof(MSG, wParam) == 2 * sizeof(void*) &&
              offsetof(MSG, lParam) == 3 * sizeof(void*));
static_assert(sizeof(WNDCLASSA) == (WIDE ? 72 : 40) && offsetof(WNDCLASSA, lpfnWndProc) == (WIDE ? 8 : 4) &&
              offsetof(WNDCLASSA, lpszClassName) == (WIDE ? 64 : 36));

static_assert(sizeof(DDCOLORKEY) == 8);
static_assert(sizeof(DDSCAPS2) == 16 && offsetof(DDSCAPS2, dwCaps) == 0);
static_assert(sizeof(DDPIXELFORMAT) == 32 && offsetof(DDPIXELFORMAT, dwFlags) == 4 &&
              offsetof(DDPIXELFORMAT, dwRGBBitCount) == 12 && offsetof(DDPIXELFORMAT, dwRBitMask) == 16 &&
              offsetof(DDPIXELFORMAT, dwRGBAlphaBitMask) == 28);
static_assert(sizeof(DDSURFACEDESC2) == (WIDE ? 136 : 124));
static_assert(offsetof(DDSURFACEDESC2, dwFlags) == 4 && offsetof(DDSURFACEDESC2, dwHeight) == 8 &&
              offsetof(DDSURFACEDESC2, dwWidth) == 12 && offsetof(DDSURFACEDESC2, lPitch) == 16 &&
              offsetof(DDSURFACEDESC2, dwBackBufferCount) == 20);
static_assert(offsetof(DDSURFACEDESC2, lpSurface) == (WIDE ? 40 : 36));
static_assert(offsetof(DDSURFACEDESC2, ddckCKSrcBlt) == offsetof(DDSURFACEDESC2, lpSurface) + sizeof(void*) + 24);
static_assert(offsetof(DDSURFACEDESC2, ddpfPixelFormat) == offsetof(DDSURFACEDESC2, lpSurface) + sizeof(void*) + 32);
static_assert(offsetof(DDSURFACEDESC2, ddsCaps) == offsetof(DDSURFACEDESC2, ddpfPixelFormat) + 32);
// Five of the blit's values share their place with a surface pointer.
static_assert(sizeof(DDBLTFX) == (WIDE ? 128 : 100));
static_assert(offsetof(DDBLTFX, dwZDestConst) == 40 && offsetof(DDBLTFX, dwZSrcConst) == (WIDE ? 56 : 48));
static_assert(offsetof(DDBLTFX, dwAlphaDestConst) == (WIDE ? 80 : 68) &&
              offsetof(DDBLTFX, dwAlphaSrcConst) == (WIDE ? 96 : 76));
static_assert(offsetof(DDBLTFX, dwFillColor) == (WIDE ? 104 : 80) &&
              offsetof(DDBLTFX, lpDDSPattern) == offsetof(DDBLTFX, dwFillColor));
static_assert(offsetof(DDBLTFX, ddckDestColorkey) == (WIDE ? 112 : 84) &&
              offsetof(DDBLTFX, ddckSrcColorkey) == (WIDE ? 120 : 92));

// ---------------------------------------------------------------------------
// Signatures of the calls the programs make
// ---------------------------------------------------------------------------

static_assert(std::is_same_v<decltype(&DirectDrawCreate), HRESULT(WINAPI*)(GUID*, LPDIRECTDRAW*, IUnknown*)>);
static_assert(std::is_same_v<decltype(&IDirectDraw::SetCooperativeLevel),
                             HRESULT (STDMETHODCALLTYPE IDirectDraw::*)(HWND, DWORD)>);
static_assert(std::is_same_v<decltype(&IDirectDraw::SetDisplayMode),
                             HRESULT (STDMETHODCALLTYPE IDirectDraw::*)(DWORD, DWORD, DWORD)>);
static_assert(std::is_same_v<decltype(&IDirectDraw4::CreateSurface),
                             HRESULT (STDMETHODCALLTYPE IDirectDraw4::*)(LPDDSURFACEDESC2, LPDIRECTDRAWSURFACE4*,
                                                                         IUnknown*)>);
static_assert(std::is_same_v<decltype(&IDirectDraw4::CreatePalette),
                             HRESULT (STDMETHODCALLTYPE IDirectDraw4::*)(DWORD, LPPALETTEENTRY, LPDIRECTDRAWPALETTE*,
                                                                         IUnknown*)>);
static_assert(std::is_same_v<decltype(&IDirectDraw4::RestoreDisplayMode),
                             HRESULT (STDMETHODCALLTYPE IDirectDraw4::*)()>);
static_assert(std::is_same_v<decltype(&IDirectDrawSurface4::GetAttachedSurface),
                             HRESULT (STDMETHODCALLTYPE IDirectDrawSurface4::*)(LPDDSCAPS2, LPDIRECTDRAWSURFACE4*)>);
static_assert(std::is_same_v<decltype(&IDirectDrawSurface4::SetPalette),
                             HRESULT (STDMETHODCALLTYPE IDirectDrawSurface4::*)(LPDIRECTDRAWPALETTE)>);
static_assert(std::is_same_v<decltype(&IDirectDrawSurface4::Blt),
                             HRESULT (STDMETHODCALLTYPE IDirectDrawSurface4::*)(LPRECT, LPDIRECTDRAWSURFACE4, LPRECT,
                                                                                DWORD, LPDDBLTFX)>);
static_assert(std::is_same_v<decltype(&IDirectDrawSurface4::Flip),
                             HRESULT (STDMETHODCALLTYPE IDirectDrawSurface4::*)(LPDIRECTDRAWSURFACE4, DWORD)>);
static_assert(std::is_same_v<decltype(&IDirectDrawSurface4::Restore),
                             HRESULT (STDMETHODCALLTYPE IDirectDrawSurface4::*)()>);
static_assert(std::is_same_v<decltype(&IDirectDrawSurface4::Lock),
                             HRESULT (STDMETHODCALLTYPE IDirectDrawSurface4::*)(LPRECT, LPDDSURFACEDESC2, DWORD,
                                                                                HANDLE)>);
static_assert(std::is_same_v<decltype(&IDirectDrawSurface4::Unlock),
                             HRESULT (STDMETHODCALLTYPE IDirectDrawSurface4::*)(LPRECT)>);
static_assert(std::is_same_v<decltype(&IDirectDrawSurface4::GetDC),
                             HRESULT (STDMETHODCALLTYPE IDirectDrawSurface4::*)(HDC*)>);
static_assert(std::is_same_v<decltype(&IDirectDrawSurface4::ReleaseDC),
                             HRESULT (STDMETHODCALLTYPE IDirectDrawSurface4::*)(HDC)>);
static_assert(std::is_same_v<decltype(&IDirectDrawSurface4::GetSurfaceDesc),
                             HRESULT (STDMETHODCALLTYPE IDirectDrawSurface4::*)(LPDDSURFACEDESC2)>);
static_assert(std::is_same_v<decltype(&IDirectDrawSurface4::SetColorKey),
                             HRESULT (STDMETHODCALLTYPE IDirectDrawSurface4::*)(DWORD, LPDDCOLORKEY)>);

static_assert(std::is_same_v<WNDPROC, LRESULT(CALLBACK*)(HWND, UINT, WPARAM, LPARAM)>);
static_assert(std::is_same_v<decltype(&RegisterClassA), ATOM(WINAPI*)(const WNDCLASSA*)>);
static_assert(std::is_same_v<decltype(&CreateWindowExA), HWND(WINAPI*)(DWORD, LPCSTR, LPCSTR, DWORD, int, int, int, int,
                                                                    HWND, HMENU, HINSTANCE, LPVOID)>);
static_assert(std::is_same_v<decltype(&ShowWindow), BOOL(WINAPI*)(HWND, int)>);
static_assert(std::is_same_v<decltype(&UpdateWindow), BOOL(WINAPI*)(HWND)>);
static_assert(std::is_same_v<decltype(&DestroyWindow), BOOL(WINAPI*)(HWND)>);
static_assert(std::is_same_v<decltype(&DefWindowProcA), LRESULT(WINAPI*)(HWND, UINT, WPARAM, LPARAM)>);
static_assert(std::is_same_v<decltype(&PeekMessageA), BOOL(WINAPI*)(LPMSG, HWND, UINT, UINT, UINT)>);
static_assert(std::is_same_v<decltype(&GetMessageA), BOOL(WINAPI*)(LPMSG, HWND, UINT, UINT)>);
static_assert(std::is_same_v<decltype(&TranslateMessage), BOOL(WINAPI*)(const MSG*)>);
static_assert(std::is_same_v<decltype(&DispatchMessageA), LRESULT(WINAPI*)(const MSG*)>);
static_assert(std::is_same_v<decltype(&TranslateAcceleratorA), int(WINAPI*)(HWND, HACCEL, LPMSG)>);
static_assert(std::is_same_v<decltype(&PostMessageA), BOOL(WINAPI*)(HWND, UINT, WPARAM, LPARAM)>);
static_assert(std::is_same_v<decltype(&PostQuitMessage), void(WINAPI*)(int)>);
static_assert(std::is_same_v<decltype(&WaitMessage), BOOL(WINAPI*)()>);
static_assert(std::is_same_v<decltype(&SetCursor), HCURSOR(WINAPI*)(HCURSOR)>);
static_assert(std::is_same_v<decltype(&MessageBoxA), int(WINAPI*)(HWND, LPCSTR, LPCSTR, UINT)>);
static_assert(std::is_same_v<decltype(&LoadAcceleratorsA), HACCEL(WINAPI*)(HINSTANCE, LPCSTR)>);
static_assert(std::is_same_v<decltype(&LoadIconA), HICON(WINAPI*)(HINSTANCE, LPCSTR)>);
static_assert(std::is_same_v<decltype(&LoadCursorA), HCURSOR(WINAPI*)(HINSTANCE, LPCSTR)>);
static_assert(std::is_same_v<decltype(&LoadImageA), HANDLE(WINAPI*)(HINSTANCE, LPCSTR, UINT, int, int, UINT)>);

static_assert(std::is_same_v<decltype(&GetObjectA), int(WINAPI*)(HANDLE, int, LPVOID)>);
static_assert(std::is_same_v<decltype(&DeleteObject), BOOL(WINAPI*)(HGDIOBJ)>);
static_assert(std::is_same_v<decltype(&CreateCompatibleDC), HDC(WINAPI*)(HDC)>);
static_assert(std::is_same_v<decltype(&SelectObject), HGDIOBJ(WINAPI*)(HDC, HGDIOBJ)>);
static_assert(std::is_same_v<decltype(&DeleteDC), BOOL(WINAPI*)(HDC)>);
static_assert(std::is_same_v<decltype(StretchBlt),
                             BOOL WINAPI(HDC, int, int, int, int, HDC, int, int, int, int, DWORD)>);
static_assert(std::is_same_v<decltype(&GetPixel), COLORREF(WINAPI*)(HDC, int, int)>);
static_assert(std::is_same_v<decltype(&SetPixel), COLORREF(WINAPI*)(HDC, int, int, COLORREF)>);

static_assert(std::is_same_v<decltype(&GetModuleHandleA), HMODULE(WINAPI*)(LPCSTR)>);
static_assert(std::is_same_v<decltype(&FindResourceA), HRSRC(WINAPI*)(HMODULE, LPCSTR, LPCSTR)>);
static_assert(std::is_same_v<decltype(&LoadResource), HGLOBAL(WINAPI*)(HMODULE, HRSRC)>);
static_assert(std::is_same_v<decltype(&LockResource), LPVOID(WINAPI*)(HGLOBAL)>);
static_assert(std::is_same_v<decltype(&SizeofResource), DWORD(WINAPI*)(HMODULE, HRSRC)>);
static_assert(std::is_same_v<decltype(&_lopen), HFILE(WINAPI*)(LPCSTR, int)>);
static_assert(std::is_same_v<decltype(&_lread), UINT(WINAPI*)(HFILE, LPVOID, UINT)>);
static_assert(std::is_same_v<decltype(&_lclose), HFILE(WINAPI*)(HFILE)>);
static_assert(std::is_same_v<decltype(&QueryPerformanceCounter), BOOL(WINAPI*)(LARGE_INTEGER*)>);
static_assert(std::is_same_v<decltype(&QueryPerformanceFrequency), BOOL(WINAPI*)(LARGE_INTEGER*)>);
