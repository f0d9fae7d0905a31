/* Who may open GenPort1: the security descriptor its create handler checks every
 * caller against. Built byte by byte (no kernel helpers, which NT 4.0 lacks in part),
 * in self-relative form, so that user-mode tests can read it with the system's own
 * security functions. */
#ifndef GENPORT1_ACCESS_H
#define GENPORT1_ACCESS_H

#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

/* Owner Administrators, group SYSTEM, and a DACL of two ACEs granting all file access
 * to Administrators (S-1-5-32-544) and SYSTEM (S-1-5-18); nobody else is granted
 * anything. No SACL. */
#define GENPORT_DESCRIPTOR_BYTES 100
#define GENPORT_FILE_ALL_ACCESS 0x001F01FFu

typedef union GenPortDescriptor {
    uint8_t bytes[GENPORT_DESCRIPTOR_BYTES];
    uint32_t align; /* the descriptor and its SIDs want dword alignment */
} GenPortDescriptor;

void genport_build_descriptor(GenPortDescriptor *descriptor);

#ifdef __cplusplus
}
#endif

#endif
