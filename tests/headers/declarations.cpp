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

// Basic types
static_assert(IsUnsigned<BYTE, 1> && IsUnsigned<WORD, 2> && IsUnsigned<DWORD, 4> && IsUnsigned<UINT, 4>);
static_assert(IsUnsigned<ULONG, 4> && IsUnsigned<COLORREF, 4> && IsSigned<LONG, 4> && IsSigned<INT, 4>);
static_assert(IsSigned<BOOL, 4> && IsSigned<HRESULT, 4> && IsSigned<LONGLONG, 8> && IsSigned<HFILE, 4>);
static_assert(std::is_same_v<ATOM, WORD> && IsUnsigned<WPARAM, sizeof(void*)> && IsSigned<LPARAM, sizeof(void*)>);
static_assert(IsSigned<LRESULT, sizeof(void*)> && IsUnsigned<ULONG_PTR, sizeof(void*)>);
static_assert(IsSigned<LONG_PTR, sizeof(void*)> && std::is_same_v<LPCSTR, const char*>);
static_assert(std::is_same_v<LPSTR, char*>);

// Handles: distinct pointer types, with the documented aliases.
static_assert(std::is_pointer_v<HWND> && std::is_pointer_v<HDC> && std::is_pointer_v<HBITMAP>);
static_assert(!std::is_same_v<HWND, HDC> && !std::is_same_v<HDC, HBITMAP> && !std::is_same_v<HACCEL, HICON>);
static_assert(std::is_same_v<HMODULE, HINSTANCE> && std::is_same_v<HCURSOR, HICON> && std::is_same_v<HANDLE, void*>);
static_assert(std::is_same_v<HGDIOBJ, HANDLE> && std::is_same_v<HGLOBAL, HANDLE>);

// Result codes
static_assert(S_OK == 0 && E_FAIL == (HRESULT)0x80004005 && E_INVALIDARG == (HRESULT)0x80070057);
static_assert(E_OUTOFMEMORY == (HRESULT)0x8007000E && E_NOTIMPL == (HRESULT)0x80004001);
static_assert(E_NOINTERFACE == (HRESULT)0x80004002 && FAILED(E_FAIL) && !FAILED(S_OK));
static_assert(DD_OK == 0 && DDERR_GENERIC == E_FAIL && DDERR_INVALIDPARAMS == E_INVALIDARG);
static_assert(DDERR_SURFACELOST == (HRESULT)0x887601C2 && DDERR_WASSTILLDRAWING == (HRESULT)0x8876021C);
static_assert(DDERR_SURFACEBUSY == (HRESULT)0x887601AE && DDERR_INVALIDOBJECT == (HRESULT)0x88760082);
static_assert(DDERR_INVALIDMODE == (HRESULT)0x88760078 && DDERR_NOEXCLUSIVEMODE == (HRESULT)0x887600E1);
static_assert(DDERR_NOTLOCKED == (HRESULT)0x88760248 && DDERR_NOTFOUND == (HRESULT)0x887600FF);
static_assert(DDERR_NOPALETTEATTACHED == (HRESULT)0x8876023C && DDERR_DCALREADYCREATED == (HRESULT)0x8876026C);

