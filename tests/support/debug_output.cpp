#include "debug_output.h"
#include <windows.h>
#include <mutex>

namespace {
std::mutex guard;
std::vector<std::string> captured;
PVOID handler;

LONG CALLBACK OnException(EXCEPTION_POINTERS* info)
{
    const EXCEPTION_RECORD* record = info->ExceptionRecord;
    if (record->ExceptionCode == DBG_PRINTEXCEPTION_C && record->NumberParameters >= 2) {
        const char* text = reinterpret_cast<const char*>(record->ExceptionInformation[1]);
        std::lock_guard<std::mutex> lock(guard);
        captured.emplace_back(text ? text : "");
    }
    return EXCEPTION_CONTINUE_SEARCH;
}
}  // namespace

DebugOutputCapture::DebugOutputCapture()
{
    Clear();
    handler = AddVectoredExceptionHandler(1, OnException);
}

DebugOutputCapture::~DebugOutputCapture()
{
    RemoveVectoredExceptionHandler(handler);
}

std::vector<std::string> DebugOutputCapture::Lines() const
{
    std::lock_guard<std::mutex> lock(guard);
    return captured;
}

std::vector<std::string> DebugOutputCapture::Texts() const
{
    std::vector<std::string> texts = Lines();
    for (std::string& t : texts)
        if (t.size() >= 2 && t.compare(t.size() - 2, 2, "\r\n") == 0) t.resize(t.size() - 2);
    return texts;
}

void DebugOutputCapture::Clear()
{
    std::lock_guard<std::mutex> lock(guard);
    captured.clear();
}
