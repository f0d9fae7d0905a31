// Installing, starting, stopping and deleting the GenPort1 kernel driver service.
#include <stdio.h>
#include "gate.h"
#include "trace.h"

#define SCM_ACCESS 0xF003F      // SC_MANAGER_ALL_ACCESS
#define SERVICE_ACCESS 0xF01FF  // SERVICE_ALL_ACCESS

int InstallAndStartService(const char* name, const char* driverPath)
{
    TraceMessage("OpenSCManager");
    SC_HANDLE manager = OpenSCManagerA(NULL, NULL, SCM_ACCESS);
    if (!manager) {
        TraceMessage("Open SCManager Error !");
        return 0;
    }

    TraceMessage("CreateService");
    SC_HANDLE service = CreateServiceA(manager, name, name, SERVICE_ACCESS,
                                       SERVICE_KERNEL_DRIVER, SERVICE_DEMAND_START,
                                       SERVICE_ERROR_NORMAL, driverPath,
                                       NULL, NULL, NULL, NULL, NULL);
    if (!service) {
        if (GetLastError() != ERROR_SERVICE_EXISTS) {
            MessageBoxA(NULL, "failure: CreateService", "", MB_OK);
            CloseServiceHandle(manager);
            return 0;
        }
        TraceMessage("OpenService");
        service = OpenServiceA(manager, name, SERVICE_ACCESS);
        if (!service) {
            CloseServiceHandle(manager);
            return 0;
        }
    }

    TraceMessage("StartService");
    if (!StartServiceA(service, 0, NULL)) {
        DWORD error = GetLastError();
        if (error != ERROR_SERVICE_ALREADY_RUNNING) {
            char text[256];
            snprintf(text, sizeof text, "failure: StartService func. ErrCode=%luL\n",
                     (unsigned long)error);
            MessageBoxA(NULL, text, NULL, MB_OK);
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
    SC_HANDLE manager = OpenSCManagerA(NULL, NULL, SCM_ACCESS);
    if (!manager) return 0;
    SC_HANDLE service = OpenServiceA(manager, name, SERVICE_ACCESS);
    if (!service) {
        CloseServiceHandle(manager);
        return 0;
    }
    SERVICE_STATUS status;
    // A registered service that is not running stays registered: the stop fails.
    if (!ControlService(service, SERVICE_CONTROL_STOP, &status)) {
        CloseServiceHandle(service);
        CloseServiceHandle(manager);
        return 0;
    }
    BOOL deleted = DeleteService(service);
    CloseServiceHandle(service);
    CloseServiceHandle(manager);
    return deleted ? 1 : 0;
}
