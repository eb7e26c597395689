// Boundaries (internal and external volums, cell types), contacts and reservoirs, the volume for
// current computation and the particle grid, on the small device of device.h.

#include "checker/comprova_state.h"
#include "checker/omega.h"
#include "checker/wavegrid.h"
#include "device.h"

#include <QTest>

using namespace testdesign;

namespace {

const QByteArray kOk = " [OK] SIMULATION DESIGN FREE FROM ERRORS";

// A name item: 20 characters.
QByteArray name(const char *n) {
    return QByteArray(n).leftJustified(20, ' ');
}

// An error line: the prefix up to the code's closing bracket, then the items after it.
QByteArray line(int code, const QByteArray &rest) {
    return prefix(code) + (rest.startsWith(']') ? rest.mid(1) : rest);
}

} // namespace

class TestContactes : public QObject {
    Q_OBJECT

private slots:
    void cleanup() {
        // Leave nothing allocated for the next test, whatever version a test used.
        comprova::gestor_memoria_global_final();
    }

    void deviceIsAccepted_data() {
        QTest::addColumn<double>("shift");
        QTest::newRow("positive coordinates") << 0.0;
        QTest::newRow("below the origin") << -20.0;
        QTest::newRow("across the origin") << -4.0;
    }
    void deviceIsAccepted() {
        QFETCH(double, shift);
        Device d(shift);
        QCOMPARE(d.run(), kOk);
    }

    // What the stages hand to the simulator for the accepted device.
    void deviceTablesDescribeTheContacts() {
        Device d;
        d.makeGate(Device::Top);
        d.version = -1;
        QCOMPARE(d.run(), kOk);
        const comprova::State &st = comprova::state();
        QCOMPARE(st.volum[Device::Channel].cell_type, 0);
        QCOMPARE(st.volum[Device::Source].cell_type, 3);
        QCOMPARE(st.volum[Device::Bottom].cell_type, 2);
        QCOMPARE(st.volum[Device::Top].cell_type, 3);
        QCOMPARE(int(st.reservoir.size()), 3);
        const comprova::Reservoir &source = st.reservoir[std::size_t(st.source - 1)];
        const comprova::Reservoir &drain = st.reservoir[std::size_t(st.drain - 1)];
        QCOMPARE(source.face, 4);
        QCOMPARE(source.volum, int(Device::Source));
        QCOMPARE(drain.face, 1);
        QCOMPARE(drain.volum, int(Device::Drain));
        // The source face is the channel's first column of cells, 2 x 1 cells.
        QCOMPARE(source.i1, std::int64_t(2));
        QCOMPARE(source.i2, std::int64_t(2));
        QCOMPARE(source.j1, std::int64_t(1));
        QCOMPARE(source.j2, std::int64_t(2));
        QCOMPARE(source.k1, std::int64_t(1));
        QCOMPARE(source.k2, std::int64_t(1));
        QVERIFY(qAbs(source.y2 - 3e-9) < 1e-15);
        QCOMPARE(source.kind, 1);
        // The gate is a further reservoir that faces neither end.
        QCOMPARE(st.reservoir[2].volum, int(Device::Top));
        QCOMPARE(st.reservoir[2].face, 0);
        QCOMPARE(st.s.injections[0].reservoir, st.source);
        QCOMPARE(st.s.injections[1].reservoir, st.drain);
        QCOMPARE(st.box_i1, std::int64_t(2));
        QCOMPARE(st.box_i2, std::int64_t(5));
        // Classical particles: the particle grid is the mesh grid, active over the channel.
        QCOMPARE(comprova::particleGrid().cells_x, std::int64_t(8));
        QCOMPARE(comprova::particleGrid().cells_z, std::int64_t(3));
        QCOMPARE(comprova::particleGrid().active_first, std::int64_t(2));
        QCOMPARE(comprova::particleGrid().active_last, std::int64_t(5));
    }

