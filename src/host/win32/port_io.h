// The x86 port instructions, for the 9x family where a program may use them.
#pragma once

#include <cstdint>

namespace vc::win32 {

inline uint8_t PortIn8(uint16_t port) {
    uint8_t value;
    asm volatile("inb %w1, %b0" : "=a"(value) : "Nd"(port));
    return value;
}

inline void PortOut8(uint16_t port, uint8_t value) { asm volatile("outb %b0, %w1" : : "a"(value), "Nd"(port)); }

inline uint32_t PortIn32(uint16_t port) {
    uint32_t value;
    asm volatile("inl %w1, %0" : "=a"(value) : "Nd"(port));
    return value;
}

inline void PortOut32(uint16_t port, uint32_t value) { asm volatile("outl %0, %w1" : : "a"(value), "Nd"(port)); }

}  // namespace vc::win32
