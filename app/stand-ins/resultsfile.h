#ifndef RESULTSFILE_H
#define RESULTSFILE_H

// The results file that the stand-in simulator writes and the stand-in viewer plots: lines starting
// with '#' are comments ("# columns: a b c" names the columns), every other line holds one row of
// blank-separated reals; the first column is the abscissa.

#include <QList>
#include <QString>
#include <QStringList>

struct ResultsTable {
    QStringList columns;
    QList<QList<double>> rows;
};

inline constexpr const char *kResultsFileName = "results.dat";
// Line of STATUS.TXT that tells the viewer where the last results file is.
inline constexpr const char *kResultsStatusTag = "RESULTS: ";

// Reads a results file; false when it cannot be opened. Malformed rows are skipped.
bool readResultsFile(const QString &path, ResultsTable &table, QString *error);

#endif
