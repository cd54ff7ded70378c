#include "tools/imagegen/Figure.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace Orvex::Tools::ImageGen {

namespace {

constexpr double kTilt = 0.44;  // radians the camera looks down
const double kCos = std::cos(kTilt);
const double kSin = std::sin(kTilt);
constexpr uint32_t kInk = 0xFF1C1620;
constexpr double kOutline = 1.3;

Vec3 operator+(Vec3 a, Vec3 b) { return {a.x + b.x, a.y + b.y, a.z + b.z}; }
Vec3 operator*(Vec3 a, double k) { return {a.x * k, a.y * k, a.z * k}; }

// The view of the figure being painted: its scale and where its ground point lies.
struct View {
    double scale = 26.0, centreX = kFrameWidth / 2.0, groundY = kGroundY;
};
Point project(const View& view, Vec3 p, double left, double top) {
    return {left + view.centreX + p.x * view.scale,
            top + view.groundY - p.y * view.scale * kCos + p.z * view.scale * kSin};
}
double depthOf(Vec3 p) { return p.z * kCos + p.y * kSin; }

// Light from the upper left, a little towards the viewer.
double lightOn(double nx, double ny, double nz) {
    const double lx = -0.45, ly = -0.62, lz = 0.64;
    const double lambert = std::max(0.0, nx * lx + ny * ly + nz * lz);
    return 0.58 + 0.52 * lambert + (lambert > 0.93 ? 0.12 : 0.0);
}

uint32_t outlineOf(const Solid& solid) { return mix(solid.colour, kInk, 0.75); }

void renderSolid(Raster& raster, const View& view, double left, double top, const Solid& solid) {
    const uint32_t ink = outlineOf(solid);
    const double ow = solid.outline ? kOutline : 0.0;
    if (solid.kind == Solid::Kind::Stroke) {
        raster.capsule(project(view, solid.a, left, top), project(view, solid.b, left, top), solid.radius,
                       solid.colour);
        return;
    }
    if (solid.kind == Solid::Kind::Capsule) {
        const Point a = project(view, solid.a, left, top), b = project(view, solid.b, left, top);
        const double r = solid.radius * view.scale;
        auto distance = [&](double x, double y) { return segmentDistance(x, y, a, b) - r; };
        const double bl = std::min(a.x, b.x) - r - ow, bt = std::min(a.y, b.y) - r - ow;
        const double br = std::max(a.x, b.x) + r + ow, bb = std::max(a.y, b.y) + r + ow;
        if (ow > 0)
            raster.fillShape(
                bl, bt, br, bb, [&](double x, double y) { return distance(x, y) - ow; },
                [&](double, double, double) { return ink; });
        const double dx = b.x - a.x, dy = b.y - a.y, length = std::max(1e-9, std::hypot(dx, dy));
        raster.fillShape(bl, bt, br, bb, distance, [&](double x, double y, double) {
            // The normal of a cylinder along the segment, seen from the front.
            const double t = std::clamp(((x - a.x) * dx + (y - a.y) * dy) / (length * length), 0.0, 1.0);
            const double ox = (x - (a.x + t * dx)) / r, oy = (y - (a.y + t * dy)) / r;
            const double nz = std::sqrt(std::max(0.0, 1.0 - ox * ox - oy * oy));
            return shade(solid.colour, lightOn(ox, oy, nz));
        });
        return;
    }
    const Point c = project(view, solid.a, left, top);
    double rx = solid.radius * view.scale * solid.squashX, ry = solid.radius * view.scale * solid.squashY;
    if (solid.kind == Solid::Kind::Disc) ry = solid.radius * view.scale * kSin * solid.squashY;
    auto distance = [&](double x, double y) { return ellipseDistance(x, y, c.x, c.y, rx, ry); };
    const double bl = c.x - rx - ow, bt = c.y - ry - ow, br = c.x + rx + ow, bb = c.y + ry + ow;
    if (ow > 0)
        raster.fillShape(
            bl, bt, br, bb, [&](double x, double y) { return distance(x, y) - ow; },
            [&](double, double, double) { return ink; });
    const bool flat = solid.kind == Solid::Kind::Disc;
    raster.fillShape(bl, bt, br, bb, distance, [&](double x, double y, double) {
        const double nx = (x - c.x) / rx, ny = (y - c.y) / ry;
        const double nz = std::sqrt(std::max(0.0, 1.0 - nx * nx - ny * ny));
        return flat ? shade(solid.colour, 0.9 + 0.15 * (-nx - ny) * 0.5) : shade(solid.colour, lightOn(nx, ny, nz));
    });
}

// A figure's placement: model = origin + side * s + up * u + forward * f.
struct Frame3 {
    Vec3 origin, side, up, forward;
    Vec3 at(double s, double u, double f) const { return origin + side * s + up * u + forward * f; }
};

Frame3 standing(int direction) {
    const double angle = direction * std::numbers::pi / 4.0;
    return {{0, 0, 0}, {std::cos(angle), 0, std::sin(angle)}, {0, 1, 0}, {std::sin(angle), 0, -std::cos(angle)}};
}

// Lying on the back, head to the left, face to the sky.
Frame3 lying() { return {{1.9, 0.45, -0.9}, {0, 0, 1}, {-1, 0, 0}, {0, 1, 0}}; }

Solid sphere(Vec3 c, double r, uint32_t colour, double layer = 0.0) {
    Solid s;
    s.kind = Solid::Kind::Sphere;
    s.a = c;
    s.radius = r;
    s.colour = colour;
    s.layer = layer;
    return s;
}

Solid capsule(Vec3 a, Vec3 b, double r, uint32_t colour, double layer = 0.0) {
    Solid s;
    s.kind = Solid::Kind::Capsule;
    s.a = a;
    s.b = b;
    s.radius = r;
    s.colour = colour;
    s.layer = layer;
    return s;
}

Solid stroke(Vec3 a, Vec3 b, double halfWidth, uint32_t colour, double layer) {
    Solid s = capsule(a, b, halfWidth, colour, layer);
    s.kind = Solid::Kind::Stroke;
    s.outline = false;
    return s;
}

Solid shadow(Vec3 c, double r) {
    Solid s;
    s.kind = Solid::Kind::Disc;
    s.a = c;
    s.radius = r;
    s.colour = 0x50000000;
    s.layer = -100.0;
    s.outline = false;
    return s;
}

struct Look {
    uint32_t skin = 0xFFF2C8A0, hair = 0xFF6A3A1C, tunic = 0xFFC03828, sleeve = 0xFFC03828;
    uint32_t legs = 0xFF34508C, boots = 0xFF5A3820;
    enum class Head { Hair, Helmet, Hat } head = Head::Hair;
    bool cape = false, apron = false, pack = false, spear = false, sword = false, bodyHidden = false;
};

Look lookOf(const std::string& kind) {
    Look look;
    if (kind == "hero" || kind == "weapon") {
        look.cape = true;
        look.sleeve = 0xFFA82C20;
        if (kind == "weapon") {
            look.sword = true;
            look.bodyHidden = true;
        }
    } else if (kind == "guard") {
        look.tunic = 0xFF8C98A8;
        look.sleeve = 0xFF3A4C7C;
        look.legs = 0xFF2C3658;
        look.boots = 0xFF3A3A44;
        look.head = Look::Head::Helmet;
        look.spear = true;
    } else if (kind == "vendor") {
        look.skin = 0xFFE8B890;
        look.hair = 0xFF2C2420;
        look.tunic = 0xFF3C8048;
        look.sleeve = 0xFF3C8048;
        look.legs = 0xFF6C5838;
        look.head = Look::Head::Hat;
        look.apron = true;
        look.pack = true;
    }
    return look;
}

void addEyes(std::vector<Solid>& out, const Frame3& f, Vec3 head, double spread, double forward, double size,
             bool sleeping) {
    for (double side : {-spread, spread}) {
        const Vec3 offset = f.side * side + f.forward * forward;
        if (offset.z * kCos + offset.y * kSin < 0.0) continue;  // on the far side of the head
        const Vec3 eye = head + offset;
        if (sleeping) {
            out.push_back(stroke(eye + f.side * -0.1, eye + f.side * 0.1, 1.2, kInk, 10.0));
        } else {
            Solid s = sphere(eye, size, kInk, 10.0);
            s.outline = false;
            s.squashY = 1.35;
            out.push_back(s);
        }
    }
}

std::vector<Solid> humanoid(const Look& look, const Frame3& f, int frame, bool sleeping) {
    static const double kSwing[] = {0.38, 0.0, -0.38, 0.0};
    static const double kBob[] = {0.0, 0.07, 0.0, 0.07};
    const double swing = sleeping ? 0.0 : kSwing[frame % 4], bob = sleeping ? 0.0 : kBob[frame % 4];
    std::vector<Solid> out;
    auto part = [&](Solid s) {
        if (look.bodyHidden) s.erase = true;
        out.push_back(s);
    };
    if (!sleeping) part(shadow(f.at(0, 0.02, 0), 0.95));
    for (double side : {-1.0, 1.0}) {
        const double step = swing * side;
        const Vec3 hip = f.at(0.3 * side, 1.05 + bob, 0), foot = f.at(0.32 * side, 0.3, step);
        part(capsule(hip, foot, 0.2, look.legs, -10.0));
        Solid boot = sphere(f.at(0.32 * side, 0.2, step + 0.08), 0.22, look.boots, -10.0 + 0.01);
        boot.squashY = 0.8;
        part(boot);
    }
    if (look.cape) part(capsule(f.at(0, 2.0 + bob, -0.42), f.at(0, 1.0 + bob, -0.62), 0.5, 0xFF2C4C9C, -0.6));
    if (look.pack) part(sphere(f.at(0, 1.75 + bob, -0.62), 0.55, 0xFF8A6034, -0.5));
    part(capsule(f.at(0, 1.35 + bob, 0), f.at(0, 1.85 + bob, 0), 0.6, look.tunic));
    if (look.apron) part(capsule(f.at(0, 1.2 + bob, 0.3), f.at(0, 1.7 + bob, 0.33), 0.42, 0xFFE8E0C8, 0.2));
    part(capsule(f.at(0, 1.2 + bob, 0.05), f.at(0, 1.2 + bob, -0.05), 0.55, 0xFF5A3820, 0.1));  // belt
    for (double side : {-1.0, 1.0}) {
        const double reach = -swing * side * 0.9;
        const Vec3 shoulder = f.at(0.66 * side, 2.0 + bob, 0), hand = f.at(0.78 * side, 1.35 + bob, reach);
        part(capsule(shoulder, hand, 0.17, look.sleeve, 0.3));
        part(sphere(hand, 0.19, look.skin, 0.31));
        if (side > 0 && look.spear && !sleeping) {
            part(capsule(hand + f.up * -0.7, hand + f.up * 2.6, 0.07, 0xFF7A5430, 0.32));
            part(capsule(hand + f.up * 2.6, hand + f.up * 3.05, 0.12, 0xFFD8DCE4, 0.33));
        }
        if (side > 0 && look.sword && !sleeping) {
            const Vec3 blade = f.forward * 0.55 + f.up * 0.85;  // raised: seen from every side
            Solid guard = capsule(hand + f.side * -0.22 + blade * 0.15, hand + f.side * 0.22 + blade * 0.15, 0.07,
                                  0xFFE0B040, 0.34);
            out.push_back(capsule(hand + blade * -0.12, hand + blade * 0.15, 0.07, 0xFF6A4424, 0.33));
            out.push_back(guard);
            out.push_back(capsule(hand + blade * 0.2, hand + blade * 1.3, 0.09, 0xFFDCE4F0, 0.35));
        }
    }
    // The head: a ball of hair (or helmet) with the face as a smaller ball set forward in it,
    // so the face shows from the front and the side and hides when the figure walks away.
    const Vec3 head = f.at(0, 2.75 + bob, 0);
    const uint32_t crown = look.head == Look::Head::Helmet ? 0xFFA8B0BC : look.hair;
    part(sphere(head, look.head == Look::Head::Helmet ? 0.86 : 0.8, crown, 10.0));
    part(sphere(head + f.forward * 0.24 + f.up * -0.1, 0.64, look.skin, 10.0));
    if (!look.bodyHidden) {
        switch (look.head) {
            case Look::Head::Hair:
                for (double side : {-0.24, 0.24}) {
                    out.push_back(sphere(head + f.up * 0.44 + f.forward * 0.38 + f.side * side, 0.34, look.hair, 10.0));
                }
                break;
            case Look::Head::Helmet:
                out.push_back(capsule(head + f.up * 0.95 + f.forward * 0.4, head + f.up * 0.9 + f.forward * -0.7, 0.14,
                                      0xFFC83030, 10.0));
                break;
            case Look::Head::Hat: {
                if (!sleeping) {  // a sleeper has taken the broad hat off
                    Solid brim = sphere(head + f.up * 0.62, 1.1, 0xFFC8A060, 10.0);
                    brim.kind = Solid::Kind::Disc;
                    out.push_back(brim);
                    out.push_back(sphere(head + f.up * 0.82, 0.52, 0xFFC8A060, 10.0));
                }
                break;
            }
        }
        addEyes(out, f, head + f.up * -0.12, 0.27, 0.84, 0.12, sleeping);
        const Vec3 mouth = head + f.up * -0.45 + f.forward * 0.8;
        if (!sleeping && f.forward.z * kCos > 0.3) {
            out.push_back(stroke(mouth + f.side * -0.1, mouth + f.side * 0.1, 0.9, 0xFF9A3A30, 10.5));
        }
    }
    return out;
}

std::vector<Solid> slime(const Frame3& f, int frame, bool sleeping) {
    static const double kSquashX[] = {1.0, 1.1, 1.0, 0.9};
    static const double kSquashY[] = {1.0, 0.88, 1.0, 1.12};
    const int i = sleeping ? 1 : frame % 4;
    std::vector<Solid> out;
    out.push_back(shadow({0, 0.02, 0}, 1.35));
    const Vec3 centre{0, 0.95 * kSquashY[i], 0};
    Solid body = sphere(centre, 1.25, 0xFF48B848, 0.0);
    body.squashX = kSquashX[i] * 1.12;
    body.squashY = kSquashY[i] * 0.92;
    out.push_back(body);
    Solid gleam = sphere(centre + Vec3{-0.5, 0.6, 0.6}, 0.22, 0xE0FFFFFF, 10.0);
    gleam.outline = false;
    gleam.squashY = 0.7;
    out.push_back(gleam);
    // A small peak on top leans the way the slime faces, so its back views differ too.
    out.push_back(sphere(centre + Vec3{0, 0.95 * kSquashY[i], 0} + f.forward * 0.35, 0.24, 0xFF48B848, 5.0));
    const Frame3 face{centre, f.side, f.up, f.forward};
    addEyes(out, face, centre + Vec3{0, 0.15, 0}, 0.4, 1.05, 0.15, sleeping);
    const Vec3 mouth = face.at(0, -0.28, 1.08);
    if (!sleeping && mouth.z * kCos >= -0.3) {
        out.push_back(stroke(mouth + f.side * -0.18, mouth + f.up * -0.08, 1.1, kInk, 10.0));
        out.push_back(stroke(mouth + f.up * -0.08, mouth + f.side * 0.18, 1.1, kInk, 10.0));
    }
    return out;
}

std::vector<Solid> mobb(const Frame3& f, int frame, bool sleeping) {
    static const double kSwing[] = {0.3, 0.0, -0.3, 0.0};
    static const double kBob[] = {0.0, 0.1, 0.0, 0.1};
    const double swing = sleeping ? 0.0 : kSwing[frame % 4], bob = sleeping ? -0.3 : kBob[frame % 4];
    std::vector<Solid> out;
    out.push_back(shadow({0, 0.02, 0}, 1.0));
    for (double side : {-1.0, 1.0}) {
        out.push_back(capsule(f.at(0.42 * side, 0.8, 0), f.at(0.45 * side, 0.22, swing * side), 0.17, 0xFF5A2C70, -10));
        out.push_back(sphere(f.at(0.45 * side, 0.18, swing * side + 0.1), 0.22, 0xFFE8C040, -9.9));
    }
    const Vec3 body = f.at(0, 1.5 + bob, 0);
    out.push_back(sphere(body, 1.0, 0xFF9050C0, 0));
    for (double side : {-1.0, 1.0}) {
        out.push_back(capsule(body + f.side * (0.55 * side) + f.up * 0.7, body + f.side * (0.85 * side) + f.up * 1.3,
                              0.13, 0xFFF0D060, 0.1));
        out.push_back(sphere(body + f.side * (0.98 * side) + f.forward * (-swing * side), 0.24, 0xFF7A3CA8, 0.2));
    }
    // Big round eyes: white with a dark pupil looking the way it walks.
    for (double side : {-0.36, 0.36}) {
        const Vec3 offset = f.side * side + f.forward * 0.78;
        if (offset.z * kCos < -0.1) continue;
        const Vec3 eye = body + offset + f.up * 0.2;
        if (sleeping) {
            out.push_back(stroke(eye + f.side * -0.16, eye + f.side * 0.16, 1.4, kInk, 10));
        } else {
            out.push_back(sphere(eye, 0.26, 0xFFFFFFFF, 10));
            Solid pupil = sphere(eye + f.forward * 0.2, 0.12, kInk, 10.1);
            pupil.outline = false;
            out.push_back(pupil);
        }
    }
    if (!sleeping && f.forward.z > -0.5) {
        const Vec3 mouth = body + f.up * -0.35 + f.forward * 0.9;
        out.push_back(stroke(mouth + f.side * -0.3, mouth + f.side * 0.3, 1.2, kInk, 10.2));
        out.push_back(stroke(mouth + f.side * 0.12, mouth + f.side * 0.12 + f.up * -0.15, 1.3, 0xFFFFFFFF, 10.3));
    }
    return out;
}

// Two small "z" marks drifting up from a sleeper.
void addSleepMarks(Raster& raster, double left, double top, int frame) {
    const double rise = frame * 6.0;
    for (int i = 0; i < 2; ++i) {
        const double size = 7.0 + 4.0 * i, x = left + 40 + 12 * i, y = top + 44 - 16 * i - rise;
        const uint32_t colour = 0xFFE8F0FF;
        raster.line({x, y}, {x + size, y}, 2.6, kInk);
        raster.line({x + size, y}, {x, y + size}, 2.6, kInk);
        raster.line({x, y + size}, {x + size, y + size}, 2.6, kInk);
        raster.line({x, y}, {x + size, y}, 1.4, colour);
        raster.line({x + size, y}, {x, y + size}, 1.4, colour);
        raster.line({x, y + size}, {x + size, y + size}, 1.4, colour);
    }
}

}  // namespace

