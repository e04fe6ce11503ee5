// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <bit>

#include "registers/FormatStore.h"
#include "registers/ValueFormat.h"

using namespace vantor;

namespace {

struct OrderCase {
    int floatCode;
    int longCode;
    std::array<std::uint8_t, 4> wireOf1_5; // 1.5f = 3F C0 00 00
    const char* hexOf1_5;
};

const OrderCase kOrders[] = {
    {7, 12, {0x3F, 0xC0, 0x00, 0x00}, "3FC00000"},
    {8, 13, {0x00, 0x00, 0x3F, 0xC0}, "00003FC0"},
    {9, 14, {0xC0, 0x3F, 0x00, 0x00}, "C03F0000"},
    {10, 15, {0x00, 0x00, 0xC0, 0x3F}, "0000C03F"},
};

} // namespace

TEST(ValueFormat, EveryByteOrderDecodesAndEncodesTheSameValue) {
    for (const OrderCase& c : kOrders) {
        SCOPED_TRACE(c.floatCode);
        EXPECT_EQ(Format32(c.floatCode, c.wireOf1_5).view(), "1.500");
        EXPECT_EQ(EncodeValue(c.floatCode, "1.5"), c.hexOf1_5);
        EXPECT_EQ(Assemble32(c.longCode, c.wireOf1_5), 0x3FC00000u);
        // Distinct bytes catch a swap that a symmetric value would hide.
        for (int code : {c.floatCode, c.longCode}) {
            const std::array<std::uint8_t, 4> wire = {0x12, 0x34, 0x56, 0x78};
            EXPECT_EQ(Disassemble32(code, Assemble32(code, wire)), wire);
        }
    }
    EXPECT_EQ(Assemble32(13, {0x11, 0x22, 0x33, 0x44}), 0x33441122u);
    EXPECT_EQ(Assemble32(14, {0x11, 0x22, 0x33, 0x44}), 0x22114433u);
    EXPECT_EQ(Assemble32(15, {0x11, 0x22, 0x33, 0x44}), 0x44332211u);
}

TEST(ValueFormat, DecodesSignedUnsignedAndLongValues) {
    EXPECT_EQ(Format16(4, 0xFF, 0xFE).view(), "-2");
    EXPECT_EQ(Format16(5, 0xFF, 0xFE).view(), "65534");
    EXPECT_EQ(Format16(4, 0x80, 0x00).view(), "-32768");
    EXPECT_EQ(Format16(4, 0x7F, 0xFF).view(), "32767");
    EXPECT_EQ(Format32(12, {0xFF, 0xFF, 0xFF, 0xFE}).view(), "-2");
    EXPECT_EQ(Format32(15, {0xFE, 0xFF, 0xFF, 0xFF}).view(), "-2");
    EXPECT_EQ(Format32(12, {0x80, 0x00, 0x00, 0x00}).view(), "-2147483648");
    EXPECT_EQ(Format32(7, {0xC2, 0xF6, 0xE9, 0x79}).view(), "-123.456");
    EXPECT_EQ(Format32(7, {0x7F, 0x80, 0x00, 0x00}).view(), "inf");
}

TEST(ValueFormat, LenientConversionsReadLikeTheCLibrary) {
    EXPECT_EQ(LenientInt("  42abc"), 42);
    EXPECT_EQ(LenientInt("-17"), -17);
    EXPECT_EQ(LenientInt("+8"), 8);
    EXPECT_EQ(LenientInt("abc"), 0);
    EXPECT_EQ(LenientInt(""), 0);
    EXPECT_EQ(LenientInt("--3"), 0);
    EXPECT_EQ(LenientInt("99999999999999999999"), 2147483647);
    EXPECT_EQ(LenientInt("-99999999999999999999"), -2147483647 - 1);

    EXPECT_DOUBLE_EQ(LenientDouble(" 1.5kg"), 1.5);
    EXPECT_DOUBLE_EQ(LenientDouble("-2.5e2"), -250.0);
    EXPECT_DOUBLE_EQ(LenientDouble("+.5"), 0.5);
    EXPECT_DOUBLE_EQ(LenientDouble("0x1.8p1"), 3.0);
    EXPECT_DOUBLE_EQ(LenientDouble("x1"), 0.0);
    EXPECT_DOUBLE_EQ(LenientDouble("+-1"), 0.0);
    EXPECT_DOUBLE_EQ(LenientDouble("1e999"), std::numeric_limits<double>::max());
    EXPECT_DOUBLE_EQ(LenientDouble("-1e999"), -std::numeric_limits<double>::max());
    EXPECT_DOUBLE_EQ(LenientDouble("1e-999"), 0.0);
}

TEST(ValueFormat, EncodesWritesInUpperCaseHex) {
    EXPECT_EQ(EncodeValue(4, "-1"), "FFFF");
    EXPECT_EQ(EncodeValue(5, "65535"), "FFFF");
    EXPECT_EQ(EncodeValue(4, "65536"), "0000"); // only the low 16 bits fit a register
    EXPECT_EQ(EncodeValue(4, "hello"), "0000");
    EXPECT_EQ(EncodeValue(12, "-2.9"), "FFFFFFFE"); // truncated toward zero
    EXPECT_EQ(EncodeValue(13, "305419896"), "56781234");
    EXPECT_EQ(EncodeValue(12, "1e12"), "7FFFFFFF");
    EXPECT_EQ(EncodeValue(12, "-1e12"), "80000000");
    EXPECT_EQ(EncodeValue(7, "1e300"), "7F800000"); // beyond the float range
    EXPECT_EQ(EncodeValue(16, "5"), "");
    EXPECT_EQ(EncodeValue(6, "5"), "");
}

TEST(FormatStore, ThirtyTwoBitChoiceMarksTheNextCellAsItsContinuation) {
    FormatStore store;
    EXPECT_EQ(store.Get({PacketNo(30), 129}), 4);
    store.SetCellFormat({PacketNo(1), 9}, 7); // row 10: the continuation is the next column's top
    EXPECT_EQ(store.Get({PacketNo(1), 9}), 7);
    EXPECT_EQ(store.Get({PacketNo(1), 10}), 16);
    store.SetCellFormat({PacketNo(1), 9}, 5); // a 16-bit choice leaves the follower alone
    EXPECT_EQ(store.Get({PacketNo(1), 9}), 5);
    EXPECT_EQ(store.Get({PacketNo(1), 10}), 16);
    store.SetCellFormat({PacketNo(1), 129}, 12); // the last cell has no follower
    EXPECT_EQ(store.Get({PacketNo(1), 129}), 12);
    store.SetCellFormat({PacketNo(1), 0}, 6);
    store.SetCellFormat({PacketNo(1), 0}, 16);
    store.SetCellFormat({PacketNo(31), 0}, 7);
    store.SetCellFormat({PacketNo(1), -1}, 7);
    EXPECT_EQ(store.Get({PacketNo(1), 0}), 4);
    EXPECT_EQ(store.Get({PacketNo(0), 0}), 4);
    store.Reset();
    EXPECT_EQ(store.Get({PacketNo(1), 10}), 4);
}
