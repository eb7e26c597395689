#include "model/categorywriter.h"

#include <QLocale>
#include <QRegularExpression>
#include <QTextStream>

#include <algorithm>
#include <charconv>
#include <cmath>

void setDesignNumberFormat(QTextStream &out) {
    out.setLocale(QLocale::c());
    out.setRealNumberNotation(QTextStream::SmartNotation);
    out.setRealNumberPrecision(6);
    out.setFieldWidth(0);
    out.setNumberFlags({});
    out.setIntegerBase(10);
}

char *writeDesignReal(char *to, double value) {
    if (value == 0.0) {
        *to++ = '0'; // the stream writes -0 as 0
        return to;
    }
    if (std::isnan(value))
        return std::copy_n("nan", 3, to);
    if (std::isinf(value))
        return value < 0 ? std::copy_n("-inf", 4, to) : std::copy_n("inf", 3, to);
    // The shortest text that reads back as the value tells its significant digits. Six or fewer:
    // %g with 6 digits writes exactly those; more are rounded to six below. Seven ending in 5 is
    // a tie, which printf rounds to even and the stream away from zero: the stream's own
    // formatting decides.
    char text[32];
    const char *const end =
        std::to_chars(text, text + sizeof text, value, std::chars_format::scientific).ptr;
    const char *p = text;
    const bool minus = *p == '-';
    if (minus)
        ++p;
    char digits[20];
    int count = 0;
    for (; *p != 'e'; ++p) {
        if (*p != '.' && count < 20)
            digits[count++] = *p;
    }
    if (count == 7 && digits[6] == '5') {
        const QByteArray stream = QLocale::c().toString(value, 'g', 6).toLatin1();
        return std::copy_n(stream.constData(), std::min<qsizetype>(stream.size(), kDesignNumberMax),
                           to);
    }
    // Denormals hold fewer digits than they print; %g shows the exact value's.
    if (!std::isnormal(value))
        return std::to_chars(to, to + kDesignNumberMax, value, std::chars_format::general, 6).ptr;
    int exponent = 0;
    std::from_chars(p + 1 + (p[1] == '+'), end, exponent);
    if (count > 6) {
        // Six digits, rounded as %g rounds the exact value: the value lies on the same side of
        // the halfway point as its shortest text (a shorter text would lie between them
        // otherwise), and the one tie left was taken above.
        const bool up = digits[6] >= '5';
        count = 6;
        if (up) {
            int n = 5;
            while (n >= 0 && digits[n] == '9')
                digits[n--] = '0';
            if (n < 0) {
                digits[0] = '1';
                ++exponent;
            } else {
                ++digits[n];
            }
        }
        while (count > 1 && digits[count - 1] == '0')
            --count;
    }
    if (minus)
        *to++ = '-';
    if (exponent < -4 || exponent >= 6) { // d.ddde-XX, as %g writes it
        *to++ = digits[0];
        if (count > 1) {
            *to++ = '.';
            to = std::copy(digits + 1, digits + count, to);
        }
        *to++ = 'e';
        *to++ = exponent < 0 ? '-' : '+';
        const int magnitude = exponent < 0 ? -exponent : exponent;
        if (magnitude < 10)
            *to++ = '0';
        return std::to_chars(to, to + 4, magnitude).ptr;
    }
    if (exponent < 0) {
        *to++ = '0';
        *to++ = '.';
        to = std::fill_n(to, -exponent - 1, '0');
        return std::copy(digits, digits + count, to);
    }
    for (int n = 0; n <= exponent; ++n)
        *to++ = n < count ? digits[n] : '0';
    if (count > exponent + 1) {
        *to++ = '.';
        to = std::copy(digits + exponent + 1, digits + count, to);
    }
    return to;
}

char *writeDesignInteger(char *to, qint64 value) {
    return std::to_chars(to, to + kDesignNumberMax, value).ptr;
}

void appendDesignReal(QByteArray &out, double value) {
    char text[kDesignNumberMax];
    out.append(text, writeDesignReal(text, value) - text);
}

QString asWord(const QString &name) {
    static const QRegularExpression blanks(QStringLiteral("\\s+"));
    QString word = name.trimmed();
    word.replace(blanks, QStringLiteral("_"));
    return word.isEmpty() ? QStringLiteral("_") : word;
}

namespace {

bool hasWrittenForm(const Property &property, bool insideCondition) {
    const int type = property.getType();
    if (insideCondition)
        return type >= Property::Boolean && type <= Property::RealExponent;
    return type >= Property::Boolean && type <= Property::Choice;
}

void writePropertyLine(QTextStream &out, const Property &property) {
    out << asWord(property.getName()) << ' ' << property.getType() << ' ';
    switch (property.getType()) {
    case Property::Boolean:
        out << (property.getBoolValue() ? 1 : 0);
        break;
    case Property::Integer:
        out << property.getIntValue();
        break;
    case Property::Choice:
        // The reader takes this number as the count of condition entries that follow, so it
        // must be the count actually written, whatever the value says.
        out << property.getConditions().size();
        break;
    default:
        out << property.getDoubleValue();
        break;
    }
    // The help text is the rest of the line when read back: one line, even when empty.
    QString help = property.getHelp();
    help.replace(QLatin1Char('\r'), QLatin1Char(' ')).replace(QLatin1Char('\n'), QLatin1Char(' '));
    out << ' ' << help << '\n';
}

} // namespace

void writeCategoryBlocks(QTextStream &out, const QList<Category> &categories) {
    setDesignNumberFormat(out);
    for (const Category &category : categories) {
        const QList<Property> &properties = category.getProperties();
        int written = 0;
        for (const Property &property : properties)
            written += hasWrittenForm(property, false) ? 1 : 0;
        // The name is the rest of the header line; keep it on that line.
        QString categoryName = category.getName();
        categoryName.replace(QLatin1Char('\r'), QLatin1Char(' '))
            .replace(QLatin1Char('\n'), QLatin1Char(' '));
        out << written << ' ' << categoryName << '\n';
        for (const Property &property : properties) {
            if (!hasWrittenForm(property, false))
                continue;
            writePropertyLine(out, property);
            if (property.getType() != Property::Choice)
                continue;
            for (const Condition &condition : property.getConditions()) {
                int subWritten = 0;
                for (const Property &sub : condition.getProperties())
                    subWritten += hasWrittenForm(sub, true) ? 1 : 0;
                out << asWord(condition.getName()) << ' ' << subWritten << ' '
                    << (condition.isActivated() ? 1 : 0) << '\n';
                for (const Property &sub : condition.getProperties()) {
                    if (hasWrittenForm(sub, true))
                        writePropertyLine(out, sub);
                }
            }
        }
    }
}

void writeCategoryList(QTextStream &out, const QList<Category> &categories) {
    setDesignNumberFormat(out);
    out << categories.size() << '\n';
    writeCategoryBlocks(out, categories);
}