void renderSolids(Raster& raster, double left, double top, std::vector<Solid> solids) {
    renderSolids(raster, left, top, std::move(solids), 26.0, kFrameWidth / 2.0, kGroundY);
}

void renderSolids(Raster& raster, double left, double top, std::vector<Solid> solids, double scale, double centreX,
                  double groundY) {
    const View view{scale, centreX, groundY};
    auto depth = [](const Solid& s) {
        const Vec3 mid = s.kind == Solid::Kind::Capsule || s.kind == Solid::Kind::Stroke
                             ? Vec3{(s.a.x + s.b.x) / 2, (s.a.y + s.b.y) / 2, (s.a.z + s.b.z) / 2}
                             : s.a;
        return s.layer + depthOf(mid);
    };
    std::stable_sort(solids.begin(), solids.end(), [&](const Solid& a, const Solid& b) { return depth(a) < depth(b); });
    for (const Solid& solid : solids) {
        if (solid.erase) {
            Solid plain = solid;
            plain.erase = false;
            plain.outline = false;
            raster.setErasing(true);
            renderSolid(raster, view, left, top, plain);
            raster.setErasing(false);
        } else {
            renderSolid(raster, view, left, top, solid);
        }
    }
}

bool isCharacterKind(const std::string& kind) {
    return kind == "hero" || kind == "slime" || kind == "mobb" || kind == "guard" || kind == "vendor" ||
           kind == "weapon";
}

