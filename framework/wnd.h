// CWnd: a C++ object bound to a window.
//
// Binding. An object is bound to its window by subclassing: CreateEx binds the window
// it creates before the window sees its first message, SubclassWindow /
// SubclassDlgItem bind an existing window (a dialog template's control, say). The
// window procedure is replaced by the framework's own, which finds the object (a
// window property) and calls its virtual WindowProc. The binding ends by itself at
// WM_NCDESTROY, or by UnsubclassWindow. Windows no object is bound to are handed out
// as plain HWNDs: no wrapper object is ever made for them.
//
// Message handling (our "message map"): a derived class overrides WindowProc, switches
// on the messages it handles and calls the base class's WindowProc for all others.
// Default() passes the message being handled to the procedure the window had before
// (the control's own class procedure, the dialog manager, DefWindowProc).
//
// Reflection. Before a window's WindowProc sees WM_COMMAND (from a control),
// WM_NOTIFY, WM_DRAWITEM, WM_MEASUREITEM, WM_COMPAREITEM, WM_DELETEITEM,
// WM_HSCROLL / WM_VSCROLL (from a control) or WM_CTLCOLOR*, the framework offers it to
// the sending child's object, if that child is bound: OnChildNotify. When the child
// returns TRUE its *result is the answer and the parent never sees the message.
//
// Commands. The base WindowProc turns WM_COMMAND into OnCmdMsg(id, code): the routing
// (CFrameWnd: the frame itself, then the application). A class handles its own
// commands in OnCommand(id, code), returning TRUE when handled.
#pragma once
#include <windows.h>
#include "base.h"
#include "types.h"
#include "text.h"

// Default style and pane identifier of a frame's client view.
#ifndef AFX_IDW_PANE_FIRST
#define AFX_IDW_PANE_FIRST 0xE900
#endif
#define AFX_WS_DEFAULT_VIEW (WS_CHILD | WS_VISIBLE | WS_BORDER)

class CWnd {
public:
    HWND m_hWnd = nullptr;

    CWnd() {}
    // A window still bound to the object is destroyed if the object created it and
    // released (unsubclassed) if the object only subclassed it.
    virtual ~CWnd();
    CWnd(const CWnd&) = delete;
    CWnd& operator=(const CWnd&) = delete;

    operator HWND() const { return m_hWnd; }

    // The object bound to a window of this process, or null.
    static CWnd* FromHandlePermanent(HWND hWnd);

    // --- creation -------------------------------------------------------------
    // Called by CreateEx before the window is created; may change anything in cs.
    // The base fills in a default window class when lpszClass is null.
    virtual BOOL PreCreateWindow(CREATESTRUCTA& cs);
    BOOL CreateEx(DWORD exStyle, LPCSTR className, LPCSTR windowName, DWORD style,
                  int x, int y, int cx, int cy, HWND parent, HMENU menuOrId, LPVOID param = nullptr);
    // A child window (style should include WS_CHILD) with control id 'id'.
    BOOL Create(LPCSTR className, LPCSTR windowName, DWORD style, const RECT& rect,
                CWnd* parent, UINT id);
    BOOL DestroyWindow();

    // --- subclassing ------------------------------------------------------------
    // FALSE if hWnd is not a window of this process or already bound to an object.
    BOOL SubclassWindow(HWND hWnd);
    BOOL SubclassDlgItem(UINT id, CWnd* parent);
    // Puts the previous window procedure back; returns the window handle (null when unbound).
    HWND UnsubclassWindow();
    // Called after the object is bound to its window and before the window
    // procedure is replaced (for a created window: before its first message).
    virtual void PreSubclassWindow();

