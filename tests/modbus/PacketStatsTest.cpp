// SPDX-License-Identifier: GPL-3.0-or-later
// The per-packet statistics as the packet list and the console show them.
#include <gtest/gtest.h>

#include "modbus/PacketStats.h"

using namespace vantor;

TEST(PacketStats, TimesAndCodesShowOnlyOnceThereIsSomethingToShow) {
    PacketStats s;
    s.requests = 3;
    s.noReply = 1;
    EXPECT_EQ(StatsLine(7, s), "数据包 7：请求=3 有效应答=0 无应答=1 CRC错误=0 异常应答=0 "
                               "末次异常码=- 响应(ms)=- 最小(ms)=- 平均(ms)=- 最大(ms)=-");

    s.valid = 1;
    s.exceptions = 1;
    s.lastException = 0x0B;
    s.addResponse(1500);
    s.addResponse(-20); // a clock step never gives a negative time
    s.addResponse(1240);
    EXPECT_EQ(StatText(s, StatColumn::LastException), "0B");
    EXPECT_EQ(StatText(s, StatColumn::LastMs), "1.24");
    EXPECT_EQ(StatText(s, StatColumn::MinMs), "0.00");
    EXPECT_EQ(StatText(s, StatColumn::MeanMs), "0.91");
    EXPECT_EQ(StatText(s, StatColumn::MaxMs), "1.50");
}
