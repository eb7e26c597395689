// The entry routine: version and limit checks, the verdict buffer, and what a run leaves
// allocated; the settings and material rules on hand-built designs.

#include "design.h"

#include <QtTest>

using namespace comprova;
using testdesign::Design;
using testdesign::prefix;

namespace {

// Kinetic steps for G(60): n wave-vector steps with DISPERSIO_X = 1e-8.
double wavevector(double n) {
    return n * 6.283185005187988 / 1e-8;
}

// An integer item with its separating blank.
QByteArray i11(int v) {
    return " " + QByteArray::number(v).rightJustified(11, ' ');
}

QByteArray name20(const char *name) {
    QByteArray n(name);
    n.resize(kNameWidth, ' ');
    return n;
}

} // namespace

class TestEntry : public QObject {
    Q_OBJECT

private slots:
    void refusesUnknownVersions_data();
    void refusesUnknownVersions();
    void limitChecksInOrder_data();
    void limitChecksInOrder();
    void hundredVolumsAreAccepted();
    void versionOneLeavesNothingAllocated();
    void failedRunReleasesOnlyWhatItAllocated();
    void absurdMeshCountsAreReportedNotAttempted();

    void generalSettingRules_data();
    void generalSettingRules();
    void injectionStepRangeMessages();
    void scatteringVolumWithDiracEquation();

    void materialRules();
    void injectionMechanismsMustBeDefined();
    void indexNumbersBeyondTheCountStayInsideTheTable();
};

void TestEntry::refusesUnknownVersions_data() {
    QTest::addColumn<int>("version");
    QTest::newRow("0") << 0;
    QTest::newRow("2") << 2;
    QTest::newRow("-2") << -2;
}

void TestEntry::refusesUnknownVersions() {
    QFETCH(int, version);
    Design d;
    d.version = version;
    d.addMaterial("Si", 1);
    d.addVolum("A", 0, 0, 0, 1, 1, 1, 1, 1, 1);
    QCOMPARE(d.run(), prefix(1001) + " INCOMPATIBLE VERSION " + i11(version));
}

void TestEntry::limitChecksInOrder_data() {
    QTest::addColumn<int>("nvparam");
    QTest::addColumn<int>("nmparam");
    QTest::addColumn<int>("nparam");
    QTest::addColumn<int>("nmat");
    QTest::addColumn<int>("natoms");
    QTest::addColumn<int>("nvol");
    QTest::addColumn<QByteArray>("expected");
    const auto line = [](int code, const char *what, int value, int limit) {
        return prefix(code) + " NUMBER OF " + what + " " + i11(value) + "  LARGER THAN" +
               i11(limit);
    };
    QTest::newRow("volum parameters")
        << 1000 << 10 << 275 << 1 << 0 << 1 << line(1002, "PARAMETERS", 1000, 1000);
    QTest::newRow("material parameters")
        << 999 << 1234 << 275 << 1 << 0 << 1 << line(1002, "PARAMETERS", 1234, 1000);
    QTest::newRow("general parameters")
        << 10 << 10 << 1000 << 1 << 0 << 1 << line(1002, "PARAMETERS", 1000, 1000);
    QTest::newRow("materials") << 10 << 10 << 275 << 101 << 0 << 1
                               << line(1003, "MATERIALS", 101, 100);
    QTest::newRow("atoms") << 10 << 10 << 275 << 1 << 1000001 << 1
                           << line(1004, "ATOMS", 1000001, 1000000);
    QTest::newRow("volums") << 10 << 10 << 275 << 1 << 1000000 << 101
                            << line(1005, "VOLUMS", 101, 100);
    QTest::newRow("parameters before volums")
        << 5000 << 10 << 275 << 1 << 0 << 101 << line(1002, "PARAMETERS", 5000, 1000);
}

void TestEntry::limitChecksInOrder() {
    QFETCH(int, nvparam);
    QFETCH(int, nmparam);
    QFETCH(int, nparam);
    QFETCH(int, nmat);
    QFETCH(int, natoms);
    QFETCH(int, nvol);
    QFETCH(QByteArray, expected);
    Design d;
    d.addMaterial("Si", 1);
    d.addVolum("A", 0, 0, 0, 1, 1, 1, 1, 1, 1);
    d.natoms = natoms;
    // The counts past the arrays are safe: the checker refuses them before reading any record.
    d.general.resize(std::max<std::size_t>(d.general.size(), std::size_t(nparam)));
    QCOMPARE(d.run(nvparam, nmparam, nvol, nmat, nparam), expected);
}

