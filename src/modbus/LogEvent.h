// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// One line of the communication log as the session writes it: its kind, so that views filter
// without reading the text, the moment it stands for, and the whole line as shown.
#include <QMetaType>
#include <QString>

#include "modbus/LogFormat.h"

namespace vantor {

enum class LogKind {
    Tx,     // a request that went out
    Rx,     // bytes that came in
    Notice, // anything else: a refusal, a connection, an exception reply
};

struct LogEvent {
    LogKind kind = LogKind::Notice;
    TimeOfDay time;
    QString text; // without line end
};

} // namespace vantor

Q_DECLARE_METATYPE(vantor::LogEvent)
