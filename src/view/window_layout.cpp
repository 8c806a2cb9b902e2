#include "view/window_layout.h"

#include <algorithm>

#include <QStringList>

#include "base/numbers.h"

namespace keelrun {

WindowLayout computeWindowLayout(int formWidth, int formHeight, int screenHeight, int boatPanelHeight)
{
    WindowLayout l;
    const int column = formWidth - kColumnWidth;
    l.logoPanel = QRect(column, 0, kColumnWidth, kLogoPanelHeight);
    l.controlPanel = QRect(column, formHeight - kControlPanelHeight, kColumnWidth, kControlPanelHeight);
    // A long boat list takes all the height it needs and covers the logo.
    const int free = formHeight - kLogoPanelHeight - kControlPanelHeight;
    const int listHeight = boatPanelHeight < free ? free : boatPanelHeight;
    const int listTop = boatPanelHeight < formHeight - kLogoPanelHeight ? kLogoPanelHeight : 0;
    l.boatListPanel = QRect(column, listTop, kColumnWidth, listHeight);
    l.timeBarPanel = QRect(column - kTimeBarWidth, 0, kTimeBarWidth, formHeight);
    l.map = QSize(l.timeBarPanel.left(), formHeight);
    l.tallWindow = screenHeight - 20 < formHeight;
    return l;
}

QSize smallScreenSize(SmallScreen choice, QSize preference)
{
    switch (choice) {
    case SmallScreen::Size800x600:
        return {800, 600};
    case SmallScreen::Size800x480:
        return {800, 480};
    case SmallScreen::Size640x480:
        return {640, 480};
    case SmallScreen::Size480x320:
        return {480, 320};
    case SmallScreen::Preference:
        return preference;
    case SmallScreen::Off:
        break;
    }
    return {};
}

SeaColours seaColours(int p)
{
    const int b = std::min(roundHalfEven(3.25 * p + 70), 255);
    const int r = roundHalfEven(1.1 * p);
    const int g = roundHalfEven(1.6 * p);
    auto rgb = [](int red, int green, int blue) {
        return Rgb{static_cast<std::uint8_t>(red), static_cast<std::uint8_t>(green), static_cast<std::uint8_t>(blue)};
    };
    // A dark sea gets a lighter grid, a bright sea a darker one.
    if (p > 50)
        return {rgb(r, g, b), rgb(std::max(r - 50, 0), std::max(g - 50, 0), b)};
    return {rgb(r, g, b), rgb(std::min(r + 80, 255), std::min(g + 80, 255), std::min(b + 80, 255))};
}

namespace {

struct PageName {
    Page page;
    const char *name;
};
constexpr PageName kPageNames[] = {{Page::Track, "track"}, {Page::Graph, "graph"}, {Page::Analysis, "analysis"}, {Page::Start, "start"},
                                   {Page::Gaps, "gaps"}, {Page::Legs, "legs"}, {Page::Polars, "polars"}, {Page::Compare, "compare"}};

}  // namespace

std::optional<Page> pageNamed(const QString &name)
{
    for (const PageName &entry : kPageNames) {
        if (name == QLatin1String(entry.name))
            return entry.page;
    }
    return std::nullopt;
}

QString pageNameList()
{
    QStringList names;
    for (const PageName &entry : kPageNames)
        names << QString::fromLatin1(entry.name);
    const QString last = names.takeLast();
    return names.join(QStringLiteral(", ")) + QStringLiteral(" or ") + last;
}

}  // namespace keelrun