void TestEntry::hundredVolumsAreAccepted() {
    Design d;
    d.addMaterial("Si", 1);
    for (int n = 0; n < 100; ++n)
        d.addVolum("V", n, 0, 0, n + 1, 1, 1, 1, 1, 1);
    const QByteArray verdict = d.run();
    QVERIFY2(!verdict.startsWith(prefix(1005)), verdict.constData());
    QCOMPARE(state().volum.size(), std::size_t(101));
    QCOMPARE(state().Nx, std::int64_t(100));
}

void TestEntry::versionOneLeavesNothingAllocated() {
    Design d;
    d.addMaterial("Si", 1);
    d.addVolum("A", 0, 0, 0, 1e-8, 1e-8, 1e-8, 4, 4, 4);

    d.version = -1;
    d.run();
    State &st = state();
    QVERIFY(!st.malla.empty());
    QCOMPARE(st.memory[kSlotVolum], 1);
    QCOMPARE(st.memory[kSlotMalla], 1);
    QCOMPARE(st.memory[kSlotUltNodCont], 1);
    QCOMPARE(st.malla.size(), std::size_t(5 * 5 * 5));
    QCOMPARE(st.node_count, std::int64_t(6 * 6 * 6));

    d.version = 1;
    d.run();
    QVERIFY(st.memory.empty());
    QVERIFY(st.malla.empty() && st.volum.empty() && st.mate.empty() && st.indmalla.empty());
    QVERIFY(st.cx.empty() && st.dx.empty() && st.prim_nod_cont.empty());
}

void TestEntry::failedRunReleasesOnlyWhatItAllocated() {
    Design full;
    full.addMaterial("Si", 1);
    full.addVolum("A", 0, 0, 0, 1e-8, 1e-8, 1e-8, 2, 2, 2);
    full.run();
    QCOMPARE(state().memory[kSlotMalla], 1);

    // A run that stops in stage 1 starts from a fresh registry: only the volum table is there.
    Design d;
    d.addMaterial("Si", 1);
    volum_str &v = d.addVolum("NEUMANN", 0, 0, 0, 1e-8, 1e-8, 1e-8, 1, 3, 2);
    Design::V(v, 45) = 1.0;
    QCOMPARE(d.run(), prefix(6008) + " THE VOLUM " + name20("NEUMANN") +
                          " HAS DEFINED AS BOUNDARY ELECTRIC_FIELD=0. BUT, THE Z OR THE Y "
                          "DIRECTION ARE LARGER THAN ONE CELL. PUT THE Z OR THE y NUMBER OF "
                          "CELL EQUAL TO ONE.");
    QCOMPARE(state().memory[kSlotVolum], 1);
    QCOMPARE(state().memory[kSlotMalla], 0);

    // One mesh across z is allowed.
    v.mzf = 1;
    QVERIFY(!d.run().startsWith(prefix(6008)));
}

void TestEntry::absurdMeshCountsAreReportedNotAttempted() {
    Design d;
    d.version = 1;
    d.addMaterial("Si", 1);
    d.addVolum("HUGE", 0, 0, 0, 1, 1, 1, 2000000000, 2000000000, 2000000000);
    QCOMPARE(d.run(), prefix(12001) + " ALLOCATE ERROR. NOT ENOUGH MEMORY");
    QVERIFY(state().memory.empty());
    QVERIFY(state().malla.empty());

    // Large but countable: still more than any memory.
    Design e;
    e.addMaterial("Si", 1);
    e.addVolum("BIG", 0, 0, 0, 1, 1, 1, 100000, 100000, 1000);
    QCOMPARE(e.run(), prefix(12001) + " ALLOCATE ERROR. NOT ENOUGH MEMORY");
    QVERIFY(state().malla.empty());
}

