// The shipped catalogues and materials, read by the program's own readers. The design checker
// and the simulator address settings by position in the flattened list, so these tests pin the
// name and type of every position the checker reads: an edit that inserts, drops or moves a
// property fails here instead of silently changing what the simulator receives.

#include "check/handover.h"
#include "io/catalogue.h"
#include "io/materialfiles.h"
#include "model/category.h"
#include "model/categorywriter.h"
#include "model/material.h"
#include "model/materialsmanager.h"
#include "model/volum.h"

#include <QFile>
#include <QImage>
#include <QSet>
#include <QTextStream>
#include <QtTest>

#include <cmath>

namespace {

// How the checker converts a record, reduced to the property types that can carry it.
enum Kind {
    Real,    // real or time: type 2 or 3
    Integer, // floor: type 1
    Switch,  // floor equal to 1: type 0 or 1
    Number,  // a count read as a real (frame spacing) or rounded: type 1, 2 or 3
};

struct Record {
    QString name;
    int type = -1; // property type, or -1 for a condition record
    double value = 0.0;
};

// The walk of the checker hand-over: one record per property, and after a choice property one
// per condition followed by one per property of that condition.
QList<Record> flatten(const QList<Category> &categories) {
    QList<Record> out;
    for (const Category &category : categories) {
        for (const Property &p : category.getProperties()) {
            out.append({p.getName(), p.getType(), p.getDoubleValue()});
            if (p.getType() != Property::Choice)
                continue;
            for (const Condition &c : p.getConditions()) {
                out.append({c.getName(), -1, c.isActivated() ? 1.0 : 0.0});
                for (const Property &q : c.getProperties())
                    out.append({q.getName(), q.getType(), q.getDoubleValue()});
            }
        }
    }
    return out;
}

bool typeFits(Kind kind, int type) {
    switch (kind) {
    case Real:
        return type == Property::Real || type == Property::RealExponent;
    case Integer:
        return type == Property::Integer;
    case Switch:
        return type == Property::Boolean || type == Property::Integer;
    case Number:
        return type == Property::Integer || type == Property::Real ||
               type == Property::RealExponent;
    }
    return false;
}

// Checks one expected record of a flattened list; empty string when it holds.
QString mismatch(const QList<Record> &records, int position, const QString &name, Kind kind) {
    if (position > records.size())
        return QString("position %1 missing (list has %2)").arg(position).arg(records.size());
    const Record &r = records.at(position - 1);
    if (r.name != name)
        return QString("position %1 holds %2, expected %3").arg(position).arg(r.name, name);
    if (r.type < 0)
        return QString("position %1 (%2) is a condition record").arg(position).arg(name);
    if (!typeFits(kind, r.type))
        return QString("position %1 (%2) has type %3").arg(position).arg(name).arg(r.type);
    return {};
}

using Expected = QList<std::tuple<int, QString, Kind>>;

Expected generalExpected() {
    Expected e = {
        {1, "FINAL_TIME", Real},
        {2, "INITIAL_TIME", Real},
        {3, "SEED", Integer},
        {4, "NREPETITIONS", Integer},
        {5, "NPARTICLES", Integer},
        {6, "WARMUP_TIME", Real},
        {9, "FLAG_PARTICLES", Integer},
        {11, "WAVE_SOLVER", Integer},
        {12, "FLAG_POISSON", Integer},
        {13, "X1", Real},
        {14, "X2", Real},
        {15, "DISPERSIO_X", Real},
        {16, "DISPERSIO_Y", Real},
        {17, "DISPERSIO_Z", Real},
        {18, "DTSCHO", Real},
        {19, "DXSCHO", Real},
        {20, "DXWAVE_OUT", Real},
        {21, "DYSCHO", Real},
        {22, "CONFX", Switch},
        {23, "CONFY", Switch},
        {24, "CONFZ", Switch},
        {25, "EXCHANGE", Integer},
        {30, "SUPERPOSITION", Integer},
        {31, "NSTATES", Integer},
        {32, "NENERGIES", Integer},
        {33, "ENERGY_MIN", Real},
        {34, "ENERGY_MAX", Real},
        {35, "NCONDITIONAL", Integer},
        {38, "EXTENSION", Integer},
        {39, "ABSORBING", Real},
        {40, "EXTENSION_LENGTH", Real},
        {42, "ABSORBING_ORDER", Integer},
        {44, "EXTENSION_OUT", Integer},
        {46, "SKIP_X1X2", Integer},
        {47, "DTPOISSON", Real},
        {48, "POISSON_TOLERANCE", Real},
        {49, "POISSON_MAXITER", Integer},
        {50, "COULOMB_MANYBODY", Integer},
        {51, "POISSON_RELAX", Real},
        {52, "COULOMB_CUTOFF", Real},
        {53, "POISSON_METHOD", Integer},
        {54, "INIT_EQUILIBRIUM", Switch},
        {55, "FLAG_TUNNELING", Switch},
        {56, "FLAG_IMAGE_CHARGE", Switch},
        {57, "FLAG_SPIN", Switch},
        {58, "FLAG_PAULI", Switch},
        {59, "RANDOM_INJECTION", Switch},
        {60, "MAXWEVEVECTOR", Real},
        {63, "ACCELERATED_INJ", Switch},
        {64, "NINJECTION_STEPS", Integer},
    };
    // Eight injection blocks of 17 records from 67; the 17th is not read.
    const QList<std::pair<QString, Kind>> block = {
        {"INJECTION", Integer},      {"INJ_FERMI", Real},       {"INJ_TEMPERATURE", Real},
        {"INJ_DENSITY", Real},       {"INJ_PROBABILITY", Real}, {"INJ_SPIN_UP", Real},
        {"INJ_POS_Y", Real},         {"INJ_POS_Z", Real},       {"INJ_OVERLAP", Real},
        {"INJ_TIME", Real},          {"INJ_VOLUM", Integer},    {"INJ_DIRECTION", Integer},
        {"INJ_VALLEY", Integer},     {"INJ_NMAX", Integer},     {"SCAT_TIME", Real},
        {"SCAT_MECHANISM", Integer},
    };
    for (int j = 1; j <= 8; ++j) {
        const int base = 67 + 17 * (j - 1);
        for (int k = 0; k < block.size(); ++k)
            e.append({base + k, QString("%1_%2").arg(block[k].first).arg(j), block[k].second});
    }
    const Expected tail = {
        {204, "FLAG_OMEGA", Switch},
        {205, "DT_OMEGA", Real},
        {206, "OMEGA_X1", Integer},
        {207, "OMEGA_X2", Integer},
        {208, "OMEGA_Y1", Integer},
        {209, "OMEGA_Y2", Integer},
        {210, "OMEGA_Z1", Integer},
        {211, "OMEGA_Z2", Integer},
        {212, "OMEGA_FACES_X", Integer},
        {213, "OMEGA_FACES_Y", Integer},
        {214, "OMEGA_FACES_Z", Integer},
        {215, "OMEGA_NAVERAGE", Integer},
        {216, "OMEGA_START", Real},
        {218, "OUT_CURRENT", Switch},
        {219, "DT_CURRENT", Real},
        {221, "OUT_CHARGE", Switch},
        {222, "DT_CHARGE", Real},
        {224, "OUT_POTENTIAL", Switch},
        {225, "DT_POTENTIAL", Real},
        {227, "OUT_WAVEFUNCTION", Switch},
        {228, "DT_WAVEFUNCTION", Real},
        {230, "OUT_POSITIONS", Switch},
        {231, "DT_POSITIONS", Real},
        {233, "OUT_ENERGY", Switch},
        {234, "DT_ENERGY", Real},
        {236, "MOVIE", Switch},
        {237, "MOVIE_START", Real},
        {238, "MOVIE_END", Real},
        {239, "MOVIE_FRAME_STEPS", Number},
        {241, "OUT_SUMMARY", Switch},
        {242, "DT_SUMMARY", Real},
        {245, "FLAG_TRAJECTORIES", Integer},
        {246, "DT_TRAJECTORIES", Real},
        {248, "FLAG_MIG_TRANSMISSIO", Integer},
        {249, "DT_TRANSMISSIO", Real},
        {251, "TRANSMISSIO_NENERGY", Integer},
        {252, "TRANSMISSIO_NPACKET", Integer},
        {253, "TRANSMISSIO_VALLEY", Integer},
        {254, "TRANSMISSIO_EMAX", Real},
        {255, "TRANSMISSIO_TIME", Real},
        {257, "TRANSMISSIO_X_IN", Integer},
        {258, "TRANSMISSIO_X_OUT", Integer},
        {260, "TRANSMISSIO_OUT", Integer},
        {262, "TRANS2D", Integer},
        {263, "TRANS2D_ENERGY", Real},
        {264, "TRANS2D_ANGLE", Real},
        {265, "TRANS2D_NENERGY", Integer},
        {266, "TRANS2D_DENERGY", Real},
        {267, "TRANS2D_NANGLES", Integer},
        {268, "TRANS2D_VALLEY", Integer},
        {269, "TRANS2D_Z0", Real},
        {270, "TRANS2D_DZ", Real},
        {271, "TRANS2D_NPOINTS", Number},
        {272, "TRANS2D_VOLUM", Integer},
        {273, "TRANS2D_DIRECTION", Integer},
        {274, "TRANS2D_OUT", Integer},
        {275, "TRANS2D_NTRAJ", Integer},
    };
    return e + tail;
}

Expected volumExpected() {
    Expected e = {
        {1, "FLAG_SCATTERING", Switch},
        {2, "FLAGELECTRONS", Switch},
        {5, "INTERNAL_NOBOUNDARY", Switch},
        {7, "DC", Switch},
        {22, "TRANS", Switch},
        {23, "TRANS_V0", Real},
        {24, "TRANS_V1", Real},
        {25, "TRANS_RISE", Real},
        {26, "TRANS_NSTEPS0", Integer},
        {27, "TRANS_NSTEPS1", Integer},
        {28, "TRANS_NREPEAT", Integer},
        {29, "TRANS_SHAPE", Integer},
        {31, "AC", Switch},
        {32, "AC_OFFSET", Real},
        {33, "AC_AMPLITUDE", Real},
        {34, "AC_FREQUENCY", Real},
        {35, "AC_PHASE", Real},
        {36, "AC_SHAPE", Integer},
        {37, "AC_START", Real},
        {38, "AC_AMPLITUDE2", Real},
        {39, "AC_FREQUENCY2", Real},
        {40, "AC_PHASE2", Real},
        {41, "AC_NSTEPS", Integer},
        {42, "AC_NPERIODS", Integer},
        {43, "AC_NSAMPLES", Integer},
        {45, "ELECTRIC_FIELD=0", Switch},
        {47, "CHARGE_NEUTRALITY", Switch},
        {53, "NSTOP_CON", Real},
        {54, "MITJA_CON", Real},
        {55, "FILTRE", Real},
        {56, "ITERNEUSTART", Integer},
        {65, "FLOATING", Switch},
    };
    const QStringList dc = {"DC_VOLTAGE",     "DC_VOLTAGE_END", "DC_VOLTAGE_STEP", "DC_FERMI",
                            "DC_TEMPERATURE", "DC_DENSITY",     "DC_BARRIER",      "DC_RESISTANCE",
                            "DC_SWEEP_TIME",  "DC_RAMP_TIME",   "DC_WORKFUNCTION", "DC_CAPACITANCE",
                            "DC_INDUCTANCE"};
    for (int k = 0; k < dc.size(); ++k)
        e.append({8 + k, dc[k], Real});
    return e;
}

Expected materialExpected() {
    Expected e = {
        {1, "PERMITTIVITY", Real},     {2, "ELECTRON_AFFINITY", Real}, {3, "BANDGAP", Real},
        {4, "DENSITY", Real},          {5, "SOUND_VELOCITY", Real},    {6, "DOPING_TYPE", Integer},
        {7, "DOPING", Real},           {8, "ELECTRON_DENSITY", Real},  {9, "FERMI_LEVEL", Real},
        {10, "OPTICAL_PHONON", Real},  {11, "ACOUSTIC_DEFPOT", Real},  {12, "EPS_HIGHFREQ", Real},
        {13, "NONPARABOLICITY", Real}, {14, "MOBILITY", Real},         {15, "PARABOLIC", Switch},
        {81, "LINEAR", Switch},        {150, "TIGHT_BINDING", Switch},
    };
    const QList<std::pair<QString, Kind>> parabolic = {
        {"VALLEY", Switch}, {"MX", Real},    {"MY", Real},     {"MZ", Real},
        {"EMIN", Real},     {"ALPHA", Real}, {"SIGN", Switch},
    };
    const QList<std::pair<QString, Kind>> linear = {
        {"LVALLEY", Switch}, {"VFX", Real},       {"VFY", Real},     {"VFZ", Real},
        {"EDIRAC", Real},    {"DIRAC_GAP", Real}, {"LSIGN", Switch},
    };
    for (int v = 1; v <= 8; ++v) {
        for (int k = 0; k < 7; ++k) {
            e.append({18 + 8 * (v - 1) + k, parabolic[k].first + QString::number(v),
                      parabolic[k].second});
            e.append(
                {84 + 8 * (v - 1) + k, linear[k].first + QString::number(v), linear[k].second});
        }
    }
    const QList<std::pair<QString, Kind>> scattering = {
        {"SCAT", Integer},    {"MECH", Integer},    {"TAU", Real},
        {"EPH", Real},        {"DEFPOT", Real},     {"NIMP", Real},
        {"ZIMP", Real},       {"SCREEN", Real},     {"OPWIDTH", Real},
        {"EMIN_SCAT", Real},  {"EMAX_SCAT", Real},  {"ROUGHNESS", Real},
        {"CORRLENGTH", Real}, {"EPSINF", Real},     {"FINALVALLEY", Integer},
        {"NFINAL", Integer},  {"PROCESS", Integer}, {"ISOTROPIC", Integer},
        {"PMAX", Real},       {"ANGLEMAX", Real},   {"OPTIME", Real},
        {"WEIGHT", Real},
    };
    for (int s = 1; s <= 10; ++s) {
        for (int k = 0; k < scattering.size(); ++k)
            e.append({284 + 23 * (s - 1) + k, scattering[k].first + QString::number(s),
                      scattering[k].second});
    }
    return e;
}

void addRows(const Expected &expected) {
    QTest::addColumn<int>("position");
    QTest::addColumn<QString>("name");
    QTest::addColumn<int>("kind");
    for (const auto &[position, name, kind] : expected)
        QTest::newRow(qPrintable(QString("%1 %2").arg(position).arg(name)))
            << position << name << int(kind);
}

QStringList capturedMessages;

void captureMessages(QtMsgType, const QMessageLogContext &, const QString &message) {
    capturedMessages.append(message);
}

QString fileText(const QString &path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
        return {};
    return QString::fromUtf8(file.readAll());
}

QString written(const QList<Category> &categories) {
    QString text;
    QTextStream out(&text);
    setDesignNumberFormat(out);
    writeCategoryList(out, categories);
    out.flush();
    return text;
}

// Sets a property of a category list by name, as the property form would.
bool setSetting(QList<Category> &categories, const QString &name, double value) {
    for (Category &category : categories)
        for (Property &p : category.getProperties())
            if (p.getName() == name) {
                if (p.getType() == Property::Boolean)
                    p.setValue(value == 1.0);
                else if (p.getType() == Property::Integer)
                    p.setValue(int(value));
                else
                    p.setValue(value);
                return true;
            }
    return false;
}

enum class Role { Contact, Channel, Cladding };

} // namespace

