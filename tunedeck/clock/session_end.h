// Log-off, shut-down and suspend. The system sends their messages to every top-level
// window of the program, in an order of its choosing, and may end the process (or
// stop the machine) as soon as the handler returns. Each top-level window therefore
// hands them to AnswerSessionMessage, and the first one that gets a session end or a
// suspend runs the action registered for it, before its handler returns. The action
// runs once; later messages of the same ending find nothing left to do.
#pragma once
#include <windows.h>

typedef void (*SessionEndAction)(void* context);

// One action at a time (the open keep question's revert); a new one replaces it.
void SetSessionEndAction(SessionEndAction action, void* context);
// Takes the action away again if it is still the one registered with 'context'.
void ClearSessionEndAction(void* context);

// For a top-level window's procedure: true when 'message' is one of the session or
// power messages answered here, its answer in *result. A query (WM_QUERYENDSESSION,
// PBT_APMQUERYSUSPEND) is always granted and changes nothing; WM_ENDSESSION with TRUE
// and PBT_APMSUSPEND run the action; WM_ENDSESSION with FALSE (the ending was called
// off) changes nothing.
bool AnswerSessionMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result);
