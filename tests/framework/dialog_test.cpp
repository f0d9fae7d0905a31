// Modal dialogs: the nested loop and its result, the owner disabled meanwhile, nested
// dialogs, a quit request ending the loops, data exchange, reflection in a dialog.
#include <gtest/gtest.h>
#include <algorithm>
#include <cstring>
#include <functional>
#include <string>
#include <vector>
#include "framework.h"
#include "test_ids.h"

namespace {

std::string TextOf(HWND h)
{
    char buffer[256] = "";
    GetWindowTextA(h, buffer, sizeof buffer);
    return buffer;
}

class Picture : public CButton {
public:
    int drawn = 0;
    void DrawItem(LPDRAWITEMSTRUCT) override { ++drawn; }
};

// Answers the trackbar's custom draw: asks for the parts, records them.
class Slider : public CSliderCtrl {
public:
    std::vector<DWORD> stages;
    std::vector<DWORD_PTR> parts;
    BOOL OnChildNotify(UINT m, WPARAM w, LPARAM l, LRESULT* result) override
    {
        if (m != WM_NOTIFY || ((NMHDR*)l)->code != (UINT)NM_CUSTOMDRAW)
            return CSliderCtrl::OnChildNotify(m, w, l, result);
        NMCUSTOMDRAW* cd = (NMCUSTOMDRAW*)l;
        stages.push_back(cd->dwDrawStage);
        if (cd->dwDrawStage == CDDS_PREPAINT) {
            *result = CDRF_NOTIFYITEMDRAW;
        } else {
            if (cd->dwDrawStage == CDDS_ITEMPREPAINT) parts.push_back(cd->dwItemSpec);
            *result = CDRF_DODEFAULT;
        }
        return TRUE;
    }
};

// The form of template IDD_FORM, driven by scripted steps: 'onInit' runs at the end of
// OnInitDialog, 'onApp' whenever the dialog receives WM_APP (post it to step later,
// from inside the modal loop).
class Form : public CDialog {
public:
    explicit Form(CWnd* parent = nullptr) : CDialog(IDD_FORM, parent) {}

    CString name;
    bool refuseSave = false;   // the exchange fails when saving, as a rejected value does
    Picture picture;
    Slider slider;
    CEdit nameEdit;
    std::function<void(Form&)> onInit;
    std::function<void(Form&)> onApp;
    int okCalls = 0, cancelCalls = 0;
    int customDrawSeenByDialog = 0;

    void DoDataExchange(CDataExchange* dx) override
    {
        DDX_Control(dx, IDC_PICTURE, picture);
        DDX_Control(dx, IDC_SLIDER, slider);
        DDX_Control(dx, IDC_NAME, nameEdit);
        DDX_Text(dx, IDC_NAME, name);
        if (dx->m_bSaveAndValidate && refuseSave) dx->Fail();
    }
    BOOL OnInitDialog() override
    {
        CDialog::OnInitDialog();
        if (onInit) onInit(*this);
        return TRUE;
    }
    void OnOK() override { ++okCalls; CDialog::OnOK(); }
    void OnCancel() override { ++cancelCalls; CDialog::OnCancel(); }
    LRESULT WindowProc(UINT m, WPARAM w, LPARAM l) override
    {
        if (m == WM_APP) {
            if (onApp) onApp(*this);
            return 0;
        }
        if (m == WM_APP + 1) return 12345;
        if (m == WM_NOTIFY && ((NMHDR*)l)->code == (UINT)NM_CUSTOMDRAW) ++customDrawSeenByDialog;
        return CDialog::WindowProc(m, w, l);
    }
    HWND Item(int id) const { return ::GetDlgItem(m_hWnd, id); }
    void Key(int id, WPARAM vk) { ::PostMessageA(Item(id), WM_KEYDOWN, vk, 1); }
};

// Ends itself with OK as soon as its loop runs.
class Inner : public CDialog {
public:
    explicit Inner(CWnd* parent) : CDialog(IDD_INNER, parent) {}
    std::function<void(Inner&)> onInit;
    BOOL OnInitDialog() override
    {
        CDialog::OnInitDialog();
        if (onInit) onInit(*this);
        return TRUE;
    }
};

// A plain top-level window to own dialogs.
struct OwnerWindow : CWnd {
    OwnerWindow() { CreateEx(0, nullptr, "owner", WS_POPUP, 0, 0, 100, 100, nullptr, nullptr); }
};

// Removes the quit request left in the queue, if any; returns whether there was one.
bool TakeQuit(int* code)
{
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (msg.message == WM_QUIT) {
            *code = (int)msg.wParam;
            return true;
        }
        DispatchMessageA(&msg);
    }
    return false;
}

}  // namespace

