#pragma once

#include <QString>

class QTextStream;

// Reads the tokens of the design text formats from a text stream, at the stream's position:
// words (white space skipped, up to the next white space), integers, reals and the rest of a
// line. A missing or non-numeric number reads as 0; a non-numeric token is left in place for
// the next read, as the stream's own extraction does.
class TokenReader {
public:
    explicit TokenReader(QTextStream &in);

    // True once only white space, or nothing, is left. Skips white space, so call it only where
    // the next token is a word or a number (before an entry), never before a rest of line.
    bool atEnd();
    QString readWord();
    int readInt();
    double readReal();
    // Read in single precision, then widened (material files).
    double readFloat();
    // From the current position to the end of the line, line end consumed, trimmed.
    QString readRestOfLine();
    // One character without skipping anything; QChar() at the end.
    QChar readChar();
    // The next character that is not white space; QChar() at the end.
    QChar readNonBlankChar();

    QTextStream &stream() { return in; }

private:
    QTextStream &in;
};
