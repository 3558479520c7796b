// The simulated catalogue's own chips. Their tables are invented for the
// simulation (no real chip stands behind them), written down here as the
// board database's sources (data/sources) had them, so the database can be
// checked against the chips rather than copied into them. Beside them the
// `generic` test chip, which takes the table a machine description states.
//
// Each has a power-on read-back of its own, so a tool comparing read-backs
// tells them apart: the CKG chips carry an identification byte in register
// 7; the ICS9248-153 (7 bytes) and RTM560-25 (17 bytes) differ by length.
#include <array>

#include "sim/chip_model_lists.h"

namespace vc::sim {
namespace {

// --- tables (clocks in MHz, band code, select) -------------------------------------

constexpr ClockEntry kIcs9248_153Table[] = {
    // bus    pci    mem    band  select
    {  66.8,  33.4,   66.8, 10, 0x00},
    {  75.0,  37.5,   75.0, 10, 0x08},
    {  83.3,  41.6,   83.3, 10, 0x10},
    { 100.2,  33.4,  100.2, 20, 0x18},
    { 103.0,  34.3,  103.0, 20, 0x20},
    { 105.0,  35.0,  105.0, 20, 0x28},
    { 110.0,  36.6,  110.0, 20, 0x30},
    { 112.0,  37.3,  112.0, 20, 0x38},
    { 115.0,  38.3,  115.0, 20, 0x40},
    { 120.0,  40.0,  120.0, 20, 0x48},
    { 124.0,  41.3,  124.0, 20, 0x50},
    { 133.6,  33.4,  133.6, 30, 0x58},
    { 138.0,  34.5,  138.0, 30, 0x60},
    { 143.0,  35.7,  143.0, 30, 0x68},
    { 150.0,  37.5,  150.0, 30, 0x70},
    { 155.0,  38.7,  155.0, 30, 0x78},
};

constexpr ClockEntry kRtm560_25Table[] = {
    // bus    pci    mem    band  select
    {  66.7,  33.3,   66.7, 10, 0x00},
    {  66.7,  33.3,  100.0, 11, 0x01},
    { 100.0,  33.3,  100.0, 20, 0x02},
    { 100.0,  33.3,  133.3, 21, 0x03},
    { 105.0,  35.0,  105.0, 20, 0x04},
    { 105.0,  35.0,  140.0, 21, 0x05},
    { 110.0,  36.7,  110.0, 20, 0x06},
    { 110.0,  36.7,  146.7, 21, 0x07},
    { 115.0,  38.3,  115.0, 20, 0x08},
    { 115.0,  38.3,  153.3, 21, 0x09},
    { 120.0,  40.0,  120.0, 20, 0x0A},
    { 133.3,  33.3,  100.0, 30, 0x0B},
    { 133.3,  33.3,  133.3, 31, 0x0C},
    { 140.0,  35.0,  105.0, 30, 0x0D},
    { 140.0,  35.0,  140.0, 31, 0x0E},
    { 145.0,  36.3,  145.0, 31, 0x0F},
    { 150.0,  37.5,  150.0, 31, 0x10},
};

constexpr ClockEntry kCkg66bTable[] = {
    // bus    pci    mem    band  select
    {  60.0,  30.0,   60.0, 10, 0x00},
    {  66.8,  33.4,   66.8, 10, 0x01},
    {  68.5,  34.3,   68.5, 10, 0x02},
    {  75.0,  37.5,   75.0, 10, 0x03},
    {  83.3,  41.7,   83.3, 10, 0x04},
    { 100.2,  33.4,  100.2, 20, 0x05},
    { 112.0,  37.3,  112.0, 20, 0x06},
};

constexpr ClockEntry kCkg100aTable[] = {
    // bus    pci    mem    band  select
    { 100.0,  33.3,  100.0, 20, 0x00},
    { 103.0,  34.3,  103.0, 20, 0x02},
    { 105.0,  35.0,  105.0, 20, 0x04},
    { 108.0,  36.0,  108.0, 20, 0x06},
    { 110.0,  36.7,  110.0, 20, 0x08},
    { 112.0,  37.3,  112.0, 20, 0x0A},
    { 115.0,  38.3,  115.0, 20, 0x0C},
    { 118.0,  39.3,  118.0, 20, 0x0E},
    { 120.0,  40.0,  120.0, 20, 0x10},
    { 124.0,  41.3,  124.0, 20, 0x12},
    {  66.8,  33.4,   66.8, 10, 0x14},
    { 133.3,  44.4,  133.3, 20, 0x16},
    { 140.0,  46.7,  140.0, 20, 0x18},
};

constexpr ClockEntry kCkg133cTable[] = {
    // bus    pci    mem    band  select
    { 100.0,  33.3,  100.0, 20, 0x00},
    { 100.0,  33.3,  133.3, 21, 0x01},
    { 133.3,  33.3,  133.3, 31, 0x02},
    { 133.3,  33.3,  100.0, 30, 0x03},
    { 136.0,  34.0,  136.0, 31, 0x04},
    { 140.0,  35.0,  140.0, 31, 0x05},
    { 145.0,  36.3,  145.0, 31, 0x06},
    { 150.0,  37.5,  150.0, 31, 0x07},
    { 155.0,  38.8,  155.0, 31, 0x08},
    { 160.0,  40.0,  160.0, 31, 0x09},
    { 166.0,  41.5,  166.0, 31, 0x0A},
    { 140.0,  35.0,  105.0, 30, 0x0B},
    { 150.0,  37.5,  112.5, 30, 0x0C},
};

constexpr ClockEntry kCkgFt64Table[] = {
    // bus    pci    mem    band  select
    { 100.0,  33.3,  100.0, 20, 0x00},
    { 101.0,  33.7,  101.0, 20, 0x01},
    { 102.0,  34.0,  102.0, 20, 0x02},
    { 103.0,  34.3,  103.0, 20, 0x03},
    { 104.0,  34.7,  104.0, 20, 0x04},
    { 105.0,  35.0,  105.0, 20, 0x05},
    { 106.0,  35.3,  106.0, 20, 0x06},
    { 107.0,  35.7,  107.0, 20, 0x07},
    { 108.0,  36.0,  108.0, 20, 0x08},
    { 109.0,  36.3,  109.0, 20, 0x09},
    { 110.0,  36.7,  110.0, 20, 0x0A},
    { 111.0,  37.0,  111.0, 20, 0x0B},
    { 112.0,  37.3,  112.0, 20, 0x0C},
    { 113.0,  37.7,  113.0, 20, 0x0D},
    { 114.0,  38.0,  114.0, 20, 0x0E},
    { 115.0,  38.3,  115.0, 20, 0x0F},
    { 116.0,  38.7,  116.0, 20, 0x10},
    { 117.0,  39.0,  117.0, 20, 0x11},
    { 118.0,  39.3,  118.0, 20, 0x12},
    { 119.0,  39.7,  119.0, 20, 0x13},
    { 120.0,  40.0,  120.0, 20, 0x14},
    { 121.0,  40.3,  121.0, 20, 0x15},
    { 122.0,  40.7,  122.0, 20, 0x16},
    { 123.0,  41.0,  123.0, 20, 0x17},
    { 124.0,  41.3,  124.0, 20, 0x18},
    { 125.0,  41.7,  125.0, 20, 0x19},
    { 126.0,  42.0,  126.0, 20, 0x1A},
    { 127.0,  42.3,  127.0, 20, 0x1B},
    { 128.0,  42.7,  128.0, 20, 0x1C},
    { 129.0,  43.0,  129.0, 20, 0x1D},
    { 130.0,  43.3,  130.0, 20, 0x1E},
    { 131.0,  43.7,  131.0, 20, 0x1F},
    { 132.0,  44.0,  132.0, 20, 0x20},
    { 133.0,  44.3,  133.0, 20, 0x21},
    { 134.0,  44.7,  134.0, 20, 0x22},
    { 135.0,  45.0,  135.0, 20, 0x23},
    { 136.0,  45.3,  136.0, 20, 0x24},
    { 137.0,  45.7,  137.0, 20, 0x25},
    { 138.0,  46.0,  138.0, 20, 0x26},
    { 139.0,  46.3,  139.0, 20, 0x27},
    { 140.0,  46.7,  140.0, 20, 0x28},
    { 141.0,  47.0,  141.0, 20, 0x29},
    { 142.0,  47.3,  142.0, 20, 0x2A},
    { 143.0,  47.7,  143.0, 20, 0x2B},
    { 144.0,  48.0,  144.0, 20, 0x2C},
    { 145.0,  48.3,  145.0, 20, 0x2D},
    { 146.0,  48.7,  146.0, 20, 0x2E},
    { 147.0,  49.0,  147.0, 20, 0x2F},
    { 148.0,  49.3,  148.0, 20, 0x30},
    { 149.0,  49.7,  149.0, 20, 0x31},
    { 150.0,  50.0,  150.0, 20, 0x32},
    { 151.0,  50.3,  151.0, 20, 0x33},
    { 152.0,  50.7,  152.0, 20, 0x34},
    { 153.0,  51.0,  153.0, 20, 0x35},
    { 154.0,  51.3,  154.0, 20, 0x36},
    { 155.0,  51.7,  155.0, 20, 0x37},
    { 156.0,  52.0,  156.0, 20, 0x38},
    { 157.0,  52.3,  157.0, 20, 0x39},
    { 158.0,  52.7,  158.0, 20, 0x3A},
    { 159.0,  53.0,  159.0, 20, 0x3B},
    { 160.0,  53.3,  160.0, 20, 0x3C},
    { 161.0,  53.7,  161.0, 20, 0x3D},
    { 162.0,  54.0,  162.0, 20, 0x3E},
    { 163.0,  54.3,  163.0, 20, 0x3F},
};

// Register 7 of the CKG chips: their identification byte.
constexpr int8_t kCkgIdRegister = 7;

}  // namespace

std::span<const ChipModel> InventedChipModels() {
    static const std::array<ChipModel, 7> models = {{
        // The test chip: the select is byte 0 of any block write; its table
        // comes from the machine description.
        {
            .name = "generic",
            .readBackLength = 8,
            .powerOnRegisters = {0x00, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF},
            .tableStated = true,
        },
        // Seven control bytes read back as one block; the select is byte 6
        // of a full-length write. A one-byte block (what a block-buffer
        // controller sends) selects with its only byte.
        {
            .name = "ICS9248-153",
            .readBackLength = 7,
            .powerOnRegisters = {0x00, 0xFF, 0xFF, 0xFF, 0x7F, 0xFF, 0x00},
            .selectIndex = 6,
            .fullBlockLength = 7,
            .shortBlockSelects = true,
            .table = kIcs9248_153Table,
        },
        // Seventeen bytes read back; register 16 must hold 0x4B and the two
        // word writes must have been seen before a one-byte select with
        // command 0x00 counts.
        {
            .name = "RTM560-25",
            .readBackLength = 17,
            .powerOnRegisters = {0x00, 0x0F, 0xFF, 0xFF, 0xFF, 0xFF, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00,
                                 0x00, 0x00, 0x00, 0x0B},
            .maxSelectBlockLength = 1,
            .selectCommand = 0x00,
            .armingWords = {{0x1F, 0x00, 0x02}, {0x10, 0x00, 0x49}},
            .guardRegister = 16,
            .guardValue = 0x4B,
            .table = kRtm560_25Table,
        },
        // The CKG chips take the select in byte 0 of any block write.
        {
            .name = "CKG-66B",
            .readBackLength = 8,
            .powerOnRegisters = {0x00, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0x6B},
            .table = kCkg66bTable,
            .idRegister = kCkgIdRegister,
        },
        {
            .name = "CKG-100A",
            .readBackLength = 8,
            .powerOnRegisters = {0x00, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0x1A},
            .table = kCkg100aTable,
            .selectEnable = 0x01,
            .idRegister = kCkgIdRegister,
        },
        {
            .name = "CKG-133C",
            .readBackLength = 8,
            .powerOnRegisters = {0x00, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0x3C},
            .table = kCkg133cTable,
            .selectEnable = 0x80,
            .idRegister = kCkgIdRegister,
        },
        {
            .name = "CKG-FT64",
            .readBackLength = 8,
            .powerOnRegisters = {0x00, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0x64},
            .table = kCkgFt64Table,
            .idRegister = kCkgIdRegister,
        },
    }};
    return models;
}

}  // namespace vc::sim
