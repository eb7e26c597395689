#!/usr/bin/env python3
"""Writes the shipped run-time data and its record tables.

Produces data/properties.txt, data/volum_properties.txt, data/materials/*.txt and
docs/records.md from the tables below. The design checker reads settings by their position in
the flattened list (one record per property; a choice property is followed by one record per
condition and one per property of that condition), so every table here is kept in record order
and the generator verifies each position that the checker reads before anything is written.

Run from anywhere:  python3 scripts/make_data.py
"""

import math
import os
import sys

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))

BOOL, INT, REAL, EXP, CHOICE = 0, 1, 2, 3, 4
KIND_NAMES = {BOOL: "boolean", INT: "integer", REAL: "real", EXP: "real (mantissa, exponent)",
              CHOICE: "choice"}


# --- building blocks ----------------------------------------------------------------------

class Prop:
    def __init__(self, name, type_, value, help_, conditions=None):
        assert " " not in name and "\t" not in name and name, name
        assert len(name) <= 20, "name longer than the 20 characters the checker keeps: " + name
        assert "\n" not in help_
        assert len(help_) <= 300, "help longer than 300 characters: " + name
        self.name, self.type, self.value, self.help = name, type_, value, help_
        self.conditions = conditions or []
        if type_ == CHOICE:
            self.value = len(self.conditions)


class Cond:
    def __init__(self, name, active, props):
        assert all(p.type != CHOICE for p in props)
        self.name, self.active, self.props = name, active, props


def b(name, value, help_):
    return Prop(name, BOOL, 1 if value else 0, help_)


def i(name, value, help_):
    return Prop(name, INT, int(value), help_)


def r(name, value, help_):
    return Prop(name, REAL, float(value), help_)


def e(name, value, help_):
    return Prop(name, EXP, float(value), help_)


def reserved(pos):
    return Prop("RESERVED_%d" % pos, REAL, 0.0,
                "Reserved: not used. It keeps the settings that follow at the positions "
                "the simulator reads them from; leave it 0.")


def fmt_value(p):
    if p.type == BOOL:
        return "1" if p.value else "0"
    if p.type in (INT, CHOICE):
        return str(int(p.value))
    return format(p.value, "g")


def write_block(out, name, props):
    out.append("%d %s" % (len(props), name))
    for p in props:
        out.append("%s %d %s %s" % (p.name, p.type, fmt_value(p), p.help))
        for c in p.conditions:
            out.append("%s %d %d" % (c.name, len(c.props), 1 if c.active else 0))
            for q in c.props:
                out.append("%s %d %s %s" % (q.name, q.type, fmt_value(q), q.help))


def flatten(categories):
    """(position, category, record kind, object) in checker order, positions from 1."""
    rows = []
    for cat, props in categories:
        for p in props:
            rows.append((len(rows) + 1, cat, "property", p))
            for c in p.conditions:
                rows.append((len(rows) + 1, cat, "condition", c))
                for q in c.props:
                    rows.append((len(rows) + 1, cat, "sub-property", q))
    return rows


# --- general settings ---------------------------------------------------------------------

def injection_block(j):
    s = "_%d" % j
    source = j % 2 == 1
    return [
        i("INJECTION" + s, 0,
          "Injection block %d on: electrons are injected from INJ_VOLUM%s. 1 on, 0 off." % (j, s)),
        r("INJ_FERMI" + s, 0.1,
          "Fermi level of the injecting reservoir relative to its conduction band edge (eV)."),
        r("INJ_TEMPERATURE" + s, 300.0, "Temperature of the injected electrons (K)."),
        e("INJ_DENSITY" + s, 1e26, "Electron density of the injecting reservoir (m^-3)."),
        r("INJ_PROBABILITY" + s, 0.5,
          "Probability that an injection attempt injects an electron; strictly between 0 and 1."),
        r("INJ_SPIN_UP" + s, 0.5,
          "Fraction of the injected electrons with spin up; strictly between 0 and 1."),
        r("INJ_POS_Y" + s, 0.5,
          "Position of the injected packet's centre across the contact along y, as a fraction "
          "of the contact's width; strictly between 0 and 1."),
        r("INJ_POS_Z" + s, 0.5,
          "Position of the injected packet's centre across the contact along z, as a fraction "
          "of the contact's width; strictly between 0 and 1."),
        r("INJ_OVERLAP" + s, 0.5,
          "Fraction of the wave packet that must lie inside the device before the electron "
          "counts as injected; strictly between 0 and 1."),
        e("INJ_TIME" + s, 1e-14,
          "Time between two injection attempts (s); at least one time step."),
        i("INJ_VOLUM" + s, 1,
          "Number of the injecting volum (its position in the volum list, from 1); when the "
          "block is on it must be a contact (reservoir) volum."),
        i("INJ_DIRECTION" + s, 1 if source else -1,
          "Direction of injection: 1 towards +x (from the source), -1 towards -x (from the "
          "drain)."),
        i("INJ_VALLEY" + s, 1, "Valley of the injecting material that the electrons occupy "
          "(1 to 8)."),
        i("INJ_NMAX" + s, 1000, "Largest number of electrons this block injects in one run."),
        e("SCAT_TIME" + s, 1e-13,
          "Time after injection at which the electron may first scatter (s); longer than "
          "INJ_TIME%s." % s),
        i("SCAT_MECHANISM" + s, 1,
          "Scattering mechanism of the injected electrons: the number MECH of a scattering "
          "block of some material (1 acoustic phonons)."),
        b("INJ_OUTPUT" + s, False, "Write every injected electron (time, energy, wave vector) "
          "to the output folder."),
    ]


def output_block(what, switch, interval, third, label=None):
    label = label or what.lower()
    return [
        b("OUT_" + what, switch, "Write the %s to the output folder." % label),
        e("DT_" + what, interval,
          "Interval between two writes of the %s (s); at least DTPOISSON, rounded down to a "
          "whole number of Poisson steps." % label),
        third,
    ]


