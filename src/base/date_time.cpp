#include "base/date_time.h"

#include <cmath>
#include <cstdint>
#include <limits>

#include <QLocale>

#include "base/byte_words.h"

namespace keelrun {
namespace {

// Days from 1970-01-01 to the given civil date (proleptic Gregorian).
constexpr long long daysFromCivil(long long y, unsigned m, unsigned d)
{
    y -= m <= 2;
    const long long era = (y >= 0 ? y : y - 399) / 400;
    const auto yoe = static_cast<unsigned>(y - era * 400);
    const unsigned doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
    const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + static_cast<long long>(doe) - 719468;
}

constexpr long long kEpochDays = daysFromCivil(1899, 12, 30);

bool isLeapYear(int y) { return (y % 4 == 0 && y % 100 != 0) || y % 400 == 0; }

int daysInMonth(int y, int m)
{
    static constexpr int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return m == 2 && isLeapYear(y) ? 29 : kDays[m - 1];
}

// A small cursor over the date text.
struct Scanner {
    std::string_view s;
    std::size_t i = 0;

    bool atEnd() const { return i >= s.size(); }
    char peek() const { return atEnd() ? '\0' : s[i]; }
    bool accept(char c)
    {
        if (peek() != c)
            return false;
        ++i;
        return true;
    }
    // Reads 1..maxDigits decimal digits.
    std::optional<int> number(int maxDigits)
    {
        int value = 0, digits = 0;
        while (!atEnd() && digits < maxDigits && s[i] >= '0' && s[i] <= '9') {
            value = value * 10 + (s[i] - '0');
            ++i;
            ++digits;
        }
        if (digits == 0)
            return std::nullopt;
        return value;
    }
    void skipBlanks()
    {
        while (peek() == ' ' || peek() == '\t')
            ++i;
    }
};

}  // namespace

DateTime makeDateTime(int year, int month, int day, int hour, int minute, double second)
{
    const long long days = daysFromCivil(year, static_cast<unsigned>(month), static_cast<unsigned>(day)) - kEpochDays;
    return {static_cast<double>(days) + (hour * 3600.0 + minute * 60.0 + second) / kSecondsPerDay};
}

DateTime wholeDay(DateTime t) { return {std::floor(t.days)}; }

std::optional<DateTime> parseDateTime(std::string_view text)
{
    Scanner sc{text};
    sc.skipBlanks();
    const auto year = sc.number(4);
    if (!year || sc.i < 4)
        return std::nullopt;
    const char sep = sc.peek();
    if (sep != '/' && sep != '-')
        return std::nullopt;
    ++sc.i;
    const auto month = sc.number(2);
    if (!month || !sc.accept(sep))
        return std::nullopt;
    const auto day = sc.number(2);
    if (!day || !validDate(*year, *month, *day))
        return std::nullopt;

    int hour = 0, minute = 0;
    double second = 0;
    const bool isoT = sc.accept('T') || sc.accept('t');
    sc.skipBlanks();
    if (!sc.atEnd()) {
        const auto h = sc.number(2);
        if (!h || !sc.accept(':'))
            return std::nullopt;
        const auto m = sc.number(2);
        if (!m)
            return std::nullopt;
        hour = *h;
        minute = *m;
        if (sc.accept(':')) {
            const auto s = sc.number(2);
            if (!s)
                return std::nullopt;
            second = *s;
            if (sc.accept('.') || sc.accept(',')) {
                double scale = 0.1;
                while (!sc.atEnd() && sc.peek() >= '0' && sc.peek() <= '9') {
                    second += (sc.peek() - '0') * scale;
                    scale /= 10;
                    ++sc.i;
                }
            }
        }
        if (hour > 23 || minute > 59 || second >= 60)
            return std::nullopt;
    } else if (isoT) {
        return std::nullopt;
    }
    sc.skipBlanks();
    if (!sc.atEnd())
        return std::nullopt;
    return makeDateTime(*year, *month, *day, hour, minute, second);
}

std::optional<DateTime> validDate(int year, int month, int day)
{
    if (year < 1 || year > 9999 || month < 1 || month > 12 || day < 1 || day > daysInMonth(year, month))
        return std::nullopt;
    return makeDateTime(year, month, day);
}

bool parseTimeOfDay(std::string_view text, int &seconds)
{
    const auto keep = [&](std::optional<int> read) {
        if (read)
            seconds = *read;
        return read.has_value();
    };
    // "hh:mm:ss", as nearly every track writes it for every fix, read as
    // one word: the colons in their places, and digits around them, which
    // one multiplication joins into pairs.
    if (text.size() == 8) {
        constexpr std::uint64_t kColons = 0x00003a00003a0000u, kColonBytes = 0x0000ff0000ff0000u;
        const std::uint64_t word = wordAt(text.data());
        const std::uint64_t colonsAsZeros = (word & ~kColonBytes) | (0x3030303030303030u & kColonBytes);
        if ((word & kColonBytes) == kColons && noneButDigits(colonsAsZeros)) {
            const std::uint64_t digits = colonsAsZeros - 0x3030303030303030u;
            const std::uint64_t pairs = digits * 10 + (digits >> 8);  // byte k: ten times digit k and digit k + 1
            const auto pairAt = [&](int byte) { return static_cast<int>(pairs >> (8 * byte) & 0xff); };
            return keep(secondsOfDay(pairAt(0), pairAt(3), pairAt(6)));
        }
    }
    Scanner sc{text};
    const auto h = sc.number(2);
    if (!h || !sc.accept(':'))
        return false;
    const auto m = sc.number(2);
    if (!m || !sc.accept(':'))
        return false;
    const auto s = sc.number(2);
    if (!s || !sc.atEnd())
        return false;
    return keep(secondsOfDay(*h, *m, *s));
}

QDateTime toQDateTime(DateTime t)
{
    const double msTotal = std::round(t.days * kSecondsPerDay * 1000.0);
    const auto days = static_cast<qint64>(std::floor(msTotal / (kSecondsPerDay * 1000.0)));
    const auto ms = static_cast<int>(msTotal - static_cast<double>(days) * kSecondsPerDay * 1000.0);
    const QDate date = QDate(1899, 12, 30).addDays(days);
    return QDateTime(date, QTime::fromMSecsSinceStartOfDay(ms), Qt::UTC);  // UTC: no daylight-saving gaps
}

DateTime fromQDateTime(const QDateTime &t)
{
    const QDate d = t.date();
    return addSeconds(makeDateTime(d.year(), d.month(), d.day()), t.time().msecsSinceStartOfDay() / 1000.0);
}

QString isoText(DateTime t) { return toQDateTime(t).toString(QStringLiteral("yyyy-MM-ddTHH:mm:ss")); }

QString shortDateText(DateTime t) { return QLocale().toString(toQDateTime(t).date(), QLocale::ShortFormat); }

namespace {

// The long time format without the zone's name ("t" outside quotes): race
// times are the race area's own.
QString longTimeFormatWithoutZone()
{
    const QString format = QLocale().timeFormat(QLocale::LongFormat);
    QString kept;
    bool quoted = false;
    for (const QChar c : format) {
        if (c == QLatin1Char('\''))
            quoted = !quoted;
        if (quoted || c != QLatin1Char('t'))
            kept += c;
    }
    return kept.trimmed();
}

}  // namespace

QString timeText(DateTime t) { return QLocale().toString(toQDateTime(t).time(), longTimeFormatWithoutZone()); }

QString dateTimeText(DateTime t) { return shortDateText(t) + QLatin1Char(' ') + timeText(t); }

}  // namespace keelrun
