#include "gate_copy.h"
#include <gtest/gtest.h>

std::string ProgramDir()
{
    char path[MAX_PATH];
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string dir(path);
    return dir.substr(0, dir.rfind('\\') + 1);
}

std::string ShippedDir()
{
    return ProgramDir() + "..\\dist\\";
}

void* Export(HMODULE module, const char* name)
{
    void* function = reinterpret_cast<void*>(GetProcAddress(module, name));
    EXPECT_NE(nullptr, function) << name;
    return function;
}

// Makes temp\<name>\ and its parents; returns it with a trailing backslash.
std::string TempFolder(const std::string& name)
{
    char temp[MAX_PATH];
    GetTempPathA(MAX_PATH, temp);
    std::string path = std::string(temp) + name + "\\";
    for (size_t at = path.find('\\', 3); at != std::string::npos; at = path.find('\\', at + 1))
        CreateDirectoryA(path.substr(0, at).c_str(), nullptr);
    return path;
}

DllCopy::DllCopy(const std::string& source, const std::string& dir, const std::string& stem)
{
    static int serial;
    dll = dir + stem + "_" + std::to_string(GetCurrentProcessId()) + "_" +
          std::to_string(++serial) + ".dll";
    EXPECT_TRUE(CopyFileA(source.c_str(), dll.c_str(), FALSE)) << source;
    // Its own imports (busprobe's of portgate.dll) are looked up beside it first.
    module = LoadLibraryExA(dll.c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
    EXPECT_NE(nullptr, module) << dll;
}

DllCopy::~DllCopy()
{
    if (module) FreeLibrary(module);
    DeleteFileA(dll.c_str());
}

GateCopy::GateCopy(const std::string& dirName, const std::string& driverFile)
    : DllCopy(ShippedDir() + "portgate.dll", TempFolder(dirName), "portgate"),
      dir(dll.substr(0, dll.rfind('\\') + 1))
{
    std::string driver = dir + "GenPort1.sys";
    DeleteFileA(driver.c_str());
    if (driverFile != "-") {
        std::string source = driverFile.empty() ? ShippedDir() + "GenPort1.sys" : driverFile;
        EXPECT_TRUE(CopyFileA(source.c_str(), driver.c_str(), FALSE)) << source;
    }
    Bind(module, "zykInitialDriver", zykInitialDriver);
    Bind(module, "zykCloseDriver", zykCloseDriver);
    Bind(module, "winp", winp);
    Bind(module, "winpw", winpw);
    Bind(module, "winpd", winpd);
    Bind(module, "woutp", woutp);
    Bind(module, "woutpw", woutpw);
    Bind(module, "woutpd", woutpd);
    Bind(module, "zykLostAccesses", zykLostAccesses);
    Bind(module, "zykDriverRefusal", zykDriverRefusal);
}
