#include "base/text_file.h"

#include <QFile>
#include <QSaveFile>
#include <QStringDecoder>
#include <QStringEncoder>

namespace keelrun {
namespace {

// ICU's name for Microsoft's Shift-JIS, with the NEC and IBM extensions.
constexpr const char *kShiftJisName = "windows-31j";

bool isValidUtf8(const QByteArray &bytes)
{
    QStringDecoder decoder(QStringDecoder::Utf8);
    const QString decoded = decoder.decode(bytes);  // decoding happens on conversion
    Q_UNUSED(decoded);
    return !decoder.hasError();
}

}  // namespace

TextFile decodeText(const QByteArray &raw)
{
    TextFile file;
    file.encoding.crlf = raw.contains("\r\n") || !raw.contains('\n');
    if (raw.startsWith("\xEF\xBB\xBF")) {
        file.encoding.byteOrderMark = true;
        file.utf8 = raw.mid(3);
    } else if (isValidUtf8(raw)) {
        file.utf8 = raw;
    } else {
        file.encoding.kind = TextEncoding::ShiftJis;
        QStringDecoder decoder(kShiftJisName);
        file.utf8 = QString(decoder.decode(raw)).toUtf8();
    }
    return file;
}

QByteArray utf16AsUtf8(const QByteArray &raw)
{
    const bool littleEndian = raw.startsWith("\xFF\xFE"), bigEndian = raw.startsWith("\xFE\xFF");
    if (!littleEndian && !bigEndian)
        return raw;
    QStringDecoder decoder(littleEndian ? QStringDecoder::Utf16LE : QStringDecoder::Utf16BE);
    return QString(decoder.decode(QByteArrayView(raw).sliced(2))).toUtf8();
}

std::optional<TextFile> readTextFile(const QString &path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return std::nullopt;
    return decodeText(f.readAll());
}

QString replaceFile(const QString &path, const QByteArray &bytes)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.commit())
        return file.errorString();
    return {};
}

QByteArray encodeText(const QString &text, const TextEncoding &encoding)
{
    QString withEnds = text;
    withEnds.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    if (encoding.crlf)
        withEnds.replace(QLatin1Char('\n'), QStringLiteral("\r\n"));
    if (encoding.kind == TextEncoding::ShiftJis) {
        QStringEncoder encoder(kShiftJisName);
        return encoder.encode(withEnds);
    }
    QByteArray bytes = encoding.byteOrderMark ? QByteArray("\xEF\xBB\xBF") : QByteArray();
    return bytes + withEnds.toUtf8();
}

}  // namespace keelrun
