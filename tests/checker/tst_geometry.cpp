// Mesh numbering, the cell table, corner and outer-face checks, node typing and the axis tables,
// on hand-built designs. The boundary stage's decisions (cell types) are set by the tests.

#include "design.h"

#include <QtTest>

using namespace comprova;
using testdesign::Design;
using testdesign::prefix;
using testdesign::trimmed;

namespace {

QByteArray name20(const char *name) {
    QByteArray n(name);
    n.resize(kNameWidth, ' ');
    return n;
}

QByteArray verdict() {
    return trimmed(state().text);
}

// The rest of the geometry stage once the cell table holds the types under test.
void afterCellTable() {
    control_de_coordenades();
    if (noError())
        definicio_tipus_de_nodes();
    if (noError())
        traduccio_variables_definicio_dispositiu();
}

void setCellType(std::int64_t i, std::int64_t j, std::int64_t k, int type) {
    Cell *c = state().cellAt(i, j, k);
    QVERIFY(c);
    c->cell_type = type;
}

// Source | device | drain along x, 4 x 4 meshes across; 1 nm meshes. The device's core
// (cells 1..2 on every axis) is of cell type 0, the rest of it type 2; the contacts are type 3 of
// volum kind 1. Cell types are applied after the cell table is filled.
struct ThreeVolums {
    Design d;
    ThreeVolums() {
        d.addMaterial("Si", 1);
        volum_str &source = d.addVolum("SOURCE", 0, 0, 0, 1e-9, 4e-9, 4e-9, 1, 4, 4);
        d.addVolum("DEVICE", 1e-9, 0, 0, 3e-9, 4e-9, 4e-9, 2, 4, 4);
        volum_str &drain = d.addVolum("DRAIN", 3e-9, 0, 0, 4e-9, 4e-9, 4e-9, 1, 4, 4);
        Design::V(source, 2) = 1;
        Design::V(drain, 2) = 1;
    }
    // Runs stages 1 to 4 and fills the cell table; false when something failed.
    bool prepare(int sourceType = 3, int drainType = 3) {
        if (!d.runSettingsStages().isEmpty())
            return false;
        State &st = state();
        st.volum[1].cell_type = sourceType;
        st.volum[2].cell_type = 2;
        st.volum[3].cell_type = drainType;
        definicio_de_volums();
        if (!noError())
            return false;
        for (int i = 1; i <= 2; ++i)
            for (int j = 1; j <= 2; ++j)
                for (int k = 1; k <= 2; ++k)
                    st.cellAt(i, j, k)->cell_type = 0;
        return true;
    }
};

} // namespace

class TestGeometry : public QObject {
    Q_OBJECT

private slots:
    void meshNumberingContinuesTouchingVolums();
    void meshNumberingFollowsPositionNotTableOrder();
    void sharedLowerFaceSharesFirstIndex();
    void zeroMeshVolumDoesNotBreakNumbering();

    void cellTableFromVolums();
    void invertedOrEmptyVolumsAreRefused_data();
    void invertedOrEmptyVolumsAreRefused();
    void laterVolumWinsOverlappingCells();

    void misalignedNeighboursNameTheCorner();
    void outerFacesMustBeBoundaries_data();
    void outerFacesMustBeBoundaries();

    void nodeTypesAndNumbering();
    void contactFaceMarkers();
    void sourceAndDrainMustCoverTheirFaces();
    void currentVolumeOutsideTheDeviceIsReported();
    void axisTables();
};

void TestGeometry::meshNumberingContinuesTouchingVolums() {
    Design d;
    d.addMaterial("Si", 1);
    d.addVolum("A", 0, 0, 0, 1e-8, 1e-8, 1e-8, 10, 2, 3);
    d.addVolum("B", 1e-8, 0, 0, 1.5e-8, 1e-8, 1e-8, 5, 2, 3);
    QCOMPARE(d.runSettingsStages(), QByteArray());
    const State &st = state();
    QCOMPARE(st.volum[1].mxi, std::int64_t(0));
    QCOMPARE(st.volum[1].mxf, std::int64_t(9));
    QCOMPARE(st.volum[2].mxi, std::int64_t(10));
    QCOMPARE(st.volum[2].mxf, std::int64_t(14));
    QCOMPARE(st.Nx, std::int64_t(15));
    QCOMPARE(st.Ny, std::int64_t(2));
    QCOMPARE(st.Nz, std::int64_t(3));
    QCOMPARE(st.volum[2].myi, std::int64_t(0));
    QCOMPARE(volumName(2), std::string(name20("B").constData()));
}

