// Thin wrappers of the standard and common controls. Bind one to a template control
// with DDX_Control (dialog.h) or SubclassDlgItem.
#pragma once
#include <windows.h>
#include <commctrl.h>
#include "wnd.h"

// Push button. An owner-drawn button (BS_OWNERDRAW) is painted by DrawItem, which the
// framework calls from the WM_DRAWITEM that the parent reflects to the button.
class CButton : public CWnd {
public:
    virtual void DrawItem(LPDRAWITEMSTRUCT dis);
    BOOL OnChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result) override;
};

// Trackbar (msctls_trackbar32).
class CSliderCtrl : public CWnd {
public:
    void SetRange(int minimum, int maximum, BOOL redraw = FALSE)
    { SendMessage(TBM_SETRANGEMIN, FALSE, minimum); SendMessage(TBM_SETRANGEMAX, redraw, maximum); }
    int GetRangeMin() const { return (int)SendMessage(TBM_GETRANGEMIN); }
    int GetRangeMax() const { return (int)SendMessage(TBM_GETRANGEMAX); }
    int GetPos() const { return (int)SendMessage(TBM_GETPOS); }
    void SetPos(int pos) { SendMessage(TBM_SETPOS, TRUE, pos); }
    void SetTicFreq(int frequency) { SendMessage(TBM_SETTICFREQ, (WPARAM)frequency); }
    void GetThumbRect(LPRECT rect) const { SendMessage(TBM_GETTHUMBRECT, 0, (LPARAM)rect); }
};

// Combo box; indices and results as in Win32 (CB_ERR = -1).
class CComboBox : public CWnd {
public:
    int AddString(LPCSTR text) { return (int)SendMessage(CB_ADDSTRING, 0, (LPARAM)text); }
    int DeleteString(UINT index) { return (int)SendMessage(CB_DELETESTRING, index); }
    int GetCurSel() const { return (int)SendMessage(CB_GETCURSEL); }
    int SetCurSel(int index) { return (int)SendMessage(CB_SETCURSEL, (WPARAM)index); }
    void GetLBText(int index, CString& text) const;
    // Searches start after index 'start' (-1: from the beginning), case-insensitive.
    int FindStringExact(int start, LPCSTR text) const { return (int)SendMessage(CB_FINDSTRINGEXACT, (WPARAM)start, (LPARAM)text); }
    int SelectString(int start, LPCSTR text) { return (int)SendMessage(CB_SELECTSTRING, (WPARAM)start, (LPARAM)text); }
};

// Edit control.
class CEdit : public CWnd {
public:
    // Copies at most maxLength characters of line 'index' into buffer, WITHOUT a
    // terminating NUL (as EM_GETLINE); returns the number copied. Works for any
    // maxLength >= 0 (the length word EM_GETLINE needs is not written into buffer).
    int GetLine(int index, LPSTR buffer, int maxLength) const;
};
