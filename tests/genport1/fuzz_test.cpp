// The simulated GenPort1.sys under random requests through Wine's own device I/O
// control: known and unknown codes, lengths 0..64, any port number, any value. Each
// answer must fit the request, the driver must still answer at the end, and the
// model's access record must hold exactly the accepted requests, all on the list.
// GENPORT_FUZZ_SEED and GENPORT_FUZZ_COUNT set the seed and the number of requests.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <set>
#include <sstream>
#include <tuple>

#include "driver_service.h"
#include "genport_ioctl.h"
#include "simscenario.h"

namespace {

struct Kind {
    DWORD code;
    bool write;
    DWORD width;
};
const Kind kKinds[] = {
    {GENPORT_IOCTL_READ_BYTE, false, 1},  {GENPORT_IOCTL_READ_WORD, false, 2},
    {GENPORT_IOCTL_READ_DWORD, false, 4}, {GENPORT_IOCTL_WRITE_BYTE, true, 1},
    {GENPORT_IOCTL_WRITE_WORD, true, 2},  {GENPORT_IOCTL_WRITE_DWORD, true, 4},
};

const Kind* Known(DWORD code)
{
    for (const Kind& k : kKinds)
        if (k.code == code)
            return &k;
    return nullptr;
}

// What the default scenario's card (I/O base 0xD000) and the configuration ports allow.
using Entry = std::tuple<bool, int, uint16_t>;  // write, width, port
// The byte written at 0xD008 must be 0x0A, 0x8A or 0x00 as well.
const std::set<Entry> kAllowed = {{true, 4, 0xCF8},  {false, 4, 0xCF8}, {false, 4, 0xCFC},
                                  {true, 1, 0xD008}, {false, 4, 0xD00C}, {true, 4, 0xD00C},
                                  {false, 4, 0xD050}, {false, 4, 0xD0E0}};
bool IndexByteAllowed(uint16_t port, bool write, int width, uint8_t value)
{
    return !(write && width == 1 && port == 0xD008) || value == 0x0A || value == 0x8A ||
           value == 0x00;
}

// Ports that matter: the list itself, the devices a port driver must never reach, and
// the neighbours of both.
const uint32_t kNamedPorts[] = {0xCF8, 0xCFC, 0xD008, 0xD00C, 0xD050, 0xD051, 0xD0E0, 0xD0E1, 0xCF9, 0xCFA, 0xCFE, 0xD009,
                                0xD00A, 0xD00D, 0xD010, 0xD000, 0x60,  0x64,  0x70,  0x71,
                                0x92,  0x1F0, 0x1F7, 0x3F6, 0xE808, 0xE80C, 0x10CF8, 0x1D00C};

struct Random {
    uint64_t state;
    uint64_t Next()
    {
        state ^= state >> 12;
        state ^= state << 25;
        state ^= state >> 27;
        return state * 0x2545F4914F6CDD1DULL;
    }
    uint32_t Below(uint32_t n) { return uint32_t(Next() % n); }
};

uint64_t Setting(const char* name, uint64_t fallback)
{
    const char* text = std::getenv(name);
    return text && *text ? std::strtoull(text, nullptr, 0) : fallback;
}

TEST(GenPortFuzz, RandomRequestsNeverReachAPortOffTheListAndTheDriverKeepsAnswering)
{
    const uint64_t seed = Setting("GENPORT_FUZZ_SEED", 0x5EED0001);
    const uint64_t count = Setting("GENPORT_FUZZ_COUNT", 100000);
    std::printf("seed 0x%llX, %llu requests\n", (unsigned long long)seed, (unsigned long long)count);
    Random random{seed ? seed : 1};

    sim::DefaultScenario();
    DriverService service;
    ASSERT_TRUE(service.Start()) << service.lastError;
    HANDLE device = service.Open();
    ASSERT_NE(INVALID_HANDLE_VALUE, device) << GetLastError();

    uint64_t accepted = 0, faults = 0;
    std::ostringstream firstFaults;
    auto fault = [&](uint64_t i, DWORD code, DWORD in, DWORD out, uint32_t port, const char* what) {
        if (++faults <= 10)
            firstFaults << "request " << i << " code 0x" << std::hex << code << " port 0x" << port
                        << std::dec << " in " << in << " out " << out << ": " << what << "\n";
    };

    const auto start = std::chrono::steady_clock::now();
    for (uint64_t i = 0; i < count; i++) {
        DWORD code;
        const uint32_t pick = random.Below(10);
        if (pick < 6)
            code = kKinds[random.Below(6)].code;
        else if (pick < 8)
            code = kKinds[random.Below(6)].code ^ (1u << random.Below(32));
        else
            code = uint32_t(random.Next());
        const Kind* kind = Known(code);

        DWORD inLength = random.Below(65), outLength = random.Below(65);
        if (kind && random.Below(2)) {  // half of the known ones well-formed
            inLength = kind->write ? 4 + kind->width : 4;
            outLength = kind->write ? 0 : kind->width;
        }
        uint32_t port;
        switch (random.Below(6)) {
        case 0:
        case 5: port = kNamedPorts[random.Below(5)]; break;  // the listed ports
        case 1: port = kNamedPorts[random.Below(sizeof kNamedPorts / sizeof kNamedPorts[0])]; break;
        case 2: port = random.Below(0x10000); break;
        case 3: port = 0xCF8 + random.Below(8); break;
        default: port = uint32_t(random.Next()); break;
        }
        unsigned char in[64], out[64];
        for (unsigned char& b : in)
            b = uint8_t(random.Next());
        std::memcpy(in, &port, 4);
        if (random.Below(4) != 0)
            in[4] = random.Below(2) ? 0x0A : 0x8A;  // mostly the index bytes the card takes

        DWORD returned = 0xDEAD;
        BOOL ok = DeviceIoControl(device, code, in, inLength, out, outLength, &returned, nullptr);
        DWORD error = ok ? 0 : GetLastError();

        const bool exact = kind && inLength == (kind->write ? 4 + kind->width : 4) &&
                           outLength == (kind->write ? 0 : kind->width);
        const bool listed = kind && port <= 0xFFFF &&
                            kAllowed.count({kind->write, int(kind->width), uint16_t(port)}) &&
                            IndexByteAllowed(uint16_t(port), kind->write, kind->width, in[4]);
        if (ok) {
            accepted++;
            if (!exact || !listed)
                fault(i, code, inLength, outLength, port, "accepted");
            else if (returned != (kind->write ? 0 : kind->width))
                fault(i, code, inLength, outLength, port, "wrong byte count");
        } else if (!kind) {
            if (error != ERROR_INVALID_FUNCTION)
                fault(i, code, inLength, outLength, port, "unknown code, wrong error");
        } else if (!exact) {
            if (error != ERROR_INVALID_PARAMETER)
                fault(i, code, inLength, outLength, port, "bad length, wrong error");
        } else if (listed) {
            fault(i, code, inLength, outLength, port, "refused a listed access");
        } else if (error != ERROR_ACCESS_DENIED) {
            fault(i, code, inLength, outLength, port, "off the list, wrong error");
        }
    }
    const double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    std::printf("%llu requests in %.1f s (%.0f a second), %llu accepted\n",
                (unsigned long long)count, seconds, count / seconds, (unsigned long long)accepted);
    EXPECT_EQ(0u, faults) << firstFaults.str();
    EXPECT_GT(accepted, count / 50) << "the listed ports were exercised too";

    // Still answering, and still the same machine.
    WritePort(device, 0xCF8, 4, sim::ConfigAddress(1, 0, 0, 0));
    EXPECT_EQ(0x52461002u, ReadPort(device, 0xCFC, 4));
    CloseHandle(device);

    const std::vector<sim::PortAccess> log = sim::AccessLog();
    EXPECT_EQ(accepted + 2, log.size()) << "one access for each accepted request, none else";
    size_t off = 0;
    for (const sim::PortAccess& a : log)
        if ((!kAllowed.count({a.write, a.width, a.port}) ||
             !IndexByteAllowed(a.port, a.write, a.width, uint8_t(a.value))) &&
            off++ < 10)
            ADD_FAILURE() << "reached " << a;
    EXPECT_EQ(0u, off);
}

}  // namespace