void TestEntry::generalSettingRules_data() {
    QTest::addColumn<QList<int>>("records");
    QTest::addColumn<QList<double>>("values");
    QTest::addColumn<QByteArray>("expected"); // empty: stages 1 to 4 pass

    const auto row = [](const char *name, QList<int> r, QList<double> v, QByteArray e) {
        QTest::newRow(name) << r << v << e;
    };
    row("repetitions at the limit", {4}, {10000}, "");
    row("too many repetitions", {4}, {10001},
        prefix(3008) + " THE NUMBER OF REPETITIONS HAS TO BE NOT GREATER THAN 10000");
    row("no particles", {5}, {0},
        prefix(3035) + " THE INJCETION PROCES REQUIRES  AT LEAST A NUMBER OF PARTICLES EQUAL TO 1");
    row("exchange per particle", {25}, {1}, "");
    row("unknown exchange", {25}, {2}, prefix(3001) + " EXCHANGE DEFINITION ERRONEOUS" + i11(2));
    row("Poisson step below the wave step", {11, 47}, {1, 0.5e-15},
        prefix(3004) + " THE TEMPORAL STEP OF POISSON   5.00000002E-16  MUST BE LRGER THAN "
                       "TEMPORAL STEP OF SCHORDINGER   1.00000000E-15");
    row("injection fraction 0", {67 + 34 + 6}, {0.0},
        prefix(3007) + " THE VARIABLE OF THE  INJECTION OF ELECTRON: " + i11(3) +
            "  MUST BE BETWEEN (0,1)");
    row("injection fraction 1", {67 + 5}, {1.0},
        prefix(3007) + " THE VARIABLE OF THE  INJECTION OF ELECTRON: " + i11(1) +
            "  MUST BE BETWEEN (0,1)");
    row("injection time below one step", {67 + 9}, {0.5e-15},
        prefix(3025) +
            " THE NUMBER OF STEPS IS LOWER THAN DT=    1.00000000E-15 . ENLARGE THE INJECTION "
            "TIME.");
    row("injecting volum past the count", {67 + 17 + 10}, {2},
        prefix(3010) + " THE DISCRETE INJECTION FROM VOLUM " + i11(2) +
            " IS NOT POSSIBLE. IT IS NOT A VALID INJECTING VOLUM");
    row("scattering not after injection", {67 + 14}, {1e-14},
        prefix(3029) + " THE INJECTION    9.99999982E-15  TIME IS GREATER THAN SCATTERING TIME "
                       "   9.99999982E-15");
    row("current volume too thin", {204, 205, 206, 207, 208, 209, 210, 211},
        {1, 1e-14, 0, 2, 0, 1, 0, 2},
        prefix(3003) + " THE VOLUME FOR CURRENT COMPUTATION  MUST BE LARGER THAN 2 CELLS IN "
                       "EACH DIRECTION");
    row("current volume three cells", {204, 205, 206, 207, 208, 209, 210, 211},
        {1, 1e-14, 0, 2, 0, 2, 0, 2}, "");
    row("output interval below the ratio", {218, 219}, {1, 0.5e-15},
        prefix(3005) + " THE VALUE    5.00000002E-16  IN EVOLVING  OUTPUTS RESULTS DEFINED AS "
                       "THE TEMPORAL STEP FOR WRITTING THE  RESULTS, MUST BE GREATER OR EQUAL "
                       "THAN THE TIME    1.00000000E-15");
    row("output interval switched off", {218, 219}, {0, 0.5e-15}, "");
    row("last output block always in force", {242}, {0.5e-15},
        prefix(3005) + " THE VALUE    5.00000002E-16  IN EVOLVING  OUTPUTS RESULTS DEFINED AS "
                       "THE TEMPORAL STEP FOR WRITTING THE  RESULTS, MUST BE GREATER OR EQUAL "
                       "THAN THE TIME    1.00000000E-15");
    row("movie without frames", {236, 237, 238}, {1, 0, 0},
        prefix(3005) + " THE VALUE    0.00000000      IN EVOLVING  OUTPUTS RESULTS DEFINED AS "
                       "THE TEMPORAL STEP FOR WRITTING THE  RESULTS, MUST BE GREATER OR EQUAL "
                       "THAN THE TIME    1.00000000E-15");
    row("current volume interval below the ratio", {204, 205, 206, 207, 208, 209, 210, 211},
        {1, 0.5e-15, 0, 2, 0, 2, 0, 2},
        prefix(3005) + " THE VALUE    5.00000002E-16  IN EVOLVING  OUTPUTS RESULTS DEFINED AS "
                       "THE TEMPORAL STEP FOR WRITTING THE  RESULTS, MUST BE GREATER OR EQUAL "
                       "THAN THE TIME    1.00000000E-15");
    row("movie past the final time", {236, 238}, {1, 2e-12},
        prefix(3017) + " THE FINALTIME OF THE MOVI    1.99999999E-12  IS GREATER THAN "
                       "FINALTIME OF THE SIMULATION    9.99999996E-13");
    row("movie switched off", {236, 238}, {0, 2e-12}, "");
    row("too many frames", {239}, {1000001},
        prefix(3016) + " THE NUMBER OF FRAMES: " + i11(1000001) +
            "  CANNOT BE GREATER THAN 999999");
    row("transmission with classical particles", {248}, {1},
        prefix(3018) + " FLAG_MIG_TRANSMISSIO CAN ONLY BE  COMPUTED FOR QUANTUM PARTICLES, BUT "
                       "FLAG_PARTICLES ARE DEFINED AS CLASSICAL. CHANGE ONE OF THE TWO.");
    row("2D injecting volum", {272}, {0},
        prefix(3023) + " THE INJECTION FROM VOLUM IN TRANS2D " + i11(0) +
            " IS NOT POSSIBLE. IT IS NOT A VALID INJECTING VOLUM");
    row("too many trajectories", {275}, {1001},
        prefix(3032) + " THE NUMBER OF SIMULATED TRAJECTORIES  IN TRANS_2D IS GREATER THAN "
                       "1000. DECREASE THE NUMBER");
    row("time step of zero", {47}, {0.0},
        prefix(3031) + " THE COMPUTATION OF THE INTEGER    9.99999996E-13  /    0.00000000      "
                       "IS GREATER THAN 2E9");
}

