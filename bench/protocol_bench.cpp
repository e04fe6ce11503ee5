// SPDX-License-Identifier: GPL-3.0-or-later
#include "modbus/CommSession.h"
#include "modbus/Crc16.h"
#include "modbus/LogFormat.h"
#include "modbus/ReplyRules.h"
#include "modbus/RtuFrame.h"
#include "modbus/RxAssembly.h"
#include "modbus/Texts.h"
#include "registers/RegisterDecoder.h"
#include "registers/RegisterImage.h"
#include "registers/RegisterStore.h"

#include <QCoreApplication>
#include <QDir>
#include <QTranslator>
#include <benchmark/benchmark.h>

#include <memory>
#include <vector>

namespace {

using namespace vantor;

// A complete reply to a read of 125 registers: 255 bytes with its CRC.
std::vector<std::uint8_t> RegisterReply(int count) {
    std::vector<std::uint8_t> reply{0x01, 0x03, static_cast<std::uint8_t>(2 * count)};
    for (int i = 0; i < 2 * count; ++i) {
        reply.push_back(static_cast<std::uint8_t>(i * 31 + 7));
    }
    const Crc16 crc = CalcCrc16(reply);
    reply.insert(reply.end(), crc.begin(), crc.end());
    return reply;
}

void BM_CalcCrc16(benchmark::State& state) {
    const std::vector<std::uint8_t> reply = RegisterReply(125);
    for (auto _ : state) {
        benchmark::DoNotOptimize(CalcCrc16(reply));
    }
    state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(reply.size()));
}
BENCHMARK(BM_CalcCrc16);

void BM_JudgeReply(benchmark::State& state) {
    const std::vector<std::uint8_t> reply = RegisterReply(125);
    const std::size_t expected = ExpectedReplyLength(SessionMode::Polling, 3, 125);
    RxAssembly rx;
    for (auto _ : state) {
        rx.Reset();
        Judgement judgement = Judgement::Incomplete;
        for (const std::uint8_t byte : reply) {
            rx.Append(byte);
            judgement = JudgeReply(rx.bytes(), expected);
        }
        benchmark::DoNotOptimize(judgement);
    }
    state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(reply.size()));
}
BENCHMARK(BM_JudgeReply);

// The session's serial receive path for a whole 125-register reply read at once: assembly,
// judgement, CRC and the accepted reply's signal, with the log paused (arg 0) or scrolling (1);
// arg 2: log paused, and the register store takes each reply as the window and console do.
void BM_SessionJudge(benchmark::State& state) {
    const std::vector<std::uint8_t> reply = RegisterReply(125);
    const QByteArray bytes(reinterpret_cast<const char*>(reply.data()),
                           static_cast<qsizetype>(reply.size()));
    CommandImages images;
    images.packets[0] = {"010300000007D", {}, 1, 3, 0, 125, false};
    images.totalCount = 125;
    images.checkedRows = 1;
    CommSession session;
    session.configureImages(images, 200);
    session.setLogScrolling(state.range(0) == 1);
    RegisterStore store;
    if (state.range(0) == 2)
        QObject::connect(&session, &CommSession::registerReplyAccepted, &store,
                         &RegisterStore::onRegisterReply);
    // Each reply answers a request in flight, as on the line (a reply without one is dropped).
    for (auto _ : state) {
        session.expectReplyTo(1);
        session.onSerialBytes(bytes);
    }
    if (session.counters().receivedPackets != static_cast<int>(state.iterations()))
        state.SkipWithError("a reply was not accepted");
}
BENCHMARK(BM_SessionJudge)->Arg(0)->Arg(1)->Arg(2);

void BM_BuildRtuFrame(benchmark::State& state) {
    for (auto _ : state) {
        benchmark::DoNotOptimize(BuildRtuFrame("01030000000A"));
    }
}
BENCHMARK(BM_BuildRtuFrame);

// A 125-register reply taken by the register store and all its cells read, as a print of every
// reply or a page showing it does: with the default format (arg 0) and with a mix of 16-bit and
// 32-bit formats (arg 1). Each reply's values differ from the last one's.
void BM_DecodeRegisters(benchmark::State& state) {
    std::vector<std::uint8_t> reply = RegisterReply(125);
    RegisterStore store;
    if (state.range(0) != 0) {
        for (int cell = 0; cell < 125; cell += 10)
            store.setCellFormat({PacketNo(1), cell}, static_cast<int>(ValueFormat::FloatABCD));
        for (int cell = 5; cell < 125; cell += 10)
            store.setCellFormat({PacketNo(1), cell}, static_cast<int>(ValueFormat::LongCDAB));
    }
    QByteArray data(reinterpret_cast<const char*>(reply.data() + 3), 250);
    std::size_t length = 0;
    for (auto _ : state) {
        data[1] = static_cast<char>(data[1] + 1);
        store.onRegisterReply(1, data, 125);
        for (int cell = 0; cell < 125; ++cell)
            length += store.valueUtf8({PacketNo(1), cell}).size();
    }
    benchmark::DoNotOptimize(length);
}
BENCHMARK(BM_DecodeRegisters)->Arg(0)->Arg(1);

// An exception reply's notice as the link thread builds it with every English catalogue
// installed, as the program does: the patterns kept per thread (arg 0), against a look-up in the
// translators per line (arg 1, what the cache saves).
void BM_ExceptionNotice(benchmark::State& state) {
    std::vector<std::unique_ptr<QTranslator>> catalogues;
    const QDir folder(QStringLiteral(":/i18n"));
    for (const QString& name : folder.entryList({QStringLiteral("*_en.qm")}, QDir::Files)) {
        catalogues.push_back(std::make_unique<QTranslator>());
        if (catalogues.back()->load(folder.filePath(name)))
            QCoreApplication::installTranslator(catalogues.back().get());
    }
    SetCoreTranslator([](const char* context, const char* source) {
        return QCoreApplication::translate(context, source).toStdString();
    });
    std::size_t length = 0;
    for (auto _ : state) {
        if (state.range(0) == 0) {
            length += ExceptionText(3, 0x83, 2).size();
        } else {
            length += FormatText(CoreText("vantor::LogFormat",
                                          "数据包 %1 异常应答：功能码 0x%2，异常码 0x%3 %4"),
                                 {"3", "83", "02", CoreText("vantor::ReplyRules", "非法数据地址")})
                          .size();
        }
    }
    benchmark::DoNotOptimize(length);
    SetCoreTranslator(nullptr);
    for (const auto& catalogue : catalogues)
        QCoreApplication::removeTranslator(catalogue.get());
    if (catalogues.empty())
        state.SkipWithError("no catalogue under :/i18n");
}
BENCHMARK(BM_ExceptionNotice)->Arg(0)->Arg(1);

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv); // the register store's refresh runs on timers
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
