// The wave grid and its rules (solver choice, Dirac restrictions, room for the injected packets,
// cells that are whole multiples of the wave step, the stability windows, alignment) and the
// particle grid laid over it, on the small device of device.h.

#include "checker/comprova_state.h"
#include "checker/wavegrid.h"
#include "device.h"

#include <QTest>

#include <limits>

using namespace testdesign;

namespace {

const QByteArray kOk = " [OK] SIMULATION DESIGN FREE FROM ERRORS";

QByteArray line(int code, const QByteArray &rest) {
    return prefix(code) + (rest.startsWith(']') ? rest.mid(1) : rest);
}

// The single-precision items of the messages below, as a list-directed write gives them.
const QByteArray k1e9 = "   9.99999972E-10";  // a cell width of 1 nm
const QByteArray kDx = "   9.99999972E-10";   // DXSCHO = 1 nm
const QByteArray kDt = "   1.00000002E-16";   // DTSCHO = 0.1 fs
const QByteArray kDisp = "   9.99999994E-09"; // DISPERSIO_X = 10 nm

QByteArray schrodingerLine() {
    return line(9002, "] THE TEMPORAL STEP OF SCHRODINGER DTSCHO=" + kDt +
                          "  AND SPATIAL STEP OF SCHRODINGER DXSCHO=" + kDx +
                          "  ARE INCOMPATIBLE.      FOR AN ACCURATE SOLUTION :         "
                          "0.4<HVAR*DTSCHO/(DXSCHO^2*M)<0.5");
}

QByteArray diracLine() {
    return line(9016, "] THE TEMPORAL STEP OF DIRAC DTSCHO=" + kDt +
                          "  AND SPATIAL STEP OF DIRAC DXSCHO=" + kDx +
                          "  ARE INCOMPATIBLE.      FOR AN ACCURATE SOLUTION :         "
                          "0.01<VF*DTSCHO*sqr(2)/min(DXSCHO,DYSCHO)<0.999");
}

// Effective mass (in electron masses) that puts hbar dt / (dx^2 m) at `ratio` for the
// device's 0.1 fs and 1 nm steps.
double massForRatio(double ratio) {
    return 1e-16 * 1.0545900502710371e-34 / (1e-18 * ratio) / 9.109136121414667e-31;
}

} // namespace

class TestQuantic : public QObject {
    Q_OBJECT

private slots:
    void cleanup() { comprova::gestor_memoria_global_final(); }

    void effectiveMassDevice() {
        Device d;
        d.useWaveSolver();
        d.version = -1;
        QCOMPARE(d.run(), kOk);
        const comprova::WaveGrid &w = comprova::waveGrid();
        QCOMPARE(w.solver, 1);
        // X1 + X2 = 70 nm of 1 nm cells at each end, and 8 cells of the device.
        QCOMPARE(w.extra_x, std::int64_t(70));
        QCOMPARE(w.cells_x, std::int64_t(148));
        QVERIFY(qAbs(w.mass - 0.2 * 9.109136121414667e-31) < 1e-40);
        // The source reservoir sits at the channel's first cell, after 70 + 2 wave cells.
        const comprova::State &st = comprova::state();
        QCOMPARE(st.reservoir[std::size_t(st.source - 1)].wave1, std::int64_t(72));
        QCOMPARE(st.reservoir[std::size_t(st.drain - 1)].wave2, std::int64_t(75));
        // Particles move on the wave cells along x by the meshes along z; the channel is active.
        QCOMPARE(comprova::particleGrid().cells_x, std::int64_t(148));
        QCOMPARE(comprova::particleGrid().cells_z, std::int64_t(3));
        QCOMPARE(comprova::particleGrid().active_first, std::int64_t(72));
        QCOMPARE(comprova::particleGrid().active_last, std::int64_t(75));
    }

    void diracDevice() {
        Device d;
        d.useDirac();
        d.version = -1;
        QCOMPARE(d.run(), kOk);
        const comprova::WaveGrid &w = comprova::waveGrid();
        QCOMPARE(w.solver, 2);
        QCOMPARE(w.cells_z, std::int64_t(1));
        QCOMPARE(comprova::particleGrid().cells_z, std::int64_t(1));
    }

    // The solver follows the materials, whatever record 11 asked for.
    void materialsChooseTheSolver() {
        Device d;
        d.useWaveSolver();
        d.G(11) = 2;
        d.version = -1;
        QCOMPARE(d.run(), kOk);
        QCOMPARE(comprova::state().s.wave_solver, 1);
    }

