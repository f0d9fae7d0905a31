// The program shell end to end: start, single instance, no card, tray menu and
// double click, Close, a start from another current directory, the taskbar's
// restart, languages, and what the shipped executable is bound to.
#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <string>
#include <vector>

#include "e2esupport.h"

#include <shellapi.h>

using namespace e2e;

namespace {

const char* kTitle = "Zyk Velotune V1.0a";
const UINT kEnglishMenu = IDR_TRAY_MENU_ENGLISH;
const UINT kChineseMenu = IDR_TRAY_MENU_CHINESE;
const double kExitWait = 15; // seconds

// Waits until posted messages sent to the frame before now have been handled: a
// right click posted behind them opens the menu only once they are done.
HWND SyncWithMenu(const Program& program, UINT iconId)
{
    PostMessageA(program.Frame(), WM_TRAY_CALLBACK, iconId, WM_RBUTTONUP);
    return program.PopupMenu();
}

// A right click on the icon: the popup, opened at the cursor.
HWND OpenTrayMenu(const Program& program, UINT iconId)
{
    program.TrayCallback(iconId, WM_RBUTTONUP);
    HWND popup = program.PopupMenu();
    if (popup) {
        POINT cursor;
        GetCursorPos(&cursor);
        RECT where;
        GetWindowRect(popup, &where);
        EXPECT_EQ(cursor.x, where.left);
        EXPECT_EQ(cursor.y, where.top);
    }
    return popup;
}

void CloseThroughTrayMenu(Program& program, UINT iconId)
{
    HWND popup = OpenTrayMenu(program, iconId);
    ASSERT_NE(nullptr, popup);
    ChooseMenuEntry(popup, 1); // "Close"
}

// The popup the program shows: "Option..." (or its Chinese), separator, "Close".
void ExpectTrayMenu(UINT menuId, const char* option, const char* close)
{
    std::vector<MenuEntry> entries = ShippedPopupEntries(menuId);
    ASSERT_EQ(3u, entries.size());
    EXPECT_EQ(32771u, entries[0].id);
    EXPECT_EQ(option, entries[0].text);
    EXPECT_TRUE(entries[1].separator);
    EXPECT_EQ(57665u, entries[2].id);
    EXPECT_EQ(close, entries[2].text);
}

class Shell : public ::testing::Test {
protected:
    void SetUp() override { UseDefaultCard(); }
};

TEST_F(Shell, StartOpensTheDialogByItselfFromAHiddenFrame)
{
    Program program;
    ASSERT_TRUE(program.Started());
    HWND frame = program.Frame();
    ASSERT_NE(nullptr, frame);
    HWND dialog = program.Dialog();
    ASSERT_NE(nullptr, dialog) << "the dialog did not open without user action";
    EXPECT_FALSE(IsWindowVisible(frame));
    EXPECT_EQ("Zyk Velotune", Text(frame));
    EXPECT_EQ(kTitle, Text(dialog));

    LONG counter = 99;
    ASSERT_TRUE(program.ReadInstanceCounter(&counter));
    EXPECT_EQ(0, counter);
}

TEST_F(Shell, SecondStartEndsAtOnceAndLeavesTheFirstAlone)
{
    Program first;
    ASSERT_NE(nullptr, first.Dialog());

    {
        Program second;
        int code = 1234;
        ASSERT_TRUE(second.WaitExit(kExitWait, &code));
        EXPECT_EQ(0, code);
    }
    LONG counter = 99;
    ASSERT_TRUE(first.ReadInstanceCounter(&counter));
    EXPECT_EQ(0, counter);
    EXPECT_EQ(1u, first.Dialogs().size());
    EXPECT_TRUE(first.MessageBoxes().empty());

    // After "Close" a new start succeeds.
    CloseThroughTrayMenu(first, kEnglishMenu);
    int code = 1234;
    ASSERT_TRUE(first.WaitExit(kExitWait, &code));
    EXPECT_EQ(0, code);

    Program third;
    ASSERT_NE(nullptr, third.Dialog());
    ASSERT_TRUE(third.ReadInstanceCounter(&counter));
    EXPECT_EQ(0, counter);

    // And after the last copy was killed, too: the shared section starts afresh.
    third.Kill();
    Program fourth;
    EXPECT_NE(nullptr, fourth.Dialog());
    ASSERT_TRUE(fourth.ReadInstanceCounter(&counter));
    EXPECT_EQ(0, counter);
}

// One message box, the language's text, no dialog, exit code -1.
void ExpectNoCardStart(const char* expectedText)
{
    UseNoCard();
    Program program;
    HWND box = program.MessageBox();
    ASSERT_NE(nullptr, box);
    EXPECT_EQ(kTitle, Text(box));
    EXPECT_EQ(expectedText, StaticText(box));
    EXPECT_EQ(1u, program.MessageBoxes().size());
    EXPECT_TRUE(program.Dialogs().empty());

    PressButton(box, IDOK);
    int code = 0;
    ASSERT_TRUE(program.WaitExit(kExitWait, &code));
    EXPECT_EQ(-1, code);
}

TEST_F(Shell, NoCardShowsTheMessageAndEndsWithMinusOne)
{
    ExpectNoCardStart("Please Install Zyk Graphic card.");
}

TEST_F(Shell, TrayMenuReopensTheDialogOnlyOnce)
{
    Program program;
    HWND dialog = program.Dialog();
    ASSERT_NE(nullptr, dialog);
    PressButton(dialog, 1012); // Cancel: close without applying
    ASSERT_TRUE(WaitUntil([&] { return program.Dialogs().empty(); }));
    EXPECT_TRUE(program.Running()) << "the program must stay resident in the tray";

    ExpectTrayMenu(kEnglishMenu, "Option...", "Close");
    HWND popup = OpenTrayMenu(program, kEnglishMenu);
    ASSERT_NE(nullptr, popup);

    // "Option..." opens the dialog again.
    ChooseMenuEntry(popup, 0);
    ASSERT_NE(nullptr, program.Dialog());

    // Neither the menu nor a double click opens a second one while it is open.
    popup = OpenTrayMenu(program, kEnglishMenu);
    ASSERT_NE(nullptr, popup) << "the tray menu must stay usable while the dialog runs";
    ChooseMenuEntry(popup, 0);
    program.TrayCallback(kEnglishMenu, WM_LBUTTONDBLCLK);
    HWND sync = SyncWithMenu(program, kEnglishMenu);
    ASSERT_NE(nullptr, sync);
    DismissMenu(sync);
    EXPECT_EQ(1u, program.Dialogs().size());

    // A double click after the dialog was closed opens it again.
    PressButton(program.Dialog(), 1012);
    ASSERT_TRUE(WaitUntil([&] { return program.Dialogs().empty(); }));
    program.TrayCallback(kEnglishMenu, WM_LBUTTONDBLCLK);
    EXPECT_NE(nullptr, program.Dialog());

    // A callback for another icon id is not this program's.
    program.TrayCallback(kEnglishMenu + 1, WM_RBUTTONUP);
    EXPECT_EQ(nullptr, program.PopupMenu(1));
}

TEST_F(Shell, CloseEndsTheProgramWithZero)
{
    Program program;
    HWND dialog = program.Dialog();
    ASSERT_NE(nullptr, dialog);
    PressButton(dialog, 1012);
    ASSERT_TRUE(WaitUntil([&] { return program.Dialogs().empty(); }));

    CloseThroughTrayMenu(program, kEnglishMenu);
    int code = 1234;
    ASSERT_TRUE(program.WaitExit(kExitWait, &code));
    EXPECT_EQ(0, code);
}

TEST_F(Shell, CloseWhileTheDialogRunsEndsTheDialogFirst)
{
    Program program;
    ASSERT_NE(nullptr, program.Dialog());
    CloseThroughTrayMenu(program, kEnglishMenu);
    int code = 1234;
    ASSERT_TRUE(program.WaitExit(kExitWait, &code));
    EXPECT_EQ(0, code);
}

// --- Started from another current directory -------------------------------------------

// The decoys' one colour: none of the skin's pictures has it.
const COLORREF kDecoyColour = RGB(3, 254, 1);

// A 24-bit bitmap file of one colour, as large as the picture at 'like'.
bool WriteDecoy(const std::string& like, const std::string& path, COLORREF colour)
{
    HBITMAP real = (HBITMAP)LoadImageA(nullptr, like.c_str(), IMAGE_BITMAP, 0, 0, LR_LOADFROMFILE);
    BITMAP bm = {};
    if (!real || !GetObjectA(real, sizeof bm, &bm))
        return false;
    DeleteObject(real);
    const DWORD stride = ((DWORD)bm.bmWidth * 3 + 3) & ~3u;
    BITMAPINFOHEADER info = {};
    info.biSize = sizeof info;
    info.biWidth = bm.bmWidth;
    info.biHeight = bm.bmHeight;
    info.biPlanes = 1;
    info.biBitCount = 24;
    BITMAPFILEHEADER file = {};
    file.bfType = 0x4D42;
    file.bfOffBits = sizeof file + sizeof info;
    file.bfSize = file.bfOffBits + stride * (DWORD)bm.bmHeight;
    std::string row(stride, '\0');
    for (int x = 0; x < bm.bmWidth; ++x) {
        row[(size_t)x * 3] = (char)GetBValue(colour);
        row[(size_t)x * 3 + 1] = (char)GetGValue(colour);
        row[(size_t)x * 3 + 2] = (char)GetRValue(colour);
    }
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char*>(&file), sizeof file);
    out.write(reinterpret_cast<const char*>(&info), sizeof info);
    for (int y = 0; y < bm.bmHeight; ++y)
        out.write(row.data(), (std::streamsize)row.size());
    return (bool)out;
}

