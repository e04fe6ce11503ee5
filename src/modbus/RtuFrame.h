// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The RTU sender's pure steps: command text (hex digit pairs, no CRC) to frame and Tx text.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace vantor {

// The serial write buffer: no frame longer than this is ever handed to the port.
inline constexpr std::size_t kWriteBufferSize = 512;

enum class CommandTextError { None, Empty, OddLength, NotHexDigit, TooLong };

struct RtuFrame {
    CommandTextError error = CommandTextError::None;
    std::vector<std::uint8_t> bytes; // command bytes followed by CRC first, CRC second
    std::string txText;              // "Tx :  " + digit pairs as typed + CRC, each pair and a blank

    bool ok() const { return error == CommandTextError::None; }
};

// Builds the frame of a command text. A text that is empty, of odd length, holds a character
// that is not a hexadecimal digit, or would make a frame longer than maxFrame is refused
// (error set, bytes and txText empty).
RtuFrame BuildRtuFrame(std::string_view commandText, std::size_t maxFrame = kWriteBufferSize);

// A short English reason for a refused text, for the error event ("odd number of digits" …).
std::string CommandTextErrorText(CommandTextError error, std::string_view commandText);

// Parses hex digit pairs into bytes; false on odd length or a non-hex character.
bool HexTextToBytes(std::string_view text, std::vector<std::uint8_t>& out);

} // namespace vantor