class TestShippedData : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();

    void filesReadWithoutForeignTypes();
    void generalRecordsSitWhereTheCheckerReadsThem_data();
    void generalRecordsSitWhereTheCheckerReadsThem();
    void volumRecordsSitWhereTheCheckerReadsThem_data();
    void volumRecordsSitWhereTheCheckerReadsThem();
    void materialRecordsSitWhereTheCheckerReadsThem_data();
    void materialRecordsSitWhereTheCheckerReadsThem();
    void everyCatalogueOffersAChoiceAfterTheRecordsRead();
    void materialsAreNumberedOneToN();
    void basisOffsetsNameRegisteredMaterials();
    void eachMaterialHasExactlyOneDispersion();
    void initialValuesStartAPassingClassicalDesign();
    void savingChangesNothingInTheShippedFiles();
    void valuesSurviveTheEditors();
    void simpleDevicesPassTheChecker_data();
    void simpleDevicesPassTheChecker();
    void buttonImagesLoad_data();
    void buttonImagesLoad();

private:
    GeneralCatalogue general;
    QList<Category> volumCategories;
    MaterialsManager registry;
    QStringList loadMessages; // the debug channel while the files were read

    QList<Record> generalRecords;
    QList<Record> volumRecords;
    QList<QList<Record>> materialRecords;

    double G(int k) const { return generalRecords.value(k - 1).value; }
};

