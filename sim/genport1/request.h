/* The six port requests of GenPort1, served on the model. Kept apart from the kernel
 * glue so that the checks read plainly. */
#ifndef GENPORT_REQUEST_H
#define GENPORT_REQUEST_H

#include <stdint.h>
#include "simcard.h"

typedef enum GenPortResult {
    GENPORT_DONE,
    GENPORT_UNKNOWN_CODE,   /* not one of the six */
    GENPORT_BAD_LENGTH,     /* input or output length other than the request's own */
    GENPORT_BAD_PORT        /* port number above 0xFFFF */
} GenPortResult;

/* Serves one request. in and out may be the same buffer (buffered I/O): the input is
 * read in full before anything is written. *returned gets the output byte count. */
GenPortResult genport_request(SimModel *model, uint32_t code, const void *in, uint32_t inLength,
                              void *out, uint32_t outLength, uint32_t *returned);

#endif
