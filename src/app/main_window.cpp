#include "app/main_window.h"

#include <algorithm>

#include <QApplication>
#include <QCloseEvent>
#include <QDesktopServices>
#include <QDir>
#include <QFile>
#include <QLocale>
#include <QMessageBox>
#include <QPainter>
#include <QSaveFile>
#include <QScreen>
#include <QStandardPaths>
#include <QUrl>

#include "app/map_canvas.h"
#include "app/pictures.h"
#include "app/splash_panel.h"
#include "map/geometry.h"
#include "map/painting.h"
#include "playback/boat_list_layout.h"
#include "playback/play_speed.h"

namespace keelrun {
namespace {

constexpr int kSplashHoldMs = 6000;
const QSize kSplashPictureSize(640, 360);

void beep() { QApplication::beep(); }

void openFile(const QString &path) { QDesktopServices::openUrl(QUrl::fromLocalFile(path)); }

QPixmap marker(Rgb colour)
{
    QPixmap pixmap(7, 7);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(Qt::white);
    p.setBrush(toQColor(colour));
    p.drawEllipse(QRectF(0.5, 0.5, 6, 6));
    return pixmap;
}

}  // namespace

MainWindow::MainWindow(const DataFolder &folder, const QString &firstRace, QWidget *parent)
    : QWidget(parent), folder_(folder)
{
    setObjectName(QStringLiteral("Form1"));
    setWindowTitle(QStringLiteral("Keelrun"));
    mapCanvas_ = new MapCanvas(this);
    buildLogoPanel();
    pnlBOATlist = make<QWidget>(this, "pnlBOATlist", {0, 0, kColumnWidth, 100});
    pnlBOATlist->setAutoFillBackground(true);
    Label1 = make<QLabel>(pnlBOATlist, "Label1", {5, 0, kColumnWidth - 18, 12});
    buildControlPanel();
    buildSmallScreenPanel();
    buildFloatingControls();
    buildPlaybackButtons();
    connectControls();
    watchForTips();
    splashHold_.setSingleShot(true);
    connect(&splashHold_, &QTimer::timeout, pnlSPLITE, &QWidget::hide);

    catalogue_ = openCatalogue(folder_);
    if (!firstRace.isEmpty()) {
        catalogue_.raceFilePath = folder_.find(QStringLiteral("raceadmin"), firstRace).value_or(firstRace);
        catalogue_.raceListIndex = catalogueIndexOf(catalogue_.raceList, catalogue_.raceFilePath);
    }
    ComboBox1->addItems(catalogue_.raceList);
    ScrollBar3->setValue(100);
    CheckBox3->setChecked(true);
    resize(1280, 1024);
    QTimer::singleShot(0, this, [this] { loadRace(catalogue_.raceFilePath); });
}

MainWindow::~MainWindow()
{
    closing_ = true;
    if (loader_) {
        loader_->wait();
        delete loader_;
    }
}

void MainWindow::connectControls()
{
    connect(Button4, &QPushButton::clicked, this, &MainWindow::Button4Click);
    connect(ComboBox1, &QComboBox::currentIndexChanged, this, &MainWindow::ComboBox1Change);
    connect(chkAutoNext, &QCheckBox::clicked, this, &MainWindow::chkAutoNextClick);
    connect(RadioButton10, &QRadioButton::clicked, this, [this] { timeModeClick(false); });
    connect(RadioButton11, &QRadioButton::clicked, this, [this] { timeModeClick(true); });
    connect(Button1, &QPushButton::clicked, this, &QWidget::close);
    connect(btnHELP, &QPushButton::clicked, this, &MainWindow::btnHELPClick);
    connect(Button2, &QPushButton::clicked, this, &MainWindow::Button2Click);
    connect(ListBox1, &QListWidget::itemClicked, this, &MainWindow::ListBox1Click);
    connect(chkHint, &QCheckBox::toggled, this, [this](bool on) { tipsOn_ = on; });
    connect(CheckBox4, &QCheckBox::clicked, this, &MainWindow::CheckBox4Click);
    connect(ScrollBar3, &QScrollBar::valueChanged, this, &MainWindow::ScrollBar3Change);
    connect(Button5, &QPushButton::clicked, this, &MainWindow::Button5Click);
    const std::pair<QRadioButton *, SmallScreen> sizes[] = {
        {RadioButton4, SmallScreen::Size800x600}, {RadioButton7, SmallScreen::Size800x480},
        {RadioButton5, SmallScreen::Size640x480}, {RadioButton6, SmallScreen::Size480x320},
        {RadioButton8, SmallScreen::Preference}};
    for (const auto &[button, choice] : sizes)
        connect(button, &QRadioButton::clicked, this, [this, choice = choice] { smallScreenChoice(choice); });
    for (QComboBox *list : {ComboBox2, ComboBox3}) {
        connect(list, &QComboBox::activated, this, [this] {
            RadioButton8->setChecked(true);
            smallScreenChoice(SmallScreen::Preference);
        });
    }
}

// ---- The loading sequence ----------------------------------------------

void MainWindow::loadRace(const QString &raceFilePath)
{
    if (loader_)
        return;
    Timer1.stop();
    Timer2.stop();
    // The shown race goes with its boat list: nothing may draw it from here on.
    race_.resetForNewRace();
    catalogue_.raceFilePath = raceFilePath;
    prepareForLoading();

    auto state = std::make_shared<RaceState>();
    state->raceLoadedOnce = race_.raceLoadedOnce;
    state->ctModeChosen = race_.ctModeChosen;
    LoadListener listener;
    listener.progress = [this, state](const LoadProgress &p) {
        const QString title = state->title, subtitle = state->subtitle;
        QMetaObject::invokeMethod(this, [this, p, title, subtitle] {
            pnlSPLITE->setTitles(title, subtitle);
            pnlSPLITE->setStatus(p.status);
            pnlSPLITE->setProgress(p.done, p.total);
        }, Qt::QueuedConnection);
    };
    listener.beep = [this] { QMetaObject::invokeMethod(this, &beep, Qt::QueuedConnection); };

    loader_ = QThread::create([this, state, listener, raceFilePath] {
        const LoadResult result = keelrun::loadRace(*state, folder_, raceFilePath, listener);
        QMetaObject::invokeMethod(this, [this, state, result] {
            loader_->wait();
            loader_->deleteLater();
            loader_ = nullptr;
            if (!closing_)
                finishLoading(std::move(*state), result);
        }, Qt::QueuedConnection);
    });
    loader_->start();
}

void MainWindow::waitForLoad()
{
    while (loader_)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
}

// Steps before the race file is read: splash, language, cleared controls.
void MainWindow::prepareForLoading()
{
    const auto cover = readJpegFile(folder_.path(QStringLiteral("raceadmin"), QStringLiteral("cover.jpg")));
    pnlSPLITE->setPicture(cover ? toImage(*cover) : splashPicture(kSplashPictureSize));
    pnlSPLITE->setTitles({}, {});
    pnlSPLITE->setStatus({});
    pnlSPLITE->setProgress(0, 0);
    pnlSPLITE->setGeometry(rect());
    pnlSPLITE->show();
    pnlSPLITE->raise();
    splashHold_.stop();
    QFont windowFont = font();
    windowFont.setPointSize(qRound(864.0 / std::max(1, logicalDpiY())));
    setFont(windowFont);
    hintbox->hide();
    if (problems_)
        problems_->close();

    autoNext_ = !catalogue_.editMode;
    if (catalogue_.editMode)
        RadioW->setChecked(true);
    chkAutoNext->setChecked(autoNext_);
    setLanguage(languageForLocale(QLocale::system().language() == QLocale::Japanese));
    tipsOn_ = true;
    chkHint->setChecked(true);

    clearBoatControls();
    CheckBox4->setChecked(false);
    smallScreen_ = SmallScreen::Off;
    pnlUsize->hide();
    RadioButton1->setChecked(true);
    CheckBox2->setChecked(true);
    ScrollBar2->setValue(ScrollBar2->maximum());
    beep();
    pnlLOGO->show();
    pnlCTRL->show();
}

void MainWindow::finishLoading(RaceState &&loaded, const LoadResult &result)
{
    race_ = std::move(loaded);
    showRaceFileName();
    if (!result.ok()) {
        pnlSPLITE->hide();
        applyLayout();
        reportProblems(result.message, race_.warnings);
        emit raceLoaded(false);
        return;
    }
    applyLoadedRace();
    const qint64 shownFor = qRound64((fromQDateTime(QDateTime::currentDateTime()).days - race_.loadStartedAt.days) * 86400000.0);
    splashHold_.start(static_cast<int>(std::clamp<qint64>(kSplashHoldMs - shownFor, 0, kSplashHoldMs)));
    if (!race_.warnings.isEmpty())
        reportProblems({}, race_.warnings);
    emit raceLoaded(true);
}

// Steps after the window-free stages: time mode, boat list, captions,
// speed slider, layout, orientation.
void MainWindow::applyLoadedRace()
{
    setWindowTitle(race_.title);
    pnlCT->setVisible(race_.handicapsPresent);
    (race_.ctMode > 0 ? RadioButton11 : RadioButton10)->setChecked(true);
    btnHELP->setVisible(QFile::exists(folder_.path(QStringLiteral("help"), QStringLiteral("index.html"))) ||
                        QFile::exists(folder_.path(QStringLiteral("help-e"), QStringLiteral("index.html"))));
    Label12->setVisible(QFile::exists(folder_.path(QStringLiteral("help"), QStringLiteral("index.html"))));
    buildBoatList();
    setCaptions();
    ScrollBar1->setValue(speedSliderPosition(race_.initialPlaySpeed));
    Memo2->setText(QString::number(race_.initialPlaySpeed));
    Button2->setEnabled(!race_.attachments.isEmpty());
    applyLayout();
    btnStopWatch->show();
    (race_.northUp > 0 ? RadioN : RadioW)->setChecked(true);
    paintSea();
    startPlayback();
    drawFrame();
}

void MainWindow::showRaceFileName()
{
    const int index = catalogueIndexOf(catalogue_.raceList, catalogue_.raceFilePath);
    if (index > 0) {
        const QSignalBlocker quiet(ComboBox1);
        ComboBox1->setCurrentIndex(index - 1);
    }
}

// A failed load names its cause; warnings of a loaded race are listed. The
// box does not wait for an answer, so an unattended replay goes on.
void MainWindow::reportProblems(const QString &message, const QStringList &warnings)
{
    if (problems_)
        problems_->close();
    problems_ = new QMessageBox(QMessageBox::Warning, QStringLiteral("Keelrun"), message.isEmpty() ? warnings.join('\n') : message,
                                QMessageBox::Ok, this);
    problems_->setObjectName(QStringLiteral("problems"));
    if (!message.isEmpty() && !warnings.isEmpty())
        problems_->setDetailedText(warnings.join('\n'));
    problems_->setAttribute(Qt::WA_DeleteOnClose);
    problems_->setModal(false);
    problems_->show();
}

// ---- Controls that depend on the race -----------------------------------

void MainWindow::clearBoatControls()
{
    for (QWidget *w : boatMarkers_)
        delete w;
    for (QWidget *w : classBoxes_)
        delete w;
    for (QWidget *w : boatBoxes_)
        delete w;
    boatMarkers_.clear();
    classBoxes_.clear();
    boatBoxes_.clear();
}

// The overview's boat markers and the boat list's check boxes.
void MainWindow::buildBoatList()
{
    clearBoatControls();
    for (int b = race_.boatCount; b >= 1; --b) {
        auto *m = new QLabel(pnlLOGO);
        m->setPixmap(marker(race_.boats[b].colour));
        m->setGeometry(70, 4 * b, 7, 7);
        m->show();
        boatMarkers_.push_back(m);
    }
    const BoatListLayout layout = layoutBoatList(race_);
    Label1->move(layout.header.x() + 5, layout.header.y());
    for (int c = 1; c <= race_.classCount; ++c) {
        auto *box = new QCheckBox(race_.classes[c].name + QStringLiteral(" class"), pnlBOATlist);
        box->setObjectName(QStringLiteral("classBox%1").arg(c));
        box->setGeometry(QRect(layout.classBoxes[c], QSize(kListBoxWidth, kListBoxHeight)));
        box->setStyleSheet(QStringLiteral("background: white; color: rgb(255, 0, 0);"));
        box->setChecked(true);
        box->show();
        classBoxes_.push_back(box);
    }
    for (int b = 1; b <= race_.boatCount; ++b) {
        const BoatEntry &boat = race_.boats[b];
        auto *box = new QCheckBox(boat.name, pnlBOATlist);
        box->setObjectName(QStringLiteral("boatBox%1").arg(b));
        box->setGeometry(QRect(layout.boatBoxes[b], QSize(kListBoxWidth, kListBoxHeight)));
        box->setStyleSheet(QStringLiteral("background: %1; color: white;").arg(toQColor(boat.colour).name()));
        box->setChecked(boat.shown == 1);
        box->show();
        boatBoxes_.push_back(box);
    }
    race_.boatPanelHeight = layout.panelHeight;
}

void MainWindow::setLanguage(Language language)
{
    language_ = language;
    showLanguageFlags();
    setCaptions();
}

// On a Japanese system the flag of the other language switches; on any
// other no flag is shown.
void MainWindow::showLanguageFlags()
{
    jpn->setVisible(language_ == Language::EnglishChosen);
    usa->setVisible(language_ == Language::Japanese);
}

void MainWindow::setCaptions()
{
    Label1->setFixedWidth(pnlBOATlist->width() - 18);
    for (const QString &name : captionedControls()) {
        QWidget *control = findChild<QWidget *>(name);
        const QString text = captionFor(name, language_);
        if (auto *button = qobject_cast<QAbstractButton *>(control))
            button->setText(text);
        else if (auto *label = qobject_cast<QLabel *>(control))
            label->setText(text);
        else if (auto *group = qobject_cast<QGroupBox *>(control))
            group->setTitle(text);
    }
}

// ---- Layout and display -------------------------------------------------

void MainWindow::applyLayout()
{
    Memo14->setText(QStringLiteral("%1x%2").arg(width()).arg(height()));
    pnlSPLITE->setGeometry(rect());
    const int screenHeight = screen() ? screen()->geometry().height() : height();
    const WindowLayout l = computeWindowLayout(width(), formHeight(), screenHeight, race_.boatPanelHeight);
    pnlLOGO->setGeometry(l.logoPanel);
    pnlCTRL->setGeometry(l.controlPanel);
    pnlBOATlist->setGeometry(l.boatListPanel);
    pnlTimeBar->setGeometry(l.timeBarPanel);
    pnlBOATlist->raise();
    ListBox1->move(l.controlPanel.left() + Button2->x(), l.controlPanel.top() + Button2->y() - 3 - ListBox1->height());
    fullMapSize_ = l.map;
    mapCanvas_->setGeometry(QRect(QPoint(0, 0), fullMapSize_));
    if (race_.boatCount > 0 && smallScreen_ == SmallScreen::Off) {
        mapSize_ = l.map;
        resizeBitmaps(mapSize_);
        btnStopWatch->move(mapSize_.width() - 78, mapSize_.height() - 140);
        Memo8->move(mapSize_.width() - 78, mapSize_.height() - 162);
        if (race_.handicapsPresent)
            pnlCT->move(mapSize_.width() - 260, mapSize_.height() - 30);
    }
    pnlFLAG->move(mapSize_.width() - 5 - pnlFLAG->width(), 5);
    updateCtBanner();
    pnlSPLITE->raise();
}

void MainWindow::resizeBitmaps(QSize size)
{
    if (mapBitmap_.size() == size)
        return;
    mapBitmap_ = QImage(size, QImage::Format_RGB32);
    pageBitmap_ = QImage(size, QImage::Format_RGB32);
    paintSea();
}

// Until the map is drawn, the map and the overview show the bare sea.
void MainWindow::paintSea()
{
    mapBitmap_.fill(toQColor(seaColour_));
    pageBitmap_.fill(Qt::white);
    QPixmap overview(kOverviewSize, kOverviewSize);
    overview.fill(toQColor(seaColour_));
    Image1->setPixmap(overview);
    mapCanvas_->setPicture(&mapBitmap_);
}

void MainWindow::updateCtBanner()
{
    Memo10->setVisible(race_.ctMode > 0 && smallScreen_ == SmallScreen::Off && RadioButton1->isChecked());
}

void MainWindow::resizeEvent(QResizeEvent *)
{
    applyLayout();
}

void MainWindow::closeEvent(QCloseEvent *event)
{
    closing_ = true;  // a load still running is waited for and its race dropped
    Timer1.stop();
    Timer2.stop();
    if (loader_)
        loader_->wait();
    beep();
    event->accept();
}

// ---- Race selection -----------------------------------------------------

void MainWindow::ComboBox1Change(int index) { pendingListIndex_ = index + 1; }

void MainWindow::Button4Click()
{
    const QString chosen = ComboBox1->currentText().trimmed();
    if (chosen.isEmpty() || isLoading())
        return;
    if (catalogueIndexOf({chosen}, catalogue_.raceFilePath) == 1) {
        auto *box = new QMessageBox(QMessageBox::Information, QStringLiteral("Keelrun"), QStringLiteral("Already shown."),
                                    QMessageBox::Ok, this);
        box->setObjectName(QStringLiteral("alreadyShown"));
        box->setAttribute(Qt::WA_DeleteOnClose);
        box->open();
        return;
    }
    catalogue_.raceListIndex = pendingListIndex_ ? pendingListIndex_ : catalogueIndexOf(catalogue_.raceList, chosen);
    beep();
    loadRace(folder_.path(QStringLiteral("raceadmin"), chosen));
}

void MainWindow::chkAutoNextClick(bool checked) { autoNext_ = checked; }

void MainWindow::endOfReplay()
{
    if (isLoading())
        return;
    const auto count = static_cast<int>(catalogue_.raceList.size());
    clock_.raceClock = race_.windowStart;  // the same race replays unless another follows
    if (!autoNext_ || count <= 1)
        return;
    const int next = catalogue_.raceListIndex >= count ? 1 : catalogue_.raceListIndex + 1;
    const QString path = folder_.path(QStringLiteral("raceadmin"), catalogue_.raceList[next - 1]);
    if (!QFile::exists(path))
        return;
    catalogue_.raceListIndex = next;
    beep();
    loadRace(path);
}

void MainWindow::timeModeClick(bool corrected)
{
    if (corrected == (race_.ctMode > 0) || isLoading())
        return;
    beep();
    race_.ctModeChosen = corrected;
    loadRace(catalogue_.raceFilePath);
}

// ---- Tips, help, attachments --------------------------------------------

void MainWindow::showTip(const Tip &tip, QPoint at)
{
    if (!tipsOn_)
        return;
    tipPosition_ = at;
    hintbox->setGeometry(QRect(tipPosition_, tip.size));
    hintbox->setText(QString(tip.text).replace(QStringLiteral("\r\n"), QStringLiteral("\n")));
    hintbox->show();
    hintbox->raise();
}

bool MainWindow::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::MouseButtonPress && playbackPictureClicked(watched))
        return true;
    if (event->type() == QEvent::MouseButtonPress) {
        if (watched == usa)
            setLanguage(Language::EnglishChosen);
        else if (watched == jpn)
            setLanguage(Language::Japanese);
        else if (watched == Label12)
            Label12Click();
        else if (watched == imgLOGO)
            btnHELPClick();
    }
    if (event->type() == QEvent::Leave)
        hintbox->hide();
    if (event->type() != QEvent::Enter)
        return QWidget::eventFilter(watched, event);

    auto *widget = static_cast<QWidget *>(watched);
    const QPoint topLeft = widget->mapTo(this, QPoint(0, 0));
    auto above = [&](const Tip &tip) { return QPoint(topLeft.x(), topLeft.y() - tip.size.height() - 4); };
    const std::pair<QWidget *, TipId> tips[] = {{chkAutoNext, TipId::AutoNext}, {btnHELP, TipId::Help},
                                                {imgLOGO, TipId::Logo},         {ChkBigBoat, TipId::BoatSize},
                                                {CheckBox4, TipId::SmallScreen}};
    for (const auto &[source, id] : tips) {
        if (watched == source) {
            const Tip tip = tipFor(id, language_);
            showTip(tip, id == TipId::SmallScreen ? QPoint(topLeft.x() - tip.size.width() - 4, topLeft.y()) : above(tip));
        }
    }
    if (watched == Button4) {
        const Tip tip = tipFor(TipId::Show, language_);
        showTip(tip, QPoint(topLeft.x() + Button4->width() - tip.size.width(), topLeft.y() - 37));
    }
    if (watched == Image1 && smallScreen_ != SmallScreen::Off)
        showTip(tipFor(TipId::SmallMap, language_), QPoint(topLeft.x(), topLeft.y() + Image1->height()));
    return QWidget::eventFilter(watched, event);
}

