#include "io/tokenreader.h"

#include <QIODevice>
#include <QLocale>
#include <QTextStream>

#include <algorithm>
#include <charconv>
#include <cmath>

namespace {

bool isAsciiDigit(char16_t c) {
    return c >= '0' && c <= '9';
}

bool isSpace(QChar c) {
    const char16_t u = c.unicode();
    if (u < 128)
        return u == ' ' || (u >= '\t' && u <= '\r');
    return c.isSpace();
}

// Characters shown of a token in a message.
constexpr qsizetype kShownToken = 40;
// Characters handed to the stream's extraction at most; it never takes more than a sign, digits
// and an exponent, but an overlong digit string must not be copied whole for every read.
constexpr qsizetype kExtractionWindow = 4096;

} // namespace

TokenReader::TokenReader(QString text)
    : text(std::move(text)), data(this->text.constData()), size(this->text.size()) {}

void TokenReader::skipWhiteSpace() {
    while (pos < size) {
        const QChar c = data[pos];
        if (c.unicode() == '\n')
            ++lineNumber;
        else if (!isSpace(c))
            return;
        ++pos;
    }
}

qsizetype TokenReader::tokenEnd(qsizetype from) const {
    while (from < size && !isSpace(data[from]))
        ++from;
    return from;
}

bool TokenReader::atEnd() {
    skipWhiteSpace();
    return pos >= size;
}

QStringView TokenReader::readWordView() {
    skipWhiteSpace();
    if (pos >= size) {
        reportEnd(QString());
        return {};
    }
    const qsizetype begin = pos;
    pos = tokenEnd(pos);
    return QStringView(data + begin, pos - begin);
}

QString TokenReader::readWord() {
    return readWordView().toString();
}

int TokenReader::readInt() {
    return static_cast<int>(readNumber(Number::Integer));
}

double TokenReader::readReal() {
    return readNumber(Number::Real);
}

double TokenReader::readFloat() {
    return readNumber(Number::Float);
}

// The common cases without the stream: a token that cannot begin a number (nothing is taken), and
// a plain decimal number that ends at the end of the token or at an ASCII character that stops
// the stream's extraction there too ("1OO" gives 1 and leaves "OO"). Integers without leading
// zeros (the stream takes them as octal) that fit an int; reals with digits on both sides of any
// point. The value is what the stream's extraction gives, since both round correctly. False
// leaves the token to the stream.
bool TokenReader::readDirect(Number kind, qsizetype begin, qsizetype end, double &value,
                             qsizetype &consumed, Outcome &outcome) const {
    const char16_t first = data[begin].unicode();
    if (first < 128 && !isAsciiDigit(first) && first != '+' && first != '-') {
        const bool realStart =
            first == '.' || first == 'i' || first == 'I' || first == 'n' || first == 'N';
        if (kind == Number::Integer || !realStart) {
            value = 0.0;
            consumed = 0;
            outcome = Outcome::NotNumber;
            return true;
        }
    }
    constexpr qsizetype kLongest = 64;
    char ascii[kLongest];
    qsizetype length = 0;
    while (length < kLongest && begin + length < end && data[begin + length].unicode() < 128) {
        ascii[length] = char(data[begin + length].unicode());
        ++length;
    }
    if (length == 0)
        return false;
    const char *const last = ascii + length;
    const char *p = ascii;
    const bool minus = *p == '-';
    if (*p == '+' || *p == '-')
        ++p;
    bool nonZero = false;
    const auto digits = [&](const char *&at) {
        const char *start = at;
        while (at < last && isAsciiDigit(char16_t(*at))) {
            nonZero = nonZero || *at != '0';
            ++at;
        }
        return at - start;
    };
    const char *q = p;
    const auto whole = digits(q);
    if (kind == Number::Integer) {
        if (whole < 1 || whole > 9)
            return false;
        if (p == ascii && *p == '0' &&
            (whole > 1 || (q < last && (*q == 'x' || *q == 'X' || *q == 'b' || *q == 'B'))))
            return false; // octal, hexadecimal or binary to the stream
    } else {
        if (q < last && *q == '.') {
            ++q;
            if (digits(q) == 0)
                return false;
        } else if (whole == 0) {
            return false;
        }
        if (q < last && (*q == 'e' || *q == 'E')) {
            ++q;
            if (q < last && (*q == '+' || *q == '-'))
                ++q;
            const bool mantissaNonZero = nonZero;
            if (digits(q) == 0)
                return false;
            nonZero = mantissaNonZero;
        }
    }
    // Where the number stops must be where the stream stops: the end of the token, or an ASCII
    // character (not a digit, by the scan above).
    if (q == last && begin + length != end)
        return false;
    consumed = q - ascii;
    outcome = Outcome::Read;
    if (kind == Number::Integer) {
        int v = 0;
        for (const char *d = p; d < q; ++d)
            v = v * 10 + (*d - '0');
        value = minus ? -v : v;
        return true;
    }
    double v = 0.0;
    const std::from_chars_result r = std::from_chars(p, q, v);
    if (r.ec != std::errc() || r.ptr != q)
        return false;
    // Out of range, denormal and underflowing values keep the stream's own rules.
    if (!(std::isnormal(v) || (v == 0.0 && !nonZero)))
        return false;
    v = minus ? -v : v;
    if (kind == Number::Float) {
        const float f = static_cast<float>(v);
        if (!(std::isnormal(f) || (f == 0.0f && !nonZero)))
            return false;
        v = double(f);
    }
    value = v;
    return true;
}

