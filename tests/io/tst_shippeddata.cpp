// The shipped catalogues and materials. The checker and the simulator address settings by position
// in the flattened list, so the name and type of every position the checker reads is pinned: an
// edit that inserts, drops or moves a property fails here, not silently in the simulator.

#include "check/handover.h"
#include "io/catalogue.h"
#include "io/materialfiles.h"
#include "iotest.h"
#include "model/material.h"
#include "model/materialsmanager.h"
#include "model/volum.h"

#include <QHash>
#include <QTest>

#include <climits>

namespace {

// Positions the checker reads. A number sets the position of the next entry, which is otherwise
// one after the previous one; an entry is a name and how the checker converts it: r real (type 2
// or 3), i integer (floor, type 1), s switch (type 0 or 1), n a count read as a real (1, 2 or 3).
const char kGeneral[] =
    "1 FINAL_TIME r INITIAL_TIME r SEED i NREPETITIONS i NPARTICLES i WARMUP_TIME r "
    "9 FLAG_PARTICLES i 11 WAVE_SOLVER i FLAG_POISSON i X1 r X2 r DISPERSIO_X r DISPERSIO_Y r "
    "DISPERSIO_Z r DTSCHO r DXSCHO r DXWAVE_OUT r DYSCHO r CONFX s CONFY s CONFZ s EXCHANGE i "
    "30 SUPERPOSITION i NSTATES i NENERGIES i ENERGY_MIN r ENERGY_MAX r NCONDITIONAL i "
    "38 EXTENSION i ABSORBING r EXTENSION_LENGTH r 42 ABSORBING_ORDER i 44 EXTENSION_OUT i "
    "46 SKIP_X1X2 i DTPOISSON r POISSON_TOLERANCE r POISSON_MAXITER i COULOMB_MANYBODY i "
    "POISSON_RELAX r COULOMB_CUTOFF r POISSON_METHOD i INIT_EQUILIBRIUM s FLAG_TUNNELING s "
    "FLAG_IMAGE_CHARGE s FLAG_SPIN s FLAG_PAULI s RANDOM_INJECTION s MAXWEVEVECTOR r "
    "63 ACCELERATED_INJ s NINJECTION_STEPS i "
    "204 FLAG_OMEGA s DT_OMEGA r OMEGA_X1 i OMEGA_X2 i OMEGA_Y1 i OMEGA_Y2 i OMEGA_Z1 i OMEGA_Z2 i "
    "OMEGA_FACES_X i OMEGA_FACES_Y i OMEGA_FACES_Z i OMEGA_NAVERAGE i OMEGA_START r "
    "218 OUT_CURRENT s DT_CURRENT r 221 OUT_CHARGE s DT_CHARGE r 224 OUT_POTENTIAL s "
    "DT_POTENTIAL r 227 OUT_WAVEFUNCTION s DT_WAVEFUNCTION r 230 OUT_POSITIONS s DT_POSITIONS r "
    "233 OUT_ENERGY s DT_ENERGY r 236 MOVIE s MOVIE_START r MOVIE_END r MOVIE_FRAME_STEPS n "
    "241 OUT_SUMMARY s DT_SUMMARY r 245 FLAG_TRAJECTORIES i DT_TRAJECTORIES r "
    "248 FLAG_MIG_TRANSMISSIO i DT_TRANSMISSIO r 251 TRANSMISSIO_NENERGY i TRANSMISSIO_NPACKET i "
    "TRANSMISSIO_VALLEY i TRANSMISSIO_EMAX r TRANSMISSIO_TIME r 257 TRANSMISSIO_X_IN i "
    "TRANSMISSIO_X_OUT i 260 TRANSMISSIO_OUT i 262 TRANS2D i TRANS2D_ENERGY r TRANS2D_ANGLE r "
    "TRANS2D_NENERGY i TRANS2D_DENERGY r TRANS2D_NANGLES i TRANS2D_VALLEY i TRANS2D_Z0 r "
    "TRANS2D_DZ r TRANS2D_NPOINTS n TRANS2D_VOLUM i TRANS2D_DIRECTION i TRANS2D_OUT i "
    "TRANS2D_NTRAJ i";
// Eight injection blocks of 17 records from 67, names suffixed _1 to _8; the 17th is not read.
const char kInjection[] =
    "67 INJECTION i INJ_FERMI r INJ_TEMPERATURE r INJ_DENSITY r INJ_PROBABILITY r INJ_SPIN_UP r "
    "INJ_POS_Y r INJ_POS_Z r INJ_OVERLAP r INJ_TIME r INJ_VOLUM i INJ_DIRECTION i INJ_VALLEY i "
    "INJ_NMAX i SCAT_TIME r SCAT_MECHANISM i";
const char kVolum[] =
    "1 FLAG_SCATTERING s FLAGELECTRONS s 5 INTERNAL_NOBOUNDARY s 7 DC s DC_VOLTAGE r "
    "DC_VOLTAGE_END r DC_VOLTAGE_STEP r DC_FERMI r DC_TEMPERATURE r DC_DENSITY r DC_BARRIER r "
    "DC_RESISTANCE r DC_SWEEP_TIME r DC_RAMP_TIME r DC_WORKFUNCTION r DC_CAPACITANCE r "
    "DC_INDUCTANCE r 22 TRANS s TRANS_V0 r TRANS_V1 r TRANS_RISE r TRANS_NSTEPS0 i "
    "TRANS_NSTEPS1 i TRANS_NREPEAT i TRANS_SHAPE i 31 AC s AC_OFFSET r AC_AMPLITUDE r "
    "AC_FREQUENCY r AC_PHASE r AC_SHAPE i AC_START r AC_AMPLITUDE2 r AC_FREQUENCY2 r AC_PHASE2 r "
    "AC_NSTEPS i AC_NPERIODS i AC_NSAMPLES i 45 ELECTRIC_FIELD=0 s 47 CHARGE_NEUTRALITY s "
    "53 NSTOP_CON r MITJA_CON r FILTRE r ITERNEUSTART i 65 FLOATING s";
const char kMaterial[] =
    "1 PERMITTIVITY r ELECTRON_AFFINITY r BANDGAP r DENSITY r SOUND_VELOCITY r DOPING_TYPE i "
    "DOPING r ELECTRON_DENSITY r FERMI_LEVEL r OPTICAL_PHONON r ACOUSTIC_DEFPOT r EPS_HIGHFREQ r "
    "NONPARABOLICITY r MOBILITY r PARABOLIC s 81 LINEAR s 150 TIGHT_BINDING s";
// Eight valleys of each kind, 8 records apart, names suffixed 1 to 8.
const char kParabolicValley[] = "18 VALLEY s MX r MY r MZ r EMIN r ALPHA r SIGN s";
const char kLinearValley[] = "84 LVALLEY s VFX r VFY r VFZ r EDIRAC r DIRAC_GAP r LSIGN s";
// Ten scattering blocks of 23 records from 284, names suffixed 1 to 10.
const char kScattering[] =
    "284 SCAT i MECH i TAU r EPH r DEFPOT r NIMP r ZIMP r SCREEN r OPWIDTH r EMIN_SCAT r "
    "EMAX_SCAT r ROUGHNESS r CORRLENGTH r EPSINF r FINALVALLEY i NFINAL i PROCESS i ISOTROPIC i "
    "PMAX r ANGLEMAX r OPTIME r WEIGHT r";

struct Expected {
    int position;
    QString name;
    QChar kind;
};

// `repeat` copies of a table, each `stride` further on, names suffixed with separator + copy.
QList<Expected> positions(const char *table, int repeat = 0, int stride = 0,
                          const QString &separator = {}) {
    const QStringList words = QString::fromLatin1(table).split(' ', Qt::SkipEmptyParts);
    QList<Expected> out;
    for (int copy = 1; copy <= std::max(repeat, 1); ++copy) {
        int next = 1;
        for (int i = 0; i < words.size(); ++i) {
            bool number = false;
            const int at = words[i].toInt(&number);
            if (number) {
                next = at;
                continue;
            }
            const QString suffix = repeat ? separator + QString::number(copy) : QString();
            out.append({next++ + (copy - 1) * stride, words[i] + suffix, words[i + 1][0]});
            ++i;
        }
    }
    return out;
}

bool typeFits(QChar kind, int type) {
    static const QHash<QChar, QList<int>> allowed = {
        {'r', {2, 3}}, {'i', {1}}, {'s', {0, 1}}, {'n', {1, 2, 3}}};
    return allowed.value(kind).contains(type);
}

struct Record {
    QString name;
    int type; // -1 for a condition record
};

// The hand-over's walk: one record per property; after a choice, one per condition followed by
// one per property of that condition.
QList<Record> flatten(const QList<Category> &categories) {
    QList<Record> out;
    for (const Category &category : categories)
        for (const Property &p : category.getProperties()) {
            out.append({p.getName(), p.getType()});
            if (p.getType() == Property::Choice)
                for (const Condition &c : p.getConditions()) {
                    out.append({c.getName(), -1});
                    for (const Property &q : c.getProperties())
                        out.append({q.getName(), q.getType()});
                }
        }
    return out;
}

void check(const QList<Record> &records, const QList<Expected> &expected, const QString &what) {
    for (const Expected &e : expected) {
        const Record r = records.value(e.position - 1, {QStringLiteral("(missing)"), -1});
        const QString found = QStringLiteral("%1 at %2: %3 of type %4, expected %5 (%6)")
                                  .arg(what, QString::number(e.position), r.name)
                                  .arg(r.type)
                                  .arg(e.name, e.kind);
        QVERIFY2(r.name == e.name && typeFits(e.kind, r.type), qPrintable(found));
    }
}

int firstChoice(const QList<Record> &records) {
    for (int i = 0; i < records.size(); ++i)
        if (records[i].type == Property::Choice)
            return i + 1;
    return INT_MAX;
}

bool setSetting(QList<Category> &categories, const QString &name, double value) {
    for (Category &category : categories)
        for (Property &p : category.getProperties())
            if (p.getName() == name) {
                p.setValue(value);
                return true;
            }
    return false;
}

} // namespace