    void rules_data() {
        QTest::addColumn<QString>("change");
        QTest::addColumn<QByteArray>("expected");
        QTest::newRow("parabolic contacts, linear channel")
            << "mixed"
            << line(9010, "] MATERIALS WITH PARABOLIC AND LINEAR  DISPERSIONS ARE MIXED. ONLY ONE "
                          "TYPE OF DISPERSION IS ALLOWED");
        QTest::newRow("Dirac with superposition")
            << "dirac superposition"
            << line(9013, "] THE LINEAR DISPERSION CAN NOT BE  SIMULATED BY SUPERPOSITION. NOT "
                          "IMPLEMENTED YET");
        const QByteArray confinement =
            line(9015, "] THE LINEAR DISPERSION NEEDS  CONFY=TRUE AND CONFZ=FALSE");
        QTest::newRow("Dirac, CONFY off") << "dirac record 23 at 1" << confinement;
        QTest::newRow("Dirac, CONFZ on") << "dirac record 24 at 0" << confinement;
        QTest::newRow("X1 of exactly 3.5 packets") << "X1 3.5" << kOk;
        QTest::newRow("X1 short") << "X1 3.4"
                                  << line(9006, "] THE LENGHT X1: "
                                                "   3.39999993E-08"
                                                "  IS SHORTER THAN 3.5 TIMES THE DISPERSIO_X " +
                                                    kDisp);
        QTest::newRow("X1 unreadable")
            << "X1 nan"
            << line(9006, "] THE LENGHT X1: "
                          "              NaN"
                          "  IS SHORTER THAN 3.5 TIMES THE DISPERSIO_X " +
                              kDisp);
        QTest::newRow("X2 short") << "X2 3.0"
                                  << line(9007, "] THE LENGHT X2: "
                                                "   2.99999989E-08"
                                                "  IS SHORTER THAN 3.5 TIMES THE DISPERSIO_X: " +
                                                    kDisp);
        QTest::newRow("cells of 2.5 wave steps")
            << "dx 0.4"
            << line(9001, "] THE X DIMENSION OF THE VOLUM   Source               MUST BE A "
                          "MULTIPLE OF "
                          "   4.00000005E-10"
                          " .NOW IT IS  " +
                              k1e9);
        QTest::newRow("Dirac, cells of 2.5 steps across")
            << "dirac dy 0.4"
            << line(9001, "] THE X DIMENSION OF THE VOLUM   Channel              MUST BE A "
                          "MULTIPLE OF "
                          "   4.00000005E-10"
                          " .NOW IT IS  " +
                              k1e9);
        QTest::newRow("Dirac, box too narrow for the packet")
            << "dirac narrow"
            << line(9017, "] THE LENGHT OF BOX IN THE Z DIRECTION: " + k1e9 +
                              "  IS SHORTER THAN 6 TIMES THE DISPERSIO_Z " + k1e9);
        QTest::newRow("Schrodinger ratio 0.0039") << "ratio 0.0039" << schrodingerLine();
        QTest::newRow("Schrodinger ratio 0.0041") << "ratio 0.0041" << kOk;
        QTest::newRow("Schrodinger ratio 0.4999") << "ratio 0.4999" << kOk;
        QTest::newRow("Schrodinger ratio 0.5001") << "ratio 0.5001" << schrodingerLine();
        QTest::newRow("Schrodinger without mass") << "mass 0" << schrodingerLine();
        QTest::newRow("Schrodinger ratio ignored with superposition")
            << "ratio 0.0039 superposition" << kOk;
        QTest::newRow("Dirac ratio 0.99") << "VF 0.99" << kOk;
        QTest::newRow("Dirac ratio 1.0") << "VF 1.0" << diracLine();
        QTest::newRow("Dirac ratio 0.009") << "VF 0.009" << diracLine();
        QTest::newRow("Dirac without Fermi velocity") << "VF 0" << diracLine();
        QTest::newRow("cells drifting off the wave grid")
            << "drift"
            << line(9003, "] ERROR IN WAVE CELL           71  IN X :"
                          "   2.00180006E-09"
                          "  WHEN COMPARING WITH CELL           70  IN X :"
                          "   1.99999994E-09");
    }
    void rules() {
        QFETCH(QString, change);
        QFETCH(QByteArray, expected);
        Device d;
        if (change.startsWith("dirac") || change.startsWith("VF"))
            d.useDirac();
        else
            d.useWaveSolver();

        if (change == "mixed") {
            d.materials.clear();
            d.addMaterial("Silicon", 1);
            material_str &graphene = d.addMaterial("Graphene", 2);
            Design::M(graphene, 15) = 0;
            Design::M(graphene, 81) = 1;
            d.vol(Device::Channel).indexname = 2;
        } else if (change == "dirac superposition") {
            d.G(30) = 1;
        } else if (change == "dirac record 23 at 1") {
            d.G(23) = 1;
        } else if (change == "dirac record 24 at 0") {
            d.G(24) = 0;
        } else if (change == "X1 3.5") {
            d.G(13) = 3.5 * d.G(15);
        } else if (change == "X1 3.4") {
            d.G(13) = 3.4e-8;
        } else if (change == "X1 nan") {
            d.G(13) = std::numeric_limits<double>::quiet_NaN();
        } else if (change == "X2 3.0") {
            d.G(14) = 3.0e-8;
        } else if (change == "dx 0.4") {
            d.G(19) = 4e-10;
        } else if (change == "dirac dy 0.4") {
            d.G(21) = 4e-10;
        } else if (change == "dirac narrow") {
            d.G(17) = 1e-9;
        } else if (change.startsWith("ratio")) {
            d.M(19) = massForRatio(change.section(' ', 1, 1).toDouble());
            if (change.endsWith("superposition"))
                d.G(30) = 1;
        } else if (change == "mass 0") {
            d.M(19) = 0;
        } else if (change.startsWith("VF")) {
            // ratio = sqrt(2) dt VF / dx
            d.M(85) = change.section(' ', 1, 1).toDouble() * 1e-9 / (1.4142135381698608 * 1e-16);
        } else if (change == "drift") {
            // Each 1 nm cell is 0.9991 wave steps: within the tolerance of a cell, but two cells
            // already drift by more than 0.1 % of a step.
            d.G(19) = 1.0009e-9;
        } else {
            QFAIL("unknown change");
        }
        QCOMPARE(d.run(), expected);
    }

    // A wave step that makes the grid uncountable is refused without building it.
    void hugeWaveGridIsRefused() {
        Device d;
        d.useWaveSolver();
        d.G(19) = 1e-19;
        d.G(13) = d.G(14) = 0;
        d.G(15) = 0;
        const QByteArray verdict = d.run();
        QVERIFY2(verdict.startsWith(prefix(3031)), verdict);
    }
};

QTEST_APPLESS_MAIN(TestQuantic)
#include "tst_quantic.moc"
