// The main dialog's set-up and message dispatch.
#include "maindlg.h"

#include <string.h>

#include "busprobe.h"
#include "card_clocks.h"
#include "language.h"
#include "session_end.h"
#include "skin_palette.h"
#include "skin_surface.h"
#include "trace.h"
#include "work_area.h"

CTarnwell2Dlg::CTarnwell2Dlg(CWnd* parent)
    : CDialog(IDD_TARNWELL2_DIALOG, parent),
      m_sliderEngine(str_ConfigINI),
      m_sliderMemory(str_ConfigINI) {
    m_szConfigPath[0] = '\0';
    strcpy(m_szModelName, SKIN_MISSING_TEXT);
    m_hIcon = ::LoadIconA(GetResourceHandle(), MAKEINTRESOURCEA(IDI_PROGRAM));
}

CTarnwell2Dlg::~CTarnwell2Dlg() = default;

INT_PTR CTarnwell2Dlg::DoModal() {
    MSG quit;
    if (::PeekMessageA(&quit, nullptr, WM_QUIT, WM_QUIT, PM_NOREMOVE)) return -1;
    return CDialog::DoModal();
}

void CTarnwell2Dlg::DoDataExchange(CDataExchange* dx) {
    CDialog::DoDataExchange(dx);
    DDX_Control(dx, IDC_COMBO_PROFILES, m_cbProfiles);
    DDX_Control(dx, IDC_SLIDER_ENGINE, m_sliderEngine);
    DDX_Control(dx, IDC_SLIDER_MEMORY, m_sliderMemory);
    DDX_Control(dx, IDC_BUTTON_SAVEAS, m_btnSaveAs);
    DDX_Control(dx, IDC_BUTTON_DELETE, m_btnDelete);
    DDX_Control(dx, IDC_BUTTON_OK, m_btnOk);
    DDX_Control(dx, IDC_BUTTON_CANCEL, m_btnCancel);
    DDX_Control(dx, IDC_BUTTON_TEST, m_btnTest);
}

BOOL CTarnwell2Dlg::OnInitDialog() {
    TraceMessage("CTarnwell2Dlg::OnInitDialog()\n");
    CDialog::OnInitDialog();

    SetIcon(m_hIcon, TRUE);
    SetIcon(m_hIcon, FALSE);
    SetWindowText(str_Title);

    // Frame and caption sizes: the face starts at the client origin.
    CRect window, client;
    GetWindowRect(&window);
    GetClientRect(&client);
    ClientToScreen(&client);
    m_nClientOffsetX = client.left - window.left;
    m_nClientOffsetY = client.top - window.top;

    // At the screen origin while the readout rectangles are taken (they are screen
    // rectangles used as client ones).
    MoveWindow(0, 0, m_nClientOffsetX + FACE_WIDTH, m_nClientOffsetY + FACE_HEIGHT);

    char configName[SKIN_PATH_SIZE];
    lstrcpynA(configName, str_ConfigINI, sizeof(configName));
    SkinFullPath(str_ConfigINI, m_szConfigPath);
    TraceMessage("str_ConfigINI=<%s>", str_ConfigINI);
    TraceMessage("configname=<%s>", configName);
    TraceMessage("config_name=<%s>", m_szConfigPath);

    m_hWindowRgn = ApplySkinRegion(m_hWnd, m_szConfigPath, m_nClientOffsetX, m_nClientOffsetY, &m_rcShape);

    // The card's model names the registry keys of its pairs.
    zykOpen_PCI();
    int ssid = ATIAGP_GetSSID();
    zykClose_PCI();
    SkinReadModelName(m_szConfigPath, static_cast<unsigned>(ssid), m_szModelName);

    ProfileStore store = Store();
    ClockPair card = {0, 0};
    ClockPair current = store.StartupCurrent([&card] {
        ReadClocks(&card.engine, &card.memory);
        return card;
    });
    m_nEngineClock = current.engine;
    m_nMemoryClock = current.memory;
    ClockPair deflt = store.StartupDefault(card);

    // A stored pair outside the sliders' range (a pair confirmed on another card of
    // the same model key, a hand-edited registry) is brought inside it before it
    // reaches the card: the range is all the program vouches for.
    PlaceSlider(m_sliderEngine, 1, deflt.engine);
    m_nEngineClock = ClampToRange(m_nEngineClock);
    m_nSavedEngineClock = m_nEngineClock;
    m_sliderEngine.SetPos(m_nEngineClock);
    PlaceSlider(m_sliderMemory, 2, deflt.memory);
    m_nMemoryClock = ClampToRange(m_nMemoryClock);
    m_nSavedMemoryClock = m_nMemoryClock;
    m_sliderMemory.SetPos(m_nMemoryClock);

    // Every opening puts the stored current pair on the card.
    if (!ApplyClocks(m_nEngineClock, m_nMemoryClock))
        WarnCardNotReached(m_hWnd, str_CardNotReachedMsg);

    PlaceButtons();
    PlaceReadouts();

    SkinPlace list = SkinReadProfileListPlace(m_szConfigPath);
    CRect listClient;
    m_cbProfiles.GetClientRect(&listClient);
    m_cbProfiles.MoveWindow(list.x, list.y, list.width, listClient.Height());
    FillProfileList();

    // Right of the screen's middle, at the top; on a small screen moved left and up
    // just enough for the shape the user sees to lie inside the work area.
    const int width = m_nClientOffsetX + FACE_WIDTH, height = m_nClientOffsetY + FACE_HEIGHT;
    CRect visible = m_rcShape;
    if (visible.Width() <= 0 || visible.Height() <= 0) visible = CRect(0, 0, width, height);
    POINT at = FitIntoWorkArea(visible, ::GetSystemMetrics(SM_CXSCREEN) / 2 - 30, 0, DesktopWorkArea());
    SetWindowPos(HWND_TOPMOST, at.x, at.y, width, height, 0);
    return TRUE;
}

