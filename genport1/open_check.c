/* The create decision of GenPort1. The rights are fixed rather than taken from the
 * create: after the I/O manager's own check against the device object, the desired
 * access may arrive as already granted, and an empty request would be refused even to
 * administrators. */
#include "open_check.h"

void genport_opens_init(GenPortOpens *opens, GenPortAccessCheck check, void *checkCtx,
                        int contextFree)
{
    genport_build_descriptor(&opens->descriptor);
    opens->check = check;
    opens->checkCtx = checkCtx;
    opens->contextFree = contextFree;
    opens->owner = 0;
    opens->configAddress = 0;
}

/* A kernel component that opens on a user's behalf asks with SL_FORCE_ACCESS_CHECK
 * to be checked as that user would be. */
static int callerAllowed(const GenPortOpens *opens, const void *subject, uint32_t origin)
{
    int userMode = !(origin & GENPORT_CREATE_FROM_KERNEL) || (origin & GENPORT_CREATE_FORCE_CHECK);
    if (!subject)
        return opens->contextFree;
    return opens->check(opens->checkCtx, subject, opens->descriptor.bytes, GENPORT_OPEN_RIGHTS,
                        userMode);
}

GenPortStatus genport_open(GenPortOpens *opens, const void *file, uint32_t nameBytes,
                           const void *subject, uint32_t origin)
{
    if (!file || nameBytes != 0 || !callerAllowed(opens, subject, origin))
        return GENPORT_STATUS_ACCESS_DENIED;
    if (opens->owner && opens->owner != file)
        return GENPORT_STATUS_ACCESS_DENIED;
    opens->owner = file;
    opens->configAddress = 0;
    return GENPORT_STATUS_SUCCESS;
}

void genport_close(GenPortOpens *opens, const void *file)
{
    if (file && opens->owner == file)
        opens->owner = 0;
}

int genport_is_owner(const GenPortOpens *opens, const void *file)
{
    return file != 0 && opens->owner == file;
}

GenPortStatus genport_secure_device(const GenPortOpens *opens, const GenPortSecurityCalls *calls,
                                    void *device)
{
    void *handle = 0;
    GenPortStatus status;

    status = calls->open(calls->ctx, device, &handle);
    if (status < 0)
        return status;
    status = calls->set(calls->ctx, handle,
                        GENPORT_OWNER_SECURITY_INFORMATION | GENPORT_GROUP_SECURITY_INFORMATION |
                            GENPORT_DACL_SECURITY_INFORMATION,
                        opens->descriptor.bytes);
    calls->close(calls->ctx, handle);
    return status;
}
