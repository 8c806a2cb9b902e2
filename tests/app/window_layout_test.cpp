// The window at the screen sizes it meets, in both languages, on every page
// and in small-screen mode, with a race of twenty boats in two classes:
// every text fits its box in its own font, no panel covers another but
// where the layout stacks them on purpose, and no control of the control
// panel covers another. Qt takes its scale once, when the application
// starts: ctest runs these tests again at scale 2, where they draw the 4K
// screen.

#include <filesystem>
#include <vector>

#include <QApplication>
#include <QCheckBox>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include "app/main_window.h"
#include "app/screen_scale.h"
#include "app/window_test_support.h"
#include "render/pages/race_page.h"

namespace keelrun {
namespace {

using test::child;
using test::textFits;

// The screens drawn at the scale this run was started with.
std::vector<QSize> screensAtThisScale()
{
    std::vector<QSize> screens;
    for (const QSize screen : {QSize(1280, 800), QSize(1920, 1080), QSize(3840, 2160)}) {
        if (interfaceScale(screen) == qApp->devicePixelRatio())
            screens.push_back(screen);
    }
    return screens;
}

// Where a control's text does not fit, a line naming it; else nothing.
QString clipped(QWidget *widget)
{
    const QString name = widget->objectName();
    if (auto *label = qobject_cast<QLabel *>(widget)) {
        const auto fits = textFits(label);
        return label->text().isEmpty() || fits ? QString() : name + QStringLiteral(": ") + QString::fromStdString(fits.message());
    }
    auto *button = qobject_cast<QAbstractButton *>(widget);
    if (!button || button->text().isEmpty())
        return {};
    const QFontMetrics metrics(button->font());
    // A push button's text needs a few pixels of its frame; a check box's
    // and a radio button's, its mark and the gap after it.
    const int needed = qobject_cast<QPushButton *>(button) ? metrics.horizontalAdvance(button->text()) + 4 : button->sizeHint().width();
    if (needed <= button->width() && metrics.height() <= button->height())
        return {};
    return QStringLiteral("%1 \"%2\": %3×%4 needed in %5×%6")
        .arg(name, button->text())
        .arg(needed)
        .arg(metrics.height())
        .arg(button->width())
        .arg(button->height());
}

QStringList clippedTexts(MainWindow &window)
{
    QStringList found;
    for (QWidget *widget : window.findChildren<QWidget *>()) {
        if (widget->isVisibleTo(&window)) {
            if (const QString problem = clipped(widget); !problem.isEmpty())
                found << problem;
        }
    }
    return found;
}

// The panels of the window's frame: the map, the time bar and the column.
// Everything else floats over the map (in small-screen mode the size bar
// too, under the small map).
bool isFramePanel(const QWidget *panel)
{
    static const QStringList frame{"mapCanvas", "pnlTimeBar", "pnlLOGO", "pnlBOATlist", "pnlCTRL"};
    return frame.contains(panel->objectName());
}

// Pairs of visible panels that overlap where the layout does not stack them:
// the frame's panels lie side by side (the boat list may cover the logo
// when it needs the height); the floating ones lie on the map and apart.
// The tip box is meant to cover what it explains.
QStringList overlappingPanels(MainWindow &window)
{
    QList<QWidget *> panels;
    for (QWidget *panel : window.findChildren<QWidget *>(Qt::FindDirectChildrenOnly)) {
        if (panel->isVisibleTo(&window) && panel->objectName() != QLatin1String("hintbox"))
            panels << panel;
    }
    const QRect map = child<QWidget>(window, "mapCanvas")->geometry();
    QStringList found;
    for (QWidget *a : panels) {
        if (!isFramePanel(a) && !map.contains(a->geometry()))
            found << a->objectName() + QStringLiteral(" off the map");
        for (QWidget *b : panels) {
            if (a >= b || !a->geometry().intersects(b->geometry()) || isFramePanel(a) != isFramePanel(b))
                continue;
            const QStringList pair{a->objectName(), b->objectName()};
            if (!(pair.contains("pnlBOATlist") && pair.contains("pnlLOGO")))
                found << pair.join(QStringLiteral(" covers "));
        }
    }
    return found;
}

// Pairs of the control panel's visible controls that overlap: in its fixed
// 265 by 255 pixels each control has a place of its own.
QStringList overlappingControls(MainWindow &window)
{
    auto *panel = child<QWidget>(window, "pnlCTRL");
    QList<QWidget *> controls;
    for (QWidget *control : panel->findChildren<QWidget *>(Qt::FindDirectChildrenOnly)) {
        if (control->isVisibleTo(panel))
            controls << control;
    }
    QStringList found;
    for (qsizetype a = 0; a < controls.size(); ++a) {
        for (qsizetype b = a + 1; b < controls.size(); ++b) {
            if (controls[a]->geometry().intersects(controls[b]->geometry()))
                found << controls[a]->objectName() + QStringLiteral(" covers ") + controls[b]->objectName();
        }
        if (!panel->rect().contains(controls[a]->geometry()))
            found << controls[a]->objectName() + QStringLiteral(" off the panel");
    }
    return found;
}

void expectNone(const QStringList &problems, const std::string &where)
{
    EXPECT_TRUE(problems.isEmpty()) << where << ":\n" << problems.join(QLatin1Char('\n')).toStdString();
}

// The design screen fits 1.4 times down a 2560×1440 screen: the window grows
// by the quarter step below, 1.25; a 1920×1080 screen keeps it as it is.
TEST(InterfaceScale, GrowsInQuarterStepsWithTheSmallerFit)
{
    EXPECT_EQ(interfaceScale({1280, 800}), 1);
    EXPECT_EQ(interfaceScale({1920, 1080}), 1);
    EXPECT_EQ(interfaceScale({2560, 1440}), 1.25);
    EXPECT_EQ(interfaceScale({3840, 2160}), 2);
    EXPECT_EQ(interfaceScale({7680, 2160}), 2);  // two screens side by side: as high as one
    EXPECT_EQ(interfaceScale({}), 1);
}

class WindowLayoutTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        std::filesystem::copy(KEELRUN_DEMO_DATA, dir_.path().toStdString(), std::filesystem::copy_options::recursive);
    }

