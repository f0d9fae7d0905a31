// The six port functions: the processor's port instructions on the 95 family,
// one GenPort1 request per access otherwise.
#include "gate.h"
#include "genport_ioctl.h"
#include "portgate.h"

// Request records, reused by every access (the library is single-threaded).
static unsigned long readRequest;
static unsigned long readResult;  // keeps the last value the driver returned
static GenPortWriteRecord writeRequest;
static DWORD bytesReturned;

// A failed request (or one with no open device) leaves readResult as it was, so a
// read then returns the last value read; either way the access counts as lost. No
// request is sent without an open device: a handle that was closed may since belong
// to something else.
static unsigned long DriverRead(DWORD code, unsigned short port, DWORD size)
{
    readRequest = port;
    if (!DeviceUsable() ||
        !DeviceIoControl(g_device, code, &readRequest, sizeof readRequest, &readResult,
                         size, &bytesReturned, NULL))
        g_lostAccesses++;
    return readResult;
}

static void DriverWrite(DWORD code, unsigned short port, DWORD size)
{
    writeRequest.port = port;
    if (!DeviceUsable() ||
        !DeviceIoControl(g_device, code, &writeRequest, size, NULL, 0, &bytesReturned, NULL))
        g_lostAccesses++;
}

int winp(unsigned short port)
{
    if (g_mode == MODE_DIRECT) {
        signed char value;
        __asm__ volatile("inb %1, %0" : "=a"(value) : "d"(port));
        return value;  // sign-extended on this road: bytes above 0x7F read as negative
    }
    return (int)(DriverRead(GENPORT_IOCTL_READ_BYTE, port, 1) & 0xFF);
}

unsigned short winpw(unsigned short port)
{
    if (g_mode == MODE_DIRECT) {
        unsigned short value;
        __asm__ volatile("inw %1, %0" : "=a"(value) : "d"(port));
        return value;
    }
    return (unsigned short)DriverRead(GENPORT_IOCTL_READ_WORD, port, 2);
}

unsigned long winpd(unsigned short port)
{
    if (g_mode == MODE_DIRECT) {
        unsigned int value;
        __asm__ volatile("inl %1, %0" : "=a"(value) : "d"(port));
        return value;
    }
    return (unsigned int)DriverRead(GENPORT_IOCTL_READ_DWORD, port, 4);
}

int woutp(unsigned short port, int value)
{
    if (g_mode == MODE_DIRECT) {
        unsigned char byte = (unsigned char)value;
        __asm__ volatile("outb %0, %1" : : "a"(byte), "d"(port));
        return byte;
    }
    writeRequest.u.byteValue = (unsigned char)value;
    DriverWrite(GENPORT_IOCTL_WRITE_BYTE, port, 5);
    return value;
}

unsigned short woutpw(unsigned short port, unsigned short value)
{
    if (g_mode == MODE_DIRECT) {
        __asm__ volatile("outw %0, %1" : : "a"(value), "d"(port));
        return value;
    }
    writeRequest.u.wordValue = value;
    DriverWrite(GENPORT_IOCTL_WRITE_WORD, port, 6);
    return value;
}

unsigned long woutpd(unsigned short port, unsigned long value)
{
    if (g_mode == MODE_DIRECT) {
        unsigned int dword = (unsigned int)value;
        __asm__ volatile("outl %0, %1" : : "a"(dword), "d"(port));
        return value;
    }
    writeRequest.u.dwordValue = value;
    DriverWrite(GENPORT_IOCTL_WRITE_DWORD, port, 8);
    return value;
}
