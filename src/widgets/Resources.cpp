// SPDX-License-Identifier: GPL-3.0-or-later
#include "widgets/Resources.h"

#include <QtGlobal>

static void RegisterVantorResources() {
    Q_INIT_RESOURCE(vantor);
}

namespace vantor {

void InitResources() {
    static const bool registered = (RegisterVantorResources(), true);
    (void)registered;
}

} // namespace vantor
