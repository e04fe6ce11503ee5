// SPDX-License-Identifier: GPL-3.0-or-later
#include <algorithm>

#include <gtest/gtest.h>

#include "registers/PacketTable.h"

using namespace vantor;

namespace {

PacketRows RowsWith(std::initializer_list<DataPacket> first) {
    PacketRows rows{};
    std::size_t i = 0;
    for (const DataPacket& row : first)
        rows[i++] = row;
    return rows;
}

ConfigureResult Serial(const PacketRows& rows) {
    return Configure(rows, LinkKind::Serial, {});
}

} // namespace

TEST(Configure, SerialRowsBecomeUpperCaseCommandTexts) {
    const auto result = Serial(RowsWith({{"17", "3", "100", "10", true},
                                         {"1", "04", "65416", "120", false},
                                         {"255", "02", "0", "16", true},
                                         {"1", "51", "0", "2", false},
                                         {"9", "50", "77", "500", true}}));
    const auto& p = result.images.packets;
    EXPECT_EQ(p[0].serialText, "11030064000A");
    EXPECT_EQ(p[1].serialText, "0104FF880078"); // the last register, 65535, included
    EXPECT_EQ(p[2].serialText, "FF0200000010");
    EXPECT_EQ(p[3].serialText, "013300000002");
    EXPECT_EQ(p[4].serialText, "01320004");
    EXPECT_EQ(p[4].count, 1);
    EXPECT_EQ(p[0].slave, 17);
    EXPECT_EQ(p[0].function, 3);
    EXPECT_EQ(p[0].start, 100);
    EXPECT_EQ(p[0].count, 10);
    // Default rows: "1", "03", "0", "0" give an image with count 0, never sent.
    EXPECT_EQ(p[5].serialText, "010300000000");
    EXPECT_EQ(p[5].count, 0);
    EXPECT_EQ(result.images.totalCount, 10 + 120 + 16 + 2 + 1);
    EXPECT_EQ(result.images.checkedRows, 3);
    EXPECT_TRUE(result.errors.empty());
}

TEST(Configure, SerialRefusesRowsItCannotSend) {
    // Modbus TCP with a fixed unit and function does not read the rows' slaves and functions.
    const auto result = Configure(RowsWith({{"1", "6", "0", "5", true},
                                            {"300", "3", "0", "7", true},
                                            {"-1", "3", "0", "7", false},
                                            {"abc", "xyz", "", "4", true}}),
                                  LinkKind::Serial, WithFunctionEntry(TcpHeader{}, 3));
    const auto& p = result.images.packets;
    for (int i = 0; i < 4; ++i) {
        SCOPED_TRACE(i);
        EXPECT_TRUE(p[static_cast<std::size_t>(i)].serialText.empty());
        // Refused for the serial line only: Modbus TCP sends them.
        EXPECT_TRUE(p[static_cast<std::size_t>(i)].sendsOn(LinkKind::Tcp));
    }
    ASSERT_EQ(result.errors.size(), 4u);
    EXPECT_EQ(result.errors[0], "数据包 1：功能码 6 不能发送");
    EXPECT_NE(result.errors[1].find("数据包 2"), std::string::npos);
    EXPECT_NE(result.errors[3].find("功能码 0"), std::string::npos); // non-numeric reads as 0
    EXPECT_EQ(result.refusedPackets, (std::vector<int>{1, 2, 4}));
    EXPECT_EQ(result.images.totalCount, 5 + 7 + 7 + 4);
    EXPECT_EQ(result.images.checkedRows, 3);
}

