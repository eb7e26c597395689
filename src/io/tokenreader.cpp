#include "io/tokenreader.h"

#include <QLocale>
#include <QTextStream>

TokenReader::TokenReader(QTextStream &in) : in(in) {
    in.setLocale(QLocale::c());
}

bool TokenReader::atEnd() {
    in.skipWhiteSpace();
    return in.atEnd();
}

QString TokenReader::readWord() {
    QString word;
    in >> word;
    in.resetStatus();
    return word;
}

int TokenReader::readInt() {
    int value = 0;
    in >> value;
    if (in.status() != QTextStream::Ok) {
        in.resetStatus();
        value = 0;
    }
    return value;
}

double TokenReader::readReal() {
    double value = 0.0;
    in >> value;
    if (in.status() != QTextStream::Ok) {
        in.resetStatus();
        value = 0.0;
    }
    return value;
}

double TokenReader::readFloat() {
    float value = 0.0f;
    in >> value;
    if (in.status() != QTextStream::Ok) {
        in.resetStatus();
        value = 0.0f;
    }
    return double(value);
}

QString TokenReader::readRestOfLine() {
    const QString line = in.readLine();
    return line.trimmed();
}

QChar TokenReader::readChar() {
    if (in.atEnd())
        return QChar();
    QChar c;
    in >> c;
    if (in.status() != QTextStream::Ok) {
        in.resetStatus();
        return QChar();
    }
    return c;
}

QChar TokenReader::readNonBlankChar() {
    in.skipWhiteSpace();
    return readChar();
}
