#pragma once
// A throw-away data folder for tests.

#include <QByteArray>
#include <QString>
#include <QTemporaryDir>

#include "io/data_folder.h"

namespace keelrun::test {

// A GPX track of `fixes` fixes one second apart from `firstUtc`
// ("2009-05-03T11:00:00"), sailing north-east from 35°N 139°E.
QByteArray gpxTrack(const QString &firstUtc, int fixes);

class TestFolder {
public:
    TestFolder();
    // Writes a file below the folder, creating its sub-folders.
    QString write(const QString &relativePath, const QByteArray &content);
    QString path(const QString &relativePath) const { return dir_.filePath(relativePath); }
    DataFolder folder() const { return DataFolder(dir_.path()); }

private:
    QTemporaryDir dir_;
};

}  // namespace keelrun::test
