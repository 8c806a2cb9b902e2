#pragma once
// The data folder: raceadmin/, gpsdat/, winddat/, attachment/, coastline/,
// ctrl/, help/, help-e/ and ya/ below one root, and the well-known files in
// them.
//
// Race folders are often prepared on Windows: names written in data files may
// use "\" as separator and may differ from the file on disk in letter case.

#include <optional>

#include <QString>

namespace keelrun {

enum class SubFolder {
    RaceAdmin,    // raceadmin/: race files, racefile.st, cover.jpg
    Tracks,       // gpsdat/: GPS track files
    Wind,         // winddat/: wind data files
    Attachments,  // attachment/: results, notices
    Coastlines,   // coastline/: coastline and light files
    Control,      // ctrl/: editfile.edt
    Help,         // help/: Japanese help pages
    HelpEnglish,  // help-e/: English help pages
    KmlIcons,     // ya/: icons of the Google Earth export
};

// The sub-folder's name on disk ("gpsdat").
QString subFolderName(SubFolder folder);

class DataFolder {
public:
    explicit DataFolder(QString root);

    const QString &root() const { return root_; }
    // The path of a sub-folder or of a file in it.
    QString path(SubFolder folder, const QString &name = {}) const;
    // The existing file that `name`, as written in a data file, names inside
    // `folder`: the exact name first, then a case-insensitive match of each
    // part. Nothing for missing files and for names that leave the folder.
    std::optional<QString> find(SubFolder folder, const QString &name) const;

    QString coverPicture() const;   // raceadmin/cover.jpg
    QString firstRaceList() const;  // raceadmin/racefile.st: its first line names the race shown first
    QString editControl() const;    // ctrl/editfile.edt: its presence turns on course editing
    // help/index.html (Japanese) or help-e/index.html, when it exists.
    std::optional<QString> helpPage(bool japanese) const;

private:
    QString root_;
};

// The folder to open: the one named on the command line; else the
// executable's folder when it holds raceadmin/; else the installed demo.
QString defaultDataFolder(const QString &executableDir);

}  // namespace keelrun