    void aVolumAloneWithTheNeumannBoundaryIsExternal() {
        Design d;
        d.addMaterial("Oxide", 1);
        volum_str &v = d.addVolum("Slab", 0, 0, 0, 1e-9, 1e-9, 1e-9, 1, 1, 1);
        Design::V(v, kNeumann) = 1;
        d.version = -1;
        QCOMPARE(d.run(), line(3027, "] THE SOURCE METAL HAS TO BE ENLARGED  AND FIT THE WHOLE "
                                     "LATERAL AREA IN THE Y AND Z DIRECTIONS."));
        QCOMPARE(comprova::state().volum[1].cell_type, 2);
    }

    // Each boundary rule names the first volum that breaks it.
    void boundaryRules_data() {
        QTest::addColumn<int>("volum");
        QTest::addColumn<int>("record");
        QTest::addColumn<double>("value");
        QTest::addColumn<QByteArray>("expected");
        QTest::newRow("contact with free electrons and Neumann")
            << int(Device::Bottom) << int(kFreeElectrons) << 1.0
            << line(6001, "] THE VOLUM " + name("Bottom") +
                              " HAS FREE ELECTRONS. CHANGE THE BOUNDARY NEUMMAN");
        QTest::newRow("internal volum not marked internal")
            << int(Device::Channel) << int(kInternal) << 0.0
            << line(6005, "] THE VOLUM " + name("Channel") +
                              " HAS BEEN DEFINED AS EXTERNAL WHEN IT IS AN INTERNAL VOLUME. "
                              "CHANGE THE INTERNAL_NOBOUNDARY FLAG INTO TRUE.");
        QTest::newRow("external volum marked internal")
            << int(Device::SideHigh) << int(kInternal) << 1.0
            << line(6006, "] THE VOLUM " + name("SideHigh") +
                              " HAS BEEN DEFINED AS INTERNAL WHEN IT IS AN EXTERNAL VOLUME. "
                              "CHANGE THE INTERNAL_NOBOUNDARY FLAG INTO FALSE");
        const QByteArray internalWithBoundary =
            "] THE VOLUM " + name("Channel") +
            " IS INTERNAL BUT ITS HAS DEFINED BOUNDARY. PUT FALSE FOR ALL BOUNDARIUES. THE SAME "
            "ERROR CAN BE DUE TO AN INCONSISTENT NUMBER OF  CELLS IN DIFFERENT LINES.";
        QTest::newRow("internal volum with a DC boundary")
            << int(Device::Channel) << int(kDc) << 1.0 << line(6007, internalWithBoundary);
        QTest::newRow("internal volum with the Neumann boundary")
            << int(Device::Channel) << int(kNeumann) << 1.0 << line(6007, internalWithBoundary);
        QTest::newRow("external volum without a boundary")
            << int(Device::Bottom) << int(kNeumann) << 0.0
            << line(6004, "] THE VOLUM " + name("Bottom") + " HAS NO DEFINED BOUNDARY");
        QTest::newRow("charge neutrality makes a contact beside the source and drain")
            << int(Device::Bottom) << int(kNeutrality) << 1.0
            << line(8001, "] THIS VOLUM " + name("Bottom") +
                              " CANNOT HAVE CHARGE NEUTRARLITY ACTIVIATED");
    }
    void boundaryRules() {
        QFETCH(int, volum);
        QFETCH(int, record);
        QFETCH(double, value);
        QFETCH(QByteArray, expected);
        Device d;
        d.V(volum, record) = value;
        if (record == kNeutrality) // a contact without free electrons needs its boundary
            d.V(volum, kNeumann) = 0;
        QCOMPARE(d.run(), expected);
    }

