// The wire format between portgate and the GenPort1 port driver: six buffered device
// I/O control requests (device type 40000) and their little-endian records.
#pragma once

#define GENPORT_DEVICE_TYPE 40000u

#define GENPORT_IOCTL_READ_BYTE   0x9C406400u  // in: port record (4)  out: 1 byte
#define GENPORT_IOCTL_READ_WORD   0x9C406404u  // in: port record (4)  out: 2 bytes
#define GENPORT_IOCTL_READ_DWORD  0x9C406408u  // in: port record (4)  out: 4 bytes
#define GENPORT_IOCTL_WRITE_BYTE  0x9C40A440u  // in: write record (5) out: none
#define GENPORT_IOCTL_WRITE_WORD  0x9C40A444u  // in: write record (6) out: none
#define GENPORT_IOCTL_WRITE_DWORD 0x9C40A448u  // in: write record (8) out: none

// Port record: the absolute I/O port (0..0xFFFF) zero-extended to 32 bits.
// Write record: the port record followed by the 1, 2 or 4 value bytes.
#pragma pack(push, 1)
typedef struct GenPortWriteRecord {
    unsigned long port;
    union {
        unsigned char byteValue;
        unsigned short wordValue;
        unsigned long dwordValue;
    } u;
} GenPortWriteRecord;
#pragma pack(pop)

#define GENPORT_SERVICE_NAME "GenPort1"
#define GENPORT_DRIVER_FILE "GenPort1.sys"
#define GENPORT_DEVICE_PATH "\\\\.\\GenPort1"
