#pragma once
// The interface's two languages: the captions of the window's controls and
// the tips shown when the pointer rests on a control.

#include <QSize>
#include <QString>

namespace keelrun {

// Japanese, or English chosen with the flag, or English because the user's
// locale is not Japanese. Every text choice asks only "Japanese or not".
enum class Language { Japanese = 0, EnglishChosen = 1, EnglishByLocale = 2 };

inline bool isJapanese(Language l) { return l == Language::Japanese; }

// The language for a locale: Japanese for a Japanese locale.
Language languageForLocale(bool japaneseLocale);

// The captions of the window's controls, named by the control's role.
enum class Caption {
    BoatListHeader,  // "Boat Name" over both columns of the boat list
    RaceFileName,
    Orientation,
    NorthUp,
    WindUp,
    AutoNext,
    Show,
    TrackPage,
    GraphPage,
    AnalysisPage,
    AutoTrace,
    Layline,
    ComparisonLine,
    BoatName,
    BoatSize,
    Tips,
    Attachment,
    Retouch,
    SmallScreen,
    SpeedColours,
};
inline constexpr int kCaptionCount = static_cast<int>(Caption::SpeedColours) + 1;

QString captionFor(Caption caption, Language language);

struct Tip {
    QString text;  // lines separated by CR LF
    QSize size;    // the tip box, pixels
};

enum class TipId { AutoNext, Help, Logo, Show, BoatSize, SmallScreen, SmallMap, Kml, FocusAll, FastWakes, ComparisonLines, SpeedColours };
Tip tipFor(TipId id, Language language);

// The tip over the time bar: click to jump, the date and time under the
// pointer, and what the white and grey zones mean.
Tip timeBarTip(Language language, const QString &dateTime);

// The tips over a boat's and a class's box in the boat list.
Tip boatBoxTip(Language language, const QString &boatName);
Tip classBoxTip(Language language, const QString &className);

}  // namespace keelrun
