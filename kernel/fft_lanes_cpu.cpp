// Radix-2^2 butterflies and the real-spectrum split, each applied to all lanes of an element at once.
#include "kernel/fft_lanes_cpu.h"

namespace nb {

namespace {

struct Complex_F {
    float re, im;
};

Complex_F twiddle(const float* twiddles, int64_t index, float sign) {
    return {twiddles[2 * index], sign * twiddles[2 * index + 1]};
}

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
    int log2n = 0;
    while ((int64_t{1} << log2n) < n) ++log2n;
    int64_t h = 1;
    if (log2n % 2 == 1) {
        radix2_stage<V>(data, n);
        h = 2;
    }
    for (; 4 * h <= n; h *= 4) radix4_stage<V>(data, n, h, twiddles, sign);
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