// DirectDraw flags
static_assert(DDSCL_FULLSCREEN == 0x1 && DDSCL_NORMAL == 0x8 && DDSCL_EXCLUSIVE == 0x10);
static_assert(DDSD_CAPS == 0x1 && DDSD_HEIGHT == 0x2 && DDSD_WIDTH == 0x4 && DDSD_PITCH == 0x8);
static_assert(DDSD_BACKBUFFERCOUNT == 0x20 && DDSD_LPSURFACE == 0x800 && DDSD_PIXELFORMAT == 0x1000);
static_assert(DDSD_CKDESTBLT == 0x4000 && DDSD_CKSRCBLT == 0x10000);
static_assert(DDSCAPS_BACKBUFFER == 0x4 && DDSCAPS_COMPLEX == 0x8 && DDSCAPS_FLIP == 0x10);
static_assert(DDSCAPS_FRONTBUFFER == 0x20 && DDSCAPS_OFFSCREENPLAIN == 0x40 && DDSCAPS_PRIMARYSURFACE == 0x200);
static_assert(DDSCAPS_SYSTEMMEMORY == 0x800 && DDSCAPS_VISIBLE == 0x8000);
static_assert(DDPF_PALETTEINDEXED8 == 0x20 && DDPF_RGB == 0x40 && (DDBLT_COLORFILL | DDBLT_WAIT) == 0x1000400);
static_assert(DDFLIP_WAIT == 0x1 && DDLOCK_WAIT == 0x1 && DDPCAPS_8BIT == 0x4 && DDPCAPS_ALLOW256 == 0x40 && DDCKEY_DESTBLT == 0x2);
static_assert(DDCKEY_SRCBLT == 0x8);

// Window, message, key and resource constants
static_assert(WM_CREATE == 0x1 && WM_DESTROY == 0x2 && WM_MOVE == 0x3 && WM_SIZE == 0x5 && WM_ACTIVATE == 0x6);
static_assert(WM_SETFOCUS == 0x7 && WM_KILLFOCUS == 0x8 && WM_PAINT == 0xF && WM_CLOSE == 0x10 && WM_QUIT == 0x12);
static_assert(WM_ERASEBKGND == 0x14 && WM_SHOWWINDOW == 0x18 && WM_ACTIVATEAPP == 0x1C && WM_SETCURSOR == 0x20);
static_assert(WM_WINDOWPOSCHANGING == 0x46 && WM_WINDOWPOSCHANGED == 0x47 && WM_NCCREATE == 0x81);
static_assert(WM_NCDESTROY == 0x82 && WM_NCCALCSIZE == 0x83 && WM_NCACTIVATE == 0x86 && WM_KEYDOWN == 0x100);
static_assert(WM_KEYUP == 0x101 && WM_CHAR == 0x102 && WM_SYSKEYDOWN == 0x104 && WM_SYSKEYUP == 0x105);
static_assert(WM_SYSCHAR == 0x106 && WM_COMMAND == 0x111 && WM_SYSCOMMAND == 0x112);
static_assert(SIZE_RESTORED == 0 && SIZE_MINIMIZED == 1 && SIZE_MAXIMIZED == 2 && SIZE_MAXHIDE == 4);
static_assert(WA_INACTIVE == 0 && WA_ACTIVE == 1 && SC_SIZE == 0xF000 && SC_MOVE == 0xF010 && SC_MINIMIZE == 0xF020);
static_assert(SC_MAXIMIZE == 0xF030 && SC_CLOSE == 0xF060 && SC_RESTORE == 0xF120 && SC_MONITORPOWER == 0xF170);
static_assert(VK_ESCAPE == 0x1B && VK_MENU == 0x12 && VK_RETURN == 0x0D && VK_SPACE == 0x20 && VK_F4 == 0x73);
static_assert(FVIRTKEY == 0x1 && FNOINVERT == 0x2 && FSHIFT == 0x4 && FCONTROL == 0x8 && FALT == 0x10);
static_assert(CS_VREDRAW == 0x1 && CS_HREDRAW == 0x2 && WS_POPUP == 0x80000000 && WS_VISIBLE == 0x10000000);
static_assert(CW_USEDEFAULT == (int)0x80000000 && SW_HIDE == 0 && SW_SHOWNORMAL == 1 && SW_SHOW == 5 && SW_RESTORE == 9);
static_assert(SW_SHOWDEFAULT == 10 && COLOR_WINDOW == 5 && MB_OK == 0x0 && MB_ICONERROR == 0x10 && IDOK == 1);
static_assert(PM_NOREMOVE == 0x0 && PM_REMOVE == 0x1);
static_assert(IMAGE_BITMAP == 0 && LR_LOADFROMFILE == 0x10 && LR_CREATEDIBSECTION == 0x2000);
static_assert(OF_READ == 0x0 && OF_WRITE == 0x1 && OF_READWRITE == 0x2 && HFILE_ERROR == -1);
static_assert(CLR_INVALID == 0xFFFFFFFF && SRCCOPY == 0x00CC0020 && BI_RGB == 0 && BI_RLE8 == 1 && BI_RLE4 == 2);
static_assert(BI_BITFIELDS == 3 && RGB(0x24, 0x78, 0x78) == 0x787824 && GetRValue(0x787824) == 0x24);
static_assert(GetGValue(0x787824) == 0x78 && GetBValue(0x787824) == 0x78 && LOWORD(0x12345678) == 0x5678);

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

