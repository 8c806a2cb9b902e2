#include "edit/map_pointer.h"

#include <cmath>

#include "base/numbers.h"
#include "base/text_file.h"
#include "race/plane.h"

namespace keelrun {
namespace {

const QString kLineBreak = QStringLiteral("\r\n");

// Degrees, then the minutes from the shortest decimal text of minutes + 100
// (two integer digits, up to three decimals).
QString positionText(double minutes, char positive, char negative)
{
    const double a = std::abs(minutes);
    const int degrees = static_cast<int>(a / 60);
    const QString rest = numberText(a - 60.0 * degrees + 100);
    return QLatin1Char(minutes > 0 ? positive : negative) + QString::number(degrees) + QLatin1Char(':') + rest.mid(1, 6);
}

}  // namespace

PointerZones pointerZones(QPoint at, QSize map, bool autoTrace, bool showNames)
{
    const int x = at.x(), y = at.y(), w = map.width(), h = map.height();
    PointerZones z;
    z.windArrowsShown = x < 100 && y < 100;
    z.showHidden = 4 * x < 3 * w;
    z.labelLevel = 4 * x < w ? 3 : 2 * x < w ? 2 : 4 * x < 3 * w ? 1 : 0;
    if (showNames && z.labelLevel == 0)
        z.labelLevel = 1;
    z.fastWakes = h - 100 < y && y < h && x < w && autoTrace;
    z.blinkNames = 3 * y < h && autoTrace && z.labelLevel == 0;
    // Over the compass (100 x 120 at the top left): the wind arrows, and the
    // names only towards its rim.
    if (x >= 5 && x < 105 && y >= 5 && y < 125) {
        z.windArrowsShown = true;
        z.labelLevel = std::hypot(x - 55, y - 55) >= 40 ? 1 : 0;
    }
    return z;
}

Tip pointerZoneTip(const PointerZones &zones, Language language)
{
    const bool ja = isJapanese(language);
    if (zones.fastWakes)
        return tipFor(TipId::FastWakes, language);
    if (zones.windArrowsShown)
        return {ja ? QStringLiteral(u"左上隅: 各艇に風向の矢印") : QStringLiteral("Top left corner: a wind arrow at every boat"), {}};
    switch (zones.labelLevel) {
    case 3:
        return {ja ? QStringLiteral(u"艇名・速度・2艇の速度差と比較線") : QStringLiteral("Labels: names, speeds, two boats' difference, level lines"), {}};
    case 2:
        return {ja ? QStringLiteral(u"艇名と速度（左端でさらに表示）") : QStringLiteral("Labels: names and speeds (far left: more)"), {}};
    case 1:
        return {ja ? QStringLiteral(u"艇名（左へ動かすと速度も表示）") : QStringLiteral("Labels: names (move left: speeds too)"), {}};
    default:
        return {ja ? QStringLiteral(u"ラベルなし（左へ動かすと表示）") : QStringLiteral("No labels (move left to show them)"), {}};
    }
}

QString latitudeText(double lat) { return positionText(lat, 'N', 'S'); }
QString longitudeText(double lon) { return positionText(lon, 'E', 'W'); }

QString rangeBearingText(GeoPoint base, GeoPoint to, const RaceState &race)
{
    const RangeBearing rb = rangeAndBearing(base, to, race.extent.cosLat, race.magneticVariation);
    return QStringLiteral("RNG= %1m / BRG= %2deg(M)").arg(roundHalfEven(rb.range)).arg(roundHalfEven(rb.bearing));
}

Tip pageButtonTip(Page page, Language language)
{
    if (page == Page::Graph)
        return {isJapanese(language) ? QStringLiteral(u"コース、艇速のグラフを表示") : QStringLiteral("Show BCO and BSP Graph"), {200, 18}};
    return {isJapanese(language) ? QStringLiteral(u"帆走データを解析します") : QStringLiteral("Sailing Data Analysis"), {200, 18}};
}

Tip mapMouseTip(EditTool tool, Language language)
{
    switch (tool) {
    case EditTool::Marks:
        return {QStringLiteral("Shift + Click(L) at Mark Point"), {170, 17}};
    case EditTool::LineStart:
        return {QStringLiteral("Shift + Click(L) at Line Starting Point"), {210, 17}};
    case EditTool::LineEnd:
        return {QStringLiteral("Shift + Click(L) at Line End Point"), {210, 17}};
    case EditTool::Course:
        return {QStringLiteral("Shift + Click(L) at the Mark or Line"), {210, 17}};
    case EditTool::Wind:
        return {QString(), {0, 0}};
    case EditTool::None:
        break;
    }
    if (isJapanese(language))
        return {QStringLiteral(u"左ｸﾘｯｸでｸﾘｯｸした点を中心に地図が拡大") + kLineBreak + QStringLiteral(u"右ｸﾘｯｸで縮小します") + kLineBreak +
                    kLineBreak + QStringLiteral(u"Shiftを押している間は距離方位計測ﾓｰﾄﾞになります") + kLineBreak +
                    QStringLiteral(u"ｸﾘｯｸすると基点が設定され､マウスを移動すると") + kLineBreak +
                    QStringLiteral(u"移動した地点までの距離、方位を表示します"),
                {270, 85}};
    return {QStringLiteral("Left Button => Enlarge Map.") + kLineBreak + QStringLiteral("Right Button => Shrink Map") + kLineBreak +
                QStringLiteral("(Click point is a center of map)") + kLineBreak + kLineBreak +
                QStringLiteral("Shift Key to be Range & Bearing Measuring Mode") + kLineBreak +
                QStringLiteral("MouseDown to Set Base Point and Move to") + kLineBreak +
                QStringLiteral("Indicate Range and Bearing to New Point"),
            {290, 100}};
}

}  // namespace keelrun
