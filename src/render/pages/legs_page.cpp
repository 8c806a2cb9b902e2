#include "render/pages/legs_page.h"

#include <algorithm>
#include <array>

#include <QFontMetrics>
#include <QPainter>

#include "base/numbers.h"
#include "render/painting.h"

namespace keelrun {
namespace {

constexpr int kMargin = 10;       // between the page's edge and the tables
constexpr int kTitleGap = 8;      // between the title and the column heads
constexpr int kTableGap = 20;     // between tables side by side
constexpr int kCellPadding = 4;   // either side of a cell's text
constexpr int kFontPixels[] = {12, 11, 10, 9, 8};  // tried largest first

const QColor kTitleGreen(0, 110, 0);
const QColor kHeadFill(225, 225, 225);
const QColor kStripe(244, 244, 244);  // every other leg row, to follow a row across
const QColor kGained(0, 140, 0);
const QColor kLost(210, 0, 0);
const QString kDash = QStringLiteral("–");

enum Column { LegColumn, TimeColumn, EfficiencyColumn, VmgColumn, ManoeuvreColumn, LossColumn, PlaceColumn, GainedColumn, TargetColumn };
constexpr int kColumnCount = 9;
using RowTexts = std::array<QString, kColumnCount>;
using ColumnWidths = std::array<int, kColumnCount>;

RowTexts columnHeads(Language language)
{
    if (isJapanese(language)) {
        return {QStringLiteral(u"レグ"), QStringLiteral(u"時間"), QStringLiteral(u"効率"),
                QStringLiteral(u"VMG kn"), QStringLiteral(u"タック/ジャイブ"), QStringLiteral(u"損失 秒"),
                QStringLiteral(u"順位"), QStringLiteral(u"増減"), QStringLiteral(u"目標比")};
    }
    return {QStringLiteral("Leg"),         QStringLiteral("Time"),   QStringLiteral("Efficiency"),
            QStringLiteral("VMG kn"),      QStringLiteral("Tacks/Gybes"), QStringLiteral("Loss s"),
            QStringLiteral("Place"),       QStringLiteral("Gained"), QStringLiteral("Target")};
}

QString pageTitle(Language language)
{
    return isJapanese(language) ? QStringLiteral(u" チェックした艇のレグごとの成績 ") : QStringLiteral(" Each ticked boat's legs ");
}

QString columnNote(Language language)
{
    return isJapanese(language)
               ? QStringLiteral(u"効率：レグの長さ÷帆走距離　VMG：レグに沿った速度　損失：タックとジャイブで失った秒　"
                                u"目標比：艇団の目標速度に対する割合")
               : QStringLiteral(u"Efficiency = leg length / distance sailed · VMG along the leg · Loss = seconds lost tacking "
                                u"and gybing · Target = share of the fleet's target speed");
}

QString legKindName(int kind, Language language)
{
    const bool japanese = isJapanese(language);
    switch (kind) {
    case Upwind:
        return japanese ? QStringLiteral(u"風上") : QStringLiteral("upwind");
    case Downwind:
        return japanese ? QStringLiteral(u"風下") : QStringLiteral("downwind");
    case Reach:
        return japanese ? QStringLiteral(u"リーチ") : QStringLiteral("reach");
    default:
        return {};
    }
}

QString minutesAndSeconds(double seconds)
{
    const int whole = roundHalfEven(seconds);
    return QStringLiteral("%1:%2").arg(whole / 60).arg(whole % 60, 2, 10, QLatin1Char('0'));
}

QString percent(std::optional<double> share) { return share ? QStringLiteral("%1%").arg(roundHalfEven(*share * 100)) : kDash; }

// A whole number below zero with a true minus, as wide as the plus.
QString whole(int value) { return value < 0 ? QStringLiteral(u"−%1").arg(-value) : QString::number(value); }

QString signedPlaces(int places) { return places > 0 ? QStringLiteral("+%1").arg(places) : whole(places); }

QColor gainInk(int places) { return places > 0 ? kGained : places < 0 ? kLost : QColor(Qt::black); }

RowTexts legTexts(const RaceState &race, int leg, const LegResult &result, Language language)
{
    RowTexts texts;
    texts.fill(kDash);
    texts[LegColumn] = QStringLiteral("%1 %2").arg(leg).arg(legKindName(race.legs.legKind[leg], language)).trimmed();
    if (!result.sailed)
        return texts;
    texts[TimeColumn] = minutesAndSeconds(result.seconds);
    texts[EfficiencyColumn] = percent(result.efficiency);
    texts[VmgColumn] = QString::number(result.vmgKnots, 'f', 1);
    texts[ManoeuvreColumn] = QStringLiteral("%1/%2").arg(result.tacks).arg(result.gybes);
    texts[LossColumn] = whole(roundHalfEven(result.manoeuvreSeconds));
    texts[PlaceColumn] = QString::number(result.place);
    texts[GainedColumn] = signedPlaces(result.placesGained);
    texts[TargetColumn] = percent(result.targetShare);
    return texts;
}

// A leg's row before it is placed: its texts, and the colour of its places
// gained.
struct LegRow {
    RowTexts texts;
    QColor gainInk;
};

struct BoatRows {
    int boat = 0;
    std::vector<LegRow> legs;
};

std::vector<BoatRows> tickedBoatRows(const RaceState &race, const std::vector<ItemTable<LegResult>> &legs, const PageRequest &request)
{
    std::vector<BoatRows> boats;
    for (int b = 1; b <= race.boatCount && b < static_cast<int>(legs.size()); ++b) {
        if (!request.shows(race, b))
            continue;
        BoatRows rows{b, {}};
        for (int j = 1; j < race.courseLength(); ++j) {
            const LegResult &leg = legs[b][j];
            rows.legs.push_back({legTexts(race, j, leg, request.language), leg.sailed ? gainInk(leg.placesGained) : QColor(Qt::black)});
        }
        boats.push_back(std::move(rows));
    }
    return boats;
}

QFont fontOfPixels(int pixels)
{
    QFont font;
    font.setPixelSize(pixels);
    return font;
}

// Each column as wide as its widest text; the leg column widened where a
// boat's name would not fit across the table.
ColumnWidths columnWidths(const QFontMetrics &metrics, const RowTexts &heads, const RaceState &race, const std::vector<BoatRows> &boats)
{
    ColumnWidths widths{};
    const auto take = [&](const RowTexts &texts) {
        for (int c = 0; c < kColumnCount; ++c)
            widths[c] = std::max(widths[c], metrics.horizontalAdvance(texts[c]) + 2 * kCellPadding);
    };
    take(heads);
    int widestName = 0;
    for (const BoatRows &rows : boats) {
        for (const LegRow &leg : rows.legs)
            take(leg.texts);
        widestName = std::max(widestName, metrics.horizontalAdvance(race.boats[rows.boat].name) + 2 * kCellPadding);
    }
    int total = 0;
    for (const int w : widths)
        total += w;
    widths[LegColumn] += std::max(0, widestName - total);
    return widths;
}

// How the table stands on the page: its font, the tables side by side, the
// boats in each and the height of a row.
struct TableFit {
    int fontPixels = kFontPixels[std::size(kFontPixels) - 1];
    ColumnWidths widths{};
    int tableWidth = 0;
    int tables = 1;
    int boatsPerTable = 0;
    int rowHeight = 0;
    int titleHeight = 0;
};

int rowsOfTable(int boats, int legCount) { return 1 + boats * (1 + legCount); }

// The largest font at which every boat finds room, in as few tables as
// do, its rows spaced as the height allows; where none does, the smallest
// font in as many tables as fit across, the rows tight.
TableFit fitTable(QSize size, const RaceState &race, const RowTexts &heads, const std::vector<BoatRows> &boats)
{
    const int boatCount = std::max(1, static_cast<int>(boats.size()));
    const int legCount = std::max(0, race.courseLength() - 1);
    TableFit fit;
    for (const int pixels : kFontPixels) {
        const QFontMetrics metrics(fontOfPixels(pixels));
        const int tightRow = metrics.height() + 1, easyRow = metrics.height() + 8;
        fit = {pixels, columnWidths(metrics, heads, race, boats), 0, 1, boatCount, tightRow, metrics.height() + 4};
        for (const int w : fit.widths)
            fit.tableWidth += w;
        const int height = size.height() - kBelowPageTabs - kMargin - fit.titleHeight - kTitleGap;
        const int across = std::max(1, (size.width() - 2 * kMargin + kTableGap) / (fit.tableWidth + kTableGap));
        for (int tables = 1; tables <= across; ++tables) {
            fit.tables = tables;
            fit.boatsPerTable = (boatCount + tables - 1) / tables;
            const int rows = rowsOfTable(fit.boatsPerTable, legCount);
            if (rows * tightRow <= height) {
                fit.rowHeight = std::min(easyRow, height / rows);
                return fit;
            }
        }
    }
    return fit;
}

class TableBuilder {
public:
    TableBuilder(QSize size, const RaceState &race, const TableFit &fit, Language language)
        : size_(size), race_(race), fit_(fit), language_(language)
    {
        table_.fontPixels = fit.fontPixels;
        const int width = fit.tables * fit.tableWidth + (fit.tables - 1) * kTableGap;
        left_ = std::max(kMargin, (size.width() - width) / 2);
        top_ = kBelowPageTabs + fit.titleHeight + kTitleGap;
    }

