/* The linker gathers the addresses of static constructors between __CTOR_LIST__ and
 * a terminating 0 (the first word is -1 or a count), and destructors likewise in
 * __DTOR_LIST__. Constructors run from the last entry back to the first, as libgcc's
 * __do_global_ctors runs them, so that priorities and link order keep their meaning. */
#include "runtime.h"

typedef void (*Routine)(void);

extern Routine __CTOR_LIST__[];
extern Routine __DTOR_LIST__[];

void RuntimeRunConstructors(void)
{
    static int done;
    unsigned count = 0;
    if (done) return;
    done = 1;
    while (__CTOR_LIST__[count + 1]) ++count;
    for (; count > 0; --count) __CTOR_LIST__[count]();
}

void RuntimeRunDestructorList(void)
{
    Routine* entry;
    for (entry = __DTOR_LIST__ + 1; *entry; ++entry) (*entry)();
}
