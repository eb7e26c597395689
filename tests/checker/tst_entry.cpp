// The entry routine: version and limit checks in their order, what a run leaves allocated, and
// designs that would not fit in memory.

#include "design.h"

#include <QTest>

using namespace comprova;
using namespace testdesign;

class TestEntry : public QObject {
    Q_OBJECT

private slots:
    void cleanup() { gestor_memoria_global_final(); }

    void versionAndLimits_data() {
        QTest::addColumn<int>("version");
        QTest::addColumn<QList<int>>("counts"); // nvparam, nmparam, nparam, nmat, natoms, nvol
        QTest::addColumn<QByteArray>("expected");
        const auto over = [](int code, const char *what, int value, int limit) {
            return err(code, " NUMBER OF " + QByteArray(what) + " " + num(value) + "  LARGER THAN" +
                                 num(limit));
        };
        const QList<int> fits{999, 999, 999, -1, 1000000, -1};
        QTest::newRow("largest counts") << 1 << fits << kOk;
        for (const int v : {0, 2, -2})
            QTest::newRow(qPrintable(QString("version %1").arg(v)))
                << v << fits << err(1001, " INCOMPATIBLE VERSION " + num(v));
        QTest::newRow("volum parameters")
            << 1 << QList<int>{1000, 999, 999, 1, 0, -1} << over(1002, "PARAMETERS", 1000, 1000);
        QTest::newRow("material parameters")
            << 1 << QList<int>{10, 1234, 10, 1, 0, -1} << over(1002, "PARAMETERS", 1234, 1000);
        QTest::newRow("general parameters")
            << 1 << QList<int>{10, 10, 1000, 1, 0, -1} << over(1002, "PARAMETERS", 1000, 1000);
        QTest::newRow("materials")
            << 1 << QList<int>{10, 10, -1, 101, 0, -1} << over(1003, "MATERIALS", 101, 100);
        QTest::newRow("atoms") << 1 << QList<int>{10, 10, -1, 1, 1000001, -1}
                               << over(1004, "ATOMS", 1000001, 1000000);
        QTest::newRow("volums") << 1 << QList<int>{10, 10, -1, 1, 1000000, 101}
                                << over(1005, "VOLUMS", 101, 100);
        QTest::newRow("parameters before volums")
            << 1 << QList<int>{5000, 10, -1, 1, 0, 101} << over(1002, "PARAMETERS", 5000, 1000);
        QTest::newRow("version before limits") << 3 << QList<int>{5000, 10, -1, 1, 0, 101}
                                               << err(1001, " INCOMPATIBLE VERSION " + num(3));
    }
    // Counts past the arrays are safe: the checker refuses them before reading any record.
    void versionAndLimits() {
        QFETCH(int, version);
        QFETCH(QList<int>, counts);
        QFETCH(QByteArray, expected);
        Design d;
        d.version = version;
        d.natoms = counts[4];
        d.general.resize(
            std::max<std::size_t>(d.general.size(), std::size_t(std::max(counts[2], 0))));
        QCOMPARE(d.run(counts[0], counts[1], counts[2], counts[3], counts[5]), expected);
    }

    void hundredVolumsAreAccepted() {
        Design d;
        d.volums.clear();
        for (int n = 0; n < 100; ++n)
            d.box("V", {double(n), 0, 0}, {n + 1.0, 1, 1});
        QVERIFY(!d.run().startsWith(err(1005, "")));
        QCOMPARE(state().Nx, std::int64_t(100));
    }

    // Version 1 leaves nothing allocated; -1 keeps every table of the stages that ran.
    void versionDecidesWhatStaysAllocated() {
        Design d;
        d.currentVolume({2, 4, 0, 2, 0, 2});
        QCOMPARE(d.run(), kOk);
        const State &st = state();
        for (const int slot : {kSlotVolum, kSlotMalla, kSlotUltNodCont, kSlotReservoir, kSlotMquan})
            QCOMPARE(st.memory[std::size_t(slot)], 1);
        QCOMPARE(st.malla.size(), std::size_t(9 * 5 * 4));
        QCOMPARE(st.node_count, std::int64_t(10 * 6 * 5));

        d.version = 1;
        QCOMPARE(d.run(), kOk);
        QVERIFY(st.memory.empty() && st.volum.empty() && st.malla.empty() && st.mate.empty());
        QVERIFY(st.cx.empty() && st.indmalla.empty() && st.prim_nod_cont.empty());
        QVERIFY(st.reservoir.empty() && st.mquan.empty());
    }

    // A run that stops in stage 1 starts from a fresh registry: only the volum table is there.
    void failedRunHoldsOnlyWhatItAllocated() {
        Design full;
        QCOMPARE(full.run(), kOk);
        Design d;
        d.vol(Bottom).mzf = 2; // a Neumann cladding two cells thick: stage 1 refuses it
        QVERIFY(d.run().startsWith(err(6008, "")));
        QCOMPARE(state().memory[kSlotVolum], 1);
        QCOMPARE(state().memory[kSlotMalla], 0);
    }

    // A grid that cannot fit in memory is an allocation error, reported as the verdict; the
    // program goes on.
    void absurdMeshCountsAreReportedNotAttempted_data() {
        QTest::addColumn<int>("meshes");
        QTest::newRow("beyond any count") << 2000000000;
        QTest::newRow("beyond any memory") << 100000;
    }
    void absurdMeshCountsAreReportedNotAttempted() {
        QFETCH(int, meshes);
        Design d;
        d.version = 1;
        d.vol(Channel).myf = d.vol(Channel).mzf = meshes;
        QCOMPARE(d.run(), err(12001, " ALLOCATE ERROR. NOT ENOUGH MEMORY"));
        QVERIFY(state().memory.empty() && state().malla.empty());
    }

    // A duplicated material carries an index number past the number of materials; a volum may
    // have none. Cells read their material by index, never outside the table.
    void materialIndexNumbersOutsideTheCount() {
        Design d;
        d.addMaterial("Si_copy", 57);
        d.M(1, 2) = 3.9;
        d.vol(Channel).indexname = 57;
        d.vol(Bottom).indexname = -1;
        QCOMPARE(d.run(), kOk);
        QCOMPARE(state().cellAt(2, 1, 1)->mat1, 3.9);
        QCOMPARE(state().cellAt(2, 0, 0)->mat1, 0.0);
    }
};

QTEST_APPLESS_MAIN(TestEntry)
#include "tst_entry.moc"
