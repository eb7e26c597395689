// Device geometry: global mesh numbering of the volums, the cell table, the corner-to-corner and
// outer-face checks, node typing, and the axis tables of cell origins and widths.

#include "checker/comprova_state.h"
#include "checker/listline.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <limits>

namespace comprova {

namespace {

// Volum record positions read here.
enum VolumRecord : int {
    kScatteringRecord = 1,
    kKindRecord = 2,
    kNeumannRecord = 45, // the boundary ELECTRIC_FIELD=0
};

// 0.001 in single precision, the relative tolerance of the geometry.
constexpr double kTolerance = 0.0010000000474974513;

std::int32_t clampInt(std::int64_t v) {
    return static_cast<std::int32_t>(std::clamp<std::int64_t>(
        v, std::numeric_limits<std::int32_t>::min(), std::numeric_limits<std::int32_t>::max()));
}

void writeLine(const ListLine &line) {
    state().text = line.padded(kVerdictLength);
    state().named_volum = 0;
}

// One axis of a volum's geometry, so that the three axes share one numbering routine.
struct Axis {
    double VolumEntry::*lower;
    double VolumEntry::*upper;
    std::int64_t VolumEntry::*first;
    std::int64_t VolumEntry::*last;
};

constexpr Axis kAxes[3] = {
    {&VolumEntry::xi, &VolumEntry::xf, &VolumEntry::mxi, &VolumEntry::mxf},
    {&VolumEntry::yi, &VolumEntry::yf, &VolumEntry::myi, &VolumEntry::myf},
    {&VolumEntry::zi, &VolumEntry::zf, &VolumEntry::mzi, &VolumEntry::mzf},
};

// Renumbers the meshes of every volum along one axis so that touching volums continue each
// other's numbering; returns the mesh count of the axis.
std::int64_t numberAxis(const Axis &a, std::vector<char> &tocat) {
    State &st = state();
    const int n = st.nvol;
    std::fill(tocat.begin(), tocat.end(), 0);
    std::int64_t start = 0;
    for (int pass = 0; pass < n; ++pass) {
        int candidate = 0;
        for (int v = n; v >= 1; --v) {
            if (!tocat[static_cast<std::size_t>(v)]) {
                candidate = v;
                break;
            }
        }
        for (int v = 1; v <= n; ++v) {
            if (!tocat[static_cast<std::size_t>(v)] &&
                st.volum[static_cast<std::size_t>(v)].*a.lower <
                    st.volum[static_cast<std::size_t>(candidate)].*a.lower)
                candidate = v;
        }
        VolumEntry &c = st.volum[static_cast<std::size_t>(candidate)];
        for (int k = 1; k <= n; ++k) {
            if (k == candidate || !tocat[static_cast<std::size_t>(k)])
                continue;
            const VolumEntry &o = st.volum[static_cast<std::size_t>(k)];
            const double meshes = static_cast<double>(o.*a.last - o.*a.first + 1);
            const double t = (o.*a.upper - o.*a.lower) * kTolerance / meshes;
            if (std::fabs(c.*a.lower - o.*a.upper) < t)
                start = o.*a.last + 1;
            else if (std::fabs(c.*a.lower - o.*a.lower) < t)
                start = o.*a.first;
        }
        tocat[static_cast<std::size_t>(candidate)] = 1;
        c.*a.last = c.*a.last - c.*a.first + start;
        c.*a.first = start;
    }
    std::int64_t largest = -1;
    for (int v = 1; v <= n; ++v)
        largest = std::max(largest, st.volum[static_cast<std::size_t>(v)].*a.last);
    return largest + 1;
}

} // namespace

// ---------------------------------------------------------------------------------------------
// Stage 1.

void traduccio_malles_entrada(const volum_str *volums, std::int32_t nvol) {
    State &st = state();
    std::vector<char> tocat;
    if (!allocate(tocat, std::int64_t(nvol) + 1, 0) ||
        !allocate(st.volum, std::int64_t(nvol) + 1, kSlotVolum))
        return;
    st.volum_names.assign(101, std::string(kNameWidth, ' '));

    st.s.scattering_volum = false;
    for (int n = 1; n <= nvol; ++n) {
        const volum_str &h = volums[n - 1];
        VolumEntry &v = st.volum[static_cast<std::size_t>(n)];
        v.xi = h.xi;
        v.yi = h.yi;
        v.zi = h.zi;
        v.xf = h.xf;
        v.yf = h.yf;
        v.zf = h.zf;
        v.mxi = h.mxi;
        v.myi = h.myi;
        v.mzi = h.mzi;
        v.mxf = h.mxf;
        v.myf = h.myf;
        v.mzf = h.mzf;
        v.material = h.indexname;
        if (n <= 100)
            st.volum_names[static_cast<std::size_t>(n)] = std::string(h.nom, kNameWidth);
        v.scattering = floorInt(V(n, kScatteringRecord));
        if (v.scattering == 1)
            st.s.scattering_volum = true;
        v.kind = floorInt(V(n, kKindRecord));
        if (V(n, kNeumannRecord) == 1.0 && v.myf - v.myi + 1 > 1 && v.mzf - v.mzi + 1 > 1) {
            message(6008, n);
            return;
        }
    }

    st.Nx = numberAxis(kAxes[0], tocat);
    st.Ny = numberAxis(kAxes[1], tocat);
    st.Nz = numberAxis(kAxes[2], tocat);
}

// ---------------------------------------------------------------------------------------------
// Stage 6.1: the cell table.

// The line of a mesh index beyond the grid's count on axis x, y or z.
const char *const kTooManyMeshes[3] = {"ERROR(5.1.3) NOMBRE MAXIM DE MALLES SUPERAT X",
                                       "ERROR(5.1.4) NOMBRE MAXIM DE MALLES SUPERAT Y",
                                       "ERROR(5.1.5) NOMBRE MAXIM DE MALLES SUPERAT Z"};

void definicio_de_volums() {
    State &st = state();
    st.Mx = st.My = st.Mz = 0;
    for (int n = 1; n <= st.nvol; ++n) {
        const VolumEntry &v = st.volum[static_cast<std::size_t>(n)];
        // Written as "not greater" so that a NaN corner is refused as well.
        if (!(v.xf > v.xi) || !(v.yf > v.yi) || !(v.zf > v.zi)) {
            message(71001, n);
            return;
        }
        if (v.mxf < v.mxi || v.myf < v.myi || v.mzf < v.mzi) {
            message(71002, n);
            return;
        }
        const double wx = toReal4((v.xf - v.xi) / static_cast<double>(v.mxf - v.mxi + 1));
        const double wy = toReal4((v.yf - v.yi) / static_cast<double>(v.myf - v.myi + 1));
        const double wz = toReal4((v.zf - v.zi) / static_cast<double>(v.mzf - v.mzi + 1));
        const MaterialEntry *mat = st.material(v.material);

        for (std::int64_t i = v.mxi; i <= v.mxf; ++i) {
            for (std::int64_t j = v.myi; j <= v.myf; ++j) {
                for (std::int64_t k = v.mzi; k <= v.mzf; ++k) {
                    st.Mx = std::max(st.Mx, i);
                    st.My = std::max(st.My, j);
                    st.Mz = std::max(st.Mz, k);
                    Cell *c = st.cellAt(i, j, k);
                    const std::int64_t at[3] = {i, j, k};
                    const std::int64_t count[3] = {st.Nx, st.Ny, st.Nz};
                    for (int a = 0; a < 3; ++a) {
                        if (at[a] >= count[a] || (a == 0 && !c)) {
                            writeLine(ListLine()
                                          .text(kTooManyMeshes[a])
                                          .integer(clampInt(at[a]))
                                          .integer(clampInt(count[a])));
                            return;
                        }
                    }
                    c->x = v.xi + static_cast<double>(i - v.mxi) * wx;
                    c->y = v.yi + static_cast<double>(j - v.myi) * wy;
                    c->z = v.zi + static_cast<double>(k - v.mzi) * wz;
                    c->dx = wx;
                    c->dy = wy;
                    c->dz = wz;
                    c->cell_type = static_cast<std::int8_t>(v.cell_type);
                    c->volum = n;
                    c->type2 = static_cast<std::int8_t>(v.type2);
                    c->material = v.material;
                    c->mat1 = mat ? mat->values[0] : 0.0;
                    c->mat2 = mat ? mat->values[1] : 0.0;
                    c->clearMarkers();
                }
            }
        }
    }
}

// ---------------------------------------------------------------------------------------------
// Stage 6.2: neighbouring cells meet corner to corner; the outer faces are boundaries.

void control_de_coordenades() {
    State &st = state();
    // Steps of the neighbours numbered as corners 2 to 8.
    static const int steps[7][3] = {{1, 0, 0}, {1, 1, 0}, {0, 1, 0}, {0, 1, 1},
                                    {0, 0, 1}, {1, 0, 1}, {1, 1, 1}};
    // The comparison is in single precision: each plane of cells is converted once into a
    // small table of float origins and widths, and every cell is compared with its neighbours
    // in the same plane and the next one from those tables.
    struct Corners {
        float origin[3], width[3];
    };
    const std::int64_t nj = st.My + 1, nk = st.Mz + 1;
    std::vector<Corners> planes[2];
    if (!allocate(planes[0], nj * nk, 0) || !allocate(planes[1], nj * nk, 0))
        return;
    const auto convert = [&](std::int64_t i, std::vector<Corners> &plane) {
        for (std::int64_t j = 0; j < nj; ++j) {
            const Cell *row = st.cellAt(i, j, 0);
            const bool whole = row && st.cellAt(i, j, nk - 1);
            for (std::int64_t k = 0; k < nk; ++k) {
                Corners &p = plane[static_cast<std::size_t>(j * nk + k)];
                const Cell *c = whole ? row + k : st.cellAt(i, j, k);
                const double origin[3] = {c ? c->x : 0, c ? c->y : 0, c ? c->z : 0};
                const double width[3] = {c ? c->dx : 0, c ? c->dy : 0, c ? c->dz : 0};
                for (int a = 0; a < 3; ++a) {
                    p.origin[a] = toFloat(origin[a]);
                    p.width[a] = toFloat(width[a]);
                }
            }
        }
    };
    if (st.Mx > 0)
        convert(0, planes[1]);
    for (std::int64_t i = 0; i < st.Mx; ++i) {
        std::swap(planes[0], planes[1]);
        convert(i + 1, planes[1]);
        for (std::int64_t j = 0; j < st.My; ++j) {
            for (std::int64_t k = 0; k < st.Mz; ++k) {
                const Corners &c = planes[0][static_cast<std::size_t>(j * nk + k)];
                const float far[3] = {c.origin[0] + c.width[0], c.origin[1] + c.width[1],
                                      c.origin[2] + c.width[2]};
                const float tolerance[3] = {0.001f * c.width[0], 0.001f * c.width[1],
                                            0.001f * c.width[2]};
                for (int corner = 0; corner < 7; ++corner) {
                    const int *d = steps[corner];
                    const Corners &nb =
                        planes[d[0]][static_cast<std::size_t>((j + d[1]) * nk + k + d[2])];
                    bool match = true;
                    for (int a = 0; a < 3; ++a)
                        match &=
                            std::fabs(nb.origin[a] - (d[a] ? far[a] : c.origin[a])) <= tolerance[a];
                    if (!match) {
                        const Cell *cell = st.cellAt(i, j, k);
                        const Cell *other = st.cellAt(i + d[0], j + d[1], k + d[2]);
                        message(72009, cell ? cell->volum : 0, other ? other->volum : 0,
                                static_cast<float>(corner + 2));
                        return;
                    }
                }
            }
        }
    }

    // Outer faces, in the order k = 0, k = Mz, j = 0, i = 0, j = My, i = Mx.
    enum Kind { kCode72010, kFirst, kLast };
    const struct {
        int fixed;          // axis held fixed: 0 x, 1 y, 2 z
        std::int64_t value; // its index
        Kind kind;
    } faces[] = {{2, 0, kCode72010}, {2, st.Mz, kLast}, {1, 0, kFirst},
                 {0, 0, kFirst},     {1, st.My, kLast}, {0, st.Mx, kLast}};
    const std::int64_t top[3] = {st.Mx, st.My, st.Mz};
    for (const auto &f : faces) {
        const int a = f.fixed == 0 ? 1 : 0;
        const int b = f.fixed == 2 ? 1 : 2;
        for (std::int64_t u = 0; u <= top[a]; ++u) {
            for (std::int64_t w = 0; w <= top[b]; ++w) {
                std::int64_t idx[3];
                idx[f.fixed] = f.value;
                idx[a] = u;
                idx[b] = w;
                const Cell *c = st.cellAt(idx[0], idx[1], idx[2]);
                const std::int32_t type = c ? c->cell_type : -1;
                if (type >= 2)
                    continue;
                if (f.kind == kCode72010)
                    message(72010, c ? c->volum : 0, type);
                else
                    writeLine(ListLine().text(f.kind == kFirst
                                                  ? "ERROR LA PRIMERA MALLA ES SILICI O OXID"
                                                  : "ERROR LA ULTIMA MALLA ES SILICI O OXID"));
                return;
            }
        }
    }
}

// ---------------------------------------------------------------------------------------------
// Stage 6.3: node types.

namespace {

// 35 to the power of a cell's type; cells outside the table and of type -1 count 0.
std::int64_t typeWeight(const Cell *c) {
    if (!c || c->cell_type < 0 || c->cell_type > 11)
        return 0;
    std::int64_t w = 1;
    for (int t = 0; t < c->cell_type; ++t)
        w *= 35;
    return w;
}

// A cell of the outer ring, counting 0 beyond the largest mesh index of its axis.
std::int64_t ringWeight(std::int64_t i, std::int64_t j, std::int64_t k) {
    State &st = state();
    if (i < 0 || j < 0 || k < 0 || i > st.Mx || j > st.My || k > st.Mz)
        return 0;
    return typeWeight(st.cellAt(i, j, k));
}

constexpr std::int64_t k35_2 = 35 * 35;      // one cell of type 2
constexpr std::int64_t k35_3 = 35 * 35 * 35; // one cell of type 3

// 35 to the power of t, for the cell types t = 0 .. 11 that carry a weight.
constexpr int kWeightedTypes = 12;
constexpr std::array<std::int64_t, kWeightedTypes> kTypeWeights = [] {
    std::array<std::int64_t, kWeightedTypes> w{};
    std::int64_t p = 1;
    for (auto &x : w) {
        x = p;
        p *= 35;
    }
    return w;
}();

// The cell types of the grid with a border of one cell on every side, so that the signatures of
// every inner node read their cells at fixed offsets without bounds tests. A cell beyond the
// largest mesh index of its axis, or of a type without weight, holds -1 (weight 0).
class TypeGrid {
public:
    bool fill(State &st) {
        ni_ = st.Mx + 3;
        nj_ = st.My + 3;
        nk_ = st.Mz + 3;
        if (!allocate(types_, ni_ * nj_ * nk_, 0, std::int8_t(-1)))
            return false;
        computeOffsets();
        for (std::int64_t i = 0; i <= st.Mx; ++i)
            for (std::int64_t j = 0; j <= st.My; ++j) {
                const Cell *row = st.cellAt(i, j, 0);
                if (!row || !st.cellAt(i, j, st.Mz))
                    continue;
                for (std::int64_t k = 0; k <= st.Mz; ++k) {
                    const std::int32_t type = row[k].cell_type;
                    if (type >= 0 && type < kWeightedTypes)
                        types_[index(i, j, k)] = static_cast<std::int8_t>(type);
                }
            }
        return true;
    }
    // The type of cell (i, j, k), for i, j, k from -1 to one past the largest mesh index; -1
    // there and for types without weight.
    std::int8_t type(std::int64_t i, std::int64_t j, std::int64_t k) const {
        return types_[index(i, j, k)];
    }
    // suma_contigua_8 and suma_externa_24 of inner node (i, j, k), read at fixed offsets from
    // the node's own cell.
    std::int64_t contiguous8(std::int64_t i, std::int64_t j, std::int64_t k) const {
        return sum(index(i, j, k), offsets8_);
    }
    std::int64_t external24(std::int64_t i, std::int64_t j, std::int64_t k) const {
        return sum(index(i, j, k), offsets24_);
    }

private:
    std::size_t index(std::int64_t i, std::int64_t j, std::int64_t k) const {
        return static_cast<std::size_t>(((i + 1) * nj_ + (j + 1)) * nk_ + (k + 1));
    }
    template <std::size_t N>
    std::int64_t sum(std::size_t at, const std::array<std::ptrdiff_t, N> &offsets) const {
        std::int64_t total = 0;
        for (const std::ptrdiff_t offset : offsets) {
            const std::int8_t t =
                types_[static_cast<std::size_t>(static_cast<std::ptrdiff_t>(at) + offset)];
            total += t < 0 ? 0 : kTypeWeights[static_cast<std::size_t>(t)];
        }
        return total;
    }
    void computeOffsets() {
        const auto offset = [&](std::int64_t di, std::int64_t dj, std::int64_t dk) {
            return static_cast<std::ptrdiff_t>((di * nj_ + dj) * nk_ + dk);
        };
        std::size_t n = 0;
        for (std::int64_t a = -1; a <= 0; ++a)
            for (std::int64_t b = -1; b <= 0; ++b)
                for (std::int64_t c = -1; c <= 0; ++c)
                    offsets8_[n++] = offset(a, b, c);
        n = 0;
        for (std::int64_t u = 0; u < 2; ++u)
            for (std::int64_t w = 0; w < 2; ++w) {
                offsets24_[n++] = offset(1, -1 + u, -1 + w);
                offsets24_[n++] = offset(-2, -1 + u, -1 + w);
                offsets24_[n++] = offset(-1 + u, 1, -1 + w);
                offsets24_[n++] = offset(-1 + u, -2, -1 + w);
                offsets24_[n++] = offset(-1 + u, -1 + w, 1);
                offsets24_[n++] = offset(-1 + u, -1 + w, -2);
            }
    }
    std::vector<std::int8_t> types_;
    std::int64_t ni_ = 0, nj_ = 0, nk_ = 0;
    std::array<std::ptrdiff_t, 8> offsets8_{};
    std::array<std::ptrdiff_t, 24> offsets24_{};
};

// The numbering rule that an inner node falls under, from its signatures.
enum NodeRule : std::int8_t {
    kNoRule,
    kBulk,         // S8 < 35^2 (only cells of types 0 and 1) and S24 < 35^3: node type 1
    kNearBoundary, // S8 < 35^2 and S24 >= 35^3: node type 2
    kOnBoundary,   // 4 x 35^2 <= S8 < 35^3 (four cells of type 2 or more, none of type 3): type 2
    kContact,      // S8 >= 35^3 and cells of type 0 or 1 among the eight: a contact node
};

NodeRule nodeRule(const TypeGrid &types, std::int64_t i, std::int64_t j, std::int64_t k) {
    const std::int64_t s8 = types.contiguous8(i, j, k);
    if (s8 < k35_2)
        return types.external24(i, j, k) < k35_3 ? kBulk : kNearBoundary;
    if (s8 >= 4 * k35_2 && s8 < k35_3)
        return kOnBoundary;
    if (s8 >= k35_3 && (s8 % k35_3) % k35_2 > 0)
        return kContact;
    return kNoRule;
}

} // namespace

std::int64_t suma_contigua_8(std::int64_t i, std::int64_t j, std::int64_t k) {
    std::int64_t sum = 0;
    for (std::int64_t a = i - 1; a <= i; ++a)
        for (std::int64_t b = j - 1; b <= j; ++b)
            for (std::int64_t c = k - 1; c <= k; ++c)
                sum += ringWeight(a, b, c);
    return sum;
}

std::int64_t suma_externa_24(std::int64_t i, std::int64_t j, std::int64_t k) {
    std::int64_t sum = 0;
    for (std::int64_t u = 0; u < 2; ++u) {
        for (std::int64_t w = 0; w < 2; ++w) {
            sum +=
                ringWeight(i + 1, j - 1 + u, k - 1 + w) + ringWeight(i - 2, j - 1 + u, k - 1 + w);
            sum +=
                ringWeight(i - 1 + u, j + 1, k - 1 + w) + ringWeight(i - 1 + u, j - 2, k - 1 + w);
            sum +=
                ringWeight(i - 1 + u, j - 1 + w, k + 1) + ringWeight(i - 1 + u, j - 1 + w, k - 2);
        }
    }
    return sum;
}

void definicio_tipus_de_nodes() {
    State &st = state();
    const Settings &s = st.s;

    if (s.omega_on) {
        if (s.omega_x2 > st.Mx + 1 || s.omega_x1 < 0 || s.omega_y2 > st.My + 1 || s.omega_y1 < 0 ||
            s.omega_z2 > st.Mz + 1 || s.omega_z1 < 0)
            message(3006); // reported unless a later rule of this stage replaces it
    }

    // Nodes run from 0 to M + 1 on each axis; node (i, j, k) keeps its type in cell (i, j, k)
    // when the table has that cell, and its number in indmalla. Both are reached by strides; an
    // index outside either table is skipped, as cellAt and nodeAt would.
    const std::int64_t cellJ = st.Nz + 1, cellI = (st.Ny + 1) * cellJ;
    const std::int64_t nodeJ = st.Nz + 2, nodeI = (st.Ny + 2) * nodeJ;
    const auto cellOfNode = [&](std::int64_t i, std::int64_t j, std::int64_t k) -> Cell * {
        if (i > st.Nx || j > st.Ny || k > st.Nz)
            return nullptr;
        const auto at = static_cast<std::size_t>(i * cellI + j * cellJ + k);
        return at < st.malla.size() ? &st.malla[at] : nullptr;
    };
    for (std::int64_t i = 0; i <= st.Mx + 1; ++i)
        for (std::int64_t j = 0; j <= st.My + 1; ++j)
            for (std::int64_t k = 0; k <= st.Mz + 1; ++k)
                if (Cell *c = cellOfNode(i, j, k))
                    c->node_type = 10;

    // Signatures of the inner nodes, classified once by the rule that numbers them.
    const std::int64_t ni = st.Mx, nj = st.My, nk = st.Mz;
    std::vector<std::int8_t> rule;
    TypeGrid types;
    if (!types.fill(st) || !allocate(rule, ni * nj * nk, 0))
        return;
    {
        std::size_t at = 0;
        for (std::int64_t i = 1; i <= ni; ++i)
            for (std::int64_t j = 1; j <= nj; ++j)
                for (std::int64_t k = 1; k <= nk; ++k)
                    rule[at++] = nodeRule(types, i, j, k);
    }
    const auto inner = [&](std::int64_t i, std::int64_t j, std::int64_t k) {
        return static_cast<std::size_t>(((i - 1) * nj + (j - 1)) * nk + (k - 1));
    };

    std::int32_t number = 0;
    const auto give = [&](std::int64_t i, std::int64_t j, std::int64_t k, std::int32_t type) {
        ++number;
        if (Cell *c = cellOfNode(i, j, k))
            c->node_type = static_cast<std::int8_t>(type);
        const auto at = static_cast<std::size_t>(number);
        if (at < st.indx.size()) {
            st.indx[at] = type;
            st.indxm[at] = clampInt(i);
            st.indym[at] = clampInt(j);
            st.indzm[at] = clampInt(k);
        }
        const auto node = static_cast<std::size_t>(i * nodeI + j * nodeJ + k);
        if (node < st.indmalla.size())
            st.indmalla[node] = number;
    };
    const auto innerPass = [&](NodeRule which, std::int32_t type) {
        for (std::int64_t i = 1; i <= ni; ++i)
            for (std::int64_t j = 1; j <= nj; ++j)
                for (std::int64_t k = 1; k <= nk; ++k)
                    if (rule[inner(i, j, k)] == which)
                        give(i, j, k, type);
    };

    innerPass(kBulk, 1);
    st.last_type1_node = number;
    innerPass(kNearBoundary, 2);
    innerPass(kOnBoundary, 2);
    st.last_type2_node = number;

    // Contact nodes: inner nodes touching type-3 cells and cells of type 0 or 1, grouped by the
    // volum of their type-3 cells.
    struct ContactNode {
        std::int64_t i, j, k;
        std::int32_t volum;
    };
    std::vector<ContactNode> contacts;
    static const int order[8][3] = {{0, 0, 0},   {-1, -1, -1}, {0, -1, -1}, {0, 0, -1},
                                    {-1, 0, -1}, {-1, 0, 0},   {-1, -1, 0}, {0, -1, 0}};
    for (std::int64_t i = 1; i <= ni; ++i)
        for (std::int64_t j = 1; j <= nj; ++j)
            for (std::int64_t k = 1; k <= nk; ++k) {
                if (rule[inner(i, j, k)] != kContact)
                    continue;
                std::int32_t owner = 0;
                for (const auto &o : order) {
                    const Cell *c = st.cellAt(i + o[0], j + o[1], k + o[2]);
                    if (c && c->cell_type == 3)
                        owner = c->volum;
                }
                contacts.push_back({i, j, k, owner});
            }
    // Volum by volum, each in scan order.
    std::stable_sort(contacts.begin(), contacts.end(),
                     [](const ContactNode &a, const ContactNode &b) { return a.volum < b.volum; });
    auto next = contacts.begin();
    for (int v = 1; v <= st.nvol; ++v) {
        const auto at = static_cast<std::size_t>(v);
        if (at < st.prim_nod_cont.size())
            st.prim_nod_cont[at] = number + 1;
        while (next != contacts.end() && next->volum < v)
            ++next; // a contact node without an owner volum is numbered with the rest
        for (; next != contacts.end() && next->volum == v; ++next)
            give(next->i, next->j, next->k, 5);
        if (at < st.ult_nod_cont.size())
            st.ult_nod_cont[at] = number;
    }

    for (std::int64_t i = 0; i <= st.Mx + 1; ++i)
        for (std::int64_t j = 0; j <= st.My + 1; ++j)
            for (std::int64_t k = 0; k <= st.Mz + 1; ++k) {
                const Cell *c = cellOfNode(i, j, k);
                if (!c || c->node_type == 10)
                    give(i, j, k, 10);
            }
    st.last_bulk_node = number;
    st.nodes_numbered = number;

    // Contact face markers between cells of type 0 and reservoir-kind neighbours of type 3.
    static const int faces[6][3] = {{1, 0, 0},  {0, 1, 0},  {0, 0, 1},
                                    {-1, 0, 0}, {0, -1, 0}, {0, 0, -1}};
    for (std::int64_t i = 1; i <= st.Mx; ++i)
        for (std::int64_t j = 1; j <= st.My; ++j)
            for (std::int64_t k = 1; k <= st.Mz; ++k) {
                // The byte grid of cell types answers first; cells are read only at contacts.
                if (types.type(i, j, k) != 0)
                    continue;
                Cell *c = st.cellAt(i, j, k);
                if (!c || c->cell_type != 0)
                    continue;
                for (int f = 0; f < 6; ++f) {
                    if (types.type(i + faces[f][0], j + faces[f][1], k + faces[f][2]) != 3)
                        continue;
                    Cell *nb = st.cellAt(i + faces[f][0], j + faces[f][1], k + faces[f][2]);
                    if (!nb || nb->cell_type != 3 || nb->volum < 1 || nb->volum > st.nvol ||
                        st.volum[static_cast<std::size_t>(nb->volum)].kind != 1)
                        continue;
                    c->setMarker(f, 1);
                    nb->setMarker((f + 3) % 6, 2);
                }
            }

    const std::int64_t expected = (st.Mx + 2) * (st.My + 2) * (st.Mz + 2);
    if (number != expected) {
        writeLine(ListLine()
                      .text("ULTIM NODE:")
                      .integer(number)
                      .text(" DIFERENT DE MAX:")
                      .integer(clampInt(expected)));
        return;
    }

    // The source (i = 0) and drain (i = Mx) faces must be covered by their contact up to the
    // corners: a corner whose cells are all Neumann boundary means the contact is too small.
    const auto cornerIsNeumann = [&](std::int64_t i, std::int64_t j0, std::int64_t k0) {
        const std::int64_t dj = j0 == 0 ? 1 : -1, dk = k0 == 0 ? 1 : -1;
        for (const std::int64_t j : {j0, j0 + dj})
            for (const std::int64_t k : {k0, k0 + dk}) {
                if (j < 0 || j > st.My || k < 0 || k > st.Mz)
                    continue;
                const Cell *c = st.cellAt(i, j, k);
                if (!c || c->cell_type != 2)
                    return false;
            }
        return true;
    };
    const auto faceCornersNeumann = [&](std::int64_t i) {
        return cornerIsNeumann(i, 0, 0) || cornerIsNeumann(i, 0, st.Mz) ||
               cornerIsNeumann(i, st.My, 0) || cornerIsNeumann(i, st.My, st.Mz);
    };
    if (faceCornersNeumann(0)) {
        message(3027);
        return;
    }
    if (faceCornersNeumann(st.Mx))
        message(3028);
}

// ---------------------------------------------------------------------------------------------
// Stage 6.4: axis tables.

void traduccio_variables_definicio_dispositiu() {
    State &st = state();
    // Along each axis, the row of cells that starts at cell (0, 0, 0).
    const struct {
        std::int64_t last;
        std::vector<double> &origins, &widths;
        double Cell::*origin;
        double Cell::*width;
    } axes[3] = {{st.Mx, st.cx, st.dx, &Cell::x, &Cell::dx},
                 {st.My, st.cy, st.dy, &Cell::y, &Cell::dy},
                 {st.Mz, st.cz, st.dz, &Cell::z, &Cell::dz}};
    for (int a = 0; a < 3; ++a) {
        for (std::int64_t n = 0; n <= axes[a].last; ++n) {
            const Cell *c = st.cellAt(a == 0 ? n : 0, a == 1 ? n : 0, a == 2 ? n : 0);
            const auto at = static_cast<std::size_t>(n);
            if (c && at < axes[a].widths.size() && at + 1 < axes[a].origins.size()) {
                axes[a].origins[at] = c->*axes[a].origin;
                axes[a].widths[at] = c->*axes[a].width;
                axes[a].origins[at + 1] = c->*axes[a].origin + c->*axes[a].width;
            }
        }
    }
}

// ---------------------------------------------------------------------------------------------
// Stage 6.

void traduccio_volum() {
    definicio_de_volums();
    if (noError())
        control_de_coordenades();
    if (noError())
        definicio_tipus_de_nodes();
    if (noError())
        traduccio_variables_definicio_dispositiu();
}

} // namespace comprova