    // --- dispatch -----------------------------------------------------------------
    virtual LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam);
    // The message being handled, passed to the previous window procedure.
    LRESULT Default();
    virtual BOOL OnChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result);
    // Command routing; the base offers the command to OnCommand only.
    virtual BOOL OnCmdMsg(UINT id, int code);
    // This object's own command handlers; TRUE when handled. Base: FALSE.
    virtual BOOL OnCommand(UINT id, int code);
    // WM_CREATE, called by the base WindowProc: 0 to continue, -1 to fail. Base: Default().
    virtual int OnCreate(LPCREATESTRUCTA cs);
    // Called after WM_NCDESTROY, once the object is unbound (a frame deletes itself here).
    virtual void PostNcDestroy();

    // --- thin wrappers with the Win32 meaning ---------------------------------------
    HWND GetDlgItem(int id) const { return ::GetDlgItem(m_hWnd, id); }
    HWND GetParent() const { return ::GetParent(m_hWnd); }
    int GetDlgCtrlID() const { return ::GetDlgCtrlID(m_hWnd); }
    BOOL IsWindow() const { return m_hWnd && ::IsWindow(m_hWnd); }
    void Invalidate(BOOL erase = TRUE) { ::InvalidateRect(m_hWnd, nullptr, erase); }
    void InvalidateRect(LPCRECT rect, BOOL erase = TRUE) { ::InvalidateRect(m_hWnd, rect, erase); }
    void UpdateWindow() { ::UpdateWindow(m_hWnd); }
    BOOL EnableWindow(BOOL enable = TRUE) { return ::EnableWindow(m_hWnd, enable); }
    BOOL IsWindowEnabled() const { return ::IsWindowEnabled(m_hWnd); }
    BOOL IsWindowVisible() const { return ::IsWindowVisible(m_hWnd); }
    BOOL IsIconic() const { return ::IsIconic(m_hWnd); }
    BOOL ShowWindow(int cmd) { return ::ShowWindow(m_hWnd, cmd); }
    void MoveWindow(int x, int y, int width, int height, BOOL repaint = TRUE)
    { ::MoveWindow(m_hWnd, x, y, width, height, repaint); }
    BOOL SetWindowPos(HWND insertAfter, int x, int y, int cx, int cy, UINT flags)
    { return ::SetWindowPos(m_hWnd, insertAfter, x, y, cx, cy, flags); }
    void GetWindowRect(LPRECT rect) const { ::GetWindowRect(m_hWnd, rect); }
    void GetClientRect(LPRECT rect) const { ::GetClientRect(m_hWnd, rect); }
    void ClientToScreen(LPPOINT point) const { ::ClientToScreen(m_hWnd, point); }
    void ClientToScreen(LPRECT rect) const
    { ::ClientToScreen(m_hWnd, (LPPOINT)rect); ::ClientToScreen(m_hWnd, (LPPOINT)rect + 1); }
    void ScreenToClient(LPPOINT point) const { ::ScreenToClient(m_hWnd, point); }
    void ScreenToClient(LPRECT rect) const
    { ::ScreenToClient(m_hWnd, (LPPOINT)rect); ::ScreenToClient(m_hWnd, (LPPOINT)rect + 1); }
    void SetWindowText(LPCSTR text) { ::SetWindowTextA(m_hWnd, text); }
    void GetWindowText(CString& text) const;
    void SetDlgItemText(int id, LPCSTR text) { ::SetDlgItemTextA(m_hWnd, id, text); }
    DWORD GetStyle() const { return (DWORD)::GetWindowLongPtrA(m_hWnd, GWL_STYLE); }
    // Removes, then adds style bits; TRUE if the style changed.
    BOOL ModifyStyle(DWORD remove, DWORD add);
    LRESULT SendMessage(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) const
    { return ::SendMessageA(m_hWnd, message, wParam, lParam); }
    BOOL PostMessage(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) const
    { return ::PostMessageA(m_hWnd, message, wParam, lParam); }
    // Mouse capture and focus; results are the previous holders.
    HWND SetCapture() { return ::SetCapture(m_hWnd); }
    HWND SetFocus() { return ::SetFocus(m_hWnd); }
    UINT_PTR SetTimer(UINT_PTR id, UINT elapse, TIMERPROC proc = nullptr)
    { return ::SetTimer(m_hWnd, id, elapse, proc); }
    BOOL KillTimer(UINT_PTR id) { return ::KillTimer(m_hWnd, id); }
    HFONT GetFont() const { return (HFONT)::SendMessageA(m_hWnd, WM_GETFONT, 0, 0); }
    HICON SetIcon(HICON icon, BOOL big)
    { return (HICON)::SendMessageA(m_hWnd, WM_SETICON, big ? ICON_BIG : ICON_SMALL, (LPARAM)icon); }

protected:
    // Binds the next window created on this thread to this object, before that window
    // receives its first message; UnhookWindowCreate ends it.
    void HookWindowCreate();
    void UnhookWindowCreate();

    WNDPROC m_pfnSuper = nullptr;   // the procedure the window had before it was bound
    bool m_bCreated = false;        // the window was created by this object

private:
    friend struct WndAccess;
};
