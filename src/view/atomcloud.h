#ifndef KARVENO_VIEW_ATOMCLOUD_H
#define KARVENO_VIEW_ATOMCLOUD_H

// The atoms of the visible volums, gathered once per change of the design into one position
// array per colour and cut into small chunks with their bounds. A frame then draws each chunk
// with as much detail as it shows on screen (lit spheres near the eye, coarse spheres further
// away, points where an atom covers a pixel or two) and skips the chunks outside the view, so
// that a million atoms cost a few calls instead of a million.

#include <QList>

#include <cstdint>
#include <vector>

class Volum;

class AtomCloud {
public:
    // What the frame needs to choose the detail and cull: the eye, the pixels one length unit
    // covers at unit distance, and the combined projection x model-view matrix (column-major).
    struct View {
        double eye[3];
        double pixelsPerUnit;
        double clip[16];
        int width, height; // the viewport, device pixels
    };

    // Gathers the atoms of the visible volums: red for a picked atom, otherwise its material's
    // colour, neutral grey without a material.
    void rebuild(const QList<Volum> &volums);
    void clear();
    std::size_t atomCount() const { return count; }

    // Needs a current compatibility context; leaves lighting off and no client array enabled.
    // Draw it first in the frame, right after the clear: far atoms may be written straight into
    // the colour and depth buffers.
    void draw(const View &view);
    // Forgets the display lists of a context that went away (a new one compiles its own).
    void releaseLists();

private:
    struct Chunk {
        std::uint32_t first;
        std::uint32_t count;
        float min[3];
        float max[3];
    };
    struct Group {
        unsigned char rgb[3];
        std::vector<float> positions; // x, y, z per atom
        std::vector<Chunk> chunks;
    };
    std::vector<Group> groups;
    // Far atoms, each well under a pixel, in numbers a rasteriser draws slowly one point at a
    // time: projected on the processor into a picture with depth (nearest atom per pixel) and
    // written with two pixel transfers. False when there were too few to be worth it.
    bool splatFarAtoms(const View &view, std::vector<const Chunk *> &far,
                       std::vector<const Group *> &farGroups);
    std::vector<float> splatDepth;
    std::vector<std::uint32_t> splatColour;

    std::size_t count = 0;
    unsigned int sphereLists = 0; // full and coarse sphere, in the current context
};

#endif
