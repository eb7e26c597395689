#include "io/categoryblock.h"

#include "io/tokenreader.h"

#include <QDebug>
#include <QTextStream>

namespace {

void foreignType(TokenReader &reader, ForeignTypes foreign, int type, int line) {
    if (foreign == ForeignTypes::Report)
        qDebug() << "Unexpected type of propertie";
    reader.reportShift(
        QStringLiteral("type %1 is not a property type here; the entry is left out").arg(type),
        line);
}

bool readPropertyEntry(TokenReader &reader, ForeignTypes foreign, bool insideCondition,
                       Property &out);

Condition readConditionEntry(TokenReader &reader, ForeignTypes foreign) {
    const QString name = reader.readWord();
    const int count = reader.readInt();
    const bool activated = reader.readInt() != 0;
    Condition condition(name, activated);
    for (int n = 0; reader.readsMore(n, count, "condition properties"); ++n) {
        Property property;
        if (readPropertyEntry(reader, foreign, true, property))
            condition.addProperty(property);
    }
    return condition;
}

bool readPropertyEntry(TokenReader &reader, ForeignTypes foreign, bool insideCondition,
                       Property &out) {
    const QString name = reader.readWord();
    const int line = reader.line();
    const int type = reader.readInt();
    switch (type) {
    case Property::Boolean: {
        const bool value = reader.readInt() != 0;
        out = Property(name, type, value, reader.readRestOfLine());
        return true;
    }
    case Property::Integer: {
        const int value = reader.readInt();
        out = Property(name, type, value, reader.readRestOfLine());
        return true;
    }
    case Property::Real:
    case Property::RealExponent: {
        const double value = reader.readReal();
        out = Property(name, type, value, reader.readRestOfLine());
        return true;
    }
    case Property::Choice:
        if (!insideCondition) {
            const int count = reader.readInt();
            out = Property(name, type, count, reader.readRestOfLine());
            for (int n = 0; reader.readsMore(n, count, "conditions"); ++n)
                out.addCondition(readConditionEntry(reader, foreign));
            // A file that ends early gives fewer conditions; the value stays their count.
            out.setValue(int(out.getConditions().size()));
            return true;
        }
        break;
    default:
        break;
    }
    foreignType(reader, foreign, type, line);
    return false;
}

} // namespace

Category readCategoryBlock(TokenReader &reader, ForeignTypes foreign) {
    const int count = reader.readInt();
    Category category(reader.readRestOfLine());
    for (int n = 0; reader.readsMore(n, count, "properties"); ++n) {
        Property property;
        if (readPropertyEntry(reader, foreign, false, property))
            category.addProperty(property);
    }
    return category;
}

QList<Category> readCategoryBlocks(TokenReader &reader, qint64 count, ForeignTypes foreign) {
    QList<Category> categories;
    for (qint64 n = 0; reader.readsMore(n, count, "categories"); ++n)
        categories.append(readCategoryBlock(reader, foreign));
    return categories;
}

QList<Category> readCategoryBlocks(QTextStream &in, qint64 count, ForeignTypes foreign) {
    TokenReader reader(in.readAll());
    return readCategoryBlocks(reader, count, foreign);
}
