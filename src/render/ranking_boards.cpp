#include "render/ranking_boards.h"

#include <algorithm>
#include <numeric>

#include <QFontMetrics>
#include <QPainter>

#include "base/numbers.h"
#include "render/painting.h"

namespace keelrun {
namespace {

constexpr double kBoardFinishBound = 864'000;   // 10 days: later "finishes" are none
constexpr double kRankingFinishBound = 604'800;  // 7 days
constexpr int kRow = 15;

double finishTime(const RaceState &race, int b) { return race.boats[b].roundingTime[race.courseLength()]; }
bool finishedBelow(const RaceState &race, int b, double bound) { return race.courseLength() > 0 && finishTime(race, b) < bound; }

// A finisher's row on the boards: its place in the order of finishing, boats
// level on time one under the other by boat number, each with their shared rank.
int finishRow(const RaceState &race, int b)
{
    int ahead = 0;
    for (int c = 1; c <= race.boatCount; ++c)
        ahead += finishTime(race, c) < finishTime(race, b) || (finishTime(race, c) == finishTime(race, b) && c < b);
    return 1 + ahead;
}

// A bar in the boat's colour, its text black or white to read on it.
void drawBar(QPainter &p, QRect bar, const QColor &colour, const QString &text)
{
    p.fillRect(bar, colour);
    p.setPen(textColourOn(colour));
    p.drawText(bar.adjusted(1, 0, 0, 0), Qt::AlignLeft | Qt::AlignVCenter, text);
}

QFont boardFont(QPainter &p)
{
    QFont font = p.font();
    font.setPixelSize(11);
    return font;
}

}  // namespace

QString finishRowText(const RaceState &race, int b)
{
    const int gap = roundHalfEven(finishTime(race, b) - race.results.firstPassTime[race.courseLength()]);
    return QStringLiteral(" %1  %2  (+%3sec)").arg(race.boats[b].finishRank).arg(race.boats[b].name).arg(gap);
}

int finishBoardHeight(int finished) { return finished * kRow + 6; }

int finishBoardRows(int height) { return std::max(1, (height - 6) / kRow); }

namespace {

// Rows of (boat, text) in bars of the boats' colours, in columns of
// `rowsPerColumn` rows as wide as the longest text the race could give.
QImage drawBoardRows(const RaceState &race, const std::vector<std::pair<int, QString>> &rows, int rowsPerColumn)
{
    QImage probe(1, 1, QImage::Format_RGB32);
    QPainter measure(&probe);
    const QFontMetrics metrics(boardFont(measure));
    int column = kFinishBoardWidth;
    for (int b = 1; b <= race.boatCount; ++b)
        column = std::max(column, metrics.horizontalAdvance(finishRowText(race, b)) + 16);
    for (const auto &[boat, text] : rows)
        column = std::max(column, metrics.horizontalAdvance(text) + 16);
    const int count = static_cast<int>(rows.size());
    const int columns = (count + rowsPerColumn - 1) / rowsPerColumn;
    QImage board(columns * column, finishBoardHeight(std::min(count, rowsPerColumn)), QImage::Format_RGB32);
    board.fill(Qt::black);
    QPainter p(&board);
    p.setFont(boardFont(p));
    for (int row = 0; row < count; ++row) {
        const int x = row / rowsPerColumn * column, y = (row % rowsPerColumn + 1) * kRow - 10;
        const auto &[boat, text] = rows[std::size_t(row)];
        drawBar(p, QRect(QPoint(x + 5, y), QPoint(x + column - 6, y + 12)), toQColor(race.boats[boat].colour), text);
    }
    return board;
}

}  // namespace

std::optional<QImage> drawFinishBoard(const RaceState &race, int finished, int rowsPerColumn)
{
    if (race.lineCount == 0 || finished < 1)
        return std::nullopt;
    std::vector<std::pair<int, QString>> rows(static_cast<std::size_t>(finished));
    for (int b = 1; b <= race.boatCount; ++b) {
        const int row = finishRow(race, b);
        if (finishedBelow(race, b, kBoardFinishBound) && row <= finished)
            rows[std::size_t(row - 1)] = {b, finishRowText(race, b)};
    }
    std::erase_if(rows, [](const auto &row) { return row.first == 0; });
    return drawBoardRows(race, rows, rowsPerColumn);
}

QString runningRowText(const RaceState &race, const RunningPlace &place, int rank)
{
    const QString row = QStringLiteral(" %1  %2").arg(rank).arg(race.boats[place.boat].name);
    if (rank == 1)
        return row;
    return row + QStringLiteral("  +%1sec %2m").arg(roundHalfEven(place.gapSeconds)).arg(roundHalfEven(place.gapMetres));
}

std::optional<QImage> drawRunningBoard(const RaceState &race, const std::vector<RunningPlace> &order, int rowsPerColumn)
{
    if (race.lineCount == 0 || order.empty())
        return std::nullopt;
    std::vector<std::pair<int, QString>> rows;
    for (const RunningPlace &place : order) {
        const int rank = static_cast<int>(rows.size()) + 1;
        rows.emplace_back(place.boat, place.finished ? finishRowText(race, place.boat) : runningRowText(race, place, rank));
    }
    return drawBoardRows(race, rows, rowsPerColumn);
}

std::optional<QImage> drawClassBoard(const RaceState &race, const std::vector<bool> &announced)
{
    if (!race.classesEnabled || race.classCount < 1)
        return std::nullopt;
    std::vector<int> finishers(race.classCount + 1, 0);
    for (int b = 1; b <= race.boatCount; ++b) {
        const int c = race.boats[b].classIndex;
        if (c >= 1 && c <= race.classCount && finishedBelow(race, b, kBoardFinishBound))
            ++finishers[c];
    }
    const int most = *std::max_element(finishers.begin(), finishers.end());
    const auto header = [&](int c) { return QStringLiteral(" ") + race.classes[c].name + QStringLiteral(" class"); };
    const auto row = [&](int b, int placeInClass) { return QStringLiteral(" %1 ").arg(placeInClass) + race.boats[b].name; };
    // Columns as wide as their longest text, 100 pixels at least.
    QImage probe(1, 1, QImage::Format_RGB32);
    QPainter measure(&probe);
    const QFontMetrics metrics(boardFont(measure));
    int column = 100;
    for (int c = 1; c <= race.classCount; ++c)
        column = std::max(column, metrics.horizontalAdvance(header(c)) + 12);
    for (int b = 1; b <= race.boatCount; ++b)
        column = std::max(column, metrics.horizontalAdvance(row(b, race.boatCount)) + 10);
    QImage board(race.classCount * column + 5, most * kRow + 24, QImage::Format_RGB32);
    board.fill(QColor(0, 0, 255));
    QPainter p(&board);
    p.setFont(boardFont(p));
    p.setPen(Qt::white);
    p.drawRect(board.rect().adjusted(0, 0, -1, -1));
    auto left = [column](int c) { return (c - 1) * column + 5; };
    for (int c = 1; c <= race.classCount; ++c) {
        const QRect box(QPoint(left(c), 4), QPoint(left(c) + column - 6, 16));
        p.fillRect(box, Qt::white);
        p.setPen(QColor(255, 0, 0));
        p.drawText(box.adjusted(3, 0, 0, 0), Qt::AlignLeft | Qt::AlignVCenter, header(c));
    }
    // In finishing order, equal times by boat number, those that did not
    // finish last: every boat moves its class's count, finished or not, so a
    // boat's number is its place in its class.
    std::vector<int> order(race.boatCount);
    std::iota(order.begin(), order.end(), 1);
    std::stable_sort(order.begin(), order.end(), [&](int a, int b) { return finishTime(race, a) < finishTime(race, b); });
    std::vector<int> place(race.classCount + 1, 0);
    for (const int b : order) {
        const int c = race.boats[b].classIndex;
        if (c < 1 || c > race.classCount)
            continue;
        ++place[c];
        if (b < static_cast<int>(announced.size()) && announced[b]) {
            const int y = place[c] * kRow + 6;
            drawBar(p, QRect(QPoint(left(c), y), QPoint(left(c) + column - 6, y + 12)), toQColor(race.boats[b].colour),
                    row(b, place[c]));
        }
    }
    return board;
}

std::optional<QImage> drawFinalRanking(const RaceState &race, QSize map, const QColor &sea)
{
    if (race.lineCount == 0)
        return std::nullopt;
    QImage ranking(map, QImage::Format_RGB32);
    ranking.fill(sea);
    QPainter p(&ranking);
    p.setFont(boardFont(p));
    const int rows = std::max(1, roundHalfEven((map.height() - 30) / double(kRow)));
    for (int b = 1; b <= race.boatCount; ++b) {
        if (!finishedBelow(race, b, kRankingFinishBound))
            continue;
        const int g = finishRow(race, b);
        const int x = (g - 1) / rows * 210 + 10, y = (g - 1) % rows * kRow + 20;
        drawBar(p, QRect(QPoint(x, y), QPoint(x + 179, y + 12)), toQColor(race.boats[b].colour), finishRowText(race, b));
    }
    return ranking;
}

}  // namespace keelrun
