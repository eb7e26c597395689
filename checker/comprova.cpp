// The checker's entry routine, its work memory, and the translation of the general and material
// settings.

#include "checker/comprova_state.h"

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <limits>

#if defined(__unix__) || defined(__APPLE__)
#include <unistd.h>
#endif

namespace comprova {

// ---------------------------------------------------------------------------------------------
// Work memory.

State &state() {
    static State st = [] {
        State s;
        s.text.assign(kVerdictLength, ' ');
        return s;
    }();
    return st;
}

namespace {

// Index of cell (i, j, k) in a table of (ni x nj x nk), or -1 outside it.
std::int64_t gridIndex(std::int64_t i, std::int64_t j, std::int64_t k, std::int64_t ni,
                       std::int64_t nj, std::int64_t nk) {
    if (i < 0 || j < 0 || k < 0 || i >= ni || j >= nj || k >= nk)
        return -1;
    return (i * nj + j) * nk + k;
}

std::int64_t physicalMemory() {
#if defined(_SC_PHYS_PAGES) && defined(_SC_PAGESIZE)
    const long pages = sysconf(_SC_PHYS_PAGES);
    const long pageSize = sysconf(_SC_PAGESIZE);
    if (pages > 0 && pageSize > 0 && pages <= std::numeric_limits<std::int64_t>::max() / pageSize)
        return static_cast<std::int64_t>(pages) * pageSize;
#endif
    return std::int64_t(1) << 36; // 64 GiB when the system does not tell
}

// The memory limit of the control group the process runs in (a container, a systemd slice), or
// -1 when there is none: the kernel kills a process that exceeds it, whatever the machine has.
std::int64_t groupMemoryLimit() {
    for (const char *path :
         {"/sys/fs/cgroup/memory.max", "/sys/fs/cgroup/memory/memory.limit_in_bytes"}) {
        if (std::FILE *f = std::fopen(path, "r")) {
            char text[32] = {};
            const bool read = std::fgets(text, sizeof text, f) != nullptr;
            std::fclose(f);
            long long limit = 0;
            if (read && std::sscanf(text, "%lld", &limit) == 1 && limit > 0)
                return limit;
        }
    }
    return -1;
}

// A positive whole number of bytes, or -1.
std::int64_t parseBytes(const char *text) {
    if (!text || !*text)
        return -1;
    char *end = nullptr;
    errno = 0;
    const long long value = std::strtoll(text, &end, 10);
    if (errno != 0 || end == text || *end != '\0' || value <= 0)
        return -1;
    return value;
}

template <class T> std::int64_t bytesOf(const std::vector<T> &table) {
    return static_cast<std::int64_t>(table.capacity() * sizeof(T));
}

} // namespace

Cell *State::cellAt(std::int64_t i, std::int64_t j, std::int64_t k) {
    const std::int64_t at = gridIndex(i, j, k, Nx + 1, Ny + 1, Nz + 1);
    if (at < 0 || at >= static_cast<std::int64_t>(malla.size()))
        return nullptr;
    return &malla[static_cast<std::size_t>(at)];
}

std::int32_t *State::nodeAt(std::int64_t i, std::int64_t j, std::int64_t k) {
    const std::int64_t at = gridIndex(i, j, k, Nx + 2, Ny + 2, Nz + 2);
    if (at < 0 || at >= static_cast<std::int64_t>(indmalla.size()))
        return nullptr;
    return &indmalla[static_cast<std::size_t>(at)];
}

MaterialEntry *State::material(std::int64_t index) {
    if (index < std::numeric_limits<std::int32_t>::min() ||
        index > std::numeric_limits<std::int32_t>::max())
        return nullptr;
    const auto it = mate.find(static_cast<std::int32_t>(index));
    return it == mate.end() ? nullptr : &it->second;
}

std::int64_t memoryBudget() {
    const std::int64_t chosen = parseBytes(std::getenv("KARVENO_CHECK_MEMORY"));
    if (chosen > 0)
        return chosen;
    std::int64_t memory = physicalMemory();
    const std::int64_t group = groupMemoryLimit();
    if (group > 0)
        memory = std::min(memory, group);
    return memory / 2;
}

std::int64_t heldBytes() {
    const State &st = state();
    std::int64_t held = bytesOf(st.memory) + bytesOf(st.volum) + bytesOf(st.malla) +
                        bytesOf(st.reservoir) + bytesOf(st.mquan) +
                        static_cast<std::int64_t>(st.mate.size() * sizeof(MaterialEntry));
    for (const auto *table : {&st.dx, &st.dy, &st.dz, &st.cx, &st.cy, &st.cz})
        held += bytesOf(*table);
    for (const auto *table : {&st.indx, &st.indxm, &st.indym, &st.indzm, &st.indmalla,
                              &st.prim_nod_cont, &st.ult_nod_cont})
        held += bytesOf(*table);
    return held;
}

bool allocationFits(std::int64_t count, std::size_t size) {
    if (count < 0 || size == 0)
        return count >= 0;
    const std::int64_t room = memoryBudget() - heldBytes();
    return room > 0 && count <= room / static_cast<std::int64_t>(size);
}

std::string volumName(std::int64_t n) {
    const State &st = state();
    if (n < 1 || n > 100 || n >= static_cast<std::int64_t>(st.volum_names.size()))
        return std::string(kNameWidth, ' ');
    return st.volum_names[static_cast<std::size_t>(n)];
}

std::string materialName(std::int64_t n) {
    const State &st = state();
    if (n < std::numeric_limits<std::int32_t>::min() ||
        n > std::numeric_limits<std::int32_t>::max())
        return std::string(kNameWidth, ' ');
    const auto it = st.material_names.find(static_cast<std::int32_t>(n));
    return it == st.material_names.end() ? std::string(kNameWidth, ' ') : it->second;
}

// ---------------------------------------------------------------------------------------------
// Positional access to the hand-over.

double G(int k) {
    const State &st = state();
    if (!st.hp || k < 1 || k > st.hnparam)
        return 0.0;
    return st.hp[k - 1].valor;
}

double V(int n, int k) {
    const State &st = state();
    if (!st.hv || n < 1 || n > st.nvol || k < 1 || k > kParameterSlots)
        return 0.0;
    return st.hv[n - 1].parameters[k - 1].valor;
}

double M(int n, int k) {
    const State &st = state();
    if (!st.hm || n < 1 || n > st.nmat || k < 1 || k > kParameterSlots)
        return 0.0;
    return st.hm[n - 1].parameters[k - 1].valor;
}

// ---------------------------------------------------------------------------------------------
// Stage 2: general settings.

namespace {

// General record positions.
enum GeneralRecord : int {
    kFinalTime = 1,
    kRepetitions = 4,
    kParticles = 5,
    kDuration6 = 6,
    kFlagParticles = 9,
    kWaveSolver = 11,
    kDtScho = 18,
    kConfX = 22,
    kExchange = 25,
    kExtensionSwitch = 38,
    kExtension = 40,
    kDtPoisson = 47,
    kMaxWavevector = 60,
    kAcceleratedInjection = 63,
    kInjectionSteps = 64,
    kFirstInjectionBlock = 67,
    kInjectionBlockSize = 17,
    kOmegaSwitch = 204,
    kMovieSwitch = 236,
    kLastOutputBlock = 241,
    kFlagMigTransmissio = 248,
    kTrans2d = 262,
    kTrans2dVolum = 272,
    kTrajectories = 275,
};

// Single-precision 2 pi, as the simulator takes it.
constexpr double kTwoPi = 6.283185005187988;

// Inverted switch: floor 1 stores 0, floor 0 stores 1, anything else keeps the stored flag.
void readInvertedSwitch(double value, std::int32_t &flag) {
    const std::int32_t f = floorInt(value);
    if (f == 1)
        flag = 0;
    else if (f == 0)
        flag = 1;
}

// Nearest integer, halves away from zero; out of range as floorInt.
std::int32_t nearestInt(double v) {
    const double r = std::round(v);
    if (!(r >= -2147483648.0 && r <= 2147483647.0))
        return std::numeric_limits<std::int32_t>::min();
    return static_cast<std::int32_t>(r);
}

std::int32_t saturate(std::int64_t v) {
    return static_cast<std::int32_t>(std::clamp<std::int64_t>(
        v, std::numeric_limits<std::int32_t>::min(), std::numeric_limits<std::int32_t>::max()));
}

// Converts a duration to steps of dt; false when the division overflowed (message issued).
bool toSteps(double duration, std::int32_t &steps) {
    flooracuracy(duration, state().s.dt, steps);
    return noError();
}

// An output block: the interval of `interval` seconds in steps of dt, a multiple of the ratio.
bool outputBlock(bool on, double interval, std::int32_t &steps) {
    Settings &s = state().s;
    std::int32_t n = 0;
    if (!toSteps(interval, n))
        return false;
    if (n < s.ratio && on) {
        message(3005, 0, 0, toFloat(interval), toFloat(s.dt) * static_cast<float>(s.ratio));
        return false;
    }
    std::int32_t multiples = 0;
    flooracuracy(n, s.ratio, multiples);
    if (!noError())
        return false;
    steps = saturate(static_cast<std::int64_t>(s.ratio) * multiples);
    return true;
}

bool readTimeSteps() {
    Settings &s = state().s;
    if (s.wave_solver < 1) {
        if (s.flag_particles != 1)
            return true;
        s.dt = G(kDtPoisson);
        s.ratio = 1;
        if (!toSteps(s.duration6, s.steps6))
            return false;
    } else {
        flooracuracy(G(kDtPoisson), s.dt, s.ratio);
        if (!noError() || !toSteps(s.duration6, s.steps6))
            return false;
        if (G(kDtPoisson) < s.dt) {
            message(3004, 0, 0, toFloat(s.dt), toFloat(G(kDtPoisson)));
            return false;
        }
    }
    flooracuracy(s.final_time, G(kDtPoisson), s.poisson_steps);
    if (!noError())
        return false;
    s.total_steps = saturate(static_cast<std::int64_t>(s.poisson_steps) * s.ratio);
    return true;
}

bool readInjectionGrid() {
    Settings &s = state().s;
    s.accelerated_injection = isOn(G(kAcceleratedInjection)) ? 1 : 0;
    std::int32_t n = 0;
    if (s.accelerated_injection) {
        s.rec64 = floorInt(G(kInjectionSteps));
        n = s.rec64;
        s.dk = s.max_wavevector / n;
        s.dkx = s.dky = s.dkz = s.dk;
    } else {
        s.dkx = kTwoPi / s.dispersio_x;
        s.dky = kTwoPi / s.dispersio_y;
        s.dkz = kTwoPi / s.dispersio_z;
        if (s.dkx <= s.dkz) {
            s.dk = s.dkx;
            s.mult_x = 1;
            s.mult_z = floorInt(s.dkz / s.dkx);
        } else {
            s.dk = s.dkz;
            s.mult_x = floorInt(s.dkx / s.dkz);
            s.mult_z = 1;
        }
        n = floorInt(s.max_wavevector / s.dk);
    }
    s.injection_steps = n;
    if (n < 5) {
        message(3033, 0, n, toFloat(s.max_wavevector), toFloat(s.dispersio_x));
        return false;
    }
    if (n > 300) {
        message(3034, 0, n, toFloat(s.max_wavevector), toFloat(s.dispersio_x));
        return false;
    }
    return true;
}

bool readInjectionBlocks() {
    State &st = state();
    Settings &s = st.s;
    for (int j = 1; j <= 8; ++j) {
        const int b = kFirstInjectionBlock + kInjectionBlockSize * (j - 1);
        InjectionBlock &ib = s.injections[static_cast<std::size_t>(j - 1)];
        ib.on = floorInt(G(b));
        for (int v = 0; v < 8; ++v)
            ib.values[static_cast<std::size_t>(v)] = G(b + 1 + v);
        if (!toSteps(G(b + 9), ib.steps))
            return false;
        if (ib.steps < 1) {
            message(3025, 0, 0, toFloat(s.dt));
            return false;
        }
        ib.volum = floorInt(G(b + 10));
        if (ib.volum < 1 || ib.volum > st.nvol) {
            message(3010, ib.volum);
            return false;
        }
        for (int v = 0; v < 3; ++v)
            ib.ints[static_cast<std::size_t>(v)] = floorInt(G(b + 11 + v));
        if (!toSteps(G(b + 14), ib.scattering_steps))
            return false;
        if (ib.scattering_steps <= ib.steps) {
            message(3029, 0, 0, toFloat(G(b + 14)), toFloat(G(b + 9)));
            return false;
        }
        ib.mechanism = floorInt(G(b + 15));
        for (const int offset : {6, 7, 8, 4, 5}) {
            const double fraction = G(b + offset);
            if (!(fraction > 0.0 && fraction < 1.0)) {
                message(3007, j);
                return false;
            }
        }
    }
    return true;
}

bool readOmegaAndOutputs() {
    Settings &s = state().s;
    s.omega_on = isOn(G(kOmegaSwitch)) ? 1 : 0;
    if (!outputBlock(s.omega_on, G(kOmegaSwitch + 1), s.omega_steps))
        return false;
    s.omega_x1 = floorInt(G(206));
    s.omega_x2 = floorInt(G(207));
    s.omega_y1 = floorInt(G(208));
    s.omega_y2 = floorInt(G(209));
    s.omega_z1 = floorInt(G(210));
    s.omega_z2 = floorInt(G(211));
    if (s.omega_on &&
        (std::int64_t(s.omega_x2) - s.omega_x1 < 2 || std::int64_t(s.omega_y2) - s.omega_y1 < 2 ||
         std::int64_t(s.omega_z2) - s.omega_z1 < 2)) {
        message(3003);
        return false;
    }
    for (int v = 0; v < 4; ++v)
        s.rec212[static_cast<std::size_t>(v)] = floorInt(G(212 + v));
    s.rec216 = G(216);

    const int switched[] = {218, 221, 224, 227, 230, 233};
    for (int b = 0; b < 6; ++b) {
        OutputBlock &out = s.outputs[static_cast<std::size_t>(b)];
        out.on = isOn(G(switched[b])) ? 1 : 0;
        if (!outputBlock(out.on, G(switched[b] + 1), out.steps))
            return false;
    }

    s.movie_on = isOn(G(kMovieSwitch)) ? 1 : 0;
    const double start = G(kMovieSwitch + 1);
    const double final = G(kMovieSwitch + 2);
    s.movie_spacing = G(kMovieSwitch + 3);
    if (!toSteps(start, s.movie_start_steps) || !toSteps(final, s.movie_final_steps))
        return false;
    flooracuracy(static_cast<double>(std::int64_t(s.movie_final_steps) - s.movie_start_steps),
                 s.movie_spacing, s.movie_frames);
    if (!noError())
        return false;
    if (s.movie_frames < 1 && s.movie_on) {
        message(3005, 0, 0, toFloat((final - start) / s.movie_spacing), toFloat(s.dt));
        return false;
    }
    if (s.movie_spacing > 999999) {
        message(3016, floorInt(s.movie_spacing));
        return false;
    }
    if (s.movie_on && final > s.final_time) {
        message(3017, 0, 0, toFloat(final), toFloat(s.final_time));
        return false;
    }

    // The last block is always in force.
    OutputBlock &last = s.outputs[6];
    last.on = 1;
    return outputBlock(true, G(kLastOutputBlock + 1), last.steps);
}

bool readTrajectories() {
    State &st = state();
    Settings &s = st.s;
    s.rec245 = floorInt(G(245));
    if (!toSteps(G(246), s.steps246))
        return false;
    s.flag_mig_transmissio = floorInt(G(kFlagMigTransmissio));
    if (s.flag_mig_transmissio == 1 && s.flag_particles == 1) {
        message(3018);
        return false;
    }
    if (!toSteps(G(249), s.steps249))
        return false;
    for (int v = 0; v < 3; ++v)
        s.rec251[static_cast<std::size_t>(v)] = floorInt(G(251 + v));
    s.rec254 = G(254);
    if (!toSteps(G(255), s.steps255))
        return false;
    s.rec257 = floorInt(G(257));
    s.rec258 = floorInt(G(258));
    s.rec260 = floorInt(G(260));
    s.trans2d = floorInt(G(kTrans2d));
    s.rec263 = G(263);
    s.rec264 = G(264);
    s.rec265 = floorInt(G(265));
    s.rec266 = G(266);
    s.rec267 = floorInt(G(267));
    s.rec268 = floorInt(G(268));
    s.rec269 = G(269);
    s.rec270 = G(270);
    s.rec271 = nearestInt(G(271));
    s.trans2d_volum = floorInt(G(kTrans2dVolum));
    if (s.trans2d_volum < 1 || s.trans2d_volum > st.nvol) {
        message(3023, s.trans2d_volum);
        return false;
    }
    s.rec273 = floorInt(G(273));
    s.rec274 = floorInt(G(274));
    s.trajectories = floorInt(G(kTrajectories));
    if (s.trajectories > 1000) {
        message(3032);
        return false;
    }
    return true;
}

} // namespace

void traduccio_parametres(const parameter_str *, std::int32_t) {
    State &st = state();
    Settings &s = st.s;

    s.final_time = G(kFinalTime);
    s.rec2 = G(2);
    s.rec3 = floorInt(G(3));
    s.repetitions = floorInt(G(kRepetitions));
    if (s.repetitions > 10000) {
        message(3008);
        return;
    }
    s.particles = floorInt(G(kParticles));
    if (s.particles < 1) {
        message(3035);
        return;
    }
    s.duration6 = G(kDuration6);
    s.flag_particles = floorInt(G(kFlagParticles));
    s.wave_solver = floorInt(G(kWaveSolver));
    if (s.wave_solver == 2 && s.scattering_volum) {
        message(3009);
        return;
    }

    s.rec12 = floorInt(G(12));
    s.x1 = G(13);
    s.x2 = G(14);
    s.dispersio_x = G(15);
    s.dispersio_y = G(16);
    s.dispersio_z = G(17);
    s.dtscho = G(kDtScho);
    s.dt = s.dtscho;
    s.dxscho = G(19);
    s.rec20 = G(20);
    s.dyscho = G(21);
    readInvertedSwitch(G(kConfX), s.conf_x);
    readInvertedSwitch(G(kConfX + 1), s.conf_y);
    readInvertedSwitch(G(kConfX + 2), s.conf_z);

    s.exchange = floorInt(G(kExchange));
    if (s.exchange == 0) {
        s.exchange_count = 1;
    } else if (s.exchange == 1) {
        s.exchange_count = s.particles;
    } else {
        message(3001, s.exchange);
        return;
    }

    s.superposition = floorInt(G(30));
    s.rec31 = floorInt(G(31));
    s.rec32 = floorInt(G(32));
    s.rec33 = G(33);
    s.rec34 = G(34);
    s.rec35 = floorInt(G(35));
    s.extension_switch = floorInt(G(kExtensionSwitch));
    s.rec39 = G(39);
    s.extension = G(kExtension) * s.extension_switch;
    s.rec42 = floorInt(G(42));
    s.rec44 = floorInt(G(44));
    s.extension_switch2 = floorInt(G(46));

    s.dt_poisson = G(kDtPoisson);
    if (!readTimeSteps())
        return;
    s.rec48 = G(48);
    s.rec49 = floorInt(G(49));
    s.rec50 = floorInt(G(50));
    if (s.rec50 == 0)
        s.particle_count50 = 0;
    else if (s.rec50 == 1)
        s.particle_count50 = s.particles;

    s.rec51 = G(51);
    s.rec52 = G(52);
    s.rec53 = floorInt(G(53));
    for (int v = 0; v < 6; ++v)
        s.switches54[static_cast<std::size_t>(v)] = isOn(G(54 + v)) ? 1 : 0;
    s.max_wavevector = G(kMaxWavevector);

    if (!readInjectionGrid() || !readInjectionBlocks() || !readOmegaAndOutputs())
        return;
    readTrajectories();
}

// ---------------------------------------------------------------------------------------------
// Stage 3: the grid-sized tables.

namespace {

// a * b * c, or -1 when a factor is negative or the product leaves the 64-bit range.
std::int64_t checkedProduct(std::int64_t a, std::int64_t b, std::int64_t c) {
    std::int64_t ab = 0, abc = 0;
    if (a < 0 || b < 0 || c < 0 || __builtin_mul_overflow(a, b, &ab) ||
        __builtin_mul_overflow(ab, c, &abc))
        return -1;
    return abc;
}

} // namespace

void gestor_memoria_global_inici() {
    State &st = state();
    const std::int64_t cells = checkedProduct(st.Nx + 1, st.Ny + 1, st.Nz + 1);
    std::int64_t nodes = checkedProduct(st.Nx + 2, st.Ny + 2, st.Nz + 2);
    // Node numbers are 32-bit: a grid with more nodes cannot be numbered.
    if (nodes > std::numeric_limits<std::int32_t>::max())
        nodes = -1;
    st.node_count = nodes;
    const std::int64_t noNodes = nodes < 0 ? -1 : nodes + 1;

    // Decided before anything is allocated: the grid tables, with the largest work tables that a
    // later stage holds beside them (the cell types and node rules of the geometry stage, about
    // a byte per cell each), must fit in the memory budget. A larger grid is reported at once
    // rather than touched page by page, which would stall the desktop or get the designer killed.
    if (cells >= 0 && nodes >= 0) {
        const double perCell = double(sizeof(Cell)) + 2.0;
        const double perNode = 5.0 * sizeof(std::int32_t); // indx, indxm, indym, indzm, indmalla
        const double axes = 2.0 * sizeof(double) * double(st.Nx + st.Ny + st.Nz + 6);
        const double bytes = double(cells) * perCell + double(nodes) * perNode + axes;
        if (bytes > double(memoryBudget() - heldBytes())) {
            st.alloc_status = 5014;
            message(12001);
            return;
        }
    }
    if (!allocate(st.malla, cells, kSlotMalla))
        return;
    st.mate.clear();
    st.memory[kSlotMate] = 1;
    if (!allocate(st.dx, st.Nx + 1, kSlotDx) || !allocate(st.dy, st.Ny + 1, kSlotDy) ||
        !allocate(st.dz, st.Nz + 1, kSlotDz) || !allocate(st.cx, st.Nx + 2, kSlotCx) ||
        !allocate(st.cy, st.Ny + 2, kSlotCy) || !allocate(st.cz, st.Nz + 2, kSlotCz) ||
        !allocate(st.indx, noNodes, kSlotIndx) || !allocate(st.indxm, noNodes, kSlotIndxm) ||
        !allocate(st.indym, noNodes, kSlotIndym) || !allocate(st.indzm, noNodes, kSlotIndzm) ||
        !allocate(st.indmalla, nodes, kSlotIndmalla) ||
        !allocate(st.prim_nod_cont, std::int64_t(st.nvol) + 1, kSlotPrimNodCont))
        return;
    allocate(st.ult_nod_cont, std::int64_t(st.nvol) + 1, kSlotUltNodCont);
}

// ---------------------------------------------------------------------------------------------
// Stage 4: material settings.

namespace {

constexpr double kElectronMass = 9.109136121414667e-31; // kg

enum MaterialRecord : int {
    kParabolicSwitch = 15,
    kFirstParabolicValley = 18,
    kLinearSwitch = 81,
    kFirstLinearValley = 84,
    kValleySize = 8,
    kTightBinding = 150,
    kFirstScatteringBlock = 284,
    kScatteringBlockSize = 23,
};

std::int32_t valleySign(double value, std::int32_t current) {
    const std::int32_t f = floorInt(value);
    return f == 1 ? 1 : f == 0 ? -1 : current;
}

} // namespace

void traduccio_materials(const material_str *, std::int32_t nmat) {
    State &st = state();
    Settings &s = st.s;
    s.mechanism1 = false;
    s.tight_binding = false;

    for (int m = 1; m <= nmat; ++m) {
        const std::int32_t n = st.hm[m - 1].indexname;
        st.material_names[n] = std::string(st.hm[m - 1].nom, kNameWidth);
        MaterialEntry &e = st.mate[n];
        e.present = true;
        e.kind = 0;
        for (int k = 1; k <= 14; ++k)
            e.values[static_cast<std::size_t>(k - 1)] = M(m, k);
        e.rec6 = floorInt(M(m, 6));

        if (isOn(M(m, kParabolicSwitch))) {
            e.kind = 1;
            for (int v = 0; v < 8; ++v) {
                const int b = kFirstParabolicValley + kValleySize * v;
                ParabolicValley &pv = e.parabolic[static_cast<std::size_t>(v)];
                pv.on = isOn(M(m, b)) ? 1 : 0;
                pv.mass_x = M(m, b + 1) * kElectronMass;
                pv.mass_y = M(m, b + 2) * kElectronMass;
                pv.mass_z = M(m, b + 3) * kElectronMass;
                pv.v4 = pv.on ? M(m, b + 4) : 0.0;
                pv.v5 = M(m, b + 5);
                pv.sign = valleySign(M(m, b + 6), pv.sign);
            }
        }
        if (isOn(M(m, kLinearSwitch))) {
            if (e.kind == 1) {
                message(3020, n);
                return;
            }
            e.kind = 2;
            for (int v = 0; v < 8; ++v) {
                const int b = kFirstLinearValley + kValleySize * v;
                LinearValley &lv = e.linear[static_cast<std::size_t>(v)];
                lv.on = isOn(M(m, b)) ? 1 : 0;
                for (int k = 0; k < 5; ++k)
                    lv.values[static_cast<std::size_t>(k)] = M(m, b + 1 + k);
                if (!lv.on)
                    lv.values[3] = 0.0;
                lv.sign = valleySign(M(m, b + 6), lv.sign);
            }
        }
        if (isOn(M(m, kTightBinding))) {
            s.tight_binding = true;
            message(3002);
            return;
        }
        if (e.kind == 0) {
            message(3021, n);
            return;
        }

        for (int b = 0; b < 10; ++b) {
            const int c = kFirstScatteringBlock + kScatteringBlockSize * b;
            ScatteringBlock &sb = e.scattering[static_cast<std::size_t>(b)];
            sb.c0 = floorInt(M(m, c));
            sb.mechanism = floorInt(M(m, c + 1));
            if (!toSteps(M(m, c + 2), sb.steps))
                return;
            sb.steps = std::max(sb.steps, 1);
            for (int k = 0; k < 11; ++k)
                sb.reals3[static_cast<std::size_t>(k)] = M(m, c + 3 + k);
            for (int k = 0; k < 4; ++k)
                sb.ints14[static_cast<std::size_t>(k)] = floorInt(M(m, c + 14 + k));
            for (int k = 0; k < 4; ++k)
                sb.reals18[static_cast<std::size_t>(k)] = M(m, c + 18 + k);
            sb.position = b + 1;
            if (sb.mechanism == 1) {
                s.mechanism1 = true;
                s.operator_c8 = M(m, c + 8);
                s.operator_c20 = M(m, c + 20);
            }
        }
    }

    // Every injection block, switched on or not, must use a mechanism that a material defines.
    for (InjectionBlock &ib : s.injections) {
        bool found = false;
        for (int number = 1; number <= nmat; ++number) {
            const MaterialEntry *e = st.material(number);
            if (!e)
                continue;
            for (const ScatteringBlock &sb : e->scattering) {
                if (sb.mechanism == ib.mechanism) {
                    found = true;
                    ib.mechanism_block = sb.position;
                    ib.mechanism_material = number;
                }
            }
        }
        if (!found) {
            message(3030, ib.mechanism);
            return;
        }
    }
}

// ---------------------------------------------------------------------------------------------
// Release of the work memory.

namespace {

template <class T> void release(std::vector<T> &table, int slot) {
    std::vector<T>().swap(table);
    std::vector<std::int32_t> &memory = state().memory;
    if (slot > 0 && slot < static_cast<int>(memory.size()))
        memory[static_cast<std::size_t>(slot)] = 0;
}

} // namespace

void gestor_memoria_global_final() {
    State &st = state();
    // Every table is released whatever its registry slot says: a run with version 1 leaves
    // nothing allocated.
    release(st.volum, kSlotVolum);
    st.mate.clear();
    release(st.malla, kSlotMalla);
    release(st.dx, kSlotDx);
    release(st.dy, kSlotDy);
    release(st.dz, kSlotDz);
    release(st.cx, kSlotCx);
    release(st.cy, kSlotCy);
    release(st.cz, kSlotCz);
    release(st.indx, kSlotIndx);
    release(st.indxm, kSlotIndxm);
    release(st.indym, kSlotIndym);
    release(st.indzm, kSlotIndzm);
    release(st.indmalla, kSlotIndmalla);
    release(st.prim_nod_cont, kSlotPrimNodCont);
    release(st.ult_nod_cont, kSlotUltNodCont);
    release(st.reservoir, kSlotReservoir);
    release(st.mquan, kSlotMquan);
    std::vector<std::int32_t>().swap(st.memory);
}

} // namespace comprova