class TestShippedData : public QObject {
    Q_OBJECT

    GeneralCatalogue general;
    QList<Category> volumCategories;
    MaterialsManager registry;

private slots:
    void initTestCase() {
        MessageLog log;
        ReadProblems problems;
        QList<FileProblems> materialProblems;
        QVERIFY(readGeneralCatalogue(kGeneralCataloguePath, general, &problems));
        QVERIFY(readVolumCatalogue(kVolumCataloguePath, volumCategories, &problems));
        QVERIFY(loadMaterialFolder(kMaterialFolderPath, registry, &materialProblems));
        QCOMPARE(log.count(QStringLiteral("Unexpected type of propertie")), 0);
        QVERIFY(problems.isEmpty() && materialProblems.isEmpty());
        QCOMPARE(general.version, 1);
        QVERIFY(registry.getMaterials()->size() >= 5);
    }

    void recordsSitWhereTheCheckerReadsThem() {
        const QList<Record> g = flatten(general.categories), v = flatten(volumCategories);
        check(g, positions(kGeneral) + positions(kInjection, 8, 17, "_"), "general");
        check(v, positions(kVolum), "volum");
        // The checker refuses 1000 records or more; the model's count must agree with the walk, and
        // a choice (whose records depend on its conditions) may only follow the last record read.
        QCOMPARE(flattenedCount(general.categories), g.size());
        QCOMPARE(flattenedCount(volumCategories), v.size());
        QVERIFY(g.size() < 1000 && v.size() < 1000);
        QVERIFY(firstChoice(g) > 275 && firstChoice(v) > 65);
        const QList<Expected> material = positions(kMaterial) + positions(kParabolicValley, 8, 8) +
                                         positions(kLinearValley, 8, 8) +
                                         positions(kScattering, 10, 23);
        for (const Material *m : *registry.getMaterials()) {
            const QList<Record> r = flatten(m->getCategories());
            check(r, material, m->getName());
            QCOMPARE(m->getPropertiesCount(), r.size());
            QVERIFY(r.size() < 1000 && firstChoice(r) > 513);
        }
    }

