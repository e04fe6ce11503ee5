// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/SimulatedDevice.h"

#include <QLoggingCategory>
#include <QModbusRtuSerialServer>
#include <QModbusTcpServer>
#include <QSerialPort>
#include <QTcpServer>
#include <bit>
#include <cmath>
#include <numbers>

#include "transport/PtyPair.h"

namespace vantor {

// Holding registers: 0 counter, 1-2 sine (float AB CD), 3 sawtooth, 4 status bits,
// 5-6 a long counter (AB CD), 7 a negative value, 8-9 constants. Input registers mirror a few of
// them; discrete inputs are the status bits.
SimulatedDevice::SimulatedDevice(QObject* parent) : QObject(parent) {
    // The built-in server complains about every request it does not serve (function 50 …); the
    // master's own log already shows those exchanges.
    QLoggingCategory::setFilterRules(QStringLiteral("qt.modbus*.warning=false"));
    m_timer.setInterval(100);
    connect(&m_timer, &QTimer::timeout, this, &SimulatedDevice::Tick);
}

SimulatedDevice::~SimulatedDevice() {
    if (m_server)
        m_server->disconnectDevice();
}

float SimulatedDevice::SineAt(int tick) {
    return static_cast<float>(100.0 * std::sin(2.0 * std::numbers::pi * tick / 100.0));
}

std::uint16_t SimulatedDevice::StatusBitsAt(int tick) {
    // Bit 0 toggles every second, bit 1 every two seconds, bits 4-7 walk one position a second.
    const int second = tick / 10;
    return static_cast<std::uint16_t>((second & 1) | ((second >> 1 & 1) << 1) | 0x0004 |
                                      (1 << (4 + second % 4)));
}

bool SimulatedDevice::StartRtu() {
    m_pty = new PtyPair(this);
    if (!m_pty->Create()) {
        m_error = m_pty->errorString();
        return false;
    }
    auto* server = new QModbusRtuSerialServer(this);
    server->setConnectionParameter(QModbusDevice::SerialPortNameParameter, m_pty->endA());
    server->setConnectionParameter(QModbusDevice::SerialBaudRateParameter, QSerialPort::Baud19200);
    server->setConnectionParameter(QModbusDevice::SerialParityParameter, QSerialPort::NoParity);
    server->setConnectionParameter(QModbusDevice::SerialDataBitsParameter, QSerialPort::Data8);
    server->setConnectionParameter(QModbusDevice::SerialStopBitsParameter, QSerialPort::TwoStop);
    m_masterPort = m_pty->endB();
    return startServer(server);
}

bool SimulatedDevice::StartTcp() {
    // Find a free port: bind one, note it, let it go for the server.
    QTcpServer probe;
    if (!probe.listen(QHostAddress::LocalHost, 0)) {
        m_error = probe.errorString();
        return false;
    }
    m_tcpPort = probe.serverPort();
    probe.close();
    auto* server = new QModbusTcpServer(this);
    server->setConnectionParameter(QModbusDevice::NetworkAddressParameter,
                                   QStringLiteral("127.0.0.1"));
    server->setConnectionParameter(QModbusDevice::NetworkPortParameter, m_tcpPort);
    return startServer(server);
}

bool SimulatedDevice::startServer(QModbusServer* server) {
    m_server = server;
    connect(m_server, &QModbusServer::dataWritten, this,
            [this](QModbusDataUnit::RegisterType table, int address, int size) {
                onDataWritten(static_cast<int>(table), address, size);
            });
    initialiseMap();
    m_server->setServerAddress(kSlaveAddress);
    if (!m_server->connectDevice()) {
        m_error = m_server->errorString();
        return false;
    }
    Tick();
    m_timer.start();
    return true;
}

void SimulatedDevice::initialiseMap() {
    QModbusDataUnitMap map;
    map.insert(QModbusDataUnit::HoldingRegisters,
               {QModbusDataUnit::HoldingRegisters, 0, kHoldingRegisters});
    map.insert(QModbusDataUnit::InputRegisters,
               {QModbusDataUnit::InputRegisters, 0, kInputRegisters});
    map.insert(QModbusDataUnit::DiscreteInputs,
               {QModbusDataUnit::DiscreteInputs, 0, kDiscreteInputs});
    map.insert(QModbusDataUnit::Coils, {QModbusDataUnit::Coils, 0, kDiscreteInputs});
    m_server->setMap(map);
    m_server->setData(QModbusDataUnit::HoldingRegisters, 7, static_cast<quint16>(-1234));
    m_server->setData(QModbusDataUnit::HoldingRegisters, 8, 2026);
    m_server->setData(QModbusDataUnit::HoldingRegisters, 9, 0xBEEF);
}

void SimulatedDevice::onDataWritten(int table, int address, int size) {
    if (m_ticking || table != QModbusDataUnit::HoldingRegisters)
        return;
    for (int a = std::max(0, address); a < std::min(address + size, kHoldingRegisters); ++a)
        m_heldUntil[static_cast<std::size_t>(a)] = m_tick + kWriteHoldTicks;
}

void SimulatedDevice::setMoved(int address, quint16 value) {
    if (m_tick >= m_heldUntil[static_cast<std::size_t>(address)])
        m_server->setData(QModbusDataUnit::HoldingRegisters, static_cast<quint16>(address), value);
}

void SimulatedDevice::Tick() {
    if (!m_server)
        return;
    ++m_tick;
    const auto sine = std::bit_cast<std::uint32_t>(SineAt(m_tick));
    const auto longCounter = static_cast<std::uint32_t>(m_tick) * 1000u;
    const std::uint16_t status = StatusBitsAt(m_tick);
    const auto set = [this](QModbusDataUnit::RegisterType type, int address, quint16 value) {
        m_server->setData(type, static_cast<quint16>(address), value);
    };
    using U = QModbusDataUnit;
    m_ticking = true;
    setMoved(0, CounterAt(m_tick));
    setMoved(1, static_cast<quint16>(sine >> 16));
    setMoved(2, static_cast<quint16>(sine & 0xFFFF));
    setMoved(3, SawtoothAt(m_tick));
    setMoved(4, status);
    setMoved(5, static_cast<quint16>(longCounter >> 16));
    setMoved(6, static_cast<quint16>(longCounter & 0xFFFF));
    set(U::InputRegisters, 0, static_cast<quint16>(200 + m_tick % 50)); // a slow temperature
    set(U::InputRegisters, 1, SawtoothAt(m_tick));
    set(U::InputRegisters, 2, CounterAt(m_tick));
    set(U::InputRegisters, 3, status);
    for (int bit = 0; bit < kDiscreteInputs; ++bit)
        set(U::DiscreteInputs, bit, static_cast<quint16>(status >> bit & 1));
    m_ticking = false;
}

} // namespace vantor
