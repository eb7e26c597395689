#pragma once

// Buffered writing of large number tables to a file that replaces the target only when complete
// (the exports of the device and its atoms). Numbers are written in the C locale with `digits`
// significant digits, the shortest of fixed and scientific notation.

#include <QByteArray>
#include <QSaveFile>
#include <QString>

#include <cstdint>

class ExportWriter {
public:
    explicit ExportWriter(const QString &path);

    // False, with the reason in error(), when the file cannot be created.
    bool open();
    ExportWriter &text(const char *s);
    ExportWriter &text(const QByteArray &s);
    ExportWriter &number(double value, int digits = 12);
    ExportWriter &integer(std::int64_t value);
    ExportWriter &put(char c);
    // Writes what is buffered and replaces the target; false, with error(), when anything failed.
    bool commit();
    QString error() const { return failure; }

private:
    void flushIfFull();

    QSaveFile file;
    QByteArray buffer;
    QString failure;
};
