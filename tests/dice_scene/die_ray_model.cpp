#include "die_ray_model.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace {

// Half the die's edge in camera units, and the die centre's distance.
constexpr double HALF_EDGE = 100.0 / 320.0;
constexpr double CENTRE_DEPTH = 2.4;

// A pixel this near a face's outline may belong to either side.
constexpr double OUTLINE_MARGIN = 2.0;
// The fills sample a pixel on its row at the row's exact crossing plus whole
// pixels: the perspective-correct fill up to half a pixel either side of the
// pixel's own column (its span ends are rounded), the affine fill up to one
// pixel to its right (its span ends are truncated).
constexpr double SAMPLE_LEFT = -0.5;
constexpr double SAMPLE_RIGHT = 1.0;
// Texel coordinates round to the nearest texel, give or take the last bits.
constexpr double ROUNDING_SLACK = 0.5 + 1e-6;
// Windows wider than this say too little to be worth checking.
constexpr int WIDEST_WINDOW = 4;

constexpr double AFFINE_TOLERANCE = 0.02;
constexpr double CELL_TEXELS = 99.0;

// Each face as painted, in order, with its corners round it as die-space signs
// of (x, y, z) and the texel each corner shows.
struct FaceCorner {
    int sx, sy, sz;
    double u, v;
};
constexpr FaceCorner FACES[6][4] = {
    {{+1, -1, +1, 0, 0}, {+1, -1, -1, 99, 0}, {-1, -1, -1, 99, 99}, {-1, -1, +1, 0, 99}},              // one
    {{-1, +1, +1, 200, 100}, {-1, +1, -1, 299, 100}, {+1, +1, -1, 299, 199}, {+1, +1, +1, 200, 199}},  // six
    {{-1, -1, +1, 100, 0}, {-1, -1, -1, 199, 0}, {-1, +1, -1, 199, 99}, {-1, +1, +1, 100, 99}},        // two
    {{+1, -1, -1, 100, 199}, {+1, -1, +1, 199, 199}, {+1, +1, +1, 199, 100}, {+1, +1, -1, 100, 100}},  // five
    {{-1, -1, -1, 200, 99}, {+1, -1, -1, 299, 99}, {+1, +1, -1, 299, 0}, {-1, +1, -1, 200, 0}},        // three
    {{+1, -1, +1, 0, 100}, {-1, -1, +1, 99, 100}, {-1, +1, +1, 99, 199}, {+1, +1, +1, 0, 199}},        // four
};

Vec3 Minus(Vec3 a, Vec3 b) { return {a.x - b.x, a.y - b.y, a.z - b.z}; }
double Dot(Vec3 a, Vec3 b) { return a.x * b.x + a.y * b.y + a.z * b.z; }
Vec3 Cross(Vec3 a, Vec3 b) { return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x}; }

// The direction of the viewing ray through a screen point.
Vec3 Ray(double x, double y) { return {(x - 320.0) / 320.0, (240.0 - y) / 320.0, 1.0}; }

double Radians(int32_t angle) {
    // Whole degrees, toward minus infinity.
    return std::floor(angle / 256.0) * std::numbers::pi / 180.0;
}

double DistanceToSegment(double px, double py, double ax, double ay, double bx, double by) {
    const double dx = bx - ax;
    const double dy = by - ay;
    const double length2 = dx * dx + dy * dy;
    const double along = length2 > 0 ? std::clamp(((px - ax) * dx + (py - ay) * dy) / length2, 0.0, 1.0) : 0.0;
    return std::hypot(px - (ax + along * dx), py - (ay + along * dy));
}

}  // namespace

// The die turns first about x, carrying -z toward +y, then about y, carrying
// +x toward -z; then it moves away from the eye.
DieRayModel::DieRayModel(int32_t angleX, int32_t angleY) {
    const double sx = std::sin(Radians(angleX));
    const double cx = std::cos(Radians(angleX));
    const double sy = std::sin(Radians(angleY));
    const double cy = std::cos(Radians(angleY));
    for (int f = 0; f < 6; ++f) {
        for (int k = 0; k < 4; ++k) {
            const FaceCorner& corner = FACES[f][k];
            const Vec3 die = {corner.sx * HALF_EDGE, corner.sy * HALF_EDGE, corner.sz * HALF_EDGE};
            const Vec3 aboutX = {die.x, cx * die.y - sx * die.z, sx * die.y + cx * die.z};
            const Vec3 aboutY = {cy * aboutX.x - sy * aboutX.z, aboutX.y, sy * aboutX.x + cy * aboutX.z};
            const Vec3 placed = {aboutY.x, aboutY.y, aboutY.z + CENTRE_DEPTH};
            Face& face = faces_[f];
            face.corners[k] = placed;
            face.u[k] = corner.u;
            face.v[k] = corner.v;
            face.screen[2 * k] = 320.0 + 320.0 * placed.x / placed.z;
            face.screen[2 * k + 1] = 240.0 - 320.0 * placed.y / placed.z;
        }
        faces_[f].stray = AffineStray(faces_[f]);
    }
}

// Each face is drawn as the triangles (c1, c2, c0) and (c3, c0, c2); one whose
// corners 1 and 2 lie within the tolerance of corner 0 in depth is mapped
// affinely on the screen.
int DieRayModel::FlatTriangles(const Face& face) {
    int count = 0;
    const int triangles[2][3] = {{1, 2, 0}, {3, 0, 2}};
    for (const auto& corners : triangles) {
        const double z0 = face.corners[corners[0]].z;
        count += std::fabs(face.corners[corners[1]].z - z0) < AFFINE_TOLERANCE &&
                 std::fabs(face.corners[corners[2]].z - z0) < AFFINE_TOLERANCE;
    }
    return count;
}

