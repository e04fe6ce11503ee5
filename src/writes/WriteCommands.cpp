// SPDX-License-Identifier: GPL-3.0-or-later
#include "writes/WriteCommands.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cmath>
#include <limits>
#include <optional>

#include "modbus/HexText.h"
#include "modbus/Texts.h"
#include "registers/ValueFormat.h"

namespace vantor {

namespace {

std::string_view Trimmed(std::string_view text) {
    const auto blank = [](char c) { return c == ' ' || c == '\t'; };
    while (!text.empty() && blank(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && blank(text.back()))
        text.remove_suffix(1);
    return text;
}

// A whole integer (an optional sign and digits, blanks around), or nothing.
std::optional<long long> StrictInteger(std::string_view text) {
    text = Trimmed(text);
    if (!text.empty() && text.front() == '+')
        text.remove_prefix(1);
    long long value = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (text.empty() || ec != std::errc() || end != text.data() + text.size())
        return std::nullopt;
    return value;
}

// A whole decimal number ("1.5", "-2e3"), or nothing.
std::optional<double> StrictNumber(std::string_view text) {
    text = Trimmed(text);
    if (!text.empty() && text.front() == '+')
        text.remove_prefix(1);
    double value = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (text.empty() || ec != std::errc() || end != text.data() + text.size() ||
        !std::isfinite(value))
        return std::nullopt;
    return value;
}

bool Is16Bit(int code) {
    return code == static_cast<int>(ValueFormat::Signed16) ||
           code == static_cast<int>(ValueFormat::Unsigned16);
}

std::string Header(const WriteTarget& target, int function, int offset) {
    return HexDigits(static_cast<std::uint32_t>(target.address), 2) +
           HexDigits(static_cast<std::uint32_t>(function), 2) +
           HexDigits(static_cast<std::uint32_t>(target.start + offset), 4);
}

} // namespace

WriteTable WriteTableOf(int function) {
    if (function == 3)
        return WriteTable::Registers;
    return function == 1 ? WriteTable::Coils : WriteTable::ReadOnly;
}

std::string ReadOnlyRefusal(int packet, int function) {
    // Function codes as the packet rows give them: decimal, two digits.
    const std::string code = (function >= 0 && function < 10 ? "0" : "") + std::to_string(function);
    return FormatText(
        CoreText("vantor::WriteCommands", "数据包 %1 读取只读数据（功能码 %2），不能写入"),
        {std::to_string(packet), code});
}

std::string CellValueRefusal(int code, std::string_view decimal, std::string_view unsignedText) {
    if (Is16Bit(code)) {
        const auto value = StrictInteger(decimal);
        if (!value || *value < -32768 || *value > 65535)
            return FormatText(
                CoreText("vantor::WriteCommands", "十进制数值 “%1” 超出 16 位范围 -32768..65535"),
                {decimal});
        const auto raw = StrictInteger(unsignedText);
        if (!raw || *raw < 0 || *raw > 65535)
            return FormatText(
                CoreText("vantor::WriteCommands", "无符号数值 “%1” 超出范围 0..65535"),
                {unsignedText});
        return {};
    }
    if (IsFloatFormat(code)) {
        const auto value = StrictNumber(decimal);
        if (!value || std::fabs(*value) > std::numeric_limits<float>::max())
            return FormatText(CoreText("vantor::WriteCommands", "不是有效的浮点数：“%1”"),
                              {decimal});
        return {};
    }
    if (Is32BitFormat(code)) {
        const auto value = StrictNumber(decimal);
        if (!value || *value <= -2147483649.0 || *value >= 2147483648.0)
            return FormatText(CoreText("vantor::WriteCommands",
                                       "不是有效的 32 位整数（-2147483648..2147483647）：“%1”"),
                              {decimal});
        return {};
    }
    return FormatText(CoreText("vantor::WriteCommands", "该单元格式不能写入（格式代码 %1）"),
                      {std::to_string(code)});
}

std::string CellWriteText(const WriteTarget& target, int cell, int code, std::string_view decimal,
                          std::string_view unsignedText) {
    if (Is16Bit(code))
        return Header(target, 0x06, cell) + EncodeValue(code, unsignedText);
    if (Is32BitFormat(code))
        return Header(target, 0x10, cell) + "000204" + EncodeValue(code, decimal);
    return {};
}

std::vector<std::string> PageWriteTexts(const WriteTarget& target, int count,
                                        std::span<const PageCell> cells) {
    // Each value as (first cell, registers, digits); a continuation cell belongs to the value
    // before it.
    struct Value {
        int cell;
        int registers;
        std::string digits;
    };
    std::vector<Value> values;
    for (int i = 0; i < count;) {
        const PageCell cell = i < static_cast<int>(cells.size()) ? cells[i] : PageCell{4, "0", {}};
        const bool wide = Is32BitFormat(cell.code);
        const std::size_t rawDigits = wide ? 8 : 4;
        values.push_back(
            {i, wide ? 2 : 1,
             cell.raw.size() == rawDigits
                 ? cell.raw
                 : EncodeValue(Is16Bit(cell.code) || wide ? cell.code : 4, cell.text)});
        i += wide ? 2 : 1;
    }
    std::vector<std::string> texts;
    for (std::size_t first = 0; first < values.size();) {
        int registers = 0;
        std::string data;
        std::size_t next = first;
        for (; next < values.size() && registers + values[next].registers <= kMaxWriteRegisters;
             ++next) {
            registers += values[next].registers;
            data += values[next].digits;
        }
        texts.push_back(Header(target, 0x10, values[first].cell) +
                        HexDigits(static_cast<std::uint32_t>(registers), 4) +
                        HexDigits(static_cast<std::uint32_t>(2 * registers), 2) + data);
        first = next;
    }
    return texts;
}

std::string CoilWriteText(const WriteTarget& target, int cell, bool on) {
    return Header(target, 0x05, cell) + (on ? "FF00" : "0000");
}

bool CoilIsOn(std::string_view text) {
    const auto value = StrictInteger(text);
    return value && *value != 0;
}

std::vector<std::string> CoilPageWriteTexts(const WriteTarget& target, int count,
                                            const std::vector<bool>& coils) {
    const auto on = [&](int i) { return i < static_cast<int>(coils.size()) && coils[i]; };
    std::vector<std::string> texts;
    for (int first = 0; first < count; first += kMaxWriteCoils) {
        const int n = std::min(kMaxWriteCoils, count - first);
        std::string text = Header(target, 0x0F, first) +
                           HexDigits(static_cast<std::uint32_t>(n), 4) +
                           HexDigits(static_cast<std::uint32_t>((n + 7) / 8), 2);
        for (int byte = 0; byte < n; byte += 8) {
            std::uint32_t bits = 0;
            for (int b = 0; b < 8 && byte + b < n; ++b)
                bits |= (on(first + byte + b) ? 1u : 0u) << b;
            text += HexDigits(bits, 2);
        }
        texts.push_back(std::move(text));
    }
    return texts;
}

CustomText ParseCustomText(std::string_view typed) {
    std::string digits;
    for (const char c : typed) {
        if (c == ' ' || c == '\t' || c == '\r' || c == '\n')
            continue;
        if (std::isxdigit(static_cast<unsigned char>(c)) == 0)
            return {
                {},
                FormatText(CoreText("vantor::WriteCommands",
                                    "发送数据含有非十六进制字符：“%1”（只可输入 0-9、A-F 和空格）"),
                           {std::string_view(&c, 1)})};
        digits += static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    }
    if (digits.empty())
        return {{}, CoreText("vantor::WriteCommands", "发送数据为空，请输入十六进制数据")};
    if (digits.size() % 2 != 0)
        return {{},
                FormatText(CoreText("vantor::WriteCommands",
                                    "十六进制数字个数为奇数（%1 个），每个字节需两位数字"),
                           {std::to_string(digits.size())})};
    if (digits.size() / 2 > kMaxCustomBytes)
        return {{},
                FormatText(CoreText("vantor::WriteCommands",
                                    "发送数据过长：%1 字节，最多 %2 字节（另加 2 字节 CRC）"),
                           {std::to_string(digits.size() / 2), std::to_string(kMaxCustomBytes)})};
    return {digits, {}};
}

} // namespace vantor