// The help page of the language in use, else the other one.
void MainWindow::btnHELPClick()
{
    QStringList folders{QStringLiteral("help"), QStringLiteral("help-e")};
    if (!isJapanese(language_))
        std::swap(folders[0], folders[1]);
    for (const QString &folder : folders) {
        const QString page = folder_.path(folder, QStringLiteral("index.html"));
        if (QFile::exists(page)) {
            openFile(page);
            return;
        }
    }
}

void MainWindow::Label12Click()
{
    const QString page = folder_.path(QStringLiteral("help"), QStringLiteral("index.html"));
    if (!QFile::exists(page))
        return;
    beep();
    openFile(page);
}

void MainWindow::Button2Click()
{
    beep();
    if (ListBox1->isVisible()) {
        ListBox1->hide();
        return;
    }
    if (race_.attachments.size() < 2) {
        if (const auto path = folder_.find(QStringLiteral("attachment"), race_.attachments.value(0)))
            openFile(*path);
        return;
    }
    ListBox1->clear();
    ListBox1->addItems(race_.attachments);
    ListBox1->show();
    ListBox1->raise();
}

void MainWindow::ListBox1Click()
{
    if (const QListWidgetItem *item = ListBox1->currentItem()) {
        if (const auto path = folder_.find(QStringLiteral("attachment"), item->text()))
            openFile(*path);
    }
    ListBox1->hide();
}

