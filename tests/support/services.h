// Looking at and clearing the GenPort1 service from a test.
#pragma once
#include <string>

enum class ServiceState { Missing, Stopped, Running, Other };

ServiceState GenPortServiceState();
// Whether the service database holds GenPort1, read from the registry rather than through
// the service manager (which the 95-family emulation answers as a stub).
bool GenPortRegistered();
// Registers GenPort1 without starting it, as an earlier run might have left it.
void RegisterStoppedGenPort(const std::string& driverPath);
// Stops and deletes GenPort1 if it is there (test clean-up).
void RemoveGenPort();
// Starts GenPort1 as registered; returns GetLastError of a failed start, 0 on success.
unsigned long StartGenPort();
// The binary path GenPort1 is registered with ("" when it is not registered).
std::string GenPortImagePath();
