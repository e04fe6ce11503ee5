// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

namespace vantor {

// Registers the program's icons and pictures (":/icons/…"). They live in a static library, so
// the linker keeps them only when someone asks; every widget that shows one calls this first.
void InitResources();

} // namespace vantor
