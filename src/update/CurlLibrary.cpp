// SPDX-License-Identifier: GPL-3.0-or-later
#include "update/CurlLibrary.h"

#include <QCoreApplication>
#include <QLibrary>

namespace vantor {

namespace {

template <class Function> bool Resolve(QLibrary& library, const char* symbol, Function& target) {
    target = reinterpret_cast<Function>(library.resolve(symbol));
    return target != nullptr;
}

} // namespace

CurlLoad LoadCurlLibrary(const QString& name, int version) {
    CurlLoad loaded;
    // QLibrary leaves the library loaded when it goes: libcurl must stay after its global init.
    QLibrary library(name);
    if (version >= 0)
        library.setFileNameAndVersion(name, version);
    if (!library.load()) {
        loaded.error = QCoreApplication::translate("vantor::CurlLibrary", "无法加载 libcurl：%1")
                           .arg(library.errorString());
        return loaded;
    }
    CurlApi& api = loaded.api;
    if (!Resolve(library, "curl_global_init", api.globalInit) ||
        !Resolve(library, "curl_easy_init", api.easyInit) ||
        !Resolve(library, "curl_easy_setopt", api.easySetopt) ||
        !Resolve(library, "curl_easy_perform", api.easyPerform) ||
        !Resolve(library, "curl_easy_cleanup", api.easyCleanup) ||
        !Resolve(library, "curl_easy_strerror", api.easyStrerror)) {
        loaded.error =
            QCoreApplication::translate("vantor::CurlLibrary", "libcurl 缺少所需的函数：%1")
                .arg(library.errorString());
        return loaded;
    }
    if (api.globalInit(CURL_GLOBAL_DEFAULT) != CURLE_OK) {
        loaded.error = QCoreApplication::translate("vantor::CurlLibrary", "无法初始化 libcurl");
        return loaded;
    }
    loaded.ok = true;
    return loaded;
}

const CurlApi* LoadCurl(QString* error) {
#ifdef Q_OS_WIN
    static const CurlLoad loaded = LoadCurlLibrary(QStringLiteral("libcurl"), -1);
#else
    static const CurlLoad loaded = LoadCurlLibrary(QStringLiteral("curl"), 4);
#endif
    if (!loaded.ok && error)
        *error = loaded.error;
    return loaded.ok ? &loaded.api : nullptr;
}

} // namespace vantor
