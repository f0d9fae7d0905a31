#include "scene.h"

#include <math.h>

namespace orbview {
namespace {

constexpr double kPi = 3.14159265358979323846;
constexpr double kSunDistance = 9.0;   // how far ahead of the camera the sun sits
constexpr double kFloorY = -3.4;       // the grid floor lies this far below the eye
// Direction towards the fill light (normalised (-0.5, 0.6, -1)) and its half vector.
constexpr double kFill[3] = {-0.3904, 0.4685, -0.7809};
constexpr double kFillHalf[3] = {-0.2053, 0.2464, -0.9472};

// The comparisons of the standard library's max, min and clamp, without the library.
template <class T> inline T Max(T a, T b) { return a < b ? b : a; }
template <class T> inline T Min(T a, T b) { return b < a ? b : a; }
inline double Clamp(double v, double lo, double hi) { return v < lo ? lo : (hi < v ? hi : v); }

inline int Clamp255(double v) {
    int i = static_cast<int>(v * 255.0 + 0.5);
    return i < 0 ? 0 : (i > 255 ? 255 : i);
}

inline Pixel Rgb(double r, double g, double b) {
    return static_cast<Pixel>((Clamp255(r) << 16) | (Clamp255(g) << 8) | Clamp255(b));
}

inline double Red(Pixel p) { return ((p >> 16) & 0xFF) / 255.0; }
inline double Green(Pixel p) { return ((p >> 8) & 0xFF) / 255.0; }
inline double Blue(Pixel p) { return (p & 0xFF) / 255.0; }

// Cheap repeatable noise for the stars: the same pixel gets the same value every frame.
inline uint32_t Hash(uint32_t x) {
    x ^= x >> 16; x *= 0x7FEB352Du; x ^= x >> 15; x *= 0x846CA68Bu; x ^= x >> 16;
    return x;
}

// Hue (0..1) to a saturated colour, for the ring's rainbow.
void HueToRgb(double h, double* r, double* g, double* b) {
    h = h - floor(h);
    double k = h * 6.0;
    *r = Clamp(fabs(k - 3.0) - 1.0, 0.0, 1.0);
    *g = Clamp(2.0 - fabs(k - 2.0), 0.0, 1.0);
    *b = Clamp(2.0 - fabs(k - 4.0), 0.0, 1.0);
}

}  // namespace

void Scene::PlaceBodies(double t) {
    count_ = 0;
    // The camera sways gently, so the ring is seen from slowly changing angles.
    double tilt = 0.42 + 0.12 * sin(t * 0.31);
    double spin = t * 0.55;
    double precess = 0.25 * sin(t * 0.17);

    sun_ = Body{0.0, 0.15 * sin(t * 0.9), kSunDistance, 1.25, 1.0, 0.72, 0.28, true};
    bodies_[count_++] = sun_;

    for (int i = 0; i < kRingOrbs; ++i) {
        double a = spin + i * 2.0 * kPi / kRingOrbs;
        double ringR = 3.6 + 0.35 * sin(t * 0.8 + i * 1.7);
        // In the ring's plane, then tilted towards the camera and precessed.
        double x = ringR * cos(a);
        double z = ringR * sin(a);
        double y = 0.18 * sin(a * 3.0 + t);
        // Tilted so that the near half of the ring passes below the sun: seen from above.
        double y2 = y * cos(tilt) + z * sin(tilt);
        double z2 = -y * sin(tilt) + z * cos(tilt);
        double x3 = x * cos(precess) - z2 * sin(precess);
        double z3 = x * sin(precess) + z2 * cos(precess);
        double r, g, b;
        HueToRgb(i / static_cast<double>(kRingOrbs) + t * 0.02, &r, &g, &b);
        Body orb{x3, sun_.y + y2, kSunDistance + z3, 0.42 + 0.1 * (i % 3), 0.25 + 0.75 * r,
                 0.25 + 0.75 * g, 0.25 + 0.75 * b, false};
        bodies_[count_++] = orb;
        // Every third orb carries a small pale moon.
        if (i % 3 == 0) {
            double m = t * 2.3 + i;
            bodies_[count_++] = Body{orb.x + 0.95 * cos(m), orb.y + 0.35 * sin(m * 0.7),
                                     orb.z + 0.95 * sin(m), 0.15, 0.85, 0.87, 0.95, false};
        }
    }
    // Far bodies first, so nearer ones cover them.
    // An insertion sort: the order the standard sort gives a list this short.
    for (int i = 1; i < count_; ++i) {
        Body moved = bodies_[i];
        int j = i;
        for (; j > 0 && moved.z > bodies_[j - 1].z; --j) bodies_[j] = bodies_[j - 1];
        bodies_[j] = moved;
    }
}

void Scene::DrawSky(Pixel* pixels, int width, int height, int stride, double t) {
    int horizon = height / 2;
    for (int y = 0; y < horizon; ++y) {
        double k = y / static_cast<double>(Max(1, horizon));
        // Deep blue overhead towards violet at the horizon.
        Pixel row = Rgb(0.02 + 0.30 * k * k, 0.02 + 0.05 * k, 0.10 + 0.25 * k);
        Pixel* p = pixels + y * stride;
        for (int x = 0; x < width; ++x) {
            uint32_t h = Hash(static_cast<uint32_t>(x * 7919 + y * 104729));
            if ((h & 0x3FF) == 0) {
                // A star; its twinkle phase comes from the same hash.
                double tw = 0.55 + 0.45 * sin(t * (1.0 + (h >> 20) % 5) + (h >> 10));
                double v = tw * (1.0 - k * 0.7);
                p[x] = Rgb(Red(row) + v, Green(row) + v, Blue(row) + v * 0.9);
            } else {
                p[x] = row;
            }
        }
    }
}

void Scene::DrawFloor(Pixel* pixels, int width, int height, int stride, double t) {
    int horizon = height / 2;
    double scroll = t * 1.6;
    for (int y = horizon; y < height; ++y) {
        double dy = (y - horizon) + 0.5;
        double z = -kFloorY * focal_ / dy;          // distance of this row on the floor
        double fade = Clamp(1.0 - z / 60.0, 0.0, 1.0);
        double zLine = fabs(fmod(z + scroll, 1.5) - 0.75) / 0.75;  // 1 on a line
        double pixelZ = z * z / (-kFloorY * focal_);  // world size of one pixel row here
        double lineZ = Clamp((zLine - (1.0 - 2.0 * pixelZ / 1.5)) * 6.0, 0.0, 1.0);
        // The sun's warm reflection, stronger straight below it.
        Pixel* p = pixels + y * stride;
        double pixelX = z / focal_;
        double rowGlow = 0.35 / (1.0 + fabs(z - kSunDistance) * 0.15);
        double fog = 1.0 - fade * fade;
        for (int x = 0; x < width; ++x) {
            double wx = (x - width * 0.5) * z / focal_;
            double xLine = fabs(fmod(fabs(wx) + 0.75, 1.5) - 0.75) / 0.75;
            double lineX = Clamp((1.0 - xLine) < 2.0 * pixelX / 1.5 ? 1.0 : 0.0, 0.0, 1.0);
            double line = Max(lineX, lineZ) * fade;
            double glow = rowGlow / (1.0 + wx * wx * 0.08);
            double r = 0.04 + line * 0.85 + glow * 1.0;
            double g = 0.01 + line * 0.15 + glow * 0.55;
            double b = 0.07 + line * 0.95 + glow * 0.2;
            // Far rows fade into the haze of the horizon.
            p[x] = Rgb(r + (0.32 - r) * fog, g + (0.07 - g) * fog, b + (0.35 - b) * fog);
        }
    }
}

void Scene::DrawGlow(const Body& b, Pixel* pixels, int width, int height, int stride, double t) {
    double cx = width * 0.5 + b.x * focal_ / b.z;
    double cy = height * 0.5 - b.y * focal_ / b.z;
    double pr = b.radius * focal_ / b.z;
    double gr = pr * (3.0 + 0.25 * sin(t * 2.0));
    int x0 = Max(0, static_cast<int>(cx - gr)), x1 = Min(width - 1, static_cast<int>(cx + gr));
    int y0 = Max(0, static_cast<int>(cy - gr)), y1 = Min(height - 1, static_cast<int>(cy + gr));
    for (int y = y0; y <= y1; ++y) {
        Pixel* p = pixels + y * stride;
        for (int x = x0; x <= x1; ++x) {
            double dx = x + 0.5 - cx, dy = y + 0.5 - cy;
            double d = sqrt(dx * dx + dy * dy) / gr;
            if (d >= 1.0) continue;
            double a = (1.0 - d) * (1.0 - d) * 0.75;
            p[x] = Rgb(Red(p[x]) + a * b.r, Green(p[x]) + a * b.g, Blue(p[x]) + a * b.b);
        }
    }
}

void Scene::DrawBody(const Body& b, Pixel* pixels, int width, int height, int stride, double t) {
    if (b.z < 0.5) return;
    double cx = width * 0.5 + b.x * focal_ / b.z;
    double cy = height * 0.5 - b.y * focal_ / b.z;
    double pr = b.radius * focal_ / b.z;
    if (pr < 0.5) return;
    int x0 = Max(0, static_cast<int>(cx - pr - 1)), x1 = Min(width - 1, static_cast<int>(cx + pr + 1));
    int y0 = Max(0, static_cast<int>(cy - pr - 1)), y1 = Min(height - 1, static_cast<int>(cy + pr + 1));

    // Light comes from the sun; the eye looks along -z from the surface.
    double lx = sun_.x - b.x, ly = sun_.y - b.y, lz = sun_.z - b.z;
    double ll = sqrt(lx * lx + ly * ly + lz * lz);
    if (ll > 0) { lx /= ll; ly /= ll; lz /= ll; }
    double hx = lx, hy = ly, hz = lz - 1.0;
    double hl = sqrt(hx * hx + hy * hy + hz * hz);
    if (hl > 0) { hx /= hl; hy /= hl; hz /= hl; }

    for (int y = y0; y <= y1; ++y) {
        Pixel* p = pixels + y * stride;
        double v = (y + 0.5 - cy) / pr;
        for (int x = x0; x <= x1; ++x) {
            double u = (x + 0.5 - cx) / pr;
            double d2 = u * u + v * v;
            if (d2 >= 1.0 + 2.0 / pr) continue;
            // Edge coverage for a smooth outline.
            double cover = Clamp((1.0 - sqrt(d2)) * pr + 0.5, 0.0, 1.0);
            if (cover <= 0.0) continue;
            double nz2 = 1.0 - Min(d2, 1.0);
            double nx = u, ny = -v, nz = -sqrt(nz2);
            double r, g, bl;
            if (b.sun) {
                // Limb-darkened, slowly boiling surface.
                // White-hot centre, orange limb, faint slowly boiling granules.
                double mu = sqrt(nz2);
                double boil = 0.035 * sin(u * 13.0 + t * 1.3) * sin(v * 15.0 - t * 1.1)
                            + 0.025 * sin((u - v) * 23.0 + t * 2.1);
                r = 1.05 + boil;
                g = b.g * (0.75 + 0.45 * mu) + boil + 0.25 * mu * mu;
                bl = b.b * (0.6 + 0.6 * mu) + 0.55 * mu * mu * mu * mu + boil * 0.5;
            } else {
                double diff = Max(0.0, nx * lx + ny * ly + nz * lz);
                double s = Max(0.0, nx * hx + ny * hy + nz * hz);
                s *= s; s *= s; s *= s; s *= s; s *= s;   // shininess 32
                // A soft cool fill light from behind the viewer's left shoulder, so the
                // near sides of orbs between the eye and the sun are not black.
                double fill = Max(0.0, nx * kFill[0] + ny * kFill[1] + nz * kFill[2]);
                double fs = Max(0.0, nx * kFillHalf[0] + ny * kFillHalf[1] + nz * kFillHalf[2]);
                fs *= fs; fs *= fs; fs *= fs; fs *= fs; fs *= fs; fs *= fs;  // 64: a small sharp dot
                diff += 0.35 * fill;
                s += 0.6 * fs;
                double rim = 1.0 - sqrt(nz2);
                rim = rim * rim * rim;
                // Faint sky reflection on the upper half, warm bounce light from below.
                double sky = Max(0.0, ny) * 0.12;
                double bounce = Max(0.0, -ny) * 0.10;
                r = b.r * (0.07 + 0.95 * diff) + s * 1.0 + rim * 0.35 + sky * 0.5 + bounce * 0.9;
                g = b.g * (0.07 + 0.95 * diff) + s * 0.95 + rim * 0.20 + sky * 0.4 + bounce * 0.4;
                bl = b.b * (0.07 + 0.95 * diff) + s * 0.85 + rim * 0.55 + sky * 1.0 + bounce * 0.5;
            }
            Pixel old = p[x];
            p[x] = Rgb(Red(old) + (r - Red(old)) * cover, Green(old) + (g - Green(old)) * cover,
                       Blue(old) + (bl - Blue(old)) * cover);
        }
    }
}

void Scene::Render(Pixel* pixels, int width, int height, int stride, double t) {
    if (width <= 0 || height <= 0) return;
    focal_ = height * 1.1;
    PlaceBodies(t);
    DrawSky(pixels, width, height, stride, t);
    DrawFloor(pixels, width, height, stride, t);
    for (int i = 0; i < count_; ++i) {
        const Body& b = bodies_[i];
        if (b.sun) DrawGlow(b, pixels, width, height, stride, t);
        DrawBody(b, pixels, width, height, stride, t);
    }
}

}  // namespace orbview
