// The Test button's demonstration run, with a stand-in program that records how it
// was started.
#include <gtest/gtest.h>
#include <windows.h>

#include <fstream>
#include <map>
#include <sstream>
#include <string>

#include "demo_run.h"
#include "import_patch.h"

namespace {

std::string OwnDirectory() {
    char path[MAX_PATH];
    GetModuleFileNameA(nullptr, path, sizeof(path));
    *strrchr(path, '\\') = '\0';
    return path;
}

bool Exists(const std::string& path) { return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

// "key=value" lines of the stand-in's ".started" file.
std::map<std::string, std::string> ReadStarted(const std::string& path) {
    std::map<std::string, std::string> fields;
    std::ifstream in(path);
    std::string line;
    while (std::getline(in, line)) {
        size_t eq = line.find('=');
        if (eq != std::string::npos) fields[line.substr(0, eq)] = line.substr(eq + 1);
    }
    return fields;
}

// The end of the program's wait, placed by the test instead of the clock: once the
// stand-in has written its ".started" it runs, however long a busy machine took to
// start it. (Sleep is not the patched function, so polling here is safe.)
std::string g_startedFile;
DWORD WINAPI WaitUntilStarted(HANDLE, DWORD) {
    WIN32_FILE_ATTRIBUTE_DATA data;
    for (DWORD start = GetTickCount(); GetTickCount() - start < 30000; Sleep(10))
        if (GetFileAttributesExA(g_startedFile.c_str(), GetFileExInfoStandard, &data) && data.nFileSizeLow > 0)
            break;
    return WAIT_TIMEOUT;
}

class DemoRunTest : public ::testing::Test {
protected:
    void SetUp() override {
        char temp[MAX_PATH];
        GetTempPathA(sizeof(temp), temp);
        root_ = std::string(temp) + "velotune_demo_run";
        // A blank in the folder name, and a program where an unquoted command line
        // would look first.
        dir_ = root_ + "\\demo dir";
        CreateDirectoryA(root_.c_str(), nullptr);
        CreateDirectoryA(dir_.c_str(), nullptr);
        Clean();
        std::string stub = OwnDirectory() + "\\demo_stub.exe";
        ASSERT_TRUE(CopyFileA(stub.c_str(), (dir_ + "\\Orbview.exe").c_str(), FALSE));
        ASSERT_TRUE(CopyFileA(stub.c_str(), (root_ + "\\demo.exe").c_str(), FALSE));
    }
    void TearDown() override {
        Clean();
        RemoveDirectoryA(dir_.c_str());
        RemoveDirectoryA(root_.c_str());
    }
    void Clean() {
        for (const char* f : {"Orbview.exe", "Orbview.exe.started", "Orbview.exe.life", "Orbview.exe.ended"})
            DeleteFileA((dir_ + "\\" + f).c_str());
        for (const char* f : {"demo.exe", "demo.exe.started", "demo.exe.ended"})
            DeleteFileA((root_ + "\\" + f).c_str());
    }
    void SetLife(int ms) { std::ofstream(dir_ + "\\Orbview.exe.life") << ms; }
    std::string CommandLine() {
        char line[MAX_PATH + 2];
        EXPECT_TRUE(DemoCommandLine((dir_ + "\\tunedeck.exe").c_str(), line, sizeof(line)));
        return line;
    }

    std::string root_, dir_;
};

TEST(DemoCommandLineTest, NamesOrbviewBesideTheProgramInQuotes) {
    char line[MAX_PATH + 2];
    ASSERT_TRUE(DemoCommandLine("C:\\Program Files\\Zyk\\tunedeck.exe", line, sizeof(line)));
    EXPECT_STREQ("\"C:\\Program Files\\Zyk\\Orbview.exe\"", line);
    EXPECT_FALSE(DemoCommandLine("tunedeck.exe", line, sizeof(line)));
    // Exactly fitting, and one byte short.
    std::string dir = "C:\\" + std::string(40, 'd');
    std::string expected = "\"" + dir + "\\Orbview.exe\"";
    char exact[64];
    EXPECT_TRUE(DemoCommandLine((dir + "\\tunedeck.exe").c_str(), exact, expected.size() + 1));
    EXPECT_EQ(expected, exact);
    EXPECT_FALSE(DemoCommandLine((dir + "\\tunedeck.exe").c_str(), exact, expected.size()));
}

TEST_F(DemoRunTest, StartsAtTheOriginWithHalfTheScreen) {
    SetLife(0);
    ASSERT_TRUE(RunDemoProgram(CommandLine().c_str()));
    auto started = ReadStarted(dir_ + "\\Orbview.exe.started");
    EXPECT_EQ(std::to_string(STARTF_USESIZE | STARTF_USEPOSITION), started["flags"]);
    EXPECT_EQ("0", started["x"]);
    EXPECT_EQ("0", started["y"]);
    EXPECT_EQ(std::to_string(GetSystemMetrics(SM_CXSCREEN) / 2), started["width"]);
    EXPECT_EQ(std::to_string(GetSystemMetrics(SM_CYSCREEN) / 2), started["height"]);
    EXPECT_EQ("\"" + dir_ + "\\Orbview.exe\"", started["commandline"]);
    EXPECT_FALSE(Exists(root_ + "\\demo.exe.started")) << "the blank split the command line";
}

TEST_F(DemoRunTest, AProgramThatEndsByItselfIsWaitedFor) {
    SetLife(500);
    ASSERT_TRUE(RunDemoProgram(CommandLine().c_str()));
    EXPECT_TRUE(Exists(dir_ + "\\Orbview.exe.ended"));
}

TEST_F(DemoRunTest, AProgramStillRunningAtTheEndOfTheWaitIsTerminated) {
    // No ".life": the stand-in would run forever.
    g_startedFile = dir_ + "\\Orbview.exe.started";
    {
        ImportPatch wait("kernel32.dll", "WaitForSingleObject", (void*)WaitUntilStarted);
        ASSERT_TRUE(wait.Active());
        ASSERT_TRUE(RunDemoProgram(CommandLine().c_str(), 300));
    }
    auto started = ReadStarted(dir_ + "\\Orbview.exe.started");
    DWORD pid = std::stoul(started["pid"]);
    HANDLE process = OpenProcess(SYNCHRONIZE | PROCESS_QUERY_INFORMATION, FALSE, pid);
    if (process) {
        EXPECT_EQ(WAIT_OBJECT_0, WaitForSingleObject(process, 0)) << "still running";
        DWORD code = STILL_ACTIVE;
        GetExitCodeProcess(process, &code);
        EXPECT_EQ(0u, code);
        CloseHandle(process);
    }
    EXPECT_FALSE(Exists(dir_ + "\\Orbview.exe.ended"));
}

TEST_F(DemoRunTest, AMissingProgramIsNotStarted) {
    DeleteFileA((dir_ + "\\Orbview.exe").c_str());
    EXPECT_FALSE(RunDemoProgram(CommandLine().c_str()));
    EXPECT_FALSE(Exists(root_ + "\\demo.exe.started"));
}

}  // namespace
