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

QString materialWord(const Material *material) {
    return material ? asWord(material->getName()) : QString::fromLatin1(kNoMaterialWord);
}

int materialIndex(const Material *material) {
    return material ? material->getIndexName() : kNoMaterialIndex;
}
