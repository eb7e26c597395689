#ifndef KARVENO_VIEW_SCENEDRAWING_H
#define KARVENO_VIEW_SCENEDRAWING_H

// Small immediate-mode drawing helpers shared by the view and the model's draw methods. They need a
// current OpenGL 1.x (compatibility) context and keep no per-context state, so they work unchanged
// when the view is replaced and a new context comes up.

namespace scene {

// Colour of a volum or atom whose material is missing from the registry.
inline constexpr float kNeutralColor[3] = {0.55f, 0.55f, 0.55f};
// Colour of a picked volum or atom.
inline constexpr float kSelectedColor[3] = {1.0f, 0.0f, 0.0f};

// Atom spheres: radius 0.1, 10 slices around z, 10 stacks.
inline constexpr double kAtomRadius = 0.1;
inline constexpr int kAtomSlices = 10;
inline constexpr int kAtomStacks = 10;

// Mesh lines drawn per axis at most: beyond this they merge into a filled face on any screen, and a
// huge count must not stall the frame.
inline constexpr int kMaxMeshDivisions = 1000;

// The six faces of the box [min, max] in the current colour, shaded a little per face (top face
// brightest) so that the box reads as a solid without lighting.
void drawShadedBox(const double min[3], const double max[3]);

// Mesh lines on the six faces of the box [min, max]: divisions[a] equal parts along axis a, both
// end faces included. A count below 1 draws the end faces only.
void drawMeshLines(const double min[3], const double max[3], const int divisions[3]);

// Mesh lines at every stride[a]-th division along axis a (and always on both end faces), so that
// a thinned mesh still shows true mesh lines.
void drawMeshLines(const double min[3], const double max[3], const int divisions[3],
                   const int stride[3]);

// Screen spacing of mesh lines, in logical pixels, below which they are thinned out, and the
// spacing of what is left below which they fade.
inline constexpr double kMinMeshSpacingPixels = 4.0;
inline constexpr double kFadeMeshSpacingPixels = 10.0;

// Every how many divisions a mesh line is drawn when neighbouring lines lie spacingPixels apart
// on screen: 1 when they are far enough apart.
int meshStride(double spacingPixels);

// Sets the current colour for mesh lines on a face of the given colour (0 to 1 each): dark on
// light faces, light on dark ones, more transparent the closer the lines crowd together.
void setMeshLineColour(const float face[3], double spacingPixels);

// One atom sphere centred at (x, y, z) in the current colour.
void drawSphere(double x, double y, double z);

// Line widths are given in logical pixels; the view sets the device pixel ratio of its frame so
// that lines keep their weight on high-density screens.
void setLineScale(double devicePixelRatio);
void setLineWidth(float logicalPixels);

// Grid lines `spacing` apart on the three coordinate planes of the positive octant, from 0 to
// extent, in immediate mode (the view compiles them into a display list once).
void drawGridLines(double extent, double spacing);

} // namespace scene

#endif
