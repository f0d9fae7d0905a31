// Window objects: binding, the framework's window procedure, reflection, wrappers.
#include "wnd.h"
#include <commctrl.h>

namespace {

// The window property that holds the bound object.
const char kObjectProp[] = "Velotune.CWnd";

// The program has one thread with windows, so the framework's state is plain static.
// The message being dispatched (for Default and GetCurrentMessage).
MSG s_current = {};
bool s_inDispatch = false;

// The object whose window CreateEx is creating, bound by the CBT hook.
CWnd* s_creating = nullptr;
HHOOK s_cbtHook = nullptr;
int s_hookDepth = 0;

LRESULT CALLBACK FrameworkWndProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam);

// The child a reflectable message comes from, or null.
HWND ReflectionSource(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    HWND child = nullptr;
    switch (message) {
    case WM_COMMAND:
    case WM_HSCROLL:
    case WM_VSCROLL:
    case WM_CTLCOLORMSGBOX:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLORDLG:
    case WM_CTLCOLORSCROLLBAR:
    case WM_CTLCOLORSTATIC:
        child = (HWND)lParam;
        break;
    case WM_NOTIFY:
        if (lParam) child = ((NMHDR*)lParam)->hwndFrom;
        break;
    case WM_DRAWITEM:
        if (lParam && ((DRAWITEMSTRUCT*)lParam)->CtlType != ODT_MENU)
            child = ((DRAWITEMSTRUCT*)lParam)->hwndItem;
        break;
    case WM_MEASUREITEM:
        if (lParam && ((MEASUREITEMSTRUCT*)lParam)->CtlType != ODT_MENU)
            child = ::GetDlgItem(hWnd, (int)((MEASUREITEMSTRUCT*)lParam)->CtlID);
        break;
    case WM_COMPAREITEM:
        if (lParam) child = ((COMPAREITEMSTRUCT*)lParam)->hwndItem;
        break;
    case WM_DELETEITEM:
        if (lParam) child = ((DELETEITEMSTRUCT*)lParam)->hwndItem;
        break;
    default:
        return nullptr;
    }
    (void)wParam;
    if (!child || child == hWnd || !::IsChild(hWnd, child)) return nullptr;
    return child;
}

}  // namespace

// Binding and unbinding, shared by subclassing and creation.
struct WndAccess {
    static void Bind(CWnd* wnd, HWND hWnd)
    {
        wnd->m_hWnd = hWnd;
        ::SetPropA(hWnd, kObjectProp, (HANDLE)wnd);
        wnd->PreSubclassWindow();
        wnd->m_pfnSuper = (WNDPROC)::SetWindowLongPtrA(hWnd, GWLP_WNDPROC, (LONG_PTR)FrameworkWndProc);
    }

    static void Unbind(CWnd* wnd)
    {
        HWND hWnd = wnd->m_hWnd;
        if (wnd->m_pfnSuper && ::IsWindow(hWnd))
            ::SetWindowLongPtrA(hWnd, GWLP_WNDPROC, (LONG_PTR)wnd->m_pfnSuper);
        if (hWnd) ::RemovePropA(hWnd, kObjectProp);
        wnd->m_pfnSuper = nullptr;
        wnd->m_hWnd = nullptr;
        wnd->m_bCreated = false;
    }

    static WNDPROC Super(CWnd* wnd) { return wnd->m_pfnSuper; }
};

namespace {

LRESULT CALLBACK CbtHook(int code, WPARAM wParam, LPARAM lParam)
{
    if (code == HCBT_CREATEWND && s_creating) {
        CWnd* wnd = s_creating;
        s_creating = nullptr;
        WndAccess::Bind(wnd, (HWND)wParam);
    }
    return ::CallNextHookEx(s_cbtHook, code, wParam, lParam);
}

LRESULT CALLBACK FrameworkWndProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    CWnd* wnd = CWnd::FromHandlePermanent(hWnd);
    if (!wnd) return ::DefWindowProcA(hWnd, message, wParam, lParam);