TEST(ModalLoop, EndDialogGivesTheResultAndTheOwnerIsDisabledMeanwhile)
{
    OwnerWindow owner;
    Form form(&owner);
    HWND dialog = nullptr, ownerDuring = nullptr;
    BOOL ownerEnabledDuring = TRUE;
    LRESULT answer = 0;
    form.onInit = [&](Form& f) { f.PostMessage(WM_APP); };
    form.onApp = [&](Form& f) {
        dialog = f.m_hWnd;
        ownerDuring = GetWindow(f.m_hWnd, GW_OWNER);
        ownerEnabledDuring = owner.IsWindowEnabled();
        answer = f.SendMessage(WM_APP + 1);   // a handled message's own result
        f.EndDialog(42);
    };
    EXPECT_EQ(form.DoModal(), 42);
    EXPECT_EQ(ownerDuring, owner.m_hWnd);
    EXPECT_FALSE(ownerEnabledDuring);
    EXPECT_TRUE(owner.IsWindowEnabled());
    EXPECT_EQ(answer, 12345);
    EXPECT_FALSE(IsWindow(dialog));
    EXPECT_EQ(form.m_hWnd, nullptr);
    EXPECT_EQ(form.picture.m_hWnd, nullptr);   // controls unbound with the dialog
    EXPECT_EQ(form.slider.m_hWnd, nullptr);

    // The same object runs again (a fresh window, controls bound again).
    form.onApp = [&](Form& f) { f.EndDialog(7); };
    EXPECT_EQ(form.DoModal(), 7);
}

TEST(ModalLoop, EndDialogDuringInitialisationEndsWithoutALoop)
{
    OwnerWindow owner;
    Form form(&owner);
    form.onInit = [&](Form& f) { f.EndDialog(5); };
    EXPECT_EQ(form.DoModal(), 5);
    EXPECT_TRUE(owner.IsWindowEnabled());
}

TEST(ModalLoop, NestedDialogsDisableEachOwnerInTurn)
{
    OwnerWindow owner;
    Form outer(&owner);
    BOOL outerEnabledDuringInner = TRUE, ownerEnabledDuringInner = TRUE;
    BOOL outerEnabledAfterInner = FALSE;
    INT_PTR innerResult = 0;
    outer.onInit = [&](Form& f) { f.PostMessage(WM_APP); };
    outer.onApp = [&](Form& f) {
        Inner inner(&f);
        inner.onInit = [&](Inner& i) {
            outerEnabledDuringInner = f.IsWindowEnabled();
            ownerEnabledDuringInner = owner.IsWindowEnabled();
            i.PostMessage(WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), (LPARAM)::GetDlgItem(i.m_hWnd, IDOK));
        };
        innerResult = inner.DoModal();
        outerEnabledAfterInner = f.IsWindowEnabled();
        f.EndDialog((int)innerResult + 100);
    };
    EXPECT_EQ(outer.DoModal(), IDOK + 100);
    EXPECT_EQ(innerResult, IDOK);
    EXPECT_FALSE(outerEnabledDuringInner);
    EXPECT_FALSE(ownerEnabledDuringInner);
    EXPECT_TRUE(outerEnabledAfterInner);
    EXPECT_TRUE(owner.IsWindowEnabled());
}

TEST(ModalLoop, QuitRequestDuringInitialisationEndsTheLoopAndIsPassedOn)
{
    OwnerWindow owner;
    Form form(&owner);
    form.onInit = [&](Form&) { PostQuitMessage(-1); };
    EXPECT_EQ(form.DoModal(), -1);
    EXPECT_TRUE(owner.IsWindowEnabled());
    EXPECT_EQ(form.m_hWnd, nullptr);
    int code = 0;
    ASSERT_TRUE(TakeQuit(&code));
    EXPECT_EQ(code, -1);
}

TEST(ModalLoop, QuitRequestInAnInnerDialogEndsEveryLoopWithTheSameCode)
{
    OwnerWindow owner;
    Form outer(&owner);
    INT_PTR innerResult = 0;
    outer.onInit = [&](Form& f) { f.PostMessage(WM_APP); };
    outer.onApp = [&](Form& f) {
        Inner inner(&f);
        inner.onInit = [&](Inner&) { PostQuitMessage(3); };
        innerResult = inner.DoModal();
        // No EndDialog here: the outer loop has to end at the quit request itself.
    };
    EXPECT_EQ(outer.DoModal(), -1);
    EXPECT_EQ(innerResult, -1);
    EXPECT_TRUE(owner.IsWindowEnabled());
    int code = 0;
    ASSERT_TRUE(TakeQuit(&code));
    EXPECT_EQ(code, 3);
}

TEST(ModalLoop, WithoutParentTheApplicationMainWindowIsTheOwner)
{
    CWinApp app("test");
    OwnerWindow mainWindow;   // hidden: not active
    app.m_pMainWnd = &mainWindow;
    ASSERT_EQ(GetActiveWindow(), nullptr);
    Form form;
    HWND ownerDuring = nullptr;
    BOOL mainEnabledDuring = TRUE;
    form.onInit = [&](Form& f) {
        ownerDuring = GetWindow(f.m_hWnd, GW_OWNER);
        mainEnabledDuring = mainWindow.IsWindowEnabled();
        f.EndDialog(IDOK);
    };
    EXPECT_EQ(form.DoModal(), IDOK);
    EXPECT_EQ(ownerDuring, mainWindow.m_hWnd);
    EXPECT_FALSE(mainEnabledDuring);
    EXPECT_TRUE(mainWindow.IsWindowEnabled());
    app.m_pMainWnd = nullptr;
}