// ---- Display options ----------------------------------------------------

void MainWindow::CheckBox4Click(bool checked)
{
    if (checked) {
        ComboBox2->clear();
        ComboBox3->clear();
        for (int w = 300; w <= 1280; w += 20)
            ComboBox2->addItem(QString::number(w));
        for (int h = 240; h <= 640; h += 20)
            ComboBox3->addItem(QString::number(h));
        RadioButton7->setChecked(true);
        smallScreenChoice(SmallScreen::Size800x480);
        Memo10->hide();
        return;
    }
    smallScreen_ = SmallScreen::Off;
    pnlUsize->hide();
    btnStopWatch->show();
    RadioButton2->setEnabled(true);
    RadioButton3->setEnabled(true);
    Memo11->hide();
    Memo12->hide();
    Memo13->hide();
    applyLayout();
}

void MainWindow::smallScreenChoice(SmallScreen choice)
{
    smallScreen_ = choice;
    mapSize_ = smallScreenSize(choice, QSize(ComboBox2->currentText().toInt(), ComboBox3->currentText().toInt()));
    resizeBitmaps(mapSize_);
    mapCanvas_->update();
    pnlUsize->move((mapSize_.width() - pnlUsize->width()) / 2, mapSize_.height() + 35);
    pnlUsize->show();
    btnStopWatch->hide();
    RadioButton2->setEnabled(false);
    RadioButton3->setEnabled(false);
    Memo11->setText(race_.title);
    Memo11->setGeometry(112, 2, 6 * static_cast<int>(race_.title.size()) + 15, 18);
    Memo11->show();
    Memo12->move(Memo11->geometry().right() + 1 + 2, 2);
    Memo12->setVisible(race_.ctMode > 0);
    Memo13->move(mapSize_.width() - 180, mapSize_.height() - 17);
    Memo13->show();
    pnlFLAG->move(mapSize_.width() - 5 - pnlFLAG->width(), 5);
    updateCtBanner();
}

void MainWindow::ScrollBar3Change(int position)
{
    setSeaColours(position);
    paintSea();
    if (!Timer1.isActive())
        drawFrame();
}

void MainWindow::setSeaColours(int brightness)
{
    const SeaColours colours = seaColours(brightness);
    seaColour_ = colours.sea;
    gridColour_ = colours.grid;
}

// Saves the picture on show as NoName.bmp in the documents folder and opens it.
void MainWindow::Button5Click()
{
    const QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    QDir().mkpath(documents);
    const QString path = QDir(documents).filePath(QStringLiteral("NoName.bmp"));
    const QImage &picture = RadioButton1->isChecked() ? mapBitmap_ : pageBitmap_;
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || !picture.save(&file, "BMP") || !file.commit()) {
        reportProblems(QStringLiteral("%1: %2").arg(path, file.errorString()), {});
        return;
    }
    openFile(path);
}

}  // namespace keelrun