def general_categories():
    cats = []
    cats.append(("Simulation", [
        e("FINAL_TIME", 1e-12, "Final time of the simulation (s)."),
        e("INITIAL_TIME", 0.0, "Time at which the simulation starts (s)."),
        i("SEED", 12345, "Seed of the random number generator."),
        i("NREPETITIONS", 1, "Number of times the whole simulation is repeated with new "
          "random numbers; 1 to 10000."),
        i("NPARTICLES", 10, "Number of particles (electrons) simulated together; at least 1."),
        e("WARMUP_TIME", 1e-13, "Time from the start before averages are taken (s); rounded to "
          "whole time steps."),
        b("VERBOSE", False, "Write a detailed log of every Poisson step to log.txt."),
        b("SAVE_STATE", False, "At the final time save positions and wave functions of all "
          "particles, so that a later run can continue from them."),
    ]))
    cats.append(("Particles and solvers", [
        i("FLAG_PARTICLES", 1, "Kind of particles: 1 classical particles (Monte Carlo); 0 "
          "quantum particles (Bohmian trajectories guided by their wave functions)."),
        r("TEMPERATURE", 300.0, "Lattice temperature (K)."),
        i("WAVE_SOLVER", 0, "Wave equation of the quantum particles: 0 none (classical "
          "particles), 1 effective-mass Schrodinger equation, 2 Dirac equation. The design check "
          "chooses 1 or 2 from the materials along the transport line."),
        i("FLAG_POISSON", 1, "Electrostatics: 0 the potential stays at its initial value, 1 "
          "Poisson's equation is solved every Poisson step."),
    ]))
    cats.append(("Wave packets", [
        e("X1", 4e-8, "Length added to the wave grid before the device along x (m); at least "
          "3.5 times DISPERSIO_X."),
        e("X2", 4e-8, "Length added to the wave grid after the device along x (m); at least "
          "3.5 times DISPERSIO_X."),
        e("DISPERSIO_X", 1e-8, "Spatial dispersion (width) of the injected wave packets along "
          "x (m); the injection wave-vector step is 2*pi/DISPERSIO_X."),
        e("DISPERSIO_Y", 1e-8, "Spatial dispersion of the injected wave packets along y (m)."),
        e("DISPERSIO_Z", 1e-8, "Spatial dispersion of the injected wave packets along z (m); "
          "the Dirac solver needs a box at least 6 times as wide along z."),
    ]))
    cats.append(("Wave grid", [
        e("DTSCHO", 1e-16, "Time step of the wave solver (s). Effective mass: 0.004 <= "
          "hbar*DTSCHO/(DXSCHO^2*m) <= 0.5; Dirac: 0.01 <= VF*DTSCHO*sqrt(2)/min(DXSCHO,DYSCHO) "
          "< 0.999999."),
        e("DXSCHO", 1e-9, "Spatial step of the wave grid along x (m); every cell along the "
          "transport line must be a whole multiple of it."),
        e("DXWAVE_OUT", 1e-9, "Spacing of the points at which wave functions are written to "
          "the output (m)."),
        e("DYSCHO", 1e-9, "Spatial step of the wave grid across the transport direction (m); "
          "the Dirac solver uses it along z, and its cells along z must be multiples of it."),
        i("CONFX", 1, "Wave functions along x: 1 resolved, 0 confined. Transport runs along x: "
          "keep 1. The simulator stores the inverse as its flag CONFX."),
        i("CONFY", 0, "Wave functions along y: 0 confined, the device is a sheet in the x-z "
          "plane (the simulator's CONFY=TRUE, which the Dirac solver needs); 1 resolved along "
          "y. The simulator stores the inverse as its flag CONFY."),
        i("CONFZ", 1, "Wave functions along z: 1 resolved (the simulator's CONFZ=FALSE, which "
          "the Dirac solver needs); 0 confined. The simulator stores the inverse as its flag "
          "CONFZ."),
    ]))
    cats.append(("Many particles", [
        i("EXCHANGE", 0, "Exchange among electrons: 0 none, 1 every particle's state is "
          "antisymmetrised with those of all the others."),
        reserved(26), reserved(27), reserved(28), reserved(29),
        i("SUPERPOSITION", 0, "Many-particle state: 0 one conditional wave function per "
          "particle, 1 a superposition of single-particle states. The Dirac solver needs 0."),
        i("NSTATES", 10, "Number of single-particle states kept in a superposition."),
        i("NENERGIES", 50, "Number of energies sampled for each superposed state."),
        r("ENERGY_MIN", 0.0, "Lowest energy of the superposed states, from the conduction band "
          "edge (eV)."),
        r("ENERGY_MAX", 0.5, "Highest energy of the superposed states, from the conduction "
          "band edge (eV)."),
        i("NCONDITIONAL", 1, "Number of conditional wave functions computed for each "
          "particle."),
        reserved(36), reserved(37),
    ]))
    cats.append(("Wave grid extension", [
        i("EXTENSION", 0, "1: extend the wave grid by EXTENSION_LENGTH at both ends along x "
          "and across; 0: no extension."),
        r("ABSORBING", 0.0, "Height of the imaginary absorbing potential in the extension "
          "(eV); 0 for none."),
        e("EXTENSION_LENGTH", 2e-8, "Length of the extension at each end (m); used only when "
          "EXTENSION is 1."),
        reserved(41),
        i("ABSORBING_ORDER", 2, "Power of the absorbing potential's profile across the "
          "extension (1 linear, 2 quadratic)."),
        reserved(43),
        i("EXTENSION_OUT", 0, "1: write the wave functions in the extension too; 0: inside "
          "the device only."),
        reserved(45),
        i("SKIP_X1X2", 0, "1: leave X1 and X2 out of the wave grid (only the extension, if on, "
          "is added); 0: add X1 and X2."),
    ]))
    cats.append(("Poisson", [
        e("DTPOISSON", 1e-15, "Time step of the Poisson solver (s); also the time step of "
          "classical particles. With a wave solver it must be at least DTSCHO, by convention a "
          "whole multiple of it."),
        e("POISSON_TOLERANCE", 1e-6, "Convergence tolerance of the Poisson solver (V)."),
        i("POISSON_MAXITER", 1000, "Largest number of iterations of the Poisson solver in one "
          "step."),
        i("COULOMB_MANYBODY", 0, "Coulomb interaction among particles: 0 mean field only, 1 "
          "each particle feels every other one."),
        r("POISSON_RELAX", 1.0, "Relaxation factor of the Poisson iteration (between 0 and "
          "2)."),
        e("COULOMB_CUTOFF", 1e-9, "Distance below which the Coulomb interaction of two "
          "electrons is smoothed (m)."),
        i("POISSON_METHOD", 0, "Poisson solver: 0 successive over-relaxation, 1 conjugate "
          "gradients."),
    ]))
    cats.append(("Physics switches", [
        b("INIT_EQUILIBRIUM", True, "Start from the equilibrium potential (true) or from a "
          "flat potential (false)."),
        b("FLAG_TUNNELING", True, "Let particles tunnel through barriers (quantum particles "
          "only)."),
        b("FLAG_IMAGE_CHARGE", False, "Include the image-charge potential at dielectric "
          "interfaces."),
        b("FLAG_SPIN", False, "Follow spin explicitly (otherwise every state holds two "
          "electrons)."),
        b("FLAG_PAULI", False, "Apply Pauli blocking to injection and scattering."),
        b("RANDOM_INJECTION", True, "Inject at random times (a Poisson process) instead of at "
          "regular intervals."),
    ]))
    cats.append(("Injection", [
        e("MAXWEVEVECTOR", 5e9, "Largest wave vector of the injected electrons (1/m)."),
        reserved(61), reserved(62),
        b("ACCELERATED_INJ", True, "Accelerated injection: NINJECTION_STEPS equal wave-vector "
          "steps up to MAXWEVEVECTOR instead of steps of 2*pi/DISPERSIO. Needed when the "
          "contacts have parabolic dispersion."),
        i("NINJECTION_STEPS", 100, "Number of wave-vector steps of the accelerated injection; "
          "5 to 300."),
        reserved(65), reserved(66),
    ]))
    for j in range(1, 9):
        cats.append(("Injection %d" % j, injection_block(j)))
    cats.append(("Current volume", [
        reserved(203),
        b("FLAG_OMEGA", False, "Compute the current through a box of cells (the volume for "
          "current computation)."),
        e("DT_OMEGA", 1e-14, "Interval between two writes of the box current (s); at least "
          "DTPOISSON."),
        i("OMEGA_X1", 1, "First cell of the box along x (cells counted from 0)."),
        i("OMEGA_X2", 4, "Last cell of the box along x; at least 2 more than OMEGA_X1."),
        i("OMEGA_Y1", 1, "First cell of the box along y (from 0)."),
        i("OMEGA_Y2", 4, "Last cell of the box along y; at least 2 more than OMEGA_Y1."),
        i("OMEGA_Z1", 1, "First cell of the box along z (from 0)."),
        i("OMEGA_Z2", 4, "Last cell of the box along z; at least 2 more than OMEGA_Z1."),
        i("OMEGA_FACES_X", 1, "1: count the current through the box faces normal to x."),
        i("OMEGA_FACES_Y", 0, "1: count the current through the box faces normal to y."),
        i("OMEGA_FACES_Z", 0, "1: count the current through the box faces normal to z."),
        i("OMEGA_NAVERAGE", 1, "Number of intervals averaged into each written value."),
        e("OMEGA_START", 0.0, "Time at which the current computation starts (s)."),
        reserved(217),
    ]))
    cats.append(("Output", (
        output_block("CURRENT", True, 1e-14, b("CURRENT_AVERAGE", True, "Write the current "
                     "averaged over the interval instead of its value at the end of it."))
        + output_block("CHARGE", False, 1e-14, b("CHARGE_AVERAGE", False, "Write the charge "
                       "averaged over the interval instead of its value at the end of it."))
        + output_block("POTENTIAL", False, 1e-14, b("POTENTIAL_AVERAGE", False, "Write the "
                       "potential averaged over the interval."))
        + output_block("WAVEFUNCTION", False, 1e-14, i("WAVEFUNCTION_NMAX", 10, "Largest "
                       "number of wave functions written at each interval."), "wave functions")
        + output_block("POSITIONS", False, 1e-14, i("POSITIONS_NMAX", 100, "Largest number "
                       "of particles whose positions are written at each interval."),
                       "particle positions")
        + output_block("ENERGY", False, 1e-14, b("ENERGY_AVERAGE", False, "Write the mean "
                       "kinetic energy averaged over the interval."), "mean kinetic energy")
    )))
    cats.append(("Movie", [
        b("MOVIE", False, "Write the frames of a movie of the charge and potential."),
        e("MOVIE_START", 0.0, "Time of the first frame (s)."),
        e("MOVIE_END", 1e-12, "Time of the last frame (s); at most FINAL_TIME."),
        i("MOVIE_FRAME_STEPS", 10, "Number of time steps between two frames; at most "
          "999999."),
        i("MOVIE_PLANE", 1, "Plane of the frames: 0 x-y, 1 x-z, 2 y-z."),
    ]))
    cats.append(("Summary", [
        b("OUT_SUMMARY", True, "Write the summary of the run (mean current, number of "
          "particles in the device)."),
        e("DT_SUMMARY", 1e-13, "Interval between two summary lines (s); at least DTPOISSON, "
          "checked even when OUT_SUMMARY is off."),
        reserved(243), reserved(244),
    ]))
    cats.append(("Trajectories", [
        i("FLAG_TRAJECTORIES", 0, "1: write the Bohmian trajectories of the particles."),
        e("DT_TRAJECTORIES", 1e-14, "Interval between two trajectory points (s)."),
        reserved(247),
        i("FLAG_MIG_TRANSMISSIO", 0, "1: compute the mean transmission coefficient from the "
          "trajectories. Quantum particles only: needs FLAG_PARTICLES 0."),
        e("DT_TRANSMISSIO", 1e-14, "Interval between two transmission samples (s)."),
        reserved(250),
        i("TRANSMISSIO_NENERGY", 100, "Number of energies of the transmission spectrum."),
        i("TRANSMISSIO_NPACKET", 10, "Number of wave packets sent at each energy."),
        i("TRANSMISSIO_VALLEY", 1, "Valley of the transmitted electrons (1 to 8)."),
        r("TRANSMISSIO_EMAX", 0.5, "Highest energy of the transmission spectrum, from the "
          "conduction band edge (eV)."),
        e("TRANSMISSIO_TIME", 1e-13, "Time for which each packet is followed (s)."),
        reserved(256),
        i("TRANSMISSIO_X_IN", 0, "Cell along x (from 0) where the incident flux is "
          "measured."),
        i("TRANSMISSIO_X_OUT", 0, "Cell along x (from 0) where the transmitted flux is "
          "measured; 0 takes the last cell."),
        reserved(259),
        i("TRANSMISSIO_OUT", 0, "1: write the transmission of every packet; 0: only the "
          "mean."),
        reserved(261),
    ]))
    cats.append(("Two-dimensional transport", [
        i("TRANS2D", 0, "1: electrons are injected from TRANS2D_VOLUM and followed in the x-z "
          "plane (two-dimensional transport); 0 off."),
        r("TRANS2D_ENERGY", 0.1, "Energy of the injected electrons, from the conduction band "
          "edge (eV)."),
        r("TRANS2D_ANGLE", 0.0, "Injection angle from the x axis in the x-z plane (rad)."),
        i("TRANS2D_NENERGY", 1, "Number of injected energies."),
        r("TRANS2D_DENERGY", 0.01, "Step between injected energies (eV)."),
        i("TRANS2D_NANGLES", 1, "Number of injection angles."),
        i("TRANS2D_VALLEY", 1, "Valley of the injected electrons (1 to 8)."),
        e("TRANS2D_Z0", 0.0, "z of the first injection point (m)."),
        e("TRANS2D_DZ", 1e-9, "Spacing of the injection points along z (m)."),
        i("TRANS2D_NPOINTS", 10, "Number of injection points along z (a real value is "
          "rounded to the nearest whole number)."),
        i("TRANS2D_VOLUM", 1, "Number of the injecting volum (position in the volum list, "
          "from 1); with TRANS2D on it must be a contact (reservoir) volum."),
        i("TRANS2D_DIRECTION", 1, "Direction of injection: 1 towards +x, -1 towards -x."),
        i("TRANS2D_OUT", 0, "1: write the two-dimensional trajectories."),
        i("TRANS2D_NTRAJ", 100, "Number of simulated trajectories; at most 1000."),
    ]))
    cats.append(("Output files", [
        Prop("OUTPUT_FORMAT", CHOICE, 0, "Format of the result files written to the output "
             "folder.", [
                 Cond("TEXT", True, [
                     i("DIGITS", 6, "Significant digits of every written number."),
                 ]),
                 Cond("BINARY", False, [
                     b("DOUBLE_PRECISION", True, "Write numbers in double precision (true) "
                       "or in single precision (false)."),
                 ]),
             ]),
    ]))
    return cats


