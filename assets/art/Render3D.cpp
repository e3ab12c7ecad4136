#include "Render3D.h"

#include "Palette.h"

#include <algorithm>
#include <limits>

namespace art {

namespace {

constexpr double Pi = 3.14159265358979323846;
double rad(double deg) { return deg * Pi / 180.0; }

V3 vmax(V3 a, double k) { return {std::max(a.x, k), std::max(a.y, k), std::max(a.z, k)}; }
V3 vabs(V3 a) { return {std::fabs(a.x), std::fabs(a.y), std::fabs(a.z)}; }
double fract(double v) { return v - std::floor(v); }

double len2(double x, double y) { return std::sqrt(x * x + y * y); }

double boxDist(V3 p, V3 s, double r)
{
    const V3 q = vabs(p) - (s - V3{r, r, r});
    return length(vmax(q, 0)) + std::min(std::max(q.x, std::max(q.y, q.z)), 0.0) - r;
}

double ellipsoidDist(V3 p, V3 s)
{
    const double k0 = length({p.x / s.x, p.y / s.y, p.z / s.z});
    const double k1 = length({p.x / (s.x * s.x), p.y / (s.y * s.y), p.z / (s.z * s.z)});
    if (k1 <= 1e-12)
        return -std::min(s.x, std::min(s.y, s.z));
    return k0 * (k0 - 1.0) / k1;
}

double cylinderDist(V3 p, V3 s, double r)
{
    const double dx = len2(p.x, p.z) - (s.x - r);
    const double dy = std::fabs(p.y) - (s.y - r);
    return std::min(std::max(dx, dy), 0.0) + len2(std::max(dx, 0.0), std::max(dy, 0.0)) - r;
}

double capsuleDist(V3 p, V3 s)
{
    const double y = std::clamp(p.y, -s.y, s.y);
    return length({p.x, p.y - y, p.z}) - s.x;
}

double torusDist(V3 p, V3 s)
{
    return len2(len2(p.x, p.z) - s.x, p.y) - s.y;
}

double shapeDist(const Shape& sh, V3 local)
{
    double d = 0;
    switch (sh.kind) {
    case Shape::Kind::Box: d = boxDist(local, sh.size, sh.round); break;
    case Shape::Kind::Ellipsoid: d = ellipsoidDist(local, sh.size); break;
    case Shape::Kind::Cylinder: d = cylinderDist(local, sh.size, sh.round); break;
    case Shape::Kind::Capsule: d = capsuleDist(local, sh.size); break;
    case Shape::Kind::Torus: d = torusDist(local, sh.size); break;
    }
    for (const auto& c : sh.clips)
        d = std::max(d, dot(c.n, local) - c.d);
    return d;
}

double boundOf(const Shape& sh)
{
    const V3 s = sh.size;
    switch (sh.kind) {
    case Shape::Kind::Box: return length(s) + 0.01;
    case Shape::Kind::Ellipsoid: return std::max(s.x, std::max(s.y, s.z)) + 0.01;
    case Shape::Kind::Cylinder: return len2(s.x, s.y) + 0.01;
    case Shape::Kind::Capsule: return s.x + s.y + 0.01;
    case Shape::Kind::Torus: return s.x + s.y + 0.01;
    }
    return 1e9;
}

struct Scene {
    const Model& model;
    std::vector<double> bounds;

    explicit Scene(const Model& m) : model(m)
    {
        for (const auto& s : m.shapes)
            bounds.push_back(boundOf(s));
    }

    double dist(V3 p, int* which = nullptr) const
    {
        double best = std::numeric_limits<double>::max();
        int bestIndex = -1;
        for (size_t i = 0; i < model.shapes.size(); ++i) {
            const Shape& s = model.shapes[i];
            const V3 d = p - s.centre;
            if (length(d) - bounds[i] > best)
                continue;
            const double sd = shapeDist(s, s.basis.toLocal(d));
            if (sd < best) {
                best = sd;
                bestIndex = int(i);
            }
        }
        if (which)
            *which = bestIndex;
        return best;
    }

    V3 normal(V3 p) const
    {
        const double h = 0.01;
        const V3 k1{1, -1, -1}, k2{-1, -1, 1}, k3{-1, 1, -1}, k4{1, 1, 1};
        return normalized(k1 * dist(p + k1 * h) + k2 * dist(p + k2 * h) + k3 * dist(p + k3 * h)
                          + k4 * dist(p + k4 * h));
    }

    // 1 in full light, toward 0 in the shade of other parts.
    double softShadow(V3 p, V3 l, double tMax) const
    {
        double res = 1.0;
        double t = 0.08;
        for (int i = 0; i < 64 && t < tMax; ++i) {
            const double h = dist(p + l * t);
            if (h < 0.002)
                return 0.0;
            res = std::min(res, 6.0 * h / t);
            t += std::clamp(h, 0.05, 1.0);
        }
        return std::clamp(res, 0.0, 1.0);
    }