std::vector<Solid> characterSolids(const std::string& kind, int direction, int frame, bool sleeping) {
    const Frame3 f = sleeping && kind != "slime" && kind != "mobb" ? lying() : standing(sleeping ? 4 : direction);
    if (kind == "slime") return slime(f, frame, sleeping);
    if (kind == "mobb") return mobb(f, frame, sleeping);
    return humanoid(lookOf(kind), f, frame, sleeping);
}

void paintCharacterSheet(Canvas& canvas, const std::string& kind) {
    Raster raster(canvas);
    for (int direction = 0; direction < 8; ++direction) {
        for (int frame = 0; frame < int(kWalkFrames); ++frame) {
            const int left = direction * int(kFrameWidth), top = frame * int(kFrameHeight);
            raster.clip(left, top, left + int(kFrameWidth), top + int(kFrameHeight));
            renderSolids(raster, left, top, characterSolids(kind, direction, frame, false));
        }
    }
    for (int frame = 0; frame < int(kSleepFrames); ++frame) {
        const int left = 8 * int(kFrameWidth), top = frame * int(kFrameHeight);
        raster.clip(left, top, left + int(kFrameWidth), top + int(kFrameHeight));
        renderSolids(raster, left, top, characterSolids(kind, 4, frame, true));
        if (kind != "weapon") addSleepMarks(raster, left, top, frame);
    }
    raster.unclip();
}

