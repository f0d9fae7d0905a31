// Window objects: binding before the first message, Default, subclassing and
// unsubclassing, unbinding at destruction, reflection of notifications to controls.
#include <gtest/gtest.h>
#include <algorithm>
#include <string>
#include <vector>
#include "framework.h"

namespace {

bool Contains(const std::vector<UINT>& v, UINT m)
{
    return std::find(v.begin(), v.end(), m) != v.end();
}

std::string TextOf(HWND h)
{
    char buffer[256] = "";
    GetWindowTextA(h, buffer, sizeof buffer);
    return buffer;
}

// Records every message; answers WM_APP with 777 itself.
class Recorder : public CWnd {
public:
    std::vector<UINT> seen;
    int commands = 0;
    LRESULT WindowProc(UINT m, WPARAM w, LPARAM l) override
    {
        seen.push_back(m);
        if (m == WM_APP) return 777;
        return CWnd::WindowProc(m, w, l);
    }
    BOOL OnCommand(UINT, int) override { ++commands; return TRUE; }
};

HWND MakePopup()
{
    return CreateWindowExA(0, "STATIC", "popup", WS_POPUP, 0, 0, 200, 100, nullptr, nullptr,
                           GetModuleHandleA(nullptr), nullptr);
}

HWND MakeChild(HWND parent, LPCSTR cls, DWORD style, int id)
{
    return CreateWindowExA(0, cls, "", WS_CHILD | WS_VISIBLE | style, 10, 10, 80, 30, parent,
                           (HMENU)(INT_PTR)id, GetModuleHandleA(nullptr), nullptr);
}

}  // namespace

TEST(Binding, CreatedWindowIsBoundBeforeItsFirstMessage)
{
    Recorder r;
    ASSERT_TRUE(r.CreateEx(0, nullptr, "first", WS_POPUP, 0, 0, 50, 50, nullptr, nullptr));
    HWND h = r.m_hWnd;
    EXPECT_EQ(CWnd::FromHandlePermanent(h), &r);
    ASSERT_FALSE(r.seen.empty());
    // Both creation messages reached the object, WM_NCCREATE before WM_CREATE.
    auto nc = std::find(r.seen.begin(), r.seen.end(), (UINT)WM_NCCREATE);
    auto cr = std::find(r.seen.begin(), r.seen.end(), (UINT)WM_CREATE);
    ASSERT_NE(nc, r.seen.end());
    ASSERT_NE(cr, r.seen.end());
    EXPECT_LT(nc - r.seen.begin(), cr - r.seen.begin());

    // A handled message answers with the object's result; others reach the class
    // procedure through Default (DefWindowProc keeps the text).
    EXPECT_EQ(r.SendMessage(WM_APP), 777);
    r.SetWindowText("changed");
    EXPECT_EQ(TextOf(h), "changed");

    EXPECT_TRUE(r.DestroyWindow());
    EXPECT_EQ(r.m_hWnd, nullptr);
    EXPECT_FALSE(IsWindow(h));
    EXPECT_EQ(CWnd::FromHandlePermanent(h), nullptr);
}

// Checks, when PreSubclassWindow runs, what the window looks like.
class Probe : public Recorder {
public:
    WNDPROC procAtPreSubclass = nullptr;
    CWnd* boundAtPreSubclass = nullptr;
    void PreSubclassWindow() override
    {
        procAtPreSubclass = (WNDPROC)GetWindowLongPtrA(m_hWnd, GWLP_WNDPROC);
        boundAtPreSubclass = FromHandlePermanent(m_hWnd);
    }
};