double TokenReader::extractLikeStream(Number kind, qsizetype begin, qsizetype end,
                                      qsizetype &consumed, Outcome &outcome) const {
    QString window(data + begin, std::min(end - begin, kExtractionWindow));
    QTextStream in(&window, QIODevice::ReadOnly);
    in.setLocale(QLocale::c());
    double value = 0.0;
    qlonglong wide = 0;
    switch (kind) {
    case Number::Integer: {
        // The stream wraps a value beyond the range of int; read it wide as well to tell.
        QTextStream again(&window, QIODevice::ReadOnly);
        again.setLocale(QLocale::c());
        again >> wide;
        int i = 0;
        in >> i;
        value = i;
        break;
    }
    case Number::Real:
        in >> value;
        break;
    case Number::Float: {
        float f = 0.0f;
        in >> f;
        value = double(f);
        break;
    }
    }
    const bool ok = in.status() == QTextStream::Ok;
    if (!ok)
        value = 0.0;
    consumed = window.size() - in.readAll().size();
    // More than 19 characters may have wrapped even the wide value.
    const bool wrapped =
        kind == Number::Integer && ok && (wide != qlonglong(value) || consumed > 19);
    outcome = !ok ? Outcome::NotNumber : wrapped ? Outcome::OutOfRange : Outcome::Read;
    return value;
}

double TokenReader::readNumber(Number kind) {
    skipWhiteSpace();
    if (pos >= size) {
        reportEnd(QString());
        return 0.0;
    }
    const qsizetype begin = pos;
    const qsizetype end = tokenEnd(pos);
    double value = 0.0;
    qsizetype consumed = 0;
    Outcome outcome = Outcome::Read;
    if (!readDirect(kind, begin, end, value, consumed, outcome))
        value = extractLikeStream(kind, begin, end, consumed, outcome);
    pos = begin + consumed;
    if (outcome != Outcome::Read || pos != end)
        reportToken(begin, end, kind, outcome);
    return value;
}

void TokenReader::reportToken(qsizetype begin, qsizetype end, Number kind, Outcome outcome) {
    if (begin < quietUntil)
        return; // what is left of a token already reported
    quietUntil = end;
    QString token(data + begin, std::min(end - begin, kShownToken));
    if (end - begin > kShownToken)
        token += QStringLiteral("...");
    if (outcome == Outcome::OutOfRange)
        reportShift(QStringLiteral("\"%1\" is beyond the range of an integer").arg(token));
    else if (kind == Number::Integer)
        reportShift(QStringLiteral("\"%1\" is not an integer").arg(token));
    else
        reportShift(QStringLiteral("\"%1\" is not a number").arg(token));
}

QString TokenReader::readRestOfLine() {
    const qsizetype begin = pos;
    // A left-over token taken into a rest of line puts the reading back in step: the next line
    // starts an entry of its own.
    if (shiftProblem >= 0 && begin <= quietUntil) {
        closeShift();
    }
    while (pos < size && data[pos].unicode() != '\n')
        ++pos;
    const qsizetype end = pos;
    if (pos < size) {
        ++pos;
        ++lineNumber;
    }
    return QStringView(data + begin, end - begin).trimmed().toString();
}

QChar TokenReader::readChar() {
    if (pos >= size)
        return QChar();
    const QChar c = data[pos++];
    if (c.unicode() == '\n')
        ++lineNumber;
    return c;
}

QChar TokenReader::readNonBlankChar() {
    skipWhiteSpace();
    return readChar();
}

QString TokenReader::context() const {
    if (currentRecord.isEmpty() && !currentField)
        return QString();
    if (!currentField)
        return QStringLiteral(" (%1)").arg(currentRecord);
    if (currentRecord.isEmpty())
        return QStringLiteral(" (%1)").arg(QLatin1String(currentField));
    return QStringLiteral(" (%1, %2)").arg(currentRecord, QLatin1String(currentField));
}

void TokenReader::report(const QString &reason, int line) {
    if (shiftProblem >= 0) {
        ++notListed;
        return;
    }
    found.append({line > 0 ? line : lineNumber, reason + context()});
}

void TokenReader::reportShift(const QString &reason, int line) {
    report(reason, line);
    if (shiftProblem < 0)
        shiftProblem = found.size() - 1;
}

void TokenReader::closeShift() {
    if (notListed > 0) {
        found[shiftProblem].reason +=
            QStringLiteral("; the reading is out of step from here, so %1 more %2 not listed")
                .arg(notListed)
                .arg(notListed == 1 ? QStringLiteral("problem is")
                                    : QStringLiteral("problems are"));
        notListed = 0;
    }
    shiftProblem = -1;
}

ReadProblems TokenReader::takeProblems() {
    if (shiftProblem >= 0)
        closeShift();
    return std::move(found);
}

void TokenReader::reportEnd(const QString &reason) {
    if (endReported)
        return;
    endReported = true;
    // On the last line that holds anything, where the user looks for the end.
    qsizetype last = size;
    while (last > 0 && isSpace(data[last - 1]))
        --last;
    const int lastLine = 1 + int(std::count(data, data + last, QChar(u'\n')));
    if (last == 0)
        report(QStringLiteral("the file is empty"), 1);
    else
        report(reason.isEmpty() ? QStringLiteral("the file ends before the end of the record")
                                : reason,
               lastLine);
}

bool TokenReader::readsMore(qint64 done, qint64 count, const char *things) {
    if (done >= count) {
        if (done == 0 && count < 0)
            report(QStringLiteral("the number of %1 is negative (%2)")
                       .arg(QLatin1String(things))
                       .arg(count));
        return false;
    }
    if (!atEnd())
        return true;
    reportEnd(QStringLiteral("the file ends after %1 of %2 %3")
                  .arg(done)
                  .arg(count)
                  .arg(QLatin1String(things)));
    return false;
}
