// Butterflies, passes and the real-spectrum split over the lane vector W of the including namespace.
// Included by fft_lanes_cpu.cpp once per instruction set, inside that set's namespace, which defines
// W, Complex_F, twiddle() and mul_add(a, s, c) = a s + c; so it includes nothing itself.

// z w for the real and imaginary parts zr, zi of z.
inline void multiply(const W& zr, const W& zi, Complex_F w, W& re, W& im) {
    re = mul_add(zr, w.re, zi * -w.im);
    im = mul_add(zi, w.re, zr * w.im);
}

// The first pass only (spans of 1): no twiddles.
template <int V>
inline void radix2_stage(W* d, int64_t n) {
    constexpr int E = 2 * V;
    for (int64_t i = 0; i < n; i += 2) {
        W* x0 = d + i * E;
        W* x1 = x0 + E;
        for (int v = 0; v < E; ++v) {
            const W a = x0[v], b = x1[v];
            x0[v] = a + b;
            x1[v] = a - b;
        }
    }
}

// The radix-2 stages of half-spans h and 2h on the four elements x0..x3 (spaced h apart).
// w1 = e^(sign i pi k / h) serves the first stage, w2 = e^(sign i pi k / 2h) and w3 = w2 * (sign i)
// the second.
template <int V>
inline void radix4_butterfly(W* x0, W* x1, W* x2, W* x3, Complex_F w1, Complex_F w2, Complex_F w3) {
    for (int v = 0; v < V; ++v) {
        W t1r, t1i, t3r, t3i, u2r, u2i, u3r, u3i;
        multiply(x1[v], x1[V + v], w1, t1r, t1i);
        multiply(x3[v], x3[V + v], w1, t3r, t3i);
        const W a0r = x0[v] + t1r, a0i = x0[V + v] + t1i;
        const W a1r = x0[v] - t1r, a1i = x0[V + v] - t1i;
        const W a2r = x2[v] + t3r, a2i = x2[V + v] + t3i;
        const W a3r = x2[v] - t3r, a3i = x2[V + v] - t3i;
        multiply(a2r, a2i, w2, u2r, u2i);
        multiply(a3r, a3i, w3, u3r, u3i);
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
inline void radix4_butterfly_untwiddled(W* x0, W* x1, W* x2, W* x3, float sign) {
    for (int v = 0; v < V; ++v) {
        const W a0r = x0[v] + x1[v], a0i = x0[V + v] + x1[V + v];
        const W a1r = x0[v] - x1[v], a1i = x0[V + v] - x1[V + v];
        const W a2r = x2[v] + x3[v], a2i = x2[V + v] + x3[V + v];
        const W a3r = x2[v] - x3[v], a3i = x2[V + v] - x3[V + v];
        const W u3r = -sign * a3i, u3i = sign * a3r;
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
inline void radix4_stage(W* d, int64_t n, int64_t h, const float* twiddles, float sign) {
    constexpr int E = 2 * V;
    const int64_t step1 = n / (2 * h), step2 = n / (4 * h);
    for (int64_t g = 0; g < n; g += 4 * h) {
        W* x0 = d + g * E;
        radix4_butterfly_untwiddled<V>(x0, x0 + h * E, x0 + 2 * h * E, x0 + 3 * h * E, sign);
    }
    for (int64_t k = 1; k < h; ++k) {
        const Complex_F w1 = twiddle(twiddles, k * step1, sign);
        const Complex_F w2 = twiddle(twiddles, k * step2, sign);
        const Complex_F w3{-sign * w2.im, sign * w2.re};
        for (int64_t g = k; g < n; g += 4 * h) {
            W* x0 = d + g * E;
            radix4_butterfly<V>(x0, x0 + h * E, x0 + 2 * h * E, x0 + 3 * h * E, w1, w2, w3);
        }
    }
}

// The 3-point transform of x0, w1 x1, w2 x2: with t = x1 + x2 and d = x1 - x2, X0 = x0 + t and
// X1,2 = x0 - t / 2 +- sign i sin(2 pi / 3) d.
template <int V>
inline void radix3_butterfly(W* x0, W* x1, W* x2, Complex_F w1, Complex_F w2, float sign) {
    const float s = sign * 0.866025403784438647f;
    for (int v = 0; v < V; ++v) {
        W br, bi, cr, ci;
        multiply(x1[v], x1[V + v], w1, br, bi);
        multiply(x2[v], x2[V + v], w2, cr, ci);
        const W tr = br + cr, ti = bi + ci;
        const W dr = s * (br - cr), di = s * (bi - ci);
        const W mr = mul_add(tr, -0.5f, x0[v]), mi = mul_add(ti, -0.5f, x0[V + v]);
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
inline void radix5_butterfly(W* const (&x)[5], const Complex_F (&w)[5], float sign) {
    constexpr float c1 = 0.309016994374947424f, c2 = -0.809016994374947424f;
    const float s1 = sign * 0.951056516295153572f, s2 = sign * 0.587785252292473129f;
    for (int v = 0; v < V; ++v) {
        W r[5], i[5];
        for (int j = 1; j < 5; ++j) multiply(x[j][v], x[j][V + v], w[j], r[j], i[j]);
        const W t1r = r[1] + r[4], t1i = i[1] + i[4];
        const W t2r = r[2] + r[3], t2i = i[2] + i[3];
        const W d1r = r[1] - r[4], d1i = i[1] - i[4];
        const W d2r = r[2] - r[3], d2i = i[2] - i[3];
        const W x0r = x[0][v], x0i = x[0][V + v];
        const W ar = mul_add(t2r, c2, mul_add(t1r, c1, x0r)), ai = mul_add(t2i, c2, mul_add(t1i, c1, x0i));
        const W br = mul_add(t2r, c1, mul_add(t1r, c2, x0r)), bi = mul_add(t2i, c1, mul_add(t1i, c2, x0i));
        const W er = mul_add(d2r, s2, d1r * s1), ei = mul_add(d2i, s2, d1i * s1);
        const W fr = mul_add(d2r, -s1, d1r * s2), fi = mul_add(d2i, -s1, d1i * s2);
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
inline void odd_radix_stage(W* d, int64_t n, int64_t h, const float* twiddles, float sign) {
    constexpr int E = 2 * V;
    const int64_t span = Radix * h, step = n / span;
    for (int64_t k = 0; k < h; ++k) {
        Complex_F w[Radix];
        for (int j = 0; j < Radix; ++j) w[j] = twiddle(twiddles, j * k * step, sign);
        for (int64_t g = k; g < n; g += span) {
            W* x0 = d + g * E;
            if constexpr (Radix == 3) {
                radix3_butterfly<V>(x0, x0 + h * E, x0 + 2 * h * E, w[1], w[2], sign);
            } else {
                W* const x[5] = {x0, x0 + h * E, x0 + 2 * h * E, x0 + 3 * h * E, x0 + 4 * h * E};
                radix5_butterfly<V>(x, w, sign);
            }
        }
    }
}

template <int V>
inline void transform_lanes(W* data, int64_t n, const float* twiddles, float sign) {
    int64_t h = 1;
    for (const int radix : Fft_Factors::of(n)) {
        if (radix == 2) radix2_stage<V>(data, n);
        else if (radix == 4) radix4_stage<V>(data, n, h, twiddles, sign);
        else if (radix == 3) odd_radix_stage<V, 3>(data, n, h, twiddles, sign);
        else odd_radix_stage<V, 5>(data, n, h, twiddles, sign);
        h *= radix;
    }
}

// Bins q and half - q from elements a = Z[q], b = Z[half - q] of the half-length transform; c2 is
// -0.5 forward and +0.5 in reverse, w = e^(sign 2 pi i q / n).
template <int V>
inline void split_pair(W* a, W* b, Complex_F w, float c2) {
    for (int v = 0; v < V; ++v) {
        const W h1r = 0.5f * (a[v] + b[v]);
        const W h1i = 0.5f * (a[V + v] - b[V + v]);
        const W h2r = -c2 * (a[V + v] + b[V + v]);
        const W h2i = c2 * (a[v] - b[v]);
        W pr, pi;
        multiply(h2r, h2i, w, pr, pi);
        a[v] = h1r + pr;
        a[V + v] = h1i + pi;
        b[v] = h1r - pr;
        b[V + v] = pi - h1i;
    }
}

template <int V>
inline void split_forward_lanes(W* data, int64_t half, const float* twiddles) {
    if (half < 1) return;
    for (int v = 0; v < V; ++v) {
        const W re = data[v], im = data[V + v];
        data[v] = re + im;
        data[V + v] = re - im;
    }
    for (int64_t q = 1; q < half - q; ++q)
        split_pair<V>(data + q * 2 * V, data + (half - q) * 2 * V, twiddle(twiddles, q, 1.0f), -0.5f);
}

template <int V>
inline void split_reverse_lanes(W* data, int64_t half, const float* twiddles, const int32_t* order) {
    if (half < 1) return;
    W* zero = data + int64_t{order[0]} * 2 * V;
    for (int v = 0; v < V; ++v) {
        const W dc = zero[v], nyquist = zero[V + v];
        zero[v] = 0.5f * (dc + nyquist);
        zero[V + v] = 0.5f * (dc - nyquist);
    }
    for (int64_t q = 1; q < half - q; ++q)
        split_pair<V>(data + int64_t{order[q]} * 2 * V, data + int64_t{order[half - q]} * 2 * V,
                      twiddle(twiddles, q, -1.0f), 0.5f);
}
