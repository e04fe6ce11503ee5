// SPDX-License-Identifier: GPL-3.0-or-later
#include "modbus/LinkThread.h"

#include "modbus/CommSession.h"

namespace vantor {

void RegisterSessionTypes() {
    qRegisterMetaType<CommandImages>("vantor::CommandImages");
    qRegisterMetaType<Counters>("vantor::Counters");
    qRegisterMetaType<PacketStatsTable>("vantor::PacketStatsTable");
    qRegisterMetaType<SerialSettings>("vantor::SerialSettings");
    qRegisterMetaType<LinkKind>("vantor::LinkKind");
    qRegisterMetaType<LogEvent>("vantor::LogEvent");
}

LinkThread::LinkThread(QObject* parent) : QObject(parent), m_session(QStringLiteral("link")) {
    RegisterSessionTypes();
}

LinkThread::~LinkThread() = default;

} // namespace vantor