void TestGeometry::meshNumberingFollowsPositionNotTableOrder() {
    Design d;
    d.addMaterial("Si", 1);
    d.addVolum("C", 2e-8, 0, 0, 3e-8, 1e-8, 1e-8, 3, 1, 1);
    d.addVolum("B", 1e-8, 0, 0, 2e-8, 1e-8, 1e-8, 5, 1, 1);
    // Within the tolerance of 0.1 % of a mesh width the faces still touch.
    d.addVolum("A", 0, 0, 0, 1.0000001e-8, 1e-8, 1e-8, 10, 1, 1);
    QCOMPARE(d.runSettingsStages(), QByteArray());
    const State &st = state();
    QCOMPARE(st.volum[3].mxi, std::int64_t(0));
    QCOMPARE(st.volum[2].mxi, std::int64_t(10));
    QCOMPARE(st.volum[1].mxi, std::int64_t(15));
    QCOMPARE(st.Nx, std::int64_t(18));
}

void TestGeometry::sharedLowerFaceSharesFirstIndex() {
    Design d;
    d.addMaterial("Si", 1);
    d.addVolum("LOW", 0, 0, 0, 1e-8, 1e-8, 1e-8, 4, 2, 1);
    d.addVolum("HIGH", 0, 1e-8, 0, 1e-8, 2e-8, 1e-8, 4, 3, 1);
    QCOMPARE(d.runSettingsStages(), QByteArray());
    const State &st = state();
    QCOMPARE(st.volum[1].mxi, st.volum[2].mxi);
    QCOMPARE(st.volum[2].mxf, std::int64_t(3));
    QCOMPARE(st.volum[2].myi, std::int64_t(2));
    QCOMPARE(st.Ny, std::int64_t(5));
}

void TestGeometry::zeroMeshVolumDoesNotBreakNumbering() {
    Design d;
    d.addMaterial("Si", 1);
    d.addVolum("EMPTY", 0, 0, 0, 1e-8, 1e-8, 1e-8, 0, 1, 1);
    d.addVolum("NEXT", 1e-8, 0, 0, 2e-8, 1e-8, 1e-8, 2, 1, 1);
    QCOMPARE(d.runSettingsStages(), QByteArray());
    traduccio_volum();
    // The name is the line's last item: its padding ends up among the trailing blanks.
    QCOMPARE(verdict(), prefix(71002) + " MALLA INICIAL>MALLA FINAL IN VOLUM: EMPTY");
}

void TestGeometry::cellTableFromVolums() {
    Design d;
    d.addMaterial("Si", 1);
    d.addVolum("A", 0, 0, 0, 3e-9, 1e-9, 2e-9, 3, 1, 2);
    QCOMPARE(d.runSettingsStages(), QByteArray());
    state().volum[1].cell_type = 2;
    definicio_de_volums();
    QVERIFY(noError());
    const State &st = state();
    QCOMPARE(st.Mx, std::int64_t(2));
    QCOMPARE(st.My, std::int64_t(0));
    QCOMPARE(st.Mz, std::int64_t(1));
    const Cell *c = state().cellAt(2, 0, 1);
    QVERIFY(c);
    // Widths are taken in single precision.
    QCOMPARE(c->dx, double(float(1e-9)));
    QCOMPARE(c->x, 2 * double(float(1e-9)));
    QCOMPARE(c->z, double(float(1e-9)));
    QCOMPARE(c->volum, 1);
    QCOMPARE(c->cell_type, 2);
    QCOMPARE(c->material, 1);
    QCOMPARE(c->mat1, 11.7);
    QCOMPARE(c->mat2, 4.05);
}

void TestGeometry::invertedOrEmptyVolumsAreRefused_data() {
    QTest::addColumn<double>("xf");
    QTest::addColumn<int>("mx");
    QTest::addColumn<QByteArray>("expected");
    const QByteArray corners = prefix(71001) + " VARIABLE INICIAL>VARIABLE FINAL IN VOLUM: BAD";
    QTest::newRow("equal lower and upper x") << 1e-8 << 2 << corners;
    QTest::newRow("upper below lower") << 0.5e-8 << 2 << corners;
    QTest::newRow("NaN corner") << std::nan("") << 2 << corners;
    QTest::newRow("negative mesh count")
        << 2e-8 << -3 << prefix(71002) + " MALLA INICIAL>MALLA FINAL IN VOLUM: BAD";
}

void TestGeometry::invertedOrEmptyVolumsAreRefused() {
    QFETCH(double, xf);
    QFETCH(int, mx);
    QFETCH(QByteArray, expected);
    Design d;
    d.addMaterial("Si", 1);
    d.addVolum("GOOD", 0, 0, 0, 1e-8, 1e-8, 1e-8, 2, 1, 1);
    d.addVolum("BAD", 1e-8, 0, 0, xf, 1e-8, 1e-8, mx, 1, 1);
    QCOMPARE(d.runSettingsStages(), QByteArray());
    traduccio_volum();
    QCOMPARE(verdict(), expected);
}

