#pragma once

// Where the programs find their run-time data (the two catalogues, the material files and the
// button images): a data/ folder in the working directory when it holds the catalogues, else the
// folder named by KARVENO_DATA, else the installed share/karveno/data next to the executable's
// bin/, else karveno/data under the standard data folders ($XDG_DATA_HOME, $XDG_DATA_DIRS).
// Besides the data folder's materials, the user's own materials folder (karveno/materials under
// $XDG_DATA_HOME, where duplicated materials go when the data folder cannot be written) is read.

#include <QString>
#include <QStringList>

class DataLocation {
public:
    // Looks the places up now: the working directory and the environment may change between
    // calls (a new project, tests), so nothing is cached.
    static DataLocation find();

    // Whether some place holds both catalogue files.
    bool found() const { return !dataFolder.isEmpty(); }
    // Absolute path of the data folder in use; empty when none was found.
    QString folder() const { return dataFolder; }
    // Every place looked at, in order, whether or not it was taken.
    QStringList placesTried() const { return tried; }

    // `relative` inside the data folder in use ("properties.txt", "materials", "images/x.png");
    // "data/<relative>" under the working directory when no folder was found, so that the file
    // is reported missing where the program always looked first.
    QString filePath(const QString &relative) const;

    // The material folders to read, in order: the data folder's materials/, then the user's own
    // materials folder when it exists and is another folder.
    QStringList materialFolders() const;
    // The folder a duplicated material is written to: the data folder's materials/ when that can
    // be written (created if missing), otherwise the user's own materials folder.
    QString writableMaterialFolder() const;
    // The user's own materials folder: karveno/materials under the user's data folder.
    static QString userMaterialFolder();

    // "Looked for the catalogues in:" and one place per line, for messages about missing data.
    QString placesTriedText() const;

private:
    QString dataFolder;
    QStringList tried;
};
