#include "session_end.h"

namespace {

SessionEndAction g_action = nullptr;
void* g_context = nullptr;

// Taken away before it runs: a message sent while it runs (the driver's start waits
// on other processes) must not start it again.
void RunAction() {
    SessionEndAction action = g_action;
    void* context = g_context;
    g_action = nullptr;
    g_context = nullptr;
    if (action) action(context);
}

}  // namespace

void SetSessionEndAction(SessionEndAction action, void* context) {
    g_action = action;
    g_context = context;
}

void ClearSessionEndAction(void* context) {
    if (g_context != context) return;
    g_action = nullptr;
    g_context = nullptr;
}

bool AnswerSessionMessage(UINT message, WPARAM wParam, LPARAM, LRESULT* result) {
    switch (message) {
    case WM_QUERYENDSESSION:
        *result = TRUE;  // never hold up a log-off
        return true;
    case WM_ENDSESSION:
        if (wParam) RunAction();
        *result = 0;
        return true;
    case WM_POWERBROADCAST:
        if (wParam == PBT_APMQUERYSUSPEND) {
            *result = TRUE;
            return true;
        }
        if (wParam == PBT_APMSUSPEND) {
            RunAction();
            *result = TRUE;
            return true;
        }
        return false;
    default:
        return false;
    }
}
