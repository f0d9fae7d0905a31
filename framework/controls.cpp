// Control wrappers.
#include "controls.h"

BOOL CButton::Create(LPCSTR caption, DWORD style, const RECT& rect, CWnd* parent, UINT id)
{
    return CWnd::Create("BUTTON", caption, style, rect, parent, id);
}

void CButton::DrawItem(LPDRAWITEMSTRUCT) {}

BOOL CButton::OnChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result)
{
    if (message == WM_DRAWITEM) {
        DrawItem((LPDRAWITEMSTRUCT)lParam);
        *result = TRUE;
        return TRUE;
    }
    return CWnd::OnChildNotify(message, wParam, lParam, result);
}

BOOL CSliderCtrl::Create(DWORD style, const RECT& rect, CWnd* parent, UINT id)
{
    EnsureCommonControls();
    return CWnd::Create(TRACKBAR_CLASSA, "", style, rect, parent, id);
}

BOOL CComboBox::Create(DWORD style, const RECT& rect, CWnd* parent, UINT id)
{
    return CWnd::Create("COMBOBOX", "", style, rect, parent, id);
}

void CComboBox::GetLBText(int index, CString& text) const
{
    int length = GetLBTextLen(index);
    if (length == CB_ERR) {
        text.Empty();
        return;
    }
    LPSTR buffer = text.GetBuffer(length);
    int got = GetLBText(index, buffer);
    text.ReleaseBuffer(got == CB_ERR ? 0 : got);
}

BOOL CEdit::Create(DWORD style, const RECT& rect, CWnd* parent, UINT id)
{
    return CWnd::Create("EDIT", "", style, rect, parent, id);
}

int CEdit::GetLine(int index, LPSTR buffer, int maxLength) const
{
    if (maxLength <= 0 || !buffer) return 0;
    // EM_GETLINE reads the buffer size from the buffer's first word.
    CString local('\0', maxLength + 2);
    LPSTR room = local.GetBuffer(maxLength + 2);
    *(WORD*)room = (WORD)(maxLength > 0xFFFF ? 0xFFFF : maxLength);
    int copied = (int)SendMessage(EM_GETLINE, (WPARAM)index, (LPARAM)room);
    if (copied < 0) copied = 0;
    if (copied > maxLength) copied = maxLength;
    memcpy(buffer, room, (size_t)copied);
    return copied;
}

BOOL CStatic::Create(LPCSTR text, DWORD style, const RECT& rect, CWnd* parent, UINT id)
{
    return CWnd::Create("STATIC", text, style, rect, parent, id);
}
