#include "check/handover.h"

#include "model/category.h"
#include "model/condition.h"
#include "model/material.h"
#include "model/materialsmanager.h"
#include "model/property.h"
#include "model/volum.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <iterator>
#include <limits>
#include <mutex>
#include <new>

namespace {

// The checker refuses more than these on the count alone.
constexpr qint64 kAtomLimit = 1000000;
constexpr qint64 kParameterLimit = 999;
constexpr qint64 kVolumLimit = 100;
constexpr qint64 kMaterialLimit = 100;

std::int32_t clampCount(qint64 n) {
    return static_cast<std::int32_t>(std::min<qint64>(n, std::numeric_limits<std::int32_t>::max()));
}

void fillProperty(parameter_str &record, const Property &p, double value) {
    QString2char20(record.nom, kNameWidth, p.getName());
    QString2char20(record.help, kHelpWidth, p.getHelp());
    record.tipus = p.getType();
    record.valor = value;
}

// Scaled coordinate: 10^unit x (mesure x value).
double scaled(const AxisScale &scale, double value) {
    return std::pow(10.0, scale.unit) * (scale.mesure * value);
}

} // namespace

void QString2char20(char *output, int maxl, const QString &input) {
    if (!output || maxl <= 0)
        return;
    const QByteArray latin = input.toLatin1();
    const int n = std::min(maxl, static_cast<int>(latin.size()));
    std::memcpy(output, latin.constData(), static_cast<std::size_t>(n));
    std::memset(output + n, ' ', static_cast<std::size_t>(maxl - n));
}

int flattenCategories(const QList<Category> &categories, parameter_str *records, int capacity) {
    int count = 0;
    // The record that the next entry takes, or null once the array is full.
    const auto next = [&]() -> parameter_str * {
        parameter_str *r = (records && count < capacity) ? &records[count] : nullptr;
        ++count;
        return r;
    };
    for (const Category &category : categories) {
        for (const Property &p : category.getProperties()) {
            parameter_str *r = next();
            switch (p.getType()) {
            case Property::Boolean:
                if (r)
                    fillProperty(*r, p, p.getBoolValue() ? 1.0 : 0.0);
                break;
            case Property::Integer:
                if (r)
                    fillProperty(*r, p, p.getIntValue());
                break;
            case Property::Real:
            case Property::RealExponent:
                if (r)
                    fillProperty(*r, p, p.getDoubleValue());
                break;
            case Property::Choice:
                if (r)
                    fillProperty(*r, p, p.getIntValue());
                for (const Condition &c : p.getConditions()) {
                    if (parameter_str *cr = next()) {
                        QString2char20(cr->nom, kNameWidth, c.getName());
                        std::memset(cr->help, ' ', kHelpWidth);
                        cr->tipus = c.getPropertiesCount();
                        cr->valor = c.isActivated() ? 1.0 : 0.0;
                    }
                    for (const Property &sub : c.getProperties()) {
                        if (parameter_str *sr = next())
                            fillProperty(*sr, sub, sub.getDoubleValue());
                    }
                }
                break;
            default:
                // A foreign type code keeps its name and type; its value stays 0.
                if (r)
                    fillProperty(*r, p, 0.0);
                break;
            }
        }
    }
    return count;
}

