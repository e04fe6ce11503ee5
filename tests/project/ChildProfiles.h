// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The two profiles profile_save_child saves by turns: 20 sections of 1,000 keys whose values
// name the profile ("A" or "B") and the key.
#include "project/ProfileFile.h"

inline vantor::ProfileFile ChildProfile(const QString& which) {
    vantor::ProfileFile profile;
    for (int s = 0; s < 20; ++s) {
        for (int k = 0; k < 1000; ++k)
            profile.setValue(QStringLiteral("段%1").arg(s), QStringLiteral("键%1").arg(k),
                             QStringLiteral("%1-%2-%3").arg(which).arg(s).arg(k));
    }
    return profile;
}
