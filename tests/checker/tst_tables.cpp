// What the stages hand to the simulator: mesh numbering, outer-face checks, node typing,
// reservoirs, the current volume, the wave grid and the particle grid.

#include "checker/omega.h"
#include "checker/wavegrid.h"
#include "design.h"

#include <QTest>

using namespace comprova;
using namespace testdesign;

class TestTables : public QObject {
    Q_OBJECT

private slots:
    void cleanup() { gestor_memoria_global_final(); }

    // Volums along x given as (lower, upper, meshes); a cladding across them all keeps the rest
    // of the design out of the way.
    void meshNumbering_data() {
        QTest::addColumn<QList<double>>("boxes");
        QTest::addColumn<QList<int>>("first"); // first x index of each volum
        QTest::addColumn<int>("nx");
        QTest::newRow("end to end")
            << QList<double>{0, 10, 10, 10, 15, 5} << QList<int>{0, 10} << 15;
        QTest::newRow("by position, not table order")
            << QList<double>{20, 30, 3, 10, 20, 5, 0, 10.000001, 10} << QList<int>{15, 10, 0} << 18;
        QTest::newRow("shared lower face")
            << QList<double>{0, 10, 4, 0, 10, 4} << QList<int>{0, 0} << 4;
    }
    void meshNumbering() {
        QFETCH(QList<double>, boxes);
        QFETCH(QList<int>, first);
        QFETCH(int, nx);
        Design d;
        d.volums.clear();
        for (int n = 0; n < boxes.size(); n += 3) {
            const double y = n / 3; // one row of boxes each, stacked along y
            d.box("V", {boxes[n], y, 0}, {boxes[n + 1], y + 1, 1}).mxf = int(boxes[n + 2]);
        }
        d.run();
        for (int v = 0; v < first.size(); ++v)
            QCOMPARE(state().volum[std::size_t(v + 1)].mxi, std::int64_t(first[v]));
        QCOMPARE(state().Nx, std::int64_t(nx));
    }

    // The outer faces must be boundaries (cell type 2 or more); k = 0 is checked first.
    void outerFaces_data() {
        QTest::addColumn<QList<int>>("cell");
        QTest::addColumn<QByteArray>("expected");
        const QByteArray first = " ERROR LA PRIMERA MALLA ES SILICI O OXID";
        const QByteArray last = " ERROR LA ULTIMA MALLA ES SILICI O OXID";
        const QByteArray bottom = err(72010, " THE TYPE OF CELL           0  OF VOLUM " +
                                                 name("Bottom") + " IS INCORRECT");
        QTest::newRow("inner cell") << QList<int>{3, 1, 1} << QByteArray();
        QTest::newRow("k = 0") << QList<int>{3, 1, 0} << bottom;
        QTest::newRow("k = Mz") << QList<int>{3, 1, 2} << last;
        QTest::newRow("j = 0") << QList<int>{3, 0, 1} << first;
        QTest::newRow("i = 0") << QList<int>{0, 1, 1} << first;
        QTest::newRow("j = My") << QList<int>{3, 3, 1} << last;
        QTest::newRow("i = Mx") << QList<int>{7, 1, 1} << last;
        QTest::newRow("edge of k = 0 and j = 0") << QList<int>{3, 0, 0} << bottom;
    }
    void outerFaces() {
        QFETCH(QList<int>, cell);
        QFETCH(QByteArray, expected);
        Design d;
        QCOMPARE(d.run(), kOk);
        state().cellAt(cell[0], cell[1], cell[2])->cell_type = 0;
        state().text.assign(kVerdictLength, ' ');
        control_de_coordenades();
        QCOMPARE(trimmed(state().text), expected);
    }

    // The contacts must cover the whole y-z face at each end of the device.
    void contactsCoverTheEnds_data() {
        QTest::addColumn<int>("volum");
        QTest::addColumn<QByteArray>("expected");
        const QByteArray rest =
            " HAS TO BE ENLARGED  AND FIT THE WHOLE LATERAL AREA IN THE Y AND Z "
            "DIRECTIONS.";
        QTest::newRow("source") << int(Source) << err(3027, " THE SOURCE METAL" + rest);
        QTest::newRow("drain") << int(Drain) << err(3028, " THE DRAIN METAL" + rest);
    }
    void contactsCoverTheEnds() {
        QFETCH(int, volum);
        QFETCH(QByteArray, expected);
        Design d;
        QCOMPARE(d.run(), kOk);
        for (Cell &c : state().malla)
            c.cell_type = c.volum == volum ? 2 : c.cell_type;
        state().text.assign(kVerdictLength, ' ');
        definicio_tipus_de_nodes();
        QCOMPARE(trimmed(state().text), expected);
    }

