#pragma once

#include "model/category.h"
#include "model/coord.h"

#include <QColor>
#include <QList>
#include <QString>

class QTextStream;

// What a volum is made of: name, index number, display colour, crystal lattice (three primitive
// vectors and basis offsets, each naming the material of its atoms) and property categories.
// Materials live in the MaterialsManager registry and are never destroyed while the program runs.
class Material {
public:
    Material(const QString &name, int indexname, const QColor &color, const Coord &atomvec1,
             const Coord &atomvec2, const Coord &atomvec3, const QList<Coord> &offsets);

    QString getName() const { return name; }
    void setName(const QString &n) { name = n; }
    int getIndexName() const { return indexname; }
    void setIndex(int i) { indexname = i; }
    QColor getColor() const { return color; }
    void setColor(const QColor &c) { color = c; }

    Coord getAtomVec1() const { return atomvec1; }
    Coord getAtomVec2() const { return atomvec2; }
    Coord getAtomVec3() const { return atomvec3; }
    void setAtomVec1(const Coord &c) { atomvec1 = c; }
    void setAtomVec2(const Coord &c) { atomvec2 = c; }
    void setAtomVec3(const Coord &c) { atomvec3 = c; }

    QList<Coord> &getOffsets() { return offsets; }
    const QList<Coord> &getOffsets() const { return offsets; }
    void setAtomOffsets(const QList<Coord> &o) { offsets = o; }

    QList<Category> &getCategories() { return categories; }
    const QList<Category> &getCategories() const { return categories; }
    void setCategories(const QList<Category> &c) { categories = c; }

    int getPropertiesCount() const;

    // Number of categories on a line of its own, then the category blocks.
    void writeMaterialProperties(QTextStream &out) const;

    bool operator==(const Material &other) const;

    // Draws one atom of this material at a point (OpenGL; defined by the view layer).
    void drawMaterial(double x, double y, double z, bool selected);

private:
    QString name;
    int indexname = 0;
    Coord atomvec1;
    Coord atomvec2;
    Coord atomvec3;
    QList<Coord> offsets;
    QColor color;
    QList<Category> categories;
};

// Word written in the design files where a volum or an atom has no material (a name missing from
// the registry); the readers turn it back into no material.
inline constexpr char kNoMaterialWord[] = "(none)";
// Index number written beside kNoMaterialWord.
inline constexpr int kNoMaterialIndex = -1;

// The word the design files write for a material reference: kNoMaterialWord for a null material,
// otherwise asWord(name), as the material's own record writes it.
QString materialWord(const Material *material);
// Index number written beside a material reference; kNoMaterialIndex for a null material.
int materialIndex(const Material *material);
