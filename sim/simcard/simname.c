/* Value names of the scenario store, built without a C runtime. */
#include "simstore.h"

void sim_value_name(const char *prefix, int slot, char out[16])
{
    int n = 0;
    while (prefix[n] && n < 13) {
        out[n] = prefix[n];
        n++;
    }
    out[n++] = (char)('0' + (slot / 10) % 10);
    out[n++] = (char)('0' + slot % 10);
    out[n] = 0;
}
