// Radix-2, 4, 3 and 5 butterflies and the real-spectrum split, each applied to all lanes of an element at once.
#include "kernel/fft_lanes_cpu.h"

namespace nb {

namespace {

struct Complex_F {
    float re, im;
};

Complex_F twiddle(const float* twiddles, int64_t index, float sign) {
    return {twiddles[2 * index], sign * twiddles[2 * index + 1]};
}

// The first pass only (spans of 1): no twiddles.
template <int V>
void radix2_stage(Fft_Vector* d, int64_t n) {
    constexpr int E = 2 * V;
    for (int64_t i = 0; i < n; i += 2) {
        Fft_Vector* x0 = d + i * E;
        Fft_Vector* x1 = x0 + E;
        for (int v = 0; v < E; ++v) {
            const Fft_Vector a = x0[v], b = x1[v];
            x0[v] = a + b;
            x1[v] = a - b;
        }
    }
}

// The radix-2 stages of half-spans h and 2h on the four elements x0..x3 (spaced h apart).
// w1 = e^(sign i pi k / h) serves the first stage, w2 = e^(sign i pi k / 2h) and w3 = w2 * (sign i)
// the second.
template <int V>
inline void radix4_butterfly(Fft_Vector* x0, Fft_Vector* x1, Fft_Vector* x2, Fft_Vector* x3, Complex_F w1,
                             Complex_F w2, Complex_F w3) {
    for (int v = 0; v < V; ++v) {
        const Fft_Vector t1r = w1.re * x1[v] - w1.im * x1[V + v];
        const Fft_Vector t1i = w1.re * x1[V + v] + w1.im * x1[v];
        const Fft_Vector t3r = w1.re * x3[v] - w1.im * x3[V + v];
        const Fft_Vector t3i = w1.re * x3[V + v] + w1.im * x3[v];
        const Fft_Vector a0r = x0[v] + t1r, a0i = x0[V + v] + t1i;
        const Fft_Vector a1r = x0[v] - t1r, a1i = x0[V + v] - t1i;
        const Fft_Vector a2r = x2[v] + t3r, a2i = x2[V + v] + t3i;
        const Fft_Vector a3r = x2[v] - t3r, a3i = x2[V + v] - t3i;
        const Fft_Vector u2r = w2.re * a2r - w2.im * a2i;
        const Fft_Vector u2i = w2.re * a2i + w2.im * a2r;
        const Fft_Vector u3r = w3.re * a3r - w3.im * a3i;
        const Fft_Vector u3i = w3.re * a3i + w3.im * a3r;
        x0[v] = a0r + u2r;
        x0[V + v] = a0i + u2i;
        x2[v] = a0r - u2r;
        x2[V + v] = a0i - u2i;
        x1[v] = a1r + u3r;
        x1[V + v] = a1i + u3i;
        x3[v] = a1r - u3r;
        x3[V + v] = a1i - u3i;
    }
}

// The same stages for k = 0, where w1 = w2 = 1 and w3 = sign i: no multiplications.
template <int V>
inline void radix4_butterfly_untwiddled(Fft_Vector* x0, Fft_Vector* x1, Fft_Vector* x2, Fft_Vector* x3, float sign) {
    for (int v = 0; v < V; ++v) {
        const Fft_Vector a0r = x0[v] + x1[v], a0i = x0[V + v] + x1[V + v];
        const Fft_Vector a1r = x0[v] - x1[v], a1i = x0[V + v] - x1[V + v];
        const Fft_Vector a2r = x2[v] + x3[v], a2i = x2[V + v] + x3[V + v];
        const Fft_Vector a3r = x2[v] - x3[v], a3i = x2[V + v] - x3[V + v];
        const Fft_Vector u3r = -sign * a3i, u3i = sign * a3r;
        x0[v] = a0r + a2r;
        x0[V + v] = a0i + a2i;
        x2[v] = a0r - a2r;
        x2[V + v] = a0i - a2i;
        x1[v] = a1r + u3r;
        x1[V + v] = a1i + u3i;
        x3[v] = a1r - u3r;
        x3[V + v] = a1i - u3i;
    }
}

template <int V>
void radix4_stage(Fft_Vector* d, int64_t n, int64_t h, const float* twiddles, float sign) {
    constexpr int E = 2 * V;
    const int64_t step1 = n / (2 * h), step2 = n / (4 * h);
    for (int64_t g = 0; g < n; g += 4 * h) {
        Fft_Vector* x0 = d + g * E;
        radix4_butterfly_untwiddled<V>(x0, x0 + h * E, x0 + 2 * h * E, x0 + 3 * h * E, sign);
    }
    for (int64_t k = 1; k < h; ++k) {
        const Complex_F w1 = twiddle(twiddles, k * step1, sign);
        const Complex_F w2 = twiddle(twiddles, k * step2, sign);
        const Complex_F w3{-sign * w2.im, sign * w2.re};
        for (int64_t g = k; g < n; g += 4 * h) {
            Fft_Vector* x0 = d + g * E;
            radix4_butterfly<V>(x0, x0 + h * E, x0 + 2 * h * E, x0 + 3 * h * E, w1, w2, w3);
        }
    }
}

// z * w for the V real and V imaginary vectors of z.
template <int V>
inline void twiddled(const Fft_Vector* z, Complex_F w, Fft_Vector* re, Fft_Vector* im) {
    for (int v = 0; v < V; ++v) {
        re[v] = w.re * z[v] - w.im * z[V + v];
        im[v] = w.re * z[V + v] + w.im * z[v];
    }
}

// The 3-point transform of x0, w1 x1, w2 x2: with t = x1 + x2 and d = x1 - x2, X0 = x0 + t and
// X1,2 = x0 - t / 2 +- sign i sin(2 pi / 3) d.
template <int V>
inline void radix3_butterfly(Fft_Vector* x0, Fft_Vector* x1, Fft_Vector* x2, Complex_F w1, Complex_F w2, float sign) {
    const float s = sign * 0.866025403784438647f;
    Fft_Vector br[V], bi[V], cr[V], ci[V];
    twiddled<V>(x1, w1, br, bi);
    twiddled<V>(x2, w2, cr, ci);
    for (int v = 0; v < V; ++v) {
        const Fft_Vector tr = br[v] + cr[v], ti = bi[v] + ci[v];
        const Fft_Vector dr = s * (br[v] - cr[v]), di = s * (bi[v] - ci[v]);
        const Fft_Vector mr = x0[v] - 0.5f * tr, mi = x0[V + v] - 0.5f * ti;
        x0[v] += tr;
        x0[V + v] += ti;
        x1[v] = mr - di;
        x1[V + v] = mi + dr;
        x2[v] = mr + di;
        x2[V + v] = mi - dr;
    }
}

// The 5-point transform of x0 and the twiddled x1 .. x4, from the sums t1 = x1 + x4, t2 = x2 + x3 and
// the differences d1 = x1 - x4, d2 = x2 - x3 (c_k = cos(2 pi k / 5), s_k = sin(2 pi k / 5)):
// X1,4 = x0 + c1 t1 + c2 t2 +- sign i (s1 d1 + s2 d2), X2,3 = x0 + c2 t1 + c1 t2 +- sign i (s2 d1 - s1 d2).
template <int V>
inline void radix5_butterfly(Fft_Vector* const (&x)[5], const Complex_F (&w)[5], float sign) {
    constexpr float c1 = 0.309016994374947424f, c2 = -0.809016994374947424f;
    const float s1 = sign * 0.951056516295153572f, s2 = sign * 0.587785252292473129f;
    Fft_Vector r[5][V], i[5][V];
    for (int j = 1; j < 5; ++j) twiddled<V>(x[j], w[j], r[j], i[j]);
    for (int v = 0; v < V; ++v) {
        const Fft_Vector t1r = r[1][v] + r[4][v], t1i = i[1][v] + i[4][v];
        const Fft_Vector t2r = r[2][v] + r[3][v], t2i = i[2][v] + i[3][v];
        const Fft_Vector d1r = r[1][v] - r[4][v], d1i = i[1][v] - i[4][v];
        const Fft_Vector d2r = r[2][v] - r[3][v], d2i = i[2][v] - i[3][v];
        const Fft_Vector x0r = x[0][v], x0i = x[0][V + v];
        const Fft_Vector ar = x0r + c1 * t1r + c2 * t2r, ai = x0i + c1 * t1i + c2 * t2i;
        const Fft_Vector br = x0r + c2 * t1r + c1 * t2r, bi = x0i + c2 * t1i + c1 * t2i;
        const Fft_Vector er = s1 * d1r + s2 * d2r, ei = s1 * d1i + s2 * d2i;
        const Fft_Vector fr = s2 * d1r - s1 * d2r, fi = s2 * d1i - s1 * d2i;
        x[0][v] = x0r + t1r + t2r;
        x[0][V + v] = x0i + t1i + t2i;
        x[1][v] = ar - ei;
        x[1][V + v] = ai + er;
        x[4][v] = ar + ei;
        x[4][V + v] = ai - er;
        x[2][v] = br - fi;
        x[2][V + v] = bi + fr;
        x[3][v] = br + fi;
        x[3][V + v] = bi - fr;
    }
}

// Combines the transforms of length h into ones of length 3h (Radix = 3) or 5h (Radix = 5): element
// j of group g, butterfly k is g + k + j h and is twiddled by e^(sign 2 pi i j k / (Radix h)),
// entry j k n / (Radix h) of the table of period n.
template <int V, int Radix>
void odd_radix_stage(Fft_Vector* d, int64_t n, int64_t h, const float* twiddles, float sign) {
    constexpr int E = 2 * V;
    const int64_t span = Radix * h, step = n / span;
    for (int64_t k = 0; k < h; ++k) {
        Complex_F w[Radix];
        for (int j = 0; j < Radix; ++j) w[j] = twiddle(twiddles, j * k * step, sign);
        for (int64_t g = k; g < n; g += span) {
            Fft_Vector* x0 = d + g * E;
            if constexpr (Radix == 3) {
                radix3_butterfly<V>(x0, x0 + h * E, x0 + 2 * h * E, w[1], w[2], sign);
            } else {
                Fft_Vector* const x[5] = {x0, x0 + h * E, x0 + 2 * h * E, x0 + 3 * h * E, x0 + 4 * h * E};
                radix5_butterfly<V>(x, w, sign);
            }
        }
    }
}

// Bins q and half - q from elements a = Z[q], b = Z[half - q] of the half-length transform; c2 is
// -0.5 forward and +0.5 in reverse, w = e^(sign 2 pi i q / n).
template <int V>
inline void split_pair(Fft_Vector* a, Fft_Vector* b, Complex_F w, float c2) {
    for (int v = 0; v < V; ++v) {
        const Fft_Vector h1r = 0.5f * (a[v] + b[v]);
        const Fft_Vector h1i = 0.5f * (a[V + v] - b[V + v]);
        const Fft_Vector h2r = -c2 * (a[V + v] + b[V + v]);
        const Fft_Vector h2i = c2 * (a[v] - b[v]);
        const Fft_Vector pr = w.re * h2r - w.im * h2i;
        const Fft_Vector pi = w.re * h2i + w.im * h2r;
        a[v] = h1r + pr;
        a[V + v] = h1i + pi;
        b[v] = h1r - pr;
        b[V + v] = pi - h1i;
    }
}

}  // namespace

template <int V>
void Fft_Lanes<V>::transform(Fft_Vector* data, int64_t n, const float* twiddles, float sign) {
    int64_t h = 1;
    for (const int radix : Fft_Factors::of(n)) {
        if (radix == 2) radix2_stage<V>(data, n);
        else if (radix == 4) radix4_stage<V>(data, n, h, twiddles, sign);
        else if (radix == 3) odd_radix_stage<V, 3>(data, n, h, twiddles, sign);
        else odd_radix_stage<V, 5>(data, n, h, twiddles, sign);
        h *= radix;
    }
}

template <int V>
void Fft_Lanes<V>::split_forward(Fft_Vector* data, int64_t half, const float* twiddles) {
    if (half < 1) return;
    for (int v = 0; v < V; ++v) {
        const Fft_Vector re = data[v], im = data[V + v];
        data[v] = re + im;
        data[V + v] = re - im;
    }
    for (int64_t q = 1; q < half - q; ++q)
        split_pair<V>(data + q * vectors, data + (half - q) * vectors, twiddle(twiddles, q, 1.0f), -0.5f);
}

template <int V>
void Fft_Lanes<V>::split_reverse(Fft_Vector* data, int64_t half, const float* twiddles, const int32_t* order) {
    if (half < 1) return;
    Fft_Vector* zero = data + int64_t{order[0]} * vectors;
    for (int v = 0; v < V; ++v) {
        const Fft_Vector dc = zero[v], nyquist = zero[V + v];
        zero[v] = 0.5f * (dc + nyquist);
        zero[V + v] = 0.5f * (dc - nyquist);
    }
    for (int64_t q = 1; q < half - q; ++q)
        split_pair<V>(data + int64_t{order[q]} * vectors, data + int64_t{order[half - q]} * vectors,
                      twiddle(twiddles, q, -1.0f), 0.5f);
}

template struct Fft_Lanes<1>;
template struct Fft_Lanes<4>;
template struct Fft_Lanes<5>;
template struct Fft_Lanes<8>;

}  // namespace nb