HandOver buildHandOver(const CheckInput &input) {
    static const QList<Volum> noVolums;
    static const QList<Category> noCategories;
    static const QList<Material *> noMaterials;
    const QList<Volum> &volums = input.volums ? *input.volums : noVolums;
    const QList<Category> &general = input.categories ? *input.categories : noCategories;
    const QList<Material *> &materials = input.materials ? *input.materials : noMaterials;

    HandOver h;
    h.nvol = clampCount(volums.size());
    h.nmat = clampCount(materials.size());
    // Value-initialised: unused parameter records read as 0.
    if (volums.size() <= kVolumLimit)
        h.volums.resize(static_cast<std::size_t>(volums.size()));
    if (materials.size() <= kMaterialLimit)
        h.materials.resize(static_cast<std::size_t>(materials.size()));

    qint64 atoms = 0;
    for (const Volum &v : volums)
        atoms += v.getNumberOfAtoms();
    h.natoms = clampCount(atoms);

    if (!volums.isEmpty())
        h.nvparam = volums.first().getPropertiesCount();
    for (qsizetype n = 0; n < qsizetype(h.volums.size()); ++n) {
        const Volum &v = volums[n];
        volum_str &r = h.volums[static_cast<std::size_t>(n)];
        QString2char20(r.nom, kNameWidth, v.getName());
        r.indexname = materialIndex(v.getMaterial());
        r.xi = scaled(input.x, v.getMinX());
        r.xf = scaled(input.x, v.getMaxX());
        r.yi = scaled(input.y, v.getMinY());
        r.yf = scaled(input.y, v.getMaxY());
        r.zi = scaled(input.z, v.getMinZ());
        r.zf = scaled(input.z, v.getMaxZ());
        r.mxi = r.myi = r.mzi = 1;
        r.mxf = v.getxMalles();
        r.myf = v.getyMalles();
        r.mzf = v.getzMalles();
        flattenCategories(v.getCategories(), r.parameters, kParameterSlots);
    }

    // Past the limit the checker refuses on the count (1002): no records are made.
    const int nparam = flattenCategories(general, nullptr, 0);
    h.nparam = nparam;
    if (nparam <= kParameterLimit) {
        h.parameters.resize(static_cast<std::size_t>(nparam));
        flattenCategories(general, h.parameters.data(), nparam);
    }

    if (!materials.isEmpty() && materials.first())
        h.nmparam = materials.first()->getPropertiesCount();
    for (qsizetype n = 0; n < qsizetype(h.materials.size()); ++n) {
        material_str &r = h.materials[static_cast<std::size_t>(n)];
        const Material *m = materials[n];
        if (!m) {
            QString2char20(r.nom, kNameWidth, QString());
            r.indexname = kNoMaterialIndex;
            continue;
        }
        QString2char20(r.nom, kNameWidth, m->getName());
        r.indexname = m->getIndexName();
        flattenCategories(m->getCategories(), r.parameters, kParameterSlots);
    }

    if (input.atomRecords && atoms <= kAtomLimit) {
        h.atoms.reserve(static_cast<std::size_t>(atoms));
        for (qsizetype n = 0; n < volums.size(); ++n) {
            for (const Atom &a : volums[n].getAtoms()) {
                atom_str r{};
                r.x = a.getX();
                r.y = a.getY();
                r.z = a.getZ();
                r.materialindex = a.getMaterialIndex();
                r.noffset = a.offsetNumber();
                r.volumindex = static_cast<std::int32_t>(n);
                h.atoms.push_back(r);
            }
        }
    }
    return h;
}

namespace {

bool fitsLatin1(const QString &text) {
    return std::all_of(text.cbegin(), text.cend(), [](QChar c) { return c.unicode() <= 0xFF; });
}

QString outsideLatin1(const QString &what) {
    return QStringLiteral("The name of %1 has characters outside Latin-1, which the checker "
                          "cannot hold!")
        .arg(what);
}

// Why the settings of `owner` cannot be handed over: a name the checker's Latin-1 fields cannot
// hold, or a value that is not a finite number. Empty when they can.
QString settingsRefusal(const QList<Category> &categories, const QString &owner) {
    const auto check = [&](const Property &p, bool anyType) -> QString {
        const QString what = QStringLiteral("setting %1 of %2").arg(p.getName(), owner);
        if (!fitsLatin1(p.getName()))
            return outsideLatin1(what);
        const bool real = p.getType() == Property::Real || p.getType() == Property::RealExponent;
        if ((anyType || real) && !std::isfinite(p.getDoubleValue()))
            return QStringLiteral("The value of %1 is not a finite number!").arg(what);
        return QString();
    };
    for (const Category &category : categories) {
        for (const Property &p : category.getProperties()) {
            QString why = check(p, false);
            for (const Condition &c : p.getConditions()) {
                if (why.isEmpty() && !fitsLatin1(c.getName()))
                    why = outsideLatin1(QStringLiteral("choice %1 of %2").arg(c.getName(), owner));
                for (const Property &sub : c.getProperties()) {
                    if (why.isEmpty())
                        why = check(sub, true);
                }
            }
            if (!why.isEmpty())
                return why;
        }
    }
    return QString();
}

// Why the design cannot be handed over at all, before anything is allocated for it. A NaN or an
// infinity would pass comparisons that the checker's rules rely on (a NaN final time passes
// every bound), so no such value reaches it.
QString designRefusal(const CheckInput &input) {
    for (const Volum &volum : *input.volums) {
        const QString what = QStringLiteral("volum %1").arg(volum.getName());
        // Such a volum reaches the checker as material index -1, which it lets pass.
        if (!volum.getMaterial())
            return QStringLiteral("Volum %1 has no material!").arg(volum.getName());
        if (!fitsLatin1(volum.getName()))
            return outsideLatin1(what);
        const double corners[] = {
            scaled(input.x, volum.getMinX()), scaled(input.x, volum.getMaxX()),
            scaled(input.y, volum.getMinY()), scaled(input.y, volum.getMaxY()),
            scaled(input.z, volum.getMinZ()), scaled(input.z, volum.getMaxZ())};
        if (!std::all_of(std::begin(corners), std::end(corners),
                         [](double v) { return std::isfinite(v); }))
            return QStringLiteral("Volum %1 has a position or size that is not a finite number!")
                .arg(volum.getName());
        for (const Atom &atom : volum.getAtoms()) {
            if (!std::isfinite(atom.getX()) || !std::isfinite(atom.getY()) ||
                !std::isfinite(atom.getZ()))
                return QStringLiteral("Volum %1 has an atom whose position is not a finite "
                                      "number!")
                    .arg(volum.getName());
        }
        const QString why = settingsRefusal(volum.getCategories(), what);
        if (!why.isEmpty())
            return why;
    }
    if (input.categories) {
        const QString why =
            settingsRefusal(*input.categories, QStringLiteral("the general settings"));
        if (!why.isEmpty())
            return why;
    }
    if (input.materials) {
        for (const Material *material : *input.materials) {
            if (!material)
                continue;
            const QString what = QStringLiteral("material %1").arg(material->getName());
            if (!fitsLatin1(material->getName()))
                return outsideLatin1(what);
            const QString why = settingsRefusal(material->getCategories(), what);
            if (!why.isEmpty())
                return why;
        }
    }
    return QString();
}

// The checker's own out-of-memory line, for memory that runs out in the hand-over.
QByteArray outOfMemoryLine() {
    QByteArray line = " KARVENO ERROR [" + QByteArray::number(12001).rightJustified(12, ' ') +
                      " ] ALLOCATE ERROR. NOT ENOUGH MEMORY";
    return line.leftJustified(kVerdictLength, ' ');
}

} // namespace

