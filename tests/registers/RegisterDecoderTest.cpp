// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <vector>

#include "registers/PointLabel.h"
#include "registers/RegisterDecoder.h"
#include "registers/RegisterImage.h"

using namespace vantor;

namespace {

FormatStore::PacketFormats DefaultFormats() {
    FormatStore::PacketFormats formats;
    formats.fill(kDefaultFormatCode);
    return formats;
}

std::vector<std::string> Texts(const std::vector<CellText>& cells) {
    std::vector<std::string> texts;
    for (const CellText& c : cells)
        texts.push_back(std::to_string(c.cell) + "=" + c.text);
    return texts;
}

} // namespace

TEST(RegisterDecoder, DecodesEachCellInItsFormatAndMarksContinuations) {
    auto formats = DefaultFormats();
    formats[1] = 5;
    formats[2] = 7;
    formats[4] = 99; // unknown: the cell keeps its text
    const std::vector<std::uint8_t> data = {0xFF, 0xFE, 0xFF, 0xFE, 0x3F, 0xC0,
                                            0x00, 0x00, 0x00, 0x01, 0x00, 0x02};
    EXPECT_EQ(Texts(DecodeRegisters(data, 6, formats)),
              (std::vector<std::string>{"0=-2", "1=65534", "2=1.500", "3=--", "5=2"}));
    EXPECT_EQ(formats[3], 16);
}

TEST(RegisterDecoder, ContinuationOfRowTenIsTheNextColumnsTop) {
    auto formats = DefaultFormats();
    formats[9] = 12;
    std::vector<std::uint8_t> data(24, 0);
    data[18] = data[19] = data[20] = 0xFF;
    data[21] = 0xFE;
    const auto cells = DecodeRegisters(data, 12, formats);
    ASSERT_EQ(cells.size(), 12u);
    EXPECT_EQ(cells[9].text, "-2");
    EXPECT_EQ(cells[10].text, "--");
    EXPECT_EQ(formats[10], 16);
    EXPECT_EQ(CellRow(10), 1);
    EXPECT_EQ(CellValueColumn(10), 4);
    EXPECT_EQ(CellFromGrid(10, 2), 9);
    EXPECT_EQ(CellFromGrid(1, 26), 120);
}

TEST(RegisterDecoder, NeverReadsPastTheReply) {
    // A 32-bit cell on the last register (of the count or of the bytes) has no second
    // register: it shows "--", never an old or a made-up value.
    auto formats = DefaultFormats();
    formats[1] = 7;
    const std::vector<std::uint8_t> two = {0x00, 0x05, 0x3F, 0xC0};
    EXPECT_EQ(Texts(DecodeRegisters(two, 2, formats)), (std::vector<std::string>{"0=5", "1=--"}));
    EXPECT_EQ(formats[2], 4);
    EXPECT_EQ(Texts(DecodeRegisters(two, 3, formats)), (std::vector<std::string>{"0=5", "1=--"}));

    // A reply shorter than its register count stops at its last whole register.
    auto plain = DefaultFormats();
    const std::vector<std::uint8_t> shortReply = {0x00, 0x01, 0x00};
    EXPECT_EQ(Texts(DecodeRegisters(shortReply, 10, plain)), (std::vector<std::string>{"0=1"}));
    EXPECT_TRUE(DecodeRegisters({}, 5, plain).empty());
    EXPECT_TRUE(DecodeRegisters(shortReply, -3, plain).empty());

    // At most 130 cells even when more registers arrive.
    const std::vector<std::uint8_t> big(2 * 140, 0);
    EXPECT_EQ(DecodeRegisters(big, 140, plain).size(), 130u);
}

TEST(RegisterDecoder, BitsAreReadLeastSignificantFirst) {
    const std::vector<std::uint8_t> data = {0x05, 0x02};
    std::string bits;
    for (const CellText& c : DecodeBits(data, 10))
        bits += c.text;
    EXPECT_EQ(bits, "1010000001");
    EXPECT_EQ(DecodeBits(data, 40).size(), 16u); // only the bits that arrived
    EXPECT_EQ(DecodeBits(std::vector<std::uint8_t>(20, 0xFF), 160).size(), 130u);
}

TEST(PointLabel, PrefixAndZeroPaddedAddress) {
    EXPECT_EQ(PointLabel(3, 0, 1, 0), "4x00001");
    EXPECT_EQ(PointLabel(4, 100, 0, 12), "3x00112");
    EXPECT_EQ(PointLabel(2, 0, 0, 5), "3x00005");
    EXPECT_EQ(PointLabel(1, 7, 1, 2), "0x00010");
    EXPECT_EQ(PointLabel(3, 65535, 1, 129), "4x65665"); // six digits are not cut
    EXPECT_EQ(PointLabel(3, 99999, 1, 0), "4x100000");
}

TEST(RegisterImage, PointLabelRebuildFollowsEachPacketsCount) {
    CommandImages images;
    images.packets[0] = {"", {}, 1, 3, 0, 25};
    images.packets[1] = {"", {}, 1, 4, 100, 0};
    RegisterImage image;
    image.SetValue({PacketNo(1), 0}, "123");
    image.SetValue({PacketNo(2), 3}, "7");
    image.RebuildPointLabels(images, 1);
    EXPECT_EQ(image.At({PacketNo(1), 0}).label, "4x00001");
    EXPECT_EQ(image.At({PacketNo(1), 0}).value, " ");
    EXPECT_EQ(image.At({PacketNo(1), 24}).label, "4x00025"); // column 6, row 5
    EXPECT_EQ(image.At({PacketNo(1), 25}).label, " ");
    for (const auto& cell : image.Packet(PacketNo(2))) {
        EXPECT_EQ(cell.label, " ");
        EXPECT_EQ(cell.value, " ");
    }

    image.Apply(PacketNo(1), {{0, "1"}, {129, "9"}, {130, "x"}, {-1, "x"}});
    EXPECT_EQ(image.At({PacketNo(1), 0}).value, "1");
    EXPECT_EQ(image.At({PacketNo(1), 129}).value, "9");
    image.SetValue({PacketNo(31), 0}, "x");
    EXPECT_EQ(image.At({PacketNo(31), 0}).value, " ");
    EXPECT_EQ(image.At({PacketNo(1), 130}).value, " ");
}
