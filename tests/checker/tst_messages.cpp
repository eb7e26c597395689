// The checker's message lines, checked against what a Fortran list-directed write gives for the
// same items, and the tolerant whole division.

#include "checker/comprova_state.h"
#include "checker/listline.h"

#include <QtTest>

#include <cmath>
#include <cstring>
#include <limits>

using namespace comprova;

namespace {

QByteArray verdict() {
    const std::string &text = state().text;
    return QByteArray(text.data(), static_cast<int>(text.size()));
}

QByteArray trimmedVerdict() {
    QByteArray v = verdict();
    while (v.endsWith(' '))
        v.chop(1);
    return v;
}

std::string padName(const char *name) {
    std::string s(name);
    s.resize(kNameWidth, ' ');
    return s;
}

} // namespace

class TestMessages : public QObject {
    Q_OBJECT

private slots:
    void init();

    void catalogueLines_data();
    void catalogueLines();
    void realItems_data();
    void realItems();
    void lineFormation();
    void specialCodes();
    void namesOutsideTablesAreBlank();

    void flooracuracyCountsNearWholeQuotients_data();
    void flooracuracyCountsNearWholeQuotients();
    void flooracuracyOverflowLeavesCountAlone();
    void floorOfUnrepresentableValues_data();
    void floorOfUnrepresentableValues();
};

void TestMessages::init() {
    State &st = state();
    st.text.assign(kVerdictLength, ' ');
    st.alloc_status = 0;
    st.volum_names.assign(101, std::string(kNameWidth, ' '));
    st.volum_names[3] = padName("SOURCE");
    st.volum_names[4] = padName("DRAIN_CONTACT_ABCDEF");
    st.material_names.clear();
    st.material_names[3] = padName("Silicon");
    st.material_names[4] = padName("GaAs");
}

