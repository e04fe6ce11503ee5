#pragma once
// The register image on the GUI thread: the value and label texts of the 30 packets, the format
// store, and the panel-wide data format and address base. Replies accepted by the session are
// decoded here; views learn of changes through a coalescing signal (at most ~30 per second),
// never once per byte.
#include <QByteArray>
#include <QObject>
#include <QSet>
#include <QString>
#include <QTimer>

#include "modbus/CommandImages.h"
#include "registers/FormatStore.h"
#include "registers/RegisterImage.h"

namespace vantor {

class RegisterStore : public QObject {
    Q_OBJECT
public:
    static constexpr int kRefreshMs = 35;

    explicit RegisterStore(QObject* parent = nullptr);

    FormatStore& formats() { return m_formats; }
    const FormatStore& formats() const { return m_formats; }
    const RegisterImage& image() const { return m_image; }
    const CommandImages& images() const { return m_images; }
    int dataFormat() const { return m_dataFormat; }   // 0 "Int Default", 1 ABCD, 2 CDAB, 3 BADC
    int addressBase() const { return m_addressBase; } // 0 or 1

    // packet 0..29, cell 0..129
    QString valueText(int packet, int cell) const;
    QString labelText(int packet, int cell) const;

public slots:
    void setImages(const vantor::CommandImages& images); // after configure
    void setDataFormat(int value);
    void setAddressBase(int base); // stores it and rebuilds the point labels
    void rebuildPointLabels();
    void setCellValue(int packet, int cell, const QString& text);
    void setCellFormat(int packet, int cell, int code); // a menu choice (continuation rule)

    // From the session (packet 1..30). Bits are written only while the data format is 0.
    void onRegisterReply(int packet, const QByteArray& data, int registerCount);
    void onBitReply(int packet, const QByteArray& data, int bitCount);

signals:
    void packetChanged(int packet); // 0..29: values, labels or formats of that packet changed
    void labelsRebuilt();

private:
    void markChanged(int packet);
    void flush();

    FormatStore m_formats;
    RegisterImage m_image;
    CommandImages m_images;
    int m_dataFormat = 0;
    int m_addressBase = 0;
    QSet<int> m_dirty;
    QTimer m_refresh{this};
};

} // namespace vantor
