#include "e2esupport.h"

#include <gtest/gtest.h>
#include <winternl.h>

#include <fstream>

#include "road.h"
#include "simscenario.h"

namespace e2e {

namespace {

struct FindContext {
    DWORD pid;
    const char* className;
    std::vector<HWND>* found;
};

BOOL CALLBACK CollectTopLevel(HWND window, LPARAM param)
{
    auto* context = reinterpret_cast<FindContext*>(param);
    DWORD pid = 0;
    GetWindowThreadProcessId(window, &pid);
    if (pid == context->pid && (!context->className || ClassName(window) == context->className))
        context->found->push_back(window);
    return TRUE;
}

BOOL CALLBACK CollectChildren(HWND window, LPARAM param)
{
    reinterpret_cast<std::vector<HWND>*>(param)->push_back(window);
    return TRUE;
}

std::vector<HWND> Children(HWND parent)
{
    std::vector<HWND> children;
    EnumChildWindows(parent, CollectChildren, reinterpret_cast<LPARAM>(&children));
    return children;
}

// Polls 'find' until it returns a window or 'seconds' pass (then null).
HWND WaitForWindow(const std::function<HWND()>& find, double seconds)
{
    HWND window = nullptr;
    WaitUntil([&] { return (window = find()) != nullptr; }, seconds);
    return window;
}

} // namespace

std::string BinDirectory()
{
    char path[MAX_PATH];
    GetModuleFileNameA(nullptr, path, sizeof path);
    std::string s(path);
    return s.substr(0, s.rfind('\\'));
}

std::string DistDirectory()
{
    return BuildDirectory() + "\\dist";
}

std::string BuildDirectory()
{
    std::string bin = BinDirectory();
    return bin.substr(0, bin.rfind('\\'));
}

std::string Utf8(const std::wstring& wide)
{
    if (wide.empty())
        return std::string();
    int n = WideCharToMultiByte(CP_UTF8, 0, wide.data(), (int)wide.size(), nullptr, 0, nullptr, nullptr);
    std::string s((size_t)n, '\0');
    WideCharToMultiByte(CP_UTF8, 0, wide.data(), (int)wide.size(), &s[0], n, nullptr, nullptr);
    return s;
}

std::wstring Wide(const std::string& utf8)
{
    if (utf8.empty())
        return std::wstring();
    int n = MultiByteToWideChar(CP_UTF8, 0, utf8.data(), (int)utf8.size(), nullptr, 0);
    std::wstring w((size_t)n, L'\0');
    MultiByteToWideChar(CP_UTF8, 0, utf8.data(), (int)utf8.size(), &w[0], n);
    return w;
}

std::string Text(HWND window)
{
    wchar_t text[1024] = L"";
    // Sent cross-process with a timeout, so a hung program cannot hang the test.
    DWORD_PTR length = 0;
    if (!SendMessageTimeoutW(window, WM_GETTEXT, 1024, reinterpret_cast<LPARAM>(text), SMTO_ABORTIFHUNG,
                             5000, &length))
        return std::string();
    return Utf8(std::wstring(text, (size_t)length));
}

std::string ClassName(HWND window)
{
    char name[256] = "";
    GetClassNameA(window, name, sizeof name);
    return name;
}

std::vector<HWND> TopLevelWindows(DWORD pid, const char* className)
{
    std::vector<HWND> found;
    FindContext context = {pid, className, &found};
    EnumWindows(CollectTopLevel, reinterpret_cast<LPARAM>(&context));
    return found;
}

bool WaitUntil(const std::function<bool()>& done, double seconds)
{
    DWORD start = GetTickCount();
    DWORD timeoutMs = static_cast<DWORD>(seconds * 1000);
    for (;;) {
        if (done())
            return true;
        if (GetTickCount() - start >= timeoutMs)
            return false;
        Sleep(20);
    }
}

// --- Program -----------------------------------------------------------------------

Program::Program(const StartOptions& options)
{
    std::string exe = (options.directory.empty() ? DistDirectory() : options.directory) + "\\" + options.program;
    std::string directory = options.currentDirectory.empty() ? DistDirectory() : options.currentDirectory;
    std::string commandLine = "\"" + exe + "\"";
    PROCESS_INFORMATION pi = {};
    if (!StartOnRoad(exe, commandLine, directory, &pi))
        return;
    CloseHandle(pi.hThread);
    m_process = pi.hProcess;
    m_pid = pi.dwProcessId;
    WaitForInputIdle(m_process, 10000);
    ForgetRoad(exe);
}

Program::~Program()
{
    if (Running())
        Kill();
    if (m_process)
        CloseHandle(m_process);
}

bool Program::WaitExit(double seconds, int* exitCode)
{
    if (!m_process || WaitForSingleObject(m_process, static_cast<DWORD>(seconds * 1000)) != WAIT_OBJECT_0)
        return false;
    DWORD code = 0;
    GetExitCodeProcess(m_process, &code);
    *exitCode = (int)code;
    return true;
}

bool Program::Running() const
{
    return m_process && WaitForSingleObject(m_process, 0) == WAIT_TIMEOUT;
}

void Program::Kill()
{
    if (!m_process)
        return;
    TerminateProcess(m_process, 99);
    WaitForSingleObject(m_process, 10000);
}

void Program::Command(UINT id) const
{
    if (HWND frame = Frame(0))
        PostMessageA(frame, WM_COMMAND, id, 0);
}

void Program::Close()
{
    Command(ID_APP_EXIT);
    int code = 0;
    WaitExit(15, &code);
}

HWND Program::Frame(double seconds) const
{
    return WaitForWindow([this] {
        for (HWND w : TopLevelWindows(m_pid))
            if (GetDlgItem(w, AFX_IDW_PANE_FIRST))
                return w;
        return HWND(nullptr);
    }, seconds);
}

std::vector<HWND> Program::Dialogs() const
{
    std::vector<HWND> dialogs;
    for (HWND w : TopLevelWindows(m_pid, "#32770"))
        if (IsWindowVisible(w) && GetDlgItem(w, IDC_SLIDER_ENGINE))
            dialogs.push_back(w);
    return dialogs;
}

HWND Program::Dialog(double seconds) const
{
    return WaitForWindow([this] {
        std::vector<HWND> dialogs = Dialogs();
        return dialogs.empty() ? HWND(nullptr) : dialogs[0];
    }, seconds);
}

std::vector<HWND> Program::MessageBoxes() const
{
    std::vector<HWND> boxes;
    for (HWND w : TopLevelWindows(m_pid, "#32770"))
        if (IsWindowVisible(w) && !GetDlgItem(w, IDC_SLIDER_ENGINE))
            boxes.push_back(w);
    return boxes;
}

HWND Program::MessageBox(double seconds) const
{
    return WaitForWindow([this] {
        // Found only once filled in: caption and message text.
        for (HWND box : MessageBoxes())
            if (!Text(box).empty() && !StaticText(box).empty())
                return box;
        return HWND(nullptr);
    }, seconds);
}

HWND Program::PopupMenu(double seconds) const
{
    return WaitForWindow([this] {
        for (HWND w : TopLevelWindows(m_pid, "#32768"))
            if (IsWindowVisible(w))
                return w;
        return HWND(nullptr);
    }, seconds);
}

HWND Program::Find(const std::string& caption, const char* className) const
{
    for (HWND w : TopLevelWindows(m_pid, className))
        if (IsWindowVisible(w) && Text(w) == caption)
            return w;
    return nullptr;
}

HWND Program::WaitFor(const std::string& caption, const char* className, double seconds) const
{
    return WaitForWindow([&] { return Find(caption, className); }, seconds);
}

void Program::TrayCallback(UINT iconId, UINT mouseMessage) const
{
    SendNotifyMessageA(Frame(), WM_TRAY_CALLBACK, iconId, mouseMessage);
}

// The counter lives in the image's "Shared" section: its offset comes from the
// shipped file's headers, the image base from the process's environment block.
bool Program::ReadInstanceCounter(LONG* value) const
{
    std::ifstream file(DistDirectory() + "\\tunedeck.exe", std::ios::binary);
    std::vector<char> image((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    if (image.size() < sizeof(IMAGE_DOS_HEADER))
        return false;
    auto* dos = reinterpret_cast<IMAGE_DOS_HEADER*>(image.data());
    auto* nt = reinterpret_cast<IMAGE_NT_HEADERS*>(image.data() + dos->e_lfanew);
    IMAGE_SECTION_HEADER* section = IMAGE_FIRST_SECTION(nt);
    DWORD rva = 0;
    for (int i = 0; i < nt->FileHeader.NumberOfSections; ++i)
        if (strncmp(reinterpret_cast<const char*>(section[i].Name), "Shared", 8) == 0)
            rva = section[i].VirtualAddress;
    if (!rva)
        return false;

    typedef NTSTATUS(NTAPI * QueryInformation)(HANDLE, PROCESSINFOCLASS, PVOID, ULONG, PULONG);
    auto query = reinterpret_cast<QueryInformation>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("ntdll.dll"), "NtQueryInformationProcess")));
    PROCESS_BASIC_INFORMATION info = {};
    if (!query || query(m_process, ProcessBasicInformation, &info, sizeof info, nullptr) != 0)
        return false;
    PEB peb;
    SIZE_T read = 0;
    if (!ReadProcessMemory(m_process, info.PebBaseAddress, &peb, sizeof peb, &read))
        return false;
    BYTE* base = static_cast<BYTE*>(peb.Reserved3[1]); // ImageBaseAddress
    return ReadProcessMemory(m_process, base + rva, value, sizeof *value, &read) && read == sizeof *value;
}