    MSG saved = s_current;
    bool savedIn = s_inDispatch;
    s_current = MSG{hWnd, message, wParam, lParam, 0, {0, 0}};
    s_inDispatch = true;

    LRESULT result = 0;
    bool handled = false;
    if (HWND source = ReflectionSource(hWnd, message, wParam, lParam)) {
        if (CWnd* child = CWnd::FromHandlePermanent(source))
            handled = child->OnChildNotify(message, wParam, lParam, &result) != FALSE;
    }
    if (!handled) result = wnd->WindowProc(message, wParam, lParam);

    // The last message of the window: unbind, then let the object finish (a frame
    // deletes itself). Nothing of 'wnd' is touched for other messages after
    // WindowProc, since a handler may have destroyed the window and its object.
    if (message == WM_NCDESTROY && CWnd::FromHandlePermanent(hWnd) == wnd) {
        WndAccess::Unbind(wnd);
        wnd->PostNcDestroy();
    }

    s_current = saved;
    s_inDispatch = savedIn;
    return result;
}

}  // namespace

// --- CWnd ----------------------------------------------------------------------------

CWnd::~CWnd()
{
    if (m_pfnSuper && m_hWnd && FromHandlePermanent(m_hWnd) == this) {
        if (m_bCreated)
            ::DestroyWindow(m_hWnd);   // WM_NCDESTROY unbinds
        else
            UnsubclassWindow();
    }
}

CWnd* CWnd::FromHandlePermanent(HWND hWnd)
{
    if (!hWnd) return nullptr;
    DWORD pid = 0;
    ::GetWindowThreadProcessId(hWnd, &pid);
    if (pid != ::GetCurrentProcessId()) return nullptr;
    return (CWnd*)::GetPropA(hWnd, kObjectProp);
}

BOOL CWnd::PreCreateWindow(CREATESTRUCTA& cs)
{
    if (!cs.lpszClass)
        cs.lpszClass = RegisterWndClass(CS_DBLCLKS, ::LoadCursorA(nullptr, (LPCSTR)IDC_ARROW),
                                        (HBRUSH)(COLOR_WINDOW + 1));
    return TRUE;
}

BOOL CWnd::CreateEx(DWORD exStyle, LPCSTR className, LPCSTR windowName, DWORD style,
                    int x, int y, int cx, int cy, HWND parent, HMENU menuOrId, LPVOID param)
{
    if (m_hWnd) return FALSE;
    EnsureCommonControls();
    CREATESTRUCTA cs = {};
    cs.dwExStyle = exStyle;
    cs.lpszClass = className;
    cs.lpszName = windowName;
    cs.style = (LONG)style;
    cs.x = x;
    cs.y = y;
    cs.cx = cx;
    cs.cy = cy;
    cs.hwndParent = parent;
    cs.hMenu = menuOrId;
    cs.hInstance = GetResourceHandle();
    cs.lpCreateParams = param;
    if (!PreCreateWindow(cs)) return FALSE;

    HookWindowCreate();
    HWND hWnd = ::CreateWindowExA(cs.dwExStyle, cs.lpszClass, cs.lpszName, (DWORD)cs.style,
                                  cs.x, cs.y, cs.cx, cs.cy, cs.hwndParent, cs.hMenu,
                                  cs.hInstance, cs.lpCreateParams);
    UnhookWindowCreate();
    if (!hWnd) {
        // A window bound and then refused by WM_NCCREATE / WM_CREATE is gone already.
        if (m_hWnd) WndAccess::Unbind(this);
        return FALSE;
    }
    if (m_hWnd == hWnd) m_bCreated = true;
    return m_hWnd == hWnd;
}

