// Interleaved pixel types and the float conversions every kernel uses to read and write them.
#pragma once

#include <cmath>
#include <cstdint>
#include <type_traits>

namespace nb {

// Component positions of red, green, blue and alpha inside one pixel.
template <int R, int G, int B, int A>
struct Rgb_Layout {
    static constexpr int r = R, g = G, b = B, a = A;
};

template <int V, int A>
struct Gray_Layout {
    static constexpr int v = V, a = A;
};

// A colour pixel: four colour components (A alpha channels, always 1) then E extra channels.
// M is the component value that stands for 1.0.
template <class Layout, class T, int A, int E, int M>
struct Pixel_Rgb_Aos {
    using layout = Layout;
    using component = T;
    static constexpr bool is_gray = false;
    static constexpr int alpha_channels = A;
    static constexpr int extra_channels = E;
    static constexpr int channels = 4 + E;
    static constexpr float white = static_cast<float>(M);

    T c[4 + E];

    T& r() { return c[Layout::r]; }
    T& g() { return c[Layout::g]; }
    T& b() { return c[Layout::b]; }
    T& a() { return c[Layout::a]; }
    T r() const { return c[Layout::r]; }
    T g() const { return c[Layout::g]; }
    T b() const { return c[Layout::b]; }
    T a() const { return c[Layout::a]; }
    T& extra(int i = 0) { return c[4 + i]; }
    T extra(int i = 0) const { return c[4 + i]; }
};

// A single-channel pixel; no alpha and no extra channel.
template <class Layout, class T, int A, int E, int M>
struct Pixel_Gray_Aos {
    using layout = Layout;
    using component = T;
    static constexpr bool is_gray = true;
    static constexpr int alpha_channels = 0;
    static constexpr int extra_channels = 0;
    static constexpr int channels = 1;
    static constexpr float white = static_cast<float>(M);

    T c[1];

    T& v() { return c[0]; }
    T v() const { return c[0]; }
};

using Argb_Layout = Rgb_Layout<1, 2, 3, 0>;
using Bgra_Layout = Rgb_Layout<2, 1, 0, 3>;

using Pixel_Argb_8 = Pixel_Rgb_Aos<Argb_Layout, uint8_t, 1, 0, 255>;
using Pixel_Argb_16 = Pixel_Rgb_Aos<Argb_Layout, uint16_t, 1, 0, 32768>;
using Pixel_Argb_32f = Pixel_Rgb_Aos<Argb_Layout, float, 1, 0, 1>;
using Pixel_Bgra_8 = Pixel_Rgb_Aos<Bgra_Layout, uint8_t, 1, 0, 255>;
using Pixel_Bgra_16 = Pixel_Rgb_Aos<Bgra_Layout, uint16_t, 1, 0, 32768>;
using Pixel_Bgra_32f = Pixel_Rgb_Aos<Bgra_Layout, float, 1, 0, 1>;
using Pixel_Argb_32f_Extra = Pixel_Rgb_Aos<Argb_Layout, float, 1, 1, 1>;
using Pixel_Bgra_32f_Extra = Pixel_Rgb_Aos<Bgra_Layout, float, 1, 1, 1>;
using Pixel_Gray_32f = Pixel_Gray_Aos<Gray_Layout<0, 1>, float, 0, 0, 1>;

// Access-policy tag of all kernels: pixels in ordinary CPU memory, addressed with plain pointers.
struct Cpu_Pixel {};

// Component to float, normalised so that white maps to 1.0.
template <class T>
constexpr float to_unit(T v) {
    if constexpr (std::is_same_v<T, uint8_t>) return static_cast<float>(v) * 0.003921569f;
    else if constexpr (std::is_same_v<T, uint16_t>) return static_cast<float>(v) * 3.0517578e-5f;
    else return static_cast<float>(v);
}

// Stores a value already scaled to the component's range: integers round half up and clamp to
// [0, max]; NaN becomes 0, so no non-finite value reaches an integer conversion. Float is stored as is.
template <class T>
constexpr T store_component(float scaled) {
    if constexpr (std::is_same_v<T, float>) {
        return scaled;
    } else {
        constexpr float max = std::is_same_v<T, uint8_t> ? 255.0f : 32768.0f;
        float v = scaled + 0.5f;
        if (!(v > 0.0f)) return T(0);  // also catches NaN
        if (v >= max) return static_cast<T>(max);
        return static_cast<T>(v);
    }
}

// Float (white 1.0) to component: truncate(clamp(v * white + 0.5)); float is never clamped.
template <class T>
constexpr T from_unit(float v) {
    if constexpr (std::is_same_v<T, uint8_t>) return store_component<T>(v * 255.0f);
    else if constexpr (std::is_same_v<T, uint16_t>) return store_component<T>(v * 32768.0f);
    else return v;
}

// Colour of one pixel in float, white 1.0, independent of channel order.
struct Rgba_F {
    float r = 0.0f, g = 0.0f, b = 0.0f, a = 0.0f;
};

template <class P>
Rgba_F load_rgba(const P& p) {
    return {to_unit(p.r()), to_unit(p.g()), to_unit(p.b()), to_unit(p.a())};
}

template <class P>
void store_rgba(P& p, const Rgba_F& v) {
    using T = typename P::component;
    p.r() = from_unit<T>(v.r);
    p.g() = from_unit<T>(v.g);
    p.b() = from_unit<T>(v.b);
    p.a() = from_unit<T>(v.a);
}

}  // namespace nb
