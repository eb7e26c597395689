#include "io/categoryblock.h"

#include "io/tokenreader.h"

#include <QDebug>
#include <QTextStream>

namespace {

void foreignType(ForeignTypes foreign) {
    if (foreign == ForeignTypes::Report)
        qDebug() << "Unexpected type of propertie";
}

bool readPropertyEntry(TokenReader &reader, ForeignTypes foreign, bool insideCondition,
                       Property &out);

Condition readConditionEntry(TokenReader &reader, ForeignTypes foreign) {
    const QString name = reader.readWord();
    const int count = reader.readInt();
    const bool activated = reader.readInt() != 0;
    Condition condition(name, activated);
    for (int n = 0; n < count && !reader.atEnd(); ++n) {
        Property property;
        if (readPropertyEntry(reader, foreign, true, property))
            condition.addProperty(property);
    }
    return condition;
}

bool readPropertyEntry(TokenReader &reader, ForeignTypes foreign, bool insideCondition,
                       Property &out) {
    const QString name = reader.readWord();
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
            for (int n = 0; n < count && !reader.atEnd(); ++n)
                out.addCondition(readConditionEntry(reader, foreign));
            // A file that ends early gives fewer conditions; the value stays their count.
            out.setValue(int(out.getConditions().size()));
            return true;
        }
        break;
    default:
        break;
    }
    foreignType(foreign);
    return false;
}

} // namespace

Category readCategoryBlock(TokenReader &reader, ForeignTypes foreign) {
    const int count = reader.readInt();
    Category category(reader.readRestOfLine());
    for (int n = 0; n < count && !reader.atEnd(); ++n) {
        Property property;
        if (readPropertyEntry(reader, foreign, false, property))
            category.addProperty(property);
    }
    return category;
}

QList<Category> readCategoryBlocks(TokenReader &reader, qint64 count, ForeignTypes foreign) {
    QList<Category> categories;
    for (qint64 n = 0; n < count && !reader.atEnd(); ++n)
        categories.append(readCategoryBlock(reader, foreign));
    return categories;
}

QList<Category> readCategoryBlocks(QTextStream &in, qint64 count, ForeignTypes foreign) {
    TokenReader reader(in);
    return readCategoryBlocks(reader, count, foreign);
}
