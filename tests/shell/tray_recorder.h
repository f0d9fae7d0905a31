// Records every tray request the code under test sends (through the test program's
// import table) and answers it without bothering the real shell.
#pragma once
#include <windows.h>
#include <shellapi.h>
#include <string>
#include <utility>
#include <vector>

#include "import_patch.h"

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

    // What the shell answers from now on (leaves the tray model).
    void Answer(BOOL answer) { s_answer = answer; s_model = false; }
    // From now on the answers come from a tray that holds icons, as the real shell
    // answers: an add is refused while the icon is there, a modify or a delete while
    // it is not. The tray starts empty.
    void ModelTheTray() { s_model = true; s_held.clear(); s_timeOutNextAdd = false; }
    // The next add puts the icon in but answers failure (a request that timed out on
    // a busy log-on).
    void TimeOutNextAdd() { s_timeOutNextAdd = true; }
    // The tray loses every icon (Explorer restarted).
    void EmptyTheTray() { s_held.clear(); }
    // The modelled tray holds this window's icon.
    bool Holds(HWND window, UINT id) const;
    // Requests of one kind so far.
    size_t Count(DWORD message) const;
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
    static bool s_model;
    static bool s_timeOutNextAdd;
    static std::vector<std::pair<HWND, UINT>> s_held;
    ImportPatch m_notify;
    ImportPatch m_version;
};
