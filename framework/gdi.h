// Device contexts, GDI objects and image lists. Every wrapper deletes or releases what
// it owns when it is destroyed; Attach takes ownership, Detach gives it up.
#pragma once
#include <windows.h>
#include <commctrl.h>
#include "types.h"
#include "text.h"

class CWnd;

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
    HGDIOBJ Detach();
    BOOL DeleteObject();
    HGDIOBJ GetSafeHandle() const { return m_hObject; }
    operator HGDIOBJ() const { return m_hObject; }
    int GetObject(int size, void* buffer) const { return ::GetObjectA(m_hObject, size, buffer); }
};

class CPen : public CGdiObject {
public:
    CPen() {}
    CPen(int style, int width, COLORREF colour) { CreatePen(style, width, colour); }
    BOOL CreatePen(int style, int width, COLORREF colour) { return Attach(::CreatePen(style, width, colour)); }
    operator HPEN() const { return (HPEN)m_hObject; }
};

class CBrush : public CGdiObject {
public:
    CBrush() {}
    explicit CBrush(COLORREF colour) { CreateSolidBrush(colour); }
    BOOL CreateSolidBrush(COLORREF colour) { return Attach(::CreateSolidBrush(colour)); }
    operator HBRUSH() const { return (HBRUSH)m_hObject; }
};

class CFont : public CGdiObject {
public:
    BOOL CreateFontIndirect(const LOGFONTA* lf) { return Attach(::CreateFontIndirectA(lf)); }
    // Height in tenths of a point on the screen.
    BOOL CreatePointFont(int pointSizeTenths, LPCSTR faceName);
    operator HFONT() const { return (HFONT)m_hObject; }
};

class CDC;

class CBitmap : public CGdiObject {
public:
    // Bitmap resource of the program's module.
    BOOL LoadBitmap(UINT id);
    BOOL CreateCompatibleBitmap(CDC* dc, int width, int height);
    BOOL CreateBitmap(int width, int height, UINT planes, UINT bitsPerPixel, const void* bits)
    { return Attach(::CreateBitmap(width, height, planes, bitsPerPixel, bits)); }
    // FALSE (and *bm zeroed) when no bitmap is held.
    BOOL GetBitmap(BITMAP* bm) const;
    CSize GetSize() const;   // 0 x 0 when no bitmap is held
    operator HBITMAP() const { return (HBITMAP)m_hObject; }
};

class CRgn : public CGdiObject {
public:
    BOOL CreateRectRgn(int l, int t, int r, int b) { return Attach(::CreateRectRgn(l, t, r, b)); }
    BOOL CreateRectRgnIndirect(LPCRECT rc) { return Attach(::CreateRectRgnIndirect(rc)); }
    BOOL CreateEllipticRgn(int l, int t, int r, int b) { return Attach(::CreateEllipticRgn(l, t, r, b)); }
    BOOL CreatePolygonRgn(const POINT* points, int count, int mode)
    { return Attach(::CreatePolygonRgn(points, count, mode)); }
    BOOL CreateFromData(const XFORM* xform, int count, const RGNDATA* data)
    { return Attach(::ExtCreateRegion(xform, (DWORD)count, data)); }
    // this = a <mode> b; returns the region type (ERROR, NULLREGION, ...).
    int CombineRgn(const CRgn* a, const CRgn* b, int mode)
    { return ::CombineRgn((HRGN)m_hObject, (HRGN)a->m_hObject, b ? (HRGN)b->m_hObject : nullptr, mode); }
    int CopyRgn(const CRgn* source) { return ::CombineRgn((HRGN)m_hObject, (HRGN)source->m_hObject, nullptr, RGN_COPY); }
    int OffsetRgn(int dx, int dy) { return ::OffsetRgn((HRGN)m_hObject, dx, dy); }
    BOOL PtInRegion(int x, int y) const { return ::PtInRegion((HRGN)m_hObject, x, y); }
    int GetRgnBox(LPRECT rc) const { return ::GetRgnBox((HRGN)m_hObject, rc); }
    BOOL EqualRgn(const CRgn* other) const { return ::EqualRgn((HRGN)m_hObject, (HRGN)other->m_hObject); }
    operator HRGN() const { return (HRGN)m_hObject; }
};