void TestShippedData::initTestCase() {
    capturedMessages.clear();
    const QtMessageHandler previous = qInstallMessageHandler(captureMessages);
    const bool generalRead = readGeneralCatalogue(kGeneralCataloguePath, general);
    const bool volumRead = readVolumCatalogue(kVolumCataloguePath, volumCategories);
    const bool materialsRead = loadMaterialFolder(kMaterialFolderPath, registry);
    qInstallMessageHandler(previous);
    loadMessages = capturedMessages;

    QVERIFY2(generalRead, kGeneralCataloguePath);
    QVERIFY2(volumRead, kVolumCataloguePath);
    QVERIFY2(materialsRead, kMaterialFolderPath);
    generalRecords = flatten(general.categories);
    volumRecords = flatten(volumCategories);
    for (const Material *m : *registry.getMaterials())
        materialRecords.append(flatten(m->getCategories()));
    QVERIFY(registry.getMaterials()->size() >= 5);
}

void TestShippedData::filesReadWithoutForeignTypes() {
    for (const QString &m : std::as_const(loadMessages))
        QVERIFY2(!m.contains("Unexpected type of propertie"), qPrintable(m));
    QCOMPARE(general.version, 1);

    // The checker refuses lists of 1000 records or more; the counts must also match the walk
    // above, or the hand-over would misplace every record.
    QCOMPARE(flattenedCount(general.categories), generalRecords.size());
    QVERIFY(generalRecords.size() <= 999);
    QCOMPARE(flattenedCount(volumCategories), volumRecords.size());
    QVERIFY(volumRecords.size() <= 999);
    for (const Material *m : *registry.getMaterials()) {
        QCOMPARE(m->getPropertiesCount(), flattenedCount(m->getCategories()));
        QVERIFY2(m->getPropertiesCount() <= 999, qPrintable(m->getName()));
    }
}

