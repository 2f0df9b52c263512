// A procedural night street in scene-referred light: the image a lens-defocus effect is made for.
#include "tools/demo_scene.h"

#include <algorithm>
#include <cmath>

namespace nb::tools {
namespace {

// SplitMix64: a fixed generator, so every platform draws the same numbers (the standard library's
// distributions are not specified bit for bit).
class Random {
public:
    explicit Random(uint64_t seed) : state_(seed) {}

    uint64_t next() {
        uint64_t z = (state_ += 0x9E3779B97F4A7C15ull);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
        return z ^ (z >> 31);
    }
    double uniform() { return static_cast<double>(next() >> 11) * 0x1.0p-53; }
    double between(double low, double high) { return low + (high - low) * uniform(); }
    bool chance(double p) { return uniform() < p; }

private:
    uint64_t state_;
};

struct Colour {
    double r = 0.0, g = 0.0, b = 0.0;
};

Colour operator*(Colour c, double k) { return {c.r * k, c.g * k, c.b * k}; }

Colour mix(Colour a, Colour b, double t) { return {a.r + (b.r - a.r) * t, a.g + (b.g - a.g) * t, a.b + (b.b - a.b) * t}; }

// Drawing in units of the image height: (0, 0) is the top-left corner, y = 1 the bottom edge and
// x runs to the aspect ratio.
class Canvas {
public:
    explicit Canvas(Image_Rgba& image) : image_(image), unit_(static_cast<double>(image.height)) {}

    double aspect() const { return static_cast<double>(image_.width) / unit_; }

    // Replaces the pixels whose centres lie inside: edges stay sharp at every size.
    void fill(double x0, double y0, double x1, double y1, Colour c) {
        for_pixels(x0, y0, x1, y1, [&](float* p, double, double) { set(p, c); });
    }

    void vertical_gradient(double y0, double y1, Colour top, Colour bottom) {
        for_pixels(0.0, y0, aspect(), y1, [&](float* p, double, double y) {
            set(p, mix(top, bottom, std::clamp((y - y0) / (y1 - y0), 0.0, 1.0)));
        });
    }

    // A disc covered by 4 x 4 samples per pixel: a smooth but crisp rim.
    void disc(double cx, double cy, double radius, Colour c) {
        const double step = 1.0 / (4.0 * unit_);
        for_pixels(cx - radius - step * 4, cy - radius - step * 4, cx + radius + step * 4, cy + radius + step * 4,
                   [&](float* p, double x, double y) {
                       int inside = 0;
                       for (int i = 0; i < 16; ++i) {
                           const double dx = x + (i % 4 - 1.5) * step - cx, dy = y + (i / 4 - 1.5) * step - cy;
                           inside += dx * dx + dy * dy <= radius * radius ? 1 : 0;
                       }
                       blend(p, c, inside / 16.0);
                   });
    }

    // Adds a round Gaussian spot of peak value c. Sigma is kept at 0.6 pixel or more so that a
    // spot between pixel centres still lands on some pixel.
    void glow(double cx, double cy, double sigma, Colour c) {
        sigma = std::max(sigma, 0.6 / unit_);
        const double reach = 3.0 * sigma;
        for_pixels(cx - reach, cy - reach, cx + reach, cy + reach, [&](float* p, double x, double y) {
            const double d2 = (x - cx) * (x - cx) + (y - cy) * (y - cy);
            add(p, c * std::exp(-d2 / (2.0 * sigma * sigma)));
        });
    }

private:
    template <class F>
    void for_pixels(double x0, double y0, double x1, double y1, F&& f) {
        const auto first = [&](double v, int64_t size) { return std::clamp<int64_t>(std::lround(v * unit_), 0, size); };
        const int64_t c0 = first(x0, image_.width), c1 = first(x1, image_.width);
        const int64_t r0 = first(y0, image_.height), r1 = first(y1, image_.height);
        for (int64_t r = r0; r < r1; ++r)
            for (int64_t c = c0; c < c1; ++c) f(image_.pixel(c, r), (c + 0.5) / unit_, (r + 0.5) / unit_);
    }

    static void set(float* p, Colour c) { blend(p, c, 1.0); }
    static void blend(float* p, Colour c, double t) {
        p[0] = static_cast<float>(p[0] + (c.r - p[0]) * t);
        p[1] = static_cast<float>(p[1] + (c.g - p[1]) * t);
        p[2] = static_cast<float>(p[2] + (c.b - p[2]) * t);
    }
    static void add(float* p, Colour c) {
        p[0] = static_cast<float>(p[0] + c.r);
        p[1] = static_cast<float>(p[1] + c.g);
        p[2] = static_cast<float>(p[2] + c.b);
    }

