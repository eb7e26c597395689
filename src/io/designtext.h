#pragma once

#include <QByteArray>
#include <QString>

// The encoding a design text file was read in, and is written back in. Files are read as UTF-8
// when their bytes are valid UTF-8 and as Latin-1 otherwise; new files are written as UTF-8.
enum class TextEncoding { Utf8, Latin1 };

// A whole design text file in memory.
struct DesignText {
    QString text;
    TextEncoding encoding = TextEncoding::Utf8;
    QString error; // why the file could not be read; empty when it was
    bool outOfMemory = false;
};

// Reads the file as the text readers see it: carriage returns dropped (as a text-mode read does),
// a leading byte-order mark skipped, decoded as UTF-8 or Latin-1 (above). Refuses anything that
// is not a regular file, such as a folder, a device or a pipe, without opening it: those can
// block or never end. False, with `error` set, when nothing was read.
bool readDesignText(const QString &path, DesignText &out);

// The same decoding for bytes already in memory (carriage returns are kept).
QString decodeDesignText(const QByteArray &bytes, TextEncoding *encoding = nullptr);
