// SPDX-License-Identifier: GPL-3.0-or-later
#include "modbus/Crc16.h"
#include "modbus/RtuFrame.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace vantor {
namespace {

using Bytes = std::vector<std::uint8_t>;

Bytes Ascii(std::string_view s) {
    return Bytes(s.begin(), s.end());
}

// Bit-by-bit CRC-16/MODBUS, independent of the lookup tables under test.
std::uint16_t BitwiseCrc(const Bytes& data) {
    std::uint16_t crc = 0xFFFF;
    for (const std::uint8_t byte : data) {
        crc ^= byte;
        for (int bit = 0; bit < 8; ++bit) {
            crc = (crc & 1) ? static_cast<std::uint16_t>((crc >> 1) ^ 0xA001) : crc >> 1;
        }
    }
    return crc;
}

TEST(Crc16, CheckValuesLowByteFirst) {
    EXPECT_EQ(CalcCrc16(Ascii("123456789")), (Crc16{0x37, 0x4B}));
    EXPECT_EQ(CalcCrc16(Bytes{0x01, 0x03, 0x00, 0x00, 0x00, 0x01}), (Crc16{0x84, 0x0A}));
    EXPECT_EQ(CalcCrc16(Bytes{0x01, 0x06, 0x00, 0x00, 0x00, 0x64}), (Crc16{0x88, 0x21}));
    EXPECT_EQ(CalcCrc16(Bytes{0x01, 0x32, 0x00, 0x04}), (Crc16{0xA1, 0xD4}));
    EXPECT_EQ(CalcCrc16(Bytes{}), (Crc16{0xFF, 0xFF}));
}

TEST(Crc16, CoversBuffersLongerThan255Bytes) {
    Bytes data(300);
    for (std::size_t i = 0; i < data.size(); ++i) {
        data[i] = static_cast<std::uint8_t>(i * 7 + 3);
    }
    const std::uint16_t expected = BitwiseCrc(data);
    EXPECT_EQ(CalcCrc16(data), (Crc16{static_cast<std::uint8_t>(expected & 0xFF),
                                      static_cast<std::uint8_t>(expected >> 8)}));
    // Truncating the length to 8 bits would check only the first 44 bytes.
    EXPECT_NE(CalcCrc16(data), CalcCrc16(std::span(data).first(300 % 256)));
}

// Every length of the tail after the eight-byte blocks, short buffers and whole frames.
TEST(Crc16, EveryLengthMatchesTheBitwiseCrc) {
    Bytes data;
    for (std::size_t length = 0; length <= 270; ++length) {
        const std::uint16_t expected = BitwiseCrc(data);
        ASSERT_EQ(CalcCrc16(data), (Crc16{static_cast<std::uint8_t>(expected & 0xFF),
                                          static_cast<std::uint8_t>(expected >> 8)}))
            << length << " bytes";
        data.push_back(static_cast<std::uint8_t>(length * 37 + 11));
    }
}

TEST(RtuFrame, BytesAndTxText) {
    struct Case {
        std::string text;
        Bytes bytes;
        std::string tx;
    };
    const Case cases[] = {
        {"010300000001", {1, 3, 0, 0, 0, 1, 0x84, 0x0A}, "Tx :  01 03 00 00 00 01 84 0A "},
        {"01030000000a", {1, 3, 0, 0, 0, 0x0A, 0xC5, 0xCD}, "Tx :  01 03 00 00 00 0a C5 CD "},
        {"01030000000A", {1, 3, 0, 0, 0, 0x0A, 0xC5, 0xCD}, "Tx :  01 03 00 00 00 0A C5 CD "},
        {"010600000064", {1, 6, 0, 0, 0, 0x64, 0x88, 0x21}, "Tx :  01 06 00 00 00 64 88 21 "},
        {"01320004", {1, 0x32, 0, 4, 0xA1, 0xD4}, "Tx :  01 32 00 04 A1 D4 "},
    };
    for (const Case& c : cases) {
        const RtuFrame frame = BuildRtuFrame(c.text);
        ASSERT_TRUE(frame.ok()) << c.text;
        EXPECT_EQ(frame.bytes, c.bytes) << c.text;
        EXPECT_EQ(frame.txText, c.tx) << c.text;
    }
}

TEST(RtuFrame, RefusesBadTextsWithAReason) {
    struct Case {
        std::string text;
        CommandTextError error;
        std::string reason;
    };
    const Case cases[] = {
        {"", CommandTextError::Empty, "command text is empty"},
        {"01030000000", CommandTextError::OddLength,
         "command text has an odd number of digits (11)"},
        {"01G300000001", CommandTextError::NotHexDigit,
         "command text has a character that is not a hexadecimal digit: 'G' at position 3"},
        {"01 03", CommandTextError::NotHexDigit,
         "command text has a character that is not a hexadecimal digit: ' ' at position 3"},
        {std::string(1196, '0'), CommandTextError::TooLong,
         "frame of 600 bytes is longer than the 512-byte write buffer"},
    };
    for (const Case& c : cases) {
        const RtuFrame frame = BuildRtuFrame(c.text);
        EXPECT_EQ(frame.error, c.error) << c.text;
        EXPECT_TRUE(frame.bytes.empty() && frame.txText.empty()) << c.text;
        EXPECT_EQ(CommandTextErrorText(frame.error, c.text), c.reason);
    }
    // The limit is on the whole frame: 510 command bytes plus the CRC just fit.
    EXPECT_TRUE(BuildRtuFrame(std::string(1020, 'f')).ok());
    EXPECT_EQ(BuildRtuFrame(std::string(1022, 'f')).error, CommandTextError::TooLong);
    EXPECT_EQ(BuildRtuFrame("01030000", 5).error, CommandTextError::TooLong);
}

TEST(RtuFrame, HexTextToBytes) {
    Bytes out{9, 9};
    EXPECT_TRUE(HexTextToBytes("00fFa5", out));
    EXPECT_EQ(out, (Bytes{0x00, 0xFF, 0xA5}));
    EXPECT_FALSE(HexTextToBytes("0", out));
    EXPECT_FALSE(HexTextToBytes("0g", out));
    EXPECT_TRUE(out.empty());
}

} // namespace
} // namespace vantor
