// simctl: set up and look at the simulated machine of this Wine prefix.
//   simctl default   the default scenario (one Zyk card on bus 1)
//   simctl reset     an empty machine
//   simctl log       the port accesses since the last reset, one per line
//   simctl show      the devices, and each card's non-zero index registers
#include <cstdio>
#include <cstring>
#include <iostream>

#include "simscenario.h"
#include "simstore_user.h"

namespace {

void show()
{
    static SimModel model;
    simstore_load(&model);
    for (int slot = 0; slot < SIM_MAX_DEVICES; slot++) {
        const SimDevice& d = model.devices[slot];
        if (!d.present)
            continue;
        std::printf("%02X:%02X.%X  reg00 %08X  reg2C %08X  reg14 %08X%s\n", d.location >> 16,
                    (d.location >> 11) & 0x1F, (d.location >> 8) & 7, d.config[0x00 / 4],
                    d.config[0x2C / 4], d.config[0x14 / 4], d.isCard ? "  card" : "");
        for (int i = 0; d.isCard && i < SIM_CARD_REGISTERS; i++)
            if (d.registers[i])
                std::printf("    index %02X = %08X\n", i, d.registers[i]);
    }
}

}  // namespace

int main(int argc, char** argv)
{
    const char* command = argc > 1 ? argv[1] : "";
    if (!std::strcmp(command, "default")) {
        sim::DefaultScenario();
    } else if (!std::strcmp(command, "reset")) {
        sim::Reset();
    } else if (!std::strcmp(command, "log")) {
        for (const sim::PortAccess& a : sim::AccessLog())
            std::cout << a << "\n";
    } else if (!std::strcmp(command, "show")) {
        show();
    } else {
        std::fprintf(stderr, "usage: simctl default|reset|log|show\n");
        return 2;
    }
    return 0;
}
