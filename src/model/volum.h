#pragma once

#include "model/atom.h"
#include "model/category.h"
#include "model/coord.h"

#include <QList>
#include <QString>

class Material;
class MaterialsManager;
class QTextStream;

// A named, axis-aligned box of the device: eight corners, mesh counts, one material (registry
// pointer, may be null), its own property categories and, once generated or read, its atoms.
// A plain value: copies share only the material pointer.
class Volum {
public:
    // Upper bound on the atoms that calculateAtomicPoints produces for one volum (about 50 bytes
    // each); a lattice that would give more yields no atoms.
    static constexpr qsizetype kMaxGeneratedAtoms = 4'000'000;
    // Upper bound on the lattice cells visited by one generation.
    static constexpr double kMaxLatticeCells = 2.0e8;

    Volum() = default;
    Volum(const QString &name, int xmalles, int ymalles, int zmalles);
    Volum(const QString &name, int xmalles, int ymalles, int zmalles,
          const QList<Category> &categories);

    // Places (or re-places) the box: origin is corner 0; corners in the order
    // (x,y,z) (x+sx,y,z) (x+sx,y+sy,z) (x,y+sy,z) then the same at z+sz.
    void addCoords(const Coord &origin, float xsize_, float ysize_, float zsize_);
    // Re-places the box shifted by (dx, dy, dz); the atoms, relative to the origin, follow.
    void move(float dx, float dy, float dz);

    // Bounds from corner 0 and the sizes; an unplaced box counts as placed at (0, 0, 0).
    double getMinX() const;
    double getMinY() const;
    double getMinZ() const;
    double getMaxX() const;
    double getMaxY() const;
    double getMaxZ() const;
    // The same as two corners.
    void getBounds(double min[3], double max[3]) const;
    double getCenterX() const;
    double getCenterY() const;
    double getCenterZ() const;
    float getxSize() const { return xsize; }
    float getySize() const { return ysize; }
    float getzSize() const { return zsize; }
    // Strictly inside on every axis; a point on a face is outside.
    bool checkPointInside(float x, float y, float z) const;

    QList<Coord> &getCoords() { return coords; }
    const QList<Coord> &getCoords() const { return coords; }
    QList<Atom> &getAtoms() { return atoms; }
    const QList<Atom> &getAtoms() const { return atoms; }
    QList<Category> &getCategories() { return categories; }
    const QList<Category> &getCategories() const { return categories; }
    void setCategories(const QList<Category> &c) { categories = c; }

    // Replaces the atoms and marks them calculated.
    void setAtomsInfo(const QList<Atom> &a);
    int getNumberOfAtoms() const { return int(atoms.size()); }
    int getPropertiesCount() const;

    QString getName() const { return name; }
    void setName(const QString &n) { name = n; }
    int getxMalles() const { return xmalles; }
    int getyMalles() const { return ymalles; }
    int getzMalles() const { return zmalles; }
    void setNMalles(int x, int y, int z);
    Material *getMaterial() const { return material; }
    // Setting a material forgets the name of a missing one.
    void setMaterial(Material *m) {
        material = m;
        if (m)
            missingMaterialName.clear();
    }
    // Name of the material the volum was read with when the registry has no such material (the
    // volum then has no material); written back in its place so that the name is not lost.
    QString getMissingMaterialName() const { return material ? QString() : missingMaterialName; }
    void setMissingMaterialName(const QString &n) { missingMaterialName = n; }

    bool isVisible() const { return visible; }
    void setVisible(bool v) { visible = v; }
    bool isSelected() const { return selected; }
    void setSelected(bool s) { selected = s; }
    bool isWriteAtomsInfo() const { return wAI; }
    void setWriteAtomsInfo(bool w) { wAI = w; }
    bool areAtomsCalculated() const { return atoms_calculated; }

    // Replaces the atoms by the sites of the material's lattice inside the box (lattice point
    // plus basis offset, each atom's material named by its offset, looked up in the registry)
    // and marks them calculated. Order: lattice indices i, j, k, then offset. Returns false, with
    // no atoms, when there is nothing sound to generate from (no material, non-finite lattice or
    // sizes) or the result would pass kMaxGeneratedAtoms / kMaxLatticeCells.
    bool calculateAtomicPoints();
    bool calculateAtomicPoints(const MaterialsManager &registry);

    // The atoms section of this volum's project record: -1 when wAI is false, otherwise the
    // count and five lines per atom. volumNumber is the volum's position in the design.
    void writeAtomsInfo(QTextStream &out, int volumNumber) const;
    // Number of categories on a line of its own, then the category blocks.
    void writeVolumProperties(QTextStream &out) const;

    // Same box, meshes, material, settings and atoms. The display flags (visible, selected) are
    // not part of the design and are not compared.
    bool operator==(const Volum &other) const;

    // OpenGL drawing, defined by the view layer.
    void drawVolum();
    void drawMalles();
    void drawAtomicStructure();

private:
    QList<Coord> coords;
    QList<Atom> atoms;
    QList<Category> categories;
    QString name;
    int xmalles = 0;
    int ymalles = 0;
    int zmalles = 0;
    bool visible = true;
    float xsize = 0.0f;
    float ysize = 0.0f;
    float zsize = 0.0f;
    Material *material = nullptr;
    QString missingMaterialName;
    bool selected = false;
    bool wAI = false;
    bool atoms_calculated = false;
};
