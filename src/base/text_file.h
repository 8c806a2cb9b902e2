#pragma once
// Text files of the data folder are UTF-8 (with or without a byte-order mark)
// or Shift-JIS (code page 932), decided per file. Readers get the text as
// UTF-8 bytes; the encoding and the line ends are remembered so that a file
// the program rewrites keeps them.

#include <optional>
#include <string_view>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include <QByteArray>
#include <QString>

#include "base/numbers.h"

namespace keelrun {

struct TextEncoding {
    enum Kind { Utf8, ShiftJis };
    Kind kind = Utf8;
    bool byteOrderMark = false;
    bool crlf = true;

    friend bool operator==(const TextEncoding &, const TextEncoding &) = default;
};

struct TextFile {
    QByteArray utf8;      // the whole text, converted to UTF-8, without a byte-order mark
    TextEncoding encoding;

    std::string_view text() const { return {utf8.constData(), static_cast<std::size_t>(utf8.size())}; }
};

// Decides the encoding of raw file bytes and converts them to UTF-8.
TextFile decodeText(const QByteArray &raw);

// A number as the program writes it everywhere: the shortest form, up to 15
// significant digits.
inline QString numberText(double value) { return QString::fromStdString(formatNumber(value)); }

inline QString toQString(std::string_view utf8) { return QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size())); }

// A text that starts with a UTF-16 byte-order mark, little- or big-endian,
// converted to UTF-8 without the mark; any other text as it is.
QByteArray utf16AsUtf8(const QByteArray &raw);

// Reads and decodes a whole file; nothing when it cannot be opened.
std::optional<TextFile> readTextFile(const QString &path);

// Converts text back to the bytes of the given encoding, with its line ends.
QByteArray encodeText(const QString &text, const TextEncoding &encoding);

// Writes `bytes` as the whole of `path` through a temporary file renamed into
// place, so that a failure never leaves a half-written file: nothing when it
// worked, else the reason.
QString replaceFile(const QString &path, const QByteArray &bytes);

// Where the first line of the text ends: its "\n", or npos. Sixteen bytes
// are looked at together: a track file's lines are too short for a call to
// memchr, and what it does before it looks, to pay.
inline std::size_t lineEnd(std::string_view text)
{
    std::size_t at = 0;
#if defined(__SSE2__)
    const __m128i newline = _mm_set1_epi8('\n');
    for (; at + 16 <= text.size(); at += 16) {
        const __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i *>(text.data() + at));
        if (const int found = _mm_movemask_epi8(_mm_cmpeq_epi8(bytes, newline)))
            return at + static_cast<std::size_t>(__builtin_ctz(static_cast<unsigned>(found)));
    }
#endif
    const std::size_t rest = text.substr(at).find('\n');
    return rest == std::string_view::npos ? rest : at + rest;
}

// Calls `line(text, lineNumber)` for each line (1-based), without its line end.
template <typename F>
void forEachLine(std::string_view text, F &&line)
{
    int number = 0;
    while (!text.empty()) {
        const std::size_t end = lineEnd(text);
        std::string_view current = text.substr(0, end);
        if (!current.empty() && current.back() == '\r')
            current.remove_suffix(1);
        line(current, ++number);
        if (end == std::string_view::npos)
            break;
        text.remove_prefix(end + 1);
    }
}

}  // namespace keelrun
