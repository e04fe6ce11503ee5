// SPDX-License-Identifier: GPL-3.0-or-later
// Parameter files: every whole 104-byte record decodes, and the decoded records encode into
// bytes that decode to the same records. GBK cannot hold U+FFFD, which stands for bytes that
// were not GBK; it is saved as '?', as every character GBK cannot hold.
#include "FuzzSupport.h"
#include "writes/ParameterFile.h"

using namespace vantor;
using namespace vantor::fuzz;

namespace {

QString AsSaved(QString text) {
    return text.replace(QChar(QChar::ReplacementCharacter), QLatin1Char('?'));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    const std::vector<ParameterRecord> records = DecodeParameterRecords(bytes);
    FUZZ_CHECK(records.size() == size / kParameterRecordSize, "not one record per 104 bytes");

    int cut = -1;
    const QByteArray encoded = EncodeParameterRecords(records, &cut);
    FUZZ_CHECK(encoded.size() == qsizetype(records.size()) * kParameterRecordSize,
               "encoded size is not 104 bytes a record");
    FUZZ_CHECK(cut == 0, "a decoded text did not fit its field again");
    const std::vector<ParameterRecord> again = DecodeParameterRecords(encoded);
    FUZZ_CHECK(again.size() == records.size(), "record count changed");
    for (std::size_t i = 0; i < records.size(); ++i) {
        FUZZ_CHECK(again[i].label == AsSaved(records[i].label), "label changed on a round trip");
        FUZZ_CHECK(again[i].value == AsSaved(records[i].value), "value changed on a round trip");
        FUZZ_CHECK(again[i].code == records[i].code, "code changed on a round trip");
    }
    return 0;
}
