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

static int callerAllowed(const GenPortOpens *opens, const void *subject)
{
    if (!subject)
        return opens->contextFree;
    return opens->check(opens->checkCtx, subject, opens->descriptor.bytes, GENPORT_OPEN_RIGHTS);
}

GenPortStatus genport_open(GenPortOpens *opens, const void *file, uint32_t nameBytes,
                           const void *subject)
{
    if (!file || nameBytes != 0 || !callerAllowed(opens, subject))
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