void TestShippedData::generalRecordsSitWhereTheCheckerReadsThem_data() {
    addRows(generalExpected());
}

void TestShippedData::generalRecordsSitWhereTheCheckerReadsThem() {
    QFETCH(int, position);
    QFETCH(QString, name);
    QFETCH(int, kind);
    const QString error = mismatch(generalRecords, position, name, Kind(kind));
    QVERIFY2(error.isEmpty(), qPrintable(error));
}

void TestShippedData::volumRecordsSitWhereTheCheckerReadsThem_data() {
    addRows(volumExpected());
}

void TestShippedData::volumRecordsSitWhereTheCheckerReadsThem() {
    QFETCH(int, position);
    QFETCH(QString, name);
    QFETCH(int, kind);
    const QString error = mismatch(volumRecords, position, name, Kind(kind));
    QVERIFY2(error.isEmpty(), qPrintable(error));
}

void TestShippedData::materialRecordsSitWhereTheCheckerReadsThem_data() {
    addRows(materialExpected());
}

void TestShippedData::materialRecordsSitWhereTheCheckerReadsThem() {
    QFETCH(int, position);
    QFETCH(QString, name);
    QFETCH(int, kind);
    const QList<Material *> &materials = *registry.getMaterials();
    for (int m = 0; m < materials.size(); ++m) {
        const QString error = mismatch(materialRecords.at(m), position, name, Kind(kind));
        QVERIFY2(error.isEmpty(), qPrintable(materials.at(m)->getName() + ": " + error));
    }
}