// Expected lines were produced by gfortran: write(text,*) with the same items, i1 = 3, i2 = 4,
// r1 = 1.5e-15, r2 = 2.0e-9, vol(3)/mat(3) and vol(4)/mat(4) named as in init().
void TestMessages::catalogueLines_data() {
    QTest::addColumn<int>("code");
    QTest::addColumn<QByteArray>("expected");
    QTest::newRow("1001")
        << 1001 << QByteArray(" KARVENO ERROR [        1001 ] INCOMPATIBLE VERSION            3");
    QTest::newRow("1002") << 1002
                          << QByteArray(" KARVENO ERROR [        1002 ] NUMBER OF PARAMETERS       "
                                        "     3  LARGER THAN           4");
    QTest::newRow("1003") << 1003
                          << QByteArray(" KARVENO ERROR [        1003 ] NUMBER OF MATERIALS        "
                                        "    3  LARGER THAN           4");
    QTest::newRow("1004") << 1004
                          << QByteArray(" KARVENO ERROR [        1004 ] NUMBER OF ATOMS            "
                                        "3  LARGER THAN           4");
    QTest::newRow("1005") << 1005
                          << QByteArray(" KARVENO ERROR [        1005 ] NUMBER OF VOLUMS           "
                                        " 3  LARGER THAN           4");
    QTest::newRow("3001")
        << 3001
        << QByteArray(" KARVENO ERROR [        3001 ] EXCHANGE DEFINITION ERRONEOUS           3");
    QTest::newRow("3002")
        << 3002 << QByteArray(" KARVENO ERROR [        3002 ] TIGHT-BINDING NOT IMPLEMENTED YET");
    QTest::newRow("3003") << 3003
                          << QByteArray(
                                 " KARVENO ERROR [        3003 ] THE VOLUME FOR CURRENT "
                                 "COMPUTATION  MUST BE LARGER THAN 2 CELLS IN EACH DIRECTION");
    QTest::newRow("3004")
        << 3004
        << QByteArray(
               " KARVENO ERROR [        3004 ] THE TEMPORAL STEP OF POISSON   1.99999994E-09  MUST "
               "BE LRGER THAN TEMPORAL STEP OF SCHORDINGER   1.49999995E-15");
    QTest::newRow("3005")
        << 3005
        << QByteArray(" KARVENO ERROR [        3005 ] THE VALUE    1.49999995E-15  IN EVOLVING  "
                      "OUTPUTS RESULTS DEFINED AS THE TEMPORAL STEP FOR WRITTING THE  RESULTS, "
                      "MUST BE GREATER OR EQUAL THAN THE TIME    1.99999994E-09");
    QTest::newRow("3006") << 3006
                          << QByteArray(
                                 " KARVENO ERROR [        3006 ] THE VOLOM FOR CURRENT COMPUTATION "
                                 "MUST BE SHORTER OR EQUAL TO THE SIMULATION VOLUM");
    QTest::newRow("3007") << 3007
                          << QByteArray(
                                 " KARVENO ERROR [        3007 ] THE VARIABLE OF THE  INJECTION OF "
                                 "ELECTRON:            3  MUST BE BETWEEN (0,1)");
    QTest::newRow("3008") << 3008
                          << QByteArray(" KARVENO ERROR [        3008 ] THE NUMBER OF REPETITIONS "
                                        "HAS TO BE NOT GREATER THAN 10000");
    QTest::newRow("3009") << 3009
                          << QByteArray(" KARVENO ERROR [        3009 ] SCATTERING WITH DIRAC "
                                        "EQUATION IS STIL NOT IMPLEMENTED");
    QTest::newRow("3010") << 3010
                          << QByteArray(
                                 " KARVENO ERROR [        3010 ] THE DISCRETE INJECTION FROM VOLUM "
                                 "           3 IS NOT POSSIBLE. IT IS NOT A VALID INJECTING VOLUM");
    QTest::newRow("3011") << 3011
                          << QByteArray(
                                 " KARVENO ERROR [        3011 ] THE DISCRETE INJECTION FROM VOLUM "
                                 "SOURCE              IS NOT POSSIBLE. IT IS NOT A RESERVOIR");
    QTest::newRow("3012") << 3012
                          << QByteArray(" KARVENO ERROR [        3012 ] THE NUMBER OF STEP IN THE "
                                        "TRANSIENT SIMULATION HAS TO BE LOWER THAN 1000");
    QTest::newRow("3016") << 3016
                          << QByteArray(" KARVENO ERROR [        3016 ] THE NUMBER OF FRAMES:      "
                                        "      3  CANNOT BE GREATER THAN 999999");
    QTest::newRow("3017")
        << 3017
        << QByteArray(" KARVENO ERROR [        3017 ] THE FINALTIME OF THE MOVI    1.49999995E-15  "
                      "IS GREATER THAN FINALTIME OF THE SIMULATION    1.99999994E-09");
    QTest::newRow("3018") << 3018
                          << QByteArray(
                                 " KARVENO ERROR [        3018 ] FLAG_MIG_TRANSMISSIO CAN ONLY BE  "
                                 "COMPUTED FOR QUANTUM PARTICLES, BUT FLAG_PARTICLES ARE DEFINED "
                                 "AS CLASSICAL. CHANGE ONE OF THE TWO.");
    QTest::newRow("3019")
        << 3019
        << QByteArray(" KARVENO ERROR [        3019 ] QUANTUM PARTICLES WITH LINEAR DISPERSION IN "
                      "MATERIAL Silicon              IS  NOT IMPLEMENTED YET");
    QTest::newRow("3020")
        << 3020
        << QByteArray(
               " KARVENO ERROR [        3020 ] AMBIGOUS DEFINITION OF PARABOLIC AND LINERAR "
               "DISPERSION IN MATERIAL Silicon              . SELECT ONLY ONE TYPE OF DISPERSION");
    QTest::newRow("3021")
        << 3021
        << QByteArray(
               " KARVENO ERROR [        3021 ] NO DEFINITION OF PARABOLIC OR LINERAR DISPERSION IN "
               "MATERIAL Silicon              . SELECT ONLY ONE TYPE OF DISPERSION");
    QTest::newRow("3022") << 3022
                          << QByteArray(
                                 " KARVENO ERROR [        3022 ] THE DISCRETE INJECTION FROM TIME  "
                                 " 1.99999994E-09 IS SMALLER THANTEMPORAL STEP   1.49999995E-15");
    QTest::newRow("3023")
        << 3023
        << QByteArray(" KARVENO ERROR [        3023 ] THE INJECTION FROM VOLUM IN TRANS2D          "
                      "  3 IS NOT POSSIBLE. IT IS NOT A VALID INJECTING VOLUM");
    QTest::newRow("3024")
        << 3024
        << QByteArray(" KARVENO ERROR [        3024 ] THE INJECTION FROM VOLUM IN TRANS2D SOURCE   "
                      "           IS NOT POSSIBLE. IT IS NOT A RESERVOIR");
    QTest::newRow("3025") << 3025
                          << QByteArray(
                                 " KARVENO ERROR [        3025 ] THE NUMBER OF STEPS IS LOWER THAN "
                                 "DT=    1.49999995E-15 . ENLARGE THE INJECTION TIME.");
    QTest::newRow("3026") << 3026 << QByteArray(" KARVENO ERROR [        3026 ] NOTHING");
    QTest::newRow("3027")
        << 3027
        << QByteArray(" KARVENO ERROR [        3027 ] THE SOURCE METAL HAS TO BE ENLARGED  AND FIT "
                      "THE WHOLE LATERAL AREA IN THE Y AND Z DIRECTIONS.");
    QTest::newRow("3028")
        << 3028
        << QByteArray(" KARVENO ERROR [        3028 ] THE DRAIN METAL HAS TO BE ENLARGED  AND FIT "
                      "THE WHOLE LATERAL AREA IN THE Y AND Z DIRECTIONS.");
    QTest::newRow("3029") << 3029
                          << QByteArray(
                                 " KARVENO ERROR [        3029 ] THE INJECTION    1.99999994E-09  "
                                 "TIME IS GREATER THAN SCATTERING TIME    1.49999995E-15");
    QTest::newRow("3030") << 3030
                          << QByteArray(
                                 " KARVENO ERROR [        3030 ] THE SELECTED SCATTERING MECHANISM "
                                 "           3  IS NOT DEFINED IN SCATTERING MATERIALS PROPERTIES");
    QTest::newRow("3031") << 3031
                          << QByteArray(
                                 " KARVENO ERROR [        3031 ] THE COMPUTATION OF THE INTEGER    "
                                 "1.49999995E-15  /    1.99999994E-09  IS GREATER THAN 2E9");
    QTest::newRow("3032")
        << 3032
        << QByteArray(" KARVENO ERROR [        3032 ] THE NUMBER OF SIMULATED TRAJECTORIES  IN "
                      "TRANS_2D IS GREATER THAN 1000. DECREASE THE NUMBER");
    QTest::newRow("3033")
        << 3033
        << QByteArray(" KARVENO ERROR [        3033 ] THE INJCETION STEPS IN Z IS            4  "
                      "WHICH IS LOWER THAN THAN 5. ENLARGE MAXWEVEVECTOR    1.49999995E-15  OR "
                      "ENLARGE THE VALUES OF DISPERSIO_X OR DISPERSIO_Z");
    QTest::newRow("3034")
        << 3034
        << QByteArray(" KARVENO ERROR [        3034 ] THE INJCETION STEPS IN X IS            4  "
                      "WHICH IS GREATER THAN THAN 300. THIS WILL CONSUME  MNAY TIME IN THE "
                      "INJECTION ALGORITHM. REDUCE MAXWEVEVECTOR    1.49999995E-15  OR REDUCE THE "
                      "VALUES OF DISPERSIO_X OR DISPERSIO_Z");
    QTest::newRow("3035") << 3035
                          << QByteArray(" KARVENO ERROR [        3035 ] THE INJCETION PROCES "
                                        "REQUIRES  AT LEAST A NUMBER OF PARTICLES EQUAL TO 1");
    QTest::newRow("5001")
        << 5001
        << QByteArray(
               " KARVENO ERROR [        5001 ] NON-PARABOLIC SCATTERING   NON IMPLEMENTED YET");
    QTest::newRow("6001") << 6001
                          << QByteArray(" KARVENO ERROR [        6001 ] THE VOLUM SOURCE           "
                                        "    HAS FREE ELECTRONS. CHANGE THE BOUNDARY NEUMMAN");
    QTest::newRow("6002") << 6002
                          << QByteArray(" KARVENO ERROR [        6002 ] THE VOLUM SOURCE           "
                                        "    HAS NO FREE ELECTRONS.");
    QTest::newRow("6003")
        << 6003 << QByteArray(" KARVENO ERROR [        6003 ] VOLUM TIPUS UNDEFINED:           3");
    QTest::newRow("6004") << 6004
                          << QByteArray(" KARVENO ERROR [        6004 ] THE VOLUM SOURCE           "
                                        "    HAS NO DEFINED BOUNDARY");
    QTest::newRow("6005") << 6005
                          << QByteArray(" KARVENO ERROR [        6005 ] THE VOLUM SOURCE           "
                                        "    HAS BEEN DEFINED AS EXTERNAL WHEN IT IS AN INTERNAL "
                                        "VOLUME. CHANGE THE INTERNAL_NOBOUNDARY FLAG INTO TRUE.");
    QTest::newRow("6006") << 6006
                          << QByteArray(" KARVENO ERROR [        6006 ] THE VOLUM SOURCE           "
                                        "    HAS BEEN DEFINED AS INTERNAL WHEN IT IS AN EXTERNAL "
                                        "VOLUME. CHANGE THE INTERNAL_NOBOUNDARY FLAG INTO FALSE");
    QTest::newRow("6007")
        << 6007
        << QByteArray(" KARVENO ERROR [        6007 ] THE VOLUM SOURCE               IS INTERNAL "
                      "BUT ITS HAS DEFINED BOUNDARY. PUT FALSE FOR ALL BOUNDARIUES. THE SAME ERROR "
                      "CAN BE DUE TO AN INCONSISTENT NUMBER OF  CELLS IN DIFFERENT LINES.");
    QTest::newRow("6008")
        << 6008
        << QByteArray(" KARVENO ERROR [        6008 ] THE VOLUM SOURCE               HAS DEFINED "
                      "AS BOUNDARY ELECTRIC_FIELD=0. BUT, THE Z OR THE Y DIRECTION ARE LARGER THAN "
                      "ONE CELL. PUT THE Z OR THE y NUMBER OF CELL EQUAL TO ONE.");
    QTest::newRow("71001")
        << 71001
        << QByteArray(
               " KARVENO ERROR [       71001 ] VARIABLE INICIAL>VARIABLE FINAL IN VOLUM: SOURCE");
    QTest::newRow("71002")
        << 71002
        << QByteArray(" KARVENO ERROR [       71002 ] MALLA INICIAL>MALLA FINAL IN VOLUM: SOURCE");
    QTest::newRow("72009")
        << 72009
        << QByteArray(" KARVENO ERROR [       72009 ] ERROR BETWEEN CELLS IN VOLUME SOURCE         "
                      "      AND CELLS IN VOLUME DRAIN_CONTACT_ABCDEF FOR NODE:   1.49999995E-15");
    QTest::newRow("72010") << 72010
                           << QByteArray(" KARVENO ERROR [       72010 ] THE TYPE OF CELL          "
                                         " 4  OF VOLUM SOURCE               IS INCORRECT");
    QTest::newRow("8001") << 8001
                          << QByteArray(" KARVENO ERROR [        8001 ] THIS VOLUM SOURCE          "
                                        "     CANNOT HAVE CHARGE NEUTRARLITY ACTIVIATED");
    QTest::newRow("8002") << 8002
                          << QByteArray(" KARVENO ERROR [        8002 ] ONLY TRANSPORT IN THE X "
                                        "DIRECTION (RED LINE) IS IMPLEMENTED");
    QTest::newRow("8003")
        << 8003
        << QByteArray(" KARVENO ERROR [        8003 ] ONLY ONE TYPE OF BOUNDARY CONDITONS "
                      "DC,AC,TRANS IS ACCEPTED (DC & AC TRUE includes voltage in AC)");
    QTest::newRow("8004") << 8004
                          << QByteArray(
                                 " KARVENO ERROR [        8004 ] ONE RESERVOIRS CONTAINSSOURCE     "
                                 "          AND DRAIN_CONTACT_ABCDEF .PUT JUST ONE VOLUM");
    QTest::newRow("8005")
        << 8005
        << QByteArray(" KARVENO ERROR [        8005 ] THE RESERVOIRS SOURCE               HAS A "
                      "TRANSIENT BOUNDARY CONDITIONS. DIFFERENT FROM OTHER DRAIN_CONTACT_ABCDEF");
    QTest::newRow("8006")
        << 8006
        << QByteArray(
               " KARVENO ERROR [        8006 ] FOR CHARGE NEUTRALITY THE RESERVOIRS SOURCE         "
               "     ANDDRAIN_CONTACT_ABCDEF NEED TO HAVE BEEN ACTIVATED. NOT ONLY ONE");
    QTest::newRow("8007")
        << 8007
        << QByteArray(" KARVENO ERROR [        8007 ] FOR CHARGE NEUTRALITY THE RESERVOIRS SOURCE  "
                      "             AND DRAIN_CONTACT_ABCDEF NEED TO HAVE IDENTICAL VALUES OF  "
                      "NSTOP_CON,MITJA_CON,FILTRE AND ITERNEUSTART");
    QTest::newRow("8008") << 8008
                          << QByteArray(
                                 " KARVENO ERROR [        8008 ] TWO RESERVOIRS ARE MANDATORY");
    QTest::newRow("8009") << 8009
                          << QByteArray(
                                 " KARVENO ERROR [        8009 ] THE ACCELERATED INJECTION IS "
                                 "MANDATORY IF A NON-LINEAR DISPERSION RESERVOIRS ARE USED.");
    QTest::newRow("8010") << 8010
                          << QByteArray(" KARVENO ERROR [        8010 ] THERE IS NO RESERVOIR IN "
                                        "THE SOURCE THE FLAGELECTRONS HAS TO BE TRUE IN THE "
                                        "CONTACTS AND IN THE APROPIATE INTERNAL VOLUMES.");
    QTest::newRow("8011") << 8011
                          << QByteArray(" KARVENO ERROR [        8011 ] THERE IS NO RESERVOIR IN "
                                        "THE DRAIN THE FLAGELECTRONS HAS TO BE TRUE IN THE "
                                        "CONTACTS AND IN THE APROPIATE INTERNAL VOLUMES.");
    QTest::newRow("9001")
        << 9001
        << QByteArray(
               " KARVENO ERROR [        9001 ] THE X DIMENSION OF THE VOLUM   DRAIN_CONTACT_ABCDEF "
               "MUST BE A MULTIPLE OF    1.49999995E-15 .NOW IT IS     1.99999994E-09");
    QTest::newRow("9002") << 9002
                          << QByteArray(
                                 " KARVENO ERROR [        9002 ] THE TEMPORAL STEP OF SCHRODINGER "
                                 "DTSCHO=   1.49999995E-15  AND SPATIAL STEP OF SCHRODINGER "
                                 "DXSCHO=   1.99999994E-09  ARE INCOMPATIBLE.      FOR AN ACCURATE "
                                 "SOLUTION :         0.4<HVAR*DTSCHO/(DXSCHO^2*M)<0.5");
    QTest::newRow("9003")
        << 9003
        << QByteArray(
               " KARVENO ERROR [        9003 ] ERROR IN WAVE CELL            3  IN X :   "
               "1.49999995E-15  WHEN COMPARING WITH CELL            2  IN X :   1.99999994E-09");
    QTest::newRow("9004") << 9004
                          << QByteArray(
                                 " KARVENO ERROR [        9004 ] ERROR WHEN DEFINING ZONAACTIVA");
    QTest::newRow("9006") << 9006
                          << QByteArray(
                                 " KARVENO ERROR [        9006 ] THE LENGHT X1:    1.49999995E-15  "
                                 "IS SHORTER THAN 3.5 TIMES THE DISPERSIO_X    1.99999994E-09");
    QTest::newRow("9007") << 9007
                          << QByteArray(
                                 " KARVENO ERROR [        9007 ] THE LENGHT X2:    1.49999995E-15  "
                                 "IS SHORTER THAN 3.5 TIMES THE DISPERSIO_X:    1.99999994E-09");
    QTest::newRow("9008") << 9008
                          << QByteArray(
                                 " KARVENO ERROR [        9008 ] THE LENGHT OF THE CELL:    "
                                 "1.49999995E-15  IS SHORTER THAN DXSCHO:    1.99999994E-09");
    QTest::newRow("9009")
        << 9009
        << QByteArray(" KARVENO ERROR [        9009 ] THE EFFECTIVE MASS :    1.49999995E-15  IN "
                      "MATERIAL Silicon              IS DIFFERENT FROM:   1.99999994E-09 . "
                      "MULTIPLE EFFECTIVE MASSES IS NOT IMPLEMENTED YET");
    QTest::newRow("9010")
        << 9010
        << QByteArray(" KARVENO ERROR [        9010 ] MATERIALS WITH PARABOLIC AND LINEAR  "
                      "DISPERSIONS ARE MIXED. ONLY ONE TYPE OF DISPERSION IS ALLOWED");
    QTest::newRow("9011") << 9011
                          << QByteArray(
                                 " KARVENO ERROR [        9011 ] THE LENGHT Y:    1.49999995E-15  "
                                 "IS SHORTER THAN 6 TIMES THE DISPERSIO_Y    1.99999994E-09");
    QTest::newRow("9012") << 9012
                          << QByteArray(
                                 " KARVENO ERROR [        9012 ] THE LENGHT Y2:    1.49999995E-15  "
                                 "IS SHORTER THAN 3.5 TIMES THE DISPERSIO_Y:    1.99999994E-09");
    QTest::newRow("9013") << 9013
                          << QByteArray(" KARVENO ERROR [        9013 ] THE LINEAR DISPERSION CAN "
                                        "NOT BE  SIMULATED BY SUPERPOSITION. NOT IMPLEMENTED YET");
    QTest::newRow("9014")
        << 9014
        << QByteArray(
               " KARVENO ERROR [        9014 ] ERROR IN WAVE CELL            3  IN Y :   "
               "1.49999995E-15  WHEN COMPARING WITH CELL            2  IN Y :   1.99999994E-09");
    QTest::newRow("9015") << 9015
                          << QByteArray(" KARVENO ERROR [        9015 ] THE LINEAR DISPERSION "
                                        "NEEDS  CONFY=TRUE AND CONFZ=FALSE");
    QTest::newRow("9016")
        << 9016
        << QByteArray(
               " KARVENO ERROR [        9016 ] THE TEMPORAL STEP OF DIRAC DTSCHO=   1.49999995E-15 "
               " AND SPATIAL STEP OF DIRAC DXSCHO=   1.99999994E-09  ARE INCOMPATIBLE.      FOR AN "
               "ACCURATE SOLUTION :         0.01<VF*DTSCHO*sqr(2)/min(DXSCHO,DYSCHO)<0.999");
    QTest::newRow("9017")
        << 9017
        << QByteArray(" KARVENO ERROR [        9017 ] THE LENGHT OF BOX IN THE Z DIRECTION:    "
                      "1.49999995E-15  IS SHORTER THAN 6 TIMES THE DISPERSIO_Z    1.99999994E-09");
}

