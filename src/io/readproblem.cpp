#include "io/readproblem.h"

#include <QStringList>

QString problemWithFile(const QString &file, const ReadProblem &problem) {
    return QStringLiteral("%1:%2: %3").arg(file).arg(problem.line).arg(problem.reason);
}

QString problemText(const ReadProblem &problem) {
    return QStringLiteral("line %1: %2").arg(problem.line).arg(problem.reason);
}

QString problemList(const ReadProblems &problems, int limit) {
    QStringList lines;
    for (qsizetype n = 0; n < problems.size() && n < limit; ++n)
        lines << problemText(problems.at(n));
    if (problems.size() > limit)
        lines << QStringLiteral("... and %1 more").arg(problems.size() - limit);
    return lines.join(QLatin1Char('\n'));
}
