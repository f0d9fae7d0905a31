// Long run of the resident program (bench/longrun.sh runs it).
//   longrun [openings] [tests] [profiles]     (defaults 500, 100, 1000)
// Drives one tunedeck.exe, started from a private copy of the shipped folder with a
// short stand-in for Orbview.exe, through dialog openings and closings, Test runs
// answered No, and profile saves each followed by its delete; at every 100th step
// (and at the start) prints what the process holds:
//   gdi      live entries of the process's GDI handle table, read from outside with
//            ReadProcessMemory (the table the PEB points at; Wine keeps one per
//            process, and GetGuiResources answers 0 there)
//   windows  windows of the process (top-level ones and all their descendants), the
//            USER objects the program makes; menus, icons and cursors cannot be
//            enumerated from outside and are not counted
//   handles  the process's entries in the system handle list
//            (NtQuerySystemInformation SystemHandleInformation; GetProcessHandleCount
//            answers 0 for another process under Wine)
//   private  committed private memory: the sum of the process's committed regions of
//            type MEM_PRIVATE, walked with VirtualQueryEx (GetProcessMemoryInfo
//            answers 0 for another process under Wine), in KB
#include <windows.h>
#include <winternl.h>

#include <cstdio>
#include <cstdlib>
#include <functional>
#include <vector>

#include "dialog_driver.h"
#include "registry_helpers.h"
#include "simscenario.h"

namespace {

const char* kTitle = "Zyk Velotune V1.0a";

struct GdiTableEntry {  // one slot of the GDI handle table (Wine's layout on both widths)
    UINT64 object;
    USHORT processId;
    USHORT count;
    ULONG type;
    UINT64 user;
};

int CountGdi(HANDLE process, DWORD pid) {
    PROCESS_BASIC_INFORMATION info;
    if (NtQueryInformationProcess(process, ProcessBasicInformation, &info, sizeof info, nullptr) != 0) return -1;
#ifdef _WIN64
    const size_t tableOffset = 0xF8;  // PEB.GdiSharedHandleTable
#else
    const size_t tableOffset = 0x94;
#endif
    UINT_PTR table = 0;
    SIZE_T got = 0;
    if (!ReadProcessMemory(process, (BYTE*)info.PebBaseAddress + tableOffset, &table, sizeof table, &got) ||
        !table)
        return -1;
    std::vector<GdiTableEntry> entries(65536);
    // The table may be shorter than 65536 slots: read what is there, page by page.
    size_t n = 0;
    const size_t perPage = 4096 / sizeof(GdiTableEntry);
    for (; n + perPage <= entries.size(); n += perPage)
        if (!ReadProcessMemory(process, (BYTE*)(UINT_PTR)table + n * sizeof(GdiTableEntry), &entries[n],
                               perPage * sizeof(GdiTableEntry), &got))
            break;
    int live = 0;
    for (size_t i = 0; i < n; ++i)
        if (entries[i].object && (entries[i].processId == 0 || entries[i].processId == (USHORT)pid)) ++live;
    return live;
}

struct WindowCount {
    DWORD pid;
    int count;
};

BOOL CALLBACK CountChild(HWND, LPARAM p) {
    ++((WindowCount*)p)->count;
    return TRUE;
}

BOOL CALLBACK CountTopLevel(HWND w, LPARAM p) {
    WindowCount* c = (WindowCount*)p;
    DWORD owner = 0;
    GetWindowThreadProcessId(w, &owner);
    if (owner != c->pid) return TRUE;
    ++c->count;
    EnumChildWindows(w, CountChild, p);
    return TRUE;
}

// Windows as USER objects: the process's top-level windows and their children.
int CountWindows(DWORD pid) {
    WindowCount count = {pid, 0};
    EnumWindows(CountTopLevel, (LPARAM)&count);
    return count.count;
}

struct HandleEntry {  // SYSTEM_HANDLE_TABLE_ENTRY_INFO
    ULONG ownerPid;
    BYTE objectType;
    BYTE flags;
    USHORT value;
    PVOID object;
    ACCESS_MASK access;
};

long CountHandles(DWORD pid) {
    std::vector<BYTE> buffer(1 << 20);
    for (;;) {
        ULONG needed = 0;
        NTSTATUS status = NtQuerySystemInformation((SYSTEM_INFORMATION_CLASS)16, buffer.data(),
                                                   (ULONG)buffer.size(), &needed);
        if (status == 0) break;
        if (status != (NTSTATUS)0xC0000004L || buffer.size() > (64u << 20)) return -1;  // length mismatch
        buffer.resize(buffer.size() * 2);
    }
    const ULONG count = *(ULONG*)buffer.data();
    const HandleEntry* e = (const HandleEntry*)(buffer.data() + sizeof(ULONG_PTR));
    long mine = 0;
    for (ULONG i = 0; i < count; ++i)
        if (e[i].ownerPid == pid) ++mine;
    return mine;
}

unsigned long PrivateKb(HANDLE process) {
    unsigned long long bytes = 0;
    MEMORY_BASIC_INFORMATION mbi;
    for (BYTE* at = nullptr; VirtualQueryEx(process, at, &mbi, sizeof mbi) == sizeof mbi;
         at = (BYTE*)mbi.BaseAddress + mbi.RegionSize) {
        if (mbi.State == MEM_COMMIT && mbi.Type == MEM_PRIVATE) bytes += mbi.RegionSize;
        if ((BYTE*)mbi.BaseAddress + mbi.RegionSize <= at) break;
    }
    return (unsigned long)(bytes / 1024);
}

void Report(const char* phase, int step, const dlgdrv::Program& program) {
    printf("%-9s %5d   gdi %5d   windows %4d   handles %5ld   private %7lu KB\n", phase, step,
           CountGdi(program.Process(), program.Pid()), CountWindows(program.Pid()), CountHandles(program.Pid()),
           PrivateKb(program.Process()));
    fflush(stdout);
}

[[noreturn]] void Fail(const char* what, int step) {
    printf("FAILED: %s at step %d\n", what, step);
    exit(1);
}

HWND WaitDialog(const dlgdrv::Program& program) {
    HWND dialog = nullptr;
    dlgdrv::WaitUntil([&] { return (dialog = program.Find(kTitle, "#32770")) != nullptr; }, 60);
    return dialog;
}

}  // namespace

