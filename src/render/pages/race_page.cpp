#include "render/pages/race_page.h"

#include <QPainter>

#include "render/pages/analysis_page.h"
#include "render/pages/compare_view.h"
#include "render/pages/gap_chart.h"
#include "render/pages/legs_page.h"
#include "render/pages/page_hovers.h"
#include "render/pages/polars_page.h"
#include "render/pages/start_view.h"
#include "render/painting.h"

namespace keelrun {
namespace {

class GraphRacePage : public RacePage {
public:
    QString title(Language language) const override { return isJapanese(language) ? QStringLiteral(u"グラフ") : QStringLiteral("Graph"); }
    void draw(QImage &picture, const RaceState &race, const PageRequest &request) override
    {
        drawGraphPage(picture, race, request);
    }
    void markBoat(QImage &picture, const RaceState &race, const PageRequest &request, int boat) const override
    {
        drawGraphHover(picture, race, GraphAxes(race, picture.width(), request.clientHeight), boat);
    }
    // The wind over the race, where a wind file gives it.
    bool markListHover(QImage &picture, const RaceState &race, const PageRequest &request) const override
    {
        if (race.windFile.isEmpty())
            return false;
        drawWindTrace(picture, race, GraphAxes(race, picture.width(), request.clientHeight));
        return true;
    }
};

class AnalysisRacePage : public RacePage {
public:
    QString title(Language language) const override
    {
        return isJapanese(language) ? QStringLiteral(u"時間と距離") : QStringLiteral("Time and Distance");
    }
    void draw(QImage &picture, const RaceState &race, const PageRequest &request) override
    {
        points_ = drawAnalysisPage(picture, race, request);
    }
    void markBoat(QImage &picture, const RaceState &race, const PageRequest &, int boat) const override
    {
        if (boat < static_cast<int>(points_.size()))
            drawAnalysisHover(picture, race, points_, boat);
    }
    // The boats' names beside their dots.
    bool showPointer(QImage &picture, const RaceState &race, QPoint, int labelLevel) const override
    {
        if (labelLevel == 0 || points_.empty())
            return false;
        QPainter p(&picture);
        for (int b = race.boatCount; b >= 1 && b < static_cast<int>(points_.size()); --b) {
            for (const QPoint &dot : points_[b]) {
                if (dot.x() > 0 && dot.y() > 0)
                    writeOpaque(p, dot + QPoint(5, -5), race.boats[b].name, Qt::black, Qt::white);
            }
        }
        return true;
    }
    bool offersTable() const override { return true; }

private:
    FigurePoints points_;  // the dots as last drawn
};

struct PageEntry {
    Page page;
    std::unique_ptr<RacePage> (*make)();
    bool analysis;  // one of the analysis pages, with a tab
};

template <typename P>
std::unique_ptr<RacePage> make()
{
    return std::make_unique<P>();
}

const PageEntry kPages[] = {
    {Page::Graph, make<GraphRacePage>, false},
    {Page::Analysis, make<AnalysisRacePage>, true},
    {Page::Start, makeStartPage, true},
    {Page::Gaps, makeGapChartPage, true},
    {Page::Legs, makeLegsPage, true},
    {Page::Polars, makePolarsPage, true},
    {Page::Compare, makeComparePage, true},
};

}  // namespace

std::unique_ptr<RacePage> makeRacePage(Page page)
{
    for (const PageEntry &entry : kPages) {
        if (entry.page == page)
            return entry.make();
    }
    return nullptr;
}

std::vector<Page> analysisPages()
{
    std::vector<Page> pages;
    for (const PageEntry &entry : kPages) {
        if (entry.analysis)
            pages.push_back(entry.page);
    }
    return pages;
}

}  // namespace keelrun
