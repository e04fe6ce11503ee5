// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// How the station publishes its points to a broker: the broker, the topics, when a point goes
// out, and the credentials' sources. A password itself is never part of it: it comes from the
// file named here or from the environment when the connection is made.
#include <QString>

namespace vantor {

struct PublishSettings {
    static constexpr int kDefaultPort = 1883;
    static constexpr int kDefaultTlsPort = 8883;
    static constexpr int kDefaultIntervalS = 10;

    bool enabled = false; // the window publishes only when asked to
    QString host;         // empty: nothing is published
    int port = kDefaultPort;
    QString clientId;                  // empty: "vantor-<host name>-<process id>"
    QString prefix;                    // empty: "vantor/<host name>/"; always ends in "/"
    int intervalS = kDefaultIntervalS; // every point at least this often; 0: every reply
    double deadband = 0;               // a change of the value within it is no change
    int qos = 1;                       // 0 or 1
    int queueLimit = 0;                // pending messages kept; 0: sized from the traffic
    QString user;
    QString passwordFile; // readable by its owner only
    bool tls = false;
    QString caFile;
    QString certFile; // optional client certificate and its key
    QString keyFile;

    bool operator==(const PublishSettings&) const = default;
};

} // namespace vantor
