#include "resultsfile.h"

#include <QFile>
#include <QTextStream>

bool readResultsFile(const QString &path, ResultsTable &table, QString *error) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text)) {
        if (error)
            *error = file.errorString();
        return false;
    }
    table = {};
    QTextStream in(&file);
    while (!in.atEnd()) {
        const QString line = in.readLine().trimmed();
        if (line.isEmpty())
            continue;
        if (line.startsWith(QLatin1Char('#'))) {
            const QString body = line.mid(1).trimmed();
            if (body.startsWith(QLatin1String("columns:")))
                table.columns = body.mid(8).split(QLatin1Char(' '), Qt::SkipEmptyParts);
            continue;
        }
        QList<double> row;
        bool wellFormed = true;
        for (const QString &field : line.split(QLatin1Char(' '), Qt::SkipEmptyParts)) {
            bool ok = false;
            row.append(field.toDouble(&ok));
            wellFormed = wellFormed && ok;
        }
        if (wellFormed && row.size() >= 2 &&
            (table.rows.isEmpty() || row.size() == table.rows.first().size()))
            table.rows.append(row);
    }
    return true;
}
