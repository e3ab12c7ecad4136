#pragma once
// A tiny ray marcher for our sprites and buildings. Models are unions of
// rounded solids; the camera looks down from the front at a fixed angle and
// the light always comes from the top left of the screen, so a model turned
// to face another way is still lit like its neighbours on the map.

#include <QColor>
#include <QPointF>

#include <cmath>
#include <vector>

namespace art {

struct V3 {
    double x = 0, y = 0, z = 0;
};

inline V3 operator+(V3 a, V3 b) { return {a.x + b.x, a.y + b.y, a.z + b.z}; }
inline V3 operator-(V3 a, V3 b) { return {a.x - b.x, a.y - b.y, a.z - b.z}; }
inline V3 operator-(V3 a) { return {-a.x, -a.y, -a.z}; }
inline V3 operator*(V3 a, double k) { return {a.x * k, a.y * k, a.z * k}; }
inline V3 operator*(double k, V3 a) { return a * k; }
inline double dot(V3 a, V3 b) { return a.x * b.x + a.y * b.y + a.z * b.z; }
inline V3 cross(V3 a, V3 b) { return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x}; }
inline double length(V3 a) { return std::sqrt(dot(a, a)); }
inline V3 normalized(V3 a)
{
    const double l = length(a);
    return l > 0 ? a * (1.0 / l) : a;
}

// Local axes of a solid, in model space.
struct Basis {
    V3 ax{1, 0, 0}, ay{0, 1, 0}, az{0, 0, 1};
    V3 toLocal(V3 d) const { return {dot(d, ax), dot(d, ay), dot(d, az)}; }
    V3 toModel(V3 l) const { return ax * l.x + ay * l.y + az * l.z; }
};

// yaw turns about the vertical (positive turns the nose, +x, toward -z: away
// from the viewer of a right-facing model), pitch raises the nose, roll banks.
Basis rotation(double yawDeg, double pitchDeg, double rollDeg);

struct Material {
    enum class Mode {
        Team,    // the red team ramp, lit; colour ignored
        Colour,  // the given colour, lit
        Glow,    // the given colour, unlit
    };
    enum class Pattern { None, Treads, Windows };

    Mode mode = Mode::Team;
    QColor colour;
    double albedo = 0.8;
    double shine = 0.25;
    Pattern pattern = Pattern::None;
    double period = 2.0;   // tread links or window spacing
    QColor accent;         // lit windows
};

// A lamp or an engine: its own colour, whatever the light.
inline Material glowing(QColor c)
{
    Material m;
    m.mode = Material::Mode::Glow;
    m.colour = c;
    return m;
}

struct Shape {
    enum class Kind { Box, Ellipsoid, Cylinder, Capsule, Torus };

    Kind kind = Kind::Box;
    V3 centre;
    Basis basis;
    // Box: half sizes. Ellipsoid: radii. Cylinder (along local y): x radius,
    // y half height. Capsule (along y): x radius, y half length of the core.
    // Torus (in the local xz plane): x ring radius, y tube radius.
    V3 size;
    double round = 0;
    int material = 0;

    struct Plane {
        V3 n;
        double d;
    };
    std::vector<Plane> clips;  // keep local points with dot(n, p) <= d

    Shape& rot(double yawDeg, double pitchDeg = 0, double rollDeg = 0);
    // Along an axis: 'x', 'y' or 'z' for cylinders and tori.
    Shape& along(char axis);
    // Cuts the solid down to where dot(normal, p) <= d in local coordinates.
    Shape& clip(V3 normal, double d);
};

struct Model {
    std::vector<Shape> shapes;
    std::vector<Material> materials;
    int add(const Material& m)
    {
        materials.push_back(m);
        return int(materials.size()) - 1;
    }
    Shape& box(V3 c, V3 half, int m, double round = 0.4);
    Shape& ellipsoid(V3 c, V3 radii, int m);
    Shape& sphere(V3 c, double r, int m) { return ellipsoid(c, {r, r, r}, m); }
    Shape& cylinder(V3 c, char axis, double radius, double halfLength, int m, double round = 0.2);
    Shape& capsule(V3 a, V3 b, double radius, int m);
    Shape& torus(V3 c, char axis, double ring, double tube, int m);
};

struct View {
    double elevation = 32;  // degrees above the horizon
    double yaw = 0;         // the model's turn: 0 faces right, 90 away, -90 toward us, 180 left
    bool mirrored = false;  // swap the model's sides, so the same side faces us either way
    double scale = 1;       // pixels per model unit
    int supersample = 4;
    bool selfShadow = true;
    bool groundShadow = false;  // darken the ground plane (y = 0) where the model shades it
    // Light: a base level, the key light from the top left, and a fill from the viewer.
    double ambient = 0.26;
    double key = 0.82;
    double fill = 0.2;
};

// One rendered pixel: colour of the covered part, coverage 0..1, ground
// shadow 0..1 over the uncovered part, and the mean depth of the covered part.
struct Pixel {
    double r = 0, g = 0, b = 0;
    double cover = 0;
    double shadow = 0;
    double depth = 0;
};

struct Frame {
    int width = 0;
    int height = 0;
    std::vector<Pixel> pixels;
    Pixel& at(int x, int y) { return pixels[size_t(y * width + x)]; }
    const Pixel& at(int x, int y) const { return pixels[size_t(y * width + x)]; }
};

// Renders with the model's origin (on the ground) at `origin` on the frame.
Frame render(const Model& model, const View& view, int width, int height, QPointF origin);

}  // namespace art