# Positions of the general records that the design checker reads, with the kind it converts
# them to; see docs/records.md.
def general_checked():
    c = {}
    for k in (1, 2, 13, 14, 15, 16, 17, 18, 19, 20, 21, 33, 34, 39, 40, 47, 48, 51, 52, 60, 216,
              254, 263, 264, 266, 269, 270):
        c[k] = "real"
    for k in (6, 246, 249, 255):
        c[k] = "time"
    for k in (3, 4, 5, 9, 11, 12, 25, 30, 31, 32, 35, 38, 42, 44, 46, 49, 50, 53, 64, 206, 207,
              208, 209, 210, 211, 212, 213, 214, 215, 245, 248, 251, 252, 253, 257, 258, 260,
              262, 265, 267, 268, 271, 272, 273, 274, 275):
        c[k] = "integer"
    for k in (22, 23, 24):
        c[k] = "inverted switch"
    for k in (54, 55, 56, 57, 58, 59, 63, 204):
        c[k] = "switch"
    for j in range(8):
        base = 67 + 17 * j
        c[base] = "integer"
        for k in range(1, 9):
            c[base + k] = "real"
        c[base + 9] = "time"
        for k in (10, 11, 12, 13, 15):
            c[base + k] = "integer"
        c[base + 14] = "time"
    for s in (218, 221, 224, 227, 230, 233, 236, 241):
        c[s] = "switch"
        c[s + 1] = "time"
    c[205] = "time"
    c[237] = c[238] = "time"
    c[239] = "integer"
    return c


# --- volum settings -----------------------------------------------------------------------

