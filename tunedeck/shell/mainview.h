// CMainView: the hidden frame's empty client window; focus and commands go to it.
#pragma once
#include "wnd.h"

class CMainView : public CWnd {
public:
    BOOL PreCreateWindow(CREATESTRUCTA& cs) override;
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

protected:
    void OnPaint();
};
