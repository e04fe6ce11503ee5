// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

class QComboBox;

namespace vantor {

// Widens a combo box's drop-down list to its longest entry (plus a character, the scroll bar
// and the frame), so that long port names are never cut. The list is only ever widened.
void WidenDropDown(QComboBox* combo);

} // namespace vantor