TEST(Binding, SubclassedControlKeepsItsOwnBehaviourAndIsReleasedIntact)
{
    HWND parent = MakePopup();
    HWND edit = MakeChild(parent, "EDIT", 0, 5);
    ASSERT_TRUE(edit);
    WNDPROC original = (WNDPROC)GetWindowLongPtrA(edit, GWLP_WNDPROC);

    Probe sub;
    CWnd parentObject;
    ASSERT_TRUE(parentObject.SubclassWindow(parent));
    ASSERT_TRUE(sub.SubclassDlgItem(5, &parentObject));
    EXPECT_EQ(sub.procAtPreSubclass, original);     // before the procedure is replaced
    EXPECT_EQ(sub.boundAtPreSubclass, &sub);        // but already bound
    EXPECT_NE((WNDPROC)GetWindowLongPtrA(edit, GWLP_WNDPROC), original);

    // A window is bound to one object at a time; an object to one window.
    Recorder other;
    EXPECT_FALSE(other.SubclassWindow(edit));
    EXPECT_FALSE(sub.SubclassWindow(parent));

    // The edit control's own procedure still does the work, through Default.
    SetWindowTextA(edit, "hello");
    EXPECT_TRUE(Contains(sub.seen, WM_SETTEXT));
    EXPECT_EQ(TextOf(edit), "hello");
    SendMessageA(edit, EM_LIMITTEXT, 7, 0);
    EXPECT_EQ(SendMessageA(edit, EM_GETLIMITTEXT, 0, 0), 7);

    EXPECT_EQ(sub.UnsubclassWindow(), edit);
    EXPECT_EQ(sub.m_hWnd, nullptr);
    EXPECT_EQ((WNDPROC)GetWindowLongPtrA(edit, GWLP_WNDPROC), original);
    EXPECT_EQ(CWnd::FromHandlePermanent(edit), nullptr);
    size_t before = sub.seen.size();
    SetWindowTextA(edit, "again");
    EXPECT_EQ(sub.seen.size(), before);
    EXPECT_EQ(TextOf(edit), "again");

    // A released window can be bound again.
    EXPECT_TRUE(other.SubclassWindow(edit));
    DestroyWindow(parent);
    EXPECT_EQ(other.m_hWnd, nullptr);
    EXPECT_EQ(parentObject.m_hWnd, nullptr);
}

// Default passes the message being handled even after a nested message was handled.
class NestingEdit : public CWnd {
public:
    LRESULT WindowProc(UINT m, WPARAM w, LPARAM l) override
    {
        if (m == WM_SETTEXT) {
            SendMessage(WM_GETTEXTLENGTH);   // a nested dispatch through this object
            return Default();
        }
        return CWnd::WindowProc(m, w, l);
    }
};

TEST(Binding, DefaultAfterNestedMessageUsesTheOuterMessage)
{
    HWND parent = MakePopup();
    HWND edit = MakeChild(parent, "EDIT", 0, 5);
    NestingEdit sub;
    ASSERT_TRUE(sub.SubclassWindow(edit));
    EXPECT_TRUE(SetWindowTextA(edit, "outer"));
    EXPECT_EQ(TextOf(edit), "outer");
    DestroyWindow(parent);
}

class CountingWnd : public CWnd {
public:
    int postNcDestroy = 0;
    HWND handleAtPostNcDestroy = (HWND)1;
    void PostNcDestroy() override { ++postNcDestroy; handleAtPostNcDestroy = m_hWnd; }
};

TEST(Binding, DestructionOfEitherSideEndsTheBindingCleanly)
{
    // The window goes first (with its parent): the object is unbound, told once.
    HWND parent = MakePopup();
    HWND child = MakeChild(parent, "BUTTON", BS_PUSHBUTTON, 7);
    CountingWnd counting;
    ASSERT_TRUE(counting.SubclassWindow(child));
    DestroyWindow(parent);
    EXPECT_EQ(counting.postNcDestroy, 1);
    EXPECT_EQ(counting.handleAtPostNcDestroy, nullptr);
    EXPECT_EQ(counting.m_hWnd, nullptr);

    // The object goes first: a subclassed window survives with its own procedure...
    parent = MakePopup();
    child = MakeChild(parent, "BUTTON", BS_PUSHBUTTON, 7);
    WNDPROC original = (WNDPROC)GetWindowLongPtrA(child, GWLP_WNDPROC);
    {
        Recorder temporary;
        ASSERT_TRUE(temporary.SubclassWindow(child));
    }
    EXPECT_TRUE(IsWindow(child));
    EXPECT_EQ((WNDPROC)GetWindowLongPtrA(child, GWLP_WNDPROC), original);
    EXPECT_EQ(CWnd::FromHandlePermanent(child), nullptr);
    SetWindowTextA(child, "still works");
    EXPECT_EQ(TextOf(child), "still works");
    DestroyWindow(parent);

    // ...and a window the object created is destroyed with it.
    HWND created;
    {
        Recorder owner;
        ASSERT_TRUE(owner.CreateEx(0, nullptr, "", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr));
        created = owner.m_hWnd;
    }
    EXPECT_FALSE(IsWindow(created));
}

