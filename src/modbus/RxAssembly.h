// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The receive assembly: reply bytes since the last reset, and their hex text for the log (made
// only when a line is logged: the assembly takes every byte received).
#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>

namespace vantor {

class RxAssembly {
public:
    static constexpr std::size_t kCapacity = 270;

    // Appends one byte. Returns false, holding nothing new, when the assembly is already full:
    // the caller resets it and counts a data error.
    bool Append(std::uint8_t byte);
    // Appends a run of bytes that the caller knows to fit (length() + run <= kCapacity).
    void AppendRun(std::span<const std::uint8_t> run);
    void Reset();

    std::size_t length() const { return m_length; }
    std::span<const std::uint8_t> bytes() const { return {m_bytes.data(), m_length}; }
    std::string hexText() const; // "%02X " of each byte

private:
    std::array<std::uint8_t, kCapacity> m_bytes{};
    std::size_t m_length = 0;
};

} // namespace vantor
