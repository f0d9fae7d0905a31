/* The exception handler that serves port instructions from the model. */
#include <windows.h>
#include "portemu.h"
#include "simstore_user.h"

static SimModel model;
static PVOID handler;
static CRITICAL_SECTION lock;

#ifdef _WIN64
#define PC(c) ((c)->Rip)
#define AX(c) ((c)->Rax)
#define DX(c) ((c)->Rdx)
#else
#define PC(c) ((c)->Eip)
#define AX(c) ((c)->Eax)
#define DX(c) ((c)->Edx)
#endif

static LONG CALLBACK onException(PEXCEPTION_POINTERS info)
{
    CONTEXT *c = info->ContextRecord;
    PortInstruction in;
    uint16_t port;

    if (info->ExceptionRecord->ExceptionCode != EXCEPTION_PRIV_INSTRUCTION ||
        !portemu_decode((const uint8_t *)(ULONG_PTR)PC(c), &in))
        return EXCEPTION_CONTINUE_SEARCH;
    port = in.immediate ? in.port : (uint16_t)DX(c);

    EnterCriticalSection(&lock);
    if (simstore_changed())
        simstore_open(&model);
    if (in.write) {
        sim_out(&model, port, in.width, (uint32_t)AX(c));
    } else {
        uint32_t v = sim_in(&model, port, in.width);
        /* As the processor does: AL and AX keep the rest of the register, a 32-bit
         * result clears the upper half of RAX. */
        if (in.width == 1)
            AX(c) = (AX(c) & ~(ULONG_PTR)0xFF) | v;
        else if (in.width == 2)
            AX(c) = (AX(c) & ~(ULONG_PTR)0xFFFF) | v;
        else
            AX(c) = v;
    }
    LeaveCriticalSection(&lock);
    PC(c) += in.length;
    return EXCEPTION_CONTINUE_EXECUTION;
}

void portemu_install(void)
{
    if (!handler) {
        InitializeCriticalSection(&lock);
        handler = AddVectoredExceptionHandler(1, onException);
    }
    portemu_stub_services(1);
    EnterCriticalSection(&lock);
    simstore_open(&model);
    LeaveCriticalSection(&lock);
}

void portemu_remove(void)
{
    if (!handler)
        return;
    RemoveVectoredExceptionHandler(handler);
    portemu_stub_services(0);
    handler = 0;
    simstore_close(&model);
    DeleteCriticalSection(&lock);
}
