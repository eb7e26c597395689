// The checker's message routine, the list-directed line formation and the tolerant division.

#include "checker/comprova_state.h"
#include "checker/listline.h"

#include <cfloat>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <limits>

namespace comprova {

// ---------------------------------------------------------------------------------------------
// Line formation.

std::string formatInteger(std::int32_t value) {
    char buf[32];
    std::snprintf(buf, sizeof buf, "%11d", static_cast<int>(value));
    return buf;
}

std::string formatReal(float value) {
    char buf[64];
    if (std::isnan(value))
        return "             NaN";
    if (std::isinf(value))
        return value > 0 ? "        Infinity" : "       -Infinity";
    const double v = value;
    if (v == 0.0) {
        std::snprintf(buf, sizeof buf, "%12s    ", std::signbit(v) ? "-0.00000000" : "0.00000000");
        return buf;
    }
    // The decimal exponent of the value rounded to nine significant digits decides the form.
    char sci[64];
    std::snprintf(sci, sizeof sci, "%.8e", v);
    const char *e = std::strchr(sci, 'e');
    const int exponent = e ? std::atoi(e + 1) : 0;
    if (exponent >= -1 && exponent <= 8) {
        char fixed[64];
        std::snprintf(fixed, sizeof fixed, "%.*f", 8 - exponent, v);
        std::string digits = fixed;
        if (digits.find('.') == std::string::npos)
            digits += '.';
        std::snprintf(buf, sizeof buf, "%12s    ", digits.c_str());
        return buf;
    }
    std::string mantissa(sci, e ? static_cast<std::size_t>(e - sci) : std::strlen(sci));
    char exp[16];
    std::snprintf(exp, sizeof exp, "E%c%02d", exponent < 0 ? '-' : '+', std::abs(exponent));
    std::snprintf(buf, sizeof buf, "%16s", (mantissa + exp).c_str());
    return buf;
}

void ListLine::separate() {
    if (!first)
        line += ' ';
}

ListLine &ListLine::text(const std::string &item) {
    if (!afterText)
        separate();
    line += item;
    first = false;
    afterText = true;
    return *this;
}

ListLine &ListLine::integer(std::int32_t item) {
    separate();
    line += formatInteger(item);
    first = false;
    afterText = false;
    return *this;
}

ListLine &ListLine::real(float item) {
    separate();
    line += formatReal(item);
    first = false;
    afterText = false;
    return *this;
}

std::string ListLine::padded(std::size_t width) const {
    std::string out = line.substr(0, width);
    out.resize(width, ' ');
    return out;
}

// ---------------------------------------------------------------------------------------------
// Conversions.

std::int32_t floorInt(double v) {
    const double f = std::floor(v);
    // NaN fails both comparisons; the bounds are exact doubles.
    if (!(f >= -2147483648.0 && f <= 2147483647.0))
        return std::numeric_limits<std::int32_t>::min();
    return static_cast<std::int32_t>(f);
}

// ---------------------------------------------------------------------------------------------
// The message routine.

namespace {

void setText(const ListLine &line) {
    state().text = line.padded(kVerdictLength);
}

} // namespace

void message(std::int32_t code, std::int32_t i1, std::int32_t i2, float r1, float r2) {
    State &st = state();
    if (code == 12001 && st.alloc_status == 0)
        return;
    // Every line replaces the text; the volum it names, if any, is the first name item.
    st.named_volum = 0;
    const auto vol = [&st](std::int32_t n) {
        if (st.named_volum == 0 && n >= 1 && n <= st.nvol)
            st.named_volum = n;
        return volumName(n);
    };
    if (code == 10000) {
        setText(ListLine().text("[OK] SIMULATION DESIGN FREE FROM ERRORS"));
        return;
    }
    if (code >= 3013 && code <= 3015) {
        st.text.assign(kVerdictLength, ' ');
        return;
    }
    ListLine line;
    line.text("KARVENO ERROR [").integer(code);
    switch (code) {
    case 1001:
        line.text("] INCOMPATIBLE VERSION ").integer(i1);
        break;
    case 1002:
        line.text("] NUMBER OF PARAMETERS ").integer(i1).text(" LARGER THAN").integer(i2);
        break;
    case 1003:
        line.text("] NUMBER OF MATERIALS ").integer(i1).text(" LARGER THAN").integer(i2);
        break;
    case 1004:
        line.text("] NUMBER OF ATOMS ").integer(i1).text(" LARGER THAN").integer(i2);
        break;
    case 1005:
        line.text("] NUMBER OF VOLUMS ").integer(i1).text(" LARGER THAN").integer(i2);
        break;
    case 3001:
        line.text("] EXCHANGE DEFINITION ERRONEOUS").integer(i1);
        break;
    case 3002:
        line.text("] TIGHT-BINDING NOT IMPLEMENTED YET");
        break;
    case 3003:
        line.text("] THE VOLUME FOR CURRENT COMPUTATION")
            .text("  MUST BE LARGER THAN 2 CELLS IN EACH DIRECTION");
        break;
    case 3004:
        line.text("] THE TEMPORAL STEP OF POISSON")
            .real(r2)
            .text(" MUST BE LRGER THAN TEMPORAL STEP OF SCHORDINGER")
            .real(r1);
        break;
    case 3005:
        line.text("] THE VALUE ")
            .real(r1)
            .text(" IN EVOLVING ")
            .text(" OUTPUTS RESULTS DEFINED AS THE TEMPORAL STEP FOR WRITTING THE ")
            .text(" RESULTS, MUST BE GREATER OR EQUAL THAN THE TIME ")
            .real(r2);
        break;
    case 3006:
        line.text("] THE VOLOM FOR CURRENT COMPUTATION")
            .text(" MUST BE SHORTER OR EQUAL TO THE SIMULATION VOLUM");
        break;
    case 3007:
        line.text("] THE VARIABLE OF THE ")
            .text(" INJECTION OF ELECTRON: ")
            .integer(i1)
            .text(" MUST BE BETWEEN (0,1)");
        break;
    case 3008:
        line.text("] THE NUMBER OF REPETITIONS HAS").text(" TO BE NOT GREATER THAN 10000");
        break;
    case 3009:
        line.text("] SCATTERING WITH DIRAC EQUATION").text(" IS STIL NOT IMPLEMENTED");
        break;
    case 3010:
        line.text("] THE DISCRETE INJECTION FROM VOLUM ")
            .integer(i1)
            .text("IS NOT POSSIBLE. IT IS NOT A VALID INJECTING VOLUM");
        break;
    case 3011:
        line.text("] THE DISCRETE INJECTION FROM VOLUM ")
            .text(vol(i1))
            .text("IS NOT POSSIBLE. IT IS NOT A RESERVOIR");
        break;
    case 3012:
        line.text("] THE NUMBER OF STEP IN THE TRANSIENT")
            .text(" SIMULATION HAS TO BE LOWER THAN 1000");
        break;
    case 3016:
        line.text("] THE NUMBER OF FRAMES: ").integer(i1).text(" CANNOT BE GREATER THAN 999999");
        break;
    case 3017:
        line.text("] THE FINALTIME OF THE MOVI ")
            .real(r1)
            .text(" IS GREATER THAN FINALTIME OF THE SIMULATION ")
            .real(r2);
        break;
    case 3018:
        line.text("] FLAG_MIG_TRANSMISSIO CAN ONLY BE ")
            .text(" COMPUTED FOR QUANTUM PARTICLES, BUT FLAG_PARTICLES ARE")
            .text(" DEFINED AS CLASSICAL. CHANGE ONE OF THE TWO.");
        break;
    case 3019:
        line.text("] QUANTUM PARTICLES WITH LINEAR")
            .text(" DISPERSION IN MATERIAL ")
            .text(materialName(i1))
            .text(" IS  NOT IMPLEMENTED YET");
        break;
    case 3020:
        line.text("] AMBIGOUS DEFINITION OF PARABOLIC AND")
            .text(" LINERAR DISPERSION IN MATERIAL ")
            .text(materialName(i1))
            .text(" . SELECT ONLY ONE TYPE OF DISPERSION");
        break;
    case 3021:
        line.text("] NO DEFINITION OF PARABOLIC OR")
            .text(" LINERAR DISPERSION IN MATERIAL ")
            .text(materialName(i1))
            .text(" . SELECT ONLY ONE TYPE OF DISPERSION");
        break;
    case 3022:
        line.text("] THE DISCRETE INJECTION FROM TIME")
            .real(r2)
            .text("IS SMALLER THANTEMPORAL STEP")
            .real(r1);
        break;
    case 3023:
        line.text("] THE INJECTION FROM VOLUM IN TRANS2D ")
            .integer(i1)
            .text("IS NOT POSSIBLE. IT IS NOT A VALID INJECTING VOLUM");
        break;
    case 3024:
        line.text("] THE INJECTION FROM VOLUM IN TRANS2D ")
            .text(vol(i1))
            .text("IS NOT POSSIBLE. IT IS NOT A RESERVOIR");
        break;
    case 3025:
        line.text("] THE NUMBER OF STEPS IS LOWER THAN DT= ")
            .real(r1)
            .text(". ENLARGE THE INJECTION TIME.");
        break;
    case 3026:
        line.text("] NOTHING");
        break;
    case 3027:
        line.text("] THE SOURCE METAL HAS TO BE ENLARGED ")
            .text(" AND FIT THE WHOLE LATERAL AREA IN THE Y AND Z DIRECTIONS.");
        break;
    case 3028:
        line.text("] THE DRAIN METAL HAS TO BE ENLARGED ")
            .text(" AND FIT THE WHOLE LATERAL AREA IN THE Y AND Z DIRECTIONS.");
        break;
    case 3029:
        line.text("] THE INJECTION ")
            .real(r2)
            .text(" TIME IS GREATER THAN SCATTERING TIME ")
            .real(r1);
        break;
    case 3030:
        line.text("] THE SELECTED SCATTERING MECHANISM ")
            .integer(i1)
            .text(" IS NOT DEFINED IN SCATTERING MATERIALS PROPERTIES");
        break;
    case 3031:
        line.text("] THE COMPUTATION OF THE INTEGER ")
            .real(r1)
            .text(" / ")
            .real(r2)
            .text(" IS GREATER THAN 2E9");
        break;
    case 3032:
        line.text("] THE NUMBER OF SIMULATED TRAJECTORIES ")
            .text(" IN TRANS_2D IS GREATER THAN 1000. DECREASE THE NUMBER");
        break;
    case 3033:
        line.text("] THE INJCETION STEPS IN Z IS ")
            .integer(i2)
            .text(" WHICH IS LOWER THAN THAN 5. ENLARGE MAXWEVEVECTOR ")
            .real(r1)
            .text(" OR ENLARGE THE VALUES OF DISPERSIO_X OR DISPERSIO_Z");
        break;
    case 3034:
        line.text("] THE INJCETION STEPS IN X IS ")
            .integer(i2)
            .text(" WHICH IS GREATER THAN THAN 300. THIS WILL CONSUME ")
            .text(" MNAY TIME IN THE INJECTION ALGORITHM. REDUCE MAXWEVEVECTOR ")
            .real(r1)
            .text(" OR REDUCE THE VALUES OF DISPERSIO_X OR DISPERSIO_Z");
        break;
    case 3035:
        line.text("] THE INJCETION PROCES REQUIRES ")
            .text(" AT LEAST A NUMBER OF PARTICLES EQUAL TO 1");
        break;
    case 5001:
        line.text("] NON-PARABOLIC SCATTERING ").text("  NON IMPLEMENTED YET");
        break;
    case 6001:
        line.text("] THE VOLUM ")
            .text(vol(i1))
            .text(" HAS FREE ELECTRONS. CHANGE THE BOUNDARY NEUMMAN");
        break;
    case 6002:
        line.text("] THE VOLUM ").text(vol(i1)).text(" HAS NO FREE ELECTRONS. ");
        break;
    case 6003:
        line.text("] VOLUM TIPUS UNDEFINED:").integer(i1);
        break;
    case 6004:
        line.text("] THE VOLUM ").text(vol(i1)).text(" HAS NO DEFINED BOUNDARY");
        break;
    case 6005:
        line.text("] THE VOLUM ")
            .text(vol(i1))
            .text(" HAS BEEN DEFINED AS EXTERNAL WHEN IT IS AN INTERNAL VOLUME.")
            .text(" CHANGE THE INTERNAL_NOBOUNDARY FLAG INTO TRUE. ");
        break;
    case 6006:
        line.text("] THE VOLUM ")
            .text(vol(i1))
            .text(" HAS BEEN DEFINED AS INTERNAL WHEN IT IS AN EXTERNAL VOLUME.")
            .text(" CHANGE THE INTERNAL_NOBOUNDARY FLAG INTO FALSE");
        break;
    case 6007:
        line.text("] THE VOLUM ")
            .text(vol(i1))
            .text(" IS INTERNAL BUT ITS HAS DEFINED BOUNDARY.")
            .text(" PUT FALSE FOR ALL BOUNDARIUES.")
            .text(" THE SAME ERROR CAN BE DUE TO AN INCONSISTENT NUMBER OF ")
            .text(" CELLS IN DIFFERENT LINES. ");
        break;
    case 6008:
        line.text("] THE VOLUM ")
            .text(vol(i1))
            .text(" HAS DEFINED AS BOUNDARY ELECTRIC_FIELD=0.")
            .text(" BUT, THE Z OR THE Y DIRECTION ARE LARGER THAN ONE CELL.")
            .text(" PUT THE Z OR THE y NUMBER OF CELL EQUAL TO ONE. ");
        break;
    case 71001:
        line.text("] VARIABLE INICIAL>VARIABLE FINAL").text(" IN VOLUM: ").text(vol(i1));
        break;
    case 71002:
        line.text("] MALLA INICIAL>MALLA FINAL").text(" IN VOLUM: ").text(vol(i1));
        break;
    case 72009:
        line.text("] ERROR BETWEEN CELLS IN VOLUME ")
            .text(vol(i1))
            .text(" AND CELLS IN VOLUME ")
            .text(vol(i2))
            .text(" FOR NODE:")
            .real(r1);
        break;
    case 72010:
        line.text("] THE TYPE OF CELL")
            .integer(i2)
            .text(" OF VOLUM ")
            .text(vol(i1))
            .text(" IS INCORRECT");
        break;
    case 8001:
        line.text("] THIS VOLUM ")
            .text(vol(i1))
            .text(" CANNOT HAVE CHARGE NEUTRARLITY ACTIVIATED");
        break;
    case 8002:
        line.text("] ONLY TRANSPORT IN THE X DIRECTION").text(" (RED LINE) IS IMPLEMENTED");
        break;
    case 8003:
        line.text("] ONLY ONE TYPE OF BOUNDARY CONDITONS")
            .text(" DC,AC,TRANS IS ACCEPTED (DC & AC TRUE includes voltage in AC)");
        break;
    case 8004:
        line.text("] ONE RESERVOIRS CONTAINS")
            .text(vol(i1))
            .text(" AND ")
            .text(vol(i2))
            .text(" .")
            .text("PUT JUST ONE VOLUM");
        break;
    case 8005:
        line.text("] THE RESERVOIRS ")
            .text(vol(i1))
            .text(" HAS A TRANSIENT BOUNDARY CONDITIONS. ")
            .text("DIFFERENT FROM OTHER ")
            .text(vol(i2));
        break;
    case 8006:
        line.text("] FOR CHARGE NEUTRALITY THE RESERVOIRS ")
            .text(vol(i1))
            .text("AND")
            .text(vol(i2))
            .text(" NEED TO HAVE BEEN ACTIVATED. NOT ONLY ONE");
        break;
    case 8007:
        line.text("] FOR CHARGE NEUTRALITY THE RESERVOIRS ")
            .text(vol(i1))
            .text(" AND ")
            .text(vol(i2))
            .text(" NEED TO HAVE IDENTICAL VALUES OF ")
            .text(" NSTOP_CON,MITJA_CON,FILTRE AND ITERNEUSTART");
        break;
    case 8008:
        line.text("] TWO RESERVOIRS ARE MANDATORY");
        break;
    case 8009:
        line.text("] THE ACCELERATED INJECTION IS MANDATORY")
            .text(" IF A NON-LINEAR DISPERSION RESERVOIRS ARE USED.");
        break;
    case 8010:
        line.text("] THERE IS NO RESERVOIR IN THE SOURCE")
            .text(" THE FLAGELECTRONS HAS TO BE TRUE IN THE CONTACTS AND IN THE")
            .text(" APROPIATE INTERNAL VOLUMES.");
        break;
    case 8011:
        line.text("] THERE IS NO RESERVOIR IN THE DRAIN")
            .text(" THE FLAGELECTRONS HAS TO BE TRUE IN THE CONTACTS AND IN THE")
            .text(" APROPIATE INTERNAL VOLUMES.");
        break;
    case 9001:
        line.text("] THE X DIMENSION OF THE VOLUM   ")
            .text(vol(i2))
            .text(" MUST BE A MULTIPLE OF ")
            .real(r1)
            .text(".NOW IT IS  ")
            .real(r2);
        break;
    case 9002:
        line.text("] THE TEMPORAL STEP OF SCHRODINGER")
            .text(" DTSCHO=")
            .real(r1)
            .text(" AND SPATIAL STEP OF SCHRODINGER DXSCHO=")
            .real(r2)
            .text(" ARE INCOMPATIBLE.      FOR AN ACCURATE SOLUTION :  ")
            .text("       0.4<HVAR*DTSCHO/(DXSCHO^2*M)<0.5                 ");
        break;
    case 9003:
        line.text("] ERROR IN WAVE CELL ")
            .integer(i1)
            .text(" IN X :")
            .real(r1)
            .text(" WHEN COMPARING WITH CELL ")
            .integer(i1 - 1)
            .text(" IN X :")
            .real(r2);
        break;
    case 9004:
        line.text("] ERROR WHEN DEFINING ZONAACTIVA");
        break;
    case 9006:
        line.text("] THE LENGHT X1: ")
            .real(r1)
            .text(" IS SHORTER THAN 3.5 TIMES THE DISPERSIO_X ")
            .real(r2);
        break;
    case 9007:
        line.text("] THE LENGHT X2: ")
            .real(r1)
            .text(" IS SHORTER THAN 3.5 TIMES THE DISPERSIO_X: ")
            .real(r2);
        break;
    case 9008:
        line.text("] THE LENGHT OF THE CELL: ").real(r1).text(" IS SHORTER THAN DXSCHO: ").real(r2);
        break;
    case 9009:
        line.text("] THE EFFECTIVE MASS : ")
            .real(r1)
            .text(" IN MATERIAL ")
            .text(materialName(i1))
            .text(" IS DIFFERENT FROM:")
            .real(r2)
            .text(". MULTIPLE EFFECTIVE MASSES IS NOT IMPLEMENTED YET");
        break;
    case 9010:
        line.text("] MATERIALS WITH PARABOLIC AND LINEAR ")
            .text(" DISPERSIONS ARE MIXED. ONLY ONE TYPE OF DISPERSION IS ALLOWED");
        break;
    case 9011:
        line.text("] THE LENGHT Y: ")
            .real(r1)
            .text(" IS SHORTER THAN 6 TIMES THE DISPERSIO_Y ")
            .real(r2);
        break;
    case 9012:
        line.text("] THE LENGHT Y2: ")
            .real(r1)
            .text(" IS SHORTER THAN 3.5 TIMES THE DISPERSIO_Y: ")
            .real(r2);
        break;
    case 9013:
        line.text("] THE LINEAR DISPERSION CAN NOT BE ")
            .text(" SIMULATED BY SUPERPOSITION. NOT IMPLEMENTED YET");
        break;
    case 9014:
        line.text("] ERROR IN WAVE CELL ")
            .integer(i1)
            .text(" IN Y :")
            .real(r1)
            .text(" WHEN COMPARING WITH CELL ")
            .integer(i1 - 1)
            .text(" IN Y :")
            .real(r2);
        break;
    case 9015:
        line.text("] THE LINEAR DISPERSION NEEDS ").text(" CONFY=TRUE AND CONFZ=FALSE");
        break;
    case 9016:
        line.text("] THE TEMPORAL STEP OF DIRAC")
            .text(" DTSCHO=")
            .real(r1)
            .text(" AND SPATIAL STEP OF DIRAC DXSCHO=")
            .real(r2)
            .text(" ARE INCOMPATIBLE.      FOR AN ACCURATE SOLUTION :  ")
            .text("       0.01<VF*DTSCHO*sqr(2)/min(DXSCHO,DYSCHO)<0.999   ");
        break;
    case 9017:
        line.text("] THE LENGHT OF BOX IN THE Z DIRECTION: ")
            .real(r1)
            .text(" IS SHORTER THAN 6 TIMES THE DISPERSIO_Z ")
            .real(r2);
        break;
    case 12001:
        // The designer keeps running: the line becomes the verdict and the run ends normally.
        line.text("] ALLOCATE ERROR. NOT ENOUGH MEMORY");
        break;
    default:
        // A code outside the catalogue still reports an error rather than passing silently.
        line.text("]");
        break;
    }
    setText(line);
}

// ---------------------------------------------------------------------------------------------
// Tolerant whole division.

void flooracuracy(double a, double b, std::int32_t &n) {
    const double q = a / b;
    if (q > 2.0e9) {
        message(3031, 0, 0, toFloat(a), toFloat(b));
        return;
    }
    const double fq = std::floor(q);
    n = floorInt(q);
    // Floored modulo, with the sign of b: a quotient a hair below a whole number still counts.
    const double r = a - fq * b;
    const double tolerance = static_cast<double>(1.00001f);
    if (r * tolerance >= b && n < std::numeric_limits<std::int32_t>::max())
        n += 1;
}

} // namespace comprova
