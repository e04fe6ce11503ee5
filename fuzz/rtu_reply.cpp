// SPDX-License-Identifier: GPL-3.0-or-later
// The serial reply judge of the session: one polled packet set up from the input, the rest of
// the input received in chunks. Every reply it accepts must be a whole frame of the input with
// a good CRC and the size its request asks for; the decoder turns it into at most that many
// cells; the counters never go down. A twin session given the same bytes one at a time must
// end with the same counters and the same accepted replies: reads that arrive in runs are
// judged as the line's single bytes would be.
#include <algorithm>
#include <array>
#include <cstring>
#include <string>

#include "FuzzSupport.h"
#include "modbus/CommSession.h"
#include "modbus/Crc16.h"
#include "modbus/FunctionTable.h"
#include "modbus/ReplyRules.h"
#include "registers/RegisterDecoder.h"

using namespace vantor;
using namespace vantor::fuzz;

namespace {

constexpr std::array<int, 5> kPolled = {3, 4, 2, 51, 50};
// The codes a format store may hold, and one it never holds.
constexpr std::array<int, 12> kCodes = {4, 5, 7, 8, 9, 10, 12, 13, 14, 15, 16, 0};

struct Setup {
    int slave = 1;
    int function = 3;
    int count = 1;
    FormatStore::PacketFormats formats{};
};

Setup ReadSetup(Input& in) {
    Setup s;
    // Mostly a function the cycle polls; now and then any code, as a damaged image would hold.
    const std::uint8_t choice = in.byte();
    s.function = choice < 0xF0 ? kPolled[choice % kPolled.size()] : in.byte();
    const FunctionInfo* info = FindFunction(s.function);
    const int limit = IsSerialPolled(info) ? SerialCountLimit(*info) : 125;
    const int high = in.byte();
    const int count = high << 8 | in.byte();
    s.count = s.function == 50 ? 1 : 1 + count % std::max(limit, 1);
    s.slave = in.byte();
    s.formats.fill(kCodes[static_cast<std::size_t>(in.pick(kCodes.size()))]);
    for (int n = in.pick(4); n > 0; --n) {
        const int cell = in.pick(kCellsPerPacket);
        s.formats[static_cast<std::size_t>(cell)] =
            kCodes[static_cast<std::size_t>(in.pick(kCodes.size()))];
    }
    return s;
}

// True when stream holds slave, function, [byte count,] data and a good CRC in a row.
bool IsWholeFrameOf(const std::string& stream, const Setup& s, const QByteArray& data) {
    const std::size_t length = static_cast<std::size_t>(data.size()) + kReplyOverhead;
    const FunctionInfo* info = FindFunction(s.function);
    const bool byteCount = info != nullptr && info->byteCount;
    for (std::size_t at = 0; at + length <= stream.size(); ++at) {
        const auto* frame = reinterpret_cast<const std::uint8_t*>(stream.data() + at);
        if (frame[0] != s.slave || frame[1] != s.function)
            continue;
        if (byteCount && frame[2] != (data.size() & 0xFF))
            continue;
        if (std::memcmp(data.constData(), frame + 3, std::size_t(data.size())) == 0 &&
            FrameCrcIsValid({frame, length}))
            return true;
    }
    return false;
}

void CheckCells(const std::vector<CellText>& cells, int limit) {
    FUZZ_CHECK(cells.size() <= static_cast<std::size_t>(std::min(limit, kCellsPerPacket)),
               "more cells than items");
    int previous = -1;
    for (const CellText& c : cells) {
        FUZZ_CHECK(c.cell > previous && c.cell < kCellsPerPacket, "cells out of order or range");
        previous = c.cell;
    }
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    MakeApplication();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    Input in(data, size);
    const Setup s = ReadSetup(in);
    const Chunks chunks(in);

    CommandImages images;
    PacketImage& image = images.packets[0];
    image.slave = s.slave;
    image.function = s.function;
    image.count = s.count;
    image.serialText = "01030000000A";
    images.totalCount = s.count;
    images.checkedRows = 1;

    CommSession session;
    std::string fed;
    Counters last;
    QObject::connect(&session, &CommSession::countersChanged, [&last](const Counters& c) {
        FUZZ_CHECK(c.crcErrors >= last.crcErrors && c.dataErrors >= last.dataErrors &&
                       c.receivedPackets >= last.receivedPackets,
                   "a counter went down");
        last = c;
    });
    const int items = std::max(ReplyRegisterCount(s.function, s.count), s.count);
    QObject::connect(
        &session, &CommSession::registerReplyAccepted,
        [&](int packet, const QByteArray& bytes, int registerCount) {
            FUZZ_CHECK(packet == 1, "reply for a packet not polled");
            FUZZ_CHECK(registerCount >= 0 && registerCount <= items, "more registers than asked");
            FUZZ_CHECK(bytes.size() == 2 * registerCount,
                       "register data size differs from the count");
            FUZZ_CHECK(IsWholeFrameOf(fed, s, bytes),
                       "accepted data is not a whole frame of the input");
            FormatStore::PacketFormats formats = s.formats;
            const auto* raw = reinterpret_cast<const std::uint8_t*>(bytes.data());
            CheckCells(DecodeRegisters({raw, std::size_t(bytes.size())}, registerCount, formats),
                       registerCount);
        });
    QObject::connect(
        &session, &CommSession::bitReplyAccepted,
        [&](int packet, const QByteArray& bytes, int bitCount) {
            FUZZ_CHECK(packet == 1, "reply for a packet not polled");
            FUZZ_CHECK(bitCount == s.count, "bit count differs from the request");
            FUZZ_CHECK(bytes.size() == (bitCount + 7) / 8, "bit data size differs from the count");
            FUZZ_CHECK(IsWholeFrameOf(fed, s, bytes),
                       "accepted data is not a whole frame of the input");
            const auto* raw = reinterpret_cast<const std::uint8_t*>(bytes.data());
            CheckCells(DecodeBits({raw, std::size_t(bytes.size())}, bitCount), bitCount);
        });

    CommSession twin;
    QByteArrayList accepted, acceptedByTwin;
    const auto record = [](QByteArrayList& list) {
        return [&list](int, const QByteArray& bytes, int) { list << bytes; };
    };
    for (auto [who, list] : {std::pair{&session, &accepted}, std::pair{&twin, &acceptedByTwin}}) {
        QObject::connect(who, &CommSession::registerReplyAccepted, record(*list));
        QObject::connect(who, &CommSession::bitReplyAccepted, record(*list));
        who->configureImages(images, 200);
        who->startPolling();
    }
    chunks.split(in.rest(), [&](std::span<const std::uint8_t> chunk) {
        fed.append(reinterpret_cast<const char*>(chunk.data()), chunk.size());
        // A request of packet 1 in flight at each chunk that finds none, for both alike.
        for (CommSession* who : {&session, &twin})
            if (who->cycle().inFlight() == nullptr)
                who->expectReplyTo(1);
        session.onSerialBytes(QByteArray(reinterpret_cast<const char*>(chunk.data()),
                                         static_cast<qsizetype>(chunk.size())));
        for (std::uint8_t byte : chunk)
            twin.PortMsgRxByte(byte);
    });
    FUZZ_CHECK(session.counters() == twin.counters(), "counters differ from a byte-wise read");
    FUZZ_CHECK(accepted == acceptedByTwin, "accepted replies differ from a byte-wise read");
    return 0;
}
