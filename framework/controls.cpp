// Control wrappers.
#include "controls.h"

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

void CComboBox::GetLBText(int index, CString& text) const
{
    int length = (int)SendMessage(CB_GETLBTEXTLEN, (WPARAM)index);
    if (length == CB_ERR) {
        text.Empty();
        return;
    }
    LPSTR buffer = text.GetBuffer(length);
    int got = (int)SendMessage(CB_GETLBTEXT, (WPARAM)index, (LPARAM)buffer);
    text.ReleaseBuffer(got == CB_ERR ? 0 : got);
}

int CEdit::GetLine(int index, LPSTR buffer, int maxLength) const
{
    if (maxLength <= 0 || !buffer) return 0;
    // EM_GETLINE reads the buffer size from the buffer's first word.
    CString local;
    LPSTR room = local.GetBuffer(maxLength + 2);
    *(WORD*)room = (WORD)(maxLength > 0xFFFF ? 0xFFFF : maxLength);
    int copied = (int)SendMessage(EM_GETLINE, (WPARAM)index, (LPARAM)room);
    if (copied < 0) copied = 0;
    if (copied > maxLength) copied = maxLength;
    memcpy(buffer, room, (size_t)copied);
    return copied;
}
