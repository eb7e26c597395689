#pragma once
// Work memory shared by all stages of the design checker, and the stage routines' declarations.
//
// Calling convention of a stage: `void stage(...)`. A failing rule writes its line through
// `message(...)` and the stage returns at once; the entry routine runs the next stage only while
// `noError()` holds (the message text is all blanks). Helpers never throw.
//
// Indexing: volums are numbered 1..nvol (entry 0 of `volum` is unused), materials are keyed by
// their index number (`mate[indexname]`), cells by global mesh indices from 0 (`cellAt`), nodes by
// (i, j, k) from 0 and by node number from 1. Hand-over records are read by position through
// `G`, `V` and `M`; a position outside what was handed over reads as 0.

#include "checker/comprova.h"

#include <array>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <limits>
#include <map>
#include <string>
#include <vector>

namespace comprova {

// ---------------------------------------------------------------------------------------------
// Conversions of a flattened setting (a record's `valor`).

// Floor as a 32-bit integer; NaN, infinities and values outside the 32-bit range give
// -2147483648, computed without undefined behaviour.
std::int32_t floorInt(double v);
// A switch is on when the floor of its value is 1.
inline bool isOn(double v) {
    return floorInt(v) == 1;
}
// Double to single precision without undefined behaviour: out-of-range values become infinite.
inline float toFloat(double value) {
    constexpr double kLargest = static_cast<double>(std::numeric_limits<float>::max());
    if (std::fabs(value) <= kLargest) // false for NaN
        return static_cast<float>(value);
    if (std::isnan(value))
        return std::numeric_limits<float>::quiet_NaN();
    return value > 0 ? std::numeric_limits<float>::infinity()
                     : -std::numeric_limits<float>::infinity();
}
// Rounds to single precision and widens again: the checker's single-precision steps.
inline double toReal4(double v) {
    return static_cast<double>(toFloat(v));
}

// ---------------------------------------------------------------------------------------------
// Records of the checker's tables.

// Settings read by traduccio_parametres from the general records (record numbers in comments).
struct InjectionBlock {                 // general records b .. b+16, b = 67 + 17 (j - 1)
    std::int32_t on = 0;                // b: injection switch (integer)
    std::array<double, 8> values{};     // b+1 .. b+8; b+4 .. b+8 are fractions in (0, 1)
    std::int32_t steps = 0;             // b+9: injection time in steps of dt
    std::int32_t volum = 0;             // b+10: injecting volum number
    std::array<std::int32_t, 3> ints{}; // b+11 .. b+13
    std::int32_t scattering_steps = 0;  // b+14: scattering time in steps of dt
    std::int32_t mechanism = 0;         // b+15: scattering mechanism number
    std::int32_t mechanism_block = 0; // block position s (1..10) defining it (traduccio_materials)
    std::int32_t mechanism_material = 0; // index number of the material holding that block
    std::int32_t reservoir = 0; // reservoir it injects from, 1-based (seleccio_de_contactes)
};

struct OutputBlock { // switch record s and interval record s+1
    std::int32_t on = 0;
    std::int32_t steps = 0; // interval in steps of dt, a multiple of the ratio
};

struct Settings {
    double final_time = 0;           // 1
    double rec2 = 0;                 // 2
    std::int32_t rec3 = 0;           // 3
    std::int32_t repetitions = 0;    // 4 (at most 10000)
    std::int32_t particles = 0;      // 5 (at least 1)
    double duration6 = 0;            // 6 (real value as read)
    std::int32_t steps6 = 0;         // 6 converted to steps of dt
    std::int32_t flag_particles = 0; // 9: 1 = classical particles
    std::int32_t wave_solver = 0;    // 11: 0 none, >0 enables stage 8, 2 Dirac; stage 8 replaces it
    std::int32_t rec12 = 0;          // 12
    double x1 = 0, x2 = 0;           // 13, 14
    double dispersio_x = 0, dispersio_y = 0, dispersio_z = 0; // 15, 16, 17
    double dtscho = 0;                                        // 18
    double dxscho = 0;                                        // 19
    double rec20 = 0;                                         // 20
    double dyscho = 0; // 21: the spatial step across the transport direction
    std::int32_t conf_x = 0, conf_y = 0, conf_z = 0; // 22, 23, 24 (inverted switches)
    std::int32_t exchange = 0;                       // 25 as read
    std::int32_t exchange_count = 0;                 // 1, or the number of particles
    std::int32_t superposition = 0;                  // 30
    std::int32_t rec31 = 0, rec32 = 0;               // 31, 32
    double rec33 = 0, rec34 = 0;                     // 33, 34
    std::int32_t rec35 = 0;                          // 35
    std::int32_t extension_switch = 0;               // 38
    double rec39 = 0;                                // 39
    double extension = 0;                            // 40 times the integer of 38
    std::int32_t rec42 = 0, rec44 = 0;               // 42, 44
    std::int32_t extension_switch2 = 0;              // 46
    double dt_poisson = 0;                           // 47
    double rec48 = 0;                                // 48
    std::int32_t rec49 = 0;                          // 49
    std::int32_t rec50 = 0;                          // 50 as read
    std::int32_t particle_count50 = 0;        // 0, or the number of particles (record 50 = 1)
    double rec51 = 0, rec52 = 0;              // 51, 52
    std::int32_t rec53 = 0;                   // 53
    std::array<std::int32_t, 6> switches54{}; // 54 .. 59
    double max_wavevector = 0;                // 60: MAXWEVEVECTOR
    std::int32_t accelerated_injection = 0;   // 63
    std::int32_t rec64 = 0;                   // 64

