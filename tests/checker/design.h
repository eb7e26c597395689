#pragma once
// A small device that passes every rule of the checker, for tests that break one rule at a time:
// a channel between a source contact (-x) and a drain contact (+x), wrapped by one-cell Neumann
// claddings. Every cell is 1 nm wide; the grid is 8 x 4 x 3 cells.
//
//   x: source 0..2 | channel and claddings 2..6 | drain 6..8
//   y: cladding 0..1 | channel 1..3 | cladding 3..4      z: cladding 0..1 | channel 1..2 | 2..3

#include "checker/comprova.h"
#include "checker/comprova_state.h"

#include <QByteArray>

#include <cstring>
#include <initializer_list>
#include <string>
#include <vector>

namespace testdesign {

enum VolumRecord : int {
    kScattering = 1,
    kFreeElectrons = 2,
    kInternal = 5,
    kDc = 7,
    kTrans = 22,
    kAc = 31,
    kNeumann = 45,
    kNeutrality = 47,
    kFloating = 65
};
enum VolumNumber : int { Source = 1, Drain, Channel, Bottom, Top, SideLow, SideHigh };

inline const QByteArray kOk = " [OK] SIMULATION DESIGN FREE FROM ERRORS";

// Pieces of expected lines: an error line up to its "]", an integer item, a name item.
inline QByteArray err(int code, const QByteArray &items) {
    return " KARVENO ERROR [" + QByteArray::number(code).rightJustified(12) + " ]" + items;
}
inline QByteArray num(int value) {
    return " " + QByteArray::number(value).rightJustified(11);
}
inline QByteArray name(const char *n) {
    return QByteArray(n).leftJustified(kNameWidth);
}
// The line as the user reads it: trailing blanks removed.
inline QByteArray trimmed(std::string text) {
    text.erase(text.find_last_not_of(' ') + 1);
    return QByteArray::fromStdString(text);
}

struct Design {
    static constexpr double nm = 1e-9;
    struct P {
        double x, y, z;
    };

    std::int32_t version = -1;
    std::vector<parameter_str> general = std::vector<parameter_str>(275);
    std::vector<volum_str> volums;
    std::vector<material_str> materials;
    std::int32_t natoms = 0;

    // Classical particles without a wave solver, time step 1 fs; injection from the source and
    // the drain with the accelerated injection (needed with parabolic contacts).
    Design() {
        G(1) = 1e-12;                            // final time
        G(4) = 1;                                // repetitions
        G(5) = 10;                               // particles
        G(9) = 1;                                // classical particles
        G(15) = G(16) = G(17) = 1e-8;            // DISPERSIO_X, _Y, _Z
        G(18) = G(47) = 1e-15;                   // DTSCHO and the Poisson step
        G(60) = 10.5 * 6.283185005187988 / 1e-8; // MAXWEVEVECTOR
        G(63) = 1;                               // accelerated injection ...
        G(64) = 10;                              // ... over ten steps
        for (int b = 67; b <= 186; b += 17) {
            for (int k = 4; k <= 8; ++k)
                G(b + k) = 0.5; // fractions
            G(b + 9) = 1e-14;   // injection time: 10 steps
            G(b + 10) = Source; // injecting volum
            G(b + 14) = 1e-13;  // scattering time: 100 steps
            G(b + 15) = 1;      // mechanism
        }
        G(67) = G(84) = 1; // blocks 1 and 2 switched on, block 2 from the drain
        G(94) = Drain;
        G(239) = 1;     // movie frame spacing
        G(242) = 1e-14; // the output block always in force
        G(272) = 1;     // injecting volum of the 2D transport

        addMaterial("Silicon", 1);
        M(19) = 0.2; // effective mass along x of the first valley
        contact("Source", 0, 2);
        contact("Drain", 6, 8);
        box("Channel", {2, 1, 1}, {6, 3, 2});
        V(Channel, kFreeElectrons) = V(Channel, kInternal) = 1;
        cladding("Bottom", {2, 0, 0}, {6, 4, 1});
        cladding("Top", {2, 0, 2}, {6, 4, 3});
        cladding("SideLow", {2, 0, 1}, {6, 1, 2});
        cladding("SideHigh", {2, 3, 1}, {6, 4, 2});
    }

