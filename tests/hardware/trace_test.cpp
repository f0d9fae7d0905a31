// The libraries' trace helper: to the viewer window when one runs, else to the
// debugger output; "\r\n" appended; long lines cut to the buffer.
#include <gtest/gtest.h>
#include <windows.h>
#include <fstream>
#include <sstream>
#include <string>
#include "debug_output.h"
#include "trace.h"

namespace {

std::string ReadFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::stringstream all;
    all << in.rdbuf();
    return all.str();
}

// A running traceview.exe writing what it receives to a file.
class Viewer {
public:
    explicit Viewer(const std::string& file) : file_(file)
    {
        DeleteFileA(file.c_str());
        std::string command = "traceview.exe \"" + file + "\"";
        STARTUPINFOA si = {sizeof si};
        EXPECT_TRUE(CreateProcessA(nullptr, &command[0], nullptr, nullptr, FALSE, 0, nullptr,
                                   nullptr, &si, &pi_));
        for (int i = 0; i < 500 && !FindWindowA(TRACE_WINDOW_CLASS, nullptr); i++) Sleep(10);
        EXPECT_NE(nullptr, FindWindowA(TRACE_WINDOW_CLASS, nullptr)) << "no trace window within 5 s";
    }
    ~Viewer()
    {
        HWND window = FindWindowA(TRACE_WINDOW_CLASS, nullptr);
        if (window) PostMessageA(window, WM_CLOSE, 0, 0);
        WaitForSingleObject(pi_.hProcess, 5000);
        CloseHandle(pi_.hThread);
        CloseHandle(pi_.hProcess);
    }
    std::string Received() const { return ReadFile(file_); }

private:
    std::string file_;
    PROCESS_INFORMATION pi_ = {};
};

}  // namespace

TEST(Trace, WithoutViewerLinesGoToTheDebuggerOutput)
{
    ASSERT_EQ(nullptr, FindWindowA(TRACE_WINDOW_CLASS, nullptr));
    DebugOutputCapture debug;
    EXPECT_EQ(1, TraceMessage("Address=<0X%X>", 0xD000));
    EXPECT_EQ(1, TraceMessage("\n----------"));
    EXPECT_EQ((std::vector<std::string>{"Address=<0XD000>\r\n", "\n----------\r\n"}), debug.Lines());
}

TEST(Trace, LongLineIsCutAndStillEndsTheLine)
{
    DebugOutputCapture debug;
    std::string longText(1000, 'a');
    TraceMessage("%s", longText.c_str());
    ASSERT_EQ(1u, debug.Lines().size());
    // 500 bytes in all: 497 characters, "\r\n" and the terminating NUL.
    EXPECT_EQ(std::string(497, 'a') + "\r\n", debug.Lines()[0]);

    debug.Clear();
    TraceMessage("%s", std::string(497, 'b').c_str());
    EXPECT_EQ(std::string(497, 'b') + "\r\n", debug.Lines()[0]);
}

TEST(Trace, ViewerReceivesEachLineWithItsLineBreakAndNoTerminator)
{
    char temp[MAX_PATH];
    GetTempPathA(MAX_PATH, temp);
    Viewer viewer(std::string(temp) + "velotune-trace.txt");
    ASSERT_NE(nullptr, FindWindowA(TRACE_WINDOW_CLASS, nullptr));

    DebugOutputCapture debug;
    TraceMessage("zykInitialDriver");
    TraceMessage("ATI_Division=<0X%X><%d>", 12, 12);
    TraceMessage("%s", std::string(600, 'x').c_str());
    // The viewer writes the bytes of each message as counted: a NUL in the count
    // would show up in the file.
    EXPECT_EQ("zykInitialDriver\r\nATI_Division=<0XC><12>\r\n" + std::string(497, 'x') + "\r\n",
              viewer.Received());
    EXPECT_TRUE(debug.Lines().empty());
}
