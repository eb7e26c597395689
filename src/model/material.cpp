#include "model/material.h"

#include "model/categorywriter.h"

Material::Material(const QString &name, int indexname, const QColor &color, const Coord &atomvec1,
                   const Coord &atomvec2, const Coord &atomvec3, const QList<Coord> &offsets)
    : name(name), indexname(indexname), atomvec1(atomvec1), atomvec2(atomvec2), atomvec3(atomvec3),
      offsets(offsets), color(color) {}

int Material::getPropertiesCount() const {
    return flattenedCount(categories);
}

void Material::writeMaterialProperties(QTextStream &out) const {
    writeCategoryList(out, categories);
}

bool Material::operator==(const Material &other) const {
    return name == other.name && indexname == other.indexname && color == other.color &&
           atomvec1 == other.atomvec1 && atomvec2 == other.atomvec2 && atomvec3 == other.atomvec3 &&
           offsets == other.offsets && categories == other.categories;
}

QString materialWord(const Material *material) {
    return material ? asWord(material->getName()) : QString::fromLatin1(kNoMaterialWord);
}

int materialIndex(const Material *material) {
    return material ? material->getIndexName() : kNoMaterialIndex;
}
