// The main dialog's face: the background picture, the four drawn texts and the
// readouts that follow the sliders.
#include <stdio.h>

#include "gdi.h"
#include "language.h"
#include "maindlg.h"
#include "skin_palette.h"
#include "skin_surface.h"

// The text colour, read afresh each time (nothing of the skin is kept between
// paints), on a transparent background.
void CTarnwell2Dlg::PrepareText(CDC& dc) {
    SkinColor c = SkinReadTextColor(m_szConfigPath);
    m_nTextRed = c.red;
    m_nTextGreen = c.green;
    m_nTextBlue = c.blue;
    UseSkinPalette(dc.GetSafeHdc());
    dc.SetTextColor(SkinPaletteColor(SkinColorRef(c)));
    dc.SetBkMode(TRANSPARENT);
}

void CTarnwell2Dlg::DrawNumber(CDC* dc, int value, CRect* rect, UINT format) {
    char text[16];
    int n = snprintf(text, sizeof(text), "%d", value);
    dc->DrawText(text, n, rect, format);
}

void CTarnwell2Dlg::DrawModelName(CDC* dc) {
    // An unlisted card shows nothing where its model name would be.
    const char* model = m_szModelName[0] == '/' ? " " : m_szModelName;
    dc->DrawText(model, -1, &m_rcModelText, DT_CENTER);
}

// Moves placeholder `placeholderId` to (x, y - caption) and takes its screen rectangle,
// with the dialog at the screen origin, as the readout's client rectangle.
void CTarnwell2Dlg::TakeReadoutRect(int placeholderId, const SkinPlace& place, CRect* rect) {
    m_hWndWork = ::GetDlgItem(m_hWnd, placeholderId);
    m_nWorkX = place.x;
    m_nWorkY = place.y - m_nClientOffsetY;
    ::GetWindowRect(m_hWndWork, &m_rcWork);
    ::MoveWindow(m_hWndWork, m_nWorkX, m_nWorkY, m_rcWork.Width(), m_rcWork.Height(), TRUE);
    ::GetWindowRect(m_hWndWork, rect);
    InvalidateRect(rect, TRUE);
}

void CTarnwell2Dlg::PlaceReadouts() {
    CClientDC dc(m_hWnd);
    TakeReadoutRect(IDC_STATIC_ENGINE, SkinReadEngineTextPlace(m_szConfigPath), &m_rcEngineText);
    PrepareText(dc);
    m_nEngineClock = m_sliderEngine.GetPos();
    DrawNumber(&dc, m_nEngineClock, &m_rcEngineText, DT_LEFT | DT_TOP);

    TakeReadoutRect(IDC_STATIC_MEMORY, SkinReadMemoryTextPlace(m_szConfigPath), &m_rcMemoryText);
    m_nMemoryClock = m_sliderMemory.GetPos();
    DrawNumber(&dc, m_nMemoryClock, &m_rcMemoryText, DT_RIGHT);

    TakeReadoutRect(IDC_STATIC_BRAND, SkinReadBrandTextPlace(m_szConfigPath), &m_rcBrandText);
    dc.DrawText(str_CardName, -1, &m_rcBrandText, DT_CENTER);

    TakeReadoutRect(IDC_STATIC_MODEL, SkinReadModelTextPlace(m_szConfigPath), &m_rcModelText);
    DrawModelName(&dc);
}

// The pending pair is whatever the sliders show at each paint.
void CTarnwell2Dlg::OnPaint() {
    {
        CPaintDC dc(m_hWnd);
        PrepareText(dc);
        m_nEngineClock = m_sliderEngine.GetPos();
        DrawNumber(&dc, m_nEngineClock, &m_rcEngineText, DT_RIGHT);
        m_nMemoryClock = m_sliderMemory.GetPos();
        DrawNumber(&dc, m_nMemoryClock, &m_rcMemoryText, DT_RIGHT);
        dc.DrawText(str_CardName, -1, &m_rcBrandText, DT_CENTER);
        DrawModelName(&dc);

        if (IsIconic()) {
            SendMessage(WM_ICONERASEBKGND, reinterpret_cast<WPARAM>(dc.GetSafeHdc()), 0);
            CRect client;
            GetClientRect(&client);
            int x = (client.Width() - ::GetSystemMetrics(SM_CXICON) + 1) / 2;
            int y = (client.Height() - ::GetSystemMetrics(SM_CYICON) + 1) / 2;
            dc.DrawIcon(x, y, m_hIcon);
            return;
        }
    }
    Default();
}

BOOL CTarnwell2Dlg::OnEraseBkgnd(HDC dc) { return PaintSkinFace(m_hWnd, dc, m_szConfigPath); }

// Either slider moved: both readouts follow, Test becomes possible; the card is not
// touched.
void CTarnwell2Dlg::OnHScroll(HWND slider) {
    if (slider != m_sliderEngine.m_hWnd && slider != m_sliderMemory.m_hWnd) {
        Default();
        return;
    }
    CClientDC dc(m_hWnd);
    InvalidateRect(&m_rcEngineText, TRUE);
    m_nEngineClock = m_sliderEngine.GetPos();
    PrepareText(dc);
    DrawNumber(&dc, m_nEngineClock, &m_rcEngineText, DT_RIGHT);

    InvalidateRect(&m_rcMemoryText, TRUE);
    m_nMemoryClock = m_sliderMemory.GetPos();
    DrawNumber(&dc, m_nMemoryClock, &m_rcMemoryText, DT_RIGHT);

    EnableButton(IDC_BUTTON_TEST, TRUE);
    Default();
}
