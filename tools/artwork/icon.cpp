#include <algorithm>
#include <cmath>
#include <numbers>
#include <vector>

#include "pictures.h"
#include "raster.h"

namespace quorvel::artwork {

namespace {

constexpr double pi = std::numbers::pi;

// Drawn in a unit square, y down, seen from the front left: the case's depth
// shows on its right.
const Vec face_centre{0.45, 0.575};
const Vec face_radii{0.335, 0.345};
const Vec depth{0.075, -0.03};
const Vec dial_radii = face_radii * 0.76;

const Rgba clear{0, 0, 0, 0};
const Rgba outline_red = rgb(78, 0, 8);
const Rgba outline_brown = rgb(120, 56, 0);

// The case: the front ellipse swept back along `depth`.
double case_distance(Vec p) {
    const Vec q{(p.x - face_centre.x) / face_radii.x, (p.y - face_centre.y) / face_radii.y};
    const Vec back{depth.x / face_radii.x, depth.y / face_radii.y};
    return capsule(q, {0, 0}, back, 1.0) * std::min(face_radii.x, face_radii.y);
}

// A point on the dial plane at clock angle `turn` (0 = 12 o'clock, 1 = a
// full turn) and fraction `k` of the dial's radius.
Vec dial_point(double turn, double k) {
    const double a = turn * 2 * pi;
    return face_centre + Vec{std::sin(a) * dial_radii.x * k, -std::cos(a) * dial_radii.y * k};
}

struct Bell {
    Vec centre;
    double tilt;  // radians, clockwise
};
const Bell bells[] = {{{0.215, 0.215}, -0.62}, {{0.735, 0.165}, 0.55}};

// A dome with a flared lip and a knob, upright about the origin.
double bell_distance(Vec p) {
    const double dome = std::max(ellipse(p, {0, 0.045}, {0.13, 0.145}), p.y - 0.045);
    const double lip = ellipse(p, {0, 0.05}, {0.152, 0.03});
    const double knob = circle(p, {0, -0.125}, 0.032);
    return std::min({dome, lip, knob});
}

// Paints shapes back to front and keeps the distance to the nearest edge.
class Paint {
  public:
    void fill(double distance, Rgba c) {
        edge_ = std::min(edge_, std::abs(distance));
        if (distance < 0) colour_ = c.a == 255 ? c : over(colour_, c);
    }
    void note_edge(double distance) { edge_ = std::min(edge_, std::abs(distance)); }
    // Shape with a dark rim `rim` wide around it.
    void outlined(double distance, double rim, Rgba edge, Rgba inside) {
        fill(distance - rim, edge);
        fill(distance, inside);
    }
    Rgba colour() const { return colour_; }
    double edge() const { return edge_; }