// --- device contexts -------------------------------------------------------------------
// A CDC either wraps a device context it does not own (Attach, FromHandle) or owns one
// (CreateCompatibleDC, and the derived paint / client / window contexts). Before an
// owned context is deleted or released, the objects that were selected into it first
// are selected back, so that what the caller selected can be deleted afterwards.
class CDC {
public:
    HDC m_hDC = nullptr;

    CDC() {}
    virtual ~CDC();
    CDC(const CDC&) = delete;
    CDC& operator=(const CDC&) = delete;

    // A temporary unbound wrapper (see DeleteTempMaps in wnd.h); null for null.
    static CDC* FromHandle(HDC hDC);
    BOOL Attach(HDC hDC);   // not owned
    HDC Detach();
    BOOL DeleteDC();        // only for a context this object created
    HDC GetSafeHdc() const { return m_hDC; }
    operator HDC() const { return m_hDC; }

    // A memory context compatible with dc (null: the screen); owned.
    BOOL CreateCompatibleDC(CDC* dc);

    // Selection: each returns the object that was selected before (same kind).
    HPEN SelectObject(CPen* pen) { return (HPEN)Select(pen ? pen->m_hObject : nullptr); }
    HBRUSH SelectObject(CBrush* brush) { return (HBRUSH)Select(brush ? brush->m_hObject : nullptr); }
    HFONT SelectObject(CFont* font) { return (HFONT)Select(font ? font->m_hObject : nullptr); }
    HBITMAP SelectObject(CBitmap* bitmap) { return (HBITMAP)Select(bitmap ? bitmap->m_hObject : nullptr); }
    HPEN SelectObject(HPEN h) { return (HPEN)Select(h); }
    HBRUSH SelectObject(HBRUSH h) { return (HBRUSH)Select(h); }
    HFONT SelectObject(HFONT h) { return (HFONT)Select(h); }
    HBITMAP SelectObject(HBITMAP h) { return (HBITMAP)Select(h); }
    int SelectObject(CRgn* rgn) { return ::SelectClipRgn(m_hDC, rgn ? (HRGN)rgn->m_hObject : nullptr); }
    HGDIOBJ SelectStockObject(int index) { return Select(::GetStockObject(index)); }
    int SelectClipRgn(CRgn* rgn) { return ::SelectClipRgn(m_hDC, rgn ? (HRGN)rgn->m_hObject : nullptr); }
    int IntersectClipRect(int l, int t, int r, int b) { return ::IntersectClipRect(m_hDC, l, t, r, b); }
    int GetClipBox(LPRECT rc) const { return ::GetClipBox(m_hDC, rc); }

    int SaveDC() { return ::SaveDC(m_hDC); }
    BOOL RestoreDC(int saved) { return ::RestoreDC(m_hDC, saved); }
    int GetDeviceCaps(int index) const { return ::GetDeviceCaps(m_hDC, index); }

    BOOL BitBlt(int x, int y, int width, int height, CDC* src, int xSrc, int ySrc, DWORD rop)
    { return ::BitBlt(m_hDC, x, y, width, height, src ? src->m_hDC : nullptr, xSrc, ySrc, rop); }
    BOOL StretchBlt(int x, int y, int width, int height, CDC* src, int xSrc, int ySrc,
                    int srcWidth, int srcHeight, DWORD rop)
    { return ::StretchBlt(m_hDC, x, y, width, height, src ? src->m_hDC : nullptr, xSrc, ySrc,
                          srcWidth, srcHeight, rop); }
    BOOL PatBlt(int x, int y, int width, int height, DWORD rop) { return ::PatBlt(m_hDC, x, y, width, height, rop); }
    int SetStretchBltMode(int mode) { return ::SetStretchBltMode(m_hDC, mode); }
    int GetStretchBltMode() const { return ::GetStretchBltMode(m_hDC); }

