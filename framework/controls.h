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
    BOOL Create(LPCSTR caption, DWORD style, const RECT& rect, CWnd* parent, UINT id);
    virtual void DrawItem(LPDRAWITEMSTRUCT dis);
    BOOL OnChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result) override;

    UINT GetState() const { return (UINT)SendMessage(BM_GETSTATE); }
    void SetState(BOOL highlight) { SendMessage(BM_SETSTATE, highlight); }
    int GetCheck() const { return (int)SendMessage(BM_GETCHECK); }
    void SetCheck(int check) { SendMessage(BM_SETCHECK, (WPARAM)check); }
    UINT GetButtonStyle() const { return GetStyle() & 0xFFFF; }
    void SetButtonStyle(UINT style, BOOL redraw = TRUE) { SendMessage(BM_SETSTYLE, style, redraw); }
};

// Trackbar (msctls_trackbar32).
class CSliderCtrl : public CWnd {
public:
    BOOL Create(DWORD style, const RECT& rect, CWnd* parent, UINT id);
    void SetRange(int minimum, int maximum, BOOL redraw = FALSE)
    { SendMessage(TBM_SETRANGEMIN, FALSE, minimum); SendMessage(TBM_SETRANGEMAX, redraw, maximum); }
    void GetRange(int& minimum, int& maximum) const { minimum = GetRangeMin(); maximum = GetRangeMax(); }
    void SetRangeMin(int minimum, BOOL redraw = FALSE) { SendMessage(TBM_SETRANGEMIN, redraw, minimum); }
    void SetRangeMax(int maximum, BOOL redraw = FALSE) { SendMessage(TBM_SETRANGEMAX, redraw, maximum); }
    int GetRangeMin() const { return (int)SendMessage(TBM_GETRANGEMIN); }
    int GetRangeMax() const { return (int)SendMessage(TBM_GETRANGEMAX); }
    int GetPos() const { return (int)SendMessage(TBM_GETPOS); }
    void SetPos(int pos) { SendMessage(TBM_SETPOS, TRUE, pos); }
    void SetTicFreq(int frequency) { SendMessage(TBM_SETTICFREQ, (WPARAM)frequency); }
    int GetLineSize() const { return (int)SendMessage(TBM_GETLINESIZE); }
    int SetLineSize(int size) { return (int)SendMessage(TBM_SETLINESIZE, 0, size); }
    int GetPageSize() const { return (int)SendMessage(TBM_GETPAGESIZE); }
    int SetPageSize(int size) { return (int)SendMessage(TBM_SETPAGESIZE, 0, size); }
    void GetThumbRect(LPRECT rect) const { SendMessage(TBM_GETTHUMBRECT, 0, (LPARAM)rect); }
    void GetChannelRect(LPRECT rect) const { SendMessage(TBM_GETCHANNELRECT, 0, (LPARAM)rect); }
};

// Combo box; indices and results as in Win32 (CB_ERR = -1).
class CComboBox : public CWnd {
public:
    BOOL Create(DWORD style, const RECT& rect, CWnd* parent, UINT id);
    int AddString(LPCSTR text) { return (int)SendMessage(CB_ADDSTRING, 0, (LPARAM)text); }
    int InsertString(int index, LPCSTR text) { return (int)SendMessage(CB_INSERTSTRING, (WPARAM)index, (LPARAM)text); }
    int DeleteString(UINT index) { return (int)SendMessage(CB_DELETESTRING, index); }
    void ResetContent() { SendMessage(CB_RESETCONTENT); }
    int GetCount() const { return (int)SendMessage(CB_GETCOUNT); }
    int GetCurSel() const { return (int)SendMessage(CB_GETCURSEL); }
    int SetCurSel(int index) { return (int)SendMessage(CB_SETCURSEL, (WPARAM)index); }
    int GetLBTextLen(int index) const { return (int)SendMessage(CB_GETLBTEXTLEN, (WPARAM)index); }
    // The buffer must hold GetLBTextLen(index) + 1 characters.
    int GetLBText(int index, LPSTR buffer) const { return (int)SendMessage(CB_GETLBTEXT, (WPARAM)index, (LPARAM)buffer); }
    void GetLBText(int index, CString& text) const;
    // Searches start after index 'start' (-1: from the beginning), case-insensitive.
    int FindString(int start, LPCSTR text) const { return (int)SendMessage(CB_FINDSTRING, (WPARAM)start, (LPARAM)text); }
    int FindStringExact(int start, LPCSTR text) const { return (int)SendMessage(CB_FINDSTRINGEXACT, (WPARAM)start, (LPARAM)text); }
    int SelectString(int start, LPCSTR text) { return (int)SendMessage(CB_SELECTSTRING, (WPARAM)start, (LPARAM)text); }
    DWORD_PTR GetItemData(int index) const { return (DWORD_PTR)SendMessage(CB_GETITEMDATA, (WPARAM)index); }
    int SetItemData(int index, DWORD_PTR data) { return (int)SendMessage(CB_SETITEMDATA, (WPARAM)index, (LPARAM)data); }
    BOOL LimitText(int maxChars) { return (BOOL)SendMessage(CB_LIMITTEXT, (WPARAM)maxChars); }
    void ShowDropDown(BOOL show = TRUE) { SendMessage(CB_SHOWDROPDOWN, show); }
};

// Edit control.
class CEdit : public CWnd {
public:
    BOOL Create(DWORD style, const RECT& rect, CWnd* parent, UINT id);
    // Copies at most maxLength characters of line 'index' into buffer, WITHOUT a
    // terminating NUL (as EM_GETLINE); returns the number copied. Works for any
    // maxLength >= 0 (the length word EM_GETLINE needs is not written into buffer).
    int GetLine(int index, LPSTR buffer, int maxLength) const;
    int GetLineCount() const { return (int)SendMessage(EM_GETLINECOUNT); }
    int LineLength(int charIndex = -1) const { return (int)SendMessage(EM_LINELENGTH, (WPARAM)charIndex); }
    void LimitText(int maxChars = 0) { SendMessage(EM_LIMITTEXT, (WPARAM)maxChars); }
    void SetSel(int start, int end, BOOL noScroll = FALSE)
    { SendMessage(EM_SETSEL, (WPARAM)start, end); if (!noScroll) SendMessage(EM_SCROLLCARET); }
    void ReplaceSel(LPCSTR text, BOOL canUndo = FALSE) { SendMessage(EM_REPLACESEL, canUndo, (LPARAM)text); }
    void SetReadOnly(BOOL readOnly = TRUE) { SendMessage(EM_SETREADONLY, readOnly); }
};

// Static control.
class CStatic : public CWnd {
public:
    BOOL Create(LPCSTR text, DWORD style, const RECT& rect, CWnd* parent, UINT id);
    HICON SetIcon(HICON icon) { return (HICON)SendMessage(STM_SETICON, (WPARAM)icon); }
    HICON GetIcon() const { return (HICON)SendMessage(STM_GETICON); }
    HBITMAP SetBitmap(HBITMAP bitmap) { return (HBITMAP)SendMessage(STM_SETIMAGE, IMAGE_BITMAP, (LPARAM)bitmap); }
    HBITMAP GetBitmap() const { return (HBITMAP)SendMessage(STM_GETIMAGE, IMAGE_BITMAP); }
};
