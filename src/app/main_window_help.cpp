// The window's two languages, its tips, and the files it opens: the help
// pages, the race's attachments and the saved map picture.

#include <algorithm>

#include <cmath>
#include <memory>

#include <QApplication>
#include <QDialog>
#include <QFileInfo>
#include <QLineEdit>
#include <QScrollBar>
#include <QBuffer>
#include <QCheckBox>
#include <QDir>
#include <QRadioButton>
#include <QDesktopServices>
#include <QLabel>
#include <QListWidget>
#include <QMessageBox>
#include <QMouseEvent>
#include <QPushButton>
#include <QTimer>
#include <QUrl>

#include "app/boat_list_panel.h"
#include "app/control_panel.h"
#include "app/logo_panel.h"
#include "app/main_window.h"
#include "app/video_export.h"
#include "app/map_canvas.h"
#include "app/playback_controller.h"
#include "cli/video_command.h"
#include "export/documents.h"
#include "export/kml.h"
#include "export/performance_table.h"
#include "io/documents_only.h"

namespace keelrun {
namespace {

constexpr int kNoticeHoldMs = 8000;

bool openWithDesktop(const QString &path) { return QDesktopServices::openUrl(QUrl::fromLocalFile(path)); }

}  // namespace

// An attachment or a help page, handed to the desktop's opener only when it
// is a document; a refusal or a failure is said.
void MainWindow::openDocument(const QString &path)
{
    if (const QString refusal = documentRefusal(path); !refusal.isEmpty())
        reportProblems(refusal, {});
    else if (!openWithDesktop(path))
        reportProblems(QStringLiteral("No program on this computer opens %1.").arg(path), {});
}

// An export just written: where it went, whether or not a program shows it.
void MainWindow::openWrittenDocument(const QString &path)
{
    const bool opened = openWithDesktop(path);
    showNotice(opened ? QStringLiteral("Written to %1").arg(path)
                      : QStringLiteral("Written to %1 (no program on this computer opens it)").arg(path));
}

// A line at the foot of the map for a few seconds.
void MainWindow::showNotice(const QString &text)
{
    notice_->setText(text);
    notice_->adjustSize();
    const int width = std::min(notice_->width(), std::max(1, mapSize_.width() - 20));
    notice_->setGeometry(10, std::max(0, mapSize_.height() - notice_->height() - 10), width, notice_->height());
    notice_->show();
    notice_->raise();
    QTimer::singleShot(kNoticeHoldMs, notice_, [notice = notice_, text] {
        if (notice->text() == text)
            notice->hide();
    });
}

void MainWindow::setLanguage(Language language)
{
    language_ = language;
    showLanguageFlags();
    nameTabs();
    showLiveNumbers();
    controls_->setCaptions(language_);
    boatList_->setCaption(language_);
    if (race_.boatCount > 0 && currentPage() != Page::Track)
        drawPage();  // the page's titles change too
}

// On a Japanese system the flag of the other language switches; on any
// other no flag is shown.
void MainWindow::showLanguageFlags()
{
    controls_->japaneseFlag->setVisible(language_ == Language::EnglishChosen);
    controls_->englishFlag->setVisible(language_ == Language::Japanese);
}

// The tip box holding `text`, sized to it: its lines as they are, wrapped
// only when wider than the window.
QSize MainWindow::fitTipBox(const QString &text)
{
    tipBox_->setWordWrap(false);
    tipBox_->setText(QString(text).replace(QStringLiteral("\r\n"), QStringLiteral("\n")));
    QSize size = tipBox_->sizeHint();
    const int room = std::max(100, width() - 10);
    if (size.width() > room) {
        tipBox_->setWordWrap(true);
        size = QSize(room, tipBox_->heightForWidth(room));
    }
    return size;
}

Tip MainWindow::fitted(Tip tip)
{
    tip.size = fitTipBox(tip.text);
    return tip;
}

void MainWindow::showTip(const Tip &tip, QPoint at)
{
    if (!controls_->tipsBox->isChecked())
        return;
    const QSize size = fitTipBox(tip.text);
    // Kept inside the window: a tip beside the right-hand column would
    // otherwise run off its edge.
    at.setX(std::clamp(at.x(), 0, std::max(0, width() - size.width())));
    at.setY(std::clamp(at.y(), 0, std::max(0, height() - size.height())));
    tipBox_->setGeometry(QRect(at, size));
    tipBox_->show();
    tipBox_->raise();
}

// Tips on hover, and clicks on the pictures and labels that act as buttons.
void MainWindow::watchForTips()
{
    const ControlPanel *c = controls_;
    for (QWidget *w : std::initializer_list<QWidget *>{c->autoNextBox, logo_->helpButton, logo_->logo, c->showRaceButton,
                                                       c->bigBoatBox, c->comparisonBox, c->speedColourBox, c->smallScreenBox,
                                                       logo_->overview, c->englishFlag, c->japaneseFlag, c->raceFileHelp,
                                                       c->kmlButton, c->graphPageButton, c->analysisPageButton})
        w->installEventFilter(this);
}

bool MainWindow::eventFilter(QObject *watched, QEvent *event)
{
    if ((watched == finishBoard_ || watched == classBoard_) && event->type() == QEvent::Enter)
        dodge(static_cast<QWidget *>(watched));
    if (event->type() == QEvent::MouseButtonPress) {
        if (watched == controls_->englishFlag)
            setLanguage(Language::EnglishChosen);
        else if (watched == controls_->japaneseFlag)
            setLanguage(Language::Japanese);
        else if (watched == controls_->raceFileHelp)
            openJapaneseHelp();
        else if (watched == logo_->logo)
            openHelp();
        else if (watched == controls_->kmlButton) {
            exportKml(static_cast<QMouseEvent *>(event)->button() == Qt::RightButton);
            return true;
        }
        else if (watched == logo_->overview)
            onOverviewClicked(static_cast<QMouseEvent *>(event)->position().toPoint());
    }
    if (event->type() == QEvent::Leave)
        tipBox_->hide();
    if (event->type() == QEvent::Enter) {
        bringForward(static_cast<QWidget *>(watched));
        showTipFor(static_cast<QWidget *>(watched));
    }
    return QWidget::eventFilter(watched, event);
}

// Most tips stand above their control; the small-screen tip to its left, the
// SHOW tip at the button's right edge, the small-map tip under the overview.
void MainWindow::showTipFor(QWidget *control)
{
    const QPoint topLeft = control->mapTo(this, QPoint(0, 0));
    const std::pair<QWidget *, TipId> above[] = {{controls_->autoNextBox, TipId::AutoNext},
                                                 {logo_->helpButton, TipId::Help},
                                                 {logo_->logo, TipId::Logo},
                                                 {controls_->bigBoatBox, TipId::BoatSize},
                                                 {controls_->comparisonBox, TipId::ComparisonLines},
                                                 {controls_->speedColourBox, TipId::SpeedColours}};
    for (const auto &[source, id] : above) {
        if (control == source) {
            const Tip tip = fitted(tipFor(id, language_));
            showTip(tip, QPoint(topLeft.x(), topLeft.y() - tip.size.height() - 4));
        }
    }
    if (control == controls_->smallScreenBox) {
        const Tip tip = fitted(tipFor(TipId::SmallScreen, language_));
        showTip(tip, QPoint(topLeft.x() - tip.size.width() - 4, topLeft.y()));
    }
    if (control == controls_->kmlButton) {
        const Tip tip = fitted(tipFor(TipId::Kml, language_));
        showTip(tip, QPoint(topLeft.x() - tip.size.width() - 5, topLeft.y()));
    }
    if (control == controls_->showRaceButton) {
        const Tip tip = fitted(tipFor(TipId::Show, language_));
        showTip(tip, QPoint(topLeft.x() + control->width() - tip.size.width(), topLeft.y() - 37));
    }
    for (QRadioButton *button : {controls_->graphPageButton, controls_->analysisPageButton}) {
        if (control != button)
            continue;
        if (currentPage() != Page::Track)
            mapCanvas_->setPicture(&pageBitmap_);  // the pointer's drawings go
        const Tip tip = fitted(pageButtonTip(button == controls_->graphPageButton ? Page::Graph : Page::Analysis, language_));
        showTip(tip, QPoint(mapSize_.width() - tip.size.width() - 5, topLeft.y()));
    }
    if (control == logo_->overview && smallScreen_ != SmallScreen::Off)
        showTip(tipFor(TipId::SmallMap, language_), QPoint(topLeft.x(), topLeft.y() + control->height()));
}

// The help page of the language in use, else the other one.
void MainWindow::openHelp()
{
    const bool japanese = isJapanese(language_);
    if (const auto page = folder_.helpPage(japanese) ? folder_.helpPage(japanese) : folder_.helpPage(!japanese))
        openDocument(*page);
}

void MainWindow::openJapaneseHelp()
{
    if (const auto page = folder_.helpPage(true)) {
        QApplication::beep();
        openDocument(*page);
    }
}

void MainWindow::onAttachmentClicked()
{
    QApplication::beep();
    if (attachmentList_->isVisible()) {
        attachmentList_->hide();
        return;
    }
    if (race_.attachments.size() < 2) {
        if (const auto path = folder_.find(SubFolder::Attachments, race_.attachments.value(0)))
            openDocument(*path);
        return;
    }
    attachmentList_->clear();
    attachmentList_->addItems(race_.attachments);
    attachmentList_->show();
    attachmentList_->raise();
}

void MainWindow::onAttachmentChosen()
{
    if (const QListWidgetItem *item = attachmentList_->currentItem()) {
        if (const auto path = folder_.find(SubFolder::Attachments, item->text()))
            openDocument(*path);
    }
    attachmentList_->hide();
}

// The race for a globe viewer: the whole race (left button) or the scene at
// the race clock (right button), opened with the desktop's program. With
// boats out of focus it first asks whether to hide them; the replay goes on
// meanwhile.
void MainWindow::exportKml(bool scene)
{
    if (race_.boatCount == 0 || isLoading())
        return;
    if (boatList_->focus().unfocusedCount() == 0) {
        writeKml(scene);
        return;
    }
    const QString question = isJapanese(language_)
                                 ? QStringLiteral(u"フォーカスの外れた艇を隠しますか？\r\n（いいえの場合はフォーカスの外れた艇を細線で表示します）")
                                 : QStringLiteral("Hide Unfocused Boat ?");
    auto *box = new QMessageBox(QMessageBox::Question, QStringLiteral("Keelrun"), question, QMessageBox::Yes | QMessageBox::No, this);
    box->setObjectName(QStringLiteral("hideUnfocusedQuestion"));
    box->setAttribute(Qt::WA_DeleteOnClose);
    connect(box, &QMessageBox::finished, this, [this, scene](int button) {
        hideUnfocused_ = button == QMessageBox::Yes;
        if (race_.boatCount > 0 && !isLoading())  // the replay may have gone on to another race meanwhile
            writeKml(scene);
    });
    box->open();
}

void MainWindow::writeKml(bool scene)
{
    const std::vector<bool> shown = boatList_->shown();
    KmlOptions options{QDir(folder_.path(SubFolder::KmlIcons)).absolutePath() + QLatin1Char('/'), shown, hideUnfocused_,
                       isJapanese(language_)};
    FrameState frame = newFrameState(race_);
    FrameRequest request;
    request.now = playback_->clock().raceClock;
    request.shown = shown;
    computeFrame(frame, race_, request);
    const QString path = documentPathFor(race_, scene ? sceneKmlEnding(race_, request.now) : QStringLiteral(".kml"));
    const QString error = saveDocument(path, (scene ? sceneKml(race_, frame, options) : raceKml(race_, options)).toUtf8());
    if (!error.isEmpty()) {
        reportProblems(error, {});
        return;
    }
    openWrittenDocument(path);
}

// Ctrl+E: asks for the file and the stretch of the race (the race window by
// default), then writes the video beside a progress dialog that can cancel
// it; the replay itself goes on meanwhile.
void MainWindow::exportVideo()
{
    if (race_.boatCount == 0 || isLoading())
        return;
    const QString file = documentPathFor(race_, QStringLiteral(".mp4"));
    auto *dialog = new VideoExportDialog(this, file, race_.windowStart, race_.windowEnd);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    connect(dialog, &QDialog::accepted, this, [this, dialog] {
        startVideo(dialog->file(), dialog->from(), dialog->to(), dialog->speed());
    });
    dialog->open();
}

VideoExport *MainWindow::startVideo(const QString &path, double from, double to, double speed)
{
    CommandLine command;
    command.output = path;
    command.size = QSize(1280, 720);
    command.videoFrom = CommandTime{from};
    command.videoTo = CommandTime{to};
    command.videoSpeed = speed;
    command.northUp = controls_->northUpButton->isChecked();
    command.zoom = controls_->zoomSlider->value();
    command.laylines = controls_->laylineBox->isChecked();
    auto *video = new VideoExport(race_, command, this);
    connect(video, &VideoExport::finished, this, [this](const QString &error) {
        if (!error.isEmpty())
            reportProblems(error, {});
    });
    video->start();
    return video;
}

// The performance table, opened with the desktop's spreadsheet program.
void MainWindow::exportTable()
{
    if (race_.boatCount == 0 || isLoading())
        return;
    const QString path = documentPathFor(race_, QStringLiteral(".csv"));
    if (const QString error = saveDocument(path, spreadsheetText(performanceTable(race_))); !error.isEmpty()) {
        // Most often the spreadsheet still holds the previous table open.
        reportProblems(QStringLiteral("Excel is already open\r\nClose present Excel and try again."), {error});
        return;
    }
    QApplication::beep();
    openWrittenDocument(path);
}

// Saves the picture on show as RACE.bmp in the documents folder and opens it.
void MainWindow::saveMapPicture()
{
    const QString path = documentPathFor(race_, QStringLiteral(".bmp"));
    QByteArray bmp;
    QBuffer buffer(&bmp);
    buffer.open(QIODevice::WriteOnly);
    (controls_->trackPageButton->isChecked() ? mapBitmap_ : pageBitmap_).save(&buffer, "BMP");
    if (const QString error = saveDocument(path, bmp); !error.isEmpty()) {
        reportProblems(error, {});
        return;
    }
    openWrittenDocument(path);
}

}  // namespace keelrun
