#include "io/vtkexport.h"

#include "io/exportwriter.h"
#include "io/projectfile.h"
#include "model/categorywriter.h"
#include "model/material.h"

#include <QCoreApplication>

#include <algorithm>
#include <array>
#include <cmath>

namespace {

// The volum setting whose floor is the volum kind (1: the volum holds free electrons).
constexpr int kVolumKindRecord = 2;
// VTK's cell type code of an eight-node hexahedron.
constexpr int kVtkHexahedron = 12;

// The value of flattened setting record `position` (counted from 1) as the checker is handed it:
// booleans 1 or 0, integers and choices truncated, conditions their activated flag; 0 when the
// list is shorter.
double flattenedValue(const QList<Category> &categories, int position) {
    int n = 0;
    for (const Category &category : categories) {
        for (const Property &p : category.getProperties()) {
            if (++n == position) {
                switch (p.getType()) {
                case Property::Boolean:
                    return p.getBoolValue() ? 1.0 : 0.0;
                case Property::Integer:
                case Property::Choice:
                    return p.getIntValue();
                default:
                    return p.getDoubleValue();
                }
            }
            if (p.getType() != Property::Choice)
                continue;
            for (const Condition &c : p.getConditions()) {
                if (++n == position)
                    return c.isActivated() ? 1.0 : 0.0;
                for (const Property &sub : c.getProperties()) {
                    if (++n == position)
                        return sub.getDoubleValue();
                }
            }
        }
    }
    return 0.0;
}

int volumKind(const Volum &volum) {
    const double value = std::floor(flattenedValue(volum.getCategories(), kVolumKindRecord));
    return std::isfinite(value) ? int(std::clamp(value, -2147483648.0, 2147483647.0)) : 0;
}

struct Grid {
    std::array<std::int64_t, 3> cells{0, 0, 0};
    // Saturates instead of overflowing: a count this large is refused anyway.
    std::int64_t cellCount() const {
        const double product = double(cells[0]) * double(cells[1]) * double(cells[2]);
        return product > 1e18 ? std::int64_t(1e18) : cells[0] * cells[1] * cells[2];
    }
    std::int64_t pointCount() const {
        return cellCount() ? (cells[0] + 1) * (cells[1] + 1) * (cells[2] + 1) : 0;
    }
};

Grid gridOf(const Volum &volum) {
    Grid grid;
    const int counts[3] = {volum.getxMalles(), volum.getyMalles(), volum.getzMalles()};
    if (counts[0] < 1 || counts[1] < 1 || counts[2] < 1)
        return grid;
    for (int a = 0; a < 3; ++a)
        grid.cells[a] = counts[a];
    return grid;
}

// Coordinate of grid plane i of n between min and max, in design units; the last plane is max
// itself, so neighbouring volums meet exactly.
double plane(double min, double max, std::int64_t i, std::int64_t n) {
    return i == n ? max : min + (max - min) * double(i) / double(n);
}

QString tr(const char *text) {
    return QCoreApplication::translate("VtkExport", text);
}

// XML comments may not hold "--".
QByteArray commentSafe(const QString &text) {
    QByteArray bytes = text.toUtf8();
    while (bytes.contains("--"))
        bytes.replace("--", "- -");
    return bytes;
}

} // namespace

std::int64_t designCellCount(const ProjectDesign &design) {
    std::int64_t total = 0;
    for (const Volum &volum : design.volums)
        total = std::min<std::int64_t>(total + gridOf(volum).cellCount(), std::int64_t(1e18));
    return total;
}