def volum_categories():
    cats = []
    cats.append(("Electrons", [
        b("FLAG_SCATTERING", False, "Electrons in this volum scatter by the mechanisms of its "
          "material. Not available with the Dirac equation."),
        b("FLAGELECTRONS", False, "The volum holds free electrons: true for contacts and for "
          "the channel, false for insulators and Neumann claddings."),
        r("POTENTIAL_INIT", 0.0, "Initial electrostatic potential of the volum (V)."),
        e("FIXED_CHARGE", 0.0, "Fixed charge density in the volum (C/m^3)."),
    ]))
    cats.append(("Boundary", [
        b("INTERNAL_NOBOUNDARY", False, "True when the volum lies inside the device on all six "
          "sides and so has no boundary condition; false for a volum on the device's outer "
          "surface."),
        b("OUTPUT_VOLUM", False, "Write the charge and potential of this volum at every "
          "output interval."),
    ]))
    cats.append(("DC boundary", [
        b("DC", False, "DC contact: a reservoir held at a constant voltage. Only one of DC, "
          "TRANS, AC and FLOATING may be on."),
        r("DC_VOLTAGE", 0.0, "Voltage applied to the contact (V)."),
        r("DC_VOLTAGE_END", 0.0, "Last voltage of a sweep (V); equal to DC_VOLTAGE for no "
          "sweep."),
        r("DC_VOLTAGE_STEP", 0.0, "Voltage step of a sweep (V); 0 for no sweep."),
        r("DC_FERMI", 0.0, "Fermi level of the contact relative to its conduction band edge "
          "(eV)."),
        r("DC_TEMPERATURE", 300.0, "Temperature of the contact's electrons (K)."),
        e("DC_DENSITY", 0.0, "Electron density kept in the contact (m^-3); 0 takes the "
          "material's ELECTRON_DENSITY."),
        r("DC_BARRIER", 0.0, "Schottky barrier height at the contact (eV); 0 for an ohmic "
          "contact."),
        r("DC_RESISTANCE", 0.0, "Series resistance of the external circuit (ohm)."),
        e("DC_SWEEP_TIME", 1e-12, "Time spent at each voltage of a sweep (s)."),
        e("DC_RAMP_TIME", 0.0, "Time over which the voltage rises from 0 at the start (s)."),
        r("DC_WORKFUNCTION", 0.0, "Work function of the contact (eV); 0 takes the material's "
          "ELECTRON_AFFINITY."),
        e("DC_CAPACITANCE", 0.0, "Capacitance of the external circuit to ground (F)."),
        e("DC_INDUCTANCE", 0.0, "Inductance of the external circuit (H)."),
        reserved(21),
    ]))
    cats.append(("Transient boundary", [
        b("TRANS", False, "Transient contact: a reservoir whose voltage changes from TRANS_V0 "
          "to TRANS_V1. Only one of DC, TRANS, AC and FLOATING may be on."),
        r("TRANS_V0", 0.0, "Voltage before the change (V)."),
        r("TRANS_V1", 0.0, "Voltage after the change (V)."),
        e("TRANS_RISE", 0.0, "Rise time of the change (s)."),
        i("TRANS_NSTEPS0", 0, "Poisson steps at TRANS_V0 before the change; TRANS_NSTEPS0 + "
          "TRANS_NSTEPS1 at most 999."),
        i("TRANS_NSTEPS1", 0, "Poisson steps at TRANS_V1 after the change; TRANS_NSTEPS0 + "
          "TRANS_NSTEPS1 at most 999."),
        i("TRANS_NREPEAT", 1, "Number of times the change is repeated."),
        i("TRANS_SHAPE", 0, "Shape of the change: 0 step, 1 linear ramp over TRANS_RISE, 2 "
          "exponential with time constant TRANS_RISE."),
        reserved(30),
    ]))
    cats.append(("AC boundary", [
        b("AC", False, "AC contact: a reservoir with an alternating voltage. Only one of DC, "
          "TRANS, AC and FLOATING may be on."),
        r("AC_OFFSET", 0.0, "Constant voltage under the signal (V)."),
        r("AC_AMPLITUDE", 0.01, "Amplitude of the signal (V)."),
        e("AC_FREQUENCY", 1e12, "Frequency of the signal (Hz)."),
        r("AC_PHASE", 0.0, "Phase of the signal at the start (rad)."),
        i("AC_SHAPE", 0, "Shape of the signal: 0 sine, 1 square, 2 triangle."),
        e("AC_START", 0.0, "Time at which the signal starts (s)."),
        r("AC_AMPLITUDE2", 0.0, "Amplitude of a second superposed signal (V); 0 for none."),
        e("AC_FREQUENCY2", 0.0, "Frequency of the second signal (Hz)."),
        r("AC_PHASE2", 0.0, "Phase of the second signal at the start (rad)."),
        i("AC_NSTEPS", 0, "Poisson steps over which the signal is applied; at most 999, 0 for "
          "the whole run."),
        i("AC_NPERIODS", 1, "Number of periods written to the output."),
        i("AC_NSAMPLES", 20, "Samples written per period."),
        reserved(44),
    ]))
    cats.append(("Neumann boundary", [
        b("ELECTRIC_FIELD=0", True, "Neumann boundary: the normal electric field vanishes on "
          "the volum's outer faces. For volums without free electrons that are one cell thick "
          "along y or along z."),
        reserved(46),
    ]))
    cats.append(("Charge neutrality", [
        b("CHARGE_NEUTRALITY", False, "Keep the contact charge-neutral by adjusting the "
          "injection. Contacts only; on in both the source and the drain, or in neither."),
        e("NEUTRAL_DENSITY", 0.0, "Electron density the control aims at (m^-3); 0 takes the "
          "doping of the contact's material."),
        r("NEUTRAL_TOLERANCE", 0.01, "Relative deviation of the charge tolerated before the "
          "control acts."),
        i("NEUTRAL_MAXINJ", 10, "Largest number of electrons added or removed in one Poisson "
          "step."),
        reserved(51), reserved(52),
        e("NSTOP_CON", 1e-12, "Time after which the charge-neutrality control stops (s); "
          "rounded to whole time steps."),
        e("MITJA_CON", 1e-14, "Averaging time of the contact charge (s); rounded to whole "
          "Poisson steps."),
        e("FILTRE", 1e-14, "Filter time of the control (s); rounded to whole Poisson steps."),
        i("ITERNEUSTART", 10, "Poisson steps before the control starts; equal in the source "
          "and the drain."),
        reserved(57), reserved(58), reserved(59), reserved(60), reserved(61), reserved(62),
        reserved(63), reserved(64),
    ]))
    cats.append(("Floating boundary", [
        b("FLOATING", False, "Floating contact: the volum's potential follows its charge, "
          "with no external voltage. Only one of DC, TRANS, AC and FLOATING may be on."),
    ]))
    cats.append(("Doping", [
        Prop("DOPING_PROFILE", CHOICE, 0, "Donor doping of the volum, added to the doping of "
             "its material.", [
                 Cond("UNIFORM", True, [
                     e("DOPING_DENSITY", 0.0, "Donor density throughout the volum (m^-3)."),
                 ]),
                 Cond("GAUSSIAN", False, [
                     e("PEAK_DENSITY", 1e25, "Largest donor density (m^-3)."),
                     e("PEAK_POSITION", 0.0, "x of the peak from the volum's lower x face "
                       "(m)."),
                     e("STRAGGLE", 1e-9, "Standard deviation of the profile along x (m)."),
                 ]),
             ]),
    ]))
    return cats


def volum_checked():
    c = {1: "switch", 2: "switch", 5: "switch", 7: "switch", 22: "switch", 31: "switch",
         45: "switch", 47: "switch", 65: "switch", 53: "time", 54: "time", 55: "time",
         56: "integer"}
    for k in range(8, 21):
        c[k] = "real"
    for k in (23, 24, 25):
        c[k] = "real"
    for k in (26, 27, 28, 29, 36, 41, 42, 43):
        c[k] = "integer"
    for k in (32, 33, 34, 35, 37, 38, 39, 40):
        c[k] = "real"
    return c


# --- materials ----------------------------------------------------------------------------

MECHANISMS = {1: "acoustic phonons", 2: "optical phonons", 3: "intervalley phonons",
              4: "ionised impurities", 5: "polar optical phonons", 6: "remote phonons"}


def parabolic_valley(v, on, mx=1.0, my=1.0, mz=1.0, emin=0.0, alpha=0.0):
    s = str(v)
    return [
        b("VALLEY" + s, on, "Parabolic valley %d present." % v),
        r("MX" + s, mx, "Effective mass along x of valley %d (units of the free electron "
          "mass)." % v),
        r("MY" + s, my, "Effective mass along y of valley %d (units of the free electron "
          "mass)." % v),
        r("MZ" + s, mz, "Effective mass along z of valley %d (units of the free electron "
          "mass)." % v),
        r("EMIN" + s, emin, "Bottom of valley %d above the conduction band edge (eV)." % v),
        r("ALPHA" + s, alpha, "Non-parabolicity of valley %d (1/eV)." % v),
        b("SIGN" + s, True, "Curvature of valley %d: true positive (electron-like), false "
          "negative." % v),
    ]


