#include "app/captions.h"

#include <array>

#include <QStringList>

namespace keelrun {
namespace {

const QString kLineBreak = QStringLiteral("\r\n");

struct Caption {
    const char *control;
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

const std::array<Caption, 18> kCaptions{{
    {"Label5", u" レースファイル名", u"Race File Name"},
    {"GroupBox1", u"表示方位", u"Orientation"},
    {"RadioN", u"北が上", u"NorthWd"},
    {"RadioW", u"風向", u"WindWd"},
    {"chkAutoNext", u"自動切換", u"AutoNext"},
    {"Button4", u"表示", u"SHOW"},
    {"RadioButton1", u"軌跡", u"Track"},
    {"RadioButton2", u"ｸﾞﾗﾌ", u"Graph"},
    {"RadioButton3", u"解析", u"Anlss"},
    {"CheckBox1", u"軌跡追尾", u"Auto Trace"},
    {"chkLL", u"レイライン", u"Layline"},
    {"ChkRefLine", u"比較線", u"Comp Ht"},
    {"CheckBox2", u"艇名表示", u"Boat Name"},
    {"ChkBigBoat", u"艇拡大", u"Boat Size"},
    {"chkHint", u"操作説明", u"Tips"},
    {"Button2", u"添付資料表示", u"Attachment"},
    {"Button5", u"画像処理", u"Retouch"},
    {"CheckBox4", u"小画面", u"Small Scr"},
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

QString captionFor(const QString &control, Language language)
{
    if (control == QLatin1String("Label1"))
        return boatListHeader(language);
    for (const Caption &c : kCaptions) {
        if (control == QLatin1String(c.control))
            return QString::fromUtf16(isJapanese(language) ? c.japanese : c.english);
    }
    return {};
}

QStringList captionedControls()
{
    QStringList names{QStringLiteral("Label1")};
    for (const Caption &c : kCaptions)
        names << QString::fromLatin1(c.control);
    return names;
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
    case TipId::SmallMap:
        return ja ? Tip{QStringLiteral(u"クリックで小地図をON/OFF") + kLineBreak, {220, 20}}
                  : Tip{QStringLiteral("Click to ON/OFF small map on main map") + kLineBreak, {250, 20}};
    }
    return {};
}

}  // namespace keelrun