void TestGeometry::laterVolumWinsOverlappingCells() {
    Design d;
    d.addMaterial("Si", 1);
    d.addVolum("FIRST", 0, 0, 0, 1e-8, 1e-8, 1e-8, 2, 1, 1);
    d.addVolum("SECOND", 0, 0, 0, 1e-8, 1e-8, 1e-8, 2, 1, 1);
    QCOMPARE(d.runSettingsStages(), QByteArray());
    definicio_de_volums();
    QCOMPARE(state().cellAt(1, 0, 0)->volum, 2);
}

void TestGeometry::misalignedNeighboursNameTheCorner() {
    Design d;
    d.addMaterial("Si", 1);
    d.addVolum("A", 0, 0, 0, 1e-9, 1e-9, 1e-9, 2, 2, 2);
    d.addVolum("B", 1e-9, 0, 0, 2e-9, 1e-9, 1.1e-9, 2, 2, 2); // taller cells along z
    QCOMPARE(d.runSettingsStages(), QByteArray());
    traduccio_volum();
    QCOMPARE(verdict(), prefix(72009) + " ERROR BETWEEN CELLS IN VOLUME " + name20("A") +
                            " AND CELLS IN VOLUME " + name20("B") + " FOR NODE:   7.00000000");
}

void TestGeometry::outerFacesMustBeBoundaries_data() {
    QTest::addColumn<int>("i");
    QTest::addColumn<int>("j");
    QTest::addColumn<int>("k");
    QTest::addColumn<QByteArray>("expected");
    const QByteArray first = " ERROR LA PRIMERA MALLA ES SILICI O OXID";
    const QByteArray last = " ERROR LA ULTIMA MALLA ES SILICI O OXID";
    QTest::newRow("inner cell") << 1 << 1 << 1 << QByteArray();
    QTest::newRow("k = 0") << 1 << 1 << 0
                           << prefix(72010) + " THE TYPE OF CELL           0  OF VOLUM " +
                                  name20("BOX") + " IS INCORRECT";
    QTest::newRow("k = Mz") << 1 << 1 << 2 << last;
    QTest::newRow("j = 0") << 1 << 0 << 1 << first;
    QTest::newRow("i = 0") << 0 << 1 << 1 << first;
    QTest::newRow("j = My") << 1 << 2 << 1 << last;
    QTest::newRow("i = Mx") << 2 << 1 << 1 << last;
    QTest::newRow("edge on k = 0 and i = 0 reports k = 0 first")
        << 0 << 1 << 0
        << prefix(72010) + " THE TYPE OF CELL           0  OF VOLUM " + name20("BOX") +
               " IS INCORRECT";
}

void TestGeometry::outerFacesMustBeBoundaries() {
    QFETCH(int, i);
    QFETCH(int, j);
    QFETCH(int, k);
    QFETCH(QByteArray, expected);
    Design d;
    d.addMaterial("Si", 1);
    d.addVolum("BOX", 0, 0, 0, 3e-9, 3e-9, 3e-9, 3, 3, 3);
    QCOMPARE(d.runSettingsStages(), QByteArray());
    state().volum[1].cell_type = 2;
    definicio_de_volums();
    setCellType(i, j, k, 0);
    control_de_coordenades();
    QCOMPARE(verdict(), expected);
}

void TestGeometry::nodeTypesAndNumbering() {
    ThreeVolums t;
    QVERIFY(t.prepare());
    control_de_coordenades();
    QCOMPARE(verdict(), QByteArray());
    definicio_tipus_de_nodes();
    QCOMPARE(verdict(), QByteArray());

    const State &st = state();
    QCOMPARE(st.nodes_numbered, 5 * 5 * 5);
    // Every inner node of the core touches a contact within the outer ring: no bulk (type 1)
    // nodes; the nine nodes of the middle plane are type 2.
    QCOMPARE(st.last_type1_node, 0);
    QCOMPARE(st.last_type2_node, 9);
    // The contacts each own the nine inner nodes of their face.
    QCOMPARE(st.prim_nod_cont[1], 10);
    QCOMPARE(st.ult_nod_cont[1], 18);
    QCOMPARE(st.prim_nod_cont[2], 19);
    QCOMPARE(st.ult_nod_cont[2], 18);
    QCOMPARE(st.prim_nod_cont[3], 19);
    QCOMPARE(st.ult_nod_cont[3], 27);

    State &w = state();
    QCOMPARE(w.cellAt(2, 2, 2)->node_type, 2);
    QCOMPARE(w.cellAt(1, 2, 2)->node_type, 5);
    QCOMPARE(w.cellAt(3, 1, 3)->node_type, 5);
    QCOMPARE(w.cellAt(0, 0, 0)->node_type, 10);
    // Numbers and positions are each other's inverse.
    const std::int32_t n = *w.nodeAt(3, 2, 1);
    QCOMPARE(w.indxm[std::size_t(n)], 3);
    QCOMPARE(w.indym[std::size_t(n)], 2);
    QCOMPARE(w.indzm[std::size_t(n)], 1);
    QCOMPARE(w.indx[std::size_t(n)], 5);
    QCOMPARE(*w.nodeAt(2, 2, 2), 1); // bulk-enclosed but next to contacts: first type-2 node
    QCOMPARE(*w.nodeAt(2, 1, 1), 2);
    QCOMPARE(*w.nodeAt(4, 4, 4), 125);

    // Signatures count the surrounding cells of each type in base 35.
    QCOMPARE(suma_contigua_8(2, 2, 2), std::int64_t(8));
    QCOMPARE(suma_contigua_8(1, 1, 1), std::int64_t(1 + 3 * 1225 + 4 * 42875));
    QCOMPARE(suma_contigua_8(0, 0, 0), std::int64_t(42875));
    QCOMPARE(suma_externa_24(2, 2, 2), std::int64_t(8 * 42875 + 16 * 1225));
}

