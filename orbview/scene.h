// The Orbview scene: a glowing sun with a tilted ring of glossy orbs (some with moons)
// circling it above a receding grid floor under a starry sky. Pure arithmetic on a
// 32-bit pixel buffer, so it knows nothing of windows and can be checked on its own.
#pragma once
#include <cstdint>

namespace orbview {

// One pixel: 0x00RRGGBB, the layout of a 32-bit top-down DIB section.
using Pixel = uint32_t;

class Scene {
public:
    // Renders the scene at time t (seconds) into width x height pixels; stride is the
    // distance between rows in pixels.
    void Render(Pixel* pixels, int width, int height, int stride, double t);

private:
    struct Body {
        double x, y, z;     // centre in camera space (camera at origin, looking at +z)
        double radius;      // world units
        double r, g, b;     // base colour, 0..1
        bool sun;           // emissive: lights the others, glows
    };

    static constexpr int kRingOrbs = 9;

    void PlaceBodies(double t);
    void DrawSky(Pixel* pixels, int width, int height, int stride, double t);
    void DrawFloor(Pixel* pixels, int width, int height, int stride, double t);
    void DrawBody(const Body& b, Pixel* pixels, int width, int height, int stride, double t);
    void DrawGlow(const Body& b, Pixel* pixels, int width, int height, int stride, double t);

    // The sun, the ring's orbs and the moons of every third orb.
    static constexpr int kMaxBodies = 1 + kRingOrbs + (kRingOrbs + 2) / 3;
    Body bodies_[kMaxBodies];
    int count_ = 0;
    Body sun_{};
    double focal_ = 1.0;    // pixels per world unit at distance 1
};

}  // namespace orbview