    void deviceTables() {
        Design d;
        d.makeGate(Top);
        d.currentVolume({0, 8, 0, 4, 0, 3}); // up to the far end of the grid
        QCOMPARE(d.run(), kOk);
        State &st = state();
        QCOMPARE(QList<int>({st.volum[Channel].cell_type, st.volum[Source].cell_type,
                             st.volum[Bottom].cell_type}),
                 QList<int>({0, 3, 2}));

        // Every node is numbered once; numbers and positions are each other's inverse. The node
        // between the source and the channel is a contact node of the source.
        QCOMPARE(st.nodes_numbered, 9 * 5 * 4);
        const std::int32_t n = *st.nodeAt(2, 2, 1);
        QCOMPARE(QList<int>({st.indxm[std::size_t(n)], st.indym[std::size_t(n)],
                             st.indzm[std::size_t(n)], st.indx[std::size_t(n)]}),
                 QList<int>({2, 2, 1, 5}));
        QVERIFY(st.prim_nod_cont[Source] <= n && n <= st.ult_nod_cont[Source]);
        // Node (2, 2, 2) has four source and two gate cells (type 3), two channel cells (type 0).
        QCOMPARE(suma_contigua_8(2, 2, 2), std::int64_t(6 * 35 * 35 * 35 + 2));

        // Axis tables: origins (with the far end) and single-precision widths of the first row.
        QVERIFY(qAbs(st.cx[8] - 8e-9) < 1e-16 && qAbs(st.cy[2] - 2e-9) < 1e-16);
        QCOMPARE(st.cz[3], st.cz[2] + st.dz[2]);
        QCOMPARE(st.dy[3], double(float(1e-9)));

        // Reservoirs: the source's face is the channel's first column (2 x 1 cells); the gate is
        // a further reservoir that faces neither end; the injections refer to the reservoirs.
        QCOMPARE(int(st.reservoir.size()), 3);
        const Reservoir &source = st.reservoir[std::size_t(st.source - 1)];
        QCOMPARE(QList<int>({source.face, source.volum, source.kind}), QList<int>({4, Source, 1}));
        QCOMPARE(
            QList<std::int64_t>({source.i1, source.i2, source.j1, source.j2, source.k1, source.k2}),
            QList<std::int64_t>({2, 2, 1, 2, 1, 1}));
        QCOMPARE(st.reservoir[std::size_t(st.drain - 1)].face, 1);
        QCOMPARE(QList<int>({st.reservoir[2].volum, st.reservoir[2].face}), QList<int>({Top, 0}));
        QCOMPARE(st.s.injections[1].reservoir, st.drain);

        // The current volume lists every volum it touches, widened to those with electrons.
        QCOMPARE(omegaVolume().count, 7);
        QCOMPARE(omegaVolume().electron_count, 3);
        QVERIFY(qAbs(omegaVolume().upper[0] - 8e-9) < 1e-15);
        // Classical particles move on the meshes; the active zone is the channel.
        QCOMPARE(particleGrid().cells_x, std::int64_t(8));
        QCOMPARE(particleGrid().active_first, std::int64_t(2));
        QCOMPARE(particleGrid().active_last, std::int64_t(5));

        // Without channel cells on the transport line there is no active zone.
        for (Cell &c : st.malla)
            c.cell_type = c.cell_type == 0 ? 1 : c.cell_type;
        st.text.assign(kVerdictLength, ' ');
        traduccio_variables_particules();
        QCOMPARE(trimmed(st.text), err(9004, " ERROR WHEN DEFINING ZONAACTIVA"));
    }

    void waveGrid() {
        Design d;
        d.useWaveSolver();
        d.G(11) = 2; // the materials choose the solver, whatever record 11 asks for
        QCOMPARE(d.run(), kOk);
        const WaveGrid &w = comprova::waveGrid();
        QCOMPARE(w.solver, 1);
        // X1 + X2 = 70 nm of 1 nm cells at each end, and 8 cells of the device.
        QCOMPARE(w.extra_x, std::int64_t(70));
        QCOMPARE(w.cells_x, std::int64_t(148));
        QVERIFY(qAbs(w.mass - 0.2 * 9.109136121414667e-31) < 1e-40);
        // The source reservoir sits at the channel's first cell, after 70 + 2 wave cells.
        const State &st = state();
        QCOMPARE(st.reservoir[std::size_t(st.source - 1)].wave1, std::int64_t(72));
        QCOMPARE(particleGrid().cells_x, std::int64_t(148));
        QCOMPARE(particleGrid().active_first, std::int64_t(72));

        Design dirac;
        dirac.useDirac();
        QCOMPARE(dirac.run(), kOk);
        QCOMPARE(comprova::waveGrid().solver, 2);
        QCOMPARE(particleGrid().cells_z, std::int64_t(1));
    }
};

QTEST_APPLESS_MAIN(TestTables)
#include "tst_tables.moc"
