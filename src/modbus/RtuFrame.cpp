// SPDX-License-Identifier: GPL-3.0-or-later
#include "modbus/RtuFrame.h"

#include "modbus/Crc16.h"
#include "modbus/HexText.h"

namespace vantor {

namespace {

// Value of one hexadecimal digit, or -1 for any other character.
int HexDigitValue(char c) {
    if (c >= '0' && c <= '9') {
        return c - '0';
    }
    if (c >= 'a' && c <= 'f') {
        return c - 'a' + 10;
    }
    if (c >= 'A' && c <= 'F') {
        return c - 'A' + 10;
    }
    return -1;
}

std::size_t FirstNonHexPosition(std::string_view text) {
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (HexDigitValue(text[i]) < 0) {
            return i;
        }
    }
    return std::string_view::npos;
}

std::size_t FrameLengthOf(std::string_view commandText) {
    return commandText.size() / 2 + 2;
}

CommandTextError CheckCommandText(std::string_view text, std::size_t maxFrame) {
    if (text.empty()) {
        return CommandTextError::Empty;
    }
    // A stray character is reported before the length: it usually explains an odd count too.
    if (FirstNonHexPosition(text) != std::string_view::npos) {
        return CommandTextError::NotHexDigit;
    }
    if (text.size() % 2 != 0) {
        return CommandTextError::OddLength;
    }
    if (FrameLengthOf(text) > maxFrame) {
        return CommandTextError::TooLong;
    }
    return CommandTextError::None;
}

// The digit pairs keep the case they were typed in; only the CRC is formatted here.
std::string BuildTxText(std::string_view commandText, const Crc16& crc) {
    std::string text = "Tx :  ";
    text.reserve(text.size() + commandText.size() / 2 * 3 + 6);
    for (std::size_t i = 0; i < commandText.size(); i += 2) {
        text += commandText.substr(i, 2);
        text += ' ';
    }
    AppendHexBytes(text, crc);
    return text;
}

std::string DescribeCharacter(char c) {
    const auto value = static_cast<unsigned char>(c);
    if (value >= 0x20 && value < 0x7F) {
        return std::string{'\'', c, '\''};
    }
    return "byte 0x" + HexDigits(value, 2);
}

} // namespace

bool HexTextToBytes(std::string_view text, std::vector<std::uint8_t>& out) {
    out.clear();
    if (text.size() % 2 != 0) {
        return false;
    }
    out.reserve(text.size() / 2);
    for (std::size_t i = 0; i < text.size(); i += 2) {
        const int high = HexDigitValue(text[i]);
        const int low = HexDigitValue(text[i + 1]);
        if (high < 0 || low < 0) {
            out.clear();
            return false;
        }
        out.push_back(static_cast<std::uint8_t>(high << 4 | low));
    }
    return true;
}

RtuFrame BuildRtuFrame(std::string_view commandText, std::size_t maxFrame) {
    RtuFrame frame;
    frame.error = CheckCommandText(commandText, maxFrame);
    if (!frame.ok()) {
        return frame;
    }
    HexTextToBytes(commandText, frame.bytes);
    const Crc16 crc = CalcCrc16(frame.bytes);
    frame.bytes.push_back(crc[0]);
    frame.bytes.push_back(crc[1]);
    frame.txText = BuildTxText(commandText, crc);
    return frame;
}

std::string CommandTextErrorText(CommandTextError error, std::string_view commandText) {
    switch (error) {
    case CommandTextError::None:
        return {};
    case CommandTextError::Empty:
        return "command text is empty";
    case CommandTextError::OddLength:
        return "command text has an odd number of digits (" + std::to_string(commandText.size()) +
               ")";
    case CommandTextError::NotHexDigit: {
        const std::size_t pos = FirstNonHexPosition(commandText);
        if (pos == std::string_view::npos) {
            return "command text has a character that is not a hexadecimal digit";
        }
        // Positions count from 1, as a user reads the text.
        return "command text has a character that is not a hexadecimal digit: " +
               DescribeCharacter(commandText[pos]) + " at position " + std::to_string(pos + 1);
    }
    case CommandTextError::TooLong:
        return "frame of " + std::to_string(FrameLengthOf(commandText)) +
               " bytes is longer than the " + std::to_string(kWriteBufferSize) +
               "-byte write buffer";
    }
    return "command text is not valid";
}

} // namespace vantor
