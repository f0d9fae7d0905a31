#include "dialog_driver.h"

#include <commctrl.h>

#include <fstream>
#include <sstream>

namespace dlgdrv {

bool WaitUntil(const std::function<bool()>& done, double seconds) {
    DWORD end = GetTickCount() + static_cast<DWORD>(seconds * 1000);
    for (;;) {
        if (done()) return true;
        if (static_cast<LONG>(GetTickCount() - end) > 0) return false;
        Sleep(20);
    }
}

std::string BinFolder() {
    char path[MAX_PATH];
    GetModuleFileNameA(nullptr, path, sizeof(path));
    *strrchr(path, '\\') = '\0';
    return path;
}

std::string DistFolder() { return BinFolder() + "\\..\\dist"; }

namespace {

void CopyTree(const std::string& from, const std::string& to) {
    CreateDirectoryA(to.c_str(), nullptr);
    WIN32_FIND_DATAA fd;
    HANDLE h = FindFirstFileA((from + "\\*").c_str(), &fd);
    if (h == INVALID_HANDLE_VALUE) return;
    do {
        std::string name = fd.cFileName;
        if (name == "." || name == "..") continue;
        if (fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
            CopyTree(from + "\\" + name, to + "\\" + name);
        else
            CopyFileA((from + "\\" + name).c_str(), (to + "\\" + name).c_str(), FALSE);
    } while (FindNextFileA(h, &fd));
    FindClose(h);
}

void DeleteTree(const std::string& dir) {
    WIN32_FIND_DATAA fd;
    HANDLE h = FindFirstFileA((dir + "\\*").c_str(), &fd);
    if (h != INVALID_HANDLE_VALUE) {
        do {
            std::string name = fd.cFileName;
            if (name == "." || name == "..") continue;
            std::string path = dir + "\\" + name;
            if (fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
                DeleteTree(path);
            else
                DeleteFileA(path.c_str());
        } while (FindNextFileA(h, &fd));
        FindClose(h);
    }
    RemoveDirectoryA(dir.c_str());
}

struct FindArgs {
    DWORD pid;
    std::vector<HWND>* out;
};

BOOL CALLBACK CollectWindow(HWND w, LPARAM lp) {
    FindArgs* args = reinterpret_cast<FindArgs*>(lp);
    DWORD pid = 0;
    GetWindowThreadProcessId(w, &pid);
    if (pid == args->pid && IsWindowVisible(w)) args->out->push_back(w);
    return TRUE;
}

std::string ClassOf(HWND w) {
    char cls[64] = {};
    GetClassNameA(w, cls, sizeof(cls));
    return cls;
}

}  // namespace

Folder::Folder(const std::string& name) {
    char temp[MAX_PATH];
    GetTempPathA(sizeof(temp), temp);
    std::string root = std::string(temp) + "velotune_e2e";
    CreateDirectoryA(root.c_str(), nullptr);
    path = root + "\\" + name;
    DeleteTree(path);
    CopyTree(DistFolder(), path);
}

void Folder::Remove(const char* file) const { DeleteFileA((path + "\\" + file).c_str()); }
void Folder::Put(const std::string& from, const char* as) const {
    CopyFileA(from.c_str(), (path + "\\" + as).c_str(), FALSE);
}
void Folder::Write(const char* file, const std::string& text) const {
    std::ofstream(path + "\\" + file, std::ios::binary) << text;
}
bool Folder::Has(const char* file) const {
    return GetFileAttributesA((path + "\\" + file).c_str()) != INVALID_FILE_ATTRIBUTES;
}
std::string Folder::Read(const char* file) const {
    std::ifstream in(path + "\\" + file, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

Program::Program(const Folder& folder) {
    std::string exe = folder.path + "\\tunedeck.exe";
    std::string line = "\"" + exe + "\"";
    std::vector<char> cmd(line.begin(), line.end());
    cmd.push_back('\0');
    STARTUPINFOA si = {};
    si.cb = sizeof(si);
    if (CreateProcessA(exe.c_str(), cmd.data(), nullptr, nullptr, FALSE, 0, nullptr,
                       folder.path.c_str(), &si, &pi_))
        pid_ = pi_.dwProcessId;
}

Program::~Program() {
    if (!pi_.hProcess) return;
    if (Running()) Close();
    if (Running()) TerminateProcess(pi_.hProcess, 99);  // our own child only
    WaitForSingleObject(pi_.hProcess, 10000);
    CloseHandle(pi_.hThread);
    CloseHandle(pi_.hProcess);
}

bool Program::Running() const {
    return pi_.hProcess && WaitForSingleObject(pi_.hProcess, 0) == WAIT_TIMEOUT;
}

DWORD Program::WaitExit(double seconds) {
    if (!pi_.hProcess) return STILL_ACTIVE;
    WaitForSingleObject(pi_.hProcess, static_cast<DWORD>(seconds * 1000));
    DWORD code = STILL_ACTIVE;
    GetExitCodeProcess(pi_.hProcess, &code);
    return code;
}

void Program::Command(UINT id) const {
    // To every top-level window of the process but the dialogs: only the hidden frame
    // acts on the frame's commands.
    struct Args {
        DWORD pid;
        UINT id;
    } args{pid_, id};
    EnumWindows(
        [](HWND w, LPARAM lp) -> BOOL {
            Args* a = reinterpret_cast<Args*>(lp);
            DWORD pid = 0;
            GetWindowThreadProcessId(w, &pid);
            if (pid == a->pid && ClassOf(w) != "#32770") PostMessageA(w, WM_COMMAND, a->id, 0);
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&args));
}

void Program::Close() {
    Command(57665);  // ID_APP_EXIT: an open dialog is cancelled first
    WaitExit(15);
}

std::vector<HWND> Program::Windows() const {
    std::vector<HWND> out;
    FindArgs args{pid_, &out};
    EnumWindows(CollectWindow, reinterpret_cast<LPARAM>(&args));
    return out;
}

HWND Program::Find(const std::string& caption, const char* cls) const {
    for (HWND w : Windows())
        if (Text(w) == caption && (!cls || ClassOf(w) == cls)) return w;
    return nullptr;
}

HWND Program::WaitFor(const std::string& caption, const char* cls, double seconds) const {
    HWND found = nullptr;
    WaitUntil([&] { return (found = Find(caption, cls)) != nullptr; }, seconds);
    return found;
}

std::string Text(HWND window) {
    char text[512] = {};
    // WM_GETTEXT is marshalled between processes.
    SendMessageTimeoutA(window, WM_GETTEXT, sizeof(text), reinterpret_cast<LPARAM>(text),
                        SMTO_ABORTIFHUNG, 5000, nullptr);
    return text;
}

std::string StaticText(HWND dialog) {
    std::string found;
    EnumChildWindows(
        dialog,
        [](HWND child, LPARAM lp) -> BOOL {
            std::string* out = reinterpret_cast<std::string*>(lp);
            if (ClassOf(child) == "Static") {
                std::string t = Text(child);
                if (!t.empty() && out->empty()) *out = t;
            }
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&found));
    return found;
}

void Click(HWND dialog, int buttonId) {
    HWND button = GetDlgItem(dialog, buttonId);
    RECT r;
    GetClientRect(button, &r);
    LPARAM inside = MAKELPARAM(r.right / 2, r.bottom / 2);
    PostMessageA(button, WM_MOUSEMOVE, 0, inside);
    PostMessageA(button, WM_LBUTTONDOWN, MK_LBUTTON, inside);
    PostMessageA(button, WM_LBUTTONUP, 0, inside);
}

void PressKey(HWND window, UINT vk) {
    UINT scan = MapVirtualKeyA(vk, 0);
    PostMessageA(window, WM_KEYDOWN, vk, 1 | (scan << 16));
    PostMessageA(window, WM_KEYUP, vk, 1 | (scan << 16) | 0xC0000000u);
}

int SliderPos(HWND dialog, int id) {
    return static_cast<int>(SendMessageA(GetDlgItem(dialog, id), TBM_GETPOS, 0, 0));
}
int SliderMin(HWND dialog, int id) {
    return static_cast<int>(SendMessageA(GetDlgItem(dialog, id), TBM_GETRANGEMIN, 0, 0));
}
int SliderMax(HWND dialog, int id) {
    return static_cast<int>(SendMessageA(GetDlgItem(dialog, id), TBM_GETRANGEMAX, 0, 0));
}

void MoveSlider(HWND dialog, int id, int position) {
    HWND slider = GetDlgItem(dialog, id);
    // One step away, then the arrow key that a user presses for the last step.
    int from = position > SliderMin(dialog, id) ? position - 1 : position + 1;
    SendMessageA(slider, TBM_SETPOS, TRUE, from);
    PressKey(slider, from < position ? VK_RIGHT : VK_LEFT);
    WaitUntil([&] { return SliderPos(dialog, id) == position; }, 10);
}

bool Enabled(HWND dialog, int id) { return IsWindowEnabled(GetDlgItem(dialog, id)) != 0; }

void SelectProfile(HWND dialog, int index) {
    HWND list = GetDlgItem(dialog, kProfiles);
    SendMessageA(list, CB_SETCURSEL, index, 0);
    PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(kProfiles, CBN_SELCHANGE),
                 reinterpret_cast<LPARAM>(list));
}

std::vector<std::string> ProfileEntries(HWND dialog) {
    HWND list = GetDlgItem(dialog, kProfiles);
    std::vector<std::string> out;
    int n = static_cast<int>(SendMessageA(list, CB_GETCOUNT, 0, 0));
    for (int i = 0; i < n; ++i) {
        // The wide message: its text crosses processes intact. Names come back as UTF-8.
        wchar_t wide[256] = {};
        SendMessageW(list, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(wide));
        char text[768] = {};
        WideCharToMultiByte(CP_UTF8, 0, wide, -1, text, sizeof(text), nullptr, nullptr);
        out.push_back(text);
    }
    return out;
}

int ProfileSelection(HWND dialog) {
    return static_cast<int>(SendMessageA(GetDlgItem(dialog, kProfiles), CB_GETCURSEL, 0, 0));
}

void Answer(HWND box, int id) {
    PostMessageA(box, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
                 reinterpret_cast<LPARAM>(GetDlgItem(box, id)));
}

void AnswerName(HWND box, const std::string& name) {
    SendMessageA(GetDlgItem(box, kNameEdit), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(name.c_str()));
    Answer(box, IDOK);
}

HWND FocusOf(HWND window) {
    GUITHREADINFO info = {};
    info.cbSize = sizeof(info);
    if (GetGUIThreadInfo(GetWindowThreadProcessId(window, nullptr), &info) && info.hwndFocus)
        return info.hwndFocus;
    return window;
}

void Screenshot(const std::string& path) {
    int w = GetSystemMetrics(SM_CXSCREEN), h = GetSystemMetrics(SM_CYSCREEN);
    HDC screen = GetDC(nullptr);
    HDC mem = CreateCompatibleDC(screen);
    BITMAPINFO bi = {};
    bi.bmiHeader.biSize = sizeof(bi.bmiHeader);
    bi.bmiHeader.biWidth = w;
    bi.bmiHeader.biHeight = h;
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 24;
    void* bits = nullptr;
    HBITMAP bmp = CreateDIBSection(screen, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ old = SelectObject(mem, bmp);
    BitBlt(mem, 0, 0, w, h, screen, 0, 0, SRCCOPY);
    GdiFlush();
    DWORD stride = (w * 3 + 3) & ~3;
    BITMAPFILEHEADER fh = {};
    fh.bfType = 0x4D42;
    fh.bfOffBits = sizeof(fh) + sizeof(bi.bmiHeader);
    fh.bfSize = fh.bfOffBits + stride * h;
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char*>(&fh), sizeof(fh));
    out.write(reinterpret_cast<const char*>(&bi.bmiHeader), sizeof(bi.bmiHeader));
    out.write(static_cast<const char*>(bits), stride * h);
    SelectObject(mem, old);
    DeleteObject(bmp);
    DeleteDC(mem);
    ReleaseDC(nullptr, screen);
}

}  // namespace dlgdrv