void TestShippedData::everyCatalogueOffersAChoiceAfterTheRecordsRead() {
    // A choice adds records that depend on its conditions; one placed after the last record the
    // checker reads can never shift a read position.
    const auto firstChoice = [](const QList<Record> &records) {
        for (int i = 0; i < records.size(); ++i)
            if (records[i].type == Property::Choice)
                return i + 1;
        return 0;
    };
    QVERIFY(firstChoice(generalRecords) > 275);
    QVERIFY(firstChoice(volumRecords) > 65);
    for (const QList<Record> &records : std::as_const(materialRecords))
        QVERIFY(firstChoice(records) > 513);
}

void TestShippedData::materialsAreNumberedOneToN() {
    // The checker keeps one material entry per index number from 0 to the number of materials,
    // so the shipped numbers are 1..N, each used once.
    const QList<Material *> &materials = *registry.getMaterials();
    QSet<int> indices;
    for (const Material *m : materials) {
        QVERIFY2(m->getIndexName() >= 1 && m->getIndexName() <= materials.size(),
                 qPrintable(m->getName()));
        indices.insert(m->getIndexName());
    }
    QCOMPARE(indices.size(), materials.size());
    QSet<QString> names;
    for (const Material *m : materials) {
        QVERIFY2(!m->getName().isEmpty() && !m->getName().contains(' '), qPrintable(m->getName()));
        QVERIFY2(m->getName().size() <= 20, qPrintable(m->getName()));
        names.insert(m->getName());
        QCOMPARE(m->getColor().alpha(), 255);
    }
    QCOMPARE(names.size(), materials.size());
}

