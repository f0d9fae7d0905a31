/* in/out decoding: E4/E5 in imm8, E6/E7 out imm8, EC/ED in DX, EE/EF out DX. The odd
 * opcodes move eAX, which the operand-size prefix 0x66 narrows to AX. */
#include "portemu.h"

int portemu_decode(const uint8_t *code, PortInstruction *out)
{
    int length = 0, wordSize = 0;
    uint8_t op;

    while (code[length] == 0x66 && length < 4) {
        wordSize = 1;
        length++;
    }
    op = code[length++];
    if (op < 0xE4 || (op > 0xE7 && op < 0xEC) || op > 0xEF)
        return 0;
    out->write = (op & 2) != 0;
    out->width = (op & 1) ? (wordSize ? 2 : 4) : 1;
    out->immediate = op < 0xEC;
    out->port = 0;
    if (out->immediate)
        out->port = code[length++];
    out->length = length;
    return 1;
}
