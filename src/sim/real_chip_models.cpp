// Real frequency-select clock generators, from public facts: the ICS9xxx
// model list of the 86Box emulator (src/device/clock_ics9xxx.c, commit
// ded75f30d9e04f5185777db9f71f7129f87306ea; re-read at c23ad1befa2c, Aug
// 2026, where only the ICS9250-08's FS3 bit differs). Written down independently of
// the board database, so the database can be checked against them.
//
// Per chip: the register file at power-on, the FS pins (the register-0 bit
// that programs each, and where its strap shows inverted), and the frequency
// table by FS code: bus clock in 1/100 MHz, PCI divider, memory multiplier
// (absent where the facts give none).
#include <algorithm>
#include <array>
#include <initializer_list>

#include "sim/chip_model_lists.h"

namespace vc::sim {
namespace {

// Every chip here takes the hardware-select bit in register 0, bit 3.
constexpr uint8_t kHwSelectBit = 3;
constexpr double kTwoThirds = 2.0 / 3.0;

constexpr FsPin Pin(int8_t selectBit) { return {selectBit, {}}; }
constexpr FsPin Pin(int8_t selectBit, int8_t invertedReg, uint8_t invertedBit) {
    return {selectBit, {invertedReg, invertedBit}};
}
// A strap that register 0 cannot program; only its inverted copy shows.
constexpr FsPin StrapOnly(int8_t invertedReg, uint8_t invertedBit) { return {-1, {invertedReg, invertedBit}}; }
constexpr FsPin kNoPin{};

// --- frequency tables, four codes a line ------------------------------------------

// Eight codes only: FS3 exists, but codes 8-15 have no entry.
constexpr FsFrequency kIcs9150_08Table[] = {
    /*  0 */ {5000, 2}, {7500, 2}, {8333, 2}, {6680, 2},
    /*  4 */ {10300, 3}, {11200, 3}, {13333, 4}, {10020, 3},
};

constexpr FsFrequency kIcs9248_81Table[] = {
    /*  0 */ {9000, 3, 1.0}, {6670, 2, 1.5}, {9500, 3, kTwoThirds}, {10000, 3, kTwoThirds},
    /*  4 */ {10000, 3, 0.75}, {11200, 3, kTwoThirds}, {12400, 4, kTwoThirds}, {13330, 4, kTwoThirds},
    /*  8 */ {6670, 2, 1.0}, {7500, 3, 1.0}, {8330, 3, 1.0}, {9500, 3, 1.0},
    /* 12 */ {10000, 3, 1.0}, {11200, 3, 1.0}, {12400, 4, 1.0}, {13330, 4, 1.0},
};

// Also the ICS9248-143's: the facts list the same sixteen rows for it.
constexpr FsFrequency kIcs9248_95Table[] = {
    /*  0 */ {6667, 2}, {10000, 3}, {10030, 3}, {13333, 4},
    /*  4 */ {10500, 3}, {13337, 4}, {13700, 4}, {7500, 2},
    /*  8 */ {10000, 3}, {9500, 2}, {9700, 3}, {13333, 4},
    /* 12 */ {9000, 3}, {9622, 3}, {6681, 2}, {9150, 3},
};

constexpr FsFrequency kIcs9248_98Table[] = {
    /*  0 */ {8000, 2}, {7500, 2}, {8331, 2}, {6682, 2},
    /*  4 */ {10300, 3}, {11201, 3}, {6801, 2}, {10023, 3},
    /*  8 */ {12000, 3}, {11499, 3}, {10999, 3}, {10500, 3},
    /* 12 */ {14000, 4}, {15000, 4}, {12400, 4}, {13299, 4},
    /* 16 */ {13500, 4}, {12999, 4}, {12600, 4}, {11800, 3},
    /* 20 */ {11598, 3}, {9500, 3}, {9000, 3}, {8501, 3},
    /* 24 */ {16600, 4}, {16001, 4}, {15499, 4}, {14795, 4},
    /* 28 */ {14598, 4}, {14398, 4}, {14199, 4}, {13801, 4},
};

// Also the ICS9248-103's.
constexpr FsFrequency kIcs9248_101Table[] = {
    /*  0 */ {12400, 3}, {12000, 3}, {11499, 3}, {10999, 3},
    /*  4 */ {10500, 3}, {8331, 2}, {13700, 4}, {7500, 2},
    /*  8 */ {10000, 3}, {9500, 3}, {8331, 3}, {13333, 4},
    /* 12 */ {9000, 3}, {9622, 3}, {6682, 2}, {9150, 3},
};

constexpr FsFrequency kIcs9248_107Table[] = {
    /*  0 */ {10300, 3}, {10000, 3}, {10045, 3}, {10090, 3},
    /*  4 */ {10710, 2}, {10900, 3}, {11200, 3}, {11400, 4},
    /*  8 */ {11600, 4}, {11800, 4}, {13330, 3}, {12000, 4},
    /* 12 */ {12200, 4}, {12500, 4}, {5000, 2}, {6670, 4},
    /* 16 */ {13330, 3}, {13390, 3}, {13800, 4}, {14200, 4},
    /* 20 */ {14600, 4}, {15000, 4}, {15300, 4}, {15600, 4},
    /* 24 */ {15910, 3}, {16200, 4}, {16670, 4}, {16800, 4},
    /* 28 */ {17100, 4}, {17400, 4}, {17700, 4}, {18000, 4},
};

constexpr FsFrequency kIcs9248_112Table[] = {
    /*  0 */ {6680, 2, 1.5}, {6800, 2, 1.5}, {10030, 3, 1.0}, {10300, 3, 1.0},
    /*  4 */ {13372, 4, 0.75}, {14500, 4, 0.75}, {13372, 4, 0.75}, {13733, 4, 0.75},
    /*  8 */ {14000, 4, 0.75}, {14000, 2, 1.0}, {11800, 3, 1.0}, {12400, 3, 1.0},
    /* 12 */ {13369, 2, 1.0}, {13700, 2, 1.0}, {15000, 4, 0.75}, {7250, 2, 1.5},
    /* 16 */ {7500, 2, 1.5}, {8300, 6, 1.0}, {11000, 2, 1.0}, {12000, 3, 1.0},
    /* 20 */ {12500, 2, 1.0}, {6925, 1, 1.5}, {7000, 2, 1.5}, {7667, 2, 1.5},
    /* 24 */ {14500, 3, 1.0}, {6650, 2, 1.5}, {15000, 3, 1.0}, {9975, 3, 1.0},
    /* 28 */ {15500, 2, 1.0}, {16650, 3, 1.0}, {15333, 4, 0.75}, {13300, 4, 0.75},
};

constexpr FsFrequency kIcs9248_138Table[] = {
    /*  0 */ {6667, 2, 1.5}, {6687, 2, 1.5}, {6867, 2, 1.5}, {7134, 2, 1.5},
    /*  4 */ {10000, 3, 1.0}, {10030, 3, 1.0}, {10300, 3, 1.0}, {10700, 2, 1.0},
    /*  8 */ {13333, 4, 1.0}, {13372, 4, 1.0}, {13733, 4, 1.0}, {12000, 4, 1.0},
    /* 12 */ {13333, 4, 0.75}, {13372, 4, 0.75}, {13733, 4, 0.75}, {12000, 4, 0.75},
    /* 16 */ {13600, 4, 1.0}, {14000, 4, 1.0}, {14266, 3, 1.0}, {14533, 4, 1.0},
    /* 20 */ {13600, 4, 0.75}, {14000, 4, 0.75}, {14266, 3, 0.75}, {14533, 4, 0.75},
    /* 24 */ {14666, 3, 1.0}, {15333, 4, 1.0}, {16000, 4, 1.0}, {16667, 3, 1.0},
    /* 28 */ {14666, 3, 0.75}, {16000, 4, 0.75}, {16667, 3, 0.75}, {20000, 6, 1.0},
};

constexpr FsFrequency kIcs9248_141Table[] = {
    /*  0 */ {9000, 3}, {9500, 2}, {10100, 2}, {10200, 3},
    /*  4 */ {10090, 3}, {10300, 3}, {10500, 3}, {10000, 3},
    /*  8 */ {10700, 2}, {10900, 3}, {11000, 2}, {11100, 3},
    /* 12 */ {11300, 2}, {11500, 3}, {11700, 3}, {13330, 3},
    /* 16 */ {12000, 3}, {12500, 4}, {13000, 4}, {13372, 4},
    /* 20 */ {13500, 4}, {13700, 4}, {13900, 4}, {10000, 3},
    /* 24 */ {14000, 4}, {14300, 4}, {14500, 4}, {14800, 4},
    /* 28 */ {15000, 4}, {15500, 4}, {16666, 3}, {13333, 4},
};

// The facts give an AGP divider beside each row here, not a memory clock.
constexpr FsFrequency kIcs9248_151Table[] = {
    /*  0 */ {20000, 5}, {19000, 5}, {18000, 5}, {17000, 5},
    /*  4 */ {16600, 5}, {16000, 5}, {15000, 4}, {14500, 4},
    /*  8 */ {14000, 4}, {13600, 4}, {13000, 4}, {12400, 4},
    /* 12 */ {6667, 1}, {10000, 3}, {11800, 3}, {13333, 3},
    /* 16 */ {6680, 2}, {10020, 3}, {11500, 3}, {13340, 4},
    /* 20 */ {6680, 2}, {10020, 3}, {11000, 2}, {13340, 4},
    /* 24 */ {10500, 3}, {9000, 3}, {8500, 3}, {7800, 2},
    /* 28 */ {6667, 1}, {10000, 3}, {7500, 2}, {13333, 3},
};

constexpr FsFrequency kIcs9248_192Table[] = {
    /*  0 */ {6000, 2}, {6000, 2}, {6000, 2}, {6000, 2},
    /*  4 */ {6659, 2}, {6659, 2}, {6659, 2}, {6659, 2},
    /*  8 */ {6731, 2}, {6864, 2}, {6995, 2}, {7259, 2},
    /* 12 */ {6150, 2}, {6300, 2}, {6400, 2}, {6500, 2},
    /* 16 */ {6000, 2}, {6659, 2}, {5000, 2}, {4800, 2},
    /* 20 */ {5880, 2}, {5760, 2}, {5640, 2}, {5400, 2},
    /* 24 */ {6000, 2}, {6000, 2}, {6000, 2}, {6000, 2},
    /* 28 */ {6659, 2}, {6659, 2}, {6659, 2}, {6659, 2},
};

// Also the ICS9248-39's and the ICS9250-19's.
constexpr FsFrequency kIcs9250_08Table[] = {
    /*  0 */ {12400, 3}, {7500, 2}, {8333, 2}, {6680, 2},
    /*  4 */ {10300, 3}, {11200, 3}, {13300, 3}, {10030, 3},
    /*  8 */ {12000, 3}, {11500, 3}, {11000, 3}, {10500, 3},
    /* 12 */ {14000, 4}, {15000, 4}, {12400, 4}, {13300, 4},
};

constexpr FsFrequency kIcs9250_13Table[] = {
    /*  0 */ {9000, 2, 1.0}, {8901, 2, 1.0}, {8800, 2, 1.0}, {8699, 2, 1.0},
    /*  4 */ {8591, 2, 1.0}, {8501, 2, 1.0}, {8400, 2, 1.0}, {8200, 2, 1.0},
    /*  8 */ {8101, 2, 1.0}, {8000, 2, 1.0}, {8331, 2, 1.0}, {6849, 2, 1.0},
    /* 12 */ {7800, 2, 1.0}, {7500, 2, 1.0}, {7199, 2, 1.0}, {6682, 2, 1.0},
};

constexpr FsFrequency kIcs9250_14Table[] = {
    /*  0 */ {6781, 2, 1.5}, {7000, 2, 1.5}, {7201, 2, 1.5}, {6667, 2, 1.5},
    /*  4 */ {7301, 2, 1.5}, {7500, 2, 1.5}, {7700, 2, 1.5}, {7801, 2, 1.5},
    /*  8 */ {8000, 2, 1.5}, {8300, 2, 1.5}, {8449, 2, 1.5}, {10000, 2, 1.5},
    /* 12 */ {8608, 2, 1.5}, {8800, 2, 1.5}, {9000, 2, 1.5}, {9500, 2, 1.5},
    /* 16 */ {4990, 3, 1.0}, {10000, 3, 1.0}, {7485, 3, 1.0}, {6658, 3, 1.0},
    /* 20 */ {8284, 3, 1.0}, {8981, 3, 1.0}, {9480, 3, 1.0}, {10050, 3, 1.0},
    /* 24 */ {10478, 3, 1.0}, {11177, 3, 1.0}, {11477, 3, 1.0}, {10000, 3, 1.0},
    /* 28 */ {12375, 3, 1.0}, {13274, 3, 1.0}, {13975, 3, 1.0}, {14969, 3, 1.0},
};

// 32 rows, but only FS0-FS3 exist: codes 16-31 are out of reach.
constexpr FsFrequency kIcs9250_18Table[] = {
    /*  0 */ {8000, 2}, {7500, 2}, {8331, 2}, {6690, 2},
    /*  4 */ {10300, 3}, {11201, 3}, {6801, 2}, {10070, 3},
    /*  8 */ {12000, 3}, {11499, 3}, {10999, 3}, {10500, 3},
    /* 12 */ {14000, 4}, {15000, 4}, {12400, 4}, {13390, 4},
    /* 16 */ {13500, 4}, {12999, 4}, {12600, 4}, {11800, 4},
    /* 20 */ {11598, 4}, {9500, 3}, {9000, 3}, {8501, 3},
    /* 24 */ {16600, 4}, {16001, 4}, {15499, 4}, {14795, 4},
    /* 28 */ {14598, 4}, {14398, 4}, {14199, 4}, {13801, 4},
};

constexpr FsFrequency kIcs9250_23Table[] = {
    /*  0 */ {6900, 2, 1.5}, {7000, 2, 1.5}, {7100, 2, 1.5}, {6690, 2, 1.5},
    /*  4 */ {7200, 2, 1.5}, {7500, 2, 1.5}, {7660, 2, 1.5}, {8500, 2, 1.5},
    /*  8 */ {6800, 2, 1.5}, {7400, 2, 1.5}, {14000, 4, 1.0}, {13333, 4, 1.0},
    /* 12 */ {15000, 4, 1.0}, {15500, 4, 1.0}, {16600, 4, 1.0}, {16600, 3, 1.0},
    /* 16 */ {11177, 3, 1.0}, {10478, 3, 1.0}, {10951, 3, 1.0}, {10090, 3, 1.0},
    /* 20 */ {11700, 3, 1.0}, {12375, 3, 1.0}, {13333, 3, 1.0}, {14250, 3, 1.0},
    /* 24 */ {13600, 4, 0.75}, {14000, 4, 0.75}, {14300, 4, 0.75}, {13390, 4, 0.75},
    /* 28 */ {14667, 4, 0.75}, {14933, 4, 0.75}, {15330, 4, 0.75}, {16667, 4, 0.75},
};

constexpr FsFrequency kIcs9250_25Table[] = {
    /*  0 */ {5500, 2, 1.5}, {6000, 2, 1.5}, {6680, 2, 1.5}, {6833, 2, 1.5},
    /*  4 */ {7000, 2, 1.5}, {7200, 2, 1.5}, {7500, 2, 1.5}, {7700, 2, 1.5},
    /*  8 */ {8330, 3, 1.0}, {9000, 3, 1.0}, {10030, 3, 1.0}, {10300, 3, 1.0},
    /* 12 */ {11250, 3, 1.0}, {11500, 3, 1.0}, {12000, 3, 1.0}, {12500, 3, 1.0},
    /* 16 */ {12800, 4, 1.0}, {13000, 4, 1.0}, {13370, 4, 1.0}, {13700, 4, 1.0},
    /* 20 */ {14000, 4, 1.0}, {14500, 4, 1.0}, {15000, 4, 1.0}, {15333, 4, 1.0},
    /* 24 */ {12500, 4, 0.75}, {13000, 4, 0.75}, {13370, 4, 0.75}, {13700, 4, 0.75},
    /* 28 */ {14000, 4, 0.75}, {14500, 4, 0.75}, {15000, 4, 0.75}, {15333, 4, 0.75},
};

constexpr FsFrequency kIcs9250_30Table[] = {
    /*  0 */ {6667, 2, 1.5}, {6000, 2, 1.5}, {6680, 2, 1.5}, {6833, 2, 1.5},
    /*  4 */ {7000, 2, 1.5}, {7500, 2, 1.5}, {8000, 2, 1.5}, {8300, 2, 1.5},
    /*  8 */ {10000, 3, 1.0}, {9000, 3, 1.0}, {10030, 3, 1.0}, {10300, 3, 1.0},
    /* 12 */ {10500, 3, 1.0}, {11000, 3, 1.0}, {11500, 3, 1.0}, {20000, 6, 1.0},
    /* 16 */ {13333, 4, 1.0}, {16667, 4, 1.0}, {13370, 4, 1.0}, {13700, 4, 1.0},
    /* 20 */ {14000, 4, 1.0}, {14500, 4, 1.0}, {15000, 4, 1.0}, {16000, 4, 1.0},
    /* 24 */ {13333, 4, 0.75}, {16667, 4, 0.75}, {13370, 4, 0.75}, {13700, 4, 0.75},
    /* 28 */ {14000, 4, 0.75}, {14500, 4, 0.75}, {15000, 4, 0.75}, {16000, 4, 0.75},
};

// FS0-FS2 are straps only, so register 0 reaches codes 0, 8, 16 and 24.
constexpr FsFrequency kIcs9250_50Table[] = {
    /*  0 */ {6667, 2, 1.5}, {6667, 2, 1.5}, {6667, 2, 1.5}, {6667, 2, 1.5},
    /*  4 */ {6667, 2, 1.5}, {6667, 2, 1.5}, {6667, 2, 1.5}, {6667, 2, 1.5},
    /*  8 */ {10000, 3, 1.0}, {10000, 3, 1.0}, {10000, 3, 1.0}, {10000, 3, 1.0},
    /* 12 */ {10000, 3, 1.0}, {10000, 3, 1.0}, {10000, 3, 1.0}, {10000, 3, 1.0},
    /* 16 */ {13333, 4, 1.0}, {13333, 4, 1.0}, {13333, 4, 1.0}, {13333, 4, 1.0},
    /* 20 */ {13333, 4, 1.0}, {13333, 4, 1.0}, {13333, 4, 1.0}, {13333, 4, 1.0},
    /* 24 */ {13333, 4, 0.75}, {13333, 4, 0.75}, {13333, 4, 0.75}, {13333, 4, 0.75},
    /* 28 */ {13333, 4, 0.75}, {13333, 4, 0.75}, {13333, 4, 0.75}, {13333, 4, 0.75},
};

// --- FS pins ----------------------------------------------------------------------

const FsRules kIcs9150_08{{Pin(4, 4, 7), Pin(5, 4, 4), Pin(6, 5, 6), Pin(7, 4, 1), kNoPin}, kHwSelectBit,
                          kIcs9150_08Table};
const FsRules kIcs9248_39{{Pin(4, 3, 6), Pin(5, 4, 3), Pin(6, 1, 7), Pin(7, 4, 1), kNoPin}, kHwSelectBit,
                          kIcs9250_08Table};
const FsRules kIcs9248_81{{Pin(4, 1, 0), Pin(5, 2, 7), Pin(6, 5, 6), Pin(2, 5, 3), kNoPin}, kHwSelectBit,
                          kIcs9248_81Table};
const FsRules kIcs9248_95{{Pin(4), Pin(5, 4, 3), Pin(6), Pin(2, 4, 1), kNoPin}, kHwSelectBit, kIcs9248_95Table};
const FsRules kIcs9248_98{{Pin(4, 3, 6), Pin(5, 4, 3), Pin(6, 1, 7), Pin(7, 4, 1), Pin(2)}, kHwSelectBit,
                          kIcs9248_98Table};
const FsRules kIcs9248_101{{Pin(4), Pin(5, 4, 3), Pin(6), Pin(2, 4, 1), kNoPin}, kHwSelectBit, kIcs9248_101Table};
const FsRules kIcs9248_103{{Pin(4), Pin(5, 4, 3), Pin(6), Pin(2, 4, 1), kNoPin}, kHwSelectBit, kIcs9248_101Table};
const FsRules kIcs9248_107{{Pin(4, 4, 5), Pin(5, 3, 4), Pin(6, 3, 0), Pin(7, 3, 1), Pin(2, 4, 0)}, kHwSelectBit,
                           kIcs9248_107Table};
const FsRules kIcs9248_112{{Pin(4, 1, 6), Pin(5, 4, 2), Pin(6, 1, 5), Pin(7, 1, 7), Pin(2)}, kHwSelectBit,
                           kIcs9248_112Table};
const FsRules kIcs9248_138{{Pin(4, 2, 7), Pin(5, 1, 6), Pin(6, 1, 7), Pin(7, 3, 4), Pin(2, 3, 7)}, kHwSelectBit,
                           kIcs9248_138Table};
const FsRules kIcs9248_141{{Pin(4, 2, 7), Pin(5, 5, 3), Pin(6, 1, 7), Pin(7, 1, 4), Pin(2)}, kHwSelectBit,
                           kIcs9248_141Table};
// The facts give this chip no hardware-select bit; it has its sibling
// ICS9248-95's register file and pins, so it gets that one's (bit 3).
const FsRules kIcs9248_143{{Pin(4), Pin(5, 4, 3), Pin(6), Pin(2, 4, 1), kNoPin}, kHwSelectBit, kIcs9248_95Table};
const FsRules kIcs9248_151{{Pin(4), Pin(5), Pin(6, 3, 7), Pin(1, 1, 4), Pin(2, 1, 5)}, kHwSelectBit,
                           kIcs9248_151Table};
const FsRules kIcs9248_192{{Pin(4), Pin(5, 4, 3), Pin(6), Pin(7), Pin(2)}, kHwSelectBit, kIcs9248_192Table};
// FS3 programs register 0 bit 2, not bit 7: the model moved it in commit
// 9f0d240c7aac3dea2103ba643d07e9b02a47213e (Oct 2021, "Port ES1371 and ICS
// fixes from VFIO branch", checked against real boards by pass-through).
const FsRules kIcs9250_08{{Pin(4, 4, 7), Pin(5, 4, 4), Pin(6, 5, 6), Pin(2, 4, 1), kNoPin}, kHwSelectBit,
                          kIcs9250_08Table};
const FsRules kIcs9250_13{{Pin(4, 1, 4), Pin(5, 5, 7), Pin(6, 1, 5), Pin(2, 2, 7), kNoPin}, kHwSelectBit,
                          kIcs9250_13Table};
const FsRules kIcs9250_14{{Pin(4, 1, 6), Pin(5, 4, 2), Pin(6, 1, 5), Pin(7, 1, 7), Pin(2, 4, 4)}, kHwSelectBit,
                          kIcs9250_14Table};
const FsRules kIcs9250_18{{Pin(4, 4, 7), Pin(5, 4, 4), Pin(6, 5, 6), Pin(7, 4, 1), kNoPin}, kHwSelectBit,
                          kIcs9250_18Table};
const FsRules kIcs9250_19{{Pin(4, 4, 7), Pin(5, 4, 4), Pin(6, 5, 6), Pin(7, 4, 1), kNoPin}, kHwSelectBit,
                          kIcs9250_08Table};
const FsRules kIcs9250_23{{Pin(4, 1, 6), Pin(5, 4, 2), Pin(6, 1, 5), Pin(7, 1, 7), Pin(2, 4, 4)}, kHwSelectBit,
                          kIcs9250_23Table};
const FsRules kIcs9250_25{{Pin(4, 1, 6), Pin(5, 4, 2), Pin(6, 1, 5), Pin(7, 1, 7), Pin(2, 4, 4)}, kHwSelectBit,
                          kIcs9250_25Table};
const FsRules kIcs9250_30{{Pin(4, 1, 6), Pin(5, 4, 2), Pin(6, 1, 5), Pin(7, 1, 7), Pin(2, 4, 4)}, kHwSelectBit,
                          kIcs9250_30Table};
const FsRules kIcs9250_50{{StrapOnly(1, 6), StrapOnly(4, 2), StrapOnly(1, 5), Pin(7, 1, 7), Pin(2, 4, 4)},
                          kHwSelectBit, kIcs9250_50Table};

// --- the chips: name, register count and power-on bytes ----------------------------

ChipModel Real(std::string_view name, std::initializer_list<uint8_t> powerOn, const FsRules& fs) {
    ChipModel m{.name = name, .readBackLength = static_cast<uint8_t>(powerOn.size()), .powerOnRegisters = {}};
    std::copy(powerOn.begin(), powerOn.end(), m.powerOnRegisters.begin());
    m.fs = &fs;
    return m;
}

}  // namespace

std::span<const ChipModel> RealChipModels() {
    static const std::array<ChipModel, 23> models = {
        Real("ICS9150-08", {0x00, 0xFF, 0xFF, 0xFF, 0x6F, 0xBF}, kIcs9150_08),
        Real("ICS9248-39", {0x00, 0x7F, 0xFF, 0xBF, 0xF5, 0xFF}, kIcs9248_39),
        Real("ICS9248-81", {0x82, 0xFE, 0x7F, 0xFF, 0xFF, 0xB7}, kIcs9248_81),
        Real("ICS9248-95", {0x82, 0xFF, 0xFF, 0xFF, 0xD5, 0xFF}, kIcs9248_95),
        Real("ICS9248-98", {0x00, 0x7F, 0xFF, 0xBF, 0xF5, 0xFF, 0x06}, kIcs9248_98),
        Real("ICS9248-101", {0x82, 0xFF, 0xFF, 0xFF, 0xF5, 0xFF}, kIcs9248_101),
        Real("ICS9248-103", {0x82, 0xFF, 0xFF, 0xFF, 0xF5, 0xFF}, kIcs9248_103),
        Real("ICS9248-107", {0x02, 0xFF, 0xFF, 0xEC, 0xDE, 0xFF, 0x06}, kIcs9248_107),
        Real("ICS9248-112", {0x02, 0x1F, 0xFF, 0xFF, 0xFB, 0xFF, 0x06}, kIcs9248_112),
        Real("ICS9248-138", {0x02, 0x3F, 0x7F, 0x6F, 0xFF, 0xFF, 0x06}, kIcs9248_138),
        Real("ICS9248-141", {0x02, 0x6B, 0x7F, 0xFF, 0xFF, 0xE7, 0x06}, kIcs9248_141),
        Real("ICS9248-143", {0x82, 0xFF, 0xFF, 0xFF, 0xD5, 0xFF}, kIcs9248_143),
        Real("ICS9248-151", {0x80, 0x4F, 0xFF, 0x3F, 0xFF, 0xFF, 0x06}, kIcs9248_151),
        Real("ICS9248-192", {0x00, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF}, kIcs9248_192),
        Real("ICS9250-08", {0x00, 0xFF, 0xFF, 0xFF, 0x6D, 0xBF}, kIcs9250_08),
        Real("ICS9250-13", {0x82, 0xCF, 0x7F, 0xFF, 0xFF, 0xF7}, kIcs9250_13),
        Real("ICS9250-14", {0x02, 0x1F, 0xFF, 0xFF, 0xEB, 0xFF}, kIcs9250_14),
        Real("ICS9250-18", {0x02, 0xFF, 0xFF, 0xFF, 0x6D, 0xBF}, kIcs9250_18),
        Real("ICS9250-19", {0x02, 0xFF, 0xFF, 0xFF, 0x6D, 0xBF}, kIcs9250_19),
        Real("ICS9250-23", {0x02, 0x1F, 0xFF, 0xFF, 0xEB, 0xFF}, kIcs9250_23),
        Real("ICS9250-25", {0x02, 0x1F, 0xFF, 0xFF, 0xEB, 0xFF, 0x06}, kIcs9250_25),
        Real("ICS9250-30", {0x02, 0x0F, 0xFF, 0xFF, 0xEB, 0xFF, 0x06}, kIcs9250_30),
        Real("ICS9250-50", {0x02, 0x6F, 0xFF, 0xFF, 0xEF, 0xFF, 0x06}, kIcs9250_50),
    };
    return models;
}

}  // namespace vc::sim