def linear_valley(v, on, vf=0.0, sign=True):
    s = str(v)
    return [
        b("LVALLEY" + s, on, "Linear (conical) valley %d present." % v),
        e("VFX" + s, vf, "Fermi velocity along x of linear valley %d (m/s)." % v),
        e("VFY" + s, 0.0, "Fermi velocity along y of linear valley %d (m/s); 0 for a sheet "
          "in the x-z plane." % v),
        e("VFZ" + s, vf, "Fermi velocity along z of linear valley %d (m/s)." % v),
        r("EDIRAC" + s, 0.0, "Energy of the Dirac point of valley %d from the material's "
          "band reference (eV)." % v),
        r("DIRAC_GAP" + s, 0.0, "Gap opened at the Dirac point of valley %d (eV)." % v),
        b("LSIGN" + s, sign, "Chirality of valley %d: true +1 (K), false -1 (K')." % v),
    ]


def scattering_block(s, on, tau=1e-13, eph=0.0, defpot=0.0, nimp=0.0, finalvalley=0,
                     nfinal=1, process=0, epsinf=0.0):
    t = str(s)
    mech = s if on else 0
    return [
        i("SCAT" + t, 1 if on else 0, "Scattering block %d: 1 the mechanism acts in this "
          "material, 0 unused." % s),
        i("MECH" + t, mech, "Number of the mechanism of block %d, by which injection blocks "
          "refer to it (1 acoustic, 2 optical, 3 intervalley, 4 impurities, 5 polar optical, "
          "6 remote phonons); 0 unused." % s),
        e("TAU" + t, tau, "Mean time between two events of this mechanism (s); at least one "
          "time step."),
        r("EPH" + t, eph, "Energy exchanged in one event (eV); 0 for an elastic mechanism."),
        e("DEFPOT" + t, defpot, "Deformation potential (eV for acoustic, eV/m for optical "
          "and intervalley phonons)."),
        e("NIMP" + t, nimp, "Density of scattering centres for impurity scattering (m^-3)."),
        r("ZIMP" + t, 1.0, "Charge number of the scattering centres."),
        e("SCREEN" + t, 1e-8, "Screening length (m)."),
        e("OPWIDTH" + t, 1e-9, "Spatial width of the scattering operator (m); mechanism 1 "
          "sets the simulator's operator."),
        r("EMIN_SCAT" + t, 0.0, "Lowest electron energy at which the mechanism acts (eV)."),
        r("EMAX_SCAT" + t, 10.0, "Highest electron energy at which the mechanism acts (eV)."),
        e("ROUGHNESS" + t, 0.0, "Root-mean-square height of interface roughness (m)."),
        e("CORRLENGTH" + t, 0.0, "Correlation length of the interface roughness (m)."),
        r("EPSINF" + t, epsinf, "High-frequency relative permittivity, for polar optical "
          "phonons."),
        i("FINALVALLEY" + t, finalvalley, "Valley after the event: 0 the same valley, n "
          "valley n."),
        i("NFINAL" + t, nfinal, "Number of equivalent final valleys."),
        i("PROCESS" + t, process, "Phonon process: 0 absorption and emission, 1 absorption "
          "only, 2 emission only."),
        i("ISOTROPIC" + t, 1, "1: the direction after the event is isotropic; 0: it depends "
          "on the angle."),
        r("PMAX" + t, 0.1, "Largest probability of an event in one time step used by the "
          "rejection technique (0 to 1)."),
        r("ANGLEMAX" + t, 3.14159, "Largest deflection angle of one event (rad)."),
        e("OPTIME" + t, 1e-15, "Duration of the scattering operator (s); mechanism 1 sets "
          "the simulator's operator."),
        r("WEIGHT" + t, 1.0, "Factor applied to the computed rate (1 as computed)."),
        Prop("S%d_RESERVED" % s, REAL, 0.0, "Reserved: not used; leave it 0."),
    ]


class MaterialDef:
    def __init__(self, file, name, index, colour, vectors, offsets, base, parabolic,
                 linear, scattering, contact):
        self.file, self.name, self.index, self.colour = file, name, index, colour
        self.vectors, self.offsets = vectors, offsets
        self.base, self.parabolic, self.linear = base, parabolic, linear
        self.scattering, self.contact = scattering, contact


def material_categories(m):
    cats = []
    bs = m.base
    cats.append(("Bands and electrostatics", [
        r("PERMITTIVITY", bs["eps"], "Relative static permittivity."),
        r("ELECTRON_AFFINITY", bs["chi"], "Energy from the conduction band edge to the vacuum "
          "level (eV); for a metal its work function."),
        r("BANDGAP", bs["gap"], "Band gap (eV); 0 for a metal or a semimetal."),
        r("DENSITY", bs["rho"], "Mass density (kg/m^3)."),
        r("SOUND_VELOCITY", bs["vs"], "Longitudinal sound velocity (m/s)."),
        i("DOPING_TYPE", 0, "Doping of the material: 0 none, 1 donors, -1 acceptors."),
        e("DOPING", 0.0, "Density of the dopants given by DOPING_TYPE (m^-3)."),
        e("ELECTRON_DENSITY", bs["n"], "Equilibrium density of free electrons (m^-3)."),
        r("FERMI_LEVEL", bs["ef"], "Equilibrium Fermi level relative to the conduction band "
          "edge (eV)."),
        r("OPTICAL_PHONON", bs["hw"], "Energy of the dominant optical phonon (eV)."),
        r("ACOUSTIC_DEFPOT", bs["da"], "Acoustic deformation potential (eV)."),
        r("EPS_HIGHFREQ", bs["epsinf"], "Relative high-frequency permittivity."),
        r("NONPARABOLICITY", bs["alpha"], "Non-parabolicity of the conduction band (1/eV)."),
        r("MOBILITY", bs["mu"], "Low-field electron mobility (m^2/(V s))."),
    ]))
    valleys = m.parabolic
    cats.append(("Parabolic dispersion", [
        b("PARABOLIC", bool(valleys), "The conduction band is described by the parabolic "
          "valleys below (effective masses). Only one of PARABOLIC and LINEAR may be on."),
        r("MASS_DOS", m.base["mdos"], "Density-of-states effective mass (units of the free "
          "electron mass)."),
        r("MASS_COND", m.base["mcond"], "Conductivity effective mass (units of the free "
          "electron mass)."),
    ]))
    for v in range(1, 9):
        props = parabolic_valley(v, True, *valleys[v - 1]) if v <= len(valleys) \
            else parabolic_valley(v, False)
        if v < 8:
            props.append(Prop("V%d_RESERVED" % v, REAL, 0.0, "Reserved: not used; leave it "
                              "0."))
        cats.append(("Parabolic valley %d" % v, props))
    linear = m.linear
    lin_props = [
        b("LINEAR", bool(linear), "The conduction band is described by the linear (Dirac) "
          "valleys below (Fermi velocities). Only one of PARABOLIC and LINEAR may be on."),
        reserved(82), reserved(83),
    ]
    # LINEAR is the eighth record of the last parabolic valley block, so it opens its own
    # category here.
    cats.append(("Linear dispersion", lin_props))
    for v in range(1, 9):
        if v <= len(linear):
            props = linear_valley(v, True, *linear[v - 1])
        else:
            props = linear_valley(v, False)
        props.append(Prop("L%d_RESERVED" % v, REAL, 0.0, "Reserved: not used; leave it 0."))
        cats.append(("Linear valley %d" % v, props))
    cats.append(("Tight binding", [
        reserved(148), reserved(149),
        b("TIGHT_BINDING", False, "Tight-binding description of the bands. Not available yet: "
          "keep it false."),
    ]))
    cats.append(("Reserved", [reserved(k) for k in range(151, 284)]))
    for s in range(1, 11):
        cats.append(("Scattering %d" % s, scattering_block(s, **m.scattering.get(s,
                                                                                   {"on": False}))))
    ohmic = m.contact == "ohmic"
    cats.append(("Contact", [
        Prop("CONTACT_MODEL", CHOICE, 0, "How electrons cross into a contact volum made of "
             "this material.", [
                 Cond("OHMIC", ohmic, [
                     e("CONTACT_RESISTIVITY", 1e-12, "Specific contact resistivity "
                       "(ohm m^2)."),
                 ]),
                 Cond("SCHOTTKY", not ohmic, [
                     r("BARRIER_HEIGHT", 0.7, "Schottky barrier height (eV)."),
                     e("RICHARDSON", 1.2e6, "Effective Richardson constant (A/(m^2 K^2))."),
                 ]),
             ]),
    ]))
    return cats