    // A face within 0.1 % of the device's bound (relative to the coordinate) lies on its
    // surface, below the origin as well: far from the origin the channel is no longer internal.
    void interiorMarginHoldsOnBothSidesOfTheOrigin_data() {
        QTest::addColumn<double>("shift");
        QTest::addColumn<bool>("internal");
        QTest::newRow("500 nm") << 500.0 << true;
        QTest::newRow("-500 nm") << -500.0 << true;
        QTest::newRow("3000 nm") << 3000.0 << false;
        QTest::newRow("-3000 nm") << -3000.0 << false;
    }
    void interiorMarginHoldsOnBothSidesOfTheOrigin() {
        QFETCH(double, shift);
        QFETCH(bool, internal);
        Device d(shift);
        QCOMPARE(d.run(), internal ? kOk
                                   : line(6006, "] THE VOLUM " + name("Channel") +
                                                    " HAS BEEN DEFINED AS INTERNAL WHEN IT IS AN "
                                                    "EXTERNAL VOLUME. CHANGE THE "
                                                    "INTERNAL_NOBOUNDARY FLAG INTO FALSE"));
    }

    void contactRules_data() {
        QTest::addColumn<QString>("change");
        QTest::addColumn<QByteArray>("expected");
        QTest::newRow("no source") << "source without free electrons"
                                   << line(8010, "] THERE IS NO RESERVOIR IN THE SOURCE THE "
                                                 "FLAGELECTRONS HAS TO BE TRUE IN THE CONTACTS AND "
                                                 "IN THE APROPIATE INTERNAL VOLUMES.");
        QTest::newRow("no drain") << "drain without free electrons"
                                  << line(8011, "] THERE IS NO RESERVOIR IN THE DRAIN THE "
                                                "FLAGELECTRONS HAS TO BE TRUE IN THE CONTACTS AND "
                                                "IN THE APROPIATE INTERNAL VOLUMES.");
        QTest::newRow("contact across y")
            << "side contact"
            << line(8002, "] ONLY TRANSPORT IN THE X DIRECTION (RED LINE) IS "
                          "IMPLEMENTED");
        QTest::newRow("two boundary kinds")
            << "source DC and AC"
            << line(8003, "] ONLY ONE TYPE OF BOUNDARY CONDITONS DC,AC,TRANS IS ACCEPTED (DC & "
                          "AC TRUE includes voltage in AC)");
        QTest::newRow("one face, two contact volums")
            << "split source"
            << line(8004, "] ONE RESERVOIRS CONTAINS" + name("SourceA") + " AND " +
                              name("SourceB") + " .PUT JUST ONE VOLUM");
        QTest::newRow("parabolic contacts without accelerated injection")
            << "no accelerated injection"
            << line(8009, "] THE ACCELERATED INJECTION IS MANDATORY IF A NON-LINEAR DISPERSION "
                          "RESERVOIRS ARE USED.");
        QTest::newRow("two channels")
            << "two channels" << line(8008, "] TWO RESERVOIRS ARE MANDATORY");
        QTest::newRow("neutrality in the source only")
            << "neutrality source"
            << line(8006, "] FOR CHARGE NEUTRALITY THE RESERVOIRS " + name("Source") + "AND" +
                              name("Drain") + " NEED TO HAVE BEEN ACTIVATED. NOT ONLY ONE");
        QTest::newRow("neutrality with different start")
            << "neutrality 3 and 4"
            << line(8007, "] FOR CHARGE NEUTRALITY THE RESERVOIRS " + name("Source") + " AND " +
                              name("Drain") +
                              " NEED TO HAVE IDENTICAL VALUES OF  NSTOP_CON,MITJA_CON,FILTRE AND "
                              "ITERNEUSTART");
        QTest::newRow("neutrality with other averaging times") << "neutrality 53 to 55" << kOk;
        QTest::newRow("injection from the channel")
            << "inject from channel"
            << line(3011, "] THE DISCRETE INJECTION FROM VOLUM " + name("Channel") +
                              "IS NOT POSSIBLE. IT IS NOT A RESERVOIR");
        QTest::newRow("switched-off injection from the channel")
            << "inject from channel, off" << kOk;
        QTest::newRow("two-dimensional transport from a cladding")
            << "trans2d from cladding"
            << line(3024, "] THE INJECTION FROM VOLUM IN TRANS2D " + name("Bottom") +
                              "IS NOT POSSIBLE. IT IS NOT A RESERVOIR");
        QTest::newRow("gate with charge neutrality")
            << "gate neutrality"
            << line(8001,
                    "] THIS VOLUM " + name("Top") + " CANNOT HAVE CHARGE NEUTRARLITY ACTIVIATED");
        QTest::newRow("gate with two boundary kinds")
            << "gate DC and floating"
            << line(8003, "] ONLY ONE TYPE OF BOUNDARY CONDITONS DC,AC,TRANS IS ACCEPTED (DC & "
                          "AC TRUE includes voltage in AC)");
        QTest::newRow("gate with another transient")
            << "gate transient differs"
            << line(8005, "] THE RESERVOIRS " + name("Source") +
                              " HAS A TRANSIENT BOUNDARY CONDITIONS. DIFFERENT FROM OTHER Top");
        QTest::newRow("gate with the same transient") << "gate transient same" << kOk;
        QTest::newRow("gate with another AC signal")
            << "gate AC differs"
            << line(8005, "] THE RESERVOIRS " + name("Source") +
                              " HAS A TRANSIENT BOUNDARY CONDITIONS. DIFFERENT FROM OTHER Top");
        const QByteArray tooLong =
            line(3012, "] THE NUMBER OF STEP IN THE TRANSIENT SIMULATION HAS TO BE LOWER THAN "
                       "1000");
        QTest::newRow("transient of 999 steps") << "transient 999" << kOk;
        QTest::newRow("transient of 1000 steps") << "transient 1000" << tooLong;
        QTest::newRow("AC over 999 steps") << "AC 999" << kOk;
        QTest::newRow("AC over 1000 steps") << "AC 1000" << tooLong;
        QTest::newRow("gate transient of 1000 steps") << "gate transient 1000" << tooLong;
    }
    void contactRules() {
        QFETCH(QString, change);
        QFETCH(QByteArray, expected);
        Device d;
        if (change == "source without free electrons") {
            d.V(Device::Source, kFreeElectrons) = 0;
        } else if (change == "drain without free electrons") {
            d.V(Device::Drain, kFreeElectrons) = 0;
        } else if (change == "side contact") {
            d.V(Device::SideHigh, kNeumann) = 0;
            d.V(Device::SideHigh, kFreeElectrons) = 1;
            d.V(Device::SideHigh, kDc) = 1;
        } else if (change == "source DC and AC") {
            d.V(Device::Source, kAc) = 1;
        } else if (change == "split source") {
            d.volums.erase(d.volums.begin()); // renumbers: the drain becomes volum 1
            d.G(77) = 7;
            d.G(94) = 1;
            d.contact("SourceA", 0, 2).yf = 2e-9;
            d.contact("SourceB", 0, 2).yi = 2e-9;
            d.volums[6]->myf = 2;
            d.volums[7]->myf = 2;
        } else if (change == "no accelerated injection") {
            d.G(63) = 0;
        } else if (change == "two channels") {
            // Two channels side by side along y, parted by an internal insulator: each end of
            // each channel is a reservoir of its own.
            d.volums.clear();
            d.contact("Source", 0, 2, 0, 5);
            d.contact("Drain", 6, 8, 0, 5);
            for (const Device::P lo : {Device::P{2, 1, 1}, Device::P{2, 3, 1}}) {
                volum_str &ch = d.box("Channel", lo, {6, lo.y + 1, 2});
                Design::V(ch, kFreeElectrons) = 1;
                Design::V(ch, kInternal) = 1;
            }
            Design::V(d.box("Parting", {2, 2, 1}, {6, 3, 2}), kInternal) = 1;
            d.cladding("Bottom", {2, 0, 0}, {6, 5, 1});
            d.cladding("Top", {2, 0, 2}, {6, 5, 3});
            d.cladding("SideLow", {2, 0, 1}, {6, 1, 2});
            d.cladding("SideHigh", {2, 4, 1}, {6, 5, 2});
        } else if (change == "neutrality source") {
            d.V(Device::Source, kNeutrality) = 1;
        } else if (change == "neutrality 3 and 4") {
            d.V(Device::Source, kNeutrality) = 1;
            d.V(Device::Drain, kNeutrality) = 1;
            d.V(Device::Source, 56) = 3;
            d.V(Device::Drain, 56) = 4;
        } else if (change == "neutrality 53 to 55") {
            d.V(Device::Source, kNeutrality) = 1;
            d.V(Device::Drain, kNeutrality) = 1;
            d.V(Device::Source, 53) = 2e-13;
            d.V(Device::Source, 54) = 3e-14;
            d.V(Device::Source, 55) = 4e-14;
        } else if (change == "inject from channel") {
            d.G(94) = Device::Channel;
        } else if (change == "inject from channel, off") {
            d.G(94) = Device::Channel;
            d.G(84) = 0;
        } else if (change == "trans2d from cladding") {
            d.G(262) = 1;
            d.G(272) = Device::Bottom;
        } else if (change == "gate neutrality") {
            d.makeGate(Device::Top);
            d.V(Device::Top, kNeutrality) = 1;
        } else if (change == "gate DC and floating") {
            d.makeGate(Device::Top);
            d.V(Device::Top, kFloating) = 1;
        } else if (change.startsWith("gate transient") || change == "gate AC differs") {
            const bool ac = change == "gate AC differs";
            const int sw = ac ? kAc : kTrans;
            for (const int v : {int(Device::Source), int(Device::Top)}) {
                d.V(v, kDc) = 0;
                d.V(v, sw) = 1;
                if (ac) {
                    d.V(v, 33) = 0.01;
                    d.V(v, 41) = 500;
                } else {
                    d.V(v, 24) = 0.5;
                    d.V(v, 26) = 10;
                    d.V(v, 27) = change.endsWith("1000") ? 990 : 10;
                }
            }
            d.makeGate(Device::Top);
            d.V(Device::Top, kDc) = 0;
            if (change.endsWith("differs"))
                d.V(Device::Top, ac ? 34 : 24) = 0.6;
            if (change.endsWith("1000")) { // only the gate carries a transient
                d.V(Device::Source, 26) = 0;
                d.V(Device::Source, 27) = 0;
            }
        } else if (change.startsWith("transient")) {
            d.V(Device::Source, kDc) = 0;
            d.V(Device::Source, kTrans) = 1;
            d.V(Device::Source, 26) = 500;
            d.V(Device::Source, 27) = change.endsWith("1000") ? 500 : 499;
        } else if (change.startsWith("AC")) {
            d.V(Device::Drain, kDc) = 0;
            d.V(Device::Drain, kAc) = 1;
            d.V(Device::Drain, 41) = change.endsWith("1000") ? 1000 : 999;
        } else {
            QFAIL("unknown change");
        }
        QCOMPARE(d.run(), expected);
    }