void TestMessages::catalogueLines() {
    QFETCH(int, code);
    QFETCH(QByteArray, expected);
    message(code, 3, 4, 1.5e-15f, 2.0e-9f);
    QCOMPARE(verdict().size(), kVerdictLength);
    QCOMPARE(trimmedVerdict(), expected);
}

// One real item (16 columns) as gfortran writes a single-precision value, from its bit pattern.
void TestMessages::realItems_data() {
    QTest::addColumn<quint32>("bits");
    QTest::addColumn<QByteArray>("expected");
    QTest::newRow("0.0") << quint32(0x00000000) << QByteArray("  0.00000000    ");
    QTest::newRow("-0.0") << quint32(0x80000000) << QByteArray(" -0.00000000    ");
    QTest::newRow("1.0") << quint32(0x3F800000) << QByteArray("  1.00000000    ");
    QTest::newRow("-1.0") << quint32(0xBF800000) << QByteArray(" -1.00000000    ");
    QTest::newRow("0.1") << quint32(0x3DCCCCCD) << QByteArray(" 0.100000001    ");
    QTest::newRow("0.09") << quint32(0x3DB851EC) << QByteArray("  9.00000036E-02");
    QTest::newRow("1.5e-15") << quint32(0x26D82C3B) << QByteArray("  1.49999995E-15");
    QTest::newRow("3e-9") << quint32(0x314E288F) << QByteArray("  3.00000003E-09");
    QTest::newRow("123456789") << quint32(0x4CEB79A3) << QByteArray("  123456792.    ");
    QTest::newRow("1e9") << quint32(0x4E6E6B28) << QByteArray("  1.00000000E+09");
    QTest::newRow("999999936") << quint32(0x4E6E6B27) << QByteArray("  999999936.    ");
    QTest::newRow("-2.5e-3") << quint32(0xBB23D70A) << QByteArray(" -2.49999994E-03");
    QTest::newRow("1e30") << quint32(0x7149F2CA) << QByteArray("  1.00000002E+30");
    QTest::newRow("3.4e38") << quint32(0x7F7FC99E) << QByteArray("  3.39999995E+38");
    QTest::newRow("1e-38") << quint32(0x006CE3EE) << QByteArray("  9.99999935E-39");
    QTest::newRow("1e-40") << quint32(0x000116C2) << QByteArray("  9.99994610E-41");
    QTest::newRow("1.4e-45") << quint32(0x00000001) << QByteArray("  1.40129846E-45");
    QTest::newRow("1234.5678") << quint32(0x449A522B) << QByteArray("  1234.56775    ");
    QTest::newRow("12345678") << quint32(0x4B3C614E) << QByteArray("  12345678.0    ");
    QTest::newRow("99999.996") << quint32(0x47C34FFF) << QByteArray("  99999.9922    ");
    QTest::newRow("0.999999999") << quint32(0x3F800000) << QByteArray("  1.00000000    ");
    QTest::newRow("2e9") << quint32(0x4EEE6B28) << QByteArray("  2.00000000E+09");
    QTest::newRow("6.02e23") << quint32(0x66FEF4F9) << QByteArray("  6.02000017E+23");
    QTest::newRow("1.05459e-34") << quint32(0x070C2DD7) << QByteArray("  1.05459005E-34");
    QTest::newRow("0.5") << quint32(0x3F000000) << QByteArray(" 0.500000000    ");
    QTest::newRow("100") << quint32(0x42C80000) << QByteArray("  100.000000    ");
    QTest::newRow("0.099999994") << quint32(0x3DCCCCCC) << QByteArray("  9.99999940E-02");
    QTest::newRow("-7.25e-12") << quint32(0xACFF1632) << QByteArray(" -7.25000008E-12");
    QTest::newRow("nan") << quint32(0x7FC00000) << QByteArray("             NaN");
    QTest::newRow("inf") << quint32(0x7F800000) << QByteArray("        Infinity");
    QTest::newRow("-inf") << quint32(0xFF800000) << QByteArray("       -Infinity");
    QTest::newRow("3.14159274") << quint32(0x40490FDB) << QByteArray("  3.14159274    ");
    QTest::newRow("9.99999905") << quint32(0x411FFFFF) << QByteArray("  9.99999905    ");
    QTest::newRow("5e-324") << quint32(0x00000000) << QByteArray("  0.00000000    ");
}

