// The profile list of the main dialog: two fixed entries, then the named profiles.
// Choosing an entry only moves the sliders; OK or Test puts the pair on the card.
#include <string.h>

#include "language.h"
#include "maindlg.h"
#include "profilenamedlg.h"

enum { kCurrentIndex = 0, kDefaultIndex = 1 };

namespace {

int ClampToSlider(const CSkinSlider& slider, int clock) {
    int minimum = slider.GetRangeMin(), maximum = slider.GetRangeMax();
    if (clock < minimum) return minimum;
    if (clock > maximum) return maximum;
    return clock;
}

}  // namespace

// The entry whose text begins with the current-settings label, searching after
// index 0 and wrapping around.
void CTarnwell2Dlg::SelectCurrentSettings() { m_cbProfiles.SelectString(kCurrentIndex, str_CurrentSettings); }

void CTarnwell2Dlg::OnSelchangeProfile() {
    int index = m_cbProfiles.GetCurSel();
    if (index == CB_ERR) return;
    // Names of up to 79 characters come from the list; each is used whole.
    CString text;
    m_cbProfiles.GetLBText(index, text);

    // A value that cannot be read keeps what the slider shows.
    ClockPair pair = {m_sliderEngine.GetPos(), m_sliderMemory.GetPos()};
    if (index == kDefaultIndex) {
        Store().LoadDefault(&pair);
        EnableButton(IDC_BUTTON_DELETE, FALSE);
    } else if (index == kCurrentIndex) {
        pair = ClockPair{m_nSavedEngineClock, m_nSavedMemoryClock};
        EnableButton(IDC_BUTTON_DELETE, FALSE);
    } else {
        Store().LoadProfile(text.c_str(), &pair);
        EnableButton(IDC_BUTTON_DELETE, TRUE);
    }
    // A stored pair outside a slider's range is brought inside it here, as the opening
    // does: OK may come before the next paint would move the pending pair.
    m_nEngineClock = ClampToSlider(m_sliderEngine, pair.engine);
    m_nMemoryClock = ClampToSlider(m_sliderMemory, pair.memory);
    if (!PendingIsCommitted()) EnableButton(IDC_BUTTON_TEST, TRUE);

    SetSliders(m_nEngineClock, m_nMemoryClock);
    InvalidateRect(&m_rcEngineText, TRUE);
    InvalidateRect(&m_rcMemoryText, TRUE);
}

void CTarnwell2Dlg::OnButtonSaveAs() {
    char name[PROFILE_NAME_MAX + 1];
    memset(name, 0, sizeof(name));
    CProfileNameDlg dialog(this);  // owned by the main dialog
    dialog.DoModal();
    if (dialog.m_bAccepted) {
        memcpy(name, dialog.m_szName, sizeof(name));
        ClockPair pair = {m_sliderEngine.GetPos(), m_sliderMemory.GetPos()};
        // Fixed labels, empty names and names with a backslash are not saved.
        if (Store().SaveProfile(name, pair) == SaveResult::Saved) {
            int index = m_cbProfiles.FindStringExact(kCurrentIndex, name);
            if (index == CB_ERR) {
                index = m_cbProfiles.AddString(name);
                EnableButton(IDC_BUTTON_DELETE, TRUE);
            }
            m_cbProfiles.SetCurSel(index);
        }
    }
    Invalidate(TRUE);
}

void CTarnwell2Dlg::OnButtonDelete() {
    if (::MessageBoxA(m_hWnd, str_DeleteProfileMsg, str_Confirmation,
                      MB_OKCANCEL | MB_ICONEXCLAMATION) != IDOK)
        return;
    int index = m_cbProfiles.GetCurSel();
    // The fixed entries are never deleted (the button is off while they are selected).
    if (index == CB_ERR || index == kCurrentIndex || index == kDefaultIndex) return;
    CString text;
    m_cbProfiles.GetLBText(index, text);
    Store().DeleteProfile(text.c_str());

    m_cbProfiles.DeleteString(static_cast<UINT>(index));
    SelectCurrentSettings();
    SetSliders(m_nSavedEngineClock, m_nSavedMemoryClock);
    EnableButton(IDC_BUTTON_DELETE, FALSE);
    Invalidate(TRUE);
}