void TestEntry::generalSettingRules() {
    QFETCH(QList<int>, records);
    QFETCH(QList<double>, values);
    QFETCH(QByteArray, expected);
    Design d;
    d.addMaterial("Si", 1);
    d.addVolum("A", 0, 0, 0, 1e-8, 1e-8, 1e-8, 4, 4, 4);
    for (int n = 0; n < records.size(); ++n)
        d.G(records[n]) = values[n];
    QCOMPARE(d.runSettingsStages(), expected);
}

void TestEntry::injectionStepRangeMessages() {
    Design d;
    d.addMaterial("Si", 1);
    d.addVolum("A", 0, 0, 0, 1e-8, 1e-8, 1e-8, 1, 1, 1);
    d.G(60) = wavevector(4);
    QCOMPARE(d.runSettingsStages(),
             prefix(3033) + " THE INJCETION STEPS IN Z IS " + i11(4) +
                 "  WHICH IS LOWER THAN THAN 5. ENLARGE MAXWEVEVECTOR    2.51327411E+09  OR "
                 "ENLARGE THE VALUES OF DISPERSIO_X OR DISPERSIO_Z");
    d.G(60) = wavevector(300);
    QCOMPARE(d.runSettingsStages(), QByteArray());
    QCOMPARE(state().s.injection_steps, 300);
    d.G(60) = wavevector(301);
    QVERIFY(d.runSettingsStages().startsWith(prefix(3034) + " THE INJCETION STEPS IN X IS " +
                                             i11(301) + "  WHICH IS GREATER"));
    // With the accelerated injection the count is given outright, and the same range holds.
    d.G(63) = 1;
    d.G(64) = 4;
    QVERIFY(d.runSettingsStages().startsWith(prefix(3033)));
    d.G(64) = 20;
    QCOMPARE(d.runSettingsStages(), QByteArray());
    QCOMPARE(state().s.dk, wavevector(301) / 20);
}

void TestEntry::scatteringVolumWithDiracEquation() {
    Design d;
    d.addMaterial("Si", 1);
    volum_str &v = d.addVolum("A", 0, 0, 0, 1e-8, 1e-8, 1e-8, 1, 1, 1);
    Design::V(v, 1) = 1;
    d.G(11) = 2;
    QCOMPARE(d.runSettingsStages(),
             prefix(3009) + " SCATTERING WITH DIRAC EQUATION IS STIL NOT IMPLEMENTED");
    Design::V(v, 1) = 0;
    QVERIFY(!d.runSettingsStages().startsWith(prefix(3009)));
}