// An affine map weighs the corners by their screen barycentric weights l
// where the true map weighs them by l / z, normalised. The texel coordinate
// then errs by the covariance of 1 / z and u under l, divided by the mean of
// 1 / z, which is at most a quarter of the product of their ranges over the
// least 1 / z: a quarter of the cell times the face's relative depth spread.
double DieRayModel::AffineStray(const Face& face) {
    if (FlatTriangles(face) == 0) return 0.0;
    double nearest = INFINITY;
    double farthest = 0.0;
    for (const Vec3& corner : face.corners) {
        nearest = std::min(nearest, corner.z);
        farthest = std::max(farthest, corner.z);
    }
    return 0.25 * CELL_TEXELS * (farthest - nearest) / nearest;
}

// A face's outline on the screen is a convex quadrilateral, possibly seen
// from behind; one seen edge-on has no inside.
bool DieRayModel::Inside(const Face& face, double x, double y) const {
    int positive = 0;
    int negative = 0;
    for (int k = 0; k < 4; ++k) {
        const int next = (k + 1) % 4;
        const double ax = face.screen[2 * k];
        const double ay = face.screen[2 * k + 1];
        const double cross = (face.screen[2 * next] - ax) * (y - ay) - (face.screen[2 * next + 1] - ay) * (x - ax);
        positive += cross > 0;
        negative += cross < 0;
    }
    return positive == 4 || negative == 4;
}

double DieRayModel::DistanceToOutline(const Face& face, double x, double y) const {
    double nearest = INFINITY;
    for (int k = 0; k < 4; ++k) {
        const int next = (k + 1) % 4;
        nearest = std::min(nearest, DistanceToSegment(x, y, face.screen[2 * k], face.screen[2 * k + 1],
                                                      face.screen[2 * next], face.screen[2 * next + 1]));
    }
    return nearest;
}

Vec3 DieRayModel::Hit(const Face& face, double x, double y) const {
    const Vec3 normal = Cross(Minus(face.corners[1], face.corners[0]), Minus(face.corners[3], face.corners[0]));
    const Vec3 ray = Ray(x, y);
    const double along = Dot(normal, face.corners[0]) / Dot(normal, ray);
    return {ray.x * along, ray.y * along, ray.z * along};
}

// The face is a square, so the hit point's place along its two edges from c0
// gives the bilinear weights of the corners' texels.
void DieRayModel::TexelAt(const Face& face, double x, double y, double* u, double* v) const {
    const Vec3 offset = Minus(Hit(face, x, y), face.corners[0]);
    const Vec3 edgeA = Minus(face.corners[1], face.corners[0]);
    const Vec3 edgeB = Minus(face.corners[3], face.corners[0]);
    const double a = Dot(offset, edgeA) / Dot(edgeA, edgeA);
    const double b = Dot(offset, edgeB) / Dot(edgeB, edgeB);
    const double w[4] = {(1 - a) * (1 - b), a * (1 - b), a * b, (1 - a) * b};
    *u = w[0] * face.u[0] + w[1] * face.u[1] + w[2] * face.u[2] + w[3] * face.u[3];
    *v = w[0] * face.v[0] + w[1] * face.v[1] + w[2] * face.v[2] + w[3] * face.v[3];
}

PixelExpectation DieRayModel::At(int x, int y) const {
    PixelExpectation expected;
    for (int f = 0; f < 6; ++f) {
        if (DistanceToOutline(faces_[f], x, y) < OUTLINE_MARGIN) return {};
        if (Inside(faces_[f], x, y)) expected.face = f;
    }
    if (expected.face < 0) {
        expected.seen = Seen::Background;
        return expected;
    }
    const Face& face = faces_[expected.face];
    double u0, v0, u1, v1;
    TexelAt(face, x + SAMPLE_LEFT, y, &u0, &v0);
    TexelAt(face, x + SAMPLE_RIGHT, y, &u1, &v1);
    const double slack = ROUNDING_SLACK + face.stray;
    expected.texels = {static_cast<int>(std::ceil(std::min(u0, u1) - slack)),
                       static_cast<int>(std::floor(std::max(u0, u1) + slack)),
                       static_cast<int>(std::ceil(std::min(v0, v1) - slack)),
                       static_cast<int>(std::floor(std::max(v0, v1) + slack))};
    const bool narrow = expected.texels.uMax - expected.texels.uMin < WIDEST_WINDOW &&
                        expected.texels.vMax - expected.texels.vMin < WIDEST_WINDOW;
    expected.seen = narrow ? Seen::Face : Seen::Unsure;
    return expected;
}

int DieRayModel::NearestFaceAt(int x, int y) const {
    int nearest = -1;
    double nearestDepth = INFINITY;
    for (int f = 0; f < 6; ++f) {
        if (!Inside(faces_[f], x, y)) continue;
        const double depth = Hit(faces_[f], x, y).z;
        if (depth < nearestDepth) {
            nearest = f;
            nearestDepth = depth;
        }
    }
    return nearest;
}

int DieRayModel::NearlyFlatTriangles() const {
    int count = 0;
    for (const Face& face : faces_) count += FlatTriangles(face);
    return count;
}