// The share of sampled pixels of the dialog's client area, as the screen shows them,
// that equal the picture drawn at the client origin.
double ShareOfPicture(HWND dialog, const std::string& picture)
{
    HBITMAP face = (HBITMAP)LoadImageA(nullptr, picture.c_str(), IMAGE_BITMAP, 0, 0, LR_LOADFROMFILE);
    BITMAP bm = {};
    if (!face || !GetObjectA(face, sizeof bm, &bm))
        return -1;
    RECT client;
    GetClientRect(dialog, &client);
    POINT origin = {0, 0};
    ClientToScreen(dialog, &origin);
    const int w = std::min<int>(bm.bmWidth, client.right), h = std::min<int>(bm.bmHeight, client.bottom);
    HDC screen = GetDC(nullptr);
    HDC shot = CreateCompatibleDC(screen), pic = CreateCompatibleDC(screen);
    HBITMAP copy = CreateCompatibleBitmap(screen, w, h);
    HGDIOBJ oldShot = SelectObject(shot, copy), oldPic = SelectObject(pic, face);
    BitBlt(shot, 0, 0, w, h, screen, origin.x, origin.y, SRCCOPY);
    int same = 0, total = 0;
    for (int y = 0; y < h; y += 6)
        for (int x = 0; x < w; x += 6, ++total)
            same += GetPixel(shot, x, y) == GetPixel(pic, x, y);
    SelectObject(shot, oldShot);
    SelectObject(pic, oldPic);
    DeleteObject(copy);
    DeleteObject(face);
    DeleteDC(shot);
    DeleteDC(pic);
    ReleaseDC(nullptr, screen);
    return total ? (double)same / total : -1;
}

