// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The start-up picture: shown for 3 seconds, or until the first key press or mouse click,
// which it swallows.
#include <QIcon>
#include <QTimer>
#include <QWidget>

namespace vantor {

class CStartupSplash : public QWidget {
    Q_OBJECT
public:
    static constexpr int kShowMs = 3000;
    static constexpr QSize kPictureSize{1024, 568};

    explicit CStartupSplash(QWidget* owner = nullptr);
    ~CStartupSplash() override;

    void Start(); // shows it centred and installs the application-wide filter

signals:
    void finished();

protected:
    void paintEvent(QPaintEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void finish();

    QIcon m_picture;
    QTimer m_timer;
    bool m_done = false;
};

} // namespace vantor
