#include "gate_copy.h"
#include <gtest/gtest.h>

std::string ProgramDir()
{
    char path[MAX_PATH];
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string dir(path);
    return dir.substr(0, dir.rfind('\\') + 1);
}

void* Export(HMODULE module, const char* name)
{
    void* function = reinterpret_cast<void*>(GetProcAddress(module, name));
    EXPECT_NE(nullptr, function) << name;
    return function;
}

namespace {

void MakeDirs(const std::string& path)
{
    for (size_t at = path.find('\\', 3); at != std::string::npos; at = path.find('\\', at + 1))
        CreateDirectoryA(path.substr(0, at).c_str(), nullptr);
}
}  // namespace

GateCopy::GateCopy(const std::string& dirName, const std::string& driverFile)
{
    static int serial;
    char temp[MAX_PATH];
    GetTempPathA(MAX_PATH, temp);
    dir = std::string(temp) + dirName + "\\";
    MakeDirs(dir);
    // A new file name each time: a module already loaded under the same name would be
    // handed back with its state.
    dll = dir + "portgate_" + std::to_string(GetCurrentProcessId()) + "_" +
          std::to_string(++serial) + ".dll";
    EXPECT_TRUE(CopyFileA((ProgramDir() + "portgate.dll").c_str(), dll.c_str(), FALSE));
    std::string driver = dir + "GenPort1.sys";
    DeleteFileA(driver.c_str());
    if (driverFile != "-") {
        std::string source = driverFile.empty() ? ProgramDir() + "GenPort1.sys" : driverFile;
        EXPECT_TRUE(CopyFileA(source.c_str(), driver.c_str(), FALSE)) << source;
    }
    module = LoadLibraryA(dll.c_str());
    EXPECT_NE(nullptr, module) << dll;
    Bind(module, "zykInitialDriver", zykInitialDriver);
    Bind(module, "zykCloseDriver", zykCloseDriver);
    Bind(module, "winp", winp);
    Bind(module, "winpw", winpw);
    Bind(module, "winpd", winpd);
    Bind(module, "woutp", woutp);
    Bind(module, "woutpw", woutpw);
    Bind(module, "woutpd", woutpd);
}

GateCopy::~GateCopy()
{
    if (module) FreeLibrary(module);
    DeleteFileA(dll.c_str());
}