// Pixels of the dialog's window, as the screen shows them, of the decoys' colour.
int DecoyPixels(HWND dialog)
{
    RECT r;
    GetWindowRect(dialog, &r);
    const int w = r.right - r.left, h = r.bottom - r.top;
    HDC screen = GetDC(nullptr);
    HDC shot = CreateCompatibleDC(screen);
    HBITMAP copy = CreateCompatibleBitmap(screen, w, h);
    HGDIOBJ old = SelectObject(shot, copy);
    BitBlt(shot, 0, 0, w, h, screen, r.left, r.top, SRCCOPY);
    int decoy = 0;
    for (int y = 0; y < h; y += 2)
        for (int x = 0; x < w; x += 2)
            decoy += GetPixel(shot, x, y) == kDecoyColour;
    SelectObject(shot, old);
    DeleteObject(copy);
    DeleteDC(shot);
    ReleaseDC(nullptr, screen);
    return decoy;
}

// The skin's bitmap names are relative. Started with another current directory that
// holds one-colour decoys under the same names, the program shows the pictures of its own
// folder. (Which files the loader opens is traced by e2e_loader_paths.)
TEST_F(Shell, StartedFromAnotherDirectoryShowsThePicturesOfItsOwnFolder)
{
    char temp[MAX_PATH];
    GetTempPathA(MAX_PATH, temp);
    const std::string decoys = std::string(temp) + "velotune_decoys";
    CreateDirectoryA(decoys.c_str(), nullptr);
    CreateDirectoryA((decoys + "\\skin").c_str(), nullptr);
    const std::string skin = DistDirectory() + "\\skin\\";
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA((skin + "*.bmp").c_str(), &found);
    ASSERT_NE(INVALID_HANDLE_VALUE, search);
    do {
        ASSERT_TRUE(WriteDecoy(skin + found.cFileName, decoys + "\\skin\\" + found.cFileName, kDecoyColour));
    } while (FindNextFileA(search, &found));
    FindClose(search);

    StartOptions options;
    options.currentDirectory = decoys;
    {
        Program program(options);
        HWND dialog = program.Dialog();
        ASSERT_NE(nullptr, dialog);
        EXPECT_TRUE(program.MessageBoxes().empty()) << StaticText(program.MessageBox(0));
        double real = 0;
        WaitUntil([&] { return (real = ShareOfPicture(dialog, skin + "face_usa.bmp")) > 0.5; });
        EXPECT_GT(real, 0.5) << "the face is not the one beside the program";
        // No decoy anywhere: face, buttons and sliders show none of their colour, and
        // the outline comes from the real mask (the decoy mask, all white, gives none).
        EXPECT_EQ(0, DecoyPixels(dialog));
        HRGN outline = CreateRectRgn(0, 0, 0, 0);
        EXPECT_EQ(COMPLEXREGION, GetWindowRgn(dialog, outline));
        DeleteObject(outline);
        program.Close();
    }

    for (HANDLE f = FindFirstFileA((decoys + "\\skin\\*.bmp").c_str(), &found); f != INVALID_HANDLE_VALUE;) {
        DeleteFileA((decoys + "\\skin\\" + found.cFileName).c_str());
        if (!FindNextFileA(f, &found)) {
            FindClose(f);
            break;
        }
    }
    RemoveDirectoryA((decoys + "\\skin").c_str());
    RemoveDirectoryA(decoys.c_str());
}