TEST(Configure, TcpRowsBecomeTwelveByteRequests) {
    TcpHeader header;
    header.transactionLo = 1;
    header = WithFunctionEntry(header, 3); // function 3 to the header's unit for every packet
    const auto rows = RowsWith({{"99", "04", "256", "2", true}, {"1", "03", "70000", "65537"}});
    const auto result = Configure(rows, LinkKind::Tcp, header);
    const auto& p = result.images.packets;
    EXPECT_EQ(p[0].tcp, (std::array<std::uint8_t, 12>{0x00, 0x01, 0x00, 0x00, 0x00, 0x06, 0x01,
                                                      0x03, 0x01, 0x00, 0x00, 0x02}));
    EXPECT_EQ(p[0].serialText, "630401000002"); // built for the serial line as well
    EXPECT_EQ(ImagesAsSent(result.images, LinkKind::Tcp).packets[0].function, 3); // for labels
    // An address past 65535 is refused, not sent modulo 65536.
    EXPECT_FALSE(p[1].sendsOn(LinkKind::Tcp));
    EXPECT_EQ(result.errors, std::vector<std::string>{"数据包 2：地址 70000 超出 0～65535"});
    EXPECT_TRUE(result.refusedPackets.empty()); // row 2 is not checked
    EXPECT_EQ(result.images.totalCount, 2);
    EXPECT_EQ(result.images.checkedRows, 1);
    EXPECT_EQ(result.images.link, LinkKind::Tcp);

    header.functionIndex = 7;
    EXPECT_EQ(Configure(rows, LinkKind::Tcp, header).images.packets[0].tcp[7], 43);
    // Serial-only refusals are not reported while configuring for Modbus TCP.
    EXPECT_TRUE(
        Configure(RowsWith({{"1", "6", "0", "1", true}}), LinkKind::Tcp, header).errors.empty());
}

// Addresses and counts outside the register space are refused for both links.
TEST(Configure, RefusesRequestsOutsideTheRegisterSpace) {
    const struct {
        const char *address, *count, *error; // error empty: accepted
    } cases[] = {
        {"70000", "1", "数据包 1：地址 70000 超出 0～65535"},
        {"-1", "1", "数据包 1：地址 -1 超出 0～65535"},
        {"0", "65546", "数据包 1：数据个数 65546 超出 0～65535"},
        {"0", "-1", "数据包 1：数据个数 -1 超出 0～65535"},
        {"65530", "10", "数据包 1：地址 65530 加数据个数 10 超出 65536"},
        {"65526", "10", ""},
    };
    for (const auto& c : cases) {
        for (LinkKind link : {LinkKind::Serial, LinkKind::Tcp}) {
            SCOPED_TRACE(std::string(c.address) + "/" + c.count);
            const auto result =
                Configure(RowsWith({{"1", "02", c.address, c.count, true}}), link, TcpHeader{});
            const bool refused = *c.error != '\0';
            EXPECT_EQ(result.errors,
                      refused ? std::vector<std::string>{c.error} : std::vector<std::string>{});
            EXPECT_EQ(result.refusedPackets, refused ? std::vector<int>{1} : std::vector<int>{});
            EXPECT_EQ(result.images.packets[0].sendsOn(link), !refused);
        }
    }
}

TEST(Configure, RefusedPacketsLineNamesEveryPacket) {
    EXPECT_EQ(RefusedPacketsLine({4}), "数据包 4 配置失败，未发送。");
    EXPECT_EQ(RefusedPacketsLine({4, 7}), "数据包 4, 7 配置失败，未发送。");
}

TEST(Configure, TcpWithoutAFunctionSelectionWarnsOncePerRow) {
    TcpHeader header;
    header.functionIndex = -1;
    const auto result = Configure(PacketRows{}, LinkKind::Tcp, header);
    ASSERT_EQ(result.errors.size(), 30u);
    EXPECT_EQ(result.errors[0], "命令字错误！");
    EXPECT_EQ(result.images.packets[0].tcp[7], 0);
}

TEST(Configure, TotalCountsEveryRowAndSkipsRefusedOnes) {
    PacketRows rows{};
    for (auto& row : rows)
        row.count = "65535";
    rows[0].count = "2147483647";
    EXPECT_EQ(Configure(rows, LinkKind::Tcp, TcpHeader{}).images.totalCount, 29 * 65535);
    EXPECT_EQ(std::string(kTcpFunctionTexts[kTcpPerPacketEntry]), "0. 按数据包");
    EXPECT_EQ(std::string(kTcpFunctionTexts.back()), "13.读设备识别码(0x2B)");
}