int main(int argc, char** argv) {
    const int openings = argc > 1 ? atoi(argv[1]) : 500;
    const int tests = argc > 2 ? atoi(argv[2]) : 100;
    const int profiles = argc > 3 ? atoi(argv[3]) : 1000;
    sim::DefaultScenario();
    regtest::DeleteZykTree();
    dlgdrv::Folder folder("longrun");
    folder.Put(dlgdrv::BinDirectory() + "\\demo_stub.exe", "Orbview.exe");
    folder.Write("Orbview.exe.life", "100");

    dlgdrv::Program program(folder);
    HWND dialog = WaitDialog(program);
    if (!dialog) Fail("no dialog", 0);
    Report("start", 0, program);
    const DWORD t0 = GetTickCount();

    for (int i = 1; i <= openings; ++i) {
        dlgdrv::PressButton(dialog, IDCANCEL);
        if (!dlgdrv::WaitUntil([&] { return !IsWindow(dialog); }, 30)) Fail("dialog stays", i);
        program.Command(ID_OPTION);
        if (!(dialog = WaitDialog(program))) Fail("no dialog", i);
        if (i % 100 == 0) Report("openings", i, program);
    }
    for (int i = 1; i <= tests; ++i) {
        dlgdrv::MoveSlider(dialog, dlgdrv::kSliderEngine, i % 2 ? 380 : 340);
        dlgdrv::Click(dialog, dlgdrv::kTest);
        HWND question = program.WaitFor("Confirmation", "#32770", 30);
        if (!question) Fail("no question", i);
        dlgdrv::PressButton(question, IDCANCEL);
        if (!dlgdrv::WaitUntil([&] { return !IsWindow(question) && !dlgdrv::Enabled(dialog, dlgdrv::kTest); }, 30))
            Fail("question stays", i);
        if (i % 100 == 0) Report("tests", i, program);
    }
    for (int i = 1; i <= profiles; ++i) {
        dlgdrv::Click(dialog, dlgdrv::kSaveAs);
        HWND box = program.WaitFor("Profile", "#32770", 30);
        if (!box) Fail("no name box", i);
        dlgdrv::AnswerName(box, "run " + std::to_string(i));
        if (!dlgdrv::WaitUntil([&] { return !IsWindow(box) && dlgdrv::Enabled(dialog, dlgdrv::kDelete); }, 30))
            Fail("not saved", i);
        dlgdrv::Click(dialog, dlgdrv::kDelete);
        HWND ask = program.WaitFor("Confirmation", "#32770", 30);
        if (!ask) Fail("no delete question", i);
        dlgdrv::PressButton(ask, IDOK);
        if (!dlgdrv::WaitUntil([&] { return !IsWindow(ask) && !dlgdrv::Enabled(dialog, dlgdrv::kDelete); }, 30))
            Fail("not deleted", i);
        if (i % 100 == 0) Report("profiles", i, program);
    }
    printf("%d openings, %d Test runs, %d profile saves and deletes in %.0f s; %zu profiles left\n", openings, tests,
           profiles, (GetTickCount() - t0) / 1000.0, regtest::Subkeys("SOFTWARE\\ZYK\\ZYK_OC\\customer").size());
    program.Close();
    regtest::DeleteZykTree();
    return 0;
}
