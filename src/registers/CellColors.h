// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Cell colours as the grid pages keep them and as project files store them: Windows COLORREF
// numbers (0x00BBGGRR).
#include <cstdint>

namespace vantor {

inline constexpr std::uint32_t kLabelBackRef = 0xD4D4D4;
inline constexpr std::uint32_t kValueBackRef = 0xFFFFFF;
inline constexpr std::uint32_t kTextRef = 0x000000;
inline constexpr std::uint32_t kHighlightBackRef = 0xFF9933; // a light blue
inline constexpr std::uint32_t kHighlightTextRef = 0xFFFFFF;
inline constexpr std::uint32_t kFixedBackRef = 0xF0F0F0;

// A point shows as two grid cells: its label and its value.
enum class CellPart { Label, Value };

struct ColorRefs {
    std::uint32_t back = kValueBackRef;
    std::uint32_t text = kTextRef;
    bool operator==(const ColorRefs&) const = default;
};

// The colours a point's label or value cell has when the page is created, and after "恢复".
constexpr ColorRefs DefaultColorRefs(CellPart part) {
    return {part == CellPart::Label ? kLabelBackRef : kValueBackRef, kTextRef};
}

} // namespace vantor
