#include "driver_service.h"

#include <cstring>
#include <string>

#include "genport_ioctl.h"

namespace {

std::string DriverPath()
{
    char path[MAX_PATH];
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::strcpy(std::strrchr(path, '\\') + 1, GENPORT_DRIVER_FILE);
    return path;
}

}  // namespace

DriverService::DriverService(const std::string& driverPath)
{
    manager_ = OpenSCManagerA(nullptr, nullptr, SC_MANAGER_ALL_ACCESS);
    if (SC_HANDLE old = OpenServiceA(manager_, GENPORT_SERVICE_NAME, SERVICE_ALL_ACCESS)) {
        SERVICE_STATUS status;
        ControlService(old, SERVICE_CONTROL_STOP, &status);
        DeleteService(old);
        CloseServiceHandle(old);
    }
    service_ = CreateServiceA(manager_, GENPORT_SERVICE_NAME, GENPORT_SERVICE_NAME,
                              SERVICE_ALL_ACCESS, SERVICE_KERNEL_DRIVER, SERVICE_DEMAND_START,
                              SERVICE_ERROR_NORMAL,
                              (driverPath.empty() ? DriverPath() : driverPath).c_str(), nullptr, nullptr,
                              nullptr, nullptr, nullptr);
    if (!service_)
        lastError = GetLastError();
}

DriverService::~DriverService()
{
    if (service_) {
        Stop();
        DeleteService(service_);
        CloseServiceHandle(service_);
    }
    if (manager_)
        CloseServiceHandle(manager_);
}

bool DriverService::Start()
{
    if (service_ && StartServiceA(service_, 0, nullptr))
        return true;
    lastError = GetLastError();
    return false;
}

bool DriverService::Stop()
{
    SERVICE_STATUS status;
    if (service_ && ControlService(service_, SERVICE_CONTROL_STOP, &status))
        return true;
    lastError = GetLastError();
    return false;
}

HANDLE DriverService::Open()
{
    return CreateFileA(GENPORT_DEVICE_PATH, GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                       OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
}

bool Request(HANDLE device, DWORD code, const void* in, DWORD inLength, void* out,
             DWORD outLength, DWORD* returned, DWORD* error)
{
    DWORD got = 0;
    BOOL ok = DeviceIoControl(device, code, const_cast<void*>(in), inLength, out, outLength, &got,
                              nullptr);
    if (returned)
        *returned = got;
    if (error)
        *error = ok ? 0 : GetLastError();
    return ok != FALSE;
}

uint32_t ReadPort(HANDLE device, uint16_t port, int width)
{
    static const DWORD codes[] = {0, GENPORT_IOCTL_READ_BYTE, GENPORT_IOCTL_READ_WORD, 0,
                                  GENPORT_IOCTL_READ_DWORD};
    uint32_t record = port, value = 0;
    Request(device, codes[width], &record, 4, &value, width);
    return value;
}

void WritePort(HANDLE device, uint16_t port, int width, uint32_t value)
{
    static const DWORD codes[] = {0, GENPORT_IOCTL_WRITE_BYTE, GENPORT_IOCTL_WRITE_WORD, 0,
                                  GENPORT_IOCTL_WRITE_DWORD};
    unsigned char record[8];
    uint32_t port32 = port;
    std::memcpy(record, &port32, 4);
    std::memcpy(record + 4, &value, 4);
    Request(device, codes[width], record, 4 + width, nullptr, 0);
}