    // The volume for current computation lists the volums it touches and widens its box to the
    // volums with free electrons among them; a range reaching the far end of the grid is fine.
    void currentVolumeListsItsVolums_data() {
        QTest::addColumn<QVector<int>>("range"); // first and last cell along x, y, z
        QTest::addColumn<int>("volums");
        QTest::addColumn<int>("electronVolums");
        QTest::addColumn<double>("lowerX");
        QTest::addColumn<double>("upperX");
        QTest::newRow("inside the channel and claddings")
            << QVector<int>{2, 4, 0, 2, 0, 2} << 4 << 1 << 2e-9 << 6e-9;
        QTest::newRow("from the source to the far end")
            << QVector<int>{0, 8, 0, 4, 0, 3} << 7 << 3 << 0.0 << 8e-9;
    }
    void currentVolumeListsItsVolums() {
        QFETCH(QVector<int>, range);
        QFETCH(int, volums);
        QFETCH(int, electronVolums);
        QFETCH(double, lowerX);
        QFETCH(double, upperX);
        Device d;
        d.version = -1;
        d.G(204) = 1;
        d.G(205) = 1e-14;
        for (int n = 0; n < 6; ++n)
            d.G(206 + n) = range[n];
        QCOMPARE(d.run(), kOk);
        const comprova::OmegaVolume &o = comprova::omegaVolume();
        QCOMPARE(o.count, volums);
        QCOMPARE(o.electron_count, electronVolums);
        QVERIFY(qAbs(o.lower[0] - lowerX) < 1e-15);
        QVERIFY(qAbs(o.upper[0] - upperX) < 1e-15);
        QCOMPARE(comprova::state().memory[comprova::kSlotMquan], 1);
    }

