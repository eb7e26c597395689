#include "model/categorywriter.h"

#include <QLocale>
#include <QRegularExpression>
#include <QTextStream>

void setDesignNumberFormat(QTextStream &out) {
    out.setLocale(QLocale::c());
    out.setRealNumberNotation(QTextStream::SmartNotation);
    out.setRealNumberPrecision(6);
    out.setFieldWidth(0);
    out.setNumberFlags({});
    out.setIntegerBase(10);
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
