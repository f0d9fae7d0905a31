/* Deliberately beyond the floor: GetTickCount64 first came with Windows Vista,
 * CreateHardLinkA with 2000, COMCTL32's _TrackMouseEvent with its version 4.70 (Internet
 * Explorer 3); CancelWaitableTimer is on 98 and NT 4.0, but the export table does not
 * show it on both families. */
#include <windows.h>
#include <commctrl.h>

__declspec(dllimport) ULONGLONG WINAPI GetTickCount64(void);
__declspec(dllimport) BOOL WINAPI CreateHardLinkA(LPCSTR, LPCSTR, LPSECURITY_ATTRIBUTES);
__declspec(dllimport) BOOL WINAPI CancelWaitableTimer(HANDLE);

int main(int argc, char **argv)
{
    if (argc > 2)
        return CreateHardLinkA(argv[1], argv[2], NULL) + CancelWaitableTimer(NULL) +
               _TrackMouseEvent(NULL);
    return (int)(GetTickCount64() & 1);
}