    double dt = 0;          // time step: record 18, or 47 for classical particles
    std::int32_t ratio = 0; // R: time steps per Poisson step
    std::int32_t poisson_steps = 0;
    std::int32_t total_steps = 0; // poisson_steps * ratio

    // Injection grid (step 9 of traduccio_parametres).
    std::int32_t injection_steps = 0;    // n
    double dk = 0;                       // wave-vector step (the finer one without record 63)
    double dkx = 0, dky = 0, dkz = 0;    // per-axis steps (all G(60)/n with record 63 on)
    std::int32_t mult_x = 1, mult_z = 1; // multiplicities along x and z

    std::array<InjectionBlock, 8> injections{}; // 67 .. 202

    // Volume for current computation, 204 .. 216.
    std::int32_t omega_on = 0;               // 204
    std::int32_t omega_steps = 0;            // 205 as an output interval
    std::int32_t omega_x1 = 0, omega_x2 = 0; // 206, 207: first and last cell along x
    std::int32_t omega_y1 = 0, omega_y2 = 0; // 208, 209
    std::int32_t omega_z1 = 0, omega_z2 = 0; // 210, 211
    std::array<std::int32_t, 4> rec212{};    // 212 .. 215
    double rec216 = 0;                       // 216

    std::array<OutputBlock, 7> outputs{}; // (218,219) .. (233,234), then (241,242) last
    std::int32_t movie_on = 0;            // 236
    std::int32_t movie_start_steps = 0;   // 237
    std::int32_t movie_final_steps = 0;   // 238
    double movie_spacing = 0;             // 239
    std::int32_t movie_frames = 0;

    // Trajectory and transmission settings, 245 .. 275.
    std::int32_t rec245 = 0;
    std::int32_t steps246 = 0;
    std::int32_t flag_mig_transmissio = 0; // 248
    std::int32_t steps249 = 0;
    std::array<std::int32_t, 3> rec251{}; // 251 .. 253
    double rec254 = 0;
    std::int32_t steps255 = 0;
    std::int32_t rec257 = 0, rec258 = 0, rec260 = 0;
    std::int32_t trans2d = 0; // 262: two-dimensional transport switch
    double rec263 = 0, rec264 = 0;
    std::int32_t rec265 = 0;
    double rec266 = 0;
    std::int32_t rec267 = 0, rec268 = 0;
    double rec269 = 0, rec270 = 0;
    std::int32_t rec271 = 0;        // rounded to nearest
    std::int32_t trans2d_volum = 0; // 272: injecting volum of the 2D transport
    std::int32_t rec273 = 0, rec274 = 0;
    std::int32_t trajectories = 0; // 275 (at most 1000)

