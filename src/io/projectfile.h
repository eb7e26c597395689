#pragma once

#include "io/designtext.h"
#include "io/readproblem.h"
#include "model/category.h"
#include "model/volum.h"

#include <QList>
#include <QString>

class MaterialsManager;
class QTextStream;

// The scale of one axis: design length units are mesure x 10^unit metres. The project file
// holds the single real value().
struct AxisScale {
    double mesure = 1.0;
    int unit = -10;
    double value() const;
};

// Splits a scale read from a project into measure and exponent: a value of 1 or more keeps
// exponent 0; a smaller positive one is multiplied by 10 until it reaches 1. A value that cannot
// be a scale (zero, negative, NaN, infinite) gives measure 1, exponent 0.
AxisScale normaliseScale(double value);

// The part of a design that the project file holds besides the material registry. The main
// window copies its members into one of these for saving and back after reading.
struct ProjectDesign {
    int version = 1;
    QList<Category> categories;
    QList<Volum> volums;
    AxisScale x, y, z;
    // The encoding of the file it was read from, which a save writes again.
    TextEncoding encoding = TextEncoding::Utf8;
};

struct ProjectReadResult {
    bool opened = false;
    QString error;           // QFile::errorString() when !opened
    int missingMarkers = 0;  // one "Unexpected file format" box per missing marker
    bool volumsRead = false; // the volum section was read through: refresh and set the current file
    bool outOfMemory = false; // the file was too large to read; nothing changed
    ReadProblems problems;    // where the file and the design read from it part ways
};

// Reads a project into `design` and `registry` section by section: a present section replaces
// what it holds (general categories, the registry's materials, the volums and scales); a missing
// marker leaves that part as it was. Nothing changes when the file cannot be read, and nothing
// when std::bad_alloc leaves the reader: the file is read whole before the design is replaced.
// Counts in the file never make the reader run past the end of the data.
ProjectReadResult readProjectFile(const QString &path, ProjectDesign &design,
                                  MaterialsManager &registry);
// The same for a text already in memory (the design's encoding is left as it is).
ProjectReadResult readProjectText(QString text, ProjectDesign &design, MaterialsManager &registry);
ProjectReadResult readProject(QTextStream &in, ProjectDesign &design, MaterialsManager &registry);

// Writes the whole design atomically: a failed write leaves any previous file as it was. On
// failure `error` (when given) receives the system's description.
bool writeProjectFile(const QString &path, const ProjectDesign &design,
                      const MaterialsManager &registry, QString *error = nullptr);
void writeProject(QTextStream &out, const ProjectDesign &design, const MaterialsManager &registry);
