// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Qt's own texts (standard buttons such as "确定", the colour and file dialogs) in Chinese,
// matching the rest of the window.
#include <QTranslator>
#include <memory>

namespace vantor {

// Qt's Chinese catalogue from its translations folder; null, with the reason on standard error,
// when it cannot be loaded (the dialogs then keep Qt's English texts).
std::unique_ptr<QTranslator> LoadQtChinese();

} // namespace vantor
