// Every rule of the stages on the small device of design.h: one row per rule, the edit that
// breaks it (or takes it to its limit) and the exact line the user sees.

#include "design.h"

#include <QTest>

#include <iterator>
#include <limits>

using namespace testdesign;

namespace {

using Edit = void (*)(Design &);
struct Rule {
    const char *name;
    Edit edit;
    QByteArray expected;
};

// Effective mass (electron masses) that puts hbar dt / (dx^2 m) at `ratio` for 0.1 fs, 1 nm.
double massForRatio(double ratio) {
    return 1e-16 * 1.0545900502710371e-34 / (1e-18 * ratio) / 9.109136121414667e-31;
}
// Fermi velocity that puts sqrt(2) dt VF / dx at `ratio`.
double velocityForRatio(double ratio) {
    return ratio * 1e-9 / (1.4142135381698608 * 1e-16);
}
// Moves the whole device by `nm` nanometres along every axis.
void shift(Design &d, double nm) {
    for (volum_str &v : d.volums) {
        for (double *c : {&v.xi, &v.yi, &v.zi, &v.xf, &v.yf, &v.zf})
            *c += nm * Design::nm;
    }
}
// Source and top gate both with the same transient (or AC signal when `ac`).
void sharedTransient(Design &d, bool ac) {
    d.makeGate(Top);
    for (const int v : {int(Source), int(Top)}) {
        d.V(v, kDc) = 0;
        d.V(v, ac ? kAc : kTrans) = 1;
        d.V(v, ac ? 33 : 24) = 0.5;
        d.V(v, ac ? 41 : 26) = 10;
    }
}

const QByteArray kOutput =
    " THE VALUE    5.00000002E-16  IN EVOLVING  OUTPUTS RESULTS DEFINED AS THE "
    "TEMPORAL STEP FOR WRITTING THE  RESULTS, MUST BE GREATER OR EQUAL THAN "
    "THE TIME    1.00000000E-15";
const QByteArray kMarkedInternal = " HAS BEEN DEFINED AS INTERNAL WHEN IT IS AN EXTERNAL VOLUME. "
                                   "CHANGE THE INTERNAL_NOBOUNDARY FLAG INTO FALSE";
const QByteArray kChannelOnSurface = err(6006, " THE VOLUM " + name("Channel") + kMarkedInternal);
const QByteArray kInternalWithBoundary =
    " IS INTERNAL BUT ITS HAS DEFINED BOUNDARY. PUT FALSE FOR ALL BOUNDARIUES. THE SAME ERROR CAN "
    "BE DUE TO AN INCONSISTENT NUMBER OF  CELLS IN DIFFERENT LINES.";
const QByteArray kOneBoundary = err(8003, " ONLY ONE TYPE OF BOUNDARY CONDITONS DC,AC,TRANS IS "
                                          "ACCEPTED (DC & AC TRUE includes voltage in AC)");
const QByteArray kTransientDiffers = err(8005, " THE RESERVOIRS " + name("Source") +
                                                   " HAS A TRANSIENT BOUNDARY CONDITIONS. "
                                                   "DIFFERENT FROM OTHER Top");
const QByteArray kTooManySteps =
    err(3012, " THE NUMBER OF STEP IN THE TRANSIENT SIMULATION HAS TO BE LOWER THAN 1000");
const QByteArray kOffTheGrid = err(3006, " THE VOLOM FOR CURRENT COMPUTATION MUST BE SHORTER OR "
                                         "EQUAL TO THE SIMULATION VOLUM");
const QByteArray kConfinement =
    err(9015, " THE LINEAR DISPERSION NEEDS  CONFY=TRUE AND CONFZ=FALSE");
const QByteArray kWaveSteps = " AND SPATIAL STEP OF SCHRODINGER DXSCHO=   9.99999972E-10  ARE "
                              "INCOMPATIBLE.      FOR AN ACCURATE SOLUTION :         ";
const QByteArray kSchrodinger =
    err(9002, " THE TEMPORAL STEP OF SCHRODINGER DTSCHO=   1.00000002E-16 " + kWaveSteps +
                  "0.4<HVAR*DTSCHO/(DXSCHO^2*M)<0.5");
const QByteArray kDirac = err(9016, " THE TEMPORAL STEP OF DIRAC DTSCHO=   1.00000002E-16  AND "
                                    "SPATIAL STEP OF DIRAC DXSCHO=   9.99999972E-10  ARE "
                                    "INCOMPATIBLE.      FOR AN ACCURATE SOLUTION :         "
                                    "0.01<VF*DTSCHO*sqr(2)/min(DXSCHO,DYSCHO)<0.999");
const QByteArray kX1 = " IS SHORTER THAN 3.5 TIMES THE DISPERSIO_X    9.99999994E-09";
const QByteArray kMultiple =
    " MUST BE A MULTIPLE OF    4.00000005E-10 .NOW IT IS     9.99999972E-10";

const Rule kRules[] = {
    // General settings.
    {"repetitions at the limit", [](Design &d) { d.G(4) = 10000; }, kOk},
    {"too many repetitions", [](Design &d) { d.G(4) = 10001; },
     err(3008, " THE NUMBER OF REPETITIONS HAS TO BE NOT GREATER THAN 10000")},
    {"no particles", [](Design &d) { d.G(5) = 0; },
     err(3035, " THE INJCETION PROCES REQUIRES  AT LEAST A NUMBER OF PARTICLES EQUAL TO 1")},
    {"scattering volum with the Dirac equation",
     [](Design &d) { d.G(11) = 2, d.V(Channel, kScattering) = 1; },
     err(3009, " SCATTERING WITH DIRAC EQUATION IS STIL NOT IMPLEMENTED")},
    {"unknown exchange", [](Design &d) { d.G(25) = 2; },
     err(3001, " EXCHANGE DEFINITION ERRONEOUS" + num(2))},
    {"Poisson step below the wave step", [](Design &d) { d.G(11) = 1, d.G(47) = 0.5e-15; },
     err(3004, " THE TEMPORAL STEP OF POISSON   5.00000002E-16  MUST BE LRGER THAN TEMPORAL "
               "STEP OF SCHORDINGER   1.00000000E-15")},
    {"time step of zero", [](Design &d) { d.G(47) = 0; },
     err(3031, " THE COMPUTATION OF THE INTEGER    9.99999996E-13  /    0.00000000      IS "
               "GREATER THAN 2E9")},
    {"four injection steps from the packet widths",
     [](Design &d) { d.G(63) = 0, d.G(60) = 4 * 6.283185005187988 / 1e-8; },
     err(3033, " THE INJCETION STEPS IN Z IS " + num(4) +
                   "  WHICH IS LOWER THAN THAN 5. ENLARGE MAXWEVEVECTOR    2.51327411E+09  OR "
                   "ENLARGE THE VALUES OF DISPERSIO_X OR DISPERSIO_Z")},
    {"300 injection steps", [](Design &d) { d.G(64) = 300; }, kOk},
    {"301 injection steps", [](Design &d) { d.G(64) = 301, d.G(60) = 3e9; },
     err(3034, " THE INJCETION STEPS IN X IS " + num(301) +
                   "  WHICH IS GREATER THAN THAN 300. THIS WILL CONSUME  MNAY TIME IN THE "
                   "INJECTION ALGORITHM. REDUCE MAXWEVEVECTOR    3.00000000E+09  OR REDUCE THE "
                   "VALUES OF DISPERSIO_X OR DISPERSIO_Z")},
    {"injection time below one step", [](Design &d) { d.G(76) = 0.5e-15; },
     err(3025, " THE NUMBER OF STEPS IS LOWER THAN DT=    1.00000000E-15 . ENLARGE THE "
               "INJECTION TIME.")},
    {"injecting volum past the count", [](Design &d) { d.G(94) = 8; },
     err(3010, " THE DISCRETE INJECTION FROM VOLUM " + num(8) +
                   " IS NOT POSSIBLE. IT IS NOT A VALID INJECTING VOLUM")},
    {"scattering not after injection", [](Design &d) { d.G(81) = 1e-14; },
     err(3029, " THE INJECTION    9.99999982E-15  TIME IS GREATER THAN SCATTERING TIME "
               "   9.99999982E-15")},
    {"injection fraction of 0", [](Design &d) { d.G(67 + 34 + 6) = 0; },
     err(3007, " THE VARIABLE OF THE  INJECTION OF ELECTRON: " + num(3) +
                   "  MUST BE BETWEEN (0,1)")},
    {"injection fraction of 1", [](Design &d) { d.G(67 + 5) = 1; },
     err(3007, " THE VARIABLE OF THE  INJECTION OF ELECTRON: " + num(1) +
                   "  MUST BE BETWEEN (0,1)")},
    {"current volume two cells wide", [](Design &d) { d.currentVolume({2, 4, 0, 1, 0, 2}); },
     err(3003, " THE VOLUME FOR CURRENT COMPUTATION  MUST BE LARGER THAN 2 CELLS IN EACH "
               "DIRECTION")},
    {"output interval below the ratio", [](Design &d) { d.G(218) = 1, d.G(219) = 0.5e-15; },
     err(3005, kOutput)},
    {"last output block always in force", [](Design &d) { d.G(242) = 0.5e-15; },
     err(3005, kOutput)},
    {"movie without frames", [](Design &d) { d.G(236) = 1; },
     err(3005, QByteArray(kOutput).replace("5.00000002E-16", "0.00000000    "))},
    {"movie past the final time", [](Design &d) { d.G(236) = 1, d.G(238) = 2e-12; },
     err(3017, " THE FINALTIME OF THE MOVI    1.99999999E-12  IS GREATER THAN FINALTIME OF THE "
               "SIMULATION    9.99999996E-13")},
    {"too many frames", [](Design &d) { d.G(239) = 1000001; },
     err(3016, " THE NUMBER OF FRAMES: " + num(1000001) + "  CANNOT BE GREATER THAN 999999")},
    {"transmission with classical particles", [](Design &d) { d.G(248) = 1; },
     err(3018, " FLAG_MIG_TRANSMISSIO CAN ONLY BE  COMPUTED FOR QUANTUM PARTICLES, BUT "
               "FLAG_PARTICLES ARE DEFINED AS CLASSICAL. CHANGE ONE OF THE TWO.")},
    {"2D injecting volum 0", [](Design &d) { d.G(272) = 0; },
     err(3023, " THE INJECTION FROM VOLUM IN TRANS2D " + num(0) +
                   " IS NOT POSSIBLE. IT IS NOT A VALID INJECTING VOLUM")},
    {"too many trajectories", [](Design &d) { d.G(275) = 1001; },
     err(3032, " THE NUMBER OF SIMULATED TRAJECTORIES  IN TRANS_2D IS GREATER THAN 1000. "
               "DECREASE THE NUMBER")},

    // Materials.
    {"parabolic and linear", [](Design &d) { d.M(81) = 1; },
     err(3020, " AMBIGOUS DEFINITION OF PARABOLIC AND LINERAR DISPERSION IN MATERIAL " +
                   name("Silicon") + " . SELECT ONLY ONE TYPE OF DISPERSION")},
    {"no dispersion, index past the count",
     [](Design &d) { d.addMaterial("Si_copy", 57), d.M(15, 2) = 0; },
     err(3021, " NO DEFINITION OF PARABOLIC OR LINERAR DISPERSION IN MATERIAL " +
                   name("Si_copy") + " . SELECT ONLY ONE TYPE OF DISPERSION")},
    {"tight binding", [](Design &d) { d.M(150) = 1; },
     err(3002, " TIGHT-BINDING NOT IMPLEMENTED YET")},
    {"switched-off injection with an undefined mechanism", [](Design &d) { d.G(186 + 15) = 9; },
     err(3030, " THE SELECTED SCATTERING MECHANISM " + num(9) +
                   "  IS NOT DEFINED IN SCATTERING MATERIALS PROPERTIES")},
    {"mechanisms only from materials 1 to the count",
     [](Design &d) { d.materials[0].indexname = 5; },
     err(3030, " THE SELECTED SCATTERING MECHANISM " + num(1) +
                   "  IS NOT DEFINED IN SCATTERING MATERIALS PROPERTIES")},

    // Boundaries.
    {"cladding with free electrons", [](Design &d) { d.V(Bottom, kFreeElectrons) = 1; },
     err(6001, " THE VOLUM " + name("Bottom") + " HAS FREE ELECTRONS. CHANGE THE BOUNDARY "
                                                "NEUMMAN")},
    {"internal volum not marked internal", [](Design &d) { d.V(Channel, kInternal) = 0; },
     err(6005, " THE VOLUM " + name("Channel") +
                   " HAS BEEN DEFINED AS EXTERNAL WHEN IT IS AN INTERNAL VOLUME. CHANGE THE "
                   "INTERNAL_NOBOUNDARY FLAG INTO TRUE.")},
    {"external volum marked internal", [](Design &d) { d.V(SideHigh, kInternal) = 1; },
     err(6006, " THE VOLUM " + name("SideHigh") + kMarkedInternal)},
    {"internal volum with the Neumann boundary", [](Design &d) { d.V(Channel, kNeumann) = 1; },
     err(6007, " THE VOLUM " + name("Channel") + kInternalWithBoundary)},
    // A face within 0.1 % of the device's bound (relative to the coordinate, on either side of
    // the origin) lies on its surface: far from the origin the channel is no longer internal.
    {"device across the origin", [](Design &d) { shift(d, -4); }, kOk},
    {"device 3000 nm above the origin", [](Design &d) { shift(d, 3000); }, kChannelOnSurface},
    {"device 3000 nm below the origin", [](Design &d) { shift(d, -3000); }, kChannelOnSurface},
    {"external volum without a boundary", [](Design &d) { d.V(Bottom, kNeumann) = 0; },
     err(6004, " THE VOLUM " + name("Bottom") + " HAS NO DEFINED BOUNDARY")},

    // Geometry.
    {"Neumann cladding two cells thick", [](Design &d) { d.vol(Bottom).mzf = 2; },
     err(6008, " THE VOLUM " + name("Bottom") +
                   " HAS DEFINED AS BOUNDARY ELECTRIC_FIELD=0. BUT, THE Z OR THE Y DIRECTION ARE "
                   "LARGER THAN ONE CELL. PUT THE Z OR THE y NUMBER OF CELL EQUAL TO ONE.")},
    {"volum without length", [](Design &d) { d.vol(Channel).xf = d.vol(Channel).xi; },
     err(71001, " VARIABLE INICIAL>VARIABLE FINAL IN VOLUM: Channel")},
    {"volum without meshes", [](Design &d) { d.vol(Channel).mxf = 0; },
     err(71002, " MALLA INICIAL>MALLA FINAL IN VOLUM: Channel")},
    {"taller drain cells", [](Design &d) { d.vol(Drain).zf = 3.3e-9; },
     err(72009, " ERROR BETWEEN CELLS IN VOLUME " + name("Bottom") + " AND CELLS IN VOLUME " +
                    name("Drain") + " FOR NODE:   7.00000000")},
    {"current volume beyond the far end",
     [](Design &d) { d.currentVolume({0, 3, 0, 3, 0, 5}); }, kOffTheGrid},
    {"current volume of absurd size",
     [](Design &d) { d.currentVolume({0, 2e9, 0, 2, 0, 2}); }, kOffTheGrid},

    // Contacts and reservoirs.
    {"no source", [](Design &d) { d.V(Source, kFreeElectrons) = 0; },
     err(8010, " THERE IS NO RESERVOIR IN THE SOURCE THE FLAGELECTRONS HAS TO BE TRUE IN THE "
               "CONTACTS AND IN THE APROPIATE INTERNAL VOLUMES.")},
    {"no drain", [](Design &d) { d.V(Drain, kFreeElectrons) = 0; },
     err(8011, " THERE IS NO RESERVOIR IN THE DRAIN THE FLAGELECTRONS HAS TO BE TRUE IN THE "
               "CONTACTS AND IN THE APROPIATE INTERNAL VOLUMES.")},
    {"contact across y",
     [](Design &d) {
         d.makeGate(SideHigh);
         d.V(SideHigh, kFreeElectrons) = 1;
     },
     err(8002, " ONLY TRANSPORT IN THE X DIRECTION (RED LINE) IS IMPLEMENTED")},
    {"source with DC and AC", [](Design &d) { d.V(Source, kAc) = 1; }, kOneBoundary},
    {"one face, two contact volums",
     [](Design &d) {
         d.volums.erase(d.volums.begin()); // the drain becomes volum 1
         d.G(77) = 7, d.G(94) = 1;
         d.contact("SourceA", 0, 2, 2);
         d.contact("SourceB", 0, 2, 4).yi = 2e-9;
         d.volums.back().myf = 2;
     },
     err(8004, " ONE RESERVOIRS CONTAINS" + name("SourceA") + " AND " + name("SourceB") +
                   " .PUT JUST ONE VOLUM")},
    {"no accelerated injection", [](Design &d) { d.G(63) = 0; },
     err(8009, " THE ACCELERATED INJECTION IS MANDATORY IF A NON-LINEAR DISPERSION RESERVOIRS "
               "ARE USED.")},
    {"two channels",
     [](Design &d) {
         // Two channels side by side along y, parted by an internal insulator.
         d.volums.clear();
         d.contact("Source", 0, 2, 5);
         d.contact("Drain", 6, 8, 5);
         for (const double y : {1.0, 3.0}) {
             d.box("Channel", {2, y, 1}, {6, y + 1, 2});
             d.V(int(d.volums.size()), kFreeElectrons) = d.V(int(d.volums.size()), kInternal) = 1;
         }
         d.box("Parting", {2, 2, 1}, {6, 3, 2}).parameters[kInternal - 1].valor = 1;
         d.cladding("Bottom", {2, 0, 0}, {6, 5, 1});
         d.cladding("Top", {2, 0, 2}, {6, 5, 3});
         d.cladding("SideLow", {2, 0, 1}, {6, 1, 2});
         d.cladding("SideHigh", {2, 4, 1}, {6, 5, 2});
     },
     err(8008, " TWO RESERVOIRS ARE MANDATORY")},
    {"neutrality in the source only", [](Design &d) { d.V(Source, kNeutrality) = 1; },
     err(8006, " FOR CHARGE NEUTRALITY THE RESERVOIRS " + name("Source") + "AND" +
                   name("Drain") + " NEED TO HAVE BEEN ACTIVATED. NOT ONLY ONE")},
    {"neutrality with different restarts",
     [](Design &d) {
         d.V(Source, kNeutrality) = d.V(Drain, kNeutrality) = 1;
         d.V(Source, 56) = 3, d.V(Drain, 56) = 4;
     },
     err(8007, " FOR CHARGE NEUTRALITY THE RESERVOIRS " + name("Source") + " AND " +
                   name("Drain") +
                   " NEED TO HAVE IDENTICAL VALUES OF  NSTOP_CON,MITJA_CON,FILTRE AND "
                   "ITERNEUSTART")},
    {"neutrality with different averaging times",
     [](Design &d) {
         d.V(Source, kNeutrality) = d.V(Drain, kNeutrality) = 1;
         d.V(Source, 53) = 2e-13, d.V(Source, 54) = 3e-14, d.V(Source, 55) = 4e-14;
     },
     kOk},
    {"injection from the channel", [](Design &d) { d.G(94) = Channel; },
     err(3011, " THE DISCRETE INJECTION FROM VOLUM " + name("Channel") +
                   "IS NOT POSSIBLE. IT IS NOT A RESERVOIR")},
    {"switched-off injection from the channel", [](Design &d) { d.G(94) = Channel, d.G(84) = 0; },
     kOk},
    {"2D transport from a cladding", [](Design &d) { d.G(262) = 1, d.G(272) = Bottom; },
     err(3024, " THE INJECTION FROM VOLUM IN TRANS2D " + name("Bottom") +
                   "IS NOT POSSIBLE. IT IS NOT A RESERVOIR")},
    {"gate with charge neutrality",
     [](Design &d) { d.makeGate(Top), d.V(Top, kNeutrality) = 1; },
     err(8001, " THIS VOLUM " + name("Top") + " CANNOT HAVE CHARGE NEUTRARLITY ACTIVIATED")},
    {"gate with two boundary kinds", [](Design &d) { d.makeGate(Top), d.V(Top, kFloating) = 1; },
     kOneBoundary},
    {"gate with another transient",
     [](Design &d) { sharedTransient(d, false), d.V(Top, 24) = 0.6; }, kTransientDiffers},
    {"gate with another AC signal", [](Design &d) { sharedTransient(d, true), d.V(Top, 34) = 1; },
     kTransientDiffers},
    {"transient of 1000 steps",
     [](Design &d) {
         d.V(Source, kDc) = 0, d.V(Source, kTrans) = 1;
         d.V(Source, 26) = 500, d.V(Source, 27) = 500;
     },
     kTooManySteps},
    {"AC over 1000 steps",
     [](Design &d) { d.V(Drain, kDc) = 0, d.V(Drain, kAc) = 1, d.V(Drain, 41) = 1000; },
     kTooManySteps},
    {"gate alone with a transient of 1000 steps",
     [](Design &d) {
         sharedTransient(d, false);
         d.V(Source, 26) = 0, d.V(Top, 26) = 1000;
     },
     kTooManySteps},

    // Wave solver.
    {"parabolic contacts, linear channel",
     [](Design &d) {
         d.useWaveSolver();
         d.addMaterial("Graphene", 2);
         d.M(15, 2) = 0, d.M(81, 2) = 1;
         d.vol(Channel).indexname = 2;
     },
     err(9010, " MATERIALS WITH PARABOLIC AND LINEAR  DISPERSIONS ARE MIXED. ONLY ONE TYPE OF "
               "DISPERSION IS ALLOWED")},
    {"Dirac with superposition", [](Design &d) { d.useDirac(), d.G(30) = 1; },
     err(9013, " THE LINEAR DISPERSION CAN NOT BE  SIMULATED BY SUPERPOSITION. NOT IMPLEMENTED "
               "YET")},
    {"Dirac without CONFY", [](Design &d) { d.useDirac(), d.G(23) = 1; }, kConfinement},
    {"Dirac with CONFZ", [](Design &d) { d.useDirac(), d.G(24) = 0; }, kConfinement},
    {"X1 of exactly 3.5 packets", [](Design &d) { d.useWaveSolver(), d.G(13) = 3.5e-8; }, kOk},
    {"X1 short", [](Design &d) { d.useWaveSolver(), d.G(13) = 3.4e-8; },
     err(9006, " THE LENGHT X1:    3.39999993E-08 " + kX1)},
    {"X1 unreadable",
     [](Design &d) { d.useWaveSolver(), d.G(13) = std::numeric_limits<double>::quiet_NaN(); },
     err(9006, " THE LENGHT X1:               NaN " + kX1)},
    {"X2 short", [](Design &d) { d.useWaveSolver(), d.G(14) = 3e-8; },
     err(9007, " THE LENGHT X2:    2.99999989E-08  IS SHORTER THAN 3.5 TIMES THE DISPERSIO_X: "
               "   9.99999994E-09")},
    {"cells of 2.5 wave steps", [](Design &d) { d.useWaveSolver(), d.G(19) = 4e-10; },
     err(9001, " THE X DIMENSION OF THE VOLUM   " + name("Source") + kMultiple)},
    {"Dirac, cells of 2.5 steps across", [](Design &d) { d.useDirac(), d.G(21) = 4e-10; },
     err(9001, " THE X DIMENSION OF THE VOLUM   " + name("Channel") + kMultiple)},
    {"Dirac, packets wider than the box", [](Design &d) { d.useDirac(), d.G(17) = 1e-9; },
     err(9017, " THE LENGHT OF BOX IN THE Z DIRECTION:    9.99999972E-10  IS SHORTER THAN 6 "
               "TIMES THE DISPERSIO_Z    9.99999972E-10")},
    {"ratio 0.0039", [](Design &d) { d.useWaveSolver(), d.M(19) = massForRatio(0.0039); },
     kSchrodinger},
    {"ratio 0.4999", [](Design &d) { d.useWaveSolver(), d.M(19) = massForRatio(0.4999); }, kOk},
    {"ratio 0.5001", [](Design &d) { d.useWaveSolver(), d.M(19) = massForRatio(0.5001); },
     kSchrodinger},
    {"no effective mass", [](Design &d) { d.useWaveSolver(), d.M(19) = 0; }, kSchrodinger},
    {"ratio ignored with superposition",
     [](Design &d) { d.useWaveSolver(), d.M(19) = massForRatio(0.0039), d.G(30) = 1; }, kOk},
    {"Dirac ratio 0.99", [](Design &d) { d.useDirac(velocityForRatio(0.99)); }, kOk},
    {"Dirac ratio 1.0", [](Design &d) { d.useDirac(velocityForRatio(1.0)); }, kDirac},
    {"no Fermi velocity", [](Design &d) { d.useDirac(0); }, kDirac},
    {"cells drifting off the wave grid",
     // Each 1 nm cell is 0.9991 wave steps: within a cell's tolerance, but two cells drift.
     [](Design &d) { d.useWaveSolver(), d.G(19) = 1.0009e-9; },
     err(9003, " ERROR IN WAVE CELL           71  IN X :   2.00180006E-09  WHEN COMPARING WITH "
               "CELL           70  IN X :   1.99999994E-09")},
    {"wave grid too fine to count", // 10^10 steps per cell, beyond a 32-bit count
     [](Design &d) {
         d.useWaveSolver(), d.G(19) = double(float(1e-9)) / 1e10;
         d.G(13) = d.G(14) = d.G(15) = 0;
     },
     err(3031, " THE COMPUTATION OF THE INTEGER    9.99999972E-10  /    9.99999968E-20  IS "
               "GREATER THAN 2E9")},
    {"wave grid too fine, and not a multiple either",
     [](Design &d) { d.useWaveSolver(), d.G(19) = 4.9e-19, d.G(13) = d.G(14) = d.G(15) = 0; },
     err(9001, " THE X DIMENSION OF THE VOLUM   " + name("Source") +
                   " MUST BE A MULTIPLE OF    4.89999978E-19 .NOW IT IS     9.99999972E-10")},
};

} // namespace

class TestRules : public QObject {
    Q_OBJECT

private slots:
    void cleanup() { comprova::gestor_memoria_global_final(); }

    void rules_data() {
        QTest::addColumn<int>("row");
        for (int n = 0; n < int(std::size(kRules)); ++n)
            QTest::newRow(kRules[n].name) << n;
    }
    void rules() {
        QFETCH(int, row);
        Design d;
        kRules[row].edit(d);
        QCOMPARE(d.run(), kRules[row].expected);
    }
};

QTEST_APPLESS_MAIN(TestRules)
#include "tst_rules.moc"
