#pragma once

// Writes a design's device as a VTK XML unstructured grid (.vtu), which ParaView and other VTK
// readers open directly: every mesh cell of every volum is one hexahedron, in metres (the design's
// coordinates times the axis scales), with the cell data "volum" (the volum's 1-based number in
// the design), "material" (its material's index number, -1 without one) and "kind" (the volum
// kind the checker uses: the floor of the volum's setting record 2). The design is only read.

#include "io/exportresult.h"

#include <QString>

#include <cstdint>

struct ProjectDesign;

// More cells than this are refused: the text file would run to gigabytes.
inline constexpr std::int64_t kMaxExportedCells = 10'000'000;

// Number of mesh cells of the design: per volum the product of its mesh counts, a count below 1
// giving no cells.
std::int64_t designCellCount(const ProjectDesign &design);

ExportResult writeVtkDevice(const QString &path, const ProjectDesign &design);