def material_checked():
    c = {}
    for k in (1, 2, 3, 4, 5, 7, 8, 9, 10, 11, 12, 13, 14):
        c[k] = "real"
    c[6] = "integer"
    c[15] = c[81] = c[150] = "switch"
    for v in range(8):
        bb = 18 + 8 * v
        c[bb] = "switch"
        for k in range(1, 6):
            c[bb + k] = "real"
        c[bb + 6] = "switch"
        lb = 84 + 8 * v
        c[lb] = "switch"
        for k in range(1, 6):
            c[lb + k] = "real"
        c[lb + 6] = "switch"
    for s in range(10):
        cc = 284 + 23 * s
        c[cc] = c[cc + 1] = "integer"
        c[cc + 2] = "time"
        for k in range(3, 14):
            c[cc + k] = "real"
        for k in range(14, 18):
            c[cc + k] = "integer"
        for k in range(18, 22):
            c[cc + k] = "real"
    return c


def fcc(a):
    h = a / 2.0
    return [(0.0, h, h), (h, 0.0, h), (h, h, 0.0)]


def materials():
    # Lattice constants (Angstrom) whose halves, quarters and eighths need at most 4 decimals,
    # which is what the materials dialog keeps of a vector or an offset.
    si_a, gaas_a, al_a, cris_a = 5.4312, 5.6532, 4.0496, 7.16
    g_a = 2.46
    mats = []
    mats.append(MaterialDef(
        "aluminium.txt", "Aluminium", 1, (190, 194, 204), fcc(al_a),
        [(0.0, 0.0, 0.0, "Aluminium")],
        dict(eps=1.0, chi=4.28, gap=0.0, rho=2700, vs=6420, n=1.81e29, ef=11.7, hw=0.0,
             da=5.0, epsinf=1.0, alpha=0.0, mu=0.0013, mdos=1.0, mcond=1.0),
        [(1.0, 1.0, 1.0, 0.0, 0.0)], [],
        {1: dict(on=True, tau=1e-14, defpot=5.0)}, "ohmic"))
    mats.append(MaterialDef(
        "gaas.txt", "GaAs", 2, (70, 150, 210), fcc(gaas_a),
        [(0.0, 0.0, 0.0, "GaAs"), (gaas_a / 4, gaas_a / 4, gaas_a / 4, "GaAs")],
        dict(eps=12.9, chi=4.07, gap=1.424, rho=5317, vs=5240, n=2.1e12, ef=-0.71, hw=0.03536,
             da=7.0, epsinf=10.89, alpha=0.64, mu=0.85, mdos=0.067, mcond=0.067),
        [(0.067, 0.067, 0.067, 0.0, 0.64),     # Gamma
         (0.222, 0.222, 0.222, 0.29, 0.461),   # L, four equivalent valleys
         (0.58, 0.58, 0.58, 0.48, 0.204)],     # X, three equivalent valleys
        [],
        {1: dict(on=True, defpot=7.0),
         3: dict(on=True, eph=0.0278, defpot=1e11, finalvalley=2, nfinal=4),
         4: dict(on=True, nimp=1e22),
         5: dict(on=True, eph=0.03536, epsinf=10.89)}, "ohmic"))
    mats.append(MaterialDef(
        "graphene.txt", "Graphene", 3, (60, 60, 66),
        [(g_a, 0.0, 0.0), (g_a / 2, 0.0, round(g_a * math.sqrt(3) / 2, 4)), (0.0, 3.35, 0.0)],
        [(0.0, 0.0, 0.0, "Graphene"),
         (g_a / 2, 0.0, round(g_a * math.sqrt(3) / 6, 4), "Graphene")],
        dict(eps=1.0, chi=4.5, gap=0.0, rho=2267, vs=21300, n=0.0, ef=0.0, hw=0.196,
             da=18.0, epsinf=1.0, alpha=0.0, mu=1.0, mdos=1.0, mcond=1.0),
        [], [(1e6, True), (1e6, False)],
        {1: dict(on=True, defpot=18.0),
         6: dict(on=True, eph=0.059, epsinf=2.4)}, "ohmic"))
    mats.append(MaterialDef(
        "silicon.txt", "Silicon", 4, (120, 124, 220), fcc(si_a),
        [(0.0, 0.0, 0.0, "Silicon"), (si_a / 4, si_a / 4, si_a / 4, "Silicon")],
        dict(eps=11.7, chi=4.05, gap=1.12, rho=2329, vs=9040, n=1.0e16, ef=-0.56, hw=0.063,
             da=9.0, epsinf=11.7, alpha=0.5, mu=0.14, mdos=1.08, mcond=0.26),
        [(0.916, 0.19, 0.19, 0.0, 0.5),   # X valleys along x
         (0.19, 0.916, 0.19, 0.0, 0.5),   # along y
         (0.19, 0.19, 0.916, 0.0, 0.5)],  # along z
        [],
        {1: dict(on=True, defpot=9.0),
         2: dict(on=True, eph=0.063, defpot=1.1e11),
         3: dict(on=True, eph=0.0474, defpot=8e10, finalvalley=1, nfinal=4),
         4: dict(on=True, nimp=1e22)}, "ohmic"))
    q = cris_a / 8
    mats.append(MaterialDef(
        "sio2.txt", "SiO2", 5, (232, 200, 120), fcc(cris_a),
        [(0.0, 0.0, 0.0, "SiO2"), (2 * q, 2 * q, 2 * q, "SiO2"),
         (q, q, q, "SiO2"), (q, -q, -q, "SiO2"), (-q, q, -q, "SiO2"), (-q, -q, q, "SiO2")],
        dict(eps=3.9, chi=0.95, gap=9.0, rho=2200, vs=5900, n=0.0, ef=-4.5, hw=0.153,
             da=0.0, epsinf=2.5, alpha=0.0, mu=0.0, mdos=0.5, mcond=0.5),
        [(0.5, 0.5, 0.5, 0.0, 0.0)], [], {}, "schottky"))
    return mats


# --- checks --------------------------------------------------------------------------------

def kind_fits(kind, p):
    if kind in ("real", "time"):
        return p.type in (REAL, EXP)
    if kind == "integer":
        return p.type == INT
    if kind in ("switch", "inverted switch"):
        return p.type in (BOOL, INT)
    raise ValueError(kind)


def verify(label, categories, checked, limit):
    rows = flatten(categories)
    by_pos = {pos: obj for pos, _, what, obj in rows}
    kinds = {pos: what for pos, _, what, _ in rows}
    names = [obj.name for _, _, _, obj in rows]
    dup = {n for n in names if names.count(n) > 1}
    assert not dup, "%s: duplicate names %s" % (label, sorted(dup))
    assert len(rows) <= 999, label
    for pos, kind in checked.items():
        assert pos <= limit
        assert pos in by_pos, "%s: position %d missing" % (label, pos)
        assert kinds[pos] == "property", "%s: position %d is a %s" % (label, pos, kinds[pos])
        assert kind_fits(kind, by_pos[pos]), "%s: position %d (%s) is type %d, needs %s" % (
            label, pos, by_pos[pos].name, by_pos[pos].type, kind)
    return rows