    // Markers set while translating volums and materials.
    bool scattering_volum = false; // some volum has record 1 equal to 1
    bool mechanism1 = false;       // some material defines scattering mechanism 1
    bool tight_binding = false;
    double operator_c8 = 0, operator_c20 = 0; // c+8 and c+20 of the block with mechanism 1
};

struct ParabolicValley {
    std::int32_t on = 0;
    double mass_x = 0, mass_y = 0, mass_z = 0; // kg (record value x electron mass)
    double v4 = 0, v5 = 0;                     // b+4 is 0 when the valley is off
    std::int32_t sign = 0;                     // +1 / -1 from b+6
};

struct LinearValley {
    std::int32_t on = 0;
    std::array<double, 5> values{}; // b+1 .. b+5 unscaled; values[3] (b+4) is 0 when off
    std::int32_t sign = 0;
};

struct ScatteringBlock { // material records c .. c+22, c = 284 + 23 (s - 1)
    std::int32_t c0 = 0;
    std::int32_t mechanism = 0;           // c+1
    std::int32_t steps = 0;               // c+2 in steps of dt (at least 1)
    std::array<double, 11> reals3{};      // c+3 .. c+13
    std::array<std::int32_t, 4> ints14{}; // c+14 .. c+17
    std::array<double, 4> reals18{};      // c+18 .. c+21
    std::int32_t position = 0;            // s
};

struct MaterialEntry {
    bool present = false;            // a handed-over material has this index number
    std::int32_t kind = 0;           // dispersion: 0 none, 1 parabolic, 2 linear
    std::array<double, 14> values{}; // records 1 .. 14 (record 6 also as integer below)
    std::int32_t rec6 = 0;
    std::array<ParabolicValley, 8> parabolic{};
    std::array<LinearValley, 8> linear{};
    std::array<ScatteringBlock, 10> scattering{};
};

struct VolumEntry {
    double xi = 0, yi = 0, zi = 0; // lower corner
    double xf = 0, yf = 0, zf = 0; // upper corner
    // Global mesh indices; 64-bit so that absurd hand-over counts cannot overflow while numbering.
    std::int64_t mxi = 0, myi = 0, mzi = 0;
    std::int64_t mxf = 0, myf = 0, mzf = 0;
    std::int32_t cell_type = -1; // set by definicio_de_boundaries: -1, 0, 1, 2 or 3
    std::int32_t type2 = 0;      // second type field, set by definicio_de_boundaries
    std::int32_t material = 0;   // index number of its material
    std::int32_t kind = 0;       // floor of volum record 2
    std::int32_t scattering = 0; // floor of volum record 1
};

// One mesh cell. Kept small (80 bytes): a device of 10^6 cells holds 10^6 of them.
struct Cell {
    double mat1 = 0, mat2 = 0;     // material records 1 and 2 of the cell's material
    double x = 0, y = 0, z = 0;    // origin
    double dx = 0, dy = 0, dz = 0; // widths
    std::int32_t volum = 0;        // volum number (1-based); 0 = no volum covers it
    std::int32_t material = 0;
    std::int8_t cell_type = -1; // -1 .. 3, from the volum
    std::int8_t type2 = 0;      // 0 .. 5, from the volum
    std::int8_t node_type = 10; // type of the node at this cell's lower corner

    // Contact markers of the faces f = 0 .. 5 (+x, +y, +z, -x, -y, -z): 0, 1 or 2.
    int marker(int f) const { return (markers_ >> (2 * f)) & 3; }
    void setMarker(int f, int value) {
        markers_ =
            static_cast<std::uint16_t>((markers_ & ~(3u << (2 * f))) | (value & 3u) << (2 * f));
    }
    bool anyMarker() const { return markers_ != 0; }
    void clearMarkers() { markers_ = 0; }

private:
    std::uint16_t markers_ = 0;
};
static_assert(sizeof(Cell) <= 80, "a cell of the grid stays within 80 bytes");
// One reservoir (contact face rectangle) found by seleccio_de_contactes.
struct Reservoir {
    std::int32_t face = 0;  // 1 +x, 2 +y, 3 +z, 4 -x, 5 -y, 6 -z; 0 none
    std::int32_t volum = 0; // contact volum (1-based)
    double mat1 = 0, mat2 = 0;
    std::int64_t i1 = 0, i2 = 0, j1 = 0, j2 = 0, k1 = 0, k2 = 0; // mesh index extent
    double x1 = 0, x2 = 0, y1 = 0, y2 = 0, z1 = 0, z2 = 0;       // coordinate extent
    std::int32_t kind = 0;                    // boundary condition: 1 DC, 2 TRANS, 3 AC
    std::array<double, 13> dc{};              // volum records 8 .. 20
    std::array<double, 3> trans_reals{};      // 23 .. 25
    std::array<std::int32_t, 4> trans_ints{}; // 26 .. 29
    std::array<double, 8> ac_reals{};         // 32 .. 35, 37 .. 40
    std::array<std::int32_t, 4> ac_ints{};    // 36, 41, 42, 43
    std::int32_t nstop_con = 0;               // 53 in steps of dt
    std::int32_t mitja_con = 0;               // 54 in steps of dt * R
    std::int32_t filtre = 0;                  // 55 in steps of dt * R
    std::int32_t iterneustart = 0;            // 56
    std::int64_t wave1 = -1, wave2 = -1;      // first and last wave cell along x (stage 8)
};

// Registry slots of the tables (the `memory` registry records which exist).
enum MemorySlot : int {
    kSlotVolum = 2001,
    kSlotMalla = 4001,
    kSlotMate,
    kSlotDx,
    kSlotDy,
    kSlotDz,
    kSlotCx,
    kSlotCy,
    kSlotCz,
    kSlotIndx,
    kSlotIndxm,
    kSlotIndym,
    kSlotIndzm,
    kSlotIndmalla,
    kSlotPrimNodCont,
    kSlotUltNodCont, // 4015
    kSlotReservoir = 8001,
    kSlotMquan = 9001,
};
constexpr int kMemorySlots = 100000;

// ---------------------------------------------------------------------------------------------
// The checker's process-wide state.

struct State {
    std::string text;                     // the message text: 299 characters, all blanks = no error
    std::int32_t named_volum = 0;         // first volum the message text names (1-based), or 0
    std::vector<std::string> volum_names; // entry n = name of volum n (20 characters), 1..100
    std::map<std::int32_t, std::string> material_names; // keyed by material index number
    int alloc_status = 0;             // 0 after a successful allocation, 5014 after a failure
    std::vector<std::int32_t> memory; // allocation registry; slot k at memory[k], 1 = allocated

