#include <gtest/gtest.h>

#include <string>
#include <string_view>
#include <vector>

#include <QString>

#include "base/text_file.h"

namespace keelrun {
namespace {

const QString kJapanese = QStringLiteral("葉山マリーナ秋季レース");

TEST(TextFile, ReadsUtf8WithAndWithoutByteOrderMark)
{
    const QByteArray utf8 = kJapanese.toUtf8();
    const TextFile plain = decodeText(utf8 + "\r\n");
    EXPECT_EQ(plain.encoding.kind, TextEncoding::Utf8);
    EXPECT_FALSE(plain.encoding.byteOrderMark);
    EXPECT_EQ(QString::fromUtf8(plain.utf8), kJapanese + "\r\n");

    const TextFile bom = decodeText("\xEF\xBB\xBF" + utf8);
    EXPECT_TRUE(bom.encoding.byteOrderMark);
    EXPECT_EQ(QString::fromUtf8(bom.utf8), kJapanese);
}

TEST(TextFile, DetectsShiftJisAndWritesItBack)
{
    const TextEncoding sjis{TextEncoding::ShiftJis, false, true};
    const QByteArray raw = encodeText(QStringLiteral("T1,") + kJapanese + "\n", sjis);
    EXPECT_TRUE(raw.endsWith("\r\n"));
    EXPECT_NE(raw.mid(3), kJapanese.toUtf8() + "\r\n");

    const TextFile decoded = decodeText(raw);
    EXPECT_EQ(decoded.encoding, sjis);
    EXPECT_EQ(QString::fromUtf8(decoded.utf8), QStringLiteral("T1,") + kJapanese + "\r\n");
    EXPECT_EQ(encodeText(QString::fromUtf8(decoded.utf8), decoded.encoding), raw);
}

TEST(TextFile, RemembersLineEnds)
{
    EXPECT_TRUE(decodeText("a\r\nb\r\n").encoding.crlf);
    EXPECT_FALSE(decodeText("a\nb\n").encoding.crlf);
    EXPECT_EQ(encodeText(QStringLiteral("a\r\nb\n"), {TextEncoding::Utf8, false, false}), "a\nb\n");
}

TEST(TextFile, SplitsLinesWithoutTheirEnds)
{
    std::vector<std::pair<std::string, int>> lines;
    forEachLine("one\r\ntwo\n\nfour", [&](std::string_view l, int n) { lines.emplace_back(l, n); });
    ASSERT_EQ(lines.size(), 4u);
    EXPECT_EQ(lines[0], (std::pair<std::string, int>{"one", 1}));
    EXPECT_EQ(lines[2], (std::pair<std::string, int>{"", 3}));
    EXPECT_EQ(lines[3], (std::pair<std::string, int>{"four", 4}));
}

// Lines of every length up to a few blocks of sixteen bytes, each ended in
// every way, in a buffer that ends where the text does.
TEST(ForEachLine, LinesOfEveryLengthAndEnding)
{
    for (std::size_t length = 0; length <= 70; ++length) {
        for (const std::string ending : {"\n", "\r\n", ""}) {
            std::string line;
            for (std::size_t k = 0; k < length; ++k)
                line += static_cast<char>('a' + k % 26);
            const std::string whole = line + ending + "next";
            const std::vector<char> bytes(whole.begin(), whole.end());
            std::vector<std::string> lines;
            forEachLine(std::string_view(bytes.data(), bytes.size()), [&](std::string_view l, int) { lines.emplace_back(l); });
            const std::vector<std::string> expected =
                ending.empty() ? std::vector<std::string>{line + "next"} : std::vector<std::string>{line, "next"};
            ASSERT_EQ(lines, expected) << length << " " << ending.size();
        }
    }
}

}  // namespace
}  // namespace keelrun