void CWnd::HookWindowCreate()
{
    if (s_hookDepth++ == 0)
        s_cbtHook = ::SetWindowsHookExA(WH_CBT, CbtHook, nullptr, ::GetCurrentThreadId());
    s_creating = this;
}

void CWnd::UnhookWindowCreate()
{
    if (s_creating == this) s_creating = nullptr;
    if (--s_hookDepth == 0 && s_cbtHook) {
        ::UnhookWindowsHookEx(s_cbtHook);
        s_cbtHook = nullptr;
    }
}

BOOL CWnd::Create(LPCSTR className, LPCSTR windowName, DWORD style, const RECT& rect,
                  CWnd* parent, UINT id)
{
    return CreateEx(0, className, windowName, style | WS_CHILD, rect.left, rect.top,
                    rect.right - rect.left, rect.bottom - rect.top,
                    parent ? parent->m_hWnd : nullptr, (HMENU)(UINT_PTR)id);
}

BOOL CWnd::DestroyWindow()
{
    if (!m_hWnd) return FALSE;
    return ::DestroyWindow(m_hWnd);
}

BOOL CWnd::SubclassWindow(HWND hWnd)
{
    if (m_hWnd || !hWnd || !::IsWindow(hWnd) || FromHandlePermanent(hWnd)) return FALSE;
    DWORD pid = 0;
    ::GetWindowThreadProcessId(hWnd, &pid);
    if (pid != ::GetCurrentProcessId()) return FALSE;
    WndAccess::Bind(this, hWnd);
    m_bCreated = false;
    return TRUE;
}

BOOL CWnd::SubclassDlgItem(UINT id, CWnd* parent)
{
    if (!parent || !parent->m_hWnd) return FALSE;
    HWND hWnd = ::GetDlgItem(parent->m_hWnd, (int)id);
    return hWnd ? SubclassWindow(hWnd) : FALSE;
}

HWND CWnd::UnsubclassWindow()
{
    HWND hWnd = m_hWnd;
    if (!m_pfnSuper) return nullptr;
    WndAccess::Unbind(this);
    return hWnd;
}

void CWnd::PreSubclassWindow() {}

LRESULT CWnd::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_COMMAND:
        if (OnCmdMsg(LOWORD(wParam), HIWORD(wParam))) return 0;
        break;
    case WM_CREATE:
        return OnCreate((LPCREATESTRUCTA)lParam);
    default:
        break;
    }
    return Default();
}

LRESULT CWnd::Default()
{
    if (!s_inDispatch) return 0;
    const MSG msg = s_current;
    WNDPROC super = m_pfnSuper;
    if (!super) return ::DefWindowProcA(msg.hwnd, msg.message, msg.wParam, msg.lParam);
    return ::CallWindowProcA(super, msg.hwnd, msg.message, msg.wParam, msg.lParam);
}

BOOL CWnd::OnChildNotify(UINT, WPARAM, LPARAM, LRESULT*)
{
    return FALSE;
}

BOOL CWnd::OnCmdMsg(UINT id, int code)
{
    return OnCommand(id, code);
}

BOOL CWnd::OnCommand(UINT, int)
{
    return FALSE;
}

int CWnd::OnCreate(LPCREATESTRUCTA)
{
    return (int)Default();
}

void CWnd::PostNcDestroy() {}

void CWnd::GetWindowText(CString& text) const
{
    int length = ::GetWindowTextLengthA(m_hWnd);
    LPSTR buffer = text.GetBuffer(length);
    int got = ::GetWindowTextA(m_hWnd, buffer, length + 1);
    text.ReleaseBuffer(got >= 0 ? got : 0);
}

BOOL CWnd::ModifyStyle(DWORD remove, DWORD add)
{
    DWORD style = GetStyle();
    DWORD changed = (style & ~remove) | add;
    if (changed == style) return FALSE;
    ::SetWindowLongPtrA(m_hWnd, GWL_STYLE, (LONG_PTR)changed);
    return TRUE;
}
