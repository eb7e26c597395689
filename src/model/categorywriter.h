#pragma once

#include "model/category.h"

#include <QList>
#include <QString>

class QTextStream;

// The one writer of the category block text form, shared by the project file, the material
// files and the model's own writers.

// Sets what every design text needs: C locale ('.' decimal point), %g-style reals with 6
// significant digits.
void setDesignNumberFormat(QTextStream &out);

// Writes `value` at `to` exactly as a stream set up by setDesignNumberFormat writes it (%g with
// 6 significant digits, "0" for -0, "nan", "inf"), without the stream's per-number cost, for the
// large numeric sections; returns the end of what was written, at most kDesignNumberMax
// characters, all ASCII.
constexpr int kDesignNumberMax = 32;
char *writeDesignReal(char *to, double value);
char *writeDesignInteger(char *to, qint64 value);
// The same, appended.
void appendDesignReal(QByteArray &out, double value);

// A name as the files' word readers can read it back: blanks become '_', an empty name "_".
QString asWord(const QString &name);

// The blocks only: per category "P name", then one line per property (and condition lines after
// a choice property). Properties of a foreign type, and choice properties inside a condition,
// have no written form and are left out (the counts written account for that).
void writeCategoryBlocks(QTextStream &out, const QList<Category> &categories);

// The number of categories on a line of its own, then the blocks.
void writeCategoryList(QTextStream &out, const QList<Category> &categories);
