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

void appendDesignReal(QString &out, double value) {
    if (value == 0.0) {
        out += QLatin1Char('0'); // the stream writes -0 as 0
        return;
    }
    if (std::isnan(value)) {
        out += QLatin1String("nan");
        return;
    }
    if (std::isinf(value)) {
        out += value < 0 ? QLatin1String("-inf") : QLatin1String("inf");
        return;
    }
    char text[64];
    // 17 significant digits show whether the value lies on, or next to, a tie at the seventh:
    // printf rounds an exact tie to even, the stream away from zero, so such values take the
    // stream's own formatting.
    const std::to_chars_result wide =
        std::to_chars(text, text + sizeof text, value, std::chars_format::scientific, 16);
    const char *digits = text + (text[0] == '-' ? 1 : 0);
    // digits: d.dddddddddddddddde..., the seventh significant digit at index 7
    const bool nearTie =
        digits[7] == '5' && std::all_of(digits + 8, digits + 18, [](char c) { return c == '0'; });
    if (nearTie || wide.ec != std::errc()) {
        out += QLocale::c().toString(value, 'g', 6);
        return;
    }
    const std::to_chars_result r =
        std::to_chars(text, text + sizeof text, value, std::chars_format::general, 6);
    out += QLatin1String(text, r.ptr - text);
}

void appendDesignInteger(QString &out, qint64 value) {
    char text[24];
    const std::to_chars_result r = std::to_chars(text, text + sizeof text, value);
    out += QLatin1String(text, r.ptr - text);
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
