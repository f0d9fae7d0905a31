// Window objects: binding, the framework's window procedure, reflection, wrappers.
#include "wnd.h"
#include "gdi.h"
#include "app.h"
#include "tempmap.h"
#include <commctrl.h>
#include <stdio.h>

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

TempMap<HWND, CWnd>& TempWnds()
{
    static TempMap<HWND, CWnd> map;
    return map;
}

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
        CWinApp* app = GetApp();
        if (app && app->m_pMainWnd == wnd) {
            app->m_pMainWnd = nullptr;
            ::PostQuitMessage(0);
        }
        wnd->PostNcDestroy();
    }

    s_current = saved;
    s_inDispatch = savedIn;
    return result;
}

}  // namespace

// --- helpers -------------------------------------------------------------------------

HINSTANCE GetResourceHandle()
{
    return ::GetModuleHandleA(nullptr);
}

void EnsureCommonControls()
{
    static bool done = false;
    if (done) return;
    INITCOMMONCONTROLSEX icc = {sizeof(icc), ICC_WIN95_CLASSES | ICC_BAR_CLASSES};
    ::InitCommonControlsEx(&icc);
    done = true;
}

LPCSTR RegisterWndClass(UINT classStyle, HCURSOR cursor, HBRUSH background, HICON icon)
{
    // Each class is registered once; its name stays here for the returned pointer.
    struct Name { Name* next; char text[96]; };
    static Name* names = nullptr;
    char name[96];
    snprintf(name, sizeof name, "Velotune:%p:%x:%p:%p:%p", (void*)GetResourceHandle(),
             classStyle, (void*)cursor, (void*)background, (void*)icon);
    for (const Name* n = names; n; n = n->next)
        if (strcmp(n->text, name) == 0) return n->text;

    WNDCLASSA wc = {};
    if (!::GetClassInfoA(GetResourceHandle(), name, &wc)) {
        wc.style = classStyle;
        wc.lpfnWndProc = ::DefWindowProcA;
        wc.hInstance = GetResourceHandle();
        wc.hCursor = cursor;
        wc.hbrBackground = background;
        wc.hIcon = icon;
        wc.lpszClassName = name;
        if (!::RegisterClassA(&wc)) return nullptr;
    }
    Name* kept = new Name;
    memcpy(kept->text, name, sizeof name);
    kept->next = names;
    names = kept;
    return kept->text;
}

int& TempLoopDepth()
{
    static int depth = 0;
    return depth;
}

void PurgeTempMaps(int fromDepth)
{
    TempWnds().Purge(fromDepth);
    PurgeTempDCs(fromDepth);
}

void DeleteTempMaps()
{
    PurgeTempMaps(0);
}

// --- CWnd ----------------------------------------------------------------------------

const CWnd CWnd::wndTop(HWND_TOP);
const CWnd CWnd::wndBottom(HWND_BOTTOM);
const CWnd CWnd::wndTopMost(HWND_TOPMOST);
const CWnd CWnd::wndNoTopMost(HWND_NOTOPMOST);

CWnd::CWnd() {}

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

