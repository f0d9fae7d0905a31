// CSkinButton: a push button drawn entirely from a strip of state pictures (normal,
// pressed, disabled, hover), scaled once to the button's size with fixed corners. It
// tracks the mouse itself, lights up under the pointer and reports a click to its
// parent with an ordinary BN_CLICKED command, sent synchronously.
#pragma once
#include <windows.h>

#include "controls.h"
#include "gdi.h"

class CSkinButton : public CButton {
public:
    CSkinButton();
    ~CSkinButton() override;

    // Composes the strip's `states` cells (side by side, left to right: normal,
    // pressed, disabled, hover) at the button's present client size, keeping the
    // margins (left, top, right, bottom) unscaled. Magenta is transparent. A strip that
    // cannot be loaded leaves the button without pictures (it then draws nothing).
    // Always returns nonzero.
    BOOL LoadBitmapStrip(LPCSTR path, int states, int left, int top, int right, int bottom);

    // Flag bits: SKIN_BUTTON_TRACK_HOVER. With mask 0 the flags become `value`,
    // otherwise only the bits in `mask` are taken from `value`. Returns the old flags.
    DWORD SetButtonFlags(DWORD value, DWORD mask);

    enum { SKIN_BUTTON_TRACK_HOVER = 1 };

protected:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    void PreSubclassWindow() override;
    void DrawItem(LPDRAWITEMSTRUCT dis) override;

    int ChoosePicture() const;
    void Repaint();
    // The hover ends when the pointer leaves: told by a tracker of the system's where
    // there is one, else found by a timer that checks where the pointer is.
    void TrackLeave();
    BOOL PointerInside() const;
    void EndHover();
    void TakeSnapshot(const CRect& item);
    void DrawCaption(CDC* dc, const CRect& item, bool disabled);

    COLORREF m_crText;
    DWORD m_dwFlags = 0;
    CImageList m_imageList;
    int m_nNormal = -1;
    int m_nPressed = -1;
    int m_nHover = -1;
    int m_nDisabled = -1;
    BOOL m_bHover = FALSE;
    BOOL m_bFocus = FALSE;
    BOOL m_bPressed = FALSE;
    // The parent's pixels behind the button, taken at the first paint. The context is
    // declared last so that it lets go of the bitmap before the bitmap is deleted.
    CBitmap m_bmpSnapshot;
    CDC m_dcSnapshot;
};