// Structure sizes and layouts
static_assert(sizeof(POINT) == 8 && sizeof(SIZE) == 8 && sizeof(RECT) == 16 && offsetof(RECT, left) == 0);
static_assert(offsetof(RECT, top) == 4 && offsetof(RECT, right) == 8 && offsetof(RECT, bottom) == 12);
static_assert(sizeof(LARGE_INTEGER) == 8 && sizeof(GUID) == 16 && offsetof(GUID, Data2) == 4);
static_assert(offsetof(GUID, Data3) == 6 && offsetof(GUID, Data4) == 8);
static_assert(sizeof(PALETTEENTRY) == 4 && offsetof(PALETTEENTRY, peRed) == 0);
static_assert(offsetof(PALETTEENTRY, peGreen) == 1 && offsetof(PALETTEENTRY, peBlue) == 2);
static_assert(offsetof(PALETTEENTRY, peFlags) == 3 && sizeof(RGBQUAD) == 4 && offsetof(RGBQUAD, rgbBlue) == 0);
static_assert(offsetof(RGBQUAD, rgbRed) == 2 && sizeof(BITMAPFILEHEADER) == 14);
static_assert(offsetof(BITMAPFILEHEADER, bfSize) == 2 && offsetof(BITMAPFILEHEADER, bfOffBits) == 10);
static_assert(sizeof(BITMAPCOREHEADER) == 12 && sizeof(BITMAPINFOHEADER) == 40);
static_assert(offsetof(BITMAPINFOHEADER, biBitCount) == 14 && offsetof(BITMAPINFOHEADER, biCompression) == 16);
static_assert(offsetof(BITMAPINFOHEADER, biClrUsed) == 32 && offsetof(BITMAPINFO, bmiColors) == 40);
static_assert(offsetof(BITMAP, bmWidth) == 4 && offsetof(BITMAP, bmHeight) == 8);
static_assert(offsetof(BITMAP, bmWidthBytes) == 12 && offsetof(BITMAP, bmPlanes) == 16);
static_assert(offsetof(BITMAP, bmBitsPixel) == 18 && offsetof(BITMAP, bmBits) == (WIDE ? 24 : 20));
static_assert(sizeof(BITMAP) == (WIDE ? 32 : 24));
static_assert(sizeof(ACCEL) == 6 && offsetof(ACCEL, fVirt) == 0 && offsetof(ACCEL, key) == 2);
static_assert(offsetof(ACCEL, cmd) == 4 && offsetof(MSG, message) == sizeof(void*));
static_assert(offsetof(MSG, wParam) == 2 * sizeof(void*) && offsetof(MSG, lParam) == 3 * sizeof(void*));
static_assert(sizeof(WNDCLASSA) == (WIDE ? 72 : 40) && offsetof(WNDCLASSA, lpfnWndProc) == (WIDE ? 8 : 4));
static_assert(offsetof(WNDCLASSA, lpszClassName) == (WIDE ? 64 : 36));
static_assert(sizeof(DDCOLORKEY) == 8 && sizeof(DDSCAPS2) == 16 && offsetof(DDSCAPS2, dwCaps) == 0);
static_assert(sizeof(DDPIXELFORMAT) == 32 && offsetof(DDPIXELFORMAT, dwFlags) == 4);
static_assert(offsetof(DDPIXELFORMAT, dwRGBBitCount) == 12 && offsetof(DDPIXELFORMAT, dwRBitMask) == 16);
static_assert(offsetof(DDPIXELFORMAT, dwRGBAlphaBitMask) == 28 && sizeof(DDSURFACEDESC2) == (WIDE ? 136 : 124));
static_assert(offsetof(DDSURFACEDESC2, dwFlags) == 4 && offsetof(DDSURFACEDESC2, dwHeight) == 8);
static_assert(offsetof(DDSURFACEDESC2, dwWidth) == 12 && offsetof(DDSURFACEDESC2, lPitch) == 16);
static_assert(offsetof(DDSURFACEDESC2, dwBackBufferCount) == 20);
static_assert(offsetof(DDSURFACEDESC2, lpSurface) == (WIDE ? 40 : 36));
static_assert(offsetof(DDSURFACEDESC2, ddckCKSrcBlt) == offsetof(DDSURFACEDESC2, lpSurface) + sizeof(void*) + 24);
static_assert(offsetof(DDSURFACEDESC2, ddpfPixelFormat) == offsetof(DDSURFACEDESC2, lpSurface) + sizeof(void*) + 32);
static_assert(offsetof(DDSURFACEDESC2, ddsCaps) == offsetof(DDSURFACEDESC2, ddpfPixelFormat) + 32);
// Five of the blit's values share their place with a surface pointer.
static_assert(sizeof(DDBLTFX) == (WIDE ? 128 : 100) && offsetof(DDBLTFX, dwZDestConst) == 40);
static_assert(offsetof(DDBLTFX, dwZSrcConst) == (WIDE ? 56 : 48));
static_assert(offsetof(DDBLTFX, dwAlphaDestConst) == (WIDE ? 80 : 68));
static_assert(offsetof(DDBLTFX, dwAlphaSrcConst) == (WIDE ? 96 : 76));
static_assert(offsetof(DDBLTFX, dwFillColor) == (WIDE ? 104 : 80));
static_assert(offsetof(DDBLTFX, lpDDSPattern) == offsetof(DDBLTFX, dwFillColor));
static_assert(offsetof(DDBLTFX, ddckDestColorkey) == (WIDE ? 112 : 84));
static_assert(offsetof(DDBLTFX, ddckSrcColorkey) == (WIDE ? 120 : 92));

