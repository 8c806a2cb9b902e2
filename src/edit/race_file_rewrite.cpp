#include "edit/race_file_rewrite.h"

#include <cmath>
#include <functional>
#include <vector>

#include <QFile>

#include "base/line_splitter.h"
#include "base/numbers.h"
#include "base/text_file.h"

namespace keelrun {
namespace {

const QByteArray kByteOrderMark = "\xEF\xBB\xBF";

// One line of the file: its bytes as they were (or as rewritten), its end
// ("\r\n", "\n" or none for a last line without one) and its UTF-8 text.
struct FileLine {
    QByteArray bytes;
    QByteArray end;
    std::string utf8;
    bool removed = false;
    std::vector<QByteArray> after;  // new lines to write after this one
};

std::vector<FileLine> splitLines(const QByteArray &bytes)
{
    std::vector<FileLine> lines;
    qsizetype at = 0;
    while (at < bytes.size()) {
        const qsizetype newline = bytes.indexOf('\n', at);
        FileLine line;
        if (newline < 0) {
            line.bytes = bytes.mid(at);
            at = bytes.size();
        } else {
            const bool cr = newline > at && bytes[newline - 1] == '\r';
            line.bytes = bytes.mid(at, newline - at - (cr ? 1 : 0));
            line.end = cr ? "\r\n" : "\n";
            at = newline + 1;
        }
        lines.push_back(std::move(line));
    }
    return lines;
}

std::string tagOf(const FileLine &line) { return splitLine(line.utf8).tag(); }


class Rewriter {
public:
    explicit Rewriter(const QByteArray &original)
    {
        QByteArray body = original;
        bom_ = body.startsWith(kByteOrderMark);
        if (bom_)
            body.remove(0, kByteOrderMark.size());
        const TextFile decoded = decodeText(original);
        encoding_ = decoded.encoding;
        encoding_.byteOrderMark = false;  // the mark is the file's, written once before the first line
        lines_ = splitLines(body);
        const std::vector<FileLine> utf8 = splitLines(decoded.utf8);
        for (std::size_t i = 0; i < lines_.size(); ++i)
            lines_[i].utf8 = i < utf8.size() ? utf8[i].bytes.toStdString() : std::string();
        newLineEnd_ = encoding_.crlf ? "\r\n" : "\n";
    }

    // Lines of `tag` in order, the k-th kept when `same(k, fields)` says its
    // value is entry k's, else rewritten as `text(k)`; entries beyond the
    // lines follow the last of them, lines beyond the entries go.
    void rewriteTable(const std::string &tag, int entries, const std::function<bool(int, const SplitLine &)> &same,
                      const std::function<QString(int)> &text)
    {
        int k = 0;
        FileLine *last = nullptr;
        for (FileLine &line : lines_) {
            if (tagOf(line) != tag)
                continue;
            last = &line;
            if (++k > entries) {
                line.removed = true;
                continue;
            }
            if (!same(k, splitLine(line.utf8)))
                replace(line, text(k));
        }
        for (int n = k + 1; n <= entries; ++n)
            append(last, text(n));
    }

    // A tag whose last line holds the value: that line kept when `same`,
    // else rewritten; appended when there is none, unless the value is what
    // a file without the tag means anyway; every line removed when there is
    // no value (`text` empty).
    void rewriteLast(const std::string &tag, const std::function<bool(const SplitLine &)> &same, const QString &text,
                     bool asIfAbsent = false)
    {
        FileLine *last = nullptr;
        for (FileLine &line : lines_) {
            if (tagOf(line) != tag)
                continue;
            if (text.isEmpty())
                line.removed = true;
            last = &line;
        }
        if (text.isEmpty())
            return;
        if (!last && !asIfAbsent)
            append(nullptr, text);
        else if (last && !same(splitLine(last->utf8)))
            replace(*last, text);
    }

    QByteArray result() const
    {
        QByteArray out = bom_ ? kByteOrderMark : QByteArray();
        for (std::size_t i = 0; i < lines_.size(); ++i) {
            const FileLine &line = lines_[i];
            if (!line.removed)
                out += line.bytes + lineEnd(line, i);
            for (const QByteArray &added : line.after)
                out += added + newLineEnd_;
        }
        for (const QByteArray &added : atEnd_)
            out += added + newLineEnd_;
        return out;
    }

private:
    void replace(FileLine &line, const QString &text) { line.bytes = encodeText(text, encoding_); }

    void append(FileLine *after, const QString &text)
    {
        (after ? after->after : atEnd_).push_back(encodeText(text, encoding_));
    }

    // A last line without an end gets one when something follows it.
    QByteArray lineEnd(const FileLine &line, std::size_t i) const
    {
        if (!line.end.isEmpty() || (i + 1 == lines_.size() && line.after.empty() && atEnd_.empty()))
            return line.end;
        return newLineEnd_;
    }