TEST(Binding, AccessorsHandBackHandlesAndBindNothing)
{
    HWND parent = MakePopup();
    HWND child = MakeChild(parent, "BUTTON", BS_PUSHBUTTON, 9);
    CWnd parentObject;
    ASSERT_TRUE(parentObject.SubclassWindow(parent));
    CWnd childObject;
    EXPECT_EQ(parentObject.GetDlgItem(9), child);
    EXPECT_EQ(CWnd::FromHandlePermanent(child), nullptr);   // no object made for it
    EXPECT_EQ(parentObject.GetDlgItem(12345), nullptr);
    ASSERT_TRUE(childObject.SubclassDlgItem(9, &parentObject));
    EXPECT_EQ(childObject.GetParent(), parent);
    EXPECT_EQ(childObject.GetDlgCtrlID(), 9);
    EXPECT_EQ(CWnd::FromHandlePermanent(childObject.GetParent()), &parentObject);
    CWnd missing;
    EXPECT_FALSE(missing.SubclassDlgItem(12345, &parentObject));
    DestroyWindow(parent);
}

// --- reflection ------------------------------------------------------------------------

class Picture : public CButton {
public:
    int drawn = 0;
    UINT drawnId = 0;
    void DrawItem(LPDRAWITEMSTRUCT dis) override
    {
        ++drawn;
        drawnId = dis->CtlID;
        FillRect(dis->hDC, &dis->rcItem, (HBRUSH)GetStockObject(BLACK_BRUSH));
    }
};

// Takes the commands it sends for itself when 'swallow' is set.
class CommandChild : public CWnd {
public:
    bool swallow = false;
    int offered = 0;
    BOOL OnChildNotify(UINT m, WPARAM w, LPARAM l, LRESULT* result) override
    {
        if (m != WM_COMMAND) return CWnd::OnChildNotify(m, w, l, result);
        ++offered;
        *result = 0;
        return swallow;
    }
};

TEST(Reflection, OwnerDrawReachesTheButtonAndNotTheParent)
{
    Recorder parent;
    ASSERT_TRUE(parent.CreateEx(0, nullptr, "parent", WS_POPUP | WS_VISIBLE, 0, 0, 200, 100,
                                nullptr, nullptr));
    HWND button = MakeChild(parent.m_hWnd, "BUTTON", BS_OWNERDRAW, 21);
    Picture picture;
    ASSERT_TRUE(picture.SubclassWindow(button));
    parent.seen.clear();

    // A real paint of the owner-drawn button.
    RedrawWindow(button, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    EXPECT_GE(picture.drawn, 1);
    EXPECT_EQ(picture.drawnId, 21u);
    EXPECT_FALSE(Contains(parent.seen, WM_DRAWITEM));

    // An unbound owner-drawn button leaves WM_DRAWITEM to the parent.
    HWND plain = MakeChild(parent.m_hWnd, "BUTTON", BS_OWNERDRAW, 22);
    parent.seen.clear();
    RedrawWindow(plain, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    EXPECT_TRUE(Contains(parent.seen, WM_DRAWITEM));
    parent.DestroyWindow();
}

TEST(Reflection, ChildDecidesWhetherTheParentSeesItsCommand)
{
    Recorder parent;
    ASSERT_TRUE(parent.CreateEx(0, nullptr, "parent", WS_POPUP, 0, 0, 200, 100, nullptr, nullptr));
    HWND button = MakeChild(parent.m_hWnd, "BUTTON", BS_PUSHBUTTON, 31);
    CommandChild child;
    ASSERT_TRUE(child.SubclassWindow(button));

    SendMessageA(button, BM_CLICK, 0, 0);
    EXPECT_EQ(child.offered, 1);
    EXPECT_EQ(parent.commands, 1);        // not taken: the parent's routing runs

    child.swallow = true;
    SendMessageA(button, BM_CLICK, 0, 0);
    EXPECT_EQ(child.offered, 2);
    EXPECT_EQ(parent.commands, 1);        // taken: the parent never sees it

    // A menu command (no control) is not offered to any child.
    parent.SendMessage(WM_COMMAND, MAKEWPARAM(31, 0), 0);
    EXPECT_EQ(child.offered, 2);
    EXPECT_EQ(parent.commands, 2);
    parent.DestroyWindow();
}
