// Device contexts, GDI objects and image lists. Every wrapper deletes or releases what
// it owns when it is destroyed; Attach takes ownership.
#pragma once
#include <windows.h>
#include <commctrl.h>
#include "types.h"
#include "text.h"

// --- GDI objects ---------------------------------------------------------------------
class CGdiObject {
public:
    HGDIOBJ m_hObject = nullptr;

    CGdiObject() {}
    virtual ~CGdiObject() { DeleteObject(); }
    CGdiObject(const CGdiObject&) = delete;
    CGdiObject& operator=(const CGdiObject&) = delete;

    // Takes ownership of h (an object held before is deleted first).
    BOOL Attach(HGDIOBJ h);
    BOOL DeleteObject();
};

class CPen : public CGdiObject {
public:
    CPen(int style, int width, COLORREF colour) { Attach(::CreatePen(style, width, colour)); }
};

class CBrush : public CGdiObject {
public:
    explicit CBrush(COLORREF colour) { Attach(::CreateSolidBrush(colour)); }
};

class CDC;

class CBitmap : public CGdiObject {
public:
    BOOL CreateCompatibleBitmap(CDC* dc, int width, int height);
    // FALSE (and *bm zeroed) when no bitmap is held.
    BOOL GetBitmap(BITMAP* bm) const;
    CSize GetSize() const;   // 0 x 0 when no bitmap is held
    operator HBITMAP() const { return (HBITMAP)m_hObject; }
};

// --- device contexts -------------------------------------------------------------------
// A CDC either wraps a device context it does not own (constructed from a handle) or
// owns one (CreateCompatibleDC, and the derived paint / client / window contexts).
// Before an owned context is deleted or released, the objects that were selected into
// it first are selected back, so that what the caller selected can be deleted afterwards.
class CDC {
public:
    HDC m_hDC = nullptr;

    CDC() {}
    explicit CDC(HDC hDC) : m_hDC(hDC) {}   // not owned: a handler's own context
    virtual ~CDC();
    CDC(const CDC&) = delete;
    CDC& operator=(const CDC&) = delete;

    BOOL DeleteDC();        // only for a context this object created
    HDC GetSafeHdc() const { return m_hDC; }
    operator HDC() const { return m_hDC; }

    // A memory context compatible with dc (null: the screen); owned.
    BOOL CreateCompatibleDC(CDC* dc);

    // Selection: each returns the object that was selected before (same kind).
    HPEN SelectObject(CPen* pen) { return (HPEN)Select(pen ? pen->m_hObject : nullptr); }
    HBRUSH SelectObject(CBrush* brush) { return (HBRUSH)Select(brush ? brush->m_hObject : nullptr); }
    HBITMAP SelectObject(CBitmap* bitmap) { return (HBITMAP)Select(bitmap ? bitmap->m_hObject : nullptr); }
    HPEN SelectObject(HPEN h) { return (HPEN)Select(h); }
    HBRUSH SelectObject(HBRUSH h) { return (HBRUSH)Select(h); }
    HFONT SelectObject(HFONT h) { return (HFONT)Select(h); }
    HBITMAP SelectObject(HBITMAP h) { return (HBITMAP)Select(h); }

    int SaveDC() { return ::SaveDC(m_hDC); }
    BOOL RestoreDC(int saved) { return ::RestoreDC(m_hDC, saved); }

    BOOL BitBlt(int x, int y, int width, int height, CDC* src, int xSrc, int ySrc, DWORD rop)
    { return ::BitBlt(m_hDC, x, y, width, height, src ? src->m_hDC : nullptr, xSrc, ySrc, rop); }

    COLORREF SetTextColor(COLORREF c) { return ::SetTextColor(m_hDC, c); }
    int SetBkMode(int mode) { return ::SetBkMode(m_hDC, mode); }
    int DrawText(LPCSTR text, int count, LPRECT rect, UINT format)
    { return ::DrawTextA(m_hDC, text, count, rect, format); }
    int DrawText(const CString& text, LPRECT rect, UINT format)
    { return ::DrawTextA(m_hDC, text, text.GetLength(), rect, format); }
    // DrawStateA with DST_TEXT / DST_PREFIXTEXT; count 0 = whole string.
    BOOL DrawState(POINT pt, SIZE size, LPCSTR text, UINT flags, BOOL prefixText = TRUE,
                   int count = 0, CBrush* brush = nullptr);
    BOOL DrawIcon(int x, int y, HICON icon) { return ::DrawIcon(m_hDC, x, y, icon); }
    BOOL Rectangle(LPCRECT rc) { return ::Rectangle(m_hDC, rc->left, rc->top, rc->right, rc->bottom); }
    COLORREF SetPixel(int x, int y, COLORREF c) { return ::SetPixel(m_hDC, x, y, c); }

protected:
    enum Ownership { kAttached, kCreated, kReleased, kPainted };
    HGDIOBJ Select(HGDIOBJ h);
    void RestoreOriginals();

    Ownership m_own = kAttached;
    HWND m_hWndOwner = nullptr;        // window of a GetDC / GetWindowDC / BeginPaint context
    HGDIOBJ m_original[4] = {};        // pen, brush, font, bitmap first replaced
};

class CPaintDC : public CDC {
public:
    explicit CPaintDC(HWND wnd);
    ~CPaintDC() override;
    PAINTSTRUCT m_ps;
};

// Client-area context of a window (null: the screen); released on destruction.
class CClientDC : public CDC {
public:
    explicit CClientDC(HWND wnd);
};

// Whole-window context; released on destruction.
class CWindowDC : public CDC {
public:
    explicit CWindowDC(HWND wnd);
};

// --- image list ----------------------------------------------------------------------
class CImageList {
public:
    HIMAGELIST m_hImageList = nullptr;

    CImageList() {}
    ~CImageList() { DeleteImageList(); }
    CImageList(const CImageList&) = delete;
    CImageList& operator=(const CImageList&) = delete;

    // ImageList_Create; a list held before is deleted first.
    BOOL Create(int cx, int cy, UINT flags, int initial, int grow);
    // The index of the first new image, or -1 (ImageList_AddMasked).
    int Add(CBitmap* bitmap, COLORREF maskColour);
    BOOL Draw(CDC* dc, int image, POINT pt, UINT style);
    int GetImageCount() const { return m_hImageList ? ImageList_GetImageCount(m_hImageList) : 0; }
    BOOL DeleteImageList();
    HIMAGELIST GetSafeHandle() const { return m_hImageList; }
};
