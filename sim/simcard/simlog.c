/* Text form of one port access, fixed width so that writers stay cheap and readers
 * simple: "W4 0CF8 80010000\n". */
#include "simcard.h"

static const char digits[] = "0123456789ABCDEF";

static void putHex(char *out, uint32_t value, int count)
{
    int i;
    for (i = count - 1; i >= 0; i--) {
        out[i] = digits[value & 0xF];
        value >>= 4;
    }
}

void sim_format_access(const SimAccess *access, char line[SIM_LOG_LINE])
{
    line[0] = access->write ? 'W' : 'R';
    line[1] = (char)('0' + access->width);
    line[2] = ' ';
    putHex(line + 3, access->port, 4);
    line[7] = ' ';
    putHex(line + 8, access->value, 8);
    line[16] = '\n';
}

static int getHex(const char *in, int count, uint32_t *value)
{
    int i;
    uint32_t v = 0;
    for (i = 0; i < count; i++) {
        char c = in[i];
        int d;
        if (c >= '0' && c <= '9') d = c - '0';
        else if (c >= 'A' && c <= 'F') d = c - 'A' + 10;
        else if (c >= 'a' && c <= 'f') d = c - 'a' + 10;
        else return 0;
        v = (v << 4) | (uint32_t)d;
    }
    *value = v;
    return 1;
}

int sim_parse_access(const char *line, int length, SimAccess *access)
{
    uint32_t port, value;
    if (length < SIM_LOG_LINE - 1 || (line[0] != 'R' && line[0] != 'W') ||
        (line[1] != '1' && line[1] != '2' && line[1] != '4') || line[2] != ' ' || line[7] != ' ')
        return 0;
    if (!getHex(line + 3, 4, &port) || !getHex(line + 8, 8, &value))
        return 0;
    access->write = line[0] == 'W';
    access->width = line[1] - '0';
    access->port = (uint16_t)port;
    access->value = value;
    return 1;
}
