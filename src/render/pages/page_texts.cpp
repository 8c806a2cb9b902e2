#include "render/pages/page_texts.h"

namespace keelrun {

QString pageText(PageText text, Language language)
{
    const bool ja = isJapanese(language);
    switch (text) {
    case PageText::WholeRaceFigure:
        return ja ? QStringLiteral(u" 図1  全体 / 時間と帆走距離 ") : QStringLiteral(" Fig.1  Total/Time and Sailed Distance ");
    case PageText::UpwindFigure:
        return ja ? QStringLiteral(u" 図2  風上 / 時間と帆走距離 ") : QStringLiteral(" Fig.2  UP WIND / Time and Sailed Distance ");
    case PageText::DownwindFigure:
        return ja ? QStringLiteral(u" 図3  風下 / 時間と帆走距離 ") : QStringLiteral(" Fig.3 DOWN WIND / Time and Sailed Distance ");
    case PageText::TimeAxis:
        return ja ? QStringLiteral(u" 時間 ") : QStringLiteral(" TIME ");
    case PageText::DistanceAxis:
        return ja ? QStringLiteral(u" 距離(m) ") : QStringLiteral(" Distance(m) ");
    case PageText::CourseAndWind:
        return ja ? QStringLiteral(u"艇の針路と風向（磁方位）") : QStringLiteral("Boat course and Wind Direction (Deg in Mag)");
    case PageText::EstimatedWind:
        return ja ? QStringLiteral(u"風向はフリートのタックとジャイブから推定") : QStringLiteral("TWD estimated from the fleet's tacks and gybes");
    case PageText::BoatSpeed:
        return ja ? QStringLiteral(u"艇速（ノット）") : QStringLiteral("Boat Speed (KTS)");
    case PageText::CorrectedTimeNote:
        return ja ? QStringLiteral(u" 注: 時間に関するデータ（艇速を含む）はすべて TCC/TMF で修正しています ")
                  : QStringLiteral(" NOTE: All data related \"time\" including BSP are corrected by TCC/TMF ");
    }
    return {};
}

}  // namespace keelrun