  private:
    Rgba colour_ = clear;
    double edge_ = 1e9;
};

struct Line {
    Vec from, to;
    double half_width;
};

// What each size shows, worked out once per image rather than per sample.
struct Detail {
    double rim;   // outline width
    bool hammer;  // small sizes leave it out so the bells stay apart
    std::vector<Line> marks;
    std::vector<Line> hands;
    double hub = 0;    // radius of the cap over the hands; 0 for none
    Vec bell_turn[2];  // cos, sin of each bell's tilt
};

Detail detail_for(int size) {
    const double px = 1.0 / size;
    // Tiny sizes show three o'clock with hands on the pixel grid, which stay
    // crisp; larger ones ten past ten, the hands clear of each other.
    const bool tiny = size <= 24;
    const double hand = size <= 16   ? 0.5 * px
                        : size <= 24 ? 0.6 * px
                        : size <= 32 ? 0.8 * px
                                     : std::max(0.022, 0.9 * px);
    const int marks = size <= 16 ? 0 : size <= 32 ? 4 : 12;

    Detail d;
    d.rim = size <= 16   ? 0.8 * px
            : size <= 24 ? 0.9 * px
            : size <= 32 ? px
                         : std::max(0.017, 1.2 * px);
    d.hammer = size > 32;
    for (int h = 0; h < 12 && marks > 0; ++h) {
        const bool quarter = h % 3 == 0;
        if (!quarter && marks < 12) continue;
        const double inner = marks < 12 ? 0.8 : quarter ? 0.72 : 0.8;
        const double half = marks < 12 ? hand * 1.1 : quarter ? 0.024 : 0.016;
        d.marks.push_back({dial_point(h / 12.0, inner), dial_point(h / 12.0, 0.9), half});
    }
    const double hour = tiny ? 3.0 / 12 : -2.0 / 12 + 10.0 / 720;
    const double minute = tiny ? 0.0 : 2.0 / 12;
    d.hands.push_back({face_centre, dial_point(hour, 0.55), tiny ? hand : hand * 1.25});
    d.hands.push_back({face_centre, dial_point(minute, 0.8), hand});
    d.hub = tiny ? 0 : hand * 1.9;
    for (int i = 0; i < 2; ++i) d.bell_turn[i] = {std::cos(bells[i].tilt), std::sin(bells[i].tilt)};
    return d;
}

// The colour at p and its distance to the nearest edge, both in the unit square.
Sample shade(Vec p, const Detail& d) {
    Paint paint;

    // Short feet behind the case.
    const Rgba foot = rgb(168, 14, 22);
    paint.outlined(capsule(p, {0.27, 0.83}, {0.19, 0.935}, 0.043), d.rim, outline_red, foot);
    paint.outlined(capsule(p, {0.67, 0.84}, {0.765, 0.93}, 0.043), d.rim, outline_red, foot);

    if (d.hammer) {
        const Rgba steel = rgb(70, 70, 78), dark = rgb(30, 30, 34);
        paint.outlined(capsule(p, {0.49, 0.23}, {0.49, 0.1}, 0.02), d.rim * 0.7, dark, steel);
        paint.outlined(circle(p, {0.49, 0.085}, 0.035), d.rim * 0.7, dark, steel);
    }

    for (int i = 0; i < 2; ++i) {
        // Into the bell's own upright frame: turn back by its tilt.
        const Vec q = p - bells[i].centre, turn = d.bell_turn[i];
        const Vec local{q.x * turn.x + q.y * turn.y, q.y * turn.x - q.x * turn.y};
        const double dist = bell_distance(local);
        if (dist - d.rim >= 0) {
            paint.note_edge(dist - d.rim);
            continue;
        }
        // Lit from the upper left of the bell's own axis.
        const double t = std::clamp((local.x + local.y * 0.6) / 0.2 + 0.5, 0.0, 1.0);
        const Rgba body = mix(rgb(255, 222, 92), rgb(236, 136, 8), t);
        paint.outlined(dist, d.rim, outline_brown, body);
        paint.fill(std::max(local.y, circle(local, {-0.05, -0.045}, 0.035)),
                   Rgba{255, 250, 220, 170});
    }

    // Case: dark sides, the lit front rim graded from top to bottom.
    const double body = case_distance(p);
    paint.outlined(body, d.rim, outline_red, rgb(148, 10, 20));
    const double front = ellipse(p, face_centre, face_radii);
    const double tf = std::clamp((p.y - 0.24) / 0.68, 0.0, 1.0);
    paint.fill(front, mix(rgb(240, 60, 52), rgb(186, 18, 26), tf));
    // Gloss along the upper left of the rim.
    paint.fill(std::max(front, -ellipse(p, face_centre + Vec{0.03, 0.035}, face_radii * 0.98)),
               Rgba{255, 200, 190, 150});

    // Dial, graded slightly towards its edge.
    const double dial = ellipse(p, face_centre, dial_radii);
    const double tr = std::clamp(
        length({(p.x - face_centre.x) / dial_radii.x, (p.y - face_centre.y) / dial_radii.y}), 0.0,
        1.0);
    paint.outlined(dial, d.rim * 0.8, rgb(110, 12, 16),
                   mix(rgb(255, 250, 214), rgb(246, 226, 150), tr * tr));

    const Rgba blue = rgb(30, 72, 200);
    for (const Line& m : d.marks) paint.fill(capsule(p, m.from, m.to, m.half_width), blue);
    const Rgba hand = rgb(16, 16, 20);
    for (const Line& h : d.hands) paint.fill(capsule(p, h.from, h.to, h.half_width), hand);
    if (d.hub > 0) paint.fill(circle(p, face_centre, d.hub), hand);
    return {paint.colour(), paint.edge()};
}

}  // namespace

Image program_icon(int size) {
    const Detail detail = detail_for(size);
    const double scale = 1.0 / size;
    // Put the dial's centre on a pixel centre so that the hands are sharp.
    const auto snap = [size](double v) { return (std::floor(v * size) + 0.5) / size - v; };
    const Vec shift{snap(face_centre.x), snap(face_centre.y)};
    return render_adaptive(size, size, 8, [&](Vec p) {
        const Sample s = shade(p * scale - shift, detail);
        return Sample{s.colour, s.edge * size};
    });
}

}  // namespace quorvel::artwork