    LegsTable build(const RowTexts &heads, const std::vector<BoatRows> &boats)
    {
        addTitle();
        for (int t = 0; t < fit_.tables; ++t) {
            const int x = left_ + t * (fit_.tableWidth + kTableGap);
            addRow(x, top_, heads, kHeadFill, {});
            int y = top_ + fit_.rowHeight;
            const std::size_t first = static_cast<std::size_t>(t * fit_.boatsPerTable);
            for (std::size_t i = first; i < boats.size() && i < first + static_cast<std::size_t>(fit_.boatsPerTable); ++i)
                y = addBlock(x, y, boats[i]);
        }
        return table_;
    }

private:
    // The title on green, the columns' meaning after it as far as the
    // page's width lets it go.
    void addTitle()
    {
        const int right = addText(kMargin, pageTitle(language_), Qt::white, kTitleGreen);
        addText(right + kCellPadding, columnNote(language_), Qt::black, QColor());
    }

    // A text on the title's line from `x`, cut short with an ellipsis
    // where the page ends first; the x after it.
    int addText(int x, const QString &text, const QColor &ink, const QColor &fill)
    {
        const QFontMetrics metrics(table_.font());
        const int room = size_.width() - kMargin - x;
        const QString shown = metrics.elidedText(text, Qt::ElideRight, room - 2 * kCellPadding);
        const QRect rect(x, kBelowPageTabs, std::min(room, metrics.horizontalAdvance(shown) + 2 * kCellPadding), fit_.titleHeight);
        table_.cells.push_back({rect, shown, ink, fill, Qt::AlignLeft});
        return rect.right() + 1;
    }

