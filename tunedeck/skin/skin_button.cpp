// CSkinButton: composition of the state pictures, paint, and the mouse state machine.
#include "skin_button.h"

#include "bitmap_file.h"
#include "nine_part.h"
#include "skin_palette.h"

namespace {

typedef BOOL(WINAPI* TrackMouseEventProc)(LPTRACKMOUSEEVENT);

// Without either tracker the hover ends on a check of the pointer this often.
const UINT_PTR kLeaveCheckTimer = 0x5B1E;
const UINT kLeaveCheckMs = 100;

// USER32's TrackMouseEvent (98, NT 4.0), else COMCTL32's _TrackMouseEvent (4.70, Internet
// Explorer 3): looked up, never imported, for a bare 95 has neither.
TrackMouseEventProc FindLeaveTracker() {
    FARPROC found = nullptr;
    if (HMODULE user = GetModuleHandleA("user32.dll"))
        found = GetProcAddress(user, "TrackMouseEvent");
    if (!found)
        if (HMODULE controls = GetModuleHandleA("comctl32.dll"))
            found = GetProcAddress(controls, "_TrackMouseEvent");
    return (TrackMouseEventProc)found;
}

}  // namespace

CSkinButton::CSkinButton() : m_crText(GetSysColor(COLOR_BTNTEXT)) {}

CSkinButton::~CSkinButton() {
    // The image list and the snapshot release themselves (their own destructors).
}

void CSkinButton::PreSubclassWindow() {
    ModifyStyle(0, BS_OWNERDRAW);
    CButton::PreSubclassWindow();
}

DWORD CSkinButton::SetButtonFlags(DWORD value, DWORD mask) {
    DWORD old = m_dwFlags;
    m_dwFlags = mask == 0 ? value : (m_dwFlags & ~mask) | (value & mask);
    return old;
}

BOOL CSkinButton::LoadBitmapStrip(LPCSTR path, int states, int left, int top, int right,
                                  int bottom) {
    CRect client;
    GetClientRect(&client);
    const int W = client.Width(), H = client.Height();

    CBitmap strip;
    BITMAP sb;
    if (states <= 0 || !strip.Attach(LoadBitmapFile(path)) || !strip.GetBitmap(&sb)) return TRUE;
    const int cellWidth = sb.bmWidth / states;  // columns past states x cell are ignored
    if (cellWidth <= 0 || W <= 0 || H <= 0) return TRUE;

    CWindowDC windowDC(m_hWnd);
    CDC source, target;
    source.CreateCompatibleDC(&windowDC);
    target.CreateCompatibleDC(&windowDC);
    UseSkinPalette(windowDC.GetSafeHdc());
    UseSkinPalette(source.GetSafeHdc());
    UseSkinPalette(target.GetSafeHdc());
    CBitmap composed;
    composed.CreateCompatibleBitmap(&windowDC, states * W, H);
    HBITMAP oldSource = source.SelectObject(&strip);
    HBITMAP oldTarget = target.SelectObject(&composed);

    const NinePartMargins m = {left, top, right, bottom};
    for (int i = 0; i < states; ++i)
        DrawNinePart(target, W * i, W, H, source, cellWidth * i, cellWidth, sb.bmHeight, m);

    source.SelectObject(oldSource);
    target.SelectObject(oldTarget);

    m_imageList.Create(W, H, ILC_COLOR16 | ILC_MASK, 0, 1);
    m_imageList.Add(&composed, RGB(255, 0, 255));
    m_nNormal = 0;
    m_nPressed = states >= 2 ? 1 : -1;
    m_nDisabled = states >= 3 ? 2 : -1;
    m_nHover = states >= 4 ? 3 : -1;
    return TRUE;
}

int CSkinButton::ChoosePicture() const {
    int index = -1;
    if (m_bPressed)
        index = m_nPressed;
    else if (m_bHover)
        index = m_nHover;
    else if (!IsWindowEnabled())
        index = m_nDisabled;
    return index == -1 ? m_nNormal : index;
}

void CSkinButton::Repaint() {
    Invalidate(TRUE);
    UpdateWindow();
}

void CSkinButton::TakeSnapshot(const CRect& item) {
    HWND parent = GetParent();
    CClientDC parentDC(parent);
    CRect place;
    GetWindowRect(&place);
    if (parent) {
        ::ScreenToClient(parent, reinterpret_cast<POINT*>(&place.left));
        ::ScreenToClient(parent, reinterpret_cast<POINT*>(&place.right));
    }
    m_dcSnapshot.CreateCompatibleDC(&parentDC);
    UseSkinPalette(parentDC.GetSafeHdc());
    UseSkinPalette(m_dcSnapshot.GetSafeHdc());
    m_bmpSnapshot.CreateCompatibleBitmap(&parentDC, item.Width(), item.Height());
    m_dcSnapshot.SelectObject(&m_bmpSnapshot);
    m_dcSnapshot.BitBlt(0, 0, item.Width(), item.Height(), &parentDC, place.left, place.top, SRCCOPY);
}

