#include "dialog_driver.h"

#include <commctrl.h>

#include <fstream>
#include <sstream>

#include "road.h"

namespace dlgdrv {

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

e2e::StartOptions InFolder(const Folder& folder) {
    e2e::StartOptions options;
    options.directory = folder.path;
    options.currentDirectory = folder.path;
    return options;
}

}  // namespace

Folder::Folder(const std::string& name) {
    char temp[MAX_PATH];
    GetTempPathA(sizeof(temp), temp);
    std::string root = std::string(temp) + "velotune_e2e";
    CreateDirectoryA(root.c_str(), nullptr);
    path = root + "\\" + name;
    DeleteTree(path);
    CopyTree(e2e::DistDirectory(), path);
    // The 95 family uses no driver: without its file, a program that took the driver
    // road anyway would find no card.
    if (e2e::DirectRoad()) Remove("GenPort1.sys");
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

Program::Program(const Folder& folder) : e2e::Program(InFolder(folder)) {}

Program::~Program() {
    if (Running()) Close();  // e2e::Program's destructor kills it if it stays
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
    WaitUntil([&] { return SliderPos(dialog, id) == position; });
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
        out.push_back(e2e::Utf8(wide));
    }
    return out;
}

int ProfileSelection(HWND dialog) {
    return static_cast<int>(SendMessageA(GetDlgItem(dialog, kProfiles), CB_GETCURSEL, 0, 0));
}

void AnswerName(HWND box, const std::string& name) {
    SendMessageA(GetDlgItem(box, kNameEdit), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(name.c_str()));
    PressButton(box, IDOK);
}

}  // namespace dlgdrv
