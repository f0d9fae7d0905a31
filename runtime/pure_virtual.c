/* Called through a vtable slot of a pure virtual function (an object used while it is
 * being built or torn down): a program fault, ended as libstdc++ ends it (abort). */
#include <stdlib.h>

void __cxa_pure_virtual(void)
{
    abort();
}