ExportResult writeVtkDevice(const QString &path, const ProjectDesign &design) {
    ExportResult result;
    const std::int64_t cellCount = designCellCount(design);
    if (cellCount > kMaxExportedCells) {
        result.error = tr("The device has %1 mesh cells; at most %2 can be exported")
                           .arg(cellCount)
                           .arg(kMaxExportedCells);
        return result;
    }
    std::int64_t pointCount = 0;
    for (const Volum &volum : design.volums) {
        const Grid grid = gridOf(volum);
        pointCount += grid.pointCount();
        if (!grid.cellCount())
            result.notes
                << tr("Volum %1 has a mesh count below 1: it has no cells").arg(volum.getName());
    }

    ExportWriter out(path);
    if (!out.open()) {
        result.error = out.error();
        return result;
    }
    const double scale[3] = {design.x.value(), design.y.value(), design.z.value()};

    out.text("<?xml version=\"1.0\"?>\n"
             "<VTKFile type=\"UnstructuredGrid\" version=\"1.0\" byte_order=\"LittleEndian\" "
             "header_type=\"UInt64\">\n");
    out.text("<!-- Device of a KARVENO design: one hexahedron per mesh cell, coordinates in "
             "metres. Cell data: volum (number below), material (index number), kind (floor of "
             "volum setting 2). -->\n");
    for (qsizetype n = 0; n < design.volums.size(); ++n) {
        const Volum &volum = design.volums[n];
        const QString material = volum.getMaterial() ? materialWord(volum.getMaterial())
                                                     : volum.getMissingMaterialName();
        out.text("<!-- volum ").integer(n + 1).put(' ').text(commentSafe(volum.getName()));
        out.text(" material ")
            .text(commentSafe(material.isEmpty() ? QLatin1String(kNoMaterialWord) : material))
            .text(" -->\n");
    }
    out.text("<UnstructuredGrid>\n<Piece NumberOfPoints=\"").integer(pointCount);
    out.text("\" NumberOfCells=\"").integer(cellCount).text("\">\n");

    out.text("<Points>\n<DataArray type=\"Float64\" Name=\"Points\" NumberOfComponents=\"3\" "
             "format=\"ascii\">\n");
    for (const Volum &volum : design.volums) {
        const Grid grid = gridOf(volum);
        if (!grid.cellCount())
            continue;
        const double min[3] = {volum.getMinX(), volum.getMinY(), volum.getMinZ()};
        const double max[3] = {volum.getMaxX(), volum.getMaxY(), volum.getMaxZ()};
        // x varies fastest, then y, then z.
        for (std::int64_t k = 0; k <= grid.cells[2]; ++k) {
            const double z = plane(min[2], max[2], k, grid.cells[2]) * scale[2];
            for (std::int64_t j = 0; j <= grid.cells[1]; ++j) {
                const double y = plane(min[1], max[1], j, grid.cells[1]) * scale[1];
                for (std::int64_t i = 0; i <= grid.cells[0]; ++i) {
                    out.number(plane(min[0], max[0], i, grid.cells[0]) * scale[0]).put(' ');
                    out.number(y).put(' ').number(z).put('\n');
                }
            }
        }
    }
    out.text("</DataArray>\n</Points>\n<Cells>\n");

    out.text("<DataArray type=\"Int64\" Name=\"connectivity\" format=\"ascii\">\n");
    std::int64_t first = 0; // index of the volum's first point
    for (const Volum &volum : design.volums) {
        const Grid grid = gridOf(volum);
        const std::int64_t nx = grid.cells[0] + 1;
        const std::int64_t nxy = nx * (grid.cells[1] + 1);
        for (std::int64_t k = 0; k < grid.cells[2]; ++k) {
            for (std::int64_t j = 0; j < grid.cells[1]; ++j) {
                for (std::int64_t i = 0; i < grid.cells[0]; ++i) {
                    const std::int64_t p = first + i + j * nx + k * nxy;
                    // The lower face counter-clockwise seen from above, then the upper face.
                    const std::int64_t corners[8] = {
                        p,       p + 1,       p + 1 + nx,       p + nx,
                        p + nxy, p + 1 + nxy, p + 1 + nx + nxy, p + nx + nxy};
                    for (int c = 0; c < 8; ++c)
                        out.integer(corners[c]).put(c == 7 ? '\n' : ' ');
                }
            }
        }
        first += grid.pointCount();
    }
    out.text("</DataArray>\n<DataArray type=\"Int64\" Name=\"offsets\" format=\"ascii\">\n");
    for (std::int64_t c = 1; c <= cellCount; ++c)
        out.integer(8 * c).put('\n');
    out.text("</DataArray>\n<DataArray type=\"UInt8\" Name=\"types\" format=\"ascii\">\n");
    for (std::int64_t c = 0; c < cellCount; ++c)
        out.integer(kVtkHexahedron).put('\n');
    out.text("</DataArray>\n</Cells>\n<CellData Scalars=\"volum\">\n");

    // One value per cell of each volum, in the order of the cells.
    const auto writeCellData = [&](const char *name, const auto &valueOf) {
        out.text("<DataArray type=\"Int32\" Name=\"").text(name).text("\" format=\"ascii\">\n");
        for (qsizetype n = 0; n < design.volums.size(); ++n) {
            const Volum &volum = design.volums[n];
            const std::int64_t cells = gridOf(volum).cellCount();
            if (!cells)
                continue;
            QByteArray line = QByteArray::number(qlonglong(valueOf(n, volum)));
            line.append('\n');
            for (std::int64_t c = 0; c < cells; ++c)
                out.text(line);
        }
        out.text("</DataArray>\n");
    };
    writeCellData("volum", [](qsizetype n, const Volum &) { return n + 1; });
    writeCellData("material",
                  [](qsizetype, const Volum &volum) { return materialIndex(volum.getMaterial()); });
    writeCellData("kind", [](qsizetype, const Volum &volum) { return volumKind(volum); });
    out.text("</CellData>\n</Piece>\n</UnstructuredGrid>\n</VTKFile>\n");

    if (!out.commit()) {
        result.error = out.error();
        return result;
    }
    result.count = cellCount;
    return result;
}
