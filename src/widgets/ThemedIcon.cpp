// SPDX-License-Identifier: GPL-3.0-or-later
#include "widgets/ThemedIcon.h"

#include <QApplication>
#include <QBuffer>
#include <QFile>
#include <QGuiApplication>
#include <QIconEngine>
#include <QImageReader>
#include <QPainter>
#include <QPalette>
#include <QPixmapCache>
#include <QStyle>
#include <QStyleOption>
#include <QtDebug>

#include "widgets/Resources.h"

namespace vantor {

namespace {

QByteArray ReadPicture(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        qWarning().noquote()
            << QCoreApplication::translate("vantor::ThemedIcon", "图标文件无法读取：%1").arg(path);
        return {};
    }
    return file.readAll();
}

class ThemedIconEngine : public QIconEngine {
public:
    ThemedIconEngine(QString offPath, QString onPath)
        : m_offPath(std::move(offPath)), m_onPath(std::move(onPath)) {}

    QIconEngine* clone() const override { return new ThemedIconEngine(m_offPath, m_onPath); }
    QString key() const override { return QStringLiteral("VantorThemedIcon"); }
    QSize actualSize(const QSize& size, QIcon::Mode, QIcon::State) override { return size; }
    bool isNull() override { return m_offPath.isEmpty(); }

    QPixmap pixmap(const QSize& size, QIcon::Mode mode, QIcon::State state) override {
        const QString& path = state == QIcon::On && !m_onPath.isEmpty() ? m_onPath : m_offPath;
        const QColor ink = IconInk(mode);
        const QString cacheKey = QStringLiteral("vantor-icon:%1:%2x%3:%4:%5")
                                     .arg(path)
                                     .arg(size.width())
                                     .arg(size.height())
                                     .arg(ink.rgba(), 8, 16)
                                     .arg(int(mode));
        QPixmap cached;
        if (QPixmapCache::find(cacheKey, &cached))
            return cached;
        QPixmap drawn = render(path, size, ink);
        // A disabled picture is dimmed by the style as a whole, its coloured parts too.
        if (mode == QIcon::Disabled && qobject_cast<QApplication*>(QCoreApplication::instance())) {
            QStyleOption option;
            option.palette = QApplication::palette();
            drawn = QApplication::style()->generatedIconPixmap(mode, drawn, &option);
        }
        QPixmapCache::insert(cacheKey, drawn);
        return drawn;
    }

    void paint(QPainter* painter, const QRect& rect, QIcon::Mode mode, QIcon::State state) override {
        const qreal ratio = painter->device() ? painter->device()->devicePixelRatioF() : 1.0;
        QPixmap drawn = pixmap(rect.size() * ratio, mode, state);
        drawn.setDevicePixelRatio(ratio);
        painter->drawPixmap(rect.topLeft(), drawn);
    }

private:
    // The picture fitted into `size` device pixels (its proportions kept, centred).
    static QPixmap render(const QString& path, const QSize& size, const QColor& ink) {
        QPixmap result(size);
        result.fill(Qt::transparent);
        if (size.isEmpty())
            return result;
        QByteArray svg = ReadPicture(path);
        svg.replace("currentColor", ink.name(QColor::HexRgb).toLatin1());
        QBuffer buffer(&svg);
        QImageReader reader(&buffer, "svg");
        const QSize natural = reader.size().isValid() ? reader.size() : size;
        const QSize fitted = natural.scaled(size, Qt::KeepAspectRatio);
        reader.setScaledSize(fitted);
        const QImage image = reader.read();
        if (image.isNull()) {
            qWarning().noquote() << QCoreApplication::translate("vantor::ThemedIcon",
                                                                "图标无法绘制：%1（%2）")
                                        .arg(path, reader.errorString());
            return result;
        }
        QPainter painter(&result);
        painter.drawImage(QPoint((size.width() - fitted.width()) / 2,
                                 (size.height() - fitted.height()) / 2),
                          image);
        return result;
    }

    QString m_offPath;
    QString m_onPath;
};

} // namespace

QColor IconInk(QIcon::Mode mode) {
    const QPalette palette = QGuiApplication::palette();
    switch (mode) {
    case QIcon::Disabled:
        return palette.color(QPalette::Disabled, QPalette::ButtonText); // then dimmed by the style
    case QIcon::Selected:
        return palette.color(QPalette::Active, QPalette::HighlightedText);
    case QIcon::Normal:
    case QIcon::Active:
        break;
    }
    return palette.color(QPalette::Active, QPalette::ButtonText);
}

QIcon ThemedIcon(const QString& path, const QString& onPath) {
    InitResources();
    return QIcon(new ThemedIconEngine(path, onPath));
}

} // namespace vantor