def verify_general_values(cats):
    g = {pos: obj for pos, _, _, obj in flatten(cats)}
    v = lambda k: g[k].value
    assert v(4) <= 10000 and v(5) >= 1
    assert v(9) == 1 and v(11) == 0 and v(248) == 0, "classical start-up design"
    dt = v(47)
    for j in range(8):
        base = 67 + 17 * j
        for k in (4, 5, 6, 7, 8):
            assert 0 < v(base + k) < 1
        assert v(base + 9) >= dt and v(base + 14) > v(base + 9)
        assert v(base + 10) == 1 and v(base + 15) == 1
    for s in (205, 219, 222, 225, 228, 231, 234, 242):
        steps = v(s) / dt
        assert steps >= 1 and abs(steps - round(steps)) < 1e-6, s
    assert v(63) == 1 and 5 <= v(64) <= 300
    assert v(238) <= v(1) and v(239) <= 999999 and 1 <= v(272) and v(275) <= 1000
    # A wave design keeps the same intervals: R = DTPOISSON / DTSCHO steps per Poisson step.
    ratio = v(47) / v(18)
    assert abs(ratio - round(ratio)) < 1e-6
    # Injection grid without the accelerated injection stays within 5..300 steps too.
    n = math.floor(v(60) / (2 * math.pi / min(v(15), v(17))))
    assert 5 <= n <= 300, n
    assert v(13) >= 3.5 * v(15) and v(14) >= 3.5 * v(15)


def editable(label, categories):
    """The property form keeps 10 decimals of a real (type 2) within +-999999999, and
    mantissa and exponent (type 3) with the exponent within +-99: values it would change on
    the way through a dialog are refused here."""
    for _, _, what, obj in flatten(categories):
        if what == "condition":
            continue
        if obj.type == REAL:
            assert abs(obj.value) <= 999999999, (label, obj.name)
            assert obj.value == round(obj.value, 10), (label, obj.name, obj.value)
        if obj.type == EXP and obj.value != 0:
            assert abs(math.floor(math.log10(abs(obj.value)))) <= 99, (label, obj.name)


def verify_material_values(m, cats):
    for vec in m.vectors + [o[:3] for o in m.offsets]:
        for x in vec:
            assert abs(x - round(x, 4)) < 1e-9, (m.name, vec)
    g = {pos: obj for pos, _, _, obj in flatten(cats)}
    assert (g[15].value == 1) != (g[81].value == 1), m.name
    assert g[150].value == 0
    for s in range(10):
        c = 284 + 23 * s
        assert g[c + 2].value >= 1e-15


# --- writers -------------------------------------------------------------------------------

def catalogue_text(cats, version=None):
    out = []
    if version is not None:
        out.append(str(version))
    out.append(str(len(cats)))
    for name, props in cats:
        write_block(out, name, props)
    return "\n".join(out) + "\n"


def material_text(m, cats):
    out = ["M", m.name, str(m.index), "%d %d %d" % m.colour]
    for vec in m.vectors:
        out.append(" ".join(format(x, "g") for x in vec))
    out.append(str(len(m.offsets)))
    for x, y, z, who in m.offsets:
        out.append("%s %s %s %s" % (format(x, "g"), format(y, "g"), format(z, "g"), who))
    out.append(str(len(cats)))
    for name, props in cats:
        write_block(out, name, props)
    return "\n".join(out) + "\n"


def kind_label(p, what):
    if what == "condition":
        return "condition"
    return KIND_NAMES[p.type]


def table(rows, checked):
    lines = ["| # | name | kind | initial | checker reads as | meaning |",
             "|---|---|---|---|---|---|"]
    for pos, cat, what, obj in rows:
        if what == "condition":
            initial = "active" if obj.active else "inactive"
            meaning = "alternative of the choice above (%d setting%s)" % (
                len(obj.props), "" if len(obj.props) == 1 else "s")
        else:
            initial = fmt_value(obj)
            meaning = obj.help.replace("|", "\\|").replace("*", "\\*")
        name = obj.name if what != "sub-property" else "&nbsp;&nbsp;" + obj.name
        lines.append("| %d | %s | %s | %s | %s | %s |" % (
            pos, name, kind_label(obj, what), initial,
            checked.get(pos, ""), meaning))
    return lines