CWnd* CWnd::FromHandle(HWND hWnd)
{
    if (!hWnd) return nullptr;
    if (CWnd* wnd = FromHandlePermanent(hWnd)) return wnd;
    CWnd* temp = TempWnds().Get(hWnd);
    temp->m_hWnd = hWnd;
    return temp;
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

BOOL CWnd::UnhookWindowCreate()
{
    bool bound = s_creating != this;
    if (s_creating == this) s_creating = nullptr;
    if (--s_hookDepth == 0 && s_cbtHook) {
        ::UnhookWindowsHookEx(s_cbtHook);
        s_cbtHook = nullptr;
    }
    return bound;
}

BOOL CWnd::CreateEx(DWORD exStyle, LPCSTR className, LPCSTR windowName, DWORD style,
                    const RECT& rect, CWnd* parent, UINT id, LPVOID param)
{
    return CreateEx(exStyle, className, windowName, style, rect.left, rect.top,
                    rect.right - rect.left, rect.bottom - rect.top,
                    parent ? parent->m_hWnd : nullptr, (HMENU)(UINT_PTR)id, param);
}

BOOL CWnd::Create(LPCSTR className, LPCSTR windowName, DWORD style, const RECT& rect,
                  CWnd* parent, UINT id, LPVOID param)
{
    return CreateEx(0, className, windowName, style | WS_CHILD, rect, parent, id, param);
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

const MSG* CWnd::GetCurrentMessage()
{
    return s_inDispatch ? &s_current : nullptr;
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

CWnd* CWnd::GetDlgItem(int id) const
{
    return FromHandle(::GetDlgItem(m_hWnd, id));
}

CWnd* CWnd::GetParent() const
{
    return FromHandle(::GetParent(m_hWnd));
}

CWnd* CWnd::GetOwner() const
{
    return FromHandle(::GetWindow(m_hWnd, GW_OWNER));
}

CWnd* CWnd::GetTopLevelParent() const
{
    // Climbs the child chain by hand: GetAncestor is missing from NT 4.0.
    HWND top = m_hWnd;
    while (top && (::GetWindowLongA(top, GWL_STYLE) & WS_CHILD)) {
        HWND parent = ::GetParent(top);
        if (!parent) break;
        top = parent;
    }
    return FromHandle(top);
}

void CWnd::ClientToScreen(LPRECT rect) const
{
    ::ClientToScreen(m_hWnd, (LPPOINT)rect);
    ::ClientToScreen(m_hWnd, ((LPPOINT)rect) + 1);
}

void CWnd::ScreenToClient(LPRECT rect) const
{
    ::ScreenToClient(m_hWnd, (LPPOINT)rect);
    ::ScreenToClient(m_hWnd, ((LPPOINT)rect) + 1);
}

void CWnd::GetWindowText(CString& text) const
{
    int length = ::GetWindowTextLengthA(m_hWnd);
    LPSTR buffer = text.GetBuffer(length);
    int got = ::GetWindowTextA(m_hWnd, buffer, length + 1);
    text.ReleaseBuffer(got >= 0 ? got : 0);
}

int CWnd::GetDlgItemText(int id, CString& text) const
{
    HWND item = ::GetDlgItem(m_hWnd, id);
    if (!item) {
        text.Empty();
        return 0;
    }
    int length = ::GetWindowTextLengthA(item);
    LPSTR buffer = text.GetBuffer(length);
    int got = ::GetWindowTextA(item, buffer, length + 1);
    text.ReleaseBuffer(got >= 0 ? got : 0);
    return text.GetLength();
}

BOOL CWnd::ModifyStyle(DWORD remove, DWORD add, UINT swpFlags)
{
    DWORD style = GetStyle();
    DWORD changed = (style & ~remove) | add;
    if (changed == style) return FALSE;
    ::SetWindowLongPtrA(m_hWnd, GWL_STYLE, (LONG_PTR)changed);
    if (swpFlags)
        ::SetWindowPos(m_hWnd, nullptr, 0, 0, 0, 0,
                       swpFlags | SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    return TRUE;
}

BOOL CWnd::ModifyStyleEx(DWORD remove, DWORD add, UINT swpFlags)
{
    DWORD style = GetExStyle();
    DWORD changed = (style & ~remove) | add;
    if (changed == style) return FALSE;
    ::SetWindowLongPtrA(m_hWnd, GWL_EXSTYLE, (LONG_PTR)changed);
    if (swpFlags)
        ::SetWindowPos(m_hWnd, nullptr, 0, 0, 0, 0,
                       swpFlags | SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    return TRUE;
}

CWnd* CWnd::SetCapture()
{
    return FromHandle(::SetCapture(m_hWnd));
}

CWnd* CWnd::GetCapture()
{
    return FromHandle(::GetCapture());
}

CWnd* CWnd::SetFocus()
{
    return FromHandle(::SetFocus(m_hWnd));
}

CWnd* CWnd::GetFocus()
{
    return FromHandle(::GetFocus());
}

CWnd* CWnd::GetActiveWindow()
{
    return FromHandle(::GetActiveWindow());
}

CWnd* CWnd::SetActiveWindow()
{
    return FromHandle(::SetActiveWindow(m_hWnd));
}

CDC* CWnd::GetDC()
{
    HDC hDC = ::GetDC(m_hWnd);
    if (!hDC) return nullptr;
    CDC* dc = new CDC;
    dc->Attach(hDC);
    return dc;
}

CDC* CWnd::GetWindowDC()
{
    HDC hDC = ::GetWindowDC(m_hWnd);
    if (!hDC) return nullptr;
    CDC* dc = new CDC;
    dc->Attach(hDC);
    return dc;
}

int CWnd::ReleaseDC(CDC* dc)
{
    if (!dc) return 0;
    int released = ::ReleaseDC(m_hWnd, dc->Detach());
    delete dc;
    return released;
}

BOOL CWnd::CenterWindow(CWnd* alternateOwner)
{
    HWND owner = alternateOwner ? alternateOwner->m_hWnd : ::GetWindow(m_hWnd, GW_OWNER);
    RECT area;
    if (owner && ::IsWindowVisible(owner) && !::IsIconic(owner))
        ::GetWindowRect(owner, &area);
    else
        ::SystemParametersInfoA(SPI_GETWORKAREA, 0, &area, 0);
    RECT rc;
    ::GetWindowRect(m_hWnd, &rc);
    int w = rc.right - rc.left, h = rc.bottom - rc.top;
    int x = area.left + ((area.right - area.left) - w) / 2;
    int y = area.top + ((area.bottom - area.top) - h) / 2;
    return ::SetWindowPos(m_hWnd, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}