void TestShippedData::basisOffsetsNameRegisteredMaterials() {
    for (const Material *m : *registry.getMaterials()) {
        QVERIFY2(!m->getOffsets().isEmpty(), qPrintable(m->getName()));
        for (const Coord &offset : m->getOffsets())
            QVERIFY2(registry.getMaterial(offset.getMaterialName()) != nullptr,
                     qPrintable(m->getName() + " names " + offset.getMaterialName()));
        // Three independent primitive vectors, or the lattice generator has no cell.
        const Coord a = m->getAtomVec1(), b = m->getAtomVec2(), c = m->getAtomVec3();
        const double volume = a.getX() * (b.getY() * c.getZ() - b.getZ() * c.getY()) -
                              a.getY() * (b.getX() * c.getZ() - b.getZ() * c.getX()) +
                              a.getZ() * (b.getX() * c.getY() - b.getY() * c.getX());
        QVERIFY2(std::abs(volume) > 1.0, qPrintable(m->getName()));
    }
}

void TestShippedData::eachMaterialHasExactlyOneDispersion() {
    // Both on, or neither, stops every design at the material stage; tight binding is refused.
    const QList<Material *> &materials = *registry.getMaterials();
    bool someLinear = false;
    for (int m = 0; m < materials.size(); ++m) {
        const QList<Record> &r = materialRecords.at(m);
        const bool parabolic = std::floor(r.value(14).value) == 1;
        const bool linear = std::floor(r.value(80).value) == 1;
        QVERIFY2(parabolic != linear, qPrintable(materials[m]->getName()));
        QVERIFY2(std::floor(r.value(149).value) != 1, qPrintable(materials[m]->getName()));
        if (linear) {
            someLinear = true;
            QVERIFY2(r.value(84).value > 0, "a linear material needs its Fermi velocity");
        } else {
            QVERIFY2(r.value(18).value > 0, "a parabolic material needs its effective mass");
        }
    }
    QVERIFY(someLinear);
}