void TestMessages::realItems() {
    QFETCH(quint32, bits);
    QFETCH(QByteArray, expected);
    float value;
    std::memcpy(&value, &bits, sizeof value);
    QCOMPARE(QByteArray::fromStdString(formatReal(value)), expected);
}

void TestMessages::lineFormation() {
    // The example line of the catalogue.
    message(1002, 1234, 1000);
    QCOMPARE(trimmedVerdict(),
             QByteArray(" KARVENO ERROR [        1002 ] NUMBER OF PARAMETERS      "
                        "   1234  LARGER THAN        1000"));
    // A number first: only the leading blank before it; adjacent texts join.
    QCOMPARE(ListLine().integer(5).text("X").str(), std::string("           5 X"));
    QCOMPARE(ListLine().real(1.0f).real(2.0f).text("B").text("C").integer(-2147483647 - 1).str(),
             std::string("   1.00000000       2.00000000     BC -2147483648"));
    QCOMPARE(ListLine().text(std::string(400, 'x')).padded(299).size(), std::size_t(299));
}

void TestMessages::specialCodes() {
    message(10000);
    QCOMPARE(trimmedVerdict(), QByteArray(" [OK] SIMULATION DESIGN FREE FROM ERRORS"));
    QCOMPARE(verdict().size(), kVerdictLength);

    // 3013 to 3015 blank the text: the run goes on as if nothing had been reported.
    message(1001, 7);
    message(3014);
    QVERIFY(noError());

    // The allocation check leaves the text alone after a successful allocation ...
    message(1001, 7);
    const QByteArray before = verdict();
    state().alloc_status = 0;
    message(12001);
    QCOMPARE(verdict(), before);
    // ... and reports a failed one as the verdict, without ending the program.
    state().alloc_status = 5014;
    message(12001);
    QCOMPARE(trimmedVerdict(),
             QByteArray(" KARVENO ERROR [       12001 ] ALLOCATE ERROR. NOT ENOUGH MEMORY"));

    // A code outside the catalogue is still an error, never a silent pass.
    message(9005);
    QVERIFY(!noError());
}