// --- Taskbar restart ---------------------------------------------------------------------

// Explorer restarting re-creates the taskbar with an empty tray and broadcasts
// "TaskbarCreated". The icon is taken out of the real tray as the restart does, the
// message broadcast, and the tray asked whether the program's icon (its frame and id)
// is there again.
TEST_F(Shell, TaskbarRestartPutsTheIconBack)
{
    Program program;
    ASSERT_NE(nullptr, program.Dialog());
    HWND frame = program.Frame();
    ASSERT_NE(nullptr, frame);
    NOTIFYICONDATAA probe = {};
    probe.cbSize = NOTIFYICONDATAA_V1_SIZE;
    probe.hWnd = frame;
    probe.uID = kEnglishMenu;
    probe.uFlags = 0; // a modify request that changes nothing: answered TRUE only for a known icon
    ASSERT_TRUE(Shell_NotifyIconA(NIM_MODIFY, &probe)) << "the program's icon is not in the tray";
    ASSERT_TRUE(Shell_NotifyIconA(NIM_DELETE, &probe));
    ASSERT_FALSE(Shell_NotifyIconA(NIM_MODIFY, &probe));

    const UINT taskbarCreated = RegisterWindowMessageA("TaskbarCreated");
    DWORD_PTR ignored;
    SendMessageTimeoutA(HWND_BROADCAST, taskbarCreated, 0, 0, SMTO_ABORTIFHUNG, 5000, &ignored);
    EXPECT_TRUE(WaitUntil([&] { return Shell_NotifyIconA(NIM_MODIFY, &probe) != FALSE; }))
        << "the icon was not added again";

    // Nothing else changed: the same dialog, no message, and the icon still answers.
    EXPECT_EQ(1u, program.Dialogs().size());
    EXPECT_TRUE(program.MessageBoxes().empty());
    PressButton(program.Dialog(), 1012);
    ASSERT_TRUE(WaitUntil([&] { return program.Dialogs().empty(); }));
    program.TrayCallback(kEnglishMenu, WM_LBUTTONDBLCLK);
    EXPECT_NE(nullptr, program.Dialog());
}