void TestShippedData::initialValuesStartAPassingClassicalDesign() {
    // Classical particles without a wave solver: the Poisson step is the time step.
    QCOMPARE(G(9), 1.0);
    QCOMPARE(G(11), 0.0);
    QCOMPARE(G(248), 0.0); // transmission needs quantum particles
    QVERIFY(G(4) <= 10000 && G(5) >= 1);
    const double dt = G(47);
    QVERIFY(dt > 0);
    // Wave designs keep the output intervals valid when DTPOISSON is a multiple of DTSCHO.
    const double perPoisson = dt / G(18);
    QVERIFY(perPoisson >= 1 && std::abs(perPoisson - std::round(perPoisson)) < 1e-6);

    QSet<int> mechanisms;
    for (const QList<Record> &r : std::as_const(materialRecords))
        for (int s = 0; s < 10; ++s)
            mechanisms.insert(int(std::floor(r.value(284 + 23 * s).value)));
    for (int j = 0; j < 8; ++j) {
        const int b = 67 + 17 * j;
        for (int k = 4; k <= 8; ++k)
            QVERIFY2(G(b + k) > 0 && G(b + k) < 1, qPrintable(QString::number(b + k)));
        QVERIFY(G(b + 9) >= dt);
        QVERIFY(G(b + 14) > G(b + 9));
        QCOMPARE(G(b + 10), 1.0); // every design has a first volum
        QVERIFY2(mechanisms.contains(int(std::floor(G(b + 15)))),
                 "injection names a scattering mechanism no material defines");
    }
    for (int k : {205, 219, 222, 225, 228, 231, 234, 242}) {
        const double steps = G(k) / dt;
        QVERIFY2(steps >= 1 && std::abs(steps - std::round(steps)) < 1e-6,
                 qPrintable(QString::number(k)));
    }
    QCOMPARE(G(63), 1.0); // parabolic contacts need the accelerated injection
    QVERIFY(G(64) >= 5 && G(64) <= 300);
    QVERIFY(G(238) <= G(1) && G(239) <= 999999);
    QVERIFY(G(272) >= 1 && G(275) <= 1000);
    QVERIFY(G(13) >= 3.5 * G(15) && G(14) >= 3.5 * G(15));
}

void TestShippedData::savingChangesNothingInTheShippedFiles() {
    // Every value already has the 6 significant digits a save keeps, so opening the catalogues
    // and saving a project loses nothing.
    QString text = fileText(kGeneralCataloguePath);
    QVERIFY(text.startsWith("1\n"));
    QCOMPARE(written(general.categories), text.mid(2));
    QCOMPARE(written(volumCategories), fileText(kVolumCataloguePath));
    for (const Material *m : *registry.getMaterials()) {
        QString blocks;
        QTextStream out(&blocks);
        setDesignNumberFormat(out);
        m->writeMaterialProperties(out);
        out.flush();
        const QString file =
            fileText(QString(kMaterialFolderPath) + "/" + m->getName().toLower() + ".txt");
        QVERIFY2(file.endsWith(blocks), qPrintable(m->getName()));
    }
}

void TestShippedData::valuesSurviveTheEditors() {
    // The property form keeps 10 decimals of a real within +-999999999 (smaller values belong in
    // type 3, mantissa and exponent); the materials dialog keeps 4 decimals of a lattice vector
    // or a basis offset. A shipped value they would round is changed by merely accepting a
    // dialog.
    const auto checkReals = [](const QList<Category> &categories, const QString &where) {
        const auto check = [&](const Property &p) {
            if (p.getType() != Property::Real)
                return;
            const double v = p.getDoubleValue();
            const double kept = std::round(v * 1e10) / 1e10;
            QVERIFY2(std::abs(v) <= 999999999.0 && std::abs(kept - v) <= 1e-6 * std::abs(v),
                     qPrintable(where + ": " + p.getName()));
        };
        for (const Category &c : categories)
            for (const Property &p : c.getProperties()) {
                check(p);
                for (const Condition &condition : p.getConditions())
                    for (const Property &q : condition.getProperties())
                        check(q);
            }
    };
    checkReals(general.categories, "general");
    checkReals(volumCategories, "volum");
    for (const Material *m : *registry.getMaterials()) {
        checkReals(m->getCategories(), m->getName());
        QList<Coord> points = m->getOffsets();
        points << m->getAtomVec1() << m->getAtomVec2() << m->getAtomVec3();
        for (const Coord &c : std::as_const(points))
            for (double x : {c.getX(), c.getY(), c.getZ()})
                QVERIFY2(std::abs(x - std::round(x * 1e4) / 1e4) < 1e-6, qPrintable(m->getName()));
    }
}

void TestShippedData::simpleDevicesPassTheChecker_data() {
    QTest::addColumn<int>("solver");
    QTest::newRow("classical particles") << 0;
    QTest::newRow("effective-mass waves") << 1;
    QTest::newRow("Dirac waves") << 2;
}

