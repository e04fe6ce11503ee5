// SPDX-License-Identifier: GPL-3.0-or-later
// The communication panel's and the writes' texts with the English catalogues installed, as the
// program installs them: each kind of text (tr() in a class, a free function's translate, the
// std-only refusals, a caption table) finds its translation, and the numbers land in their
// places, also where the English puts them in another order.
#include <QPushButton>
#include <functional>
#include <gtest/gtest.h>

#include "app/Translations.h"
#include "modbus/LinkController.h"
#include "packets/CommPanelDlg.h"
#include "packets/CommPanelRules.h"
#include "packets/GridRules.h"
#include "registers/Workspace.h"
#include "support/QtPrinters.h"
#include "writes/CustomSendDlg.h"
#include "writes/WriteCommands.h"
#include "writes/WriteService.h"

using namespace vantor;

namespace {

struct EnglishCase {
    const char* name;
    std::function<QString()> text;
    QString english;
};

TEST(EnglishTexts, ComeFromTheCatalogues) {
    Workspace workspace;
    LinkController link{LinkController::Placement::CallerThread};
    WriteService writes{&workspace, &link};
    const Translations english(UiLanguage::English);

    const EnglishCase cases[] = {
        {"class text, numbers in another order",
         [&] {
             return writes.rangeRefusal({PacketNo(2), 9});
         },
         "Cell 9 is not among the 0 cells configured for packet 2: it cannot be written"},
        {"std-only refusal", [] { return QString::fromStdString(ReadOnlyRefusal(2, 4)); },
         "Packet 2 reads read-only data (function code 04): it cannot be written"},
        {"status with a reason", [] { return LinkLostStatus(LinkKind::Tcp, "gone"); },
         "Modbus TCP/IP connection lost: gone"},
        {"grid header", [] { return FixedCellText(1, 0, kGridColumns - 2); }, "Col 13"},
        {"typed frame refused through the panel",
         [&] {
             CCustomSendDlg panel(&writes);
             panel.findChild<QPushButton*>("customSendButton")->click();
             return panel.message();
         },
         "Nothing to send: type the data in hex"},
        {"caption from a table, after a press",
         [&] {
             CCommPanelDlg panel(&workspace, &link);
             auto* button = panel.findChild<QPushButton*>("selectAllButton");
             const QString before = button->text();
             button->click();
             return before + " / " + button->text();
         },
         "Check All / Uncheck All"},
    };
    for (const EnglishCase& c : cases)
        EXPECT_EQ(c.text(), c.english) << c.name;
}

} // namespace