    std::unique_ptr<MainWindow> open(QSize screen)
    {
        auto window = std::make_unique<MainWindow>(DataFolder(dir_.path()), QStringLiteral("hayama-autumn.txt"));
        window->resize(screen / qApp->devicePixelRatio());
        window->show();
        test::waitForLoad(*window);
        window->holdForPicture(false);
        window->jumpTo(window->race().windowEnd);
        window->showFinishesSoFar();
        QApplication::processEvents();
        return window;
    }

    QTemporaryDir dir_;
};

TEST_F(WindowLayoutTest, EveryTextFitsAndNoPanelCoversAnother)
{
    const std::vector<QSize> screens = screensAtThisScale();
    ASSERT_FALSE(screens.empty()) << "no screen is drawn at scale " << qApp->devicePixelRatio();
    for (const QSize screen : screens) {
        auto w = open(screen);
        ASSERT_EQ(w->race().boatCount, 20);
        // The map is drawn at the screen's own pixels.
        EXPECT_EQ(w->mapBitmap().size(), w->mapSize() * qApp->devicePixelRatio());
        for (const Language language : {Language::EnglishChosen, Language::Japanese}) {
            w->setLanguage(language);
            const auto where = [&](const QString &what) {
                return QStringLiteral("%1×%2, %3, %4")
                    .arg(screen.width())
                    .arg(screen.height())
                    .arg(isJapanese(language) ? "Japanese" : "English", what)
                    .toStdString();
            };
            std::vector<Page> pages{Page::Track, Page::Graph};
            for (const Page page : analysisPages())
                pages.push_back(page);
            for (const Page page : pages) {
                w->showPage(page);
                QApplication::processEvents();
                const QString name = QStringLiteral("page %1").arg(int(page));
                expectNone(clippedTexts(*w), where(name));
                expectNone(overlappingPanels(*w), where(name));
            }
            expectNone(overlappingControls(*w), where("control panel"));
            w->showPage(Page::Track);
            auto *smallScreen = child<QCheckBox>(*w, "CheckBox4");
            smallScreen->click();
            QApplication::processEvents();
            expectNone(clippedTexts(*w), where("small screen"));
            expectNone(overlappingPanels(*w), where("small screen"));
            smallScreen->click();
        }
    }
}

}  // namespace
}  // namespace keelrun
