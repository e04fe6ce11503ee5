// SPDX-License-Identifier: GPL-3.0-or-later
// Modbus TCP streams: the MBAP framer alone, then the session's TCP receive path, both fed the
// payload in chunks chosen by the input. Frames have the size their header gives, nothing is
// lost or made up between frames, drops and the buffer, and accepted data fits the count.
#include <algorithm>

#include "FuzzSupport.h"
#include "modbus/CommSession.h"
#include "modbus/FunctionTable.h"
#include "modbus/MbapFramer.h"

using namespace vantor;
using namespace vantor::fuzz;

namespace {

void CheckFramer(const Chunks& chunks, std::span<const std::uint8_t> payload) {
    MbapFramer framer;
    std::size_t fed = 0;
    std::size_t out = 0;
    chunks.split(payload, [&](std::span<const std::uint8_t> chunk) {
        fed += chunk.size();
        for (const MbapEvent& event : framer.Feed(chunk)) {
            out += event.bytes.size();
            if (event.kind == MbapEvent::Kind::Malformed) {
                FUZZ_CHECK(!event.reason.empty(), "a drop without a reason");
                continue;
            }
            const auto& b = event.bytes;
            FUZZ_CHECK(b.size() >= MbapFramer::kHeaderSize, "frame shorter than its header");
            const unsigned length = static_cast<unsigned>(b[4] << 8 | b[5]);
            FUZZ_CHECK(b[2] == 0 && b[3] == 0, "frame with a protocol other than 0");
            FUZZ_CHECK(length >= MbapFramer::kMinLength && length <= MbapFramer::kMaxLength,
                       "frame length outside 3..254");
            FUZZ_CHECK(b.size() == MbapFramer::kHeaderSize + length - 1,
                       "frame size differs from its length field");
        }
        FUZZ_CHECK(framer.buffered() <= MbapFramer::kHeaderSize + MbapFramer::kMaxLength,
                   "buffer beyond one frame");
        FUZZ_CHECK(out + framer.buffered() == fed, "bytes lost or made up");
    });
}

void CheckSession(Input& in, const Chunks& chunks) {
    const int function = kTcpFunctionCodes[static_cast<std::size_t>(
        in.pick(static_cast<int>(kTcpFunctionCodes.size())))];
    const int count = 1 + in.pick(kTcpMaxRegisters);
    CommandImages images;
    images.link = LinkKind::Tcp;
    PacketImage& image = images.packets[0];
    image.function = 3;
    image.count = count;
    image.tcpBuilt = true;
    image.tcp = {in.byte(), in.byte(), 0,         0,
                 0,         6,         in.byte(), static_cast<std::uint8_t>(function),
                 0,         0,         0,         static_cast<std::uint8_t>(count)};
    images.totalCount = count;
    images.checkedRows = 1;

    CommSession session;
    Counters last;
    QObject::connect(&session, &CommSession::countersChanged, [&last](const Counters& c) {
        FUZZ_CHECK(c.crcErrors >= last.crcErrors && c.dataErrors >= last.dataErrors &&
                       c.receivedPackets >= last.receivedPackets,
                   "a counter went down");
        last = c;
    });
    QObject::connect(
        &session, &CommSession::registerReplyAccepted,
        [count](int packet, const QByteArray& bytes, int registers) {
            FUZZ_CHECK(packet == 1, "reply for a packet not polled");
            FUZZ_CHECK(registers >= 0 && registers <= count, "more registers than asked");
            FUZZ_CHECK(bytes.size() == 2 * registers, "register data size differs from the count");
        });
    session.configureImages(images, 200);
    session.tcpStart();
    CheckFramer(chunks, in.rest());
    chunks.split(in.rest(), [&](std::span<const std::uint8_t> chunk) {
        // A request of packet 1, with the image's transaction number, in flight at each chunk
        // that finds none.
        if (session.cycle().inFlight() == nullptr)
            session.expectReplyTo(1);
        session.onTcpBytes(QByteArray(reinterpret_cast<const char*>(chunk.data()),
                                      static_cast<qsizetype>(chunk.size())));
    });
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    MakeApplication();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    Input in(data, size);
    const Chunks chunks(in);
    CheckSession(in, chunks);
    return 0;
}
