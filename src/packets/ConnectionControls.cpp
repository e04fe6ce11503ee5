// Placeholder until the connection controls land.
#include "packets/ConnectionControls.h"

namespace vantor {

ConnectionControls::ConnectionControls(CommSession*, SerialSelection*, QWidget* parent)
    : QWidget(parent)
{
}
LinkKind ConnectionControls::linkKind() const { return LinkKind::Serial; }
TcpHeader ConnectionControls::tcpHeader() const { return {}; }
QString ConnectionControls::serverAddress() const { return {}; }
QString ConnectionControls::serverPort() const { return QStringLiteral("502"); }
void ConnectionControls::setServerAddress(const QString&) {}

} // namespace vantor