void TestShippedData::simpleDevicesPassTheChecker() {
    // A source and a drain contact along x, a channel between them wrapped on its four sides by
    // one-cell-thick oxide claddings: every volum starts from the volum catalogue and only the
    // settings that its role needs are changed (docs/records.md lists them). Lengths in
    // Angstrom, 1 nm cells. The Dirac device is a graphene sheet wide enough along z for its
    // wave packets.
    QFETCH(int, solver);
    const bool dirac = solver == 2;
    Material *contact = registry.getMaterial(dirac ? "Graphene" : "Aluminium");
    Material *channel = registry.getMaterial(dirac ? "Graphene" : "Silicon");
    Material *oxide = registry.getMaterial("SiO2");
    QVERIFY(contact && channel && oxide);

    const double width = dirac ? 700 : 30; // along z
    const int nz = int(width / 10);
    QList<Volum> volums;
    const auto add = [&](const char *name, Material *m, Role role, double x, double y, double z,
                         double sx, double sy, double sz) {
        Volum v(name, int(sx / 10), int(sy / 10), int(sz / 10), volumCategories);
        v.setMaterial(m);
        v.addCoords(Coord(x, y, z), float(sx), float(sy), float(sz));
        QList<Category> &c = v.getCategories();
        if (role != Role::Cladding) {
            QVERIFY(setSetting(c, "FLAGELECTRONS", 1));
            QVERIFY(setSetting(c, "ELECTRIC_FIELD=0", 0));
        }
        if (role == Role::Contact)
            QVERIFY(setSetting(c, "DC", 1));
        if (role == Role::Channel)
            QVERIFY(setSetting(c, "INTERNAL_NOBOUNDARY", 1));
        volums.append(v);
    };
    add("source", contact, Role::Contact, 0, 0, 0, 100, 30, width);
    add("channel", channel, Role::Channel, 100, 10, 10, 200, 10, width - 20);
    add("drain", contact, Role::Contact, 300, 0, 0, 100, 30, width);
    add("belowY", oxide, Role::Cladding, 100, 0, 0, 200, 10, width);
    add("aboveY", oxide, Role::Cladding, 100, 20, 0, 200, 10, width);
    add("belowZ", oxide, Role::Cladding, 100, 10, 0, 200, 10, 10);
    add("aboveZ", oxide, Role::Cladding, 100, 10, width - 10, 200, 10, 10);
    QCOMPARE(volums.first().getzMalles(), nz);

    QList<Category> settings = general.categories;
    if (solver > 0) {
        QVERIFY(setSetting(settings, "FLAG_PARTICLES", 0));
        QVERIFY(setSetting(settings, "WAVE_SOLVER", solver));
    }
    QVERIFY(setSetting(settings, "INJECTION_1", 1));
    QVERIFY(setSetting(settings, "INJ_VOLUM_1", 1));
    QVERIFY(setSetting(settings, "INJECTION_2", 1));
    QVERIFY(setSetting(settings, "INJ_VOLUM_2", 3));

    CheckInput input;
    input.version = general.version;
    input.volums = &volums;
    input.categories = &settings;
    input.materials = registry.getMaterials();
    const CheckVerdict verdict = checkDesign(input);
    QVERIFY2(verdict.ok(), qPrintable(verdict.trimmed()));
}

void TestShippedData::buttonImagesLoad_data() {
    QTest::addColumn<QString>("path");
    QTest::newRow("help") << "data/images/helpbutton.gif";
    QTest::newRow("add") << "data/images/AddIcon.png";
    QTest::newRow("delete") << "data/images/Delete-icon.png";
}

void TestShippedData::buttonImagesLoad() {
    // Tool-button icons: small, square, with a transparent background.
    QFETCH(QString, path);
    const QImage image(path);
    QVERIFY2(!image.isNull(), qPrintable(path));
    QCOMPARE(image.width(), image.height());
    QVERIFY(image.width() >= 16 && image.width() <= 24);
    QVERIFY(image.hasAlphaChannel());
    QCOMPARE(image.pixelColor(0, 0).alpha(), 0);
}

QTEST_GUILESS_MAIN(TestShippedData)
#include "tst_shippeddata.moc"
