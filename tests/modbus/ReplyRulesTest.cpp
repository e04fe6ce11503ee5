// SPDX-License-Identifier: GPL-3.0-or-later
#include "modbus/ReplyRules.h"
#include "modbus/Crc16.h"
#include "modbus/FunctionTable.h"
#include "modbus/LogFormat.h"
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
        {SessionMode::Polling, 1, 10, 7, 2, 0},
        // Codes the serial cycle cannot poll are read as registers.
        {SessionMode::Polling, 7, 3, 11, 6, 3},
        {SessionMode::Polling, 15, 3, 11, 6, 3},
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
    EXPECT_EQ(ReplyKindOf(SessionMode::Polling, 1), ReplyKind::Bits);
    EXPECT_EQ(ReplyKindOf(SessionMode::Polling, 5), ReplyKind::Registers);
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
    EXPECT_EQ(SerialCountLimit(*FindFunction(1)), SerialCountLimit(*FindFunction(2)));
    EXPECT_EQ(SerialCountLimit(*FindFunction(50)), 0xFFFF); // its fixed request ignores the count
    EXPECT_EQ(SerialCountLimit(*FindFunction(5)), 0);
    EXPECT_EQ(SerialCountLimit(*FindFunction(16)), 0);
    EXPECT_EQ(FindFunction(7), nullptr);
    // Polling reads: the writes go out as one-shot writes only.
    EXPECT_EQ(kTcpFunctionCodes, (std::array{1, 2, 3, 4, 20, 23, 43}));
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

TEST(ReplyRules, ExceptionRepliesAndTheirNames) {
    EXPECT_TRUE(IsRtuExceptionReply(Bytes{0x01, 0x83, 0x02, 0xC0, 0xF1}, 1, 3));
    EXPECT_FALSE(IsRtuExceptionReply(Bytes{0x01, 0x83, 0x02, 0xC0, 0xF0}, 1, 3)); // CRC
    EXPECT_FALSE(IsRtuExceptionReply(Bytes{0x01, 0x83, 0x02, 0xC0, 0xF1}, 2, 3)); // slave
    EXPECT_FALSE(IsRtuExceptionReply(Bytes{0x01, 0x83, 0x02, 0xC0, 0xF1}, 1, 4)); // function
    const struct {
        int code;
        const char* text;
    } names[] = {
        {1, "0x01 非法功能"},       {2, "0x02 非法数据地址"},
        {3, "0x03 非法数据值"},     {4, "0x04 从站设备故障"},
        {5, "0x05 确认"},           {6, "0x06 从站设备忙"},
        {8, "0x08 存储奇偶性差错"}, {10, "0x0A 不可用网关路径"},
        {7, "0x07 未知异常"},       {11, "0x0B 网关目标设备响应失败"},
        {0xFF, "0xFF 未知异常"},
    };
    for (const auto& n : names)
        EXPECT_EQ(ExceptionText(1, 0x83, n.code),
                  std::string("数据包 1 异常应答：功能码 0x83，异常码 ") + n.text);
}

TEST(ReplyRules, RtuRepliesThatAnswerAnotherRequest) {
    using F = ReplyMismatch::Field;
    Bytes fromSlave5 = MakeReply(0x03, 4);
    fromSlave5[0] = 5;
    const struct {
        Bytes reply;
        int function, count;
        ReplyMismatch expected;
        const char* text;
    } cases[] = {
        {MakeReply(0x03, 4), 3, 2, {}, ""},
        {fromSlave5, 3, 2, {F::Slave, 5, 1}, "从站地址 5 ≠ 1"},
        {MakeReply(0x04, 4), 3, 2, {F::Function, 4, 3}, "功能码 0x04 ≠ 0x03"},
        {MakeReply(0x03, 6), 3, 2, {F::ByteCount, 6, 4}, "字节数 6 ≠ 4"},
        {MakeReply(0x02, 2), 2, 9, {}, ""},
        {MakeReply(0x02, 1), 2, 9, {F::ByteCount, 1, 2}, "字节数 1 ≠ 2"},
        {MakeReply(0x03, 4), 3, 130, {}, ""}, // 260 data bytes: the count byte wraps to 4
        {MakeReply(0x33, 7), 51, 1, {}, ""},  // no byte count in its layout
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        const ReplyMismatch got = CheckRtuReply(c.reply, 1, c.function, c.count);
        EXPECT_EQ(got, c.expected);
        EXPECT_EQ(MismatchText(got), c.text);
    }
}

TEST(ReplyRules, TcpRepliesThatAnswerAnotherRequest) {
    using F = ReplyMismatch::Field;
    const std::array<std::uint8_t, 12> request{0, 7, 0, 0, 0, 6, 1, 3, 0, 0, 0, 2};
    const struct {
        Bytes adu;
        ReplyMismatch expected;
        const char* text;
    } cases[] = {
        {{0, 7, 0, 0, 0, 3, 1, 0x83, 2}, {}, ""}, // an exception
        {{0, 7, 0, 0, 0, 7, 9, 3, 4, 0, 1, 0, 2}, {F::Unit, 9, 1}, "单元标识 9 ≠ 1"},
        {{0, 8, 0, 0, 0, 7, 1, 3, 4, 0, 1, 0, 2}, {F::Transaction, 8, 7}, "事务标识 8 ≠ 7"},
        {{0, 7, 0, 0, 0, 7, 1, 4, 4, 0, 1, 0, 2}, {F::Function, 4, 3}, "功能码 0x04 ≠ 0x03"},
        {{0, 7, 0, 0, 0, 3, 1, 0x84, 2}, {F::Function, 0x84, 3}, "功能码 0x84 ≠ 0x03"},
        {{0, 7, 0, 0, 0, 7, 1, 3, 2, 0, 1, 0, 2}, {F::Length, 2, 4}, "字节数 2 与报文长度 4 不符"},
        {{0, 7, 0, 0, 0, 5, 1, 3, 2, 0, 1}, {F::TooFew, 2, 4}, "数据 2 字节，少于所请求的 4 字节"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        const ReplyMismatch got = CheckTcpReply(c.adu, request, 2);
        EXPECT_EQ(got, c.expected);
        EXPECT_EQ(MismatchNoticeText(2, got), std::string("数据包 2 应答不匹配：") + c.text);
    }
}

TEST(ReplyRules, TheReplyLengthOfARequestSentByHand) {
    const struct {
        Bytes request;
        std::size_t length;
    } cases[] = {
        {{1, 6, 0, 0, 0, 0x64}, 8},               // write echo
        {{1, 0x10, 0, 0, 0, 1, 2, 0, 9}, 8},      // block write echo
        {{1, 3, 0, 0, 0, 2}, 9},                  // a read: by its count
        {{1, 2, 0, 0, 0, 10}, 7},                 // bits
        {{1, 3, 0, 0}, 0},                        // cut off: unknown
        {{1, 0x2B, 0x0E, 1, 0}, 0},               // not a function read by count
        {{1}, 0},
    };
    for (const auto& c : cases)
        EXPECT_EQ(RequestReplyLength(c.request), c.length) << HexBytes(c.request);
}

} // namespace
} // namespace vantor