    // The boat's name across the table on its colour, its legs below; the
    // next block's top, or `y` where the block finds no room.
    int addBlock(int x, int y, const BoatRows &rows)
    {
        const int height = fit_.rowHeight * (1 + static_cast<int>(rows.legs.size()));
        if (y + height > size_.height() - kMargin)
            return y;
        const QColor colour = toQColor(race_.boats[rows.boat].colour);
        table_.cells.push_back({QRect(x, y, fit_.tableWidth, fit_.rowHeight), race_.boats[rows.boat].name, textColourOn(colour), colour,
                                Qt::AlignLeft});
        table_.blocks.push_back({rows.boat, QRect(x, y, fit_.tableWidth, height)});
        for (std::size_t j = 0; j < rows.legs.size(); ++j) {
            const int rowTop = y + fit_.rowHeight * (1 + static_cast<int>(j));
            addRow(x, rowTop, rows.legs[j].texts, j % 2 == 1 ? kStripe : QColor(), rows.legs[j].gainInk);
        }
        return y + height;
    }

    void addRow(int x, int y, const RowTexts &texts, const QColor &fill, const QColor &gainInk)
    {
        for (int c = 0; c < kColumnCount; ++c) {
            const QColor ink = c == GainedColumn && gainInk.isValid() ? gainInk : QColor(Qt::black);
            table_.cells.push_back({QRect(x, y, fit_.widths[c], fit_.rowHeight), texts[c], ink, fill,
                                    c == LegColumn ? Qt::AlignLeft : Qt::AlignRight});
            x += fit_.widths[c];
        }
    }

    QSize size_;
    const RaceState &race_;
    const TableFit &fit_;
    Language language_;
    LegsTable table_;
    int left_ = kMargin, top_ = kBelowPageTabs;
};

class LegsPage : public RacePage {
public:
    QString title(Language language) const override { return isJapanese(language) ? QStringLiteral(u"レグ") : QStringLiteral("Legs"); }

    void draw(QImage &picture, const RaceState &race, const PageRequest &request) override
    {
        const FleetFixes fixes = fleetSteadyFixes(race);
        table_ = layOutLegsTable(picture.size(), race, analyseLegs(race, fixes, fleetPolar(race, fixes)), request);
        picture.fill(Qt::white);
        QPainter p(&picture);
        p.setFont(table_.font());
        for (const LegsCell &cell : table_.cells) {
            if (cell.fill.isValid())
                p.fillRect(cell.rect, cell.fill);
            p.setPen(cell.ink);
            p.drawText(cell.rect.adjusted(kCellPadding, 0, -kCellPadding, 0), int(cell.alignment | Qt::AlignVCenter), cell.text);
        }
    }

    // A frame in the boat's colour round its block.
    void markBoat(QImage &picture, const RaceState &race, const PageRequest &, int boat) const override
    {
        const auto block = std::find_if(table_.blocks.begin(), table_.blocks.end(), [&](const LegsBlock &b) { return b.boat == boat; });
        if (block == table_.blocks.end())
            return;
        QPainter p(&picture);
        p.setPen(QPen(toQColor(race.boats[boat].colour), 3));
        p.setBrush(Qt::NoBrush);
        p.drawRect(block->rect.adjusted(-2, -2, 2, 2));
    }

private:
    LegsTable table_;  // as last drawn
};

}  // namespace

QFont LegsTable::font() const { return fontOfPixels(fontPixels); }

LegsTable layOutLegsTable(QSize size, const RaceState &race, const std::vector<ItemTable<LegResult>> &legs, const PageRequest &request)
{
    const RowTexts heads = columnHeads(request.language);
    const std::vector<BoatRows> boats = tickedBoatRows(race, legs, request);
    const TableFit fit = fitTable(size, race, heads, boats);
    return TableBuilder(size, race, fit, request.language).build(heads, boats);
}

std::unique_ptr<RacePage> makeLegsPage() { return std::make_unique<LegsPage>(); }

}  // namespace keelrun
