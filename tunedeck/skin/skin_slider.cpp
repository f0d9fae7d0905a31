// CSkinSlider: construction reads, custom-draw stages, channel, thumb and fill bar.
#include "skin_slider.h"

#include <limits.h>

#include "bitmap_file.h"
#include "skin_palette.h"

namespace {

bool Horizontal(const RECT& thumb) {
    return thumb.bottom - thumb.top > thumb.right - thumb.left;
}

// Copies the picture named `name` in the skin file `configPath` unscaled to (x, y); a
// file that does not load copies nothing.
void DrawPicture(CDC* dc, const char* configPath, LPCSTR name, int x, int y) {
    CDC mem;
    mem.CreateCompatibleDC(nullptr);
    UseSkinPalette(mem.GetSafeHdc());
    UseSkinPalette(dc->GetSafeHdc());
    CBitmap picture;
    if (!picture.Attach(LoadSkinBitmap(configPath, name))) return;
    CSize size = picture.GetSize();
    HBITMAP old = mem.SelectObject(&picture);
    dc->BitBlt(x, y, size.cx, size.cy, &mem, 0, 0, SRCCOPY);
    mem.SelectObject(old);
}

}  // namespace

CSkinSlider::CSkinSlider(const char* configPath) {
    SkinFullPath(configPath, m_szConfigPath);
    SkinReadSliderPictures(m_szConfigPath, &m_pictures);
}

CSkinSlider::~CSkinSlider() {}

BOOL CSkinSlider::OnChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result) {
    if (message == WM_NOTIFY && ((NMHDR*)lParam)->code == (UINT)NM_CUSTOMDRAW) {
        *result = OnCustomDraw((NMCUSTOMDRAW*)lParam);
        return TRUE;
    }
    return CSliderCtrl::OnChildNotify(message, wParam, lParam, result);
}

LRESULT CSkinSlider::OnCustomDraw(NMCUSTOMDRAW* cd) {
    if (cd->dwDrawStage == CDDS_PREPAINT) return CDRF_NOTIFYITEMDRAW;
    if (cd->dwDrawStage != CDDS_ITEMPREPAINT) return CDRF_DODEFAULT;

    CDC context(cd->hdc);
    CDC* dc = &context;
    switch (cd->dwItemSpec) {
    case TBCD_THUMB: {
        int saved = dc->SaveDC();
        DrawThumbAndBar(dc, CRect(cd->rc));
        dc->RestoreDC(saved);
        return CDRF_SKIPDEFAULT;
    }
    case TBCD_CHANNEL: {
        int saved = dc->SaveDC();
        CRect thumb;
        GetThumbRect(&thumb);
        CRect channel(cd->rc);
        channel.NormalizeRect();
        DrawChannel(dc, channel, thumb);
        dc->RestoreDC(saved);
        return CDRF_SKIPDEFAULT;
    }
    default:  // TBCD_TICS and anything else: the trackbar's own drawing
        return CDRF_DODEFAULT;
    }
}

void CSkinSlider::DrawChannel(CDC* dc, const CRect& channel, const CRect& thumb) {
    // The picture is the whole background of the control, from its top-left corner.
    // The channel rectangle is not needed: a move invalidates the whole control instead
    // (InvalidateIfMoved), which never starts another paint from inside this one.
    (void)channel;
    const char* name = Horizontal(thumb) ? m_pictures.channelH : m_pictures.channelV;
    DrawPicture(dc, m_szConfigPath, name, 0, 0);
}

void CSkinSlider::DrawThumbAndBar(CDC* dc, const CRect& thumb) {
    DrawPicture(dc, m_szConfigPath, Horizontal(thumb) ? m_pictures.thumbH : m_pictures.thumbV,
                thumb.left + THUMB_OFFSET_X, THUMB_Y);

    const CRect bar(BAR_LEFT, thumb.top + BAR_TOP_INSET, thumb.left, thumb.bottom - BAR_BOTTOM_INSET);
    // Through the palette on a palette display, as the pictures beside it are.
    CPen pen(PS_SOLID, 1, SkinPaletteColor(RGB(0, 150, 0)));
    CBrush brush(SkinPaletteColor(RGB(0, 150, 0)));
    HPEN oldPen = dc->SelectObject(&pen);
    HBRUSH oldBrush = dc->SelectObject(&brush);
    // A thumb left of the bar's start leaves no bar at all (the platform would draw a
    // reversed rectangle otherwise).
    if (bar.left < bar.right) dc->Rectangle(&bar);

    // Darkest at the top and bottom rows, 10 brighter per row towards the middle.
    const int half = (bar.bottom - bar.top) / 2;
    for (int i = 0; i <= half; ++i) {
        const COLORREF green = SkinPaletteColor(RGB(0, (150 + 10 * i) % 256, 0));
        for (int x = bar.left; x <= bar.right; ++x) {
            dc->SetPixel(x, bar.top + i, green);
            dc->SetPixel(x, bar.bottom - i, green);
        }
    }
    dc->SelectObject(oldPen);
    dc->SelectObject(oldBrush);
}

void CSkinSlider::InvalidateIfMoved() {
    if (m_bCheckingPos || !IsWindow()) return;
    m_bCheckingPos = true;  // GetPos comes back through WindowProc
    const int pos = GetPos();
    m_bCheckingPos = false;
    if (pos != m_nSeenPos) {
        m_nSeenPos = pos;
        Invalidate(FALSE);
    }
}

LRESULT CSkinSlider::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    LRESULT r = CSliderCtrl::WindowProc(message, wParam, lParam);
    switch (message) {
    case WM_NCDESTROY:
    case WM_DESTROY:
    case WM_PAINT:
        break;
    case TBM_SETRANGE:
    case TBM_SETRANGEMIN:
    case TBM_SETRANGEMAX:
    case WM_SIZE:
        // The thumb can move without a change of position.
        if (IsWindow()) Invalidate(FALSE);
        break;
    default:
        InvalidateIfMoved();
        break;
    }
    return r;
}
