// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

class QAbstractButton;

namespace vantor {

// Gives a button its 20 x 20 icon, drawn from ":/icons/buttons/<name>.svg" in the palette's
// colours (see ThemedIcon).
void SetButtonIcon(QAbstractButton* button, const char* name);

} // namespace vantor
