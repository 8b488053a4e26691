// The texel the view ray through a screen point meets on a textured plane, worked out apart from the renderer.
#pragma once
#include <utility>
#include "dice/dicetypes.h"
struct Vec { double x, y, z; };
inline Vec Sub(Vec a, Vec b) { return {a.x - b.x, a.y - b.y, a.z - b.z}; }
inline Vec Cross(Vec a, Vec b) { return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x}; }
inline double Dot(Vec a, Vec b) { return a.x * b.x + a.y * b.y + a.z * b.z; }
// On a 640 x 480 screen at scale 320: the hit weighs the corners by the areas opposite them.
inline std::pair<double, double> TrueTexel(const TexturedVertex& c0, const TexturedVertex& c1, const TexturedVertex& c2,
                                           double x, double y) {
    const Vec a{c0.x, c0.y, c0.z}, b{c1.x, c1.y, c1.z}, d{c2.x, c2.y, c2.z};
    const Vec normal = Cross(Sub(b, a), Sub(d, a)), ray{(x - 320.0) / 320.0, (240.0 - y) / 320.0, 1.0};
    const double depth = Dot(normal, a) / Dot(normal, ray);
    const Vec p{ray.x * depth, ray.y * depth, depth};
    const double wa = Dot(normal, Cross(Sub(b, p), Sub(d, p))) / Dot(normal, normal);
    const double wb = Dot(normal, Cross(Sub(d, p), Sub(a, p))) / Dot(normal, normal);
    return {wa * c0.u + wb * c1.u + (1 - wa - wb) * c2.u, wa * c0.v + wb * c1.v + (1 - wa - wb) * c2.v};
}
