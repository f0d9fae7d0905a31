// The chip families whose clock synthesiser needs a workaround, by PCI device id, as
// the public Radeon drivers' id tables file them (the RS250 ids as RS200). Every other
// id: write enable alone.
#pragma once

#define ERRATUM_DUMMY_READS 1u  // after each index write: read data, then CRTC_GEN_CNTL
#define ERRATUM_DATA_DELAY 2u   // 5 ms after each data-port access before the next access
// R300 of revision A11 (CONFIG_CNTL bits 16-19 all 0; ATIAGP_Check reads them): after
// each data-port access, index 0, one read of the data port, the index put back.
#define ERRATUM_R300_A11 4u

static const struct ChipFamily {
    unsigned short id;
    const char* family;
    unsigned int errata;
} kChipFamilies[] = {
    {0x5159, "RV100", ERRATUM_DATA_DELAY},
    {0x515A, "RV100", ERRATUM_DATA_DELAY},
    {0x515E, "RV100", ERRATUM_DATA_DELAY},
    {0x4C59, "RV100", ERRATUM_DATA_DELAY},
    {0x4C5A, "RV100", ERRATUM_DATA_DELAY},
    {0x5969, "RV100", ERRATUM_DATA_DELAY},
    {0x5157, "RV200", ERRATUM_DUMMY_READS},
    {0x5158, "RV200", ERRATUM_DUMMY_READS},
    {0x4C57, "RV200", ERRATUM_DUMMY_READS},
    {0x4C58, "RV200", ERRATUM_DUMMY_READS},
    {0x4136, "RS100", ERRATUM_DATA_DELAY},
    {0x4336, "RS100", ERRATUM_DATA_DELAY},
    {0x4137, "RS200", ERRATUM_DUMMY_READS | ERRATUM_DATA_DELAY},
    {0x4337, "RS200", ERRATUM_DUMMY_READS | ERRATUM_DATA_DELAY},
    {0x4237, "RS200", ERRATUM_DUMMY_READS | ERRATUM_DATA_DELAY},
    {0x4437, "RS200", ERRATUM_DUMMY_READS | ERRATUM_DATA_DELAY},
    {0x4144, "R300", ERRATUM_R300_A11},
    {0x4145, "R300", ERRATUM_R300_A11},
    {0x4146, "R300", ERRATUM_R300_A11},
    {0x4147, "R300", ERRATUM_R300_A11},
    {0x4E44, "R300", ERRATUM_R300_A11},
    {0x4E45, "R300", ERRATUM_R300_A11},
    {0x4E46, "R300", ERRATUM_R300_A11},
    {0x4E47, "R300", ERRATUM_R300_A11},
};
