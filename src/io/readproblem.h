#pragma once

#include <QList>
#include <QString>

// Something a reader met that the format's rules read past without a word: a token that is not
// the number expected, a count that is negative or larger than the data, a missing marker, text
// after the last section, a file that ends early. The design is still read by those rules; the
// problem only tells the user where the file and the design read from it part ways.
struct ReadProblem {
    int line = 0; // 1-based line of the file
    QString reason;
};

using ReadProblems = QList<ReadProblem>;

// "FILE:LINE: reason", the form compilers use, for command-line tools.
QString problemWithFile(const QString &file, const ReadProblem &problem);
// "line LINE: reason".
QString problemText(const ReadProblem &problem);
// The first `limit` problems, one per line, then "... and N more" when some were left out.
QString problemList(const ReadProblems &problems, int limit = 20);
