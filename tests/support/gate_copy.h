// Private copies of the libraries, loaded by path, so that each test starts from a
// library's initial state.
#pragma once
#include <windows.h>
#include <string>

// A library copied into `dir` under a name of its own (a module already loaded under
// the same name would be handed back with its state), loaded from there, and unloaded
// and deleted again.
struct DllCopy {
    DllCopy(const std::string& source, const std::string& dir, const std::string& stem);
    ~DllCopy();
    DllCopy(const DllCopy&) = delete;
    DllCopy& operator=(const DllCopy&) = delete;

    std::string dll;   // full path of the copy
    HMODULE module = nullptr;
};

// portgate.dll in a folder of its own under the temp folder, with the driver file (or
// a stand-in) beside it.
struct GateCopy : DllCopy {
    // driverFile: the file to place as GenPort1.sys (empty: the simulated driver of the
    // folder under test; "-": none).
    explicit GateCopy(const std::string& dirName, const std::string& driverFile = "");

    std::string dir;   // with trailing backslash

    int (*zykInitialDriver)();
    int (*zykCloseDriver)();
    int (*winp)(unsigned short);
    unsigned short (*winpw)(unsigned short);
    unsigned long (*winpd)(unsigned short);
    int (*woutp)(unsigned short, int);
    unsigned short (*woutpw)(unsigned short, unsigned short);
    unsigned long (*woutpd)(unsigned short, unsigned long);
    unsigned long (*zykLostAccesses)();
    int (*zykDriverRefusal)();
};

// Folder of the running test program (build/bin), with trailing backslash.
std::string ProgramDir();
// The folder under test (build/dist): the shipped libraries with the simulated driver.
std::string ShippedDir();
// temp\<name>\, made with its parents if missing, with trailing backslash.
std::string TempFolder(const std::string& name);

// Looks up an export of a loaded copy; a missing export fails the test.
void* Export(HMODULE module, const char* name);
template <typename F>
void Bind(HMODULE module, const char* name, F*& function)
{
    function = reinterpret_cast<F*>(Export(module, name));
}