    COLORREF SetTextColor(COLORREF c) { return ::SetTextColor(m_hDC, c); }
    COLORREF GetTextColor() const { return ::GetTextColor(m_hDC); }
    COLORREF SetBkColor(COLORREF c) { return ::SetBkColor(m_hDC, c); }
    COLORREF GetBkColor() const { return ::GetBkColor(m_hDC); }
    int SetBkMode(int mode) { return ::SetBkMode(m_hDC, mode); }
    int GetBkMode() const { return ::GetBkMode(m_hDC); }
    int DrawText(LPCSTR text, int count, LPRECT rect, UINT format)
    { return ::DrawTextA(m_hDC, text, count, rect, format); }
    int DrawText(const CString& text, LPRECT rect, UINT format)
    { return ::DrawTextA(m_hDC, text, text.GetLength(), rect, format); }
    BOOL TextOut(int x, int y, LPCSTR text, int count) { return ::TextOutA(m_hDC, x, y, text, count); }
    BOOL TextOut(int x, int y, const CString& text) { return ::TextOutA(m_hDC, x, y, text, text.GetLength()); }
    CSize GetTextExtent(LPCSTR text, int count) const;
    CSize GetTextExtent(const CString& text) const { return GetTextExtent(text, text.GetLength()); }
    // DrawStateA with DST_TEXT / DST_PREFIXTEXT; count 0 = whole string.
    BOOL DrawState(POINT pt, SIZE size, LPCSTR text, UINT flags, BOOL prefixText = TRUE,
                   int count = 0, CBrush* brush = nullptr);
    BOOL DrawIcon(int x, int y, HICON icon) { return ::DrawIcon(m_hDC, x, y, icon); }

    void FillSolidRect(LPCRECT rect, COLORREF colour);
    void FillSolidRect(int x, int y, int width, int height, COLORREF colour);
    int FillRect(LPCRECT rect, CBrush* brush) { return ::FillRect(m_hDC, rect, brush ? (HBRUSH)brush->m_hObject : nullptr); }
    int FillRect(LPCRECT rect, HBRUSH brush) { return ::FillRect(m_hDC, rect, brush); }
    int FrameRect(LPCRECT rect, CBrush* brush) { return ::FrameRect(m_hDC, rect, brush ? (HBRUSH)brush->m_hObject : nullptr); }
    BOOL Rectangle(int l, int t, int r, int b) { return ::Rectangle(m_hDC, l, t, r, b); }
    BOOL Rectangle(LPCRECT rc) { return ::Rectangle(m_hDC, rc->left, rc->top, rc->right, rc->bottom); }
    BOOL Ellipse(int l, int t, int r, int b) { return ::Ellipse(m_hDC, l, t, r, b); }
    BOOL MoveTo(int x, int y) { return ::MoveToEx(m_hDC, x, y, nullptr); }
    BOOL LineTo(int x, int y) { return ::LineTo(m_hDC, x, y); }
    COLORREF SetPixel(int x, int y, COLORREF c) { return ::SetPixel(m_hDC, x, y, c); }
    COLORREF SetPixel(POINT p, COLORREF c) { return ::SetPixel(m_hDC, p.x, p.y, c); }
    COLORREF GetPixel(int x, int y) const { return ::GetPixel(m_hDC, x, y); }
    COLORREF GetPixel(POINT p) const { return ::GetPixel(m_hDC, p.x, p.y); }

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
    explicit CPaintDC(CWnd* wnd);
    ~CPaintDC() override;
    PAINTSTRUCT m_ps;
};

// Client-area context of a window (null: the screen); released on destruction.
class CClientDC : public CDC {
public:
    explicit CClientDC(CWnd* wnd);
};

// Whole-window context; released on destruction.
class CWindowDC : public CDC {
public:
    explicit CWindowDC(CWnd* wnd);
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
    // Each returns the index of the first new image, or -1.
    int Add(CBitmap* bitmap, COLORREF maskColour);       // ImageList_AddMasked
    int Add(CBitmap* bitmap, CBitmap* mask);             // ImageList_Add
    int Add(HICON icon) { return m_hImageList ? ImageList_AddIcon(m_hImageList, icon) : -1; }
    BOOL Draw(CDC* dc, int image, POINT pt, UINT style);
    int GetImageCount() const { return m_hImageList ? ImageList_GetImageCount(m_hImageList) : 0; }
    BOOL GetImageInfo(int image, IMAGEINFO* info) const
    { return m_hImageList ? ImageList_GetImageInfo(m_hImageList, image, info) : FALSE; }
    COLORREF SetBkColor(COLORREF c) { return ImageList_SetBkColor(m_hImageList, c); }
    BOOL DeleteImageList();
    BOOL Attach(HIMAGELIST h);
    HIMAGELIST Detach();
    HIMAGELIST GetSafeHandle() const { return m_hImageList; }
    operator HIMAGELIST() const { return m_hImageList; }
};