// Signatures of the calls the programs make, one line each: the result, the name and the parameters.
#define METHOD(interface, name, ...) \
    static_assert(std::is_same_v<decltype(&interface::name), HRESULT(STDMETHODCALLTYPE interface::*)(__VA_ARGS__)>)
#define CALL(result, name, ...) static_assert(std::is_same_v<decltype(&name), result(WINAPI*)(__VA_ARGS__)>)

METHOD(IDirectDraw, SetCooperativeLevel, HWND, DWORD);
METHOD(IDirectDraw, SetDisplayMode, DWORD, DWORD, DWORD);
METHOD(IDirectDraw4, CreateSurface, LPDDSURFACEDESC2, LPDIRECTDRAWSURFACE4*, IUnknown*);
METHOD(IDirectDraw4, CreatePalette, DWORD, LPPALETTEENTRY, LPDIRECTDRAWPALETTE*, IUnknown*);
METHOD(IDirectDraw4, RestoreDisplayMode);
METHOD(IDirectDrawSurface4, GetAttachedSurface, LPDDSCAPS2, LPDIRECTDRAWSURFACE4*);
METHOD(IDirectDrawSurface4, SetPalette, LPDIRECTDRAWPALETTE);
METHOD(IDirectDrawSurface4, Blt, LPRECT, LPDIRECTDRAWSURFACE4, LPRECT, DWORD, LPDDBLTFX);
METHOD(IDirectDrawSurface4, Flip, LPDIRECTDRAWSURFACE4, DWORD);
METHOD(IDirectDrawSurface4, Restore);
METHOD(IDirectDrawSurface4, Lock, LPRECT, LPDDSURFACEDESC2, DWORD, HANDLE);
METHOD(IDirectDrawSurface4, Unlock, LPRECT);
METHOD(IDirectDrawSurface4, GetDC, HDC*);
METHOD(IDirectDrawSurface4, ReleaseDC, HDC);
METHOD(IDirectDrawSurface4, GetSurfaceDesc, LPDDSURFACEDESC2);
METHOD(IDirectDrawSurface4, SetColorKey, DWORD, LPDDCOLORKEY);