    // The hand-over of the current run (valid during a run only).
    const volum_str *hv = nullptr;
    const material_str *hm = nullptr;
    const parameter_str *hp = nullptr;
    std::int32_t hnparam = 0;

    std::int32_t nmat = 0; // number of materials
    std::int32_t nvol = 0; // number of volums
    Settings s;

    std::vector<VolumEntry> volum; // 1..nvol
    // Material table keyed by index number; any index number fits, none is written outside it.
    std::map<std::int32_t, MaterialEntry> mate;

    // Grid.
    std::int64_t Nx = 0, Ny = 0, Nz = 0; // mesh counts (largest last index + 1)
    std::int64_t Mx = 0, My = 0, Mz = 0; // largest mesh indices found by definicio_de_volums
    std::int64_t node_count = 0;         // (Nx + 2)(Ny + 2)(Nz + 2)
    std::vector<Cell> malla;             // (Nx + 1)(Ny + 1)(Nz + 1) cells
    std::vector<double> dx, dy, dz;      // 0..Nx etc.
    std::vector<double> cx, cy, cz;      // 0..Nx+1 etc.
    std::vector<std::int32_t> indx;      // node type by node number (1-based; entry 0 unused)
    std::vector<std::int32_t> indxm, indym, indzm; // (i, j, k) of node number n
    std::vector<std::int32_t> indmalla; // node number of node (i, j, k), 0..Nx+1 per axis
    std::vector<std::int32_t> prim_nod_cont, ult_nod_cont; // 1..nvol
    std::int32_t nodes_numbered = 0;                       // last node number given
    std::int32_t last_type1_node = 0, last_type2_node = 0, last_bulk_node = 0;

    std::vector<Reservoir> reservoir;   // reservoirs found by seleccio_de_contactes
    std::int32_t source = 0, drain = 0; // reservoir numbers (1-based), 0 = none
    std::int32_t transient_carrier = 0; // reservoir carrying the transient, 0 = none
    std::int32_t transient_steps = 0;
    std::int64_t box_i1 = 0, box_i2 = -1, box_j1 = 0, box_j2 = -1, box_k1 = 0, box_k2 = -1;
    // cells of cell type 0 (recorded by stage 7)

    // Cells of the volume for current computation (stage 9), listed here so that the final
    // release frees it. Stages 8 and 10 keep no tables: their grids are described by counts,
    // origins and steps (wavegrid.h), which is all that their rules read.
    std::vector<double> mquan;

