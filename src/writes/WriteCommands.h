// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Command texts of the writes (upper-case hex digit pairs without CRC; the first byte is the
// slave address, or over Modbus TCP the unit identifier, followed by the PDU): one cell with
// function 06 or 16, a page with function 16, one coil with function 05, a page of coils with
// function 15, and a frame typed by the user.
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace vantor {

// The most registers one function 16 request carries.
inline constexpr int kMaxWriteRegisters = 123;
// The most coils one function 15 request carries.
inline constexpr int kMaxWriteCoils = 1968;
// The longest typed frame: 254 bytes and the CRC make the largest RTU frame, 256 bytes.
inline constexpr std::size_t kMaxCustomBytes = 254;

// Where a packet writes: the address byte of its requests and its first register.
struct WriteTarget {
    int address = 1;
    int start = 0;
};

// The table a packet's function reads, as the writes see it: holding registers (03) are written
// with 06 and 16, coils (01) with 05 and 15. Discrete inputs, input registers and the other
// readings (02, 04, 50, 51) cannot be written: a write at their address would land in another
// table of the device.
enum class WriteTable { Registers, Coils, ReadOnly };
WriteTable WriteTableOf(int function);
// "数据包 2 读取只读数据（功能码 04），不能写入"
std::string ReadOnlyRefusal(int packet, int function);

// Why the typed value cannot go into a cell of the format ("" when it fits): a 16-bit cell takes
// a decimal of -32768..65535 and an unsigned text of 0..65535, a float cell a finite number in
// the float range, a long cell a number in the 32-bit signed range.
std::string CellValueRefusal(int code, std::string_view decimal, std::string_view unsignedText);

// One cell: codes 4, 5: SS 06 AAAA VVVV from the unsigned text; 32-bit codes: SS 10 AAAA 0002 04
// and the value from the decimal text in the cell's byte order; other codes: "".
std::string CellWriteText(const WriteTarget& target, int cell, int code, std::string_view decimal,
                          std::string_view unsignedText);

struct PageCell {
    int code = 4;
    std::string text;
    // The value's registers as the device sent them (4 hex digits a register, 8 for a 32-bit
    // value); when set they are written as they are and the text is not read.
    std::string raw = {};
};

// The cells 0..count-1 of a page (cells beyond `cells` read as 0) as function 16 requests of at
// most 123 registers each, in cell order. A 32-bit value takes its cell and the next one and is
// never split between two requests. Count 0 gives no request.
std::vector<std::string> PageWriteTexts(const WriteTarget& target, int count,
                                        std::span<const PageCell> cells);

// One coil, the cell's: SS 05 AAAA FF00 to switch it on, SS 05 AAAA 0000 to switch it off.
std::string CoilWriteText(const WriteTarget& target, int cell, bool on);

// A coil cell's text as a coil state: on for a whole number other than 0 ("1"), off for
// anything else (a blank cell included).
bool CoilIsOn(std::string_view text);

// The coils 0..count-1 (those beyond `coils` off) as function 15 requests of at most 1968 coils
// each, in order, their states packed least significant bit first. Count 0 gives no request.
std::vector<std::string> CoilPageWriteTexts(const WriteTarget& target, int count,
                                            const std::vector<bool>& coils);

struct CustomText {
    std::string digits; // the text without blanks, upper case; empty when refused
    std::string refusal;
};

// A frame typed in "发送命令": blanks (spaces, tabs, line ends) are removed; refused when nothing
// is left, a character is not a hex digit, the digits are odd in number or make more than 254
// bytes.
CustomText ParseCustomText(std::string_view typed);

} // namespace vantor
