// SPDX-License-Identifier: GPL-3.0-or-later
// The fn 16 page send: values left as the device sent them go back as their registers, never as
// their rounded display texts; an edited cell is encoded from its text.
#include <gtest/gtest.h>

#include "modbus/LinkController.h"
#include "registers/RegisterStore.h"
#include "registers/Workspace.h"
#include "writes/WriteService.h"

using namespace vantor;

TEST(PageSend, UntouchedValuesKeepTheirRegisters) {
    const struct {
        int cell;
        const char* text;
        const char* data;
    } cases[] = {
        {-1, "", "40490FDB002A000100070009"},     // 3.142 and 0.000 as the device holds them
        {5, "11", "40490FDB002A00010007000B"},    // a 16-bit cell edited
        {0, "2.25", "40100000002A000100070009"},  // the float edited
        {0, "3.142", "40490FDB002A000100070009"}, // retyped as shown: nothing changed
    };
    for (const auto& c : cases) {
        Workspace ws;
        LinkController link{LinkController::Placement::CallerThread};
        WriteService writes{&ws, &link};
        PacketRows rows{};
        rows[0] = {"1", "03", "0", "6", true};
        ws.setRows(rows);
        ws.configure();
        RegisterStore* store = ws.store();
        store->setCellFormat({PacketNo(1), 0}, 7);  // float AB CD: 3.14159265
        store->setCellFormat({PacketNo(1), 2}, 10); // float DC BA: the pair [42, 1]
        store->onRegisterReply(1, QByteArray::fromHex("40490FDB002A000100070009"), 6);
        ASSERT_EQ(store->valueText({PacketNo(1), 0}), "3.142");
        ASSERT_EQ(store->valueText({PacketNo(1), 2}), "0.000");
        if (c.cell >= 0)
            store->setCellValue({PacketNo(1), c.cell}, QString::fromUtf8(c.text));
        EXPECT_EQ(writes.pageTexts(PacketNo(1)),
                  QStringList(QStringLiteral("0110000000060C") + c.data))
            << c.cell << " " << c.text;
    }
}