// With the "0. 按数据包" entry every row goes out with its own slave as the unit and its own
// function, as the serial line polls it; what Modbus TCP cannot poll that way is refused.
TEST(Configure, TcpPerPacketRequestsTakeTheRowsSlaveAndFunction) {
    const struct {
        DataPacket row;
        std::array<std::uint8_t, 6> pdu; // unit, function, address, count
        const char* error;               // empty: sent
    } cases[] = {
        {{"7", "01", "16", "20", true}, {7, 1, 0x00, 0x10, 0x00, 0x14}, ""},
        {{"2", "2", "0", "2000", true}, {2, 2, 0x00, 0x00, 0x07, 0xD0}, ""},
        {{"255", "03", "256", "125", true}, {255, 3, 0x01, 0x00, 0x00, 0x7D}, ""},
        {{"0", "04", "65535", "1", true}, {0, 4, 0xFF, 0xFF, 0x00, 0x01}, ""},
        {{"1", "50", "0", "1", true}, {}, "数据包 1：功能码 50 不能发送"},
        {{"1", "51", "0", "2", true}, {}, "数据包 1：功能码 51 不能发送"},
        {{"1", "06", "0", "1", true}, {}, "数据包 1：功能码 6 不能发送"},
        {{"300", "03", "0", "1", true}, {}, "数据包 1：从机地址 300 超出 0～255"},
        {{"1", "03", "0", "126", true}, {}, "数据包 1：数据个数 126 超过 Modbus TCP 的上限 125"},
        {{"1", "01", "0", "2001", true}, {}, "数据包 1：数据个数 2001 超过 Modbus TCP 的上限 2000"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.row.slave + "," + c.row.function + "," + c.row.count);
        const ConfigureResult result = Configure(RowsWith({c.row}), LinkKind::Tcp, TcpHeader{});
        const PacketImage& image = result.images.packets[0];
        const bool refused = *c.error != '\0';
        EXPECT_EQ(result.errors,
                  refused ? std::vector<std::string>{c.error} : std::vector<std::string>{});
        EXPECT_EQ(image.sendsOn(LinkKind::Tcp), !refused);
        if (refused)
            continue;
        EXPECT_TRUE(std::equal(c.pdu.begin(), c.pdu.end(), image.tcp.begin() + 6));
        const PacketImage sent = ImagesAsSent(result.images, LinkKind::Tcp).packets[0];
        EXPECT_EQ(sent.slave, c.pdu[0]); // labels and writes address the packet's own unit
        EXPECT_EQ(sent.function, c.pdu[1]);
    }
}

// A serial packet whose reply would not fit the 270-byte receive assembly is refused, since it
// could never be judged.
TEST(Configure, RefusesRepliesLongerThanTheReceiveAssembly) {
    PacketRows rows{};
    rows[0] = {"1", "03", "0", "132", true};  // 269 bytes
    rows[1] = {"1", "03", "0", "133", true};  // 271
    rows[2] = {"1", "02", "0", "2120", true}; // 270
    rows[3] = {"1", "51", "0", "27", true};   // 275
    const ConfigureResult result = Configure(rows, LinkKind::Serial, TcpHeader{});
    EXPECT_EQ(result.images.packets[0].count, 132);
    EXPECT_FALSE(result.images.packets[1].sendsOn(LinkKind::Serial));
    EXPECT_EQ(result.images.packets[2].count, 2120);
    EXPECT_FALSE(result.images.packets[3].sendsOn(LinkKind::Serial));
    ASSERT_EQ(result.errors.size(), 2u);
    EXPECT_EQ(result.errors[0], "数据包 2：数据个数 133 的应答超过 270 字节");
    EXPECT_EQ(result.images.totalCount, 132 + 133 + 2120 + 27);
}