// What the loader binds: busprobe.dll by name for the card check, nothing of the
// system's that shares a name with the program's own routines, and the shared
// counter section.
TEST(ShippedProgram, ImportsAndSharedSection)
{
    std::ifstream file(DistDirectory() + "\\tunedeck.exe", std::ios::binary);
    std::vector<char> bytes((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    ASSERT_GT(bytes.size(), 1024u);
    auto* base = reinterpret_cast<BYTE*>(bytes.data());
    auto* nt = reinterpret_cast<IMAGE_NT_HEADERS*>(base + reinterpret_cast<IMAGE_DOS_HEADER*>(base)->e_lfanew);
    IMAGE_SECTION_HEADER* sections = IMAGE_FIRST_SECTION(nt);
    auto fileOffset = [&](DWORD rva) -> BYTE* {
        for (int i = 0; i < nt->FileHeader.NumberOfSections; ++i)
            if (rva >= sections[i].VirtualAddress && rva < sections[i].VirtualAddress + sections[i].SizeOfRawData)
                return base + sections[i].PointerToRawData + (rva - sections[i].VirtualAddress);
        return nullptr;
    };

    bool sharedFound = false;
    for (int i = 0; i < nt->FileHeader.NumberOfSections; ++i) {
        if (strncmp(reinterpret_cast<char*>(sections[i].Name), "Shared", 8) != 0)
            continue;
        sharedFound = true;
        const DWORD wanted = IMAGE_SCN_MEM_SHARED | IMAGE_SCN_MEM_READ | IMAGE_SCN_MEM_WRITE |
                             IMAGE_SCN_CNT_INITIALIZED_DATA;
        EXPECT_EQ(wanted, sections[i].Characteristics & wanted);
        BYTE* data = fileOffset(sections[i].VirtualAddress);
        ASSERT_NE(nullptr, data);
        EXPECT_EQ(-1, *reinterpret_cast<LONG*>(data)) << "the counter starts at -1";
    }
    EXPECT_TRUE(sharedFound);

    std::vector<std::string> busprobe;
    const IMAGE_DATA_DIRECTORY& dir = nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
    for (auto* desc = reinterpret_cast<IMAGE_IMPORT_DESCRIPTOR*>(fileOffset(dir.VirtualAddress)); desc && desc->Name;
         ++desc) {
        std::string dll = reinterpret_cast<char*>(fileOffset(desc->Name));
        for (auto* thunk = reinterpret_cast<IMAGE_THUNK_DATA*>(fileOffset(desc->OriginalFirstThunk));
             thunk && thunk->u1.AddressOfData; ++thunk) {
            if (IMAGE_SNAP_BY_ORDINAL(thunk->u1.Ordinal))
                continue;
            std::string name = reinterpret_cast<char*>(
                reinterpret_cast<IMAGE_IMPORT_BY_NAME*>(fileOffset((DWORD)thunk->u1.AddressOfData))->Name);
            EXPECT_NE("TraceMessage", name) << "imported from " << dll;
            if (_stricmp(dll.c_str(), "busprobe.dll") == 0)
                busprobe.push_back(name);
        }
    }
    for (const char* needed : {"zykOpen_PCI", "ATIAGP_Check", "zykClose_PCI"})
        EXPECT_NE(busprobe.end(), std::find(busprobe.begin(), busprobe.end(), needed)) << needed;
}

// --- Traditional Chinese (Taiwan) system: run by e2e_shell_test_zh_TW ---------------

class Chinese : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (!ChineseRun())
            GTEST_SKIP() << "runs under LC_ALL=zh_TW.UTF-8 (e2e_shell_test_zh_TW)";
        ASSERT_EQ(0x0404, GetSystemDefaultLangID()) << "the Chinese run needs the Taiwan system language";
        UseDefaultCard();
    }
};

TEST_F(Chinese, NoCardMessageIsInChinese)
{
    ExpectNoCardStart(u8"請安裝Zyk顯示卡.");
}

TEST_F(Chinese, TrayMenuIsTheChineseOneAndCloseEnds)
{
    Program program;
    HWND dialog = program.Dialog();
    ASSERT_NE(nullptr, dialog);
    EXPECT_EQ(kTitle, Text(dialog)); // the title stays English
    PressButton(dialog, 1012);
    ASSERT_TRUE(WaitUntil([&] { return program.Dialogs().empty(); }));

    // The icon id is the Chinese menu's id; the English id is not this icon's.
    program.TrayCallback(kEnglishMenu, WM_RBUTTONUP);
    EXPECT_EQ(nullptr, program.PopupMenu(1));

    ExpectTrayMenu(kChineseMenu, u8"設定...", u8"結束");
    HWND popup = OpenTrayMenu(program, kChineseMenu);
    ASSERT_NE(nullptr, popup);
    ChooseMenuEntry(popup, 1); // "Close"
    int code = 1234;
    ASSERT_TRUE(program.WaitExit(kExitWait, &code));
    EXPECT_EQ(0, code);
}

} // namespace
