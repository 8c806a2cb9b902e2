#pragma once
// Small decoders of the seven track formats, written for the tests from the
// format descriptions alone, so that they check the writers rather than
// repeat them. The gdb and mps decoders scan for fix records the way a
// reader that does not know the layout has to.

#include <cstdint>
#include <vector>

#include <QByteArray>
#include <QString>

namespace keelrun::sim::test {

struct DecodedFix {
    std::int64_t time = 0;  // Unix seconds
    double lat = 0;         // degrees
    double lon = 0;
};

std::vector<DecodedFix> decodeTrb(const QByteArray &bytes);
// The record size is 16 when the time at byte 16 is nearer the first time
// than the 32-bit value at byte 20, otherwise 20.
int trlRecordSize(const QByteArray &bytes);
std::vector<DecodedFix> decodeTrl(const QByteArray &bytes);
std::vector<DecodedFix> decodeGdb(const QByteArray &bytes);
std::vector<DecodedFix> decodeMps(const QByteArray &bytes);
std::vector<DecodedFix> decodeGpx(const QByteArray &bytes);
std::vector<DecodedFix> decodeHemisphereText(const QByteArray &bytes);
// Only RMC sentences with a correct checksum count.
std::vector<DecodedFix> decodeNmea(const QByteArray &bytes);

// By file extension; an unreadable file gives no fixes.
std::vector<DecodedFix> decodeTrackFile(const QString &path);

}  // namespace keelrun::sim::test