void paintWalkerSheet(Canvas& canvas, const std::string& kind, uint32_t cell) {
    Raster raster(canvas);
    // The figure keeps its proportions to the 120-pixel frame it was drawn for.
    const double scale = 26.0 * cell / double(kFrameHeight);
    for (int row = 0; row < 4; ++row) {
        for (int frame = 0; frame < int(kWalkFrames); ++frame) {
            const int left = frame * int(cell), top = row * int(cell);
            raster.clip(left, top, left + int(cell), top + int(cell));
            renderSolids(raster, left, top, characterSolids(kind, row * 2, frame, false), scale, cell / 2.0,
                         kGroundY * cell / double(kFrameHeight));
        }
    }
    raster.unclip();
}

void paintConditionSheet(Canvas& canvas) {
    Raster r(canvas);
    const double pi = std::numbers::pi;
    for (int frame = 0; frame < 4; ++frame) {
        const double left = frame * double(kFrameWidth), turn = frame * pi / 2.0;
        const double cx = left + kFrameWidth / 2.0;
        // Confusion: three stars circling over the head.
        for (int i = 0; i < 3; ++i) {
            const double a = turn / 3.0 + i * 2.0 * pi / 3.0;
            const double x = cx + std::cos(a) * 26, y = 24 + std::sin(a) * 8, size = 6 + 2 * std::sin(a);
            std::vector<Point> star;
            for (int k = 0; k < 10; ++k) {
                const double t = -pi / 2 + k * pi / 5, rad = k % 2 == 0 ? size : size * 0.45;
                star.push_back({x + std::cos(t) * rad, y + std::sin(t) * rad});
            }
            r.polygon(star, 0xFFFFE040, kInk, 1.2);
        }
        // Drunken: bubbles rising and a pink glow.
        const double top1 = kMarkHeight;
        r.ellipse(cx, top1 + 56, 26, 7, 0x60FF6090);  // flushed cheeks
        for (int i = 0; i < 3; ++i) {
            const double rise = std::fmod(frame * 8.0 + i * 11.0, 32.0);
            r.ellipse(cx - 16 + i * 16, top1 + 44 - rise, 4 + i, 4 + i, 0x90E0F0FF, 0xFF6080A0, 1.0);
        }
        // Blind: a dark band over the eyes with a crossed-out eye.
        const double top2 = 2.0 * kMarkHeight;
        r.roundedRect(cx - 30, top2 + 47, cx + 30, top2 + 60, 6, 0xE0202028, kInk, 1.0);  // over the eyes
        r.ellipse(cx, top2 + 14, 11, 6 + (frame % 2), 0xFFFFFFFF, kInk, 1.4);
        r.ellipse(cx, top2 + 14, 4, 4, kInk);
        r.line({cx - 13, top2 + 22}, {cx + 13, top2 + 6}, 3.0, 0xFFE04040);
        // Trip: sparkles in shifting colours.
        const double top3 = 3.0 * kMarkHeight;
        static const uint32_t kSparks[] = {0xFFFF6060, 0xFFFFE060, 0xFF60FF90, 0xFF60C0FF, 0xFFD070FF};
        for (int i = 0; i < 5; ++i) {
            const double a = i * 2.0 * pi / 5.0 + turn / 2.0;
            const double x = cx + std::cos(a) * 30, y = top3 + 22 + std::sin(a) * 12;
            const uint32_t c = kSparks[(i + frame) % 5];
            r.line({x - 5, y}, {x + 5, y}, 2.4, c);
            r.line({x, y - 5}, {x, y + 5}, 2.4, c);
        }
        // Unhinged: a throbbing red anger mark.
        const double top4 = 4.0 * kMarkHeight, pulse = 1.0 + 0.18 * (frame % 2);
        const double mx = cx + 18, my = top4 + 20;
        r.ellipse(cx, top4 + 30, 30, 10, 0x50FF2020);
        // The anger mark: four bent strokes around a gap, like throbbing veins.
        for (int k = 0; k < 4; ++k) {
            const double sx = k % 2 ? 1.0 : -1.0, sy = k < 2 ? 1.0 : -1.0;
            const Point tip1{mx + sx * 3 * pulse, my + sy * 11 * pulse},
                corner{mx + sx * 4 * pulse, my + sy * 4 * pulse};
            const Point tip2{mx + sx * 11 * pulse, my + sy * 3 * pulse};
            for (const auto& [width, colour] : {std::pair{6.0, kInk}, std::pair{3.4, 0xFFFF3030u}}) {
                r.line(tip1, corner, width, colour);
                r.line(corner, tip2, width, colour);
            }
        }
    }
}

}  // namespace Orvex::Tools::ImageGen
