// The chip families whose clock synthesiser needs a workaround, by PCI device id (as
// the public PCI id list names the chips). Every other id: write enable alone.
#pragma once

#define ERRATUM_DUMMY_READS 1u  // after each index write: read data, then CRTC_GEN_CNTL
#define ERRATUM_DATA_DELAY 2u   // 5 ms after each data-port access before the next access

static const struct ChipFamily {
    unsigned short id;
    const char* family;
    unsigned int errata;
} kChipFamilies[] = {
    {0x5159, "RV100", ERRATUM_DATA_DELAY},
    {0x4C59, "RV100", ERRATUM_DATA_DELAY},
    {0x5157, "RV200", ERRATUM_DUMMY_READS},
    {0x4C57, "RV200", ERRATUM_DUMMY_READS},
    {0x4C58, "RV200", ERRATUM_DUMMY_READS},
    {0x4136, "RS100", ERRATUM_DATA_DELAY},
    {0x4336, "RS100", ERRATUM_DATA_DELAY},
    {0x4137, "RS200", ERRATUM_DUMMY_READS | ERRATUM_DATA_DELAY},
    {0x4337, "RS200", ERRATUM_DUMMY_READS | ERRATUM_DATA_DELAY},
    {0x4437, "RS200", ERRATUM_DUMMY_READS | ERRATUM_DATA_DELAY},
};
