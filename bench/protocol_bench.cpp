#include "modbus/CommSession.h"
#include "modbus/Crc16.h"
#include "modbus/ReplyRules.h"
#include "modbus/RtuFrame.h"
#include "modbus/RxAssembly.h"
#include "registers/RegisterDecoder.h"
#include "registers/RegisterImage.h"

#include <benchmark/benchmark.h>

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
// judgement, CRC and the accepted reply's signal, with the log paused (arg 0) or scrolling (1).
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
    session.setLogScrolling(state.range(0) != 0);
    for (auto _ : state)
        session.onSerialBytes(bytes);
    if (session.counters().receivedPackets != static_cast<int>(state.iterations()))
        state.SkipWithError("a reply was not accepted");
}
BENCHMARK(BM_SessionJudge)->Arg(0)->Arg(1);

void BM_BuildRtuFrame(benchmark::State& state) {
    for (auto _ : state) {
        benchmark::DoNotOptimize(BuildRtuFrame("01030000000A"));
    }
}
BENCHMARK(BM_BuildRtuFrame);

// Decoding a 125-register reply into the cells of the register image, as the store does: with
// the default format (arg 0) and with a mix of 16-bit and 32-bit formats (arg 1).
void BM_DecodeRegisters(benchmark::State& state) {
    const std::vector<std::uint8_t> reply = RegisterReply(125);
    const std::span<const std::uint8_t> data(reply.data() + 3, 250);
    FormatStore store;
    if (state.range(0) != 0) {
        for (int cell = 0; cell < 125; cell += 10)
            store.SetCellFormat({PacketNo(1), cell}, static_cast<int>(ValueFormat::FloatABCD));
        for (int cell = 5; cell < 125; cell += 10)
            store.SetCellFormat({PacketNo(1), cell}, static_cast<int>(ValueFormat::LongCDAB));
    }
    const FormatStore::PacketFormats prepared = store.Packet(PacketNo(1));
    RegisterImage image;
    for (auto _ : state) {
        FormatStore::PacketFormats formats = prepared;
        DecodeRegistersTo(data, 125, formats, [&image](int cell, std::string_view text) {
            image.SetValue({PacketNo(1), cell}, text);
        });
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_DecodeRegisters)->Arg(0)->Arg(1);

} // namespace

BENCHMARK_MAIN();
