#include "services.h"
#include <windows.h>
#include <vector>

namespace {
struct Handles {
    SC_HANDLE manager = OpenSCManagerA(nullptr, nullptr, SC_MANAGER_ALL_ACCESS);
    SC_HANDLE service = manager ? OpenServiceA(manager, "GenPort1", SERVICE_ALL_ACCESS) : nullptr;
    ~Handles()
    {
        if (service) CloseServiceHandle(service);
        if (manager) CloseServiceHandle(manager);
    }
};
}  // namespace

ServiceState GenPortServiceState()
{
    Handles h;
    if (!h.service) return ServiceState::Missing;
    SERVICE_STATUS status;
    if (!QueryServiceStatus(h.service, &status)) return ServiceState::Other;
    if (status.dwCurrentState == SERVICE_STOPPED) return ServiceState::Stopped;
    if (status.dwCurrentState == SERVICE_RUNNING) return ServiceState::Running;
    return ServiceState::Other;
}

bool GenPortRegistered()
{
    HKEY key;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, "SYSTEM\\CurrentControlSet\\Services\\GenPort1", 0,
                      KEY_READ, &key) != ERROR_SUCCESS)
        return false;
    RegCloseKey(key);
    return true;
}

void RegisterStoppedGenPort(const std::string& driverPath)
{
    Handles h;
    SC_HANDLE service = CreateServiceA(h.manager, "GenPort1", "GenPort1", SERVICE_ALL_ACCESS,
                                       SERVICE_KERNEL_DRIVER, SERVICE_DEMAND_START,
                                       SERVICE_ERROR_NORMAL, driverPath.c_str(), nullptr,
                                       nullptr, nullptr, nullptr, nullptr);
    if (service) CloseServiceHandle(service);
}

void RemoveGenPort()
{
    Handles h;
    if (!h.service) return;
    SERVICE_STATUS status;
    ControlService(h.service, SERVICE_CONTROL_STOP, &status);
    DeleteService(h.service);
}

unsigned long StartGenPort()
{
    Handles h;
    if (!h.service) return ERROR_SERVICE_DOES_NOT_EXIST;
    return StartServiceA(h.service, 0, nullptr) ? 0 : GetLastError();
}

std::string GenPortImagePath()
{
    Handles h;
    if (!h.service) return "";
    DWORD needed = 0;
    QueryServiceConfigA(h.service, nullptr, 0, &needed);
    std::vector<char> buffer(needed + 1);
    auto* config = reinterpret_cast<QUERY_SERVICE_CONFIGA*>(buffer.data());
    if (!QueryServiceConfigA(h.service, config, needed, &needed)) return "";
    return config->lpBinaryPathName ? config->lpBinaryPathName : "";
}
