#pragma once
// The data folder: raceadmin/, gpsdat/, winddat/, attachment/, coastline/,
// ctrl/, help/, help-e/ and ya/ below one root.
//
// Race folders are often prepared on Windows: names written in data files may
// use "\" as separator and may differ from the file on disk in letter case.

#include <optional>

#include <QString>

namespace keelrun {

class DataFolder {
public:
    explicit DataFolder(QString root);

    const QString &root() const { return root_; }
    // The path of a sub-folder ("gpsdat") or of a file in it.
    QString path(const QString &subFolder, const QString &name = {}) const;
    // The existing file that `name`, as written in a data file, names inside
    // `subFolder`: the exact name first, then a case-insensitive match of each
    // part. Nothing for missing files and for names that leave the folder.
    std::optional<QString> find(const QString &subFolder, const QString &name) const;

private:
    QString root_;
};

// The folder to open: the one named on the command line; else the
// executable's folder when it holds raceadmin/; else the installed demo.
QString defaultDataFolder(const QString &executableDir);

}  // namespace keelrun
