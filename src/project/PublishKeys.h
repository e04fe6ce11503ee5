// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The publishing settings in the project's extra section, as keys "Mqtt…". A set-up that
// publishes nothing and keeps every default writes none of them, so older projects save as they
// were. No password is ever written: only the name of the file that holds it.
#include "project/ProfileFile.h"
#include "registers/PublishSettings.h"

namespace vantor {

void WritePublishKeys(const PublishSettings& settings, ProfileFile& profile);
// Missing or invalid keys read as the defaults.
PublishSettings ReadPublishKeys(const ProfileFile& profile);

} // namespace vantor
