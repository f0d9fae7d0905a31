// A stand-in for Orbview.exe in tests of the Test button. It writes what it was
// started with to "<own name>.started" beside itself, then lives for the number of
// milliseconds in "<own name>.life" (forever when that file is missing), writes
// "<own name>.ended" and ends with code 7. A forced end therefore leaves no ".ended".
#include <windows.h>

#include <stdio.h>
#include <stdlib.h>
#include <string.h>

static void SidePath(const char* suffix, char* out, size_t size) {
    char self[MAX_PATH];
    GetModuleFileNameA(nullptr, self, sizeof(self));
    snprintf(out, size, "%s%s", self, suffix);
}

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    STARTUPINFOA si;
    GetStartupInfoA(&si);
    char path[MAX_PATH + 16];
    SidePath(".started", path, sizeof(path));
    if (FILE* f = fopen(path, "w")) {
        fprintf(f, "pid=%lu\nflags=%lu\nx=%lu\ny=%lu\nwidth=%lu\nheight=%lu\ncommandline=%s\n",
                GetCurrentProcessId(), si.dwFlags, si.dwX, si.dwY, si.dwXSize, si.dwYSize,
                GetCommandLineA());
        fclose(f);
    }
    DWORD life = INFINITE;
    SidePath(".life", path, sizeof(path));
    if (FILE* f = fopen(path, "r")) {
        unsigned long ms = 0;
        if (fscanf(f, "%lu", &ms) == 1) life = ms;
        fclose(f);
    }
    Sleep(life);
    SidePath(".ended", path, sizeof(path));
    if (FILE* f = fopen(path, "w")) fclose(f);
    return 7;
}
