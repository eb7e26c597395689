#pragma once

#include <QLoggingCategory>
#include <QString>

class Material;

// Debug traces of atom construction ("Creating Atom ..."). Off by default in every program; the
// rule "karveno.model.atom.debug=true" (QT_LOGGING_RULES) turns it on.
Q_DECLARE_LOGGING_CATEGORY(lcAtom)

// One lattice site of a volum. Position is relative to the volum's origin (corner 0), so atoms
// follow their volum when it moves. The material is the registry's and may be null.
class Atom {
public:
    // A site at the origin with no material; only for containers, writes no trace.
    Atom() = default;
    Atom(double x, double y, double z, Material *material, bool offset, int noffset, int maxoffset);
    // noffset 0, maxoffset 1.
    Atom(double x, double y, double z, Material *material, bool offset);

    double getX() const { return x; }
    double getY() const { return y; }
    double getZ() const { return z; }
    void setX(double v) { x = v; }
    void setY(double v) { y = v; }
    void setZ(double v) { z = v; }

    int getNOffset() const { return noffset; }
    void setNOffset(int n) { noffset = n; }
    int getMaxOffset() const { return maxoffset; }
    void setMaxOffset(int m) { maxoffset = m; }
    bool isOffset() const { return offset; }
    // The offset number as it leaves the model (project file, checker): noffset for an offset
    // atom, 0 otherwise.
    int offsetNumber() const { return offset ? noffset : 0; }

    bool isSelected() const { return selected; }
    void setSelected(bool s) { selected = s; }

    Material *getMaterial() const { return material; }
    void setMaterial(Material *m) { material = m; }
    // Empty without a material.
    QString getMaterialName() const;
    // kNoMaterialIndex (-1) without a material.
    int getMaterialIndex() const;

    void move(float dx, float dy, float dz);

    // Same site, material and offset numbers; the display flag `selected` is not compared.
    bool operator==(const Atom &other) const;

private:
    double x = 0.0;
    double y = 0.0;
    double z = 0.0;
    Material *material = nullptr;
    bool offset = false;
    bool selected = false;
    int noffset = 0;
    int maxoffset = 1;
};