// ---------------------------------------------------------------------------------------------
// Entry routine.

using namespace comprova;

void comprova_volums_valids(const std::int32_t *version, const volum_str *volums,
                            const std::int32_t *nvol, const std::int32_t *nvparam,
                            const material_str *materials, const std::int32_t *nmat,
                            const std::int32_t *nmparam, const parameter_str *parameters,
                            const std::int32_t *nparam, const atom_str *atoms,
                            const std::int32_t *natoms, char *error_retorn) {
    (void)atoms; // only its count is checked
    State &st = state();
    const auto count = [](const std::int32_t *n) { return n ? *n : 0; };
    const std::int32_t ver = count(version);

    st.named_volum = 0;
    const auto run = [&] {
        if (ver != 1 && ver != -1) {
            message(1001, ver);
            return;
        }
        if (!allocate(st.memory, std::int64_t(kMemorySlots) + 1, 0))
            return;

        const struct {
            std::int32_t value, limit, code, shown;
        } limits[] = {
            {count(nvparam), 999, 1002, 1000},       {count(nmparam), 999, 1002, 1000},
            {count(nparam), 999, 1002, 1000},        {count(nmat), 100, 1003, 100},
            {count(natoms), 1000000, 1004, 1000000}, {count(nvol), 100, 1005, 100},
        };
        for (const auto &l : limits) {
            if (l.value > l.limit) {
                message(l.code, l.value, l.shown);
                return;
            }
        }

        // A negative count or a missing array is taken as no records at all.
        st.nvol = volums ? std::max(count(nvol), 0) : 0;
        st.nmat = materials ? std::max(count(nmat), 0) : 0;
        st.hv = volums;
        st.hm = materials;
        st.hp = parameters;
        st.hnparam = parameters ? std::max(count(nparam), 0) : 0;
        st.s = Settings();
        st.text.assign(kVerdictLength, ' ');

        // Each stage runs only while no message has been issued; the first one ends the run.
        using Stage = void (*)();
        static const Stage stages[] = {
            [] { traduccio_malles_entrada(state().hv, state().nvol); },
            [] { traduccio_parametres(state().hp, state().hnparam); },
            gestor_memoria_global_inici,
            [] { traduccio_materials(state().hm, state().nmat); },
            [] { definicio_de_boundaries(state().hv, state().nvol); },
            traduccio_volum,
            [] { seleccio_de_contactes(state().hv, state().nvol); },
            [] {
                if (state().s.wave_solver > 0)
                    traduccio_variables_quanticas_dispositiu();
            },
            [] {
                if (state().s.omega_on == 1)
                    seleccio_volum_omega();
            },
            traduccio_variables_particules,
        };
        for (const Stage stage : stages) {
            if (!noError())
                return;
            stage();
        }
        if (noError())
            message(10000);
    };
    run();

    if (error_retorn) {
        std::memcpy(error_retorn, st.text.data(), kVerdictLength);
        error_retorn[kVerdictLength] = '\0';
    }
    st.hv = nullptr;
    st.hm = nullptr;
    st.hp = nullptr;
    st.hnparam = 0;
    if (ver == 1)
        gestor_memoria_global_final();
}

std::int32_t verdictVolum() {
    return state().named_volum;
}