    bool bom_ = false;
    TextEncoding encoding_;
    QByteArray newLineEnd_;
    std::vector<FileLine> lines_;
    std::vector<QByteArray> atEnd_;
};

bool sameNumber(const SplitLine &fields, int i, double value)
{
    const auto read = parseNumber(fields.field(i));
    return read && *read == value;
}

}  // namespace

QByteArray rewrittenRaceFile(const QByteArray &original, const RaceState &race, const RaceEdits &edits)
{
    Rewriter file(original);
    if (edits.startTime) {
        file.rewriteLast(
            "ST",
            [&](const SplitLine &f) {
                const auto read = parseDateTime(f.field(1));
                return read && std::abs(read->days - race.startTime.days) * kSecondsPerDay < 0.0005;
            },
            QStringLiteral("ST,") + toQDateTime(race.startTime).toString(QStringLiteral("yyyy/MM/dd HH:mm:ss")),
            race.startTime == DateTime{});
    }
    if (edits.marks) {
        file.rewriteTable(
            "MK", race.markCount,
            [&](int k, const SplitLine &f) { return sameNumber(f, 1, race.marks[k].lat) && sameNumber(f, 2, race.marks[k].lon); },
            [&](int k) { return QStringLiteral("MK,%1,%2").arg(numberText(race.marks[k].lat), numberText(race.marks[k].lon)); });
    }
    if (edits.lines) {
        file.rewriteTable(
            "LN", race.lineCount,
            [&](int k, const SplitLine &f) {
                const CourseLine &l = race.lines[k];
                return sameNumber(f, 1, l.end1.lat) && sameNumber(f, 2, l.end1.lon) && sameNumber(f, 3, l.end2.lat) &&
                       sameNumber(f, 4, l.end2.lon);
            },
            [&](int k) {
                const CourseLine &l = race.lines[k];
                return QStringLiteral("LN,%1,%2,%3,%4")
                    .arg(numberText(l.end1.lat), numberText(l.end1.lon), numberText(l.end2.lat), numberText(l.end2.lon));
            });
    }
    if (edits.course) {
        file.rewriteLast(
            "CRS",
            [&](const SplitLine &f) {
                if (f.count() - 1 != race.course.size())
                    return false;
                for (int i = 1; i < f.count(); ++i) {
                    if (toQString(f.field(i)) != race.course[i - 1])
                        return false;
                }
                return true;
            },
            race.course.isEmpty() ? QString() : QStringLiteral("CRS,") + race.course.join(QLatin1Char(',')));
    }
    if (edits.windDirection) {
        file.rewriteLast(
            "WD", [&](const SplitLine &f) { return sameNumber(f, 1, race.windDirectionValue); },
            QStringLiteral("WD, %1").arg(race.windDirectionValue), race.windDirectionValue == 0);
    }
    if (edits.windFile) {
        const bool records = race.windSampleCount() > 0 && !race.windFile.isEmpty();
        file.rewriteLast(
            "WF", [&](const SplitLine &f) { return toQString(f.field(1)) == race.windFile; },
            records ? QStringLiteral("WF,") + race.windFile : QString());
    }
    return file.result();
}

QString backUpOnce(const QString &raceFilePath, QStringList &done)
{
    if (done.contains(raceFilePath))
        return {};
    QFile current(raceFilePath);
    if (!current.exists())
        return {};
    if (!current.open(QIODevice::ReadOnly))
        return QStringLiteral("%1: %2").arg(raceFilePath, current.errorString());
    const QString backup = raceFilePath + QStringLiteral(".bak");
    if (const QString problem = replaceFile(backup, current.readAll()); !problem.isEmpty())
        return QStringLiteral("%1: %2").arg(backup, problem);
    done << raceFilePath;
    return {};
}

QString rewriteRaceFile(const RaceState &race, const RaceEdits &edits, const QString &elsewhere)
{
    QFile current(race.raceFilePath);
    if ((!current.exists() && elsewhere.isEmpty()) || !edits.any())
        return {};
    if (!current.open(QIODevice::ReadOnly))
        return QStringLiteral("%1: %2").arg(race.raceFilePath, current.errorString());
    const QByteArray original = current.readAll();
    current.close();
    const QByteArray rewritten = rewrittenRaceFile(original, race, edits);
    if (rewritten == original && elsewhere.isEmpty())
        return {};
    const QString target = elsewhere.isEmpty() ? race.raceFilePath : elsewhere;
    const QString problem = replaceFile(target, rewritten);
    return problem.isEmpty() ? problem : QStringLiteral("%1: %2").arg(target, problem);
}

}  // namespace keelrun
