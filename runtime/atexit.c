/* atexit: static destructors register here (the compiler calls atexit for each static
 * object with a destructor). Handlers are kept in blocks from the process heap and run
 * last-registered first when the program or DLL ends. */
#include <windows.h>
#include <stdlib.h>
#include "runtime.h"

typedef void (__cdecl *ExitHandler)(void);

enum { kBlockSize = 32 };

typedef struct Block {
    struct Block* previous;
    int used;
    ExitHandler handlers[kBlockSize];
} Block;

static Block* s_last;

int __cdecl atexit(ExitHandler handler)
{
    if (!s_last || s_last->used == kBlockSize) {
        Block* block = (Block*)HeapAlloc(GetProcessHeap(), 0, sizeof(Block));
        if (!block) return -1;
        block->previous = s_last;
        block->used = 0;
        s_last = block;
    }
    s_last->handlers[s_last->used++] = handler;
    return 0;
}

void RuntimeRunExitHandlers(void)
{
    while (s_last) {
        Block* block = s_last;
        while (block->used > 0) {
            ExitHandler handler = block->handlers[--block->used];
            handler();   /* may register more: they land in s_last and run next */
            if (s_last != block) break;
        }
        if (s_last == block) {
            s_last = block->previous;
            HeapFree(GetProcessHeap(), 0, block);
        }
    }
    RuntimeRunDestructorList();
}