    void simpleDevicesPassTheChecker_data() {
        QTest::addColumn<int>("solver");
        QTest::newRow("classical particles") << 0;
        QTest::newRow("effective-mass waves") << 1;
        QTest::newRow("Dirac waves") << 2;
    }
    void simpleDevicesPassTheChecker() {
        // Source, channel and drain along x, the channel clad on four sides by one-cell oxide; each
        // volum starts from the volum catalogue and changes only what its role needs
        // (docs/records.md). Angstrom, 1 nm cells. The Dirac device is a graphene sheet wide enough
        // along z for its wave packets.
        QFETCH(int, solver);
        const bool dirac = solver == 2;
        Material *contact = registry.getMaterial(dirac ? "Graphene" : "Aluminium");
        Material *channel = registry.getMaterial(dirac ? "Graphene" : "Silicon");
        Material *oxide = registry.getMaterial("SiO2");
        QVERIFY(contact && channel && oxide);
        const double w = dirac ? 700 : 30; // along z
        QList<Volum> volums;
        const auto add = [&](const char *name, Material *m, double x, double y, double z, double sx,
                             double sy, double sz) {
            Volum v(name, int(sx / 10), int(sy / 10), int(sz / 10), volumCategories);
            v.setMaterial(m);
            v.addCoords(Coord(x, y, z), float(sx), float(sy), float(sz));
            if (m != oxide) {
                setSetting(v.getCategories(), "FLAGELECTRONS", 1);
                setSetting(v.getCategories(), "ELECTRIC_FIELD=0", 0);
                const bool isChannel = QByteArray(name) == "channel";
                setSetting(v.getCategories(), isChannel ? "INTERNAL_NOBOUNDARY" : "DC", 1);
            }
            volums.append(v);
        };
        add("source", contact, 0, 0, 0, 100, 30, w);
        add("channel", channel, 100, 10, 10, 200, 10, w - 20);
        add("drain", contact, 300, 0, 0, 100, 30, w);
        add("belowY", oxide, 100, 0, 0, 200, 10, w);
        add("aboveY", oxide, 100, 20, 0, 200, 10, w);
        add("belowZ", oxide, 100, 10, 0, 200, 10, 10);
        add("aboveZ", oxide, 100, 10, w - 10, 200, 10, 10);

        QList<Category> settings = general.categories;
        if (solver > 0) {
            QVERIFY(setSetting(settings, "FLAG_PARTICLES", 0));
            QVERIFY(setSetting(settings, "WAVE_SOLVER", solver));
        }
        for (const char *name : {"INJECTION_1", "INJ_VOLUM_1", "INJECTION_2"})
            QVERIFY(setSetting(settings, name, 1));
        QVERIFY(setSetting(settings, "INJ_VOLUM_2", 3));

        CheckInput input;
        input.version = general.version;
        input.volums = &volums;
        input.categories = &settings;
        input.materials = registry.getMaterials();
        const CheckVerdict verdict = checkDesign(input);
        QVERIFY2(verdict.ok(), qPrintable(verdict.trimmed()));
    }
};

QTEST_GUILESS_MAIN(TestShippedData)
#include "tst_shippeddata.moc"
