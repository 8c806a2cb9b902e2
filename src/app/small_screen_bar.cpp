#include "app/small_screen_bar.h"

#include <QComboBox>
#include <QLabel>
#include <QRadioButton>

#include "app/make_control.h"

namespace keelrun {

SmallScreenBar::SmallScreenBar(QWidget *window) : QWidget(window)
{
    setObjectName(QStringLiteral("pnlUsize"));
    setGeometry(0, 0, 560, 26);
    const std::tuple<QRadioButton **, const char *, const char *, SmallScreen> sizes[] = {
        {&size800x600, "RadioButton4", "800 x 600", SmallScreen::Size800x600},
        {&size800x480, "RadioButton7", "800 x 480", SmallScreen::Size800x480},
        {&size640x480, "RadioButton5", "640 x 480", SmallScreen::Size640x480},
        {&size480x320, "RadioButton6", "480 x 320", SmallScreen::Size480x320},
        {&sizePreferred, "RadioButton8", "Preference", SmallScreen::Preference}};
    int column = 0;
    for (const auto &[button, name, text, choice] : sizes) {
        *button = makeControl<QRadioButton>(this, name, {column++ * 80, 4, 80, 18});
        (*button)->setText(QString::fromLatin1(text));
        connect(*button, &QRadioButton::clicked, this, [this, choice = choice] { emit sizeChosen(choice); });
    }
    makeControl<QLabel>(this, "LabelW", {400, 4, 24, 18})->setText(QStringLiteral("W ="));
    widthList = makeControl<QComboBox>(this, "ComboBox2", {424, 2, 56, 20});
    makeControl<QLabel>(this, "LabelH", {482, 4, 24, 18})->setText(QStringLiteral("H ="));
    heightList = makeControl<QComboBox>(this, "ComboBox3", {504, 2, 56, 20});
    for (QComboBox *list : {widthList, heightList}) {
        connect(list, &QComboBox::activated, this, [this] {
            sizePreferred->setChecked(true);
            emit sizeChosen(SmallScreen::Preference);
        });
    }
    hide();

    title_ = makeControl<QLabel>(window, "Memo11", {112, 2, 100, 18});
    ctMark_ = makeControl<QLabel>(window, "Memo12", {0, 2, 60, 18});
    ctMark_->setText(QStringLiteral("CT mode"));
    playSpeed_ = makeControl<QLabel>(window, "Memo13", {0, 0, 170, 16});
    for (QLabel *label : {title_, ctMark_, playSpeed_})
        label->hide();
}

void SmallScreenBar::open()
{
    widthList->clear();
    heightList->clear();
    for (int w = 300; w <= 1280; w += 20)
        widthList->addItem(QString::number(w));
    for (int h = 240; h <= 640; h += 20)
        heightList->addItem(QString::number(h));
    size800x480->setChecked(true);
    emit sizeChosen(SmallScreen::Size800x480);
}

QSize SmallScreenBar::preference() const
{
    return {widthList->currentText().toInt(), heightList->currentText().toInt()};
}

void SmallScreenBar::showOver(QSize map, const QString &title, bool corrected)
{
    move((map.width() - width()) / 2, map.height() + 35);
    show();
    title_->setText(title);
    title_->setGeometry(112, 2, 6 * static_cast<int>(title.size()) + 15, 18);
    title_->show();
    ctMark_->move(title_->geometry().right() + 1 + 2, 2);
    ctMark_->setVisible(corrected);
    playSpeed_->move(map.width() - 180, map.height() - 17);
    playSpeed_->show();
}

void SmallScreenBar::close()
{
    hide();
    for (QLabel *label : {title_, ctMark_, playSpeed_})
        label->hide();
}

void SmallScreenBar::showPlaySpeed(double playSpeed)
{
    playSpeed_->setText(QStringLiteral("Play SPD= %1x").arg(playSpeed));
}

}  // namespace keelrun
