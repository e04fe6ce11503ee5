// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The Modbus functions the program knows: what each reads, how many items one request may ask
// for, and how its reply is laid out. Configure, the console options and the reply judge all
// take these answers from here.
#include <algorithm>
#include <array>
#include <cstddef>

namespace vantor {

enum class FunctionReads { None, Bits, Registers };

// What a function is used for over the serial line.
enum class SerialUse {
    None,        // Modbus TCP only
    Polled,      // polled with the row's slave, address and count
    PolledFixed, // polled with one fixed request, whatever the row holds (function 50)
    Written,     // sent by the one-shot writes, answered by an echo of kWriteEchoLength bytes
};

// How a function is polled over Modbus TCP. Writes are never polled: they go out as one-shot
// writes, which build their own requests.
enum class TcpUse {
    None,      // not polled over Modbus TCP
    Listed,    // offered as the panel's fixed function, in the TCP function list
    PerPacket, // listed, and also polled as a packet's own function (start and count)
};

struct FunctionInfo {
    int code;
    FunctionReads reads;
    // Reply data bits per requested item: 1 per bit, kRegisterBits per register; functions 50
    // and 51 answer each item with a block of 4 and 5 registers. 0 where nothing is read.
    int replyBitsPerItem;
    // The reply carries a byte count before its data (functions 50 and 51 have their own
    // header instead).
    bool byteCount;
    SerialUse serial;
    TcpUse tcp;
    int tcpMaxCount; // the standard Modbus limit of one request; 0: none applies
};

// A polled serial reply: slave address, function code, byte count, data, two CRC bytes.
inline constexpr std::size_t kReplyOverhead = 5;
// The reply to a write: slave, function, address, value or count, CRC.
inline constexpr std::size_t kWriteEchoLength = 8;
inline constexpr int kRegisterBits = 16;
inline constexpr int kTcpMaxBits = 2000;
inline constexpr int kTcpMaxRegisters = 125;

inline constexpr std::array<FunctionInfo, 15> kFunctions = {{
    // code, what it reads, reply bits per item, byte count, serial use, TCP use, TCP count limit
    {1, FunctionReads::Bits, 1, true, SerialUse::Polled, TcpUse::PerPacket, kTcpMaxBits},
    {2, FunctionReads::Bits, 1, true, SerialUse::Polled, TcpUse::PerPacket, kTcpMaxBits},
    {3, FunctionReads::Registers, kRegisterBits, true, SerialUse::Polled, TcpUse::PerPacket,
     kTcpMaxRegisters},
    {4, FunctionReads::Registers, kRegisterBits, true, SerialUse::Polled, TcpUse::PerPacket,
     kTcpMaxRegisters},
    {5, FunctionReads::None, 0, false, SerialUse::Written, TcpUse::None, 0},
    {6, FunctionReads::None, 0, false, SerialUse::Written, TcpUse::None, 0},
    {15, FunctionReads::None, 0, false, SerialUse::Written, TcpUse::None, 0},
    {16, FunctionReads::None, 0, false, SerialUse::Written, TcpUse::None, 0},
    // File records: the request is no start and count, so no count limit applies.
    {20, FunctionReads::Registers, kRegisterBits, true, SerialUse::None, TcpUse::Listed, 0},
    {21, FunctionReads::None, 0, false, SerialUse::None, TcpUse::None, 0},
    {22, FunctionReads::None, 0, false, SerialUse::None, TcpUse::None, 0},
    {23, FunctionReads::Registers, kRegisterBits, true, SerialUse::None, TcpUse::Listed,
     kTcpMaxRegisters},
    {43, FunctionReads::None, 0, false, SerialUse::None, TcpUse::Listed, 0},
    {50, FunctionReads::Registers, 4 * kRegisterBits, false, SerialUse::PolledFixed, TcpUse::None,
     0},
    {51, FunctionReads::Registers, 5 * kRegisterBits, false, SerialUse::Polled, TcpUse::None, 0},
}};

// The function of a code, or nullptr when the program does not know it.
constexpr const FunctionInfo* FindFunction(int code) {
    const auto* found = std::ranges::find(kFunctions, code, &FunctionInfo::code);
    return found == kFunctions.end() ? nullptr : found;
}

// True for the functions the serial polling cycle can send (1, 2, 3, 4, 50, 51).
constexpr bool IsSerialPolled(const FunctionInfo* function) {
    return function != nullptr &&
           (function->serial == SerialUse::Polled || function->serial == SerialUse::PolledFixed);
}

// True for the functions a packet may poll over Modbus TCP as its own (1, 2, 3, 4).
constexpr bool IsTcpPolledPerPacket(const FunctionInfo* function) {
    return function != nullptr && function->tcp == TcpUse::PerPacket;
}

// Data bytes of a reply to count items.
std::size_t ReplyDataSize(const FunctionInfo& function, std::size_t count);

// The largest count a serial row of this function may ask for: the largest whose reply fits
// the receive assembly, or any 16-bit count where the request is fixed. 0 if it is not polled.
int SerialCountLimit(const FunctionInfo& function);

// The codes of the fixed functions of the Modbus TCP function list, in its order.
inline constexpr std::size_t kTcpFunctionCount = static_cast<std::size_t>(
    std::ranges::count_if(kFunctions, [](const FunctionInfo& f) { return f.tcp != TcpUse::None; }));
inline constexpr std::array<int, kTcpFunctionCount> kTcpFunctionCodes = [] {
    std::array<int, kTcpFunctionCount> codes{};
    std::size_t i = 0;
    for (const FunctionInfo& f : kFunctions)
        if (f.tcp != TcpUse::None)
            codes[i++] = f.code;
    return codes;
}();

} // namespace vantor
