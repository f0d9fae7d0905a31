// Shows a skin assembled the way the main dialog assembles it, for screenshots and a
// look by eye: outline, face, the two sliders, the five buttons (Delete and Test
// disabled, OK lit as under the pointer), the profile list and the four drawn texts.
// Run from the shipped folder: skin_preview.exe Config_USA.INI|Config_CHT.INI [seconds]
// Prints the window rectangle, then runs for the given time (default 5 s).
#include <windows.h>
#include <commctrl.h>

#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include "skin_button.h"
#include "skin_config.h"
#include "skin_slider.h"
#include "skin_surface.h"

namespace {

const int kClientW = 483, kClientH = 500;
const int kButtonIds[5] = {1002, 1009, 1011, 1012, 1013};

class PreviewWindow : public CWnd {
public:
    PreviewWindow(const char* config, bool chinese)
        : m_engine(config), m_memory(config), m_chinese(chinese) {
        SkinFullPath(config, m_path);
    }

    void Build() {
        CreateEx(WS_EX_APPWINDOW, RegisterWndClass(CS_DBLCLKS, LoadCursor(nullptr, IDC_ARROW)),
                 "Zyk Velotune V1.0a", WS_POPUP | WS_CAPTION, 0, 0, 200, 200, nullptr, nullptr);
        CRect wr, cr;
        GetWindowRect(&wr);
        GetClientRect(&cr);
        ClientToScreen(&cr);
        m_dx = cr.left - wr.left;
        m_dy = cr.top - wr.top;
        const int x = GetSystemMetrics(SM_CXSCREEN) / 2 - 30;
        SetWindowPos(HWND_TOPMOST, x, 0, m_dx + kClientW, m_dy + kClientH, 0);
        ApplySkinRegion(m_hWnd, m_path, m_dx, m_dy);

        CSkinSlider* sliders[2] = {&m_engine, &m_memory};
        for (int i = 0; i < 2; ++i) {
            SkinPlace p = SkinReadSliderPlace(m_path, i + 1);
            HWND h = CreateWindowExA(0, TRACKBAR_CLASSA, "", WS_CHILD | WS_VISIBLE | TBS_BOTH | TBS_NOTICKS,
                                     p.x, p.y, p.width, p.height, m_hWnd, (HMENU)(INT_PTR)(1000 + i),
                                     nullptr, nullptr);
            sliders[i]->SubclassWindow(h);
            sliders[i]->SetRange(288, 432, TRUE);
            sliders[i]->SetPos(i == 0 ? 396 : 351);
        }
        for (int i = 0; i < 5; ++i) {
            SkinPlace p = SkinReadButtonPlace(m_path, i + 1);
            HWND h = CreateWindowExA(0, "BUTTON", "", WS_CHILD | WS_VISIBLE | BS_PUSHBUTTON, p.x, p.y,
                                     p.width, p.height, m_hWnd, (HMENU)(INT_PTR)kButtonIds[i], nullptr, nullptr);
            m_buttons[i].SubclassWindow(h);
            char name[SKIN_BITMAP_SIZE], strip[MAX_PATH];
            SkinReadButtonStrip(m_path, i + 1, name);
            SkinBitmapPath(m_path, name, strip);
            m_buttons[i].LoadBitmapStrip(strip, 4, 12, 5, 12, 5);
            m_buttons[i].SetButtonFlags(1, 0);
        }
        m_buttons[1].EnableWindow(FALSE);
        m_buttons[4].EnableWindow(FALSE);

        SkinPlace list = SkinReadProfileListPlace(m_path);
        HWND combo = CreateWindowExW(0, L"COMBOBOX", L"", WS_CHILD | WS_VISIBLE | WS_VSCROLL | CBS_DROPDOWNLIST,
                                     list.x, list.y, list.width, 120, m_hWnd, (HMENU)1008, nullptr, nullptr);
        ::SendMessageW(combo, WM_SETFONT, (WPARAM)GetStockObject(DEFAULT_GUI_FONT), FALSE);
        ::SendMessageW(combo, CB_ADDSTRING, 0, (LPARAM)(m_chinese ? L"現在設定值" : L"(Current settings)"));
        ::SendMessageW(combo, CB_ADDSTRING, 0, (LPARAM)(m_chinese ? L"預設值" : L"Default"));
        ::SendMessageW(combo, CB_SETCURSEL, 0, 0);

        ShowWindow(SW_SHOW);
        UpdateWindow();
    }

