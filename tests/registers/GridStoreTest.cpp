// SPDX-License-Identifier: GPL-3.0-or-later
// The register store's handling of function 2 replies: bits are shown only under the plain
// integer data format; any byte-order format leaves the cells as they were. And the stale flag
// of packets whose replies stopped.
#include <gtest/gtest.h>

#include <QByteArray>
#include <QSignalSpy>
#include <functional>
#include <string>
#include <vector>

#include "registers/RegisterStore.h"

using namespace vantor;

namespace {

// The value texts of cells 0..count-1 of a packet, joined by '|'.
std::string Values(const RegisterStore& store, int packet, int count) {
    std::string out;
    for (int cell = 0; cell < count; ++cell)
        out += (cell ? "|" : "") + store.valueText({PacketNo(packet), cell}).toStdString();
    return out;
}

} // namespace

TEST(GridStore, BitRepliesAreWrittenOnlyUnderTheIntegerFormat) {
    RegisterStore store;
    CommandImages images;
    images.packets[0].function = 2;
    images.packets[0].count = 10;
    store.setImages(images);
    for (int cell = 0; cell < 10; ++cell)
        store.setCellValue({PacketNo(1), cell}, QStringLiteral("x"));
    const QByteArray bits = QByteArray::fromHex("0502");
    const std::string untouched = "x|x|x|x|x|x|x|x|x|x";

    for (int format : {1, 2, 3}) {
        store.setDataFormat(format);
        ASSERT_EQ(store.dataFormat(), format);
        store.onBitReply(1, bits, 10);
        EXPECT_EQ(Values(store, 1, 10), untouched) << "data format " << format;
    }

    store.setDataFormat(0);
    store.onBitReply(1, bits, 10);
    EXPECT_EQ(Values(store, 1, 11), "1|0|1|0|0|0|0|0|0|1| ");

    // A refused data format keeps the current one, and with it the bits.
    store.setDataFormat(4);
    EXPECT_EQ(store.dataFormat(), 0);
    store.onBitReply(1, QByteArray::fromHex("FAFD"), 10);
    EXPECT_EQ(Values(store, 1, 10), "0|1|0|1|1|1|1|1|1|0");

    // Register replies are decoded under every data format.
    store.setDataFormat(2);
    store.onRegisterReply(2, QByteArray::fromHex("0001FFFE"), 2);
    EXPECT_EQ(Values(store, 2, 2), "1|-2");
    // Packet numbers outside 1..30 change nothing.
    store.setDataFormat(0);
    store.onBitReply(0, bits, 10);
    store.onBitReply(31, bits, 10);
    EXPECT_EQ(Values(store, 1, 10), "0|1|0|1|1|1|1|1|1|0");
}

TEST(GridStore, APacketIsStaleFromANoReplyToItsNextAcceptedReply) {
    RegisterStore store;
    store.setDataFormat(1); // a bit reply then leaves the cells, yet it is an answer
    QSignalSpy changes(&store, &RegisterStore::staleChanged);
    store.onNoReply(3);
    store.onNoReply(3);
    EXPECT_TRUE(store.isStale(PacketNo(3)));
    EXPECT_FALSE(store.isStale(PacketNo(2)));
    store.onBitReply(3, QByteArray::fromHex("05"), 8);
    EXPECT_FALSE(store.isStale(PacketNo(3)));
    store.onNoReply(3);
    store.onRegisterReply(3, QByteArray::fromHex("0001"), 1);
    store.onNoReply(0);
    store.onNoReply(31);
    EXPECT_FALSE(store.isStale(PacketNo(31)));
    QStringList seen;
    for (const auto& args : changes)
        seen << QStringLiteral("%1=%2").arg(args[0].toInt()).arg(args[1].toBool());
    EXPECT_EQ(seen, (QStringList{"3=1", "3=0", "3=1", "3=0"}));
}

TEST(GridStore, GridTextReadsValuesAndLabelsAndNothingOutsideTheGrids) {
    RegisterStore store;
    store.setCellValue({PacketNo(2), 13}, QStringLiteral("42"));   // row 4, value column 4
    store.setCellLabel({PacketNo(2), 13}, QStringLiteral("温度")); // its label, column 3
    struct Case {
        int grid, row, column;
        QString want;
    };
    for (const Case& c :
         {Case{2, 4, 4, QStringLiteral("42")}, Case{2, 4, 3, QStringLiteral("温度")},
          Case{0, 4, 4, {}}, Case{31, 4, 4, {}}, Case{2, 0, 4, {}}, Case{2, 11, 4, {}},
          Case{2, 4, 0, {}}, Case{2, 4, 27, {}}, Case{-5, -1, 99999, {}}})
        EXPECT_EQ(store.gridText(c.grid, c.row, c.column), c.want)
            << c.grid << "-" << c.row << "-" << c.column;
}

