// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/QtOptions.h"

#include <algorithm>
#include <string_view>

namespace vantor {

namespace {

// What QGuiApplication, QApplication and the X11 platform take from the command line, with one
// dash or two.
constexpr std::string_view kWithValue[] = {"platform",
                                           "platformpluginpath",
                                           "platformtheme",
                                           "plugin",
                                           "qwindowgeometry",
                                           "geometry",
                                           "qwindowtitle",
                                           "title",
                                           "qwindowicon",
                                           "icon",
                                           "session",
                                           "display",
                                           "name",
                                           "style",
                                           "stylesheet",
                                           "qmljsdebugger"};
constexpr std::string_view kFlags[] = {"reverse", "testability", "sync", "widgetcount"};
// Also given as -name=value.
constexpr std::string_view kJoined[] = {"style", "stylesheet", "qmljsdebugger"};

template <std::size_t N> bool In(const std::string_view (&names)[N], std::string_view name) {
    return std::find(std::begin(names), std::end(names), name) != std::end(names);
}

} // namespace

QStringList WithoutQtOptions(const QStringList& arguments) {
    QStringList own;
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        const QString& arg = arguments[i];
        if (i == 0 || !arg.startsWith(QLatin1Char('-')) || arg == QLatin1String("--")) {
            own << arg;
            continue;
        }
        const QByteArray name = arg.mid(arg.startsWith(QLatin1String("--")) ? 2 : 1).toLatin1();
        const std::string_view word(name.constData(), static_cast<std::size_t>(name.size()));
        const std::size_t equals = word.find('=');
        if (equals != std::string_view::npos && In(kJoined, word.substr(0, equals)))
            continue;
        if (In(kFlags, word))
            continue;
        if (In(kWithValue, word) && i + 1 < arguments.size()) {
            ++i; // its value
            continue;
        }
        own << arg;
    }
    return own;
}

} // namespace vantor
