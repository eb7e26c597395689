#pragma once

#include "io/readproblem.h"

#include <QString>
#include <QStringView>

// Reads the tokens of the design text formats from a text held in memory: words (white space
// skipped, up to the next white space), integers, reals and the rest of a line, with exactly the
// results of a C-locale QTextStream extraction: a missing or non-numeric number reads as 0 and a
// non-numeric token is left in place for the next read. Plain decimal numbers are parsed
// directly; anything else goes through the stream's own extraction, so the accepted syntax (signs,
// "0x1f", "017", "nan", "inf", overlong digit strings) stays what it was.
//
// While reading it keeps the reading problems with their lines: a token that does not read fully
// as the number asked for, and the end of the data where a token was still expected (reported
// once). The readers add what only they can tell (counts, markers, text left over) with report().
class TokenReader {
public:
    explicit TokenReader(QString text);

    // True once only white space, or nothing, is left. Skips white space, so call it only where
    // the next token is a word or a number (before an entry), never before a rest of line.
    bool atEnd();
    QString readWord();
    // The next word without a copy; valid while the reader lives.
    QStringView readWordView();
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

    // Line of the current position, from 1.
    int line() const { return lineNumber; }

    // What is being read, for the problems: the record ("volum Source") and the field ("sizes").
    // The field is a literal, so that setting it costs nothing.
    void setRecord(const QString &record) { currentRecord = record; }
    void setField(const char *field) { currentField = field; }
    // "(volum Source, sizes)", or "" when nothing is set.
    QString context() const;

    // Adds a problem at `line` (the current line when 0).
    void report(const QString &reason, int line = 0);
    // Adds a problem after which the reading is out of step: a token left in the stream or an
    // entry left half-read shifts everything after it, so later problems are counted in this
    // one's text instead of being listed.
    void reportShift(const QString &reason, int line = 0);
    // Reports that the data has ended, once per text: later ends add nothing.
    void reportEnd(const QString &reason);
    // For a loop over `count` entries of `things` ("atoms"): true while entry `done` (from 0) is
    // to be read. Reports a negative count, and a count that the data ends before.
    bool readsMore(qint64 done, qint64 count, const char *things);
    ReadProblems takeProblems();

private:
    enum class Number { Integer, Real, Float };
    enum class Outcome { Read, NotNumber, OutOfRange };
    void skipWhiteSpace();
    qsizetype tokenEnd(qsizetype from) const;
    double readNumber(Number kind);
    bool readDirect(Number kind, qsizetype begin, qsizetype end, double &value, qsizetype &consumed,
                    Outcome &outcome) const;
    double extractLikeStream(Number kind, qsizetype begin, qsizetype end, qsizetype &consumed,
                             Outcome &outcome) const;
    void reportToken(qsizetype begin, qsizetype end, Number kind, Outcome outcome);
    void closeShift();

    QString text;
    const QChar *data;
    qsizetype size;
    qsizetype pos = 0;
    int lineNumber = 1;
    qsizetype quietUntil = -1; // reads starting before this are inside a token already reported
    bool endReported = false;
    qsizetype shiftProblem = -1; // index of the problem that put the reading out of step
    int notListed = 0;           // problems met after it
    QString currentRecord;
    const char *currentField = nullptr;
    ReadProblems found;
};