// Successive replies overwrite the cells in place whatever their texts' lengths: shorter,
// longer, the same length, a typed text, and a 32-bit value whose second cell shows "--".
TEST(GridStore, EachReplyReplacesTheCellTextsWhateverTheirLengths) {
    RegisterStore store;
    store.setCellValue({PacketNo(1), 0}, QStringLiteral("typed by hand"));
    const struct {
        const char* hex;
        const char* values;
    } replies[] = {
        {"7FFF0001", "32767|1"},  // longer texts over " " and the typed one
        {"00098000", "9|-32768"}, // shorter, then longer
        {"00080001", "8|1"},      // the same lengths
        {"FFFF7FFF", "-1|32767"},
    };
    for (const auto& r : replies) {
        store.onRegisterReply(1, QByteArray::fromHex(r.hex), 2);
        EXPECT_EQ(Values(store, 1, 2), r.values) << r.hex;
    }
    store.setCellFormat({PacketNo(1), 0}, 12); // long, AB CD
    store.onRegisterReply(1, QByteArray::fromHex("00012345"), 2);
    EXPECT_EQ(Values(store, 1, 2), "74565|--");
}

// Replies are decoded when their packet is next read. Whatever comes between (a shorter or a
// longer reply, a 32-bit format that marks the next cell, a bit reply, a typed value, a format
// choice, a label rebuild), a store read only at the end must hold what one read after every
// step holds.
TEST(GridStore, ReadingLateShowsWhatReadingAtEveryReplyShows) {
    using Step = std::function<void(RegisterStore&)>;
    const auto reply = [](const char* hex, int registers) -> Step {
        return [=](RegisterStore& s) { s.onRegisterReply(1, QByteArray::fromHex(hex), registers); };
    };
    const Step float0 = [](RegisterStore& s) { s.formats().SetRaw({PacketNo(1), 0}, 7); };
    const Step float1 = [](RegisterStore& s) { s.formats().SetRaw({PacketNo(1), 1}, 12); };
    const Step typed = [](RegisterStore& s) { s.setCellValue({PacketNo(1), 3}, "typed"); };
    const Step menu = [](RegisterStore& s) { s.setCellFormat({PacketNo(1), 2}, 13); };
    const Step bits = [](RegisterStore& s) { s.onBitReply(1, QByteArray::fromHex("05"), 4); };
    const Step labels = [](RegisterStore& s) { s.rebuildPointLabels(); };
    const std::vector<std::vector<Step>> runs = {
        {reply("000100020003000400050006", 6), reply("FFFF0007", 2)},
        {float1, reply("3F800000", 2), reply("3F8000004000", 3)},
        {float0, float1, reply("3F800000ABCD", 3), reply("0001", 1), reply("3F8000000009", 3)},
        {reply("00010002000300040005", 5), typed, reply("0009", 1)},
        {reply("0001000200030004", 4), menu, reply("0009", 1)},
        {reply("0001000200030004", 4), reply("00090009000900090009", 2)},
        {reply("0001000200030004", 4), bits, reply("0002", 1)},
        {reply("0001000200030004", 4), labels, reply("0002", 1)},
    };
    for (std::size_t run = 0; run < runs.size(); ++run) {
        RegisterStore everyStep;
        RegisterStore atTheEnd;
        for (const Step& step : runs[run]) {
            step(everyStep);
            (void)Values(everyStep, 1, 8);
            step(atTheEnd);
        }
        // The formats first: a 32-bit value marks its second cell when it is decoded.
        for (int cell = 0; cell < 8; ++cell)
            EXPECT_EQ(atTheEnd.formatCode({PacketNo(1), cell}),
                      everyStep.formatCode({PacketNo(1), cell}))
                << "run " << run << " cell " << cell;
        EXPECT_EQ(Values(atTheEnd, 1, 8), Values(everyStep, 1, 8)) << "run " << run;
    }
}
