// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// libcurl, loaded by the download's worker on first use rather than linked: the program starts
// without it and the many libraries it pulls in (TLS, LDAP, SSH, ...), and a machine without it
// loses only the update check.
#include <QString>
#include <curl/curl.h>

namespace vantor {

struct CurlApi {
    CURLcode (*globalInit)(long flags);
    CURL* (*easyInit)();
    CURLcode (*easySetopt)(CURL* curl, CURLoption option, ...);
    CURLcode (*easyPerform)(CURL* curl);
    void (*easyCleanup)(CURL* curl);
    const char* (*easyStrerror)(CURLcode code);
};

struct CurlLoad {
    CurlApi api{};
    bool ok = false;
    QString error; // why the library is not usable
};

// Loads the library `name` (a base name with its major `version`, or a file name with -1) and
// initialises it. The library stays loaded for the program's life.
CurlLoad LoadCurlLibrary(const QString& name, int version);
// The system's libcurl, loaded once; safe to call from any thread. Nothing, with the reason in
// `error`, when it cannot be used.
const CurlApi* LoadCurl(QString* error);

} // namespace vantor