    double &G(int k) { return general[std::size_t(k - 1)].valor; }
    double &V(int volum, int k) { return volums[std::size_t(volum - 1)].parameters[k - 1].valor; }
    double &M(int k, int material = 1) {
        return materials[std::size_t(material - 1)].parameters[k - 1].valor;
    }
    volum_str &vol(int n) { return volums[std::size_t(n - 1)]; }

    static void setName(char *field, const char *text) {
        std::memcpy(field, name(text).constData(), kNameWidth);
    }
    // A box from lo to hi (nm), one mesh per nanometre.
    volum_str &box(const char *name, P lo, P hi) {
        volum_str &v = volums.emplace_back();
        setName(v.nom, name);
        v.xi = lo.x * nm, v.yi = lo.y * nm, v.zi = lo.z * nm;
        v.xf = hi.x * nm, v.yf = hi.y * nm, v.zf = hi.z * nm;
        v.mxi = v.myi = v.mzi = 1;
        v.mxf = int(hi.x - lo.x + 0.5), v.myf = int(hi.y - lo.y + 0.5);
        v.mzf = int(hi.z - lo.z + 0.5);
        v.indexname = 1;
        return v;
    }
    // A DC contact with free electrons across the whole y-z face.
    volum_str &contact(const char *name, double x0, double x1, double width = 4) {
        volum_str &v = box(name, {x0, 0, 0}, {x1, width, 3});
        v.parameters[kFreeElectrons - 1].valor = v.parameters[kDc - 1].valor = 1;
        return v;
    }
    volum_str &cladding(const char *name, P lo, P hi) {
        volum_str &v = box(name, lo, hi);
        v.parameters[kNeumann - 1].valor = 1;
        return v;
    }
    // A parabolic material defining scattering mechanism 1.
    material_str &addMaterial(const char *name, int index) {
        material_str &m = materials.emplace_back();
        setName(m.nom, name);
        m.indexname = index;
        m.parameters[0].valor = 11.7; // records 1 and 2 reach the cells
        m.parameters[1].valor = 4.05;
        m.parameters[15 - 1].valor = 1;  // parabolic dispersion
        m.parameters[285 - 1].valor = 1; // mechanism of scattering block 1
        return m;
    }
    // Turns a cladding into a gate electrode: a DC contact without free electrons.
    void makeGate(int n) {
        V(n, kNeumann) = 0;
        V(n, kDc) = 1;
    }
    // The effective-mass wave solver: 0.1 fs steps, 1 nm wave cells, 35 nm before and after.
    void useWaveSolver() {
        G(9) = 0;
        G(11) = 1;
        G(13) = G(14) = 3.5e-8;
        G(17) = 1e-10;
        G(18) = 1e-16;
        G(19) = G(21) = 1e-9;
    }
    // The Dirac equation: every material linear, CONFY on and CONFZ off (records inverted).
    void useDirac(double fermiVelocity = 1e6) {
        useWaveSolver();
        G(11) = 2;
        G(23) = 0;
        G(24) = 1;
        M(15) = 0;
        M(81) = 1;
        M(85) = fermiVelocity;
    }

    // Switches the current volume on (record 204) over a mesh range x1 x2 y1 y2 z1 z2.
    void currentVolume(std::initializer_list<double> range) {
        G(204) = 1;
        G(205) = 1e-14;
        int k = 206;
        for (const double v : range)
            G(k++) = v;
    }

    // Runs the entry routine; a count of -1 hands over the true count.
    QByteArray run(std::int32_t nvparam = 10, std::int32_t nmparam = 10, std::int32_t nparam = -1,
                   std::int32_t nmat = -1, std::int32_t nvol = -1) {
        nvol = nvol < 0 ? std::int32_t(volums.size()) : nvol;
        nmat = nmat < 0 ? std::int32_t(materials.size()) : nmat;
        nparam = nparam < 0 ? std::int32_t(general.size()) : nparam;
        char verdict[kVerdictLength + 1];
        std::memset(verdict, 'x', sizeof verdict);
        comprova_volums_valids(&version, volums.data(), &nvol, &nvparam, materials.data(), &nmat,
                               &nmparam, general.data(), &nparam, nullptr, &natoms, verdict);
        if (verdict[kVerdictLength] != '\0' || std::strlen(verdict) != kVerdictLength)
            return "verdict not terminated at 299 characters";
        return trimmed(std::string(verdict, kVerdictLength));
    }
};

} // namespace testdesign