    // A range off the grid is refused, never walked.
    void currentVolumeOffTheGridIsRefused_data() {
        QTest::addColumn<QVector<int>>("range");
        QTest::newRow("beyond the far end") << QVector<int>{2, 40, 0, 2, 0, 2};
        QTest::newRow("before the first cell") << QVector<int>{-5, 2, 0, 2, 0, 2};
        QTest::newRow("huge") << QVector<int>{0, 2000000000, 0, 2, 0, 2};
    }
    void currentVolumeOffTheGridIsRefused() {
        QFETCH(QVector<int>, range);
        const QByteArray tooLarge = line(3006, "] THE VOLOM FOR CURRENT COMPUTATION MUST BE "
                                               "SHORTER OR EQUAL TO THE SIMULATION VOLUM");
        Device d;
        d.version = -1;
        d.G(204) = 1;
        d.G(205) = 1e-14;
        for (int n = 0; n < 6; ++n)
            d.G(206 + n) = range[n];
        QCOMPARE(d.run(), tooLarge);
        // The stage itself refuses the range too, should it ever be reached with one.
        comprova::State &st = comprova::state();
        st.text.assign(kVerdictLength, ' ');
        comprova::seleccio_volum_omega();
        QCOMPARE(trimmed(st.text), tooLarge);
    }

