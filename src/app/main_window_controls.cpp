// Building the window's controls at their places. Controls carry the names
// the rest of the program and the tests know them by.

#include <QEvent>

#include "app/main_window.h"
#include "app/map_canvas.h"
#include "app/pictures.h"
#include "app/splash_panel.h"
#include "map/geometry.h"

namespace keelrun {
namespace {

constexpr QSize kFlagSize(34, 23);
constexpr QSize kLogoSize(80, 80);

QPixmap pixmapOf(const QImage &image) { return QPixmap::fromImage(image); }

}  // namespace

void MainWindow::buildLogoPanel()
{
    pnlLOGO = make<QWidget>(this, "pnlLOGO", {0, 0, kColumnWidth, kLogoPanelHeight});
    pnlLOGO->setAutoFillBackground(true);
    Image1 = make<QLabel>(pnlLOGO, "Image1", {3, 3, kOverviewSize, kOverviewSize});
    Memo1 = make<QLabel>(pnlLOGO, "Memo1", {3, 3 + kOverviewSize + 3, kOverviewSize, 18});
    imgLOGO = make<QLabel>(pnlLOGO, "imgLOGO", {3 + kOverviewSize + 7, 3, kLogoSize.width(), kLogoSize.height()});
    imgLOGO->setPixmap(pixmapOf(logoPicture(kLogoSize)));
    imgLOGO->setCursor(Qt::PointingHandCursor);
    Memo14 = make<QLabel>(pnlLOGO, "Memo14", {imgLOGO->x(), imgLOGO->geometry().bottom() + 1 + 8, kLogoSize.width(), 16});
    btnHELP = make<QPushButton>(pnlLOGO, "btnHELP", {imgLOGO->x(), imgLOGO->geometry().bottom() + 1 + 5 + 24, kLogoSize.width(), 25});
    btnHELP->setText(QStringLiteral("?"));
}

void MainWindow::buildControlPanel()
{
    pnlCTRL = make<QWidget>(this, "pnlCTRL", {0, 0, kColumnWidth, kControlPanelHeight});
    pnlCTRL->setAutoFillBackground(true);
    QFont compact = pnlCTRL->font();
    compact.setPixelSize(10);  // the controls' sizes are fixed; their texts must fit
    pnlCTRL->setFont(compact);
    QWidget *p = pnlCTRL;
    Label5 = make<QLabel>(p, "Label5", {12, 12, 126, 12});
    ComboBox1 = make<QComboBox>(p, "ComboBox1", {11, 28, 167, 20});
    chkAutoNext = make<QCheckBox>(p, "chkAutoNext", {182, 7, 72, 16});
    Label12 = make<QLabel>(p, "Label12", {154, 9, 20, 14});
    Label12->setText(QStringLiteral("?"));
    Label12->setCursor(Qt::PointingHandCursor);
    Button1 = make<QPushButton>(p, "Button1", {207, 195, 44, 49});
    Button1->setText(QStringLiteral("EXIT"));
    Button4 = make<QPushButton>(p, "Button4", {183, 28, 73, 19});
    buildPageAndViewChoices(p);
    pnlDIR = make<QWidget>(p, "pnlDIR", {10, 116, 69, 72});
    buildSeaColourBox(p);
    Label3 = make<QLabel>(p, "Label3", {11, 198, 32, 12});
    Label3->setText(QStringLiteral("ZOOM"));
    ScrollBar2 = make<QScrollBar>(p, "ScrollBar2", {48, 197, 106, 16});
    ScrollBar2->setOrientation(Qt::Horizontal);
    ScrollBar2->setRange(0, 100);
    jpn = make<QLabel>(p, "jpn", {165, 194, kFlagSize.width(), kFlagSize.height()});
    jpn->setPixmap(pixmapOf(japaneseFlag(kFlagSize)));
    usa = make<QLabel>(p, "usa", {165, 194, kFlagSize.width(), kFlagSize.height()});
    usa->setPixmap(pixmapOf(englishFlag(kFlagSize)));
    Label2 = make<QLabel>(p, "Label2", {9, 226, 36, 12});
    Label2->setText(QStringLiteral("SPEED"));
    ScrollBar1 = make<QScrollBar>(p, "ScrollBar1", {48, 225, 106, 16});
    ScrollBar1->setOrientation(Qt::Horizontal);
    ScrollBar1->setRange(0, 136);
    Memo2 = make<QLabel>(p, "Memo2", {162, 224, 42, 19});
    Memo2->setFrameShape(QFrame::Box);
    chkHint = make<QCheckBox>(p, "chkHint", {0, 0, 86, 16});
    chkHint->setChecked(true);
    chkHint->hide();
}

// Page choice, orientation, the display check boxes and two buttons.
void MainWindow::buildPageAndViewChoices(QWidget *p)
{
    GroupBox2 = make<QGroupBox>(p, "GroupBox2", {12, 56, 65, 55});
    RadioButton1 = make<QRadioButton>(GroupBox2, "RadioButton1", {4, 4, 60, 16});
    RadioButton2 = make<QRadioButton>(GroupBox2, "RadioButton2", {4, 20, 60, 16});
    RadioButton3 = make<QRadioButton>(GroupBox2, "RadioButton3", {4, 36, 60, 16});
    RadioButton1->setChecked(true);
    GroupBox1 = make<QGroupBox>(p, "GroupBox1", {83, 56, 71, 45});
    RadioN = make<QRadioButton>(GroupBox1, "RadioN", {4, 14, 66, 14});
    RadioW = make<QRadioButton>(GroupBox1, "RadioW", {4, 29, 66, 14});
    RadioN->setChecked(true);

    const char *boxes[] = {"CheckBox1", "chkLL", "ChkRefLine", "CheckBox2", "ChkBigBoat", "CheckBox4"};
    QCheckBox **targets[] = {&CheckBox1, &chkLL, &ChkRefLine, &CheckBox2, &ChkBigBoat, &CheckBox4};
    for (int k = 0; k < 6; ++k)
        *targets[k] = make<QCheckBox>(p, boxes[k], {169, 51 + 17 * k, 86, 16});
    CheckBox1->setChecked(true);
    Button3 = make<QPushButton>(p, "Button3", {169, 51 + 17 * 6, 85, 16});
    Button3->setText(QStringLiteral("KML"));
    Button2 = make<QPushButton>(p, "Button2", {169, 51 + 17 * 7, 85, 16});
}

void MainWindow::buildSeaColourBox(QWidget *p)
{
    GroupBox4 = make<QGroupBox>(p, "GroupBox4", {83, 109, 71, 78});
    ScrollBar3 = make<QScrollBar>(GroupBox4, "ScrollBar3", {4, 6, 63, 16});
    ScrollBar3->setOrientation(Qt::Horizontal);
    ScrollBar3->setRange(0, 100);
    CheckBox3 = make<QCheckBox>(GroupBox4, "CheckBox3", {4, 26, 63, 16});
    CheckBox3->setText(QStringLiteral("AUTO"));
    Button5 = make<QPushButton>(GroupBox4, "Button5", {4, 50, 63, 20});
}

void MainWindow::buildSmallScreenPanel()
{
    pnlUsize = make<QWidget>(this, "pnlUsize", {0, 0, 560, 26});
    const char *names[] = {"RadioButton4", "RadioButton7", "RadioButton5", "RadioButton6", "RadioButton8"};
    const char *texts[] = {"800 x 600", "800 x 480", "640 x 480", "480 x 320", "Preferance"};
    QRadioButton **targets[] = {&RadioButton4, &RadioButton7, &RadioButton5, &RadioButton6, &RadioButton8};
    for (int k = 0; k < 5; ++k) {
        *targets[k] = make<QRadioButton>(pnlUsize, names[k], {k * 80, 4, 80, 18});
        (*targets[k])->setText(QString::fromLatin1(texts[k]));
    }
    auto *w = make<QLabel>(pnlUsize, "LabelW", {400, 4, 24, 18});
    w->setText(QStringLiteral("W ="));
    ComboBox2 = make<QComboBox>(pnlUsize, "ComboBox2", {424, 2, 56, 20});
    auto *h = make<QLabel>(pnlUsize, "LabelH", {482, 4, 24, 18});
    h->setText(QStringLiteral("H ="));
    ComboBox3 = make<QComboBox>(pnlUsize, "ComboBox3", {504, 2, 56, 20});
    pnlUsize->hide();
}

// The panels that float over the map, and the tip box.
void MainWindow::buildFloatingControls()
{
    pnlTimeBar = make<QWidget>(this, "pnlTimeBar", {0, 0, kTimeBarWidth, 100});
    pnlFLAG = make<QWidget>(this, "pnlFLAG", {0, 5, 120, 60});
    pnlFLAG->hide();
    pnlCT = make<QWidget>(this, "pnlCT", {0, 0, 250, 24});
    RadioButton10 = make<QRadioButton>(pnlCT, "RadioButton10", {4, 3, 110, 18});
    RadioButton10->setText(QStringLiteral("ET mode"));
    RadioButton11 = make<QRadioButton>(pnlCT, "RadioButton11", {124, 3, 110, 18});
    RadioButton11->setText(QStringLiteral("CT mode"));
    Memo10 = make<QLabel>(this, "Memo10", {10, 5, 329, 33});
    QFont banner = Memo10->font();
    banner.setPointSize(20);
    Memo10->setFont(banner);
    Memo10->setText(QStringLiteral("CT(Corrected Time) Mode"));
    Memo10->setStyleSheet(QStringLiteral("background: white; color: red;"));
    Memo11 = make<QLabel>(this, "Memo11", {112, 2, 100, 18});
    Memo12 = make<QLabel>(this, "Memo12", {0, 2, 60, 18});
    Memo12->setText(QStringLiteral("CT mode"));
    Memo13 = make<QLabel>(this, "Memo13", {0, 0, 170, 16});
    for (QLabel *memo : {Memo10, Memo11, Memo12, Memo13})
        memo->hide();
    btnStopWatch = make<QPushButton>(this, "btnStopWatch", {0, 0, 73, 20});
    btnStopWatch->setText(QStringLiteral("TIMER/ON"));
    Memo8 = make<QLabel>(this, "Memo8", {0, 0, 73, 20});
    ListBox1 = make<QListWidget>(this, "ListBox1", {0, 0, 160, 80});
    ListBox1->hide();
    hintbox = make<QLabel>(this, "hintbox", {0, 0, 100, 20});
    hintbox->setStyleSheet(QStringLiteral("background: rgb(255, 255, 225); color: black; border: 1px solid gray;"));
    hintbox->setWordWrap(true);
    hintbox->hide();
    pnlSPLITE = new SplashPanel(this);
}

// Tips on hover, and clicks on the pictures and labels that act as buttons.
void MainWindow::watchForTips()
{
    for (QWidget *w : std::initializer_list<QWidget *>{chkAutoNext, btnHELP, imgLOGO, Button4, ChkBigBoat, CheckBox4,
                                                       Image1, usa, jpn, Label12})
        w->installEventFilter(this);
}

}  // namespace keelrun
