// SPDX-License-Identifier: GPL-3.0-or-later
// The protocol core's texts: placeholders filled in any order, and the looked-up patterns of the
// log's notices following the translator that is set.
#include <gtest/gtest.h>

#include <cstring>

#include "modbus/LogFormat.h"
#include "modbus/Texts.h"

using namespace vantor;

TEST(FormatText, PlaceholdersAndPercentSigns) {
    const struct {
        const char* pattern;
        std::initializer_list<std::string_view> args;
        const char* expected;
    } cases[] = {
        {"%1 / %2", {"a", "b"}, "a / b"},
        {"%2 before %1", {"a", "b"}, "b before a"}, // a translation may reorder
        {"%1 and %1", {"x"}, "x and x"},
        {"%1 %3", {"a", "b"}, "a %3"}, // no argument for it: left as it stands
        {"%1 %2", {}, "%1 %2"},
        {"100% %1", {"ok"}, "100% ok"}, // "%" before anything but 1..9 stays
        {"%0 %a %%1 %", {"v"}, "%0 %a %v %"},
        {"%1", {"%2"}, "%2"}, // an argument is not read again for placeholders
        {"数据包 %1 无应答", {"12"}, "数据包 12 无应答"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(FormatText(c.pattern, c.args), c.expected) << c.pattern;
}

namespace {

std::string Bracketed(const char*, const char* source) {
    if (std::strcmp(source, "数据包 %1 迟到应答，已丢弃") == 0)
        return "late reply of packet %1";
    return std::string("[") + source + "]";
}

} // namespace

TEST(CoreText, LogNoticesFollowTheTranslatorSetEvenAfterAFirstLookUp) {
    // Looked up (and kept) before any translator is set, as at start-up.
    EXPECT_EQ(LateReplyText(4), "数据包 4 迟到应答，已丢弃");
    EXPECT_EQ(ExceptionText(1, 0x83, 2), "数据包 1 异常应答：功能码 0x83，异常码 0x02 非法数据地址");

    SetCoreTranslator(&Bracketed);
    EXPECT_EQ(LateReplyText(4), "late reply of packet 4");
    EXPECT_EQ(ExceptionText(1, 0x83, 2), "[数据包 1 异常应答：功能码 0x83，异常码 0x02 [非法数据地址]]");
    EXPECT_EQ(MismatchNoticeText(2, {ReplyMismatch::Field::Function, 0x04, 0x03}),
              "[数据包 2 应答不匹配：[功能码 0x04 ≠ 0x03]]");

    SetCoreTranslator(nullptr);
    EXPECT_EQ(LateReplyText(4), "数据包 4 迟到应答，已丢弃");
    EXPECT_EQ(ExceptionName(0x7F), "未知异常");
}
