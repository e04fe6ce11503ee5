// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <string>

namespace vantor {

// Label of cell i: "4x" for function 3, "0x" for function 1 (coils), "3x" otherwise, then (start +
// base + i) as a decimal text padded with zeros on the left to five characters.
std::string PointLabel(int function, int start, int addressBase, int cell);

} // namespace vantor
