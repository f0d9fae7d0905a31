// Records every tray request the code under test sends (through the test program's
// import table) and answers it without bothering the real shell.
#pragma once
#include <windows.h>
#include <shellapi.h>
#include <string>
#include <vector>

#include "import_hook.h"

struct TrayRequest {
    DWORD message;   // NIM_ADD, NIM_MODIFY, NIM_DELETE
    DWORD size;      // cbSize of the record
    HWND window;
    UINT id;
    UINT flags;
    UINT callback;
    HICON icon;
    std::string tip;
};

// 'again' is an add request with the whole record of 'first' (a re-sent or retried add).
void ExpectTheSameAdd(const TrayRequest& first, const TrayRequest& again);

class TrayRecorder {
public:
    TrayRecorder();
    ~TrayRecorder();

    // What the shell answers from now on.
    void Answer(BOOL answer) { s_answer = answer; }
    // The platform version the code under test reads (GetVersion's value).
    void ReportVersion(DWORD version);

    const std::vector<TrayRequest>& Requests() const { return s_requests; }
    void Clear() { s_requests.clear(); }
    // The icons sent with NIM_MODIFY requests that change the icon, in order.
    std::vector<HICON> ModifiedIcons() const;

private:
    static BOOL WINAPI Record(DWORD message, PNOTIFYICONDATAA data);
    static DWORD WINAPI Version();

    static std::vector<TrayRequest> s_requests;
    static BOOL s_answer;
    static DWORD s_version;
    ScopedImport m_notify;
    ScopedImport m_version;
};
