/* The direct road, emulated: a program that executes in/out itself (as portgate does
 * on the Windows 95 family) gets a privileged-instruction exception for each; the
 * handler installed here serves the instruction from the simulated machine, with the
 * same scenario store and access log as GenPort1.sys, and resumes after it. */
#ifndef PORTEMU_H
#define PORTEMU_H

#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

/* Loads the scenario, opens the log, adds the exception handler and makes the process
 * look like the 95 family to an NT-only call (portemu_stub_services). The scenario is
 * loaded again whenever it has been edited since (sim::Reset, AddCard, ...), as if
 * the machine had been rebuilt; otherwise the model keeps its state. */
void portemu_install(void);
/* Removes the handler and the service stubs, and closes the log; port instructions
 * fault again. */
void portemu_remove(void);

/* on: the service manager's open (OpenSCManagerA and W) answers NULL with
 * ERROR_CALL_NOT_IMPLEMENTED in every module of the process, as on the 95 family;
 * off: the real routines again. */
void portemu_stub_services(int on);

/* One decoded port instruction. */
typedef struct PortInstruction {
    int length;     /* bytes, prefixes included */
    int write;      /* out */
    int width;      /* 1, 2 or 4 */
    int immediate;  /* port is the 8-bit immediate, not DX */
    uint16_t port;  /* the immediate port (when immediate) */
} PortInstruction;

/* Decodes in/out at code (opcodes E4-E7 with an 8-bit port, EC-EF with the port in DX,
 * 0x66 for words). Returns 0 when code is no port instruction. */
int portemu_decode(const uint8_t *code, PortInstruction *out);

#ifdef __cplusplus
}
#endif

#endif
