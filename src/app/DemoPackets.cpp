// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/DemoPackets.h"

#include "app/SimulatedDevice.h"
#include "packets/DataGridPanel.h"
#include "registers/CurveTable.h"
#include "registers/RegisterDecoder.h"
#include "registers/RegisterStore.h"
#include "registers/ValueFormat.h"
#include "registers/Workspace.h"

namespace vantor {

void ApplyDemoPackets(ConsoleOptions& options) {
    options.rows = PacketRows{};
    options.rows[0] = {"1", "03", "0", "10", true};
    options.rows[1] = {"1", "02", "0", "8", true};
    options.rows[2] = {"1", "04", "0", "4", true};
    options.packetCount = 3;
    options.formats = {
        {{PacketNo(1), 1}, static_cast<int>(ValueFormat::FloatABCD)},  // sine
        {{PacketNo(1), 3}, static_cast<int>(ValueFormat::Unsigned16)}, // sawtooth
        {{PacketNo(1), 4}, static_cast<int>(ValueFormat::Unsigned16)}, // status bits
        {{PacketNo(1), 5}, static_cast<int>(ValueFormat::LongABCD)},   // long counter
        {{PacketNo(1), 9}, static_cast<int>(ValueFormat::Unsigned16)}, // 0xBEEF
        {{PacketNo(3), 3}, static_cast<int>(ValueFormat::Unsigned16)},
    };
}

void AddDemoCurves(Workspace& workspace) {
    const RegisterStore& store = *workspace.store();
    CurveTable& curves = *workspace.curves();
    TrendSettings settings = workspace.trendSettings();
    settings.range(TrendAxis::Y).min = -50; // the whole sine
    workspace.setTrendSettings(settings);
    struct DemoCurve {
        int cell; // of packet 1
        const char* rate;
    };
    // Counter 0..65535, sine -100..100, sawtooth 0..990.
    static constexpr DemoCurve kCurves[] = {{0, "0.0015"}, {1, "0.5"}, {3, "0.1"}};
    for (const DemoCurve& curve : kCurves) {
        const int row = CellRow(curve.cell);
        const int labelColumn = CellValueColumn(curve.cell) - 1;
        const QString label = store.gridText(1, row, labelColumn);
        const CurveDrop added = curves.drop(PointDragPayload(label, 1, row, labelColumn));
        if (added.result == CurveDrop::Added)
            curves.setText(added.row, CurveColumn::Rate, QString::fromLatin1(curve.rate));
    }
}

bool StartDemoDevice(SimulatedDevice& device, ConsoleOptions& options) {
    if (device.StartRtu()) {
        options.link = LinkKind::Serial;
        options.serial = SerialSettings{}; // the device serves the default line settings
        options.serial.portName = device.masterPort();
    } else if (device.StartTcp()) {
        options.link = LinkKind::Tcp;
        options.tcpHost = QStringLiteral("127.0.0.1");
        options.tcpPort = QString::number(device.tcpPort());
    } else {
        return false;
    }
    if (options.packetCount == 0)
        ApplyDemoPackets(options);
    return true;
}

DemoDevice::DemoDevice() : m_device(QStringLiteral("device")) {}

DemoDevice::~DemoDevice() = default;

bool DemoDevice::Start(ConsoleOptions& options) {
    bool started = false;
    m_device.run([&] {
        SimulatedDevice& device = *m_device.object();
        started = StartDemoDevice(device, options);
        m_error = device.errorString();
    });
    return started;
}

} // namespace vantor