void TestMessages::namesOutsideTablesAreBlank() {
    const QByteArray blankName = "THE VOLUM " + QByteArray(kNameWidth, ' ') + " HAS NO";
    message(6004, 0);
    QVERIFY(trimmedVerdict().contains(blankName));
    message(6004, 101);
    QVERIFY(trimmedVerdict().contains(blankName));
    // Material names follow their index number, including numbers past 100.
    state().material_names[150] = padName("Copy_of_GaAs");
    message(3021, 150);
    QVERIFY(trimmedVerdict().contains("IN MATERIAL Copy_of_GaAs         . SELECT"));
    message(3021, -1);
    QVERIFY(trimmedVerdict().contains("IN MATERIAL                      . SELECT"));
}

void TestMessages::flooracuracyCountsNearWholeQuotients_data() {
    QTest::addColumn<double>("a");
    QTest::addColumn<double>("b");
    QTest::addColumn<int>("n");
    QTest::newRow("3e-9 / 1e-9 falls short of 3 by rounding") << 3.0e-9 << 1.0e-9 << 3;
    QTest::newRow("2.5 / 1") << 2.5 << 1.0 << 2;
    QTest::newRow("2.9999999 / 1 within tolerance") << 2.9999999 << 1.0 << 3;
    QTest::newRow("2.99 / 1 outside tolerance") << 2.99 << 1.0 << 2;
    QTest::newRow("exact") << 6.0 << 2.0 << 3;
    QTest::newRow("zero dividend") << 0.0 << 1.0e-15 << 0;
    QTest::newRow("negative quotient floors") << -2.5 << 1.0 << -3;
    QTest::newRow("0 / 0 is NaN") << 0.0 << 0.0 << std::numeric_limits<int>::min();
    QTest::newRow("-1 / 0 is -inf") << -1.0 << 0.0 << std::numeric_limits<int>::min();
    QTest::newRow("NaN dividend") << std::nan("") << 1.0 << std::numeric_limits<int>::min();
}