CALL(HRESULT, DirectDrawCreate, GUID*, LPDIRECTDRAW*, IUnknown*);
CALL(ATOM, RegisterClassA, const WNDCLASSA*);
CALL(HWND, CreateWindowExA, DWORD, LPCSTR, LPCSTR, DWORD, int, int, int, int, HWND, HMENU, HINSTANCE, LPVOID);
CALL(BOOL, ShowWindow, HWND, int);
CALL(BOOL, UpdateWindow, HWND);
CALL(BOOL, DestroyWindow, HWND);
CALL(LRESULT, DefWindowProcA, HWND, UINT, WPARAM, LPARAM);
CALL(BOOL, PeekMessageA, LPMSG, HWND, UINT, UINT, UINT);
CALL(BOOL, GetMessageA, LPMSG, HWND, UINT, UINT);
CALL(BOOL, TranslateMessage, const MSG*);
CALL(LRESULT, DispatchMessageA, const MSG*);
CALL(int, TranslateAcceleratorA, HWND, HACCEL, LPMSG);
CALL(BOOL, PostMessageA, HWND, UINT, WPARAM, LPARAM);
CALL(void, PostQuitMessage, int);
CALL(BOOL, WaitMessage);
CALL(HCURSOR, SetCursor, HCURSOR);
CALL(int, MessageBoxA, HWND, LPCSTR, LPCSTR, UINT);
CALL(HACCEL, LoadAcceleratorsA, HINSTANCE, LPCSTR);
CALL(HICON, LoadIconA, HINSTANCE, LPCSTR);
CALL(HCURSOR, LoadCursorA, HINSTANCE, LPCSTR);
CALL(HANDLE, LoadImageA, HINSTANCE, LPCSTR, UINT, int, int, UINT);
CALL(int, GetObjectA, HANDLE, int, LPVOID);
CALL(BOOL, DeleteObject, HGDIOBJ);
CALL(HDC, CreateCompatibleDC, HDC);
CALL(HGDIOBJ, SelectObject, HDC, HGDIOBJ);
CALL(BOOL, DeleteDC, HDC);
CALL(COLORREF, GetPixel, HDC, int, int);
CALL(COLORREF, SetPixel, HDC, int, int, COLORREF);
CALL(HMODULE, GetModuleHandleA, LPCSTR);
CALL(HRSRC, FindResourceA, HMODULE, LPCSTR, LPCSTR);
CALL(HGLOBAL, LoadResource, HMODULE, HRSRC);
CALL(LPVOID, LockResource, HGLOBAL);
CALL(DWORD, SizeofResource, HMODULE, HRSRC);
CALL(HFILE, _lopen, LPCSTR, int);
CALL(UINT, _lread, HFILE, LPVOID, UINT);
CALL(HFILE, _lclose, HFILE);
CALL(BOOL, QueryPerformanceCounter, LARGE_INTEGER*);
CALL(BOOL, QueryPerformanceFrequency, LARGE_INTEGER*);
static_assert(std::is_same_v<WNDPROC, LRESULT(CALLBACK*)(HWND, UINT, WPARAM, LPARAM)>);
static_assert(std::is_same_v<decltype(StretchBlt), 
              BOOL WINAPI(HDC, int, int, int, int, HDC, int, int, int, int, DWORD)>);
