#pragma once
// The splash panel shown while a race loads: the cover picture, the race's
// title and subtitle, a status line and a progress bar, and the credits.

#include <QImage>
#include <QWidget>

namespace keelrun {

class SplashPanel : public QWidget {
    Q_OBJECT
public:
    explicit SplashPanel(QWidget *parent);

    void setPicture(const QImage &picture);
    void setTitles(const QString &title, const QString &subtitle);
    void setStatus(const QString &status);
    void setProgress(int done, int total);  // total 0: an empty (yellow) bar

    // Where the parts go on a panel of the given size.
    struct Geometry {
        QRect picture, title, subtitle, status, progress;
    };
    Geometry geometryFor(QSize panel) const;

signals:
    // The splash came into view or went out of it.
    void visibilityChanged(bool visible);

protected:
    void paintEvent(QPaintEvent *) override;
    void showEvent(QShowEvent *) override { emit visibilityChanged(true); }
    void hideEvent(QHideEvent *) override { emit visibilityChanged(false); }

private:
    QImage picture_;
    QString title_, subtitle_, status_;
    int done_ = 0, total_ = 0;
};

}  // namespace keelrun
