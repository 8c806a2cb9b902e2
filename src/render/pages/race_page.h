#pragma once
// The pages of the map area beside the map: still pictures of the whole
// race. A page is one class: it draws itself, marks a boat on a copy of what
// it drew, and says what of the window it uses. The window, --render and
// --screenshot make a page from its Page value; a new page is a value of
// Page with its name (view/window_layout), a class here and a line in the
// table in race_page.cpp.

#include <memory>
#include <vector>

#include <QImage>
#include <QString>

#include "model/race_state.h"
#include "render/pages/graph_page.h"
#include "view/window_layout.h"

namespace keelrun {

// The window's tabs over the analysis pages take their top 27 pixels: what
// a page writes goes below this.
inline constexpr int kBelowPageTabs = 32;

class RacePage {
public:
    virtual ~RacePage() = default;

    // The page's name on its tab, in the window's language.
    virtual QString title(Language language) const = 0;
    // Draws the page over the whole of `picture`.
    virtual void draw(QImage &picture, const RaceState &race, const PageRequest &request) = 0;
    // The boat under the pointer in the boat list, marked on `picture`, a
    // copy of the page as drawn.
    virtual void markBoat(QImage &picture, const RaceState &race, const PageRequest &request, int boat) const = 0;
    // The pointer between the boat list's boxes: what the page shows for it
    // on a copy of itself; false for nothing.
    virtual bool markListHover(QImage &, const RaceState &, const PageRequest &) const { return false; }
    // The pointer over the page at `pointer`, asking for names when
    // `labelLevel` is above 0: what the page says there (the boats' names,
    // a reading), on a copy; false when it says nothing.
    virtual bool showPointer(QImage &, const RaceState &, QPoint /*pointer*/, int /*labelLevel*/) const { return false; }
    // Whether the "Excel Table" button stands over the page.
    virtual bool offersTable() const { return false; }
};

// The page for `page`; nothing for the map (Track), which plays.
std::unique_ptr<RacePage> makeRacePage(Page page);
// The analysis pages, in the order of their tabs: those the analysis
// choice of the control panel leads to.
std::vector<Page> analysisPages();

}  // namespace keelrun
