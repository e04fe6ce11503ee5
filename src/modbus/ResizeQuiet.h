// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Set while the window is being resized and for 500 ms after its last repaint; while it is set,
// CRC and over-length failures of register replies are not counted (a resize can stall the
// reception of a reply long enough to break it).
#include <atomic>

namespace vantor {

std::atomic<bool>& ResizeQuietFlag();

} // namespace vantor