    Image_Rgba& image_;
    double unit_;
};

// Where the skyline meets the street, in units of the height.
constexpr double horizon = 0.70;
constexpr double kerb = 0.74;

const Colour warm_window{1.0, 0.72, 0.42};
const Colour cool_window{0.75, 0.85, 1.0};
const Colour screen_window{0.45, 0.55, 1.0};
const Colour sodium{1.0, 0.55, 0.18};
const Colour headlight{1.0, 0.95, 0.85};
const Colour tail_light{1.0, 0.05, 0.02};

void paint_sky(Canvas& canvas, Random& random) {
    canvas.vertical_gradient(0.0, horizon, {0.003, 0.005, 0.016}, {0.05, 0.035, 0.045});
    const int stars = static_cast<int>(220 * canvas.aspect());
    for (int i = 0; i < stars; ++i) {
        const double x = random.between(0.0, canvas.aspect()), y = random.between(0.0, 0.5);
        const double intensity = random.chance(0.05) ? random.between(1.0, 3.0) : random.between(0.05, 0.4);
        canvas.glow(x, y, 0.0008, mix({1.0, 1.0, 1.0}, {0.7, 0.8, 1.0}, random.uniform()) * intensity);
    }
    const double moon_x = 0.80 * canvas.aspect(), moon_y = 0.14;
    canvas.glow(moon_x, moon_y, 0.05, Colour{0.05, 0.05, 0.06});
    canvas.disc(moon_x, moon_y, 0.028, {2.5, 2.4, 2.1});
}

struct Skyline_Style {
    double min_width, max_width;
    double min_top, max_top;
    double bottom;
    Colour wall;
    double window_pitch_x, window_pitch_y, window_width, window_height;
    double lit;  // share of windows that are lit
    double min_light, max_light;
};

Colour window_colour(Random& random) {
    const double pick = random.uniform();
    return pick < 0.6 ? warm_window : pick < 0.9 ? cool_window : screen_window;
}

void paint_windows(Canvas& canvas, Random& random, const Skyline_Style& s, double x0, double x1, double top) {
    const double margin = s.window_pitch_x * 0.6;
    // Some buildings are offices with whole floors lit in one colour.
    const bool office = random.chance(0.25);
    const Colour office_colour = cool_window * random.between(0.6, 1.4);
    for (double y = top + margin; y + s.window_height < s.bottom - margin; y += s.window_pitch_y) {
        const bool floor_lit = office && random.chance(0.4);
        for (double x = x0 + margin; x + s.window_width < x1 - margin * 0.5; x += s.window_pitch_x) {
            const bool lit = floor_lit || random.chance(s.lit);
            const Colour c = floor_lit ? office_colour : window_colour(random) * random.between(s.min_light, s.max_light);
            if (lit) canvas.fill(x, y, x + s.window_width, y + s.window_height, c);
        }
    }
}

// Buildings side by side across the width, now and then a gap; the tallest carry a red roof light.
void paint_skyline(Canvas& canvas, Random& random, const Skyline_Style& s, bool roof_lights) {
    double x = -random.between(0.0, s.max_width);
    while (x < canvas.aspect()) {
        const double width = random.between(s.min_width, s.max_width);
        const double top = random.between(s.min_top, s.max_top);
        canvas.fill(x, top, x + width, s.bottom, s.wall);
        paint_windows(canvas, random, s, x, x + width, top);
        if (roof_lights && top < s.min_top + (s.max_top - s.min_top) * 0.3)
            canvas.glow(x + width * 0.5, top - 0.004, 0.0015, Colour{1.0, 0.08, 0.05} * 25.0);
        x += width + (random.chance(0.35) ? random.between(0.02, 0.12) : 0.0);
    }
}

void paint_neon_signs(Canvas& canvas, Random& random) {
    const Colour neon[] = {{1.0, 0.1, 0.6}, {0.1, 0.9, 1.0}, {0.3, 1.0, 0.2}, {1.0, 0.3, 0.05}};
    const int signs = static_cast<int>(3 * canvas.aspect());
    for (int i = 0; i < signs; ++i) {
        const Colour c = neon[random.next() % 4] * random.between(4.0, 9.0);
        const double x = random.between(0.05, canvas.aspect() - 0.15), y = random.between(0.52, 0.66);
        // A framed sign: two bars and two posts of strip light, one pixel or so thick.
        const double w = random.between(0.05, 0.12), h = random.between(0.02, 0.04), t = 0.003;
        canvas.fill(x, y, x + w, y + t, c);
        canvas.fill(x, y + h, x + w, y + h + t, c);
        canvas.fill(x, y, x + t, y + h + t, c);
        canvas.fill(x + w - t, y, x + w, y + h + t, c);
    }
}

// A light on wet asphalt: a broken vertical streak below it, fading with distance.
void reflection(Canvas& canvas, Random& random, double x, double y, double sigma, Colour c) {
    constexpr double length = 0.2;
    for (double d = 0.01; y + d < 1.0 && d < length; d += sigma * 1.5) {
        const double fade = (1.0 - d / length) * (1.0 - d / length);
        if (random.chance(0.7)) canvas.glow(x + random.between(-1.0, 1.0) * sigma, y + d, sigma, c * (0.015 * fade));
    }
}

void paint_street(Canvas& canvas, Random& random) {
    canvas.vertical_gradient(horizon, kerb, {0.012, 0.011, 0.014}, {0.02, 0.018, 0.02});
    canvas.vertical_gradient(kerb, 1.0, {0.016, 0.014, 0.016}, {0.006, 0.006, 0.008});
    canvas.fill(0.0, kerb, canvas.aspect(), kerb + 0.004, {0.035, 0.03, 0.03});
    for (double x = random.between(0.05, 0.2); x < canvas.aspect(); x += random.between(0.3, 0.42)) {
        const double head = 0.58 + random.between(-0.01, 0.01);
        canvas.fill(x - 0.002, head, x + 0.002, kerb, {0.002, 0.002, 0.002});
        canvas.fill(x - 0.002, head - 0.002, x + 0.025, head + 0.002, {0.002, 0.002, 0.002});
        const Colour lamp = sodium * random.between(40.0, 70.0);
        canvas.glow(x + 0.022, head + 0.005, 0.003, lamp);
        canvas.glow(x + 0.022, kerb + 0.02, 0.06, sodium * 0.06);
        reflection(canvas, random, x + 0.022, kerb + 0.03, 0.002, lamp);
    }
}

void paint_traffic(Canvas& canvas, Random& random) {
    const struct Lane {
        double y, separation, sigma, min_light, max_light;
        Colour colour;
    } lanes[] = {{0.80, 0.032, 0.0025, 10.0, 25.0, tail_light}, {0.90, 0.07, 0.004, 80.0, 150.0, headlight}};
    for (const Lane& lane : lanes) {
        for (double x = random.between(0.0, 0.3); x < canvas.aspect(); x += random.between(0.18, 0.5)) {
            const Colour c = lane.colour * random.between(lane.min_light, lane.max_light);
            for (const double side : {0.0, lane.separation}) {
                canvas.glow(x + side, lane.y, lane.sigma, c);
                reflection(canvas, random, x + side, lane.y, lane.sigma, c);
            }
        }
    }
    const Colour signal[] = {{1.0, 0.1, 0.05}, {1.0, 0.5, 0.05}, {0.1, 1.0, 0.4}};
    for (const double x : {0.22 * canvas.aspect(), 0.68 * canvas.aspect()}) {
        canvas.fill(x - 0.002, 0.62, x + 0.002, kerb, {0.002, 0.002, 0.002});
        canvas.fill(x - 0.009, 0.56, x + 0.009, 0.62, {0.003, 0.003, 0.003});
        const int on = static_cast<int>(random.next() % 3);
        canvas.glow(x, 0.568 + 0.02 * on, 0.003, signal[on] * 30.0);
    }
}

}  // namespace

Image_Rgba make_demo_scene() {
    Image_Rgba image(1280, 720);
    for (size_t i = 3; i < image.rgba.size(); i += 4) image.rgba[i] = 1.0f;
    Canvas canvas(image);
    Random random(1);

    paint_sky(canvas, random);
    const Skyline_Style far{0.04, 0.12, 0.36, 0.56, horizon, {0.012, 0.011, 0.018}, 0.012, 0.016, 0.005, 0.007,
                            0.12, 0.1, 0.6};
    const Skyline_Style near{0.08, 0.22, 0.16, 0.52, kerb, {0.004, 0.004, 0.006}, 0.02, 0.028, 0.011, 0.015,
                             0.18, 0.2, 1.6};
    paint_skyline(canvas, random, far, false);
    paint_skyline(canvas, random, near, true);
    paint_neon_signs(canvas, random);
    paint_street(canvas, random);
    paint_traffic(canvas, random);
    return image;
}

}  // namespace nb::tools