void TestEntry::materialRules() {
    Design d;
    d.addVolum("A", 0, 0, 0, 1e-8, 1e-8, 1e-8, 1, 1, 1);
    d.addMaterial("Si", 1);
    material_str &m = d.addMaterial("Graphene", 2);
    QCOMPARE(d.runSettingsStages(), QByteArray());
    QCOMPARE(state().mate[1].kind, 1);

    Design::M(m, 81) = 1;
    QCOMPARE(d.runSettingsStages(),
             prefix(3020) +
                 " AMBIGOUS DEFINITION OF PARABOLIC AND LINERAR DISPERSION IN "
                 "MATERIAL " +
                 name20("Graphene") + " . SELECT ONLY ONE TYPE OF DISPERSION");
    Design::M(m, 15) = 0;
    QCOMPARE(d.runSettingsStages(), QByteArray());
    QCOMPARE(state().mate[2].kind, 2);
    Design::M(m, 81) = 0;
    QCOMPARE(d.runSettingsStages(),
             prefix(3021) + " NO DEFINITION OF PARABOLIC OR LINERAR DISPERSION IN MATERIAL " +
                 name20("Graphene") + " . SELECT ONLY ONE TYPE OF DISPERSION");
    Design::M(m, 15) = 1;
    Design::M(m, 150) = 1;
    QCOMPARE(d.runSettingsStages(), prefix(3002) + " TIGHT-BINDING NOT IMPLEMENTED YET");
}

void TestEntry::injectionMechanismsMustBeDefined() {
    Design d;
    d.addVolum("A", 0, 0, 0, 1e-8, 1e-8, 1e-8, 1, 1, 1);
    material_str &m = d.addMaterial("Si", 1);
    Design::M(m, 284 + 23 * 4 + 1) = 7; // mechanism 7 in scattering block 5
    d.G(67 + 17 * 7) = 0;               // block 8 switched off ...
    d.G(67 + 17 * 7 + 15) = 9;          // ... still needs a defined mechanism
    QCOMPARE(d.runSettingsStages(), prefix(3030) + " THE SELECTED SCATTERING MECHANISM " + i11(9) +
                                        "  IS NOT DEFINED IN SCATTERING MATERIALS PROPERTIES");
    d.G(67 + 17 * 7 + 15) = 7;
    QCOMPARE(d.runSettingsStages(), QByteArray());
    QCOMPARE(state().s.injections[7].mechanism_block, 5);
    QCOMPARE(state().s.injections[0].mechanism_block, 1);
}

void TestEntry::indexNumbersBeyondTheCountStayInsideTheTable() {
    // A duplicated material carries an index number past the number of materials.
    Design d;
    d.addMaterial("Si", 1);
    material_str &copy = d.addMaterial("Si_copy", 57);
    Design::M(copy, 1) = 3.9;
    d.addVolum("A", 0, 0, 0, 1e-8, 1e-8, 1e-8, 1, 1, 1, 57);
    d.addVolum("B", 1e-8, 0, 0, 2e-8, 1e-8, 1e-8, 1, 1, 1, -1); // no material
    QCOMPARE(d.runSettingsStages(), QByteArray());
    traduccio_volum();
    QCOMPARE(state().cellAt(0, 0, 0)->mat1, 3.9);
    QCOMPARE(state().cellAt(1, 0, 0)->mat1, 0.0);

    // Its name is still given in messages, and only materials 1..nmat define mechanisms.
    Design::M(copy, 15) = 0;
    QCOMPARE(d.runSettingsStages(),
             prefix(3021) + " NO DEFINITION OF PARABOLIC OR LINERAR DISPERSION IN MATERIAL " +
                 name20("Si_copy") + " . SELECT ONLY ONE TYPE OF DISPERSION");
    Design e;
    e.addVolum("A", 0, 0, 0, 1e-8, 1e-8, 1e-8, 1, 1, 1);
    material_str &only = e.addMaterial("Far", 5);
    Design::M(only, 285) = 1;
    QVERIFY(e.runSettingsStages().startsWith(prefix(3030)));
}

QTEST_APPLESS_MAIN(TestEntry)
#include "tst_entry.moc"