    void HoverOk() {
        CRect r;
        m_buttons[2].GetWindowRect(&r);
        SetCursorPos(r.left + 20, r.top + 10);
        m_buttons[2].SendMessage(WM_MOUSEMOVE, 0, MAKELPARAM(20, 10));
    }

protected:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override {
        switch (message) {
        case WM_ERASEBKGND:
            return PaintSkinFace(m_hWnd, (HDC)wParam, m_path);
        case WM_PAINT: {
            PAINTSTRUCT ps;
            HDC dc = BeginPaint(m_hWnd, &ps);
            DrawTexts(dc);
            EndPaint(m_hWnd, &ps);
            return 0;
        }
        case WM_HSCROLL:
            InvalidateRect(nullptr, TRUE);
            break;
        case WM_LBUTTONDOWN:
            StartSkinDrag(m_hWnd, lParam);
            break;
        }
        return CWnd::WindowProc(message, wParam, lParam);
    }

    // The readouts as the dialog places them: (x + frame width, y), placeholder sizes.
    void DrawTexts(HDC dc) {
        SetTextColor(dc, SkinColorRef(SkinReadTextColor(m_path)));
        SetBkMode(dc, TRANSPARENT);
        struct Text { SkinPlace at; int w, h; UINT align; const wchar_t* text; } texts[4] = {};
        wchar_t engine[16], memory[16], model[32];
        swprintf(engine, 16, L"%d", m_engine.GetPos());
        swprintf(memory, 16, L"%d", m_memory.GetPos());
        char name[SKIN_MODEL_SIZE];
        SkinReadModelName(m_path, 0x0A12, name);
        MultiByteToWideChar(CP_ACP, 0, name[0] == '/' ? " " : name, -1, model, 32);
        texts[0] = {SkinReadEngineTextPlace(m_path), 27, 16, DT_RIGHT, engine};
        texts[1] = {SkinReadMemoryTextPlace(m_path), 27, 16, DT_RIGHT, memory};
        texts[2] = {SkinReadBrandTextPlace(m_path), 120, 21, DT_CENTER,
                    m_chinese ? L"Zyk顯示卡" : L"Zyk Graphic Card"};
        texts[3] = {SkinReadModelTextPlace(m_path), 156, 28, DT_CENTER, model};
        for (const Text& t : texts) {
            RECT r = {t.at.x + m_dx, t.at.y, t.at.x + m_dx + t.w, t.at.y + t.h};
            DrawTextW(dc, t.text, -1, &r, t.align);
        }
    }

    char m_path[SKIN_PATH_SIZE];
    CSkinSlider m_engine, m_memory;
    CSkinButton m_buttons[5];
    bool m_chinese;
    int m_dx = 0, m_dy = 0;
};

}  // namespace

int main(int argc, char** argv) {
    const char* config = argc > 1 ? argv[1] : "Config_USA.INI";
    const int seconds = argc > 2 ? atoi(argv[2]) : 5;
    EnsureCommonControls();
    PreviewWindow window(config, strstr(config, "CHT") != nullptr);
    window.Build();
    window.HoverOk();
    RECT r;
    window.GetWindowRect(&r);
    printf("%ld %ld %ld %ld\n", r.left, r.top, r.right - r.left, r.bottom - r.top);
    fflush(stdout);
    const DWORD end = GetTickCount() + seconds * 1000;
    MSG msg;
    while (GetTickCount() < end) {
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 50, QS_ALLINPUT);
    }
    return 0;
}
