#include "view/captions.h"

#include <array>

#include <QStringList>

namespace keelrun {
namespace {

const QString kLineBreak = QStringLiteral("\r\n");

struct CaptionTexts {
    const char16_t *japanese;
    const char16_t *english;
};

QString blanks(int n) { return QString(n, QLatin1Char(' ')); }

// The boat list header: "Boat Name" over each of the two columns.
QString boatListHeader(Language language)
{
    if (!isJapanese(language))
        return blanks(5) + QStringLiteral("Boat Name") + blanks(22) + QStringLiteral("Boat Name") + blanks(32);
    const QString boatName = QStringLiteral(u"艇\u3000名");
    return blanks(7) + boatName + blanks(10) + QStringLiteral(u"\u3000") + blanks(11) + boatName + blanks(40);
}

// In the order of Caption, from RaceFileName on.
const std::array<CaptionTexts, kCaptionCount - 1> kCaptions{{
    {u" レースファイル名", u"Race File Name"},
    {u"表示方位", u"Orientation"},
    {u"北が上", u"NorthWd"},
    {u"風向", u"WindWd"},
    {u"自動切換", u"AutoNext"},
    {u"表示", u"SHOW"},
    {u"軌跡", u"Track"},
    {u"ｸﾞﾗﾌ", u"Graph"},
    {u"解析", u"Anlss"},
    {u"軌跡追尾", u"Auto Trace"},
    {u"レイライン", u"Layline"},
    {u"比較線", u"Comp Ht"},
    {u"艇名表示", u"Boat Name"},
    {u"艇拡大", u"Boat Size"},
    {u"操作説明", u"Tips"},
    {u"添付資料表示", u"Attachment"},
    {u"画像処理", u"Retouch"},
    {u"小画面", u"Small Scr"},
    {u"速度色", u"Speed Colours"},
}};

QString logoTip(Language language)
{
    const QString site = isJapanese(language) ? QStringLiteral(u"ロゴをクリックするとホームページを開きます")
                                              : QStringLiteral("Click the logo to visit our web site");
    return kLineBreak + QStringLiteral("<Keelrun>") + kLineBreak + QStringLiteral("yacht racing browser") + kLineBreak +
           kLineBreak + QStringLiteral("Quillomar Ltd.") + kLineBreak + site;
}

}  // namespace

Language languageForLocale(bool japaneseLocale)
{
    return japaneseLocale ? Language::Japanese : Language::EnglishByLocale;
}

QString captionFor(Caption caption, Language language)
{
    if (caption == Caption::BoatListHeader)
        return boatListHeader(language);
    const CaptionTexts &texts = kCaptions[static_cast<std::size_t>(caption) - 1];
    return QString::fromUtf16(isJapanese(language) ? texts.japanese : texts.english);
}

Tip timeBarTip(Language language, const QString &dateTime)
{
    if (isJapanese(language))
        return {QStringLiteral(u"クリックで時間を瞬時に変更します") + kLineBreak + QStringLiteral(u"(白はUpWind、灰色はDownWind )") +
                    kLineBreak + QStringLiteral("(") + dateTime + QStringLiteral(")"),
                {220, 43}};
    return {QStringLiteral("Click to change the time.") + kLineBreak + QStringLiteral("(") + dateTime + QStringLiteral(")") +
                kLineBreak + QStringLiteral("(White zone = UpWind   )") + kLineBreak + QStringLiteral("(Gray zone   = DownWind )"),
            {180, 55}};
}

Tip tipFor(TipId id, Language language)
{
    const bool ja = isJapanese(language);
    switch (id) {
    case TipId::AutoNext:
        return ja ? Tip{QStringLiteral(u"ファイルを順次自動切換えします"), {220, 16}} : Tip{QStringLiteral("Auto changer on/off"), {180, 16}};
    case TipId::Help:
        return {ja ? QStringLiteral(u"  HELPを表示します") : QStringLiteral("    Show Help"), {150, 20}};
    case TipId::Logo:
        return {logoTip(language), {160, 100}};
    case TipId::Show:
        return {ja ? QStringLiteral(u"左のボックスでレースを選び") + kLineBreak + QStringLiteral(u"このボタンでそれを表示します")
                   : QStringLiteral("Choose race file at left box") + kLineBreak + QStringLiteral("then click here to show it."),
                {180, 32}};
    case TipId::BoatSize:
        return {ja ? QStringLiteral(u"艇の表示サイズを拡大/縮小します") : QStringLiteral("Enlarge Disp Boat Size"), {220, 20}};
    case TipId::SmallScreen:
        return ja ? Tip{QStringLiteral(u"動画作成用に小サイズ画面表示") + kLineBreak, {190, 20}}
                  : Tip{QStringLiteral("Show Small Map to Make Movie") + kLineBreak, {200, 20}};
    case TipId::Kml:
        return ja ? Tip{QStringLiteral(u"  Google Earthを表示します") + kLineBreak + QStringLiteral(u"左ｸﾘｯｸ → 全レース") + kLineBreak +
                            QStringLiteral(u"右ｸﾘｯｸ → 現在表示中のシーン") + kLineBreak + QStringLiteral(u"(再開するには△ボタンを押してください)"),
                        {250, 60}}
                  : Tip{QStringLiteral("    Show Google Earth") + kLineBreak + QStringLiteral("Left Button => All Race") + kLineBreak +
                            QStringLiteral("Right Button => Present Scene") + kLineBreak + QStringLiteral(u"(△Button to Restart)"),
                        {190, 60}};
    case TipId::SmallMap:
        return ja ? Tip{QStringLiteral(u"クリックで小地図をON/OFF") + kLineBreak, {220, 20}}
                  : Tip{QStringLiteral("Click to ON/OFF small map on main map") + kLineBreak, {250, 20}};
    case TipId::FastWakes:
        return {ja ? QStringLiteral(u"平均速度より速い艇の航跡が赤字で表示されます") : QStringLiteral("Red wake boats are faster than avg boats"),
                {270, 20}};
    case TipId::ComparisonLines:
        return {ja ? QStringLiteral(u"比較線: 各艇を通る風に直角な線。同じ線上の艇は風上（風下）へ並んでいます")
                   : QStringLiteral("Comp Ht: a line through each boat square to the wind; boats on one line are level up or down the course"),
                {}};
    case TipId::SpeedColours:
        return {ja ? QStringLiteral(u"速度色: 航跡を各地点の速度で色分けします（青が遅く赤が速い、目盛りはノット）")
                   : QStringLiteral("Speed Colours: tracks coloured by speed, slow blue to fast red; the scale in knots"),
                {}};
    case TipId::FocusAll:
        return {ja ? QStringLiteral(u"左ｸﾘｯｸで全艇にﾁｪｯｸが入ります") : QStringLiteral("Left Button => Focus All Boats."), {220, 20}};
    }
    return {};
}

Tip boatBoxTip(Language language, const QString &boatName)
{
    if (isJapanese(language))
        return {QStringLiteral(u"ﾁｪｯｸの入った艇がﾌｫｰｶｽされます。") + kLineBreak + QStringLiteral(u"右ｸﾘｯｸで") + boatName + kLineBreak +
                    QStringLiteral(u"のみ残して他全艇のﾌｫｰｶｽを外します。") + kLineBreak + kLineBreak +
                    QStringLiteral(u"SHIFT+左ｸﾘｯｸで１艇のみ常時強調表示します") + kLineBreak +
                    QStringLiteral(u"(再度SHIFT+左ｸﾘｯｸで強調表示を解除)"),
                {250, 80}};
    return {QStringLiteral("Checked boats are focused.") + kLineBreak + QStringLiteral("Unchecked boats are out of focus.") +
                kLineBreak + kLineBreak + QStringLiteral("R-Click to focus only ") + boatName,
            {280, 56}};
}

Tip classBoxTip(Language language, const QString &className)
{
    if (isJapanese(language))
        return {QStringLiteral(u"ﾁｪｯｸの入ったｸﾗｽがﾌｫｰｶｽされます。") + kLineBreak + QStringLiteral(u"ﾁｪｯｸを外すとﾌｫｰｶｽが外れます") +
                    kLineBreak + kLineBreak + QStringLiteral(u"右ｸﾘｯｸで") + className + QStringLiteral(u" ｸﾗｽ") + kLineBreak +
                    QStringLiteral(u"のみ残して他全ｸﾗｽのﾌｫｰｶｽを外します。") + kLineBreak + kLineBreak,
                {250, 68}};
    return {QStringLiteral("Checked Class are focused.") + kLineBreak + QStringLiteral("Unchecked Class are out of focus.") +
                kLineBreak + kLineBreak + QStringLiteral("R-Click to focus only ") + className + QStringLiteral(" Class"),
            {280, 56}};
}

}  // namespace keelrun