// --- dialogs, message boxes, menus -------------------------------------------------

std::string StaticText(HWND dialog)
{
    for (HWND child : Children(dialog)) {
        if (ClassName(child) != "Static")
            continue;
        LONG style = GetWindowLongA(child, GWL_STYLE);
        if ((style & SS_TYPEMASK) == SS_ICON)
            continue;
        std::string text = Text(child);
        if (!text.empty())
            return text;
    }
    return std::string();
}

void PressButton(HWND dialog, int id)
{
    HWND button = GetDlgItem(dialog, id);
    PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(button));
}

std::vector<MenuEntry> ShippedPopupEntries(UINT menuId)
{
    std::vector<MenuEntry> entries;
    std::string exe = DistDirectory() + "\\tunedeck.exe";
    HMODULE module = LoadLibraryExA(exe.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    if (!module)
        return entries;
    HMENU menu = LoadMenuW(module, MAKEINTRESOURCEW(menuId));
    HMENU popup = menu ? GetSubMenu(menu, 0) : nullptr;
    for (int i = 0; popup && i < GetMenuItemCount(popup); ++i) {
        wchar_t text[128] = L"";
        MENUITEMINFOW info = {};
        info.cbSize = sizeof info;
        info.fMask = MIIM_ID | MIIM_FTYPE | MIIM_STRING;
        info.dwTypeData = text;
        info.cch = 128;
        GetMenuItemInfoW(popup, i, TRUE, &info);
        entries.push_back({info.wID, Utf8(text), (info.fType & MFT_SEPARATOR) != 0});
    }
    if (menu)
        DestroyMenu(menu);
    FreeLibrary(module);
    return entries;
}

// Keys go to the window's own thread queue, where its (modal) loop reads them.
void PressKey(HWND window, UINT vk)
{
    LPARAM scan = static_cast<LPARAM>(MapVirtualKeyA(vk, 0)) << 16;
    PostMessageA(window, WM_KEYDOWN, vk, 1 | scan);
    PostMessageA(window, WM_KEYUP, vk, static_cast<LPARAM>(1 | scan | 0xC0000000u));
}

HWND FocusOf(HWND window)
{
    GUITHREADINFO info = {};
    info.cbSize = sizeof info;
    if (GetGUIThreadInfo(GetWindowThreadProcessId(window, nullptr), &info) && info.hwndFocus)
        return info.hwndFocus;
    return window;
}

void ChooseMenuEntry(HWND popupWindow, int selectable)
{
    // The first Down selects the first entry; each further one skips separators.
    for (int i = 0; i <= selectable; ++i)
        PressKey(popupWindow, VK_DOWN);
    PressKey(popupWindow, VK_RETURN);
}

void DismissMenu(HWND popupWindow)
{
    PressKey(popupWindow, VK_ESCAPE);
}

// --- screenshots --------------------------------------------------------------------

bool SaveScreenshot(const std::string& path)
{
    int width = GetSystemMetrics(SM_CXVIRTUALSCREEN);
    int height = GetSystemMetrics(SM_CYVIRTUALSCREEN);
    if (width <= 0 || height <= 0)
        return false;
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    BITMAPINFOHEADER header = {};
    header.biSize = sizeof header;
    header.biWidth = width;
    header.biHeight = height;
    header.biPlanes = 1;
    header.biBitCount = 24;
    header.biCompression = BI_RGB;
    void* bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(screen, reinterpret_cast<BITMAPINFO*>(&header), DIB_RGB_COLORS, &bits,
                                      nullptr, 0);
    bool saved = false;
    if (bitmap) {
        HGDIOBJ old = SelectObject(memory, bitmap);
        BitBlt(memory, 0, 0, width, height, screen, GetSystemMetrics(SM_XVIRTUALSCREEN),
               GetSystemMetrics(SM_YVIRTUALSCREEN), SRCCOPY);
        SelectObject(memory, old);
        GdiFlush();

        DWORD stride = ((DWORD)width * 3 + 3) & ~3u;
        DWORD imageSize = stride * (DWORD)height;
        BITMAPFILEHEADER file = {};
        file.bfType = 0x4D42; // "BM"
        file.bfOffBits = sizeof file + sizeof header;
        file.bfSize = file.bfOffBits + imageSize;
        std::ofstream out(path, std::ios::binary);
        out.write(reinterpret_cast<const char*>(&file), sizeof file);
        out.write(reinterpret_cast<const char*>(&header), sizeof header);
        out.write(static_cast<const char*>(bits), imageSize);
        saved = static_cast<bool>(out);
        DeleteObject(bitmap);
    }
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
    return saved;
}

namespace {

class ScreenshotListener : public ::testing::EmptyTestEventListener {
    bool m_saved = false;
    void OnTestStart(const ::testing::TestInfo&) override { m_saved = false; }
    void OnTestPartResult(const ::testing::TestPartResult& result) override
    {
        if (m_saved || !result.failed())
            return;
        m_saved = true; // the first failure shows the state that matters
        const ::testing::TestInfo* test = ::testing::UnitTest::GetInstance()->current_test_info();
        std::string name = test ? std::string(test->test_suite_name()) + "." + test->name() : "failure";
        std::string directory = BuildDirectory() + "\\screenshots";
        CreateDirectoryA(directory.c_str(), nullptr);
        std::string path = directory + "\\" + name + ".bmp";
        if (SaveScreenshot(path))
            printf("screenshot: %s\n", path.c_str());
    }
};

} // namespace

void KeepScreenshotsOfFailures()
{
    static bool installed = false;
    if (installed)
        return;
    installed = true;
    ::testing::UnitTest::GetInstance()->listeners().Append(new ScreenshotListener);
}

static bool s_chineseRun = false;

void SetChineseRun()
{
    s_chineseRun = true;
}

bool ChineseRun()
{
    return s_chineseRun;
}

void UseDefaultCard()
{
    sim::DefaultScenario();
}

void UseNoCard()
{
    sim::Reset();
}

} // namespace e2e
