#pragma once
// A small three-dimensional device for the boundary, contact, wave-grid and particle tests: a
// channel between a source contact on the -x side and a drain contact on the +x side, wrapped by
// one-cell Neumann claddings. Every cell is 1 nm wide; the grid is 8 x 4 x 3 cells.
//
//   x: source 0..2 | channel and claddings 2..6 | drain 6..8
//   y: cladding 0..1 | channel 1..3 | cladding 3..4      z: cladding 0..1 | channel 1..2 | 2..3

#include "design.h"

#include <QByteArray>

namespace testdesign {

// Volum records the tests set.
enum VolumRecord : int {
    kFreeElectrons = 2,
    kInternal = 5,
    kDc = 7,
    kTrans = 22,
    kAc = 31,
    kNeumann = 45,
    kNeutrality = 47,
    kFloating = 65,
};

struct Device : Design {
    enum Volum : int { Source = 1, Drain, Channel, Bottom, Top, SideLow, SideHigh };
    static constexpr double nm = 1e-9;

    // `shift` moves the whole device along every axis (in nm).
    explicit Device(double shift = 0) {
        G(63) = 1; // accelerated injection, needed with parabolic contacts
        G(64) = 10;
        G(67) = 1; // injection block 1 from the source
        G(77) = Source;
        G(84) = 1; // injection block 2 from the drain
        G(94) = Drain;
        material_str &si = addMaterial("Silicon", 1);
        M(si, 19) = 0.2; // MX1: effective mass along x of the first valley

        contact("Source", 0, 2, shift);
        contact("Drain", 6, 8, shift);
        volum_str &ch = box("Channel", {2, 1, 1}, {6, 3, 2}, shift);
        V(ch, kFreeElectrons) = 1;
        V(ch, kInternal) = 1;
        cladding("Bottom", {2, 0, 0}, {6, 4, 1}, shift);
        cladding("Top", {2, 0, 2}, {6, 4, 3}, shift);
        cladding("SideLow", {2, 0, 1}, {6, 1, 2}, shift);
        cladding("SideHigh", {2, 3, 1}, {6, 4, 2}, shift);
    }

    volum_str &vol(int n) { return *volums[static_cast<std::size_t>(n - 1)]; }
    double &V(int n, int k) { return Design::V(vol(n), k); }
    using Design::V;
    double &M(int k) { return Design::M(*materials.front(), k); }
    using Design::M;

    struct P {
        double x, y, z;
    };
    // A box from lo to hi (nm), one mesh per nanometre.
    volum_str &box(const char *name, P lo, P hi, double shift = 0) {
        return addVolum(name, (lo.x + shift) * nm, (lo.y + shift) * nm, (lo.z + shift) * nm,
                        (hi.x + shift) * nm, (hi.y + shift) * nm, (hi.z + shift) * nm,
                        int(hi.x - lo.x + 0.5), int(hi.y - lo.y + 0.5), int(hi.z - lo.z + 0.5));
    }
    volum_str &contact(const char *name, double x0, double x1, double shift = 0, double width = 4) {
        volum_str &v = box(name, {x0, 0, 0}, {x1, width, 3}, shift);
        V(v, kFreeElectrons) = 1;
        V(v, kDc) = 1;
        return v;
    }
    volum_str &cladding(const char *name, P lo, P hi, double shift = 0) {
        volum_str &v = box(name, lo, hi, shift);
        V(v, kNeumann) = 1;
        return v;
    }
    // Turns a cladding into a gate electrode: a DC contact without free electrons.
    void makeGate(int n) {
        V(n, kNeumann) = 0;
        V(n, kDc) = 1;
    }

    // Settings of the effective-mass wave solver: 0.1 fs steps, 1 nm wave cells.
    void useWaveSolver() {
        G(9) = 0;  // quantum particles
        G(11) = 1; // wave solver
        G(13) = G(14) = 3.5e-8;
        G(15) = 1e-8;
        G(17) = 1e-10;
        G(18) = 1e-16; // DTSCHO
        G(19) = 1e-9;  // DXSCHO
        G(21) = 1e-9;  // across
    }
    // Dirac equation: every material linear, CONFY on and CONFZ off (records inverted).
    void useDirac(double fermiVelocity = 1e6) {
        useWaveSolver();
        G(11) = 2;
        G(23) = 0;
        G(24) = 1;
        M(15) = 0;
        M(81) = 1;
        M(85) = fermiVelocity; // VFX1
    }
};

} // namespace testdesign
