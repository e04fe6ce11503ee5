#include "modbus/ReplyRules.h"
#include "modbus/Crc16.h"
#include "modbus/FunctionTable.h"
#include "modbus/RxAssembly.h"

#include <gtest/gtest.h>

#include <vector>

namespace vantor {
namespace {

using Bytes = std::vector<std::uint8_t>;

// slave 1, function, byte count, data, CRC
Bytes MakeReply(std::uint8_t function, std::size_t dataBytes) {
    Bytes reply{0x01, function, static_cast<std::uint8_t>(dataBytes)};
    for (std::size_t i = 0; i < dataBytes; ++i) {
        reply.push_back(static_cast<std::uint8_t>(i * 13 + 1));
    }
    const Crc16 crc = CalcCrc16(reply);
    reply.insert(reply.end(), crc.begin(), crc.end());
    return reply;
}

TEST(ReplyRules, ExpectedLengthsAndDataSizes) {
    struct Case {
        SessionMode mode;
        int function, count;
        std::size_t length, dataBytes;
        int registers;
    };
    const Case cases[] = {
        {SessionMode::Polling, 2, 8, 6, 1, 0},
        {SessionMode::Polling, 2, 10, 7, 2, 0},
        {SessionMode::Polling, 2, 1, 6, 1, 0},
        {SessionMode::Polling, 50, 1, 13, 8, 4},
        {SessionMode::Polling, 51, 2, 25, 20, 10},
        {SessionMode::Polling, 51, 26, 265, 260, 130},
        {SessionMode::Polling, 3, 10, 25, 20, 10},
        {SessionMode::Polling, 4, 125, 255, 250, 125},
        {SessionMode::Polling, 3, 127, 259, 254, 127},
        // Codes the serial cycle cannot poll are read as registers, even one that reads bits.
        {SessionMode::Polling, 1, 10, 25, 20, 10},
        {SessionMode::Polling, 7, 3, 11, 6, 3},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "f=" << c.function << " n=" << c.count);
        EXPECT_EQ(ExpectedReplyLength(c.mode, c.function, c.count), c.length);
        EXPECT_EQ(ReplyDataBytes(c.function, c.count), c.dataBytes);
        EXPECT_EQ(ReplyRegisterCount(c.function, c.count), c.registers);
    }
    EXPECT_EQ(ExpectedReplyLength(SessionMode::OneShotWrite, 3, 10), 8u);
    EXPECT_EQ(ExpectedReplyLength(SessionMode::Idle, 3, 10), 0u);
}

TEST(ReplyRules, KindFollowsModeAndFunction) {
    EXPECT_EQ(ReplyKindOf(SessionMode::Polling, 2), ReplyKind::Bits);
    EXPECT_EQ(ReplyKindOf(SessionMode::Polling, 50), ReplyKind::Vendor50);
    EXPECT_EQ(ReplyKindOf(SessionMode::Idle, 51), ReplyKind::Vendor51);
    EXPECT_EQ(ReplyKindOf(SessionMode::Polling, 4), ReplyKind::Registers);
    EXPECT_EQ(ReplyKindOf(SessionMode::OneShotWrite, 2), ReplyKind::WriteEcho);
    EXPECT_EQ(ReplyKindOf(SessionMode::Polling, 1), ReplyKind::Registers);
}

// Configure and the console refuse a serial count above the limit; the judge must be able to
// take the reply to the limit itself.
TEST(FunctionTable, SerialLimitsAreTheLargestRepliesTheAssemblyHolds) {
    const struct { int function, limit; } cases[] = {{2, 2120}, {3, 132}, {4, 132}, {51, 26}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.function);
        ASSERT_NE(FindFunction(c.function), nullptr);
        EXPECT_EQ(SerialCountLimit(*FindFunction(c.function)), c.limit);
        EXPECT_LE(ExpectedReplyLength(SessionMode::Polling, c.function, c.limit),
                  RxAssembly::kCapacity);
        EXPECT_GT(ExpectedReplyLength(SessionMode::Polling, c.function, c.limit + 1),
                  RxAssembly::kCapacity);
    }
    EXPECT_EQ(SerialCountLimit(*FindFunction(50)), 0xFFFF); // its fixed request ignores the count
    EXPECT_EQ(SerialCountLimit(*FindFunction(1)), 0);
    EXPECT_EQ(SerialCountLimit(*FindFunction(16)), 0);
    EXPECT_EQ(FindFunction(7), nullptr);
    EXPECT_EQ(kTcpFunctionCodes, (std::array{1, 2, 3, 4, 5, 6, 15, 16, 20, 21, 22, 23, 43}));
}

