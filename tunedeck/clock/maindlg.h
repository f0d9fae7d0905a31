// CTarnwell2Dlg: the skinned main dialog. Two sliders hold the pending clock pair;
// the card gets a pair only at opening (the stored current pair), on OK and on Test,
// and keeps it only when the user confirms. Profiles live in the registry.
#pragma once
#include <windows.h>

#include "controls.h"
#include "dialog.h"
#include "profile_store.h"
#include "resource.h"
#include "skin_button.h"
#include "skin_config.h"
#include "skin_slider.h"

class CKeepClockDlg;

class CTarnwell2Dlg : public CDialog, private RegistryFailureSink {
public:
    explicit CTarnwell2Dlg(CWnd* parent = nullptr);
    ~CTarnwell2Dlg() override;

    enum { IDD = IDD_TARNWELL2_DIALOG };

    // Does not show the dialog at all when a quit request is already pending (a
    // slider found the skin file missing while it was being constructed).
    INT_PTR DoModal() override;

    // The window's size beyond the frame: the face is 483 x 500 pixels.
    enum { FACE_WIDTH = 483, FACE_HEIGHT = 500 };

protected:
    void DoDataExchange(CDataExchange* dx) override;
    BOOL OnInitDialog() override;
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    BOOL OnCommand(UINT id, int code) override;

    // Face and readouts (maindlg_paint.cpp)
    void OnPaint();
    BOOL OnEraseBkgnd(HDC dc);
    void OnHScroll(HWND slider);
    void TakeReadoutRect(int placeholderId, const SkinPlace& place, CRect* rect);
    void PrepareText(CDC& dc);
    void DrawNumber(CDC* dc, int value, CRect* rect, UINT format);
    void DrawModelName(CDC* dc);

    // Initialisation steps (maindlg.cpp)
    void PlaceSlider(CSkinSlider& slider, int index, int defaultClock);
    int ClampToRange(int clock) const;
    void PlaceButtons();
    void PlaceReadouts();
    void FillProfileList();

    // OK and Cancel (maindlg_apply.cpp)
    void OnButtonOk();
    void OnButtonCancel();
    // The committed pair back on the card, unless the question's session end already
    // put it there.
    void RevertToCommitted(const CKeepClockDlg& question);
    void SetSliders(int engine, int memory);
    bool PendingIsCommitted() const {
        return m_nEngineClock == m_nSavedEngineClock && m_nMemoryClock == m_nSavedMemoryClock;
    }

    // Profiles (maindlg_profiles.cpp)
    void OnSelchangeProfile();
    void OnButtonSaveAs();
    void OnButtonDelete();
    void SelectCurrentSettings();
    ProfileStore Store() { return ProfileStore(m_szModelName, this); }
    void StoreCurrentPair(int engine, int memory);

    // Test (maindlg_trial.cpp)
    void OnButtonTest();

    // Registry message owned by this dialog, then the quit request when asked.
    void RegistryFailed(bool quit) override;

    void EnableButton(int id, BOOL enable) { ::EnableWindow(::GetDlgItem(m_hWnd, id), enable); }

    HRGN m_hWindowRgn = nullptr;            // owned by the window once applied
    CRect m_rcShape;                        // the region's box in window coordinates (empty: none)
    char m_szConfigPath[SKIN_PATH_SIZE];    // full path of the skin file
    int m_nClientOffsetX = 0, m_nClientOffsetY = 0;
    int m_nTextRed = 0, m_nTextGreen = 0, m_nTextBlue = 0;
    CSkinSlider m_sliderEngine;             // 1000
    CSkinSlider m_sliderMemory;             // 1001
    CSkinButton m_btnSaveAs, m_btnDelete, m_btnOk, m_btnCancel, m_btnTest;
    CComboBox m_cbProfiles;                 // 1008
    CRect m_rcEngineText, m_rcMemoryText, m_rcBrandText, m_rcModelText, m_rcWork;
    char m_szModelName[SKIN_MODEL_SIZE];    // [table] entry, "/" when not listed
    HWND m_hWndWork = nullptr;
    int m_nWorkX = 0, m_nWorkY = 0, m_nRangeMin = 0, m_nRangeMax = 0;
    int m_nEngineClock = 0, m_nMemoryClock = 0;            // pending pair (the sliders)
    int m_nSavedEngineClock = 0, m_nSavedMemoryClock = 0;  // committed pair
    HICON m_hIcon = nullptr;
};
