#pragma once

// Writes a design's atoms as an extended XYZ file, which atomistic viewers and libraries read:
// the atom count, a comment line naming the design and describing the columns, then one line per
// atom with its material's name as the species, its absolute position in Angstrom ((volum origin
// + atom position) times the axis scales) and its volum's 1-based number. A volum whose atoms are
// not calculated yet has them generated from its material's lattice for the file, as atomic mode
// would; the design itself is only read.

#include "io/exportresult.h"

#include <QString>

class MaterialsManager;
struct ProjectDesign;

// Species written for an atom without a material: the usual dummy-atom symbol.
inline constexpr char kNoMaterialSpecies[] = "X";

// `registry` resolves the material names of generated atoms; `designName` goes into the comment
// line.
ExportResult writeXyzAtoms(const QString &path, const ProjectDesign &design,
                           const MaterialsManager &registry, const QString &designName);
