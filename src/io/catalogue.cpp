#include "io/catalogue.h"

#include "io/categoryblock.h"
#include "io/tokenreader.h"

#include <QFile>
#include <QTextStream>

bool readGeneralCatalogue(const QString &path, GeneralCatalogue &out) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
        return false;
    QTextStream in(&file);
    TokenReader reader(in);
    out.version = reader.readInt();
    const int count = reader.readInt();
    out.categories = readCategoryBlocks(reader, count, ForeignTypes::Report);
    return true;
}

bool readVolumCatalogue(const QString &path, QList<Category> &appendTo) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
        return false;
    QTextStream in(&file);
    TokenReader reader(in);
    const int count = reader.readInt();
    appendTo.append(readCategoryBlocks(reader, count, ForeignTypes::Report));
    return true;
}
