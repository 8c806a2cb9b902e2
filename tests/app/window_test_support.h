#pragma once
// Helpers for tests of the whole window under the offscreen platform.

#include <algorithm>

#include <QEventLoop>
#include <QFontMetrics>
#include <QLabel>
#include <QTimer>
#include <gtest/gtest.h>

#include "app/main_window.h"

namespace keelrun::test {

// Waits (at most ten seconds) for the window's race to load.
inline void waitForLoad(MainWindow &window)
{
    QEventLoop loop;
    QObject::connect(&window, &MainWindow::raceLoaded, &loop, &QEventLoop::quit);
    QTimer::singleShot(10000, &loop, &QEventLoop::quit);
    loop.exec();
}

// The window's control of that object name; a failure when there is none.
template <typename W>
W *child(MainWindow &window, const char *name)
{
    W *w = window.findChild<W *>(QString::fromLatin1(name));
    EXPECT_NE(w, nullptr) << name;
    return w;
}

inline qsizetype trailingBlanks(const QString &line)
{
    qsizetype n = 0;
    while (n < line.size() && line[line.size() - 1 - n].isSpace())
        ++n;
    return n;
}

// The label's text, line by line, fits inside it in its own font; blanks
// at a line's end show nothing and need no room.
inline ::testing::AssertionResult textFits(const QLabel *label)
{
    const QFontMetrics metrics(label->font());
    const QRect room = label->contentsRect();
    const QStringList lines = label->text().split(QLatin1Char('\n'));
    int widest = 0;
    for (const QString &line : lines)
        widest = std::max(widest, metrics.horizontalAdvance(line.sliced(0, line.size() - trailingBlanks(line))));
    if (!label->wordWrap() && widest > room.width())
        return ::testing::AssertionFailure() << label->text().toStdString() << ": " << widest << " px wide in " << room.width();
    const int needed = label->wordWrap() ? label->heightForWidth(label->width()) : static_cast<int>(lines.size()) * metrics.lineSpacing();
    if (needed > room.height() + metrics.leading() + 2 * label->frameWidth() + 2)
        return ::testing::AssertionFailure() << label->text().toStdString() << ": " << needed << " px high in " << room.height();
    return ::testing::AssertionSuccess();
}

}  // namespace keelrun::test
