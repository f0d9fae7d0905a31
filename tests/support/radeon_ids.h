// Test data: the PCI device ids of the R100 to R300 chips and their IGPs (vendor 0x1002),
// each with the chip family the public Radeon drivers file it under. Primary display
// functions only: a card's second function ("Secondary") and the IGPs' bridges are not
// display chips of their own.
// Source: the Linux kernel's radeon id table (include/drm/drm_pciids.h, radeon_PCI_IDS,
// CHIP_* of each entry) and the X.org ATI driver's (xf86-video-ati,
// src/pcidb/ati_pciids.csv). Both file the RS250 (4237, 4437) as RS200, and both name
// 515E (the ES1000 server chip) an RV100.
// chip_family_ids_test.py holds busprobe/families.h against it; the simulated card's
// own table and the clock library's tests take their cases from it.
#pragma once

static const struct RadeonId {
    unsigned short id;
    const char* family;
} kRadeonIds[] = {
    // R100
    {0x5144, "R100"}, {0x5145, "R100"}, {0x5146, "R100"}, {0x5147, "R100"},
    // RV100
    {0x5159, "RV100"}, {0x515A, "RV100"}, {0x515E, "RV100"}, {0x4C59, "RV100"},
    {0x4C5A, "RV100"}, {0x5969, "RV100"},
    // RS100 (IGP)
    {0x4136, "RS100"}, {0x4336, "RS100"},
    // RV200
    {0x5157, "RV200"}, {0x5158, "RV200"}, {0x4C57, "RV200"}, {0x4C58, "RV200"},
    // RS200 (IGP), the RS250 (4237, 4437) included
    {0x4137, "RS200"}, {0x4337, "RS200"}, {0x4237, "RS200"}, {0x4437, "RS200"},
    // R200
    {0x4242, "R200"}, {0x5148, "R200"}, {0x514C, "R200"}, {0x514D, "R200"},
    // RV250
    {0x4966, "RV250"}, {0x4967, "RV250"}, {0x4C64, "RV250"}, {0x4C66, "RV250"},
    {0x4C67, "RV250"},
    // RS300 (IGP)
    {0x5834, "RS300"}, {0x5835, "RS300"},
    // RV280
    {0x5960, "RV280"}, {0x5961, "RV280"}, {0x5962, "RV280"}, {0x5964, "RV280"},
    {0x5965, "RV280"}, {0x5C61, "RV280"}, {0x5C63, "RV280"},
    // R300
    {0x4144, "R300"}, {0x4145, "R300"}, {0x4146, "R300"}, {0x4147, "R300"},
    {0x4E44, "R300"}, {0x4E45, "R300"}, {0x4E46, "R300"}, {0x4E47, "R300"},
};