    void noChannelOnTheTransportLineGivesNoActiveZone() {
        Device d;
        d.version = -1;
        QCOMPARE(d.run(), kOk);
        comprova::State &st = comprova::state();
        for (comprova::Cell &c : st.malla)
            if (c.cell_type == 0)
                c.cell_type = 1;
        st.text.assign(kVerdictLength, ' ');
        comprova::traduccio_variables_particules();
        QCOMPARE(trimmed(st.text), line(9004, "] ERROR WHEN DEFINING ZONAACTIVA"));
    }

    // Two runs in a row: the second starts from clean reservoir tables.
    void secondRunFindsItsOwnReservoirs() {
        Device d;
        d.version = -1;
        QCOMPARE(d.run(), kOk);
        QCOMPARE(d.run(), kOk);
        QCOMPARE(int(comprova::state().reservoir.size()), 2);
    }

    // A run with version 1 releases the reservoirs, the current volume and the particle tables;
    // one with -1 keeps them for inspection.
    void versionOneReleasesTheStageTables() {
        for (const int version : {-1, 1}) {
            Device d;
            d.version = version;
            d.G(204) = 1;
            d.G(205) = 1e-14;
            for (int n = 0; n < 6; ++n)
                d.G(206 + n) = QVector<int>{2, 4, 0, 2, 0, 2}[n];
            QCOMPARE(d.run(), kOk);
            const comprova::State &st = comprova::state();
            const bool kept = version == -1;
            QCOMPARE(st.reservoir.empty(), !kept);
            QCOMPARE(st.mquan.empty(), !kept);
            QCOMPARE(st.pv.empty(), !kept);
            QCOMPARE(st.tpv.empty(), !kept);
            QCOMPARE(st.memory.empty(), !kept);
        }
    }
};

QTEST_APPLESS_MAIN(TestContactes)
#include "tst_contactes.moc"