QString CheckVerdict::text() const {
    if (!checked)
        return refusal.isEmpty() ? QStringLiteral("No volums to check!") : refusal;
    QByteArray trimmed = line;
    while (trimmed.endsWith(' '))
        trimmed.chop(1);
    return QString::fromLatin1(trimmed);
}

bool CheckVerdict::ok() const {
    return checked && line.trimmed() == "[OK] SIMULATION DESIGN FREE FROM ERRORS";
}

bool refusesDesign(const CheckInput &input, CheckVerdict &verdict) {
    verdict = CheckVerdict();
    if (!input.volums || input.volums->isEmpty())
        return true;
    verdict.refusal = designRefusal(input);
    return !verdict.refusal.isEmpty();
}

CheckVerdict outOfMemoryVerdict() {
    CheckVerdict verdict;
    verdict.checked = true;
    verdict.line = outOfMemoryLine();
    return verdict;
}

CheckVerdict runChecker(const HandOver &h, int version) {
    static std::mutex checkerInUse;
    const std::lock_guard<std::mutex> turn(checkerInUse);
    const std::int32_t ver = version;
    char error_retorn[kVerdictLength + 1];
    comprova_volums_valids(&ver, h.volums.data(), &h.nvol, &h.nvparam, h.materials.data(), &h.nmat,
                           &h.nmparam, h.parameters.data(), &h.nparam, h.atoms.data(), &h.natoms,
                           error_retorn);
    CheckVerdict verdict;
    verdict.checked = true;
    verdict.line = QByteArray(error_retorn); // read up to the NUL, like the designer's box
    verdict.volum = verdictVolum() - 1;
    return verdict;
}

CheckVerdict checkDesign(const CheckInput &input) {
    CheckVerdict verdict;
    if (refusesDesign(input, verdict))
        return verdict;
    try {
        return runChecker(buildHandOver(input), input.version);
    } catch (const std::bad_alloc &) {
        // Running out in the hand-over is reported as the checker reports it in its own tables.
        return outOfMemoryVerdict();
    }
}

CheckInput checkInputOf(const ProjectDesign &design, const MaterialsManager &registry) {
    CheckInput input;
    input.version = design.version;
    input.volums = &design.volums;
    input.categories = &design.categories;
    input.materials = registry.getMaterials();
    input.x = design.x;
    input.y = design.y;
    input.z = design.z;
    return input;
}

CheckVerdict checkDesign(const ProjectDesign &design, const MaterialsManager &registry) {
    return checkDesign(checkInputOf(design, registry));
}