void CSkinButton::DrawItem(LPDRAWITEMSTRUCT dis) {
    if (m_imageList.GetImageCount() == 0) return;  // no strip: the parent's face shows
    CDC itemContext(dis->hDC);
    CDC* itemDC = &itemContext;
    CRect item(dis->rcItem);

    CDC mem;
    mem.CreateCompatibleDC(itemDC);
    UseSkinPalette(itemDC->GetSafeHdc());
    UseSkinPalette(mem.GetSafeHdc());
    CBitmap buffer;
    buffer.CreateCompatibleBitmap(itemDC, item.Width(), item.Height());
    HBITMAP oldBuffer = mem.SelectObject(&buffer);

    if (!m_dcSnapshot.GetSafeHdc()) TakeSnapshot(item);
    mem.BitBlt(0, 0, item.Width(), item.Height(), &m_dcSnapshot, 0, 0, SRCCOPY);
    m_imageList.Draw(&mem, ChoosePicture(), CPoint(0, 0), ILD_TRANSPARENT);
    DrawCaption(&mem, CRect(0, 0, item.Width(), item.Height()), (dis->itemState & ODS_DISABLED) != 0);

    itemDC->BitBlt(item.left, item.top, item.Width(), item.Height(), &mem, 0, 0, SRCCOPY);
    mem.SelectObject(oldBuffer);
}

void CSkinButton::DrawCaption(CDC* dc, const CRect& item, bool disabled) {
    CString text;
    GetWindowText(text);
    if (text.IsEmpty()) return;  // the pictures carry the labels

    COLORREF oldColour = dc->SetTextColor(SkinPaletteColor(m_crText));
    int oldMode = dc->SetBkMode(TRANSPARENT);
    HFONT font = GetFont();
    HFONT oldFont = font ? dc->SelectObject(font) : nullptr;

    CRect r = item;
    dc->DrawText(text, &r, DT_CALCRECT);
    const int tw = r.Width(), th = r.Height();
    const DWORD style = GetStyle();
    switch (style & 0x300) {
    case BS_LEFT: r.OffsetRect(4, 0); break;
    case BS_RIGHT: r.left = item.right - 4 - tw; break;
    default: r.left = item.left + (item.Width() - tw) / 2; break;
    }
    switch (style & 0xC00) {
    case BS_TOP: r.OffsetRect(0, 4); break;
    case BS_BOTTOM: r.top = item.bottom - 4 - th; break;
    default: r.top = item.top + (item.Height() - th) / 2; break;
    }
    dc->DrawState(CPoint(r.left, r.top), CSize(tw, th), text,
                  disabled ? DSS_DISABLED : DSS_NORMAL, TRUE, 0, nullptr);

    if (font) dc->SelectObject(oldFont);
    dc->SetBkMode(oldMode);
    dc->SetTextColor(oldColour);
}

void CSkinButton::TrackLeave() {
    TRACKMOUSEEVENT tme = {};
    tme.cbSize = sizeof tme;
    tme.dwFlags = TME_LEAVE;
    tme.hwndTrack = m_hWnd;
    const TrackMouseEventProc track = FindLeaveTracker();
    if (!track || !track(&tme)) SetTimer(kLeaveCheckTimer, kLeaveCheckMs);
}

BOOL CSkinButton::PointerInside() const {
    POINT pt;
    RECT rc;
    if (!::GetCursorPos(&pt)) return FALSE;
    GetWindowRect(&rc);
    return ::PtInRect(&rc, pt);
}

void CSkinButton::EndHover() {
    if (m_bHover) {
        m_bHover = FALSE;
        Repaint();
    }
}

LRESULT CSkinButton::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_MOUSEMOVE:
        if (GetCapture() != m_hWnd) {
            if ((m_dwFlags & SKIN_BUTTON_TRACK_HOVER) && !m_bHover) {
                m_bHover = TRUE;
                Repaint();
                TrackLeave();
            }
        } else {
            CPoint pt(lParam);
            ClientToScreen(&pt);
            CRect rc;
            GetWindowRect(&rc);
            const BOOL inside = rc.PtInRect(pt);
            if (inside != m_bPressed) {
                m_bPressed = inside;
                m_bHover = FALSE;
                Repaint();
            }
        }
        return 0;

    case WM_MOUSELEAVE:
        EndHover();
        return 1;

    case WM_TIMER:
        if (wParam != kLeaveCheckTimer) break;
        if (!m_bHover || !PointerInside()) {
            KillTimer(kLeaveCheckTimer);
            EndHover();
        }
        return 0;

    case WM_LBUTTONDOWN:
        // The button's own press handling is skipped, so the focus stays where it is.
        SetCapture();
        if (GetCapture() == m_hWnd) {
            m_bPressed = TRUE;
            Repaint();
        }
        return 0;

    case WM_LBUTTONUP:
        if (GetCapture() != m_hWnd) return 0;
        if (m_bPressed) {
            // Releasing the capture clears the pressed look (WM_CAPTURECHANGED) before
            // the parent runs the command, which may take long.
            ReleaseCapture();
            ::SendMessageA(::GetParent(m_hWnd), WM_COMMAND,
                           MAKEWPARAM(GetDlgCtrlID(), BN_CLICKED), (LPARAM)m_hWnd);
        } else {
            m_bPressed = FALSE;  // released outside: no click
            ReleaseCapture();
        }
        return 0;

    case WM_LBUTTONDBLCLK:
        // The second press of a double click: the next release is a second click.
        if (GetCapture() != m_hWnd) SetCapture();
        if (!m_bPressed) {
            m_bPressed = TRUE;
            Repaint();
        }
        return 0;

    case WM_CAPTURECHANGED:
        if (m_bPressed) {
            m_bPressed = FALSE;
            Repaint();
        }
        return Default();

    case WM_SETFOCUS:
    case WM_KILLFOCUS: {
        LRESULT r = Default();
        m_bFocus = message == WM_SETFOCUS;
        Repaint();
        return r;
    }

    case WM_ENABLE: {
        LRESULT r = Default();
        Repaint();
        return r;
    }

    case WM_ERASEBKGND:
        return 1;  // the paint covers every pixel
    }
    return CButton::WindowProc(message, wParam, lParam);
}
