// Installing, starting, stopping and deleting the GenPort1 kernel driver service.
#include <stdio.h>
#include <string.h>
#include "gate.h"
#include "portgate.h"
#include "trace.h"

// While another program holds a handle to a deleted service, the name stays taken.
#define MARKED_WAIT_STEP_MS 100
#define MARKED_WAIT_STEPS 50

// A call the service manager refused for want of rights: said in the trace, and
// remembered for the program, which tells the user itself.
static int Denied(const char* call, DWORD error)
{
    if (error != ERROR_ACCESS_DENIED) return 0;
    TraceMessage("AccessDenied=<%s>", call);
    g_refusal = ZYK_REFUSED_RIGHTS;
    return 1;
}

static SC_HANDLE CreateDriverService(SC_HANDLE manager, const char* name, const char* driverPath)
{
    int step;
    for (step = 0;; step++) {
        SC_HANDLE service = CreateServiceA(manager, name, name, SERVICE_ALL_ACCESS,
                                           SERVICE_KERNEL_DRIVER, SERVICE_DEMAND_START,
                                           SERVICE_ERROR_NORMAL, driverPath,
                                           NULL, NULL, NULL, NULL, NULL);
        DWORD error = GetLastError();
        if (service || error != ERROR_SERVICE_MARKED_FOR_DELETE || step == MARKED_WAIT_STEPS) {
            SetLastError(error);
            return service;
        }
        if (step == 0) TraceMessage("CreateService_MarkedForDelete");
        Sleep(MARKED_WAIT_STEP_MS);
    }
}

typedef BOOL(WINAPI* QueryServiceConfigFn)(SC_HANDLE, LPQUERY_SERVICE_CONFIGA, DWORD, LPDWORD);

// Looked up when needed, never imported: whether the 95 family's advapi32 exports it
// at all is unknown, and one missing import keeps the whole library from loading.
static QueryServiceConfigFn QueryServiceConfigFunction(void)
{
    HMODULE advapi = GetModuleHandleA("advapi32.dll");
    return advapi ? (QueryServiceConfigFn)GetProcAddress(advapi, "QueryServiceConfigA") : NULL;
}

// The registered binary path, without the "\??\" the system may put before it. A
// service whose path cannot be read counts as someone else's.
static int ImagePathIs(SC_HANDLE service, const char* driverPath)
{
    static union {
        QUERY_SERVICE_CONFIGA config;
        char bytes[8192];  // the largest record the service manager gives
    } answer;
    DWORD needed;
    QueryServiceConfigFn query = QueryServiceConfigFunction();
    if (!query || !query(service, &answer.config, sizeof answer, &needed) ||
        !answer.config.lpBinaryPathName)
        return 0;
    const char* image = answer.config.lpBinaryPathName;
    if (strncmp(image, "\\??\\", 4) == 0) image += 4;
    if (lstrcmpiA(image, driverPath) == 0) return 1;
    TraceMessage("ForeignService=<%s>", answer.config.lpBinaryPathName);
    return 0;
}

int InstallAndStartService(const char* name, const char* driverPath)
{
    TraceMessage("OpenSCManager");
    SC_HANDLE manager = OpenSCManagerA(NULL, NULL, SC_MANAGER_ALL_ACCESS);
    if (!manager) {
        DWORD error = GetLastError();  // before the trace, which may change it
        TraceMessage("Open SCManager Error !");
        Denied("OpenSCManager", error);
        return 0;
    }

    TraceMessage("CreateService");
    SC_HANDLE service = CreateDriverService(manager, name, driverPath);
    if (!service) {
        DWORD error = GetLastError();
        if (error != ERROR_SERVICE_EXISTS) {
            if (!Denied("CreateService", error)) GateMessageBox("failure: CreateService", "");
            CloseServiceHandle(manager);
            return 0;
        }
        // Still there after the removal: started only when it runs our own file.
        TraceMessage("OpenService");
        service = OpenServiceA(manager, name, SERVICE_ALL_ACCESS);
        if (!service || !ImagePathIs(service, driverPath)) {
            if (service) CloseServiceHandle(service);
            CloseServiceHandle(manager);
            return 0;
        }
    }

    TraceMessage("StartService");
    if (!StartServiceA(service, 0, NULL)) {
        DWORD error = GetLastError();
        if (error != ERROR_SERVICE_ALREADY_RUNNING) {
            if (!Denied("StartService", error)) {
                char text[256];
                snprintf(text, sizeof text, "failure: StartService func. ErrCode=%luL\n",
                         (unsigned long)error);
                GateMessageBox(text, NULL);
            }
            CloseServiceHandle(service);
            CloseServiceHandle(manager);
            return 0;
        }
    }

    CloseServiceHandle(service);
    CloseServiceHandle(manager);
    return 1;
}

int StopAndDeleteService(const char* name)
{
    SC_HANDLE manager = OpenSCManagerA(NULL, NULL, SC_MANAGER_ALL_ACCESS);
    if (!manager) return 0;
    SC_HANDLE service = OpenServiceA(manager, name, SERVICE_ALL_ACCESS);
    if (!service) {
        CloseServiceHandle(manager);
        return 0;
    }
    SERVICE_STATUS status;
    // A service that is registered but stopped goes as a running one does; one that
    // will not stop stays, since its device may still be in use.
    if (!ControlService(service, SERVICE_CONTROL_STOP, &status) &&
        GetLastError() != ERROR_SERVICE_NOT_ACTIVE) {
        CloseServiceHandle(service);
        CloseServiceHandle(manager);
        return 0;
    }
    BOOL deleted = DeleteService(service);
    CloseServiceHandle(service);
    CloseServiceHandle(manager);
    return deleted ? 1 : 0;
}
