#include "io/xyzexport.h"

#include "io/exportwriter.h"
#include "io/projectfile.h"
#include "model/categorywriter.h"
#include "model/material.h"

#include <QCoreApplication>

namespace {

// Metres to Angstrom.
constexpr double kAngstromPerMetre = 1e10;

QString tr(const char *text) {
    return QCoreApplication::translate("XyzExport", text);
}

// A value of the comment line: quoted, without quotes or line breaks inside.
QByteArray quoted(QString text) {
    text.replace(QLatin1Char('"'), QLatin1Char('\''));
    text.replace(QLatin1Char('\n'), QLatin1Char(' ')).replace(QLatin1Char('\r'), QLatin1Char(' '));
    return '"' + text.toUtf8() + '"';
}

} // namespace

ExportResult writeXyzAtoms(const QString &path, const ProjectDesign &design,
                           const MaterialsManager &registry, const QString &designName) {
    ExportResult result;
    // The atoms of each volum, generated on a copy where the design has none yet.
    QList<QList<Atom>> atoms;
    std::int64_t total = 0;
    for (const Volum &volum : design.volums) {
        if (volum.areAtomsCalculated()) {
            atoms.append(volum.getAtoms());
        } else {
            Volum copy = volum;
            if (!copy.calculateAtomicPoints(registry))
                result.notes << tr("Volum %1: no atoms could be generated (no material, no "
                                   "lattice, or more than %2 atoms)")
                                    .arg(volum.getName())
                                    .arg(Volum::kMaxGeneratedAtoms);
            atoms.append(copy.getAtoms());
        }
        total += atoms.last().size();
    }

    ExportWriter out(path);
    if (!out.open()) {
        result.error = out.error();
        return result;
    }
    const double scale[3] = {design.x.value() * kAngstromPerMetre,
                             design.y.value() * kAngstromPerMetre,
                             design.z.value() * kAngstromPerMetre};
    out.integer(total).put('\n');
    out.text("Properties=species:S:1:pos:R:3:volum:I:1 pbc=\"F F F\" design=")
        .text(quoted(designName))
        .put('\n');
    for (qsizetype n = 0; n < design.volums.size(); ++n) {
        const Volum &volum = design.volums[n];
        const double origin[3] = {volum.getMinX(), volum.getMinY(), volum.getMinZ()};
        for (const Atom &atom : std::as_const(atoms[n])) {
            const Material *material = atom.getMaterial();
            out.text(material ? asWord(material->getName()).toUtf8()
                              : QByteArray(kNoMaterialSpecies));
            out.put(' ').number((origin[0] + atom.getX()) * scale[0]);
            out.put(' ').number((origin[1] + atom.getY()) * scale[1]);
            out.put(' ').number((origin[2] + atom.getZ()) * scale[2]);
            out.put(' ').integer(n + 1).put('\n');
        }
    }
    if (!out.commit()) {
        result.error = out.error();
        return result;
    }
    result.count = total;
    return result;
}