    // Cell access; nullptr outside the allocated table.
    Cell *cellAt(std::int64_t i, std::int64_t j, std::int64_t k);
    // Node number slot of node (i, j, k); nullptr outside the table.
    std::int32_t *nodeAt(std::int64_t i, std::int64_t j, std::int64_t k);
    // Material entry of an index number; nullptr when no entry exists.
    MaterialEntry *material(std::int64_t index);
};

State &state();

// ---------------------------------------------------------------------------------------------
// Positional access to the hand-over of the current run (records counted from 1).

double G(int k);        // general record k; beyond the handed-over count reads as 0
double V(int n, int k); // record k of volum n (1-based); 0 outside 1..nvol or 1..1000
double M(int n, int k); // record k of the n-th handed-over material (1-based, hand-over order)

// Name items of the messages: 20 characters, blanks for a number without a name.
std::string volumName(std::int64_t n);
std::string materialName(std::int64_t n);

// Entry n of an axis table (cx, dx, ...), 0 outside it.
inline double axisEntry(const std::vector<double> &table, std::int64_t n) {
    return n >= 0 && n < static_cast<std::int64_t>(table.size())
               ? table[static_cast<std::size_t>(n)]
               : 0.0;
}

inline bool noError() {
    return state().text.find_first_not_of(' ') == std::string::npos;
}

// ---------------------------------------------------------------------------------------------
// Messages and helpers.

// Writes the line of `code` into the message text (12001 only when alloc_status is not 0).
void message(std::int32_t code, std::int32_t i1 = 0, std::int32_t i2 = 0, float r1 = 0,
             float r2 = 0);
// Tolerant whole division a / b into n; may issue 3031 and leave n unchanged.
void flooracuracy(double a, double b, std::int32_t &n);

// Sizes `table` to `count` elements of `fill`, records the outcome in alloc_status, issues the
// allocation check (12001 on failure, which the run reports as its verdict) and marks `slot`
// (0 = no slot) in the registry. A request beyond the memory budget is refused without trying.
// Returns false when the allocation failed.
template <class T>
bool allocate(std::vector<T> &table, std::int64_t count, int slot, const T &fill = T());

// ---------------------------------------------------------------------------------------------
// Stages, in the order the entry routine runs them.

void traduccio_malles_entrada(const volum_str *volums, std::int32_t nvol);       // 1
void traduccio_parametres(const parameter_str *parameters, std::int32_t nparam); // 2
void gestor_memoria_global_inici();                                              // 3
void traduccio_materials(const material_str *materials, std::int32_t nmat);      // 4
void definicio_de_boundaries(const volum_str *volums, std::int32_t nvol);        // 5
void traduccio_volum();                                                          // 6
void seleccio_de_contactes(const volum_str *volums, std::int32_t nvol);          // 7
void seleccio_de_boundaries(Reservoir &reservoir, std::int32_t volum);           // used by 7
void traduccio_variables_quanticas_dispositiu();                                 // 8
void seleccio_volum_omega();                                                     // 9
void traduccio_variables_particules();                                           // 10
void gestor_memoria_global_final();

// Parts of stage 6.
void definicio_de_volums();
void control_de_coordenades();
void definicio_tipus_de_nodes();
std::int64_t suma_contigua_8(std::int64_t i, std::int64_t j, std::int64_t k);
std::int64_t suma_externa_24(std::int64_t i, std::int64_t j, std::int64_t k);
void traduccio_variables_definicio_dispositiu();

// The memory budget of the checker, in bytes: everything it holds at once stays within it. Half of
// the machine's memory (or of the memory the process is confined to), unless the environment
// variable KARVENO_CHECK_MEMORY gives a number of bytes.
std::int64_t memoryBudget();
// Bytes held by the tables of the state.
std::int64_t heldBytes();
// Whether `count` more elements of `size` bytes fit in what the budget leaves beside the tables
// already held (no overflow either).
bool allocationFits(std::int64_t count, std::size_t size);

template <class T>
bool allocate(std::vector<T> &table, std::int64_t count, int slot, const T &fill) {
    State &st = state();
    st.alloc_status = 0;
    std::vector<T>().swap(table); // its old contents do not count against the new request
    if (!allocationFits(count, sizeof(T))) {
        st.alloc_status = 5014;
    } else {
        try {
            std::vector<T>(static_cast<std::size_t>(count), fill).swap(table);
        } catch (...) { // std::bad_alloc or std::length_error
            st.alloc_status = 5014;
        }
    }
    message(12001);
    if (st.alloc_status != 0) {
        std::vector<T>().swap(table);
        return false;
    }
    if (slot > 0 && slot < static_cast<int>(st.memory.size()))
        st.memory[static_cast<std::size_t>(slot)] = 1;
    return true;
}

} // namespace comprova
