#include "app/small_screen_bar.h"

#include <algorithm>

#include <QComboBox>
#include <QLabel>
#include <QRadioButton>

#include "app/make_control.h"

namespace keelrun {

SmallScreenBar::SmallScreenBar(QWidget *window) : QWidget(window)
{
    setObjectName(QStringLiteral("pnlUsize"));
    setGeometry(0, 0, 560, 26);  // widened below to its controls
    const std::tuple<QRadioButton **, const char *, const char *, SmallScreen> sizes[] = {
        {&size800x600, "RadioButton4", "800 x 600", SmallScreen::Size800x600},
        {&size800x480, "RadioButton7", "800 x 480", SmallScreen::Size800x480},
        {&size640x480, "RadioButton5", "640 x 480", SmallScreen::Size640x480},
        {&size480x320, "RadioButton6", "480 x 320", SmallScreen::Size480x320},
        {&sizePreferred, "RadioButton8", "Preference", SmallScreen::Preference}};
    // Each control as wide as its text, one after the other.
    int x = 0;
    const auto place = [&x](QWidget *w, int y, int height) {
        w->setGeometry(x, y, std::max(w->sizeHint().width(), 24), height);
        x += w->width() + 4;
    };
    for (const auto &[button, name, text, choice] : sizes) {
        *button = makeControl<QRadioButton>(this, name, {0, 4, 80, 18});
        (*button)->setText(QString::fromLatin1(text));
        place(*button, 4, 18);
        connect(*button, &QRadioButton::clicked, this, [this, choice = choice] { emit sizeChosen(choice); });
    }
    auto *widthLabel = makeControl<QLabel>(this, "LabelW", {0, 4, 24, 18});
    widthLabel->setText(QStringLiteral("W ="));
    place(widthLabel, 4, 18);
    widthList = makeControl<QComboBox>(this, "ComboBox2", {x, 2, 64, 20});
    x += 68;
    auto *heightLabel = makeControl<QLabel>(this, "LabelH", {0, 4, 24, 18});
    heightLabel->setText(QStringLiteral("H ="));
    place(heightLabel, 4, 18);
    heightList = makeControl<QComboBox>(this, "ComboBox3", {x, 2, 64, 20});
    resize(x + 64, 26);
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
    ctMark_->adjustSize();
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
    title_->setGeometry(112, 2, title_->sizeHint().width() + 4, 18);
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