TEST(ReplyRules, JudgesAReplyFedByteByByte) {
    const Bytes reply = MakeReply(0x03, 20);
    const std::size_t expected = ExpectedReplyLength(SessionMode::Polling, 3, 10);
    ASSERT_EQ(reply.size(), expected);
    EXPECT_EQ(JudgeReply(reply, expected), Judgement::Valid);

    RxAssembly rx;
    for (std::size_t i = 0; i + 1 < reply.size(); ++i) {
        ASSERT_TRUE(rx.Append(reply[i]));
        EXPECT_EQ(JudgeReply(rx.bytes(), expected), Judgement::Incomplete) << i;
    }
    rx.Append(reply.back());
    EXPECT_EQ(JudgeReply(rx.bytes(), expected), Judgement::Valid);
    rx.Append(0x00);
    EXPECT_EQ(JudgeReply(rx.bytes(), expected), Judgement::OverLength);
}

TEST(ReplyRules, RejectsBadCrcAndUnexpectedBytes) {
    Bytes reply = MakeReply(0x32, 8);
    EXPECT_EQ(JudgeReply(reply, 13), Judgement::Valid);
    reply[5] ^= 0x01; // one data bit flipped
    EXPECT_EQ(JudgeReply(reply, 13), Judgement::CrcError);
    reply[5] ^= 0x01;
    std::swap(reply[11], reply[12]); // CRC bytes in the wrong order
    EXPECT_EQ(JudgeReply(reply, 13), Judgement::CrcError);

    // While idle nothing is expected: any byte is too many.
    EXPECT_EQ(JudgeReply(Bytes{0x01}, 0), Judgement::OverLength);
    EXPECT_EQ(JudgeReply(Bytes{}, 0), Judgement::Incomplete);

    // A write echo is judged over its first six bytes.
    const Bytes echo{0x01, 0x06, 0x00, 0x00, 0x00, 0x64, 0x88, 0x21};
    EXPECT_EQ(JudgeReply(echo, ExpectedReplyLength(SessionMode::OneShotWrite, 6, 1)),
              Judgement::Valid);
}

TEST(ReplyRules, RepliesLongerThan255BytesCheckTheirWholeCrc) {
    const Bytes reply = MakeReply(0x03, 254); // 127 registers
    ASSERT_EQ(reply.size(), 259u);
    EXPECT_EQ(JudgeReply(reply, 259), Judgement::Valid);
    Bytes late = reply;
    late[250] ^= 0x80; // past the first 255 bytes
    EXPECT_EQ(JudgeReply(late, 259), Judgement::CrcError);
}

TEST(RxAssembly, HoldsBytesAndHexTextUntilFull) {
    RxAssembly rx;
    rx.Append(0x0A);
    rx.Append(0xFF);
    EXPECT_EQ(rx.hexText(), "0A FF ");
    rx.Reset();
    EXPECT_EQ(rx.length(), 0u);
    EXPECT_EQ(rx.hexText(), "");

    for (std::size_t i = 0; i < RxAssembly::kCapacity; ++i) {
        ASSERT_TRUE(rx.Append(static_cast<std::uint8_t>(i)));
    }
    EXPECT_FALSE(rx.Append(0xEE)); // the 271st byte
    EXPECT_EQ(rx.length(), 270u);
    EXPECT_EQ(rx.hexText().size(), 270u * 3);
    EXPECT_EQ(rx.bytes().back(), static_cast<std::uint8_t>(269));

    rx.Reset();
    ASSERT_TRUE(rx.Append(0x42));
    EXPECT_EQ(Bytes(rx.bytes().begin(), rx.bytes().end()), Bytes{0x42});
    EXPECT_EQ(rx.hexText(), "42 ");
}

} // namespace
} // namespace vantor
