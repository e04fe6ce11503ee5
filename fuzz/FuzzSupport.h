// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// What every harness shares: reading set-up choices from the front of the input, the Qt
// application object, and stopping with a message when an invariant breaks.
#include <QCoreApplication>
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <span>

namespace vantor::fuzz {

// Stops the run with the broken invariant on stderr, so that libFuzzer saves the input.
#define FUZZ_CHECK(condition, what)                                                                \
    do {                                                                                           \
        if (!(condition)) {                                                                        \
            std::fprintf(stderr, "invariant broken: %s (%s) at %s:%d\n", what, #condition,         \
                         __FILE__, __LINE__);                                                      \
            std::abort();                                                                          \
        }                                                                                          \
    } while (0)

// Takes choices from the front of the input; what is left is the payload. An exhausted input
// reads as zeros.
class Input {
public:
    Input(const std::uint8_t* data, std::size_t size) : m_data(data), m_size(size) {}

    std::uint8_t byte() { return m_at < m_size ? m_data[m_at++] : 0; }
    // A value in 0..n-1 (n > 0).
    int pick(int n) { return byte() % n; }
    std::span<const std::uint8_t> rest() const { return {m_data + m_at, m_size - m_at}; }

private:
    const std::uint8_t* m_data;
    std::size_t m_size;
    std::size_t m_at = 0;
};

// Chunk sizes for feeding a payload: up to seven sizes taken from the input and used in turn
// (0 counts as 1); none: the whole payload at once.
class Chunks {
public:
    explicit Chunks(Input& in) : m_count(static_cast<std::size_t>(in.pick(8))) {
        for (std::size_t i = 0; i < m_count; ++i)
            m_sizes[i] = in.byte();
    }
    // Calls feed(span) for each chunk of payload in order.
    template <class Feed> void split(std::span<const std::uint8_t> payload, Feed feed) const {
        std::size_t at = 0;
        for (std::size_t turn = 0; at < payload.size(); ++turn) {
            std::size_t size = m_count == 0 ? payload.size() : m_sizes[turn % m_count];
            size = std::min(std::max<std::size_t>(size, 1), payload.size() - at);
            feed(payload.subspan(at, size));
            at += size;
        }
    }

private:
    std::size_t m_count;
    std::uint8_t m_sizes[7]{};
};

// The application object the sessions' timers and the option parser need, made once.
inline void MakeApplication() {
    static int argc = 1;
    static char name[] = "fuzz";
    static char* argv[] = {name, nullptr};
    static QCoreApplication app(argc, argv);
}

} // namespace vantor::fuzz
