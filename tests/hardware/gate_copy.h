// A private copy of portgate.dll, loaded by path, so that each test starts from the
// library's initial state; the driver file (or a stand-in) is copied beside it.
#pragma once
#include <windows.h>
#include <string>

struct GateCopy {
    // dir is created under the temp folder; driverFile: the file to place as
    // GenPort1.sys (empty: the built driver; "-": none).
    explicit GateCopy(const std::string& dirName, const std::string& driverFile = "");
    ~GateCopy();

    std::string dir;   // with trailing backslash
    std::string dll;   // full path of the copy
    HMODULE module = nullptr;

    int (*zykInitialDriver)();
    int (*zykCloseDriver)();
    int (*winp)(unsigned short);
    unsigned short (*winpw)(unsigned short);
    unsigned long (*winpd)(unsigned short);
    int (*woutp)(unsigned short, int);
    unsigned short (*woutpw)(unsigned short, unsigned short);
    unsigned long (*woutpd)(unsigned short, unsigned long);
};

// Folder of the running test program (build/bin), with trailing backslash.
std::string ProgramDir();

// Looks up an export of a loaded copy; a missing export fails the test.
void* Export(HMODULE module, const char* name);
template <typename F>
void Bind(HMODULE module, const char* name, F*& function)
{
    function = reinterpret_cast<F*>(Export(module, name));
}