void TestMessages::flooracuracyCountsNearWholeQuotients() {
    QFETCH(double, a);
    QFETCH(double, b);
    QFETCH(int, n);
    std::int32_t result = 12345;
    flooracuracy(a, b, result);
    QCOMPARE(result, n);
    QVERIFY(noError());
}

void TestMessages::flooracuracyOverflowLeavesCountAlone() {
    std::int32_t n = 77;
    flooracuracy(3.0e9, 1.0, n);
    QCOMPARE(n, 77);
    QCOMPARE(trimmedVerdict(), QByteArray(" KARVENO ERROR [        3031 ] THE COMPUTATION OF THE "
                                          "INTEGER    3.00000000E+09  /    1.00000000      IS "
                                          "GREATER THAN 2E9"));
    init();
    flooracuracy(1.0, 0.0, n); // division by zero
    QCOMPARE(n, 77);
    QVERIFY(!noError());
    init();
    flooracuracy(1.0e300, 1.0e-300, n); // beyond single precision: printed as Infinity
    QVERIFY(trimmedVerdict().contains("Infinity  /    0.00000000"));
}

void TestMessages::floorOfUnrepresentableValues_data() {
    QTest::addColumn<double>("value");
    QTest::addColumn<int>("floor");
    const int lowest = std::numeric_limits<int>::min();
    QTest::newRow("2.9") << 2.9 << 2;
    QTest::newRow("-2.1") << -2.1 << -3;
    QTest::newRow("largest") << 2147483647.5 << 2147483647;
    QTest::newRow("lowest") << -2147483648.0 << lowest;
    QTest::newRow("too large") << 1.0e10 << lowest;
    QTest::newRow("too small") << -2147483649.0 << lowest;
    QTest::newRow("NaN") << std::nan("") << lowest;
    QTest::newRow("infinity") << std::numeric_limits<double>::infinity() << lowest;
}

void TestMessages::floorOfUnrepresentableValues() {
    QFETCH(double, value);
    QFETCH(int, floor);
    QCOMPARE(floorInt(value), floor);
}

QTEST_APPLESS_MAIN(TestMessages)
#include "tst_messages.moc"