def records_md(general, volum, mats_with_cats):
    g_rows = flatten(general)
    v_rows = flatten(volum)
    m0, m0_cats = mats_with_cats[0]
    m_rows = flatten(m0_cats)
    out = []
    w = out.append
    w("# Setting records")
    w("")
    w("<!-- Generated by scripts/make_data.py from the same tables as the data files; edit the "
      "script, not this file. -->")
    w("")
    w("The design checker and the simulator find every setting by its **position** in the "
      "flattened list of a catalogue, never by its name. The list has one record per property "
      "in file order; a choice property is followed by one record per condition, each "
      "followed by one record per property of that condition. Positions count from 1. "
      "Inserting, removing or reordering a property therefore changes the meaning of every "
      "record after it: add new settings only at the end of a list (after the choice "
      "properties that end each catalogue) and keep `tests/io/tst_shippeddata.cpp` in step.")
    w("")
    w("Units: SI throughout (seconds, metres, kilograms, volts, kelvin), energies in "
      "electron-volts, effective masses in units of the free electron mass.")
    w("")
    w("The column *checker reads as* names the conversion the design checker applies: "
      "*real* (unchanged), *time* (a real divided into whole time steps), *integer* (floor), "
      "*switch* (on when the floor is 1), *inverted switch* (stored as 0 when the floor is "
      "1 and as 1 when it is 0: the simulator's flags CONFX, CONFY and CONFZ, which its "
      "messages name, are the inverse of records 22 to 24). An empty cell means that the "
      "checker does not read the record; the simulator does. Records named RESERVED_n (and "
      "Vn/Ln/Sn_RESERVED) hold a position and are not used.")
    w("")
    w("## Editing the data")
    w("")
    w("Change `scripts/make_data.py` and run it (`python3 scripts/make_data.py`); it checks "
      "every position the checker reads, then rewrites the catalogues, the material files and "
      "this page. `scripts/make_images.sh` redraws the button images. Then run "
      "`ctest -R io-shippeddata`. What the editors and the checker need of the values:")
    w("")
    w("- a real below about 1e-4 or with more than 10 decimals is type 3 (mantissa and "
      "exponent): the property form keeps 10 decimals of a type 2 real, so 1e-12 as type 2 "
      "would become 0 the first time a dialog is accepted;")
    w("- lattice vectors and basis offsets have at most 4 decimals, which is what the "
      "materials dialog keeps;")
    w("- every value has at most 6 significant digits, which is what a saved project keeps;")
    w("- material numbers are 1 to the number of materials, each used once (the checker "
      "keeps one entry per number); a material is found by name, so the file name only sets "
      "the order of the registry (the case-insensitive order of the file names);")
    w("- every basis offset names a material of the folder, every material has exactly one "
      "of PARABOLIC and LINEAR on and TIGHT_BINDING off, and the scattering mechanism named "
      "by every injection block (on or off) is the MECH of some scattering block.")
    w("")
    w("## Ready-made designs")
    w("")
    w("The catalogues start a **classical-particle** design: FLAG_PARTICLES (9) = 1, "
      "WAVE_SOLVER (11) = 0, DTPOISSON (47) = 1e-15 s is the time step, accelerated "
      "injection (63) on with 100 steps, all injection blocks off. Every output interval is "
      "a whole multiple of DTPOISSON, every injection fraction is 0.5, every injection block "
      "names volum 1 and scattering mechanism 1 (acoustic phonons, block 1 of every "
      "material except SiO2), so the settings and material rules pass unchanged. Per design:")
    w("")
    w("- switch on injection blocks 1 (source, INJ_DIRECTION 1) and 2 (drain, INJ_DIRECTION "
      "-1) and set INJ_VOLUM_1 and INJ_VOLUM_2 (77 and 94) to the contact volums;")
    w("- volums: contacts FLAGELECTRONS true, ELECTRIC_FIELD=0 false and exactly one of DC "
      "(7), TRANS (22), AC (31), FLOATING (65) on; the channel FLAGELECTRONS true, "
      "INTERNAL_NOBOUNDARY true, ELECTRIC_FIELD=0 false; claddings keep the initial values "
      "(FLAGELECTRONS false, ELECTRIC_FIELD=0 true) and are one cell thick along y or z;")
    w("- with current computation (FLAG_OMEGA, 204) on, set OMEGA_X1..OMEGA_Z2 (206 to 211) "
      "inside the device, at least 3 cells along every axis.")
    w("")
    w("A layout that passes the checker with these changes only (lengths in Angstrom, 1 nm "
      "cells everywhere, W the width along z: 30 here, 700 for the Dirac device below; the "
      "test `io-shippeddata` builds it for all three kinds of device):")
    w("")
    w("| volum | role | material | origin x, y, z | size x, y, z | meshes |")
    w("|---|---|---|---|---|---|")
    w("| source | contact | Aluminium | 0, 0, 0 | 100, 30, W | 10, 3, W/10 |")
    w("| channel | channel | Silicon | 100, 10, 10 | 200, 10, W-20 | 20, 1, W/10-2 |")
    w("| drain | contact | Aluminium | 300, 0, 0 | 100, 30, W | 10, 3, W/10 |")
    w("| belowY, aboveY | cladding | SiO2 | 100, 0 or 20, 0 | 200, 10, W | 20, 1, W/10 |")
    w("| belowZ, aboveZ | cladding | SiO2 | 100, 10, 0 or W-10 | 200, 10, 10 | 20, 1, 1 |")
    w("")
    w("The contacts cover the whole y-z cross-section, the channel is enclosed on all four "
      "sides (so it is internal), and every cladding is one cell thick along y or z. Neighbouring "
      "volums must continue each other's cells exactly.")
    w("")
    w("An **effective-mass wave device** (solver 1) changes, besides the above:")
    w("")
    w("- FLAG_PARTICLES (9) = 0 and WAVE_SOLVER (11) = 1; every material along the transport "
      "line has PARABOLIC (material record 15) on;")
    w("- DTSCHO (18) and DXSCHO (19) so that every cell width along x is a whole multiple of "
      "DXSCHO and `0.004 <= hbar*DTSCHO/(DXSCHO^2*m) <= 0.5` for the lightest mass m (MX1, "
      "material record 19): with DXSCHO = 1 nm and DTSCHO = 1e-16 s the ratio is 0.012 "
      "(m = 1) to 0.17 (m = 0.067);")
    w("- DTPOISSON (47) a whole multiple of DTSCHO (initially 10 x); X1 and X2 (13, 14) at "
      "least 3.5 x DISPERSIO_X (15); SUPERPOSITION (30) as wanted;")
    w("- optionally FLAG_MIG_TRANSMISSIO (248) = 1, which needs FLAG_PARTICLES 0.")
    w("")
    w("A **Dirac device** (solver 2) changes:")
    w("")
    w("- FLAG_PARTICLES (9) = 0 and WAVE_SOLVER (11) = 2; every material along the transport "
      "line, the contacts included, has LINEAR (material record 81) on (Graphene for the "
      "contacts and the channel of the layout above), so "
      "accelerated injection (63) may stay on or go off;")
    w("- CONFY (23) = 0 and CONFZ (24) = 1 (their initial values; the simulator stores them "
      "inverted, so its messages call this CONFY=TRUE and CONFZ=FALSE), SUPERPOSITION (30) = 0, "
      "FLAG_SCATTERING (volum record 1) false in every volum;")
    w("- DXSCHO (19) and DYSCHO (21) dividing the cells along x and z, and `0.01 <= "
      "VF*DTSCHO*sqrt(2)/min(DXSCHO,DYSCHO) < 0.999999` with VF the Fermi velocity VFX1 "
      "(material record 85): with VF = 1e6 m/s, 1 nm steps and DTSCHO = 1e-16 s it is 0.14;")
    w("- the device at least 6 x DISPERSIO_Z (17) wide along z, plus twice the extension "
      "when EXTENSION (38) is 1.")
    w("")
    w("Wave solvers take the mass of a cell from MX1 (material record 19) and the Fermi "
      "velocity from VFX1 (material record 85), the first valley of each kind.")
    w("")
    w("## General settings (data/properties.txt)")
    w("")
    out.extend(table(g_rows, {k: v for k, v in general_checked().items()}))
    w("")
    w("## Volum settings (data/volum_properties.txt)")
    w("")
    out.extend(table(v_rows, volum_checked()))
    w("")
    w("## Material settings (data/materials)")
    w("")
    w("Every material file lists the same records; the initial values below are those of "
      "%s. The materials shipped:" % m0.name)
    w("")
    w("| file | name | index | dispersion | lattice |")
    w("|---|---|---|---|---|")
    lattice = {"Aluminium": "FCC, a = 4.0496 A, one atom",
               "GaAs": "zinc blende, a = 5.6532 A, two atoms",
               "Graphene": "hexagonal sheet in x-z, a = 2.46 A, layers 3.35 A apart along y",
               "Silicon": "diamond, a = 5.4312 A, two atoms",
               "SiO2": "ideal beta-cristobalite, a = 7.16 A, two Si and four O sites"}
    for m, cats in mats_with_cats:
        g = {pos: obj for pos, _, _, obj in flatten(cats)}
        disp = "parabolic" if g[15].value == 1 else "linear"
        w("| %s | %s | %d | %s | %s |" % (m.file, m.name, m.index, disp, lattice[m.name]))
    w("")
    w("Lattice vectors and basis offsets are in the design's length unit, Angstrom with the "
      "default axis scale of 1e-10 m. Every basis offset names the material itself. "
      "Scattering mechanism numbers: " + ", ".join("%d %s" % kv for kv in MECHANISMS.items())
      + "; block s of a material holds mechanism s when it is used and 0 otherwise.")
    w("")
    out.extend(table(m_rows, material_checked()))
    w("")
    return "\n".join(out)


def main():
    general = general_categories()
    volum = volum_categories()
    verify("general", general, general_checked(), 275)
    editable("general", general)
    editable("volum", volum)
    verify_general_values(general)
    verify("volum", volum, volum_checked(), 65)
    mats = []
    indices = set()
    for m in materials():
        cats = material_categories(m)
        verify(m.name, cats, material_checked(), 513)
        editable(m.name, cats)
        verify_material_values(m, cats)
        assert m.index not in indices
        indices.add(m.index)
        mats.append((m, cats))
    # The checker keeps one entry per material number from 0 to the number of materials.
    assert sorted(indices) == list(range(1, len(mats) + 1)), sorted(indices)
    names = {m.name for m, _ in mats}
    for m, _ in mats:
        assert all(o[3] in names for o in m.offsets), m.name

    def put(rel, text):
        path = os.path.join(ROOT, rel)
        os.makedirs(os.path.dirname(path), exist_ok=True)
        with open(path, "w", newline="\n") as f:
            f.write(text)

    put("data/properties.txt", catalogue_text(general, version=1))
    put("data/volum_properties.txt", catalogue_text(volum))
    for m, cats in mats:
        put("data/materials/" + m.file, material_text(m, cats))
    put("docs/records.md", records_md(general, volum, mats))
    print("general %d, volum %d, material %d records" % (
        len(flatten(general)), len(flatten(volum)), len(flatten(mats[0][1]))))


if __name__ == "__main__":
    sys.exit(main())
