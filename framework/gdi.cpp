// Device contexts, GDI objects and image lists.
#include "gdi.h"
#include "base.h"

namespace {

// Slot of m_original for an object type, or -1.
int OriginalSlot(HGDIOBJ h)
{
    switch (::GetObjectType(h)) {
    case OBJ_PEN:
    case OBJ_EXTPEN: return 0;
    case OBJ_BRUSH: return 1;
    case OBJ_FONT: return 2;
    case OBJ_BITMAP: return 3;
    default: return -1;
    }
}

}  // namespace

// --- CGdiObject ----------------------------------------------------------------------

BOOL CGdiObject::Attach(HGDIOBJ h)
{
    if (m_hObject == h) return h != nullptr;
    DeleteObject();
    m_hObject = h;
    return h != nullptr;
}

BOOL CGdiObject::DeleteObject()
{
    if (!m_hObject) return FALSE;
    BOOL deleted = ::DeleteObject(m_hObject);
    m_hObject = nullptr;
    return deleted;
}

BOOL CBitmap::CreateCompatibleBitmap(CDC* dc, int width, int height)
{
    return Attach(::CreateCompatibleBitmap(dc ? dc->m_hDC : nullptr, width, height));
}

BOOL CBitmap::GetBitmap(BITMAP* bm) const
{
    *bm = BITMAP{};
    if (!m_hObject) return FALSE;
    return ::GetObjectA(m_hObject, sizeof(BITMAP), bm) == (int)sizeof(BITMAP);
}

CSize CBitmap::GetSize() const
{
    BITMAP bm;
    if (!GetBitmap(&bm)) return CSize();
    return CSize(bm.bmWidth, bm.bmHeight);
}

// --- CDC -----------------------------------------------------------------------------

CDC::~CDC()
{
    switch (m_own) {
    case kCreated:
        DeleteDC();
        break;
    case kReleased:
        RestoreOriginals();
        if (m_hDC) ::ReleaseDC(m_hWndOwner, m_hDC);
        m_hDC = nullptr;
        break;
    case kAttached:
    case kPainted:     // CPaintDC ends its paint itself
        break;
    }
}

BOOL CDC::DeleteDC()
{
    if (!m_hDC || m_own != kCreated) return FALSE;
    RestoreOriginals();
    BOOL deleted = ::DeleteDC(m_hDC);
    m_hDC = nullptr;
    m_own = kAttached;
    return deleted;
}

BOOL CDC::CreateCompatibleDC(CDC* dc)
{
    if (m_hDC) return FALSE;
    m_hDC = ::CreateCompatibleDC(dc ? dc->m_hDC : nullptr);
    m_own = kCreated;
    return m_hDC != nullptr;
}

HGDIOBJ CDC::Select(HGDIOBJ h)
{
    if (!m_hDC || !h) return nullptr;
    HGDIOBJ previous = ::SelectObject(m_hDC, h);
    int slot = OriginalSlot(h);
    if (previous && slot >= 0 && !m_original[slot]) m_original[slot] = previous;
    return previous;
}

void CDC::RestoreOriginals()
{
    if (!m_hDC) return;
    for (HGDIOBJ& h : m_original) {
        if (h) ::SelectObject(m_hDC, h);
        h = nullptr;
    }
}

BOOL CDC::DrawState(POINT pt, SIZE size, LPCSTR text, UINT flags, BOOL prefixText, int count,
                    CBrush* brush)
{
    UINT kind = prefixText ? DST_PREFIXTEXT : DST_TEXT;
    return ::DrawStateA(m_hDC, brush ? (HBRUSH)brush->m_hObject : nullptr, nullptr, (LPARAM)text,
                        (WPARAM)count, pt.x, pt.y, size.cx, size.cy, flags | kind);
}

CPaintDC::CPaintDC(HWND wnd)
{
    m_hWndOwner = wnd;
    m_hDC = ::BeginPaint(m_hWndOwner, &m_ps);
    m_own = kPainted;
}

CPaintDC::~CPaintDC()
{
    RestoreOriginals();
    ::EndPaint(m_hWndOwner, &m_ps);
    m_hDC = nullptr;
}

CClientDC::CClientDC(HWND wnd)
{
    m_hWndOwner = wnd;
    m_hDC = ::GetDC(m_hWndOwner);
    m_own = kReleased;
}

CWindowDC::CWindowDC(HWND wnd)
{
    m_hWndOwner = wnd;
    m_hDC = ::GetWindowDC(m_hWndOwner);
    m_own = kReleased;
}

// --- CImageList ----------------------------------------------------------------------

BOOL CImageList::Create(int cx, int cy, UINT flags, int initial, int grow)
{
    EnsureCommonControls();
    DeleteImageList();
    m_hImageList = ImageList_Create(cx, cy, flags, initial, grow);
    return m_hImageList != nullptr;
}

int CImageList::Add(CBitmap* bitmap, COLORREF maskColour)
{
    if (!m_hImageList || !bitmap || !bitmap->m_hObject) return -1;
    return ImageList_AddMasked(m_hImageList, (HBITMAP)bitmap->m_hObject, maskColour);
}

BOOL CImageList::Draw(CDC* dc, int image, POINT pt, UINT style)
{
    if (!m_hImageList || !dc) return FALSE;
    return ImageList_Draw(m_hImageList, image, dc->m_hDC, pt.x, pt.y, style);
}

BOOL CImageList::DeleteImageList()
{
    if (!m_hImageList) return FALSE;
    BOOL deleted = ImageList_Destroy(m_hImageList);
    m_hImageList = nullptr;
    return deleted;
}
