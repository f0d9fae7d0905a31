// GenPort1.sys (by default the one in the test program's own folder) as a demand-start
// kernel driver service, for the tests of the driver itself.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>

class DriverService {
public:
    // Removes a leftover service and registers a fresh one for driverPath.
    explicit DriverService(const std::string& driverPath = "");
    ~DriverService();  // stops and deletes it

    bool Start();      // false with the error in lastError
    bool Stop();
    HANDLE Open();     // the device, or INVALID_HANDLE_VALUE

    DWORD lastError = 0;

private:
    SC_HANDLE manager_ = nullptr;
    SC_HANDLE service_ = nullptr;
};

// One request on an open device: true when the driver accepted it. *error gets the
// failure code, *returned the output byte count.
bool Request(HANDLE device, DWORD code, const void* in, DWORD inLength, void* out,
             DWORD outLength, DWORD* returned = nullptr, DWORD* error = nullptr);
uint32_t ReadPort(HANDLE device, uint16_t port, int width);
void WritePort(HANDLE device, uint16_t port, int width, uint32_t value);
