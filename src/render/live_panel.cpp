#include "render/live_panel.h"

#include <algorithm>

#include <QFontMetrics>
#include <QPainter>

#include "base/numbers.h"
#include "render/painting.h"

namespace keelrun {
namespace {

constexpr int kRowHeight = 15;
constexpr int kPadding = 4;

QFont panelFont()
{
    QFont font;
    font.setPixelSize(11);
    return font;
}

QString gapText(const LiveNumbers &n, Language language)
{
    if (n.finished)
        return isJapanese(language) ? QStringLiteral(u"完走") : QStringLiteral("finished");
    if (n.rank == 1)
        return QStringLiteral("-");
    return QStringLiteral("+%1 s %2 m").arg(roundHalfEven(n.gapSeconds)).arg(roundHalfEven(n.gapMetres));
}

}  // namespace

QStringList livePanelHeads(Language language)
{
    if (isJapanese(language))
        return {QStringLiteral(u"艇名"), QStringLiteral(u"順位"), QStringLiteral(u"差"), QStringLiteral(u"レグ"),
                QStringLiteral(u"次マーク"), QStringLiteral(u"速度 kn"), QStringLiteral(u"針路 °"), QStringLiteral(u"VMG kn")};
    return {QStringLiteral("Boat"), QStringLiteral("Place"), QStringLiteral("Gap"), QStringLiteral("Leg"),
            QStringLiteral("To mark"), QStringLiteral("SOG kn"), QStringLiteral("COG °"), QStringLiteral("VMG kn")};
}

QStringList livePanelCells(const LiveNumbers &n, Language language)
{
    const bool sailing = !n.finished && n.leg > 0;
    return {QString::number(n.rank),
            gapText(n, language),
            sailing ? QString::number(n.leg) : QStringLiteral("-"),
            sailing ? QStringLiteral("%1 m").arg(roundHalfEven(n.toNextMetres)) : QStringLiteral("-"),
            QString::number(n.sog, 'f', 1),
            QStringLiteral("%1").arg(roundHalfEven(n.cog) % 360, 3, 10, QLatin1Char('0')),
            QString::number(n.vmg, 'f', 1)};
}

QImage drawLivePanel(const RaceState &race, const std::vector<LiveNumbers> &rows, Language language)
{
    if (rows.empty())
        return {};
    const QFontMetrics metrics(panelFont());
    // Each column as wide as its widest text.
    std::vector<QStringList> table{livePanelHeads(language)};
    for (const LiveNumbers &n : rows)
        table.push_back(QStringList{race.boats[n.boat].name} + livePanelCells(n, language));
    std::vector<int> widths(table.front().size(), 0);
    for (const QStringList &line : table) {
        for (qsizetype c = 0; c < line.size(); ++c)
            widths[std::size_t(c)] = std::max(widths[std::size_t(c)], metrics.horizontalAdvance(line[c]) + 2 * kPadding);
    }
    int width = 2;
    for (const int w : widths)
        width += w;
    QImage panel(width, int(table.size()) * kRowHeight + 2, QImage::Format_RGB32);
    panel.fill(QColor(20, 20, 20));
    QPainter p(&panel);
    p.setFont(panelFont());
    for (std::size_t r = 0; r < table.size(); ++r) {
        int x = 1;
        const int y = 1 + int(r) * kRowHeight;
        for (std::size_t c = 0; c < widths.size(); ++c) {
            const QRect cell(x, y, widths[c], kRowHeight);
            QColor ink(r == 0 ? QColor(200, 200, 200) : QColor(Qt::white));
            if (r > 0 && c == 0) {
                const QColor colour = toQColor(race.boats[rows[r - 1].boat].colour);
                p.fillRect(cell.adjusted(0, 1, 0, -1), colour);
                ink = textColourOn(colour);
            }
            p.setPen(ink);
            p.drawText(cell.adjusted(kPadding, 0, -kPadding, 0), (c == 0 ? Qt::AlignLeft : Qt::AlignRight) | Qt::AlignVCenter,
                       table[r][qsizetype(c)]);
            x += widths[c];
        }
    }
    return panel;
}

}  // namespace keelrun