void TestGeometry::contactFaceMarkers() {
    ThreeVolums t;
    QVERIFY(t.prepare());
    afterCellTable();
    QCOMPARE(verdict(), QByteArray());
    State &st = state();
    // Faces +x, +y, +z, -x, -y, -z.
    QCOMPARE(st.cellAt(1, 1, 1)->markers[3], 1);
    QCOMPARE(st.cellAt(0, 1, 1)->markers[0], 2);
    QCOMPARE(st.cellAt(2, 2, 1)->markers[0], 1);
    QCOMPARE(st.cellAt(3, 2, 1)->markers[3], 2);
    QCOMPARE(st.cellAt(1, 1, 1)->markers[0], 0);
    QCOMPARE(st.cellAt(1, 1, 1)->markers[1], 0);

    // Only contacts of volum kind 1 get markers.
    ThreeVolums u;
    Design::V(*u.d.volums[0], 2) = 0;
    QVERIFY(u.prepare());
    afterCellTable();
    QCOMPARE(state().cellAt(1, 1, 1)->markers[3], 0);
    QCOMPARE(state().cellAt(2, 2, 1)->markers[0], 1);
}

void TestGeometry::sourceAndDrainMustCoverTheirFaces() {
    ThreeVolums source;
    QVERIFY(source.prepare(2, 3));
    afterCellTable();
    QCOMPARE(verdict(), prefix(3027) + " THE SOURCE METAL HAS TO BE ENLARGED  AND FIT THE WHOLE "
                                       "LATERAL AREA IN THE Y AND Z DIRECTIONS.");
    ThreeVolums drain;
    QVERIFY(drain.prepare(3, 2));
    afterCellTable();
    QCOMPARE(verdict(), prefix(3028) + " THE DRAIN METAL HAS TO BE ENLARGED  AND FIT THE WHOLE "
                                       "LATERAL AREA IN THE Y AND Z DIRECTIONS.");
}

void TestGeometry::currentVolumeOutsideTheDeviceIsReported() {
    ThreeVolums t;
    t.d.G(204) = 1;
    t.d.G(205) = 1e-14;
    const double range[] = {0, 3, 0, 3, 0, 6}; // z beyond Mz + 1 = 4
    for (int n = 0; n < 6; ++n)
        t.d.G(206 + n) = range[n];
    QVERIFY(t.prepare());
    afterCellTable();
    // The message does not stop the stage: the tables are still filled.
    QCOMPARE(verdict(), prefix(3006) + " THE VOLOM FOR CURRENT COMPUTATION MUST BE SHORTER OR "
                                       "EQUAL TO THE SIMULATION VOLUM");
    QCOMPARE(state().nodes_numbered, 125);
}

void TestGeometry::axisTables() {
    ThreeVolums t;
    QVERIFY(t.prepare());
    afterCellTable();
    QCOMPARE(verdict(), QByteArray());
    const State &st = state();
    const double w = double(float(1e-9));
    QCOMPARE(st.cx.size(), std::size_t(6));
    for (int i = 0; i <= 3; ++i) {
        QCOMPARE(st.dx[std::size_t(i)], w);
        QVERIFY2(std::fabs(st.cx[std::size_t(i)] - i * 1e-9) < 1e-16, // single-precision widths
                 qPrintable(QString::number(st.cx[std::size_t(i)], 'g', 17)));
    }
    QVERIFY(std::fabs(st.cx[4] - 4e-9) < 1e-16); // far end of the last cell
    QCOMPARE(st.cz[4], st.cz[3] + st.dz[3]);
    QCOMPARE(st.dy[3], w);
}

QTEST_APPLESS_MAIN(TestGeometry)
#include "tst_geometry.moc"
