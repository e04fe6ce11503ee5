// SPDX-License-Identifier: GPL-3.0-or-later
#include "modbus/LogFormat.h"
#include "modbus/MbapFramer.h"

#include <gtest/gtest.h>

#include <vector>

namespace vantor {
namespace {

using Bytes = std::vector<std::uint8_t>;

// Reply to a read of two registers: header (transaction 0x0102, length 7) and PDU.
const Bytes kReply{0x01, 0x02, 0x00, 0x00, 0x00, 0x07, 0x01, 0x03, 0x04, 0x00, 0x01, 0xFF, 0xFE};

std::vector<Bytes> FramesOf(const std::vector<MbapEvent>& events) {
    std::vector<Bytes> frames;
    for (const MbapEvent& e : events) {
        EXPECT_EQ(e.kind, MbapEvent::Kind::Frame) << e.reason;
        frames.push_back(e.bytes);
    }
    return frames;
}

TEST(MbapFramer, WholeSplitAndJoinedReplies) {
    MbapFramer framer;
    EXPECT_EQ(FramesOf(framer.Feed(kReply)), std::vector<Bytes>{kReply});
    EXPECT_EQ(framer.buffered(), 0u);

    for (std::size_t cut = 1; cut < kReply.size(); ++cut) {
        const std::span<const std::uint8_t> all(kReply);
        EXPECT_TRUE(framer.Feed(all.first(cut)).empty()) << cut;
        EXPECT_EQ(FramesOf(framer.Feed(all.subspan(cut))), std::vector<Bytes>{kReply}) << cut;
        EXPECT_EQ(framer.buffered(), 0u);
    }

    Bytes second = kReply;
    second[1] = 0x03;
    Bytes joined = kReply;
    joined.insert(joined.end(), second.begin(), second.end());
    joined.push_back(0x00); // the start of a third
    EXPECT_EQ(FramesOf(framer.Feed(joined)), (std::vector<Bytes>{kReply, second}));
    EXPECT_EQ(framer.buffered(), 1u);
}

TEST(MbapFramer, MalformedHeadersDropEverythingBuffered) {
    struct Case {
        Bytes bytes;
        std::string reason;
    };
    const Case cases[] = {
        {{0x00, 0x01, 0x00, 0x01, 0x00, 0x05, 0x01, 0x03, 0x02, 0x00, 0x01},
         "protocol identifier 0x0001"},
        {{0x00, 0x01, 0x00, 0x00, 0x00, 0x02, 0x01, 0x03}, "length 2 outside 3..254"},
        {{0x00, 0x01, 0x00, 0x00, 0x00, 0xFF, 0x01, 0x03}, "length 255 outside 3..254"},
        {{'g', 'a', 'r', 'b', 'a', 'g', 'e', '!'}, "protocol identifier 0x7262"},
    };
    for (const Case& c : cases) {
        MbapFramer framer;
        const auto events = framer.Feed(c.bytes);
        ASSERT_EQ(events.size(), 1u);
        EXPECT_EQ(events[0].kind, MbapEvent::Kind::Malformed);
        EXPECT_EQ(events[0].bytes, c.bytes);
        EXPECT_EQ(events[0].reason, c.reason);
        EXPECT_EQ(framer.buffered(), 0u);
        // The framer recovers at the next reply.
        EXPECT_EQ(FramesOf(framer.Feed(kReply)), std::vector<Bytes>{kReply});
    }

    // A good reply before the bad header is still delivered; the rest is dropped.
    MbapFramer framer;
    Bytes stream = kReply;
    stream.insert(stream.end(), {0x00, 0x09, 0x12, 0x34, 0x00, 0x06, 0x01});
    const auto events = framer.Feed(stream);
    ASSERT_EQ(events.size(), 2u);
    EXPECT_EQ(events[0].bytes, kReply);
    EXPECT_EQ(events[1].kind, MbapEvent::Kind::Malformed);
    EXPECT_EQ(events[1].bytes.size(), 7u);
}

TEST(HexText, NumbersKeepTheirWidthAndBytesTheirBlanks) {
    const struct {
        std::uint32_t value;
        int digits;
        const char* text;
    } cases[] = {{0x0, 2, "00"},
                 {0xAB, 2, "AB"},
                 {0x1F, 4, "001F"},
                 {0x12345, 4, "2345"},
                 {0xFFFFFFFF, 8, "FFFFFFFF"},
                 {0x5, 0, ""}};
    for (const auto& c : cases)
        EXPECT_EQ(HexDigits(c.value, c.digits), c.text) << c.value << "/" << c.digits;
    EXPECT_EQ(HexBytes(Bytes{0x00, 0x0F, 0xF0, 0xab}), "00 0F F0 AB ");
    EXPECT_EQ(HexBytes(Bytes{}), "");
}

TEST(LogFormat, LineForms) {
    const TimeOfDay t{9, 5, 3, 7};
    EXPECT_EQ(TimeStamp(t, false), "09:05:03:007");
    EXPECT_EQ(TimeStamp({23, 59, 59, 999}, true), "23:59:59:999 ");
    EXPECT_EQ(TimeStamp({100, 0, -1, 1000}, true), "100:00:-1:1000 "); // as printf has it
    EXPECT_EQ(NoticeLine(t, "数据包 1 无应答"), "09:05:03:007 数据包 1 无应答");
    EXPECT_EQ(SerialTxLine(t, "Tx :  01 03 00 00 00 01 84 0A "),
              "09:05:03:007 Tx :  01 03 00 00 00 01 84 0A ");
    const Bytes request{0x00, 0x01, 0x00, 0x00, 0x00, 0x06, 0x01, 0x03, 0x00, 0x00, 0x00, 0x0A};
    EXPECT_EQ(TcpTxLine(t, request), "09:05:03:007 Tx:   00 01 00 00 00 06 01 03 00 00 00 0A ");
    EXPECT_EQ(PolledRxLine(t, HexBytes(Bytes{0x01, 0xAB})), "09:05:03:007 Rx:   01 AB ");
    EXPECT_EQ(EchoRxLine(t, "01 06 "), "09:05:03:007 Rx :  01 06 ");

    const TimeOfDay now = LocalTimeOfDay();
    EXPECT_TRUE(now.hour >= 0 && now.hour < 24 && now.minute >= 0 && now.minute < 60);
    EXPECT_TRUE(now.millisecond >= 0 && now.millisecond < 1000);
}

} // namespace
} // namespace vantor
