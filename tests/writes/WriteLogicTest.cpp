// SPDX-License-Identifier: GPL-3.0-or-later
// The rules of the writes without a window: the write dialog's conversions, the command texts of
// a cell, a page, a coil and a page of coils, the values refused, and the frames typed in
// "发送命令".
#include <gtest/gtest.h>

#include "writes/WriteCommands.h"
#include "writes/WriteFields.h"

using namespace vantor;

namespace {

// Bits as a 16-character string, bit 15 first, like the boxes from left to right.
std::string Boxes(const std::array<bool, 16>& bits) {
    std::string s;
    for (int bit = 15; bit >= 0; --bit)
        s += bits[static_cast<std::size_t>(bit)] ? '1' : '0';
    return s;
}

std::array<bool, 16> OnlyBit(int bit) {
    std::array<bool, 16> bits{};
    bits[static_cast<std::size_t>(bit)] = true;
    return bits;
}

struct FieldsCase {
    const char* name;
    WriteFields fields;
    std::string decimal, binary, hex, unsignedText, boxes;
};

TEST(WriteFields, EachFieldKeepsTheOthersInStep) {
    const FieldsCase cases[] = {
        {"binary 1111", FieldsFromBinary("1111"), "15", "1111", "f", "15", "0000000000001111"},
        {"binary bit 15 is negative", FieldsFromBinary("1000000000000000"), "-32768",
         "1000000000000000", "8000", "32768", "1000000000000000"},
        {"box of bit 15 is unsigned", FieldsFromBits(OnlyBit(15)), "32768", "1000000000000000",
         "8000", "32768", "1000000000000000"},
        {"decimal -1", FieldsFromDecimal("-1"), "-1", "1111111111111111", "ffff", "65535",
         "1111111111111111"},
        {"cell text 65536 keeps its low bits", FieldsFromDecimal("65536"), "65536", "0", "0", "0",
         "0000000000000000"},
        {"hex shows the whole number", FieldsFromHex("1FFFF"), "-1", "11111111111111111", "1FFFF",
         "131071", "0000000000000000"},
        {"unsigned 40000", FieldsFromUnsigned("40000"), "-25536", "1001110001000000", "9c40",
         "40000", "1001110001000000"},
        {"binary longer than 16 clears the boxes", FieldsFromBinary("10000000000000001"), "1",
         "10000000000000001", "1", "1", "0000000000000000"},
    };
    for (const FieldsCase& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(c.fields.decimal, c.decimal);
        EXPECT_EQ(c.fields.binary, c.binary);
        EXPECT_EQ(c.fields.hex, c.hex);
        EXPECT_EQ(c.fields.unsignedText, c.unsignedText);
        EXPECT_EQ(Boxes(c.fields.bits), c.boxes);
    }
}

TEST(CellWrite, CommandTextsByFormat) {
    const WriteTarget target{1, 100};
    const struct {
        int code;
        const char *decimal, *unsignedText, *text;
    } cases[] = {
        {4, "-1", "65535", "01060069FFFF"},
        {5, "65535", "65535", "01060069FFFF"},
        {7, "1.5", "",
         "01100069000204"
         "3FC00000"},
        {8, "1.5", "",
         "01100069000204"
         "00003FC0"},
        {12, "-2.9", "",
         "01100069000204"
         "FFFFFFFE"},
        {15, "305419896", "",
         "01100069000204"
         "78563412"},
        {16, "1", "1", ""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(CellWriteText(target, 5, c.code, c.decimal, c.unsignedText), c.text) << c.code;
}

TEST(CellWrite, ValuesThatDoNotFitAreRefused) {
    const struct {
        int code;
        const char *decimal, *unsignedText;
        bool refused;
    } cases[] = {
        {4, "-32768", "32768", false},  {5, "65535", "65535", false}, {4, "-32769", "32767", true},
        {4, "65536", "0", true},        {5, "4464", "70000", true},   {4, "-1", "-1", true},
        {4, "12abc", "12", true},       {4, "", "0", true},           {7, "1.5e3", "", false},
        {7, "abc", "", true},           {7, "1e39", "", true},        {9, "nan", "", true},
        {12, "-2147483648", "", false}, {13, "2147483648", "", true}, {14, "12x", "", true},
        {16, "1", "1", true},
    };
    for (const auto& c : cases)
        EXPECT_EQ(!CellValueRefusal(c.code, c.decimal, c.unsignedText).empty(), c.refused)
            << c.code << " " << c.decimal << " " << c.unsignedText;
}

TEST(PageWrite, OneRequestUpTo123Registers) {
    const std::vector<PageCell> cells = {{4, "-1"}, {7, "1.5"}, {16, " "}, {5, "65535"}};
    EXPECT_EQ(PageWriteTexts({1, 100}, 4, cells), std::vector<std::string>{"011000640004"
                                                                           "08"
                                                                           "FFFF"
                                                                           "3FC00000"
                                                                           "FFFF"});
    EXPECT_TRUE(PageWriteTexts({1, 100}, 0, cells).empty());
}

// 130 registers: 123 and 7; with a float at cells 122-123 the first request stops before it.
TEST(PageWrite, LongPagesSplitWithoutCuttingA32BitValue) {
    std::vector<PageCell> cells(130, PageCell{4, "1"});
    std::vector<std::string> texts = PageWriteTexts({2, 0}, 130, cells);
    ASSERT_EQ(texts.size(), 2u);
    EXPECT_EQ(texts[0].substr(0, 14), "02100000007BF6");
    EXPECT_EQ(texts[0].size(), 14u + 123 * 4);
    EXPECT_EQ(texts[1].substr(0, 14), "0210007B00070E");
    cells[122] = {7, "1.5"};
    cells[123] = {16, " "};
    texts = PageWriteTexts({2, 0}, 130, cells);
    ASSERT_EQ(texts.size(), 2u);
    EXPECT_EQ(texts[0].substr(0, 14), "02100000007AF4");
    EXPECT_EQ(texts[1].substr(0, 22), "0210007A0008103FC00000");
}

TEST(CoilWrite, OneCoilOnOrOff) {
    EXPECT_EQ(CoilWriteText({1, 100}, 5, true), "01050069FF00");
    EXPECT_EQ(CoilWriteText({17, 0}, 0, false), "110500000000");
    for (const char* text : {"1", " 1", "-1"})
        EXPECT_TRUE(CoilIsOn(text)) << text;
    for (const char* text : {"0", " ", "", "x", "1.5"})
        EXPECT_FALSE(CoilIsOn(text)) << text;
}

// Coils packed least significant bit first; coils beyond the states given are off; more than
// 1968 coils go as a second request starting where the first stopped.
TEST(CoilWrite, PagesPackBitsAndSplit) {
    const struct {
        int count;
        std::vector<bool> coils;
        std::vector<std::string> texts;
    } cases[] = {
        {1, {true}, {"010F006400010101"}},
        {8, {true, false, true, false, false, false, false, true}, {"010F006400080185"}},
        {9, {false, true, false, false, false, false, false, false, true}, {"010F00640009020201"}},
        {9, {true}, {"010F00640009020100"}},
        {0, {true}, {}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(CoilPageWriteTexts({1, 100}, c.count, c.coils), c.texts) << c.count;

    std::vector<bool> all(1969, true);
    all[1968] = false;
    const std::vector<std::string> split = CoilPageWriteTexts({1, 100}, 1969, all);
    ASSERT_EQ(split.size(), 2u);
    EXPECT_EQ(split[0], "010F006407B0F6" + std::string(246 * 2, 'F'));
    EXPECT_EQ(split[1], "010F081400010100");
}

TEST(CustomSend, TypedFrames) {
    const struct {
        std::string typed;
        std::string digits; // "" when refused
    } cases[] = {
        {"01 03 00 00 00 0A", "01030000000A"},
        {" 01 06\n00 00\t00 64 ", "010600000064"},
        {"0a0b", "0A0B"},
        {"   \n", ""},
        {"01 0G", ""},
        {"01 0", ""},
        {std::string(254 * 2, 'a'), std::string(254 * 2, 'A')},
        {std::string(255 * 2, 'A'), ""},
    };
    for (const auto& c : cases) {
        const CustomText parsed = ParseCustomText(c.typed);
        EXPECT_EQ(parsed.digits, c.digits) << c.typed;
        EXPECT_EQ(parsed.refusal.empty(), !parsed.digits.empty()) << c.typed;
    }
}

} // namespace
