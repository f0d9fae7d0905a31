/* Layout (little-endian):
 *    0 header: revision 1, control DACL present | self-relative, offsets of owner,
 *      group, SACL (none) and DACL
 *   20 owner SID  S-1-5-32-544 (16 bytes)
 *   36 group SID  S-1-5-18     (12 bytes)
 *   48 DACL: header (revision 2, size 52, 2 ACEs), then
 *      ACCESS_ALLOWED ACE, FILE_ALL_ACCESS, S-1-5-32-544 (24 bytes)
 *      ACCESS_ALLOWED ACE, FILE_ALL_ACCESS, S-1-5-18     (20 bytes) */
#include "access.h"

#define OWNER_AT 20
#define GROUP_AT 36
#define DACL_AT 48
#define DACL_BYTES 52
#define CONTROL_DACL_PRESENT 0x0004u
#define CONTROL_SELF_RELATIVE 0x8000u
#define ACE_ACCESS_ALLOWED 0

static void put16(uint8_t *p, uint32_t v)
{
    p[0] = (uint8_t)v;
    p[1] = (uint8_t)(v >> 8);
}

static void put32(uint8_t *p, uint32_t v)
{
    put16(p, v);
    put16(p + 2, v >> 16);
}

/* S-1-5-<sub...>: NT authority. Returns the SID's length. */
static int putSid(uint8_t *p, const uint32_t *sub, int count)
{
    int i;
    p[0] = 1;                  /* revision */
    p[1] = (uint8_t)count;     /* sub-authorities */
    for (i = 0; i < 5; i++)
        p[2 + i] = 0;
    p[7] = 5;                  /* identifier authority 5, big-endian over six bytes */
    for (i = 0; i < count; i++)
        put32(p + 8 + 4 * i, sub[i]);
    return 8 + 4 * count;
}

static const uint32_t administrators[] = {32, 544};
static const uint32_t localSystem[] = {18};

static int putAce(uint8_t *p, const uint32_t *sub, int count)
{
    int size = 8 + 8 + 4 * count;
    p[0] = ACE_ACCESS_ALLOWED;
    p[1] = 0; /* flags: no inheritance */
    put16(p + 2, (uint32_t)size);
    put32(p + 4, GENPORT_FILE_ALL_ACCESS);
    putSid(p + 8, sub, count);
    return size;
}

void genport_build_descriptor(GenPortDescriptor *descriptor)
{
    uint8_t *d = descriptor->bytes;
    uint8_t *acl = d + DACL_AT;
    int i, at;

    for (i = 0; i < GENPORT_DESCRIPTOR_BYTES; i++)
        d[i] = 0;
    d[0] = 1;
    put16(d + 2, CONTROL_DACL_PRESENT | CONTROL_SELF_RELATIVE);
    put32(d + 4, OWNER_AT);
    put32(d + 8, GROUP_AT);
    put32(d + 12, 0);
    put32(d + 16, DACL_AT);
    putSid(d + OWNER_AT, administrators, 2);
    putSid(d + GROUP_AT, localSystem, 1);

    acl[0] = 2; /* ACL revision */
    put16(acl + 2, DACL_BYTES);
    put16(acl + 4, 2);
    at = 8;
    at += putAce(acl + at, administrators, 2);
    putAce(acl + at, localSystem, 1);
}