// Range: the default clock +-20 % (integer arithmetic), steps of 1 MHz.
void CTarnwell2Dlg::PlaceSlider(CSkinSlider& slider, int index, int defaultClock) {
    SkinPlace place = SkinReadSliderPlace(m_szConfigPath, index);
    // Only the engine slider's x tells a missing skin file.
    if (index == 1 && place.x == SKIN_MISSING_INT) SkinReportMissing();
    m_nRangeMin = defaultClock - defaultClock * 20 / 100;
    m_nRangeMax = defaultClock + defaultClock * 20 / 100;
    slider.SetRange(m_nRangeMin, m_nRangeMax, TRUE);
    if (index == 1) slider.SetTicFreq(1);
    slider.MoveWindow(place.x, place.y, place.width, place.height);
}

// Into the range the last PlaceSlider set.
int CTarnwell2Dlg::ClampToRange(int clock) const {
    if (clock < m_nRangeMin) return m_nRangeMin;
    if (clock > m_nRangeMax) return m_nRangeMax;
    return clock;
}

// [gbutton1] .. [gbutton5] place 1002, 1009, 1011, 1012, 1013.
void CTarnwell2Dlg::PlaceButtons() {
    CSkinButton* buttons[] = {&m_btnSaveAs, &m_btnDelete, &m_btnOk, &m_btnCancel, &m_btnTest};
    for (int i = 0; i < 5; ++i) {
        SkinPlace place = SkinReadButtonPlace(m_szConfigPath, i + 1);
        buttons[i]->MoveWindow(place.x, place.y, place.width, place.height);
        char name[SKIN_BITMAP_SIZE], strip[MAX_PATH];
        SkinReadButtonStrip(m_szConfigPath, i + 1, name);
        SkinBitmapPath(m_szConfigPath, name, strip);
        buttons[i]->LoadBitmapStrip(strip, 4, 12, 5, 12, 5);
        buttons[i]->SetButtonFlags(CSkinButton::SKIN_BUTTON_TRACK_HOVER, 0);
        if (buttons[i] == &m_btnDelete || buttons[i] == &m_btnTest) buttons[i]->EnableWindow(FALSE);
    }
}

void CTarnwell2Dlg::FillProfileList() {
    CStringArray names;
    Store().ListProfiles(&names);  // a failure has shown its message and asked to quit
    m_cbProfiles.AddString(str_CurrentSettings);
    m_cbProfiles.AddString(str_Default);
    for (int i = 0; i < names.GetSize(); ++i) m_cbProfiles.AddString(names[i]);
    SelectCurrentSettings();
}

LRESULT CTarnwell2Dlg::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    LRESULT answer;
    if (AnswerSessionMessage(message, wParam, lParam, &answer)) return answer;
    switch (message) {
    case WM_QUERYNEWPALETTE:
    case WM_PALETTECHANGED:
        return AnswerSkinPaletteMessage(m_hWnd, message, wParam);
    case WM_PAINT:
        OnPaint();
        return 0;
    case WM_ERASEBKGND:
        return OnEraseBkgnd(reinterpret_cast<HDC>(wParam));
    case WM_QUERYDRAGICON:
        return reinterpret_cast<LRESULT>(m_hIcon);
    case WM_LBUTTONDOWN:
        StartSkinDrag(m_hWnd, lParam);
        return Default();
    case WM_HSCROLL:
        if (lParam) {
            OnHScroll(reinterpret_cast<HWND>(lParam));
            return 0;
        }
        break;
    }
    return CDialog::WindowProc(message, wParam, lParam);
}

BOOL CTarnwell2Dlg::OnCommand(UINT id, int code) {
    if (id == IDC_COMBO_PROFILES && code == CBN_SELCHANGE) {
        OnSelchangeProfile();
        return TRUE;
    }
    if (code == BN_CLICKED) {
        switch (id) {
        case IDC_BUTTON_SAVEAS: OnButtonSaveAs(); return TRUE;
        case IDC_BUTTON_DELETE: OnButtonDelete(); return TRUE;
        case IDC_BUTTON_OK: OnButtonOk(); return TRUE;
        case IDC_BUTTON_CANCEL: OnButtonCancel(); return TRUE;
        case IDC_BUTTON_TEST: OnButtonTest(); return TRUE;
        }
    }
    // IDOK / IDCANCEL (Enter, Escape) keep the dialog's plain processing.
    return CDialog::OnCommand(id, code);
}

void CTarnwell2Dlg::RegistryFailed(bool quit) {
    ::MessageBoxA(m_hWnd, REGISTRY_FAILURE_MESSAGE, REGISTRY_FAILURE_CAPTION, MB_ICONEXCLAMATION);
    if (quit) ::PostQuitMessage(-1);
}
