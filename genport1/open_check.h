/* Who may open GenPort1 and whose requests it serves: the create decision and the
 * one handle that owns the device, with the system's access check injected so that
 * the same code runs in the driver (SeAccessCheck on the captured subject) and in
 * user-mode tests (AccessCheck on a real token). Plain C without kernel headers. */
#ifndef GENPORT1_OPEN_CHECK_H
#define GENPORT1_OPEN_CHECK_H

#include <stdint.h>

#include "access.h"
#include "requests.h"

#ifdef __cplusplus
extern "C" {
#endif

/* The rights every open is checked for, whatever it asked: FILE_READ_DATA and
 * FILE_WRITE_DATA, which the request codes require. */
#define GENPORT_OPEN_RIGHTS 0x00000003u

/* The system's access check: 1 when subject (the caller as the host captured it) is
 * granted every right of desired by descriptor (self-relative), else 0. userMode 0 is
 * a check for kernel mode, which the system grants whatever the descriptor says. */
typedef int (*GenPortAccessCheck)(void *ctx, const void *subject, const void *descriptor,
                                  uint32_t desired, int userMode);

/* Where a create came from: the IRP's requestor mode, and the stack location's
 * SL_FORCE_ACCESS_CHECK (a kernel component opening on a user's behalf). */
#define GENPORT_CREATE_FROM_KERNEL 0x1u
#define GENPORT_CREATE_FORCE_CHECK 0x2u

typedef struct GenPortOpens {
    GenPortDescriptor descriptor;
    GenPortAccessCheck check;
    void *checkCtx;
    /* Whether a create without security context is let through. NT gives every create
     * one; only a host that emulates the kernel in the caller's own session gives none. */
    int contextFree;
    const void *owner;        /* the file object of the accepted open, or 0 */
    uint32_t configAddress;   /* the owner's 0xCF8, never written to the hardware */
} GenPortOpens;

void genport_opens_init(GenPortOpens *opens, GenPortAccessCheck check, void *checkCtx,
                        int contextFree);

/* A create: file is the IRP's file object (0: none), nameBytes the length of the name
 * below the device, subject the captured subject (0: the create has no security
 * context), origin GENPORT_CREATE_* flags. Refused (ACCESS_DENIED) without a file
 * object, with a name below the device, without a context unless contextFree, when the
 * check does not grant GENPORT_OPEN_RIGHTS, and while another file object owns the
 * device. The check is made for user mode unless the create came from kernel mode
 * without GENPORT_CREATE_FORCE_CHECK. An accepted create makes file the owner with a
 * fresh configuration address (0). */
GenPortStatus genport_open(GenPortOpens *opens, const void *file, uint32_t nameBytes,
                           const void *subject, uint32_t origin);

/* The system calls that give a kernel object a security descriptor: open a handle to
 * object that may change its owner and DACL, set the parts named by information
 * (SECURITY_INFORMATION bits) from a self-relative descriptor, close the handle. open
 * and set return an NTSTATUS. */
typedef struct GenPortSecurityCalls {
    GenPortStatus (*open)(void *ctx, void *object, void **handle);
    GenPortStatus (*set)(void *ctx, void *handle, uint32_t information, const void *descriptor);
    void (*close)(void *ctx, void *handle);
    void *ctx;
} GenPortSecurityCalls;

#define GENPORT_OWNER_SECURITY_INFORMATION 0x1u
#define GENPORT_GROUP_SECURITY_INFORMATION 0x2u
#define GENPORT_DACL_SECURITY_INFORMATION 0x4u

/* Gives the device object the create check's descriptor (owner, group and DACL), so
 * that the I/O manager's own check turns away everyone else before the create reaches
 * the driver. Returns the status of open, or else of set; the handle, once open, is
 * always closed. */
GenPortStatus genport_secure_device(const GenPortOpens *opens, const GenPortSecurityCalls *calls,
                                    void *device);

/* The owner's close frees the device; any other close changes nothing. */
void genport_close(GenPortOpens *opens, const void *file);

/* Whether requests on file are served: only the owner's, never a request without a
 * file object. */
int genport_is_owner(const GenPortOpens *opens, const void *file);

#ifdef __cplusplus
}
#endif

#endif
