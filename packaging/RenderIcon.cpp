// SPDX-License-Identifier: GPL-3.0-or-later
// Renders the program's SVG icon as square PNG pictures in an icon theme's layout:
//   vantor_render_icon ICON.svg THEME_DIR NAME SIZE...
// writes THEME_DIR/<SIZE>x<SIZE>/apps/NAME.png for every size.
#include <QDir>
#include <QGuiApplication>
#include <QImage>
#include <QImageReader>
#include <QTextStream>

int main(int argc, char* argv[]) {
    // Drawing needs no screen; the build machine may have none.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    QTextStream err(stderr);
    const QStringList args = app.arguments();
    if (args.size() < 5) {
        err << "usage: vantor_render_icon ICON.svg THEME_DIR NAME SIZE...\n";
        return 2;
    }
    for (const QString& sizeText : args.mid(4)) {
        bool ok = false;
        const int size = sizeText.toInt(&ok);
        if (!ok || size <= 0) {
            err << "bad size '" << sizeText << "'\n";
            return 2;
        }
        QImageReader reader(args[1]);
        reader.setScaledSize(QSize(size, size));
        const QImage image = reader.read();
        if (image.isNull()) {
            err << "cannot render " << args[1] << ": " << reader.errorString() << '\n';
            return 1;
        }
        const QString folder = QStringLiteral("%1/%2x%2/apps").arg(args[2]).arg(size);
        const QString file = QStringLiteral("%1/%2.png").arg(folder, args[3]);
        if (!QDir().mkpath(folder) || !image.save(file, "PNG")) {
            err << "cannot write " << file << '\n';
            return 1;
        }
    }
    return 0;
}
