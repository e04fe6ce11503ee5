// SPDX-License-Identifier: GPL-3.0-or-later
#include "files/GbkText.h"

#include <QList>
#include <QStringDecoder>

#include <iconv.h>

#include <algorithm>
#include <cerrno>
#include <string>

namespace gbk {
namespace {

// One iconv conversion of a whole buffer. An input sequence the target cannot take is replaced by
// `replacement` and skipped by `skip` bytes, so a bad byte never ends the conversion early.
std::string convert(const char* to, const char* from, const QByteArray& in,
                    const std::string& replacement, size_t skip, int* replaced = nullptr) {
    std::string out;
    iconv_t cd = iconv_open(to, from);
    if (cd == reinterpret_cast<iconv_t>(-1))
        return out;
    char* src = const_cast<char*>(in.constData());
    size_t srcLeft = static_cast<size_t>(in.size());
    std::string chunk(4 * in.size() + 16, '\0');
    while (srcLeft > 0) {
        char* dst = chunk.data();
        size_t dstLeft = chunk.size();
        size_t rc = iconv(cd, &src, &srcLeft, &dst, &dstLeft);
        out.append(chunk.data(), chunk.size() - dstLeft);
        if (rc != static_cast<size_t>(-1))
            break;
        if (errno == E2BIG)
            continue;
        // EILSEQ or EINVAL (a sequence cut short at the end): replace and go on.
        out += replacement;
        if (replaced)
            ++*replaced;
        size_t step = std::min(skip, srcLeft);
        src += step;
        srcLeft -= step;
    }
    iconv(cd, nullptr, nullptr, nullptr, nullptr);
    iconv_close(cd);
    return out;
}

} // namespace

QByteArray encode(const QString& text) {
    // UTF-32 input lets a character GBK cannot hold be skipped as exactly one unit of four bytes.
    const QList<uint> units = text.toUcs4();
    const QByteArray utf32(reinterpret_cast<const char*>(units.constData()),
                           static_cast<qsizetype>(units.size() * 4));
    const std::string out = convert("GBK", "UTF-32LE", utf32, "?", 4);
    return QByteArray(out.data(), static_cast<qsizetype>(out.size()));
}

QString decode(const QByteArray& bytes) {
    const std::string out = convert("UTF-8", "GBK", bytes, "\xEF\xBF\xBD", 1);
    return QString::fromUtf8(out.data(), static_cast<qsizetype>(out.size()));
}

std::optional<QString> decodeStrict(const QByteArray& bytes) {
    int replaced = 0;
    const std::string out = convert("UTF-8", "GBK", bytes, "", 1, &replaced);
    if (replaced > 0)
        return std::nullopt;
    return QString::fromUtf8(out.data(), static_cast<qsizetype>(out.size()));
}

bool looksLikeUtf8(const QByteArray& bytes) {
    const bool ascii = std::all_of(bytes.begin(), bytes.end(),
                                   [](char c) { return static_cast<unsigned char>(c) < 0x80; });
    if (ascii)
        return false;
    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    [[maybe_unused]] const QString text = decoder.decode(bytes); // the decode runs here
    return !decoder.hasError();
}

QByteArray cutAtCharacter(const QByteArray& bytes, int maxBytes) {
    if (maxBytes <= 0)
        return {};
    if (bytes.size() <= maxBytes)
        return bytes;
    // Walk character by character: a lead byte 0x81..0xFE starts a double-byte character.
    int end = 0;
    while (end < bytes.size()) {
        const auto lead = static_cast<unsigned char>(bytes[end]);
        const int width = (lead >= 0x81 && lead <= 0xFE && end + 1 < bytes.size()) ? 2 : 1;
        if (end + width > maxBytes)
            break;
        end += width;
    }
    return bytes.left(end);
}

} // namespace gbk
