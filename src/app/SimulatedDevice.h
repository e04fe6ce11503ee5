// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The built-in simulated device: a Modbus slave whose registers move, so that a new user sees
// live values at once. It serves RTU on one end of a pseudo-terminal pair this program makes,
// or Modbus TCP on 127.0.0.1 where there are no pseudo-terminals.
#include <QObject>
#include <QString>
#include <QTimer>
#include <array>
#include <cstdint>

class QModbusServer;

namespace vantor {

class PtyPair;

class SimulatedDevice : public QObject {
    Q_OBJECT
public:
    static constexpr int kSlaveAddress = 1;
    static constexpr int kHoldingRegisters = 20;
    static constexpr int kInputRegisters = 10;
    static constexpr int kDiscreteInputs = 16;
    // A holding register written by the master keeps the written value this many ticks before
    // the device moves it again, so that the next poll shows the write.
    static constexpr int kWriteHoldTicks = 50;

    explicit SimulatedDevice(QObject* parent = nullptr);
    ~SimulatedDevice() override;

    // Starts serving RTU (19200 8N2) on a new pseudo-terminal pair; the master opens
    // masterPort(). False with errorString() when that is not possible.
    bool StartRtu();
    // Starts serving Modbus TCP on 127.0.0.1 at a free port (tcpPort()).
    bool StartTcp();
    QString masterPort() const { return m_masterPort; }
    quint16 tcpPort() const { return m_tcpPort; }
    QString errorString() const { return m_error; }

    // Register values at a tick (0.1 s each), public so that tests can predict them.
    static std::uint16_t CounterAt(int tick) { return static_cast<std::uint16_t>(tick); }
    static float SineAt(int tick);
    static std::uint16_t SawtoothAt(int tick) {
        return static_cast<std::uint16_t>(tick % 100 * 10);
    }
    static std::uint16_t StatusBitsAt(int tick);

    // Advances the registers by one tick (the timer does this every 100 ms).
    void Tick();

private:
    bool startServer(QModbusServer* server);
    void initialiseMap();
    void onDataWritten(int table, int address, int size);
    void setMoved(int address, quint16 value); // a moving holding register, unless held

    PtyPair* m_pty = nullptr;
    QModbusServer* m_server = nullptr;
    QTimer m_timer{this};
    int m_tick = 0;
    bool m_ticking = false; // the device itself writes its registers
    std::array<int, kHoldingRegisters> m_heldUntil{};
    QString m_masterPort;
    quint16 m_tcpPort = 0;
    QString m_error;
};

} // namespace vantor