TEST(DataExchange, LoadAtInitialisationSaveOnlyOnOk)
{
    OwnerWindow owner;
    Form form(&owner);
    form.name = "preset";
    std::string nameShown;
    bool pictureBound = false, secondLoadOk = false;
    form.onInit = [&](Form& f) {
        nameShown = TextOf(f.Item(IDC_NAME));
        pictureBound = CWnd::FromHandlePermanent(f.Item(IDC_PICTURE)) == &f.picture;
        secondLoadOk = f.UpdateData(FALSE) != FALSE;   // controls already bound: harmless
        SetWindowTextA(f.Item(IDC_NAME), "typed");
        f.Key(IDC_NAME, VK_RETURN);
    };
    EXPECT_EQ(form.DoModal(), IDOK);
    EXPECT_EQ(nameShown, "preset");
    EXPECT_TRUE(pictureBound);
    EXPECT_TRUE(secondLoadOk);
    EXPECT_EQ(form.okCalls, 1);
    EXPECT_STREQ(form.name, "typed");

    // Escape and the close box cancel without saving.
    for (bool viaClose : {false, true}) {
        form.okCalls = form.cancelCalls = 0;
        form.onInit = [&](Form& f) {
            SetWindowTextA(f.Item(IDC_NAME), "ignored");
            if (viaClose)
                f.PostMessage(WM_CLOSE);
            else
                f.Key(IDC_NAME, VK_ESCAPE);
        };
        EXPECT_EQ(form.DoModal(), IDCANCEL);
        EXPECT_EQ(form.cancelCalls, 1);
        EXPECT_EQ(form.okCalls, 0);
        EXPECT_STREQ(form.name, "typed");
    }
}

TEST(DataExchange, FailedSaveKeepsTheDialogOpen)
{
    OwnerWindow owner;
    Form form(&owner);
    form.name = "kept";
    form.refuseSave = true;
    bool stillRunning = false;
    form.onInit = [&](Form& f) {
        SetWindowTextA(f.Item(IDC_NAME), "typed");
        f.Key(IDC_NAME, VK_RETURN);
        f.PostMessage(WM_APP);
    };
    form.onApp = [&](Form& f) {
        stillRunning = f.IsModalRunning() != FALSE;
        f.EndDialog(IDCANCEL);
    };
    EXPECT_EQ(form.DoModal(), IDCANCEL);
    EXPECT_EQ(form.okCalls, 1);
    EXPECT_TRUE(stillRunning);
}

TEST(DataExchange, EditLineIsCopiedWithinTheGivenLengthOnly)
{
    OwnerWindow owner;
    Form form(&owner);
    char five[8], one[4];
    int gotFive = -1, gotOne = -1;
    form.onInit = [&](Form& f) {
        SetWindowTextA(f.Item(IDC_NAME), "abcdefgh");
        memset(five, 'X', sizeof five);
        memset(one, 'X', sizeof one);
        gotFive = f.nameEdit.GetLine(0, five, 5);
        gotOne = f.nameEdit.GetLine(0, one, 1);
        f.EndDialog(IDOK);
    };
    form.DoModal();
    EXPECT_EQ(gotFive, 5);
    EXPECT_EQ(std::string(five, 8), "abcdeXXX");   // no terminator, nothing beyond
    EXPECT_EQ(gotOne, 1);
    EXPECT_EQ(std::string(one, 4), "aXXX");
}

TEST(DialogReflection, CustomDrawAnswersReachTheTrackbarAndOwnerDrawTheButton)
{
    OwnerWindow owner;
    Form form(&owner);
    form.onInit = [&](Form& f) { f.PostMessage(WM_APP); };
    form.onApp = [&](Form& f) {
        f.slider.SetRange(0, 100, TRUE);
        f.slider.SetPos(40);
        RedrawWindow(f.m_hWnd, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
        f.EndDialog(IDOK);
    };
    EXPECT_EQ(form.DoModal(), IDOK);
    // The item stages come only when the trackbar got CDRF_NOTIFYITEMDRAW back.
    ASSERT_FALSE(form.slider.stages.empty());
    EXPECT_EQ(form.slider.stages.front(), (DWORD)CDDS_PREPAINT);
    EXPECT_NE(std::find(form.slider.parts.begin(), form.slider.parts.end(), (DWORD_PTR)TBCD_CHANNEL),
              form.slider.parts.end());
    EXPECT_NE(std::find(form.slider.parts.begin(), form.slider.parts.end(), (DWORD_PTR)TBCD_THUMB),
              form.slider.parts.end());
    EXPECT_EQ(form.customDrawSeenByDialog, 0);
    EXPECT_GE(form.picture.drawn, 1);
}
