// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The point labels of a series (the time base's "HH:mm:ss"): short texts kept as UTF-8 in
// blocks that copies share, as ValueBlocks keeps the values. A QString is made only for a label
// that is asked for, so a curve file of a million labels loads without a million allocations,
// and a copy of the labels costs a pointer per block.
#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <array>
#include <cstdint>
#include <cstring>
#include <memory>
#include <vector>

namespace vantor {

class LabelBlocks {
public:
    static constexpr int kShift = 12;
    static constexpr int kSize = 1 << kShift; // labels per block

    LabelBlocks() = default;
    // From and to a list of texts (the chart's own list).
    LabelBlocks(const std::vector<QString>& texts) { // NOLINT: implicit on purpose
        for (const QString& text : texts)
            push_back(text);
    }
    operator std::vector<QString>() const { // NOLINT: implicit on purpose
        std::vector<QString> out;
        out.reserve(static_cast<std::size_t>(m_size));
        for (int i = 0; i < m_size; ++i)
            out.push_back((*this)[i]);
        return out;
    }

    int size() const { return m_size; }
    bool empty() const { return m_size == 0; }
    QByteArrayView utf8(int index) const {
        const Block& block = *m_blocks[static_cast<std::size_t>(index >> kShift)];
        const int at = index & (kSize - 1);
        const std::uint32_t begin = at == 0 ? 0 : block.ends[static_cast<std::size_t>(at - 1)];
        return {block.bytes.constData() + begin,
                qsizetype(block.ends[static_cast<std::size_t>(at)] - begin)};
    }
    // const: a label is changed by resize() and push_back(), never through the copy.
    const QString operator[](int index) const { return QString::fromUtf8(utf8(index)); }

    void push_back(QByteArrayView utf8) {
        Block& block = writable();
        block.bytes.append(utf8);
        block.ends[static_cast<std::size_t>(m_size & (kSize - 1))] =
            static_cast<std::uint32_t>(block.bytes.size());
        ++m_size;
    }
    void push_back(const QString& text) {
        // A short ASCII label ("HH:mm:ss") is copied as it is, without a QByteArray of its own.
        constexpr qsizetype kShort = 32;
        if (text.size() <= kShort) {
            char ascii[kShort];
            qsizetype n = 0;
            for (const QChar c : text) {
                if (c.unicode() >= 0x80)
                    break;
                ascii[n++] = static_cast<char>(c.unicode());
            }
            if (n == text.size()) {
                push_back(QByteArrayView(ascii, n));
                return;
            }
        }
        push_back(QByteArrayView(text.toUtf8()));
    }
    // Labels as a file holds them: each a u16 byte count (in memory's order) and its UTF-8.
    // Takes count labels from data[0, size) and returns the bytes they took, or -1 when one runs
    // past the end (the labels before it are kept).
    qint64 appendCounted(const char* data, qint64 size, qint64 count) {
        const char* at = data;
        const char* const end = data + size;
        for (; count > 0; --count) {
            std::uint16_t length;
            if (end - at < qint64(sizeof length))
                return -1;
            std::memcpy(&length, at, sizeof length);
            if (end - at - qint64(sizeof length) < length)
                return -1;
            const int slot = m_size & (kSize - 1);
            Block& block =
                slot == 0 || m_blocks.back().use_count() > 1 ? writable() : *m_blocks.back();
            block.bytes.append(at + sizeof length, length);
            block.ends[static_cast<std::size_t>(slot)] =
                static_cast<std::uint32_t>(block.bytes.size());
            ++m_size;
            at += sizeof length + length;
        }
        return at - data;
    }
    // Shorter: the labels from count on are dropped; longer: empty labels are added.
    void resize(int count) {
        if (count >= m_size) {
            while (m_size < count)
                push_back(QByteArrayView());
            return;
        }
        m_blocks.resize(static_cast<std::size_t>((count + kSize - 1) >> kShift));
        m_size = count;
        if (count & (kSize - 1)) {
            Block& block = writable(false);
            block.bytes.truncate(block.ends[static_cast<std::size_t>((count & (kSize - 1)) - 1)]);
        }
    }
    void clear() {
        std::vector<std::shared_ptr<Block>>().swap(m_blocks);
        m_size = 0;
    }

    bool operator==(const LabelBlocks& other) const {
        if (m_size != other.m_size)
            return false;
        for (int i = 0; i < m_size; ++i)
            if (utf8(i) != other.utf8(i))
                return false;
        return true;
    }

private:
    struct Block {
        std::array<std::uint32_t, kSize> ends; // end of label i in bytes
        QByteArray bytes;
    };
    // The block the next label goes into (a new one at a block's start), the caller's own.
    Block& writable(bool forNext = true) {
        if (forNext && (m_size & (kSize - 1)) == 0) {
            m_blocks.push_back(std::make_shared<Block>());
            m_blocks.back()->bytes.reserve(kSize * 8); // "HH:mm:ss"
        } else if (m_blocks.back().use_count() > 1)
            m_blocks.back() = std::make_shared<Block>(*m_blocks.back());
        return *m_blocks.back();
    }

    std::vector<std::shared_ptr<Block>> m_blocks;
    int m_size = 0;
};

} // namespace vantor
