/* Deliberately beyond the floor: GetTickCount64 first came with Windows Vista. */
#include <windows.h>

__declspec(dllimport) ULONGLONG WINAPI GetTickCount64(void);

int main(void)
{
    return (int)(GetTickCount64() & 1);
}
