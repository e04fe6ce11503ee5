// SPDX-License-Identifier: GPL-3.0-or-later
#include "trend/TrendIcons.h"

#include "widgets/ThemedIcon.h"

namespace vantor {

namespace {

// The picture's name under ":/icons/trend/"; two-state pictures have "_on" and "_off" files.
const char* PictureName(TrendIconKind kind) {
    switch (kind) {
    case TrendIconKind::RealTime:
        return "realtime";
    case TrendIconKind::History:
        return "history";
    case TrendIconKind::Pause:
        return "pause";
    case TrendIconKind::Move:
        return "move";
    case TrendIconKind::Save:
        return "save";
    case TrendIconKind::FastBack:
        return "fastback";
    case TrendIconKind::FastForward:
        return "fastforward";
    case TrendIconKind::Legend:
        return "legend";
    case TrendIconKind::AxisReset:
        return "axisreset";
    case TrendIconKind::AxisZero:
        return "axiszero";
    case TrendIconKind::AutoSave:
        return "autosave";
    case TrendIconKind::TextBox:
        return "textbox";
    }
    return "textbox";
}

} // namespace

QIcon TrendIcon(TrendIconKind kind) {
    const QString base = QStringLiteral(":/icons/trend/%1").arg(QLatin1String(PictureName(kind)));
    if (kind == TrendIconKind::Legend || kind == TrendIconKind::AutoSave)
        return ThemedIcon(base + QStringLiteral("_off.svg"), base + QStringLiteral("_on.svg"));
    return ThemedIcon(base + QStringLiteral(".svg"));
}

} // namespace vantor