    double occlusion(V3 p, V3 n) const
    {
        double occ = 0.0, w = 1.0;
        for (int i = 1; i <= 5; ++i) {
            const double h = 0.35 * i;
            occ += (h - dist(p + n * h)) * w;
            w *= 0.6;
        }
        return std::clamp(1.0 - 0.45 * occ, 0.35, 1.0);
    }
};

struct Colour {
    double r, g, b;
};

Colour shade(const Scene& scene, int which, V3 p, V3 n, V3 light, V3 toEye, const View& view)
{
    const Shape& sh = scene.model.shapes[size_t(which)];
    const Material& m = scene.model.materials[size_t(sh.material)];
    if (m.mode == Material::Mode::Glow)
        return {double(m.colour.red()), double(m.colour.green()), double(m.colour.blue())};

    const V3 local = sh.basis.toLocal(p - sh.centre);
    const V3 nl = sh.basis.toLocal(n);
    double albedo = m.albedo;
    bool window = false;
    switch (m.pattern) {
    case Material::Pattern::None: break;
    case Material::Pattern::Treads:
        if (fract(local.x / m.period) < 0.45)
            albedo *= 0.62;
        break;
    case Material::Pattern::Windows:
        if (std::fabs(nl.y) < 0.5 && std::fabs(local.y) < sh.size.y - 0.7) {
            const double u = std::fabs(nl.x) > std::fabs(nl.z) ? local.z : local.x;
            const double fu = fract(u / m.period + 0.5);
            const double fv = fract(local.y / m.period + 0.5);
            window = fu > 0.25 && fu < 0.75 && fv > 0.3 && fv < 0.75;
        }
        break;
    }

    const double ndl = std::max(0.0, dot(n, light));
    const double sh2 = view.selfShadow && ndl > 0 ? 0.45 + 0.55 * scene.softShadow(p + n * 0.03, light, 30) : 1.0;
    const double ao = scene.occlusion(p, n);
    const V3 half = normalized(light + toEye);
    const double shine = m.shine * std::pow(std::max(0.0, dot(n, half)), 18.0) * sh2;
    // Key light from the top left, a weak fill from the viewer so faces in
    // the shade still show their shape.
    const double fill = std::max(0.0, dot(n, toEye));
    const double lit = (view.ambient + view.key * ndl * sh2 + view.fill * fill) * ao;

    if (window)
        return {double(m.accent.red()), double(m.accent.green()), double(m.accent.blue())};
    if (m.mode == Material::Mode::Team) {
        const QRgb c = teamRamp(albedo * lit + shine);
        return {double(qRed(c)), double(qGreen(c)), double(qBlue(c))};
    }
    return {m.colour.red() * albedo * lit + 255.0 * shine, m.colour.green() * albedo * lit + 255.0 * shine,
            m.colour.blue() * albedo * lit + 255.0 * shine};
}

}  // namespace

Basis rotation(double yawDeg, double pitchDeg, double rollDeg)
{
    const double cy = std::cos(rad(yawDeg)), sy = std::sin(rad(yawDeg));
    const double cp = std::cos(rad(pitchDeg)), sp = std::sin(rad(pitchDeg));
    const double cr = std::cos(rad(rollDeg)), sr = std::sin(rad(rollDeg));
    auto yaw = [&](V3 v) { return V3{cy * v.x + sy * v.z, v.y, -sy * v.x + cy * v.z}; };
    auto pitch = [&](V3 v) { return V3{cp * v.x - sp * v.y, sp * v.x + cp * v.y, v.z}; };
    auto roll = [&](V3 v) { return V3{v.x, cr * v.y - sr * v.z, sr * v.y + cr * v.z}; };
    auto all = [&](V3 v) { return yaw(pitch(roll(v))); };
    return {all({1, 0, 0}), all({0, 1, 0}), all({0, 0, 1})};
}

Shape& Shape::rot(double yawDeg, double pitchDeg, double rollDeg)
{
    const Basis r = rotation(yawDeg, pitchDeg, rollDeg);
    basis = {r.toModel(basis.ax), r.toModel(basis.ay), r.toModel(basis.az)};
    return *this;
}

Shape& Shape::along(char axis)
{
    switch (axis) {
    case 'x': basis = {{0, -1, 0}, {1, 0, 0}, {0, 0, 1}}; break;
    case 'z': basis = {{1, 0, 0}, {0, 0, 1}, {0, -1, 0}}; break;
    default: basis = {}; break;
    }
    return *this;
}

Shape& Shape::clip(V3 normal, double d)
{
    // Keeps dot(normal, p) <= d as given, with the normal made unit length.
    const double l = length(normal);
    clips.push_back({normal * (1.0 / l), d / l});
    return *this;
}

Shape& Model::box(V3 c, V3 half, int m, double round)
{
    Shape s;
    s.kind = Shape::Kind::Box;
    s.centre = c;
    s.size = half;
    s.round = std::min(round, std::min(half.x, std::min(half.y, half.z)));
    s.material = m;
    shapes.push_back(s);
    return shapes.back();
}

Shape& Model::ellipsoid(V3 c, V3 radii, int m)
{
    Shape s;
    s.kind = Shape::Kind::Ellipsoid;
    s.centre = c;
    s.size = radii;
    s.material = m;
    shapes.push_back(s);
    return shapes.back();
}

Shape& Model::cylinder(V3 c, char axis, double radius, double halfLength, int m, double round)
{
    Shape s;
    s.kind = Shape::Kind::Cylinder;
    s.centre = c;
    s.size = {radius, halfLength, 0};
    s.round = std::min(round, std::min(radius, halfLength));
    s.material = m;
    s.along(axis);
    shapes.push_back(s);
    return shapes.back();
}

Shape& Model::capsule(V3 a, V3 b, double radius, int m)
{
    Shape s;
    s.kind = Shape::Kind::Capsule;
    s.centre = (a + b) * 0.5;
    const V3 axis = b - a;
    const double half = length(axis) * 0.5;
    s.size = {radius, half, 0};
    s.material = m;
    // Any basis whose y runs from a to b.
    const V3 ay = half > 0 ? normalized(axis) : V3{0, 1, 0};
    const V3 helper = std::fabs(ay.y) < 0.9 ? V3{0, 1, 0} : V3{1, 0, 0};
    const V3 ax = normalized(cross(helper, ay));
    s.basis = {ax, ay, cross(ax, ay)};
    shapes.push_back(s);
    return shapes.back();
}

Shape& Model::torus(V3 c, char axis, double ring, double tube, int m)
{
    Shape s;
    s.kind = Shape::Kind::Torus;
    s.centre = c;
    s.size = {ring, tube, 0};
    s.material = m;
    s.along(axis);
    shapes.push_back(s);
    return shapes.back();
}

Frame render(const Model& model, const View& view, int width, int height, QPointF origin)
{
    Frame frame;
    frame.width = width;
    frame.height = height;
    frame.pixels.resize(size_t(width * height));
    if (model.shapes.empty())
        return frame;

    const Scene scene(model);
    const double e = rad(view.elevation);
    // Camera in world space: x right, y up, z toward the viewer.
    const V3 right{1, 0, 0};
    const V3 up{0, std::cos(e), -std::sin(e)};
    const V3 fwd{0, -std::sin(e), -std::cos(e)};
    // Light from the top left of the screen and a little toward the viewer.
    const V3 lightWorld = normalized(right * -0.6 + up * 0.78 + fwd * -0.3);

    // World to model: undo the model's turn about the vertical.
    const double cy = std::cos(rad(view.yaw)), sy = std::sin(rad(view.yaw));
    const double side = view.mirrored ? -1.0 : 1.0;
    auto toModel = [&](V3 v) { return V3{cy * v.x - sy * v.z, v.y, side * (sy * v.x + cy * v.z)}; };
    const V3 dir = toModel(fwd);
    const V3 light = toModel(lightWorld);
    const V3 toEye = -dir;

    // Everything lies within this sphere about the model origin.
    double reach = 0;
    for (size_t i = 0; i < model.shapes.size(); ++i)
        reach = std::max(reach, length(model.shapes[i].centre) + scene.bounds[i]);

    const int ss = std::max(1, view.supersample);
    const double inv = 1.0 / (ss * ss);
    for (int py = 0; py < height; ++py) {
        for (int px = 0; px < width; ++px) {
            Pixel& out = frame.at(px, py);
            int hits = 0;
            double r = 0, g = 0, b = 0, depth = 0, shadow = 0;
            for (int sy2 = 0; sy2 < ss; ++sy2) {
                for (int sx2 = 0; sx2 < ss; ++sx2) {
                    const double sx = px + (sx2 + 0.5) / ss;
                    const double syy = py + (sy2 + 0.5) / ss;
                    const V3 onPlane = right * ((sx - origin.x()) / view.scale) + up * ((origin.y() - syy) / view.scale);
                    const V3 o = toModel(onPlane - fwd * (reach + 2));
                    double t = 0;
                    const double tEnd = 2 * reach + 4;
                    bool hit = false;
                    int which = -1;
                    for (int step = 0; step < 160 && t < tEnd; ++step) {
                        const double d = scene.dist(o + dir * t, &which);
                        if (d < 0.004) {
                            hit = true;
                            break;
                        }
                        t += d * 0.9;
                    }
                    if (hit) {
                        const V3 p = o + dir * t;
                        const V3 n = scene.normal(p);
                        const Colour c = shade(scene, which, p, n, light, toEye, view);
                        r += c.r;
                        g += c.g;
                        b += c.b;
                        depth += t;
                        ++hits;
                    } else if (view.groundShadow && dir.y < 0) {
                        const double tg = -o.y / dir.y;
                        const V3 gp = o + dir * tg;
                        shadow += 1.0 - scene.softShadow(gp, light, 40);
                    }
                }
            }
            if (hits > 0) {
                out.r = r / hits;
                out.g = g / hits;
                out.b = b / hits;
                out.depth = depth / hits;
            }
            out.cover = hits * inv;
            const int misses = ss * ss - hits;
            out.shadow = misses > 0 ? shadow / misses : 0;
        }
    }
    return frame;
}

}  // namespace art
