// Butterflies, passes and the real-spectrum split over the lane vector W of the including namespace.
// Included by fft_lanes_cpu.cpp once per instruction set, inside that set's namespace, which defines
// W, Complex_F, twiddle() and mul_add(a, s, c) = a s + c; so it includes nothing itself.
// The butterflies' loops over the V vectors of an element stay rolled: interleaved, the copies of a
// radix-3, 4 or 5 butterfly need more than the sixteen vector registers and spill to the stack.

// z w for the real and imaginary parts zr, zi of z.
inline void multiply(const W& zr, const W& zi, Complex_F w, W& re, W& im) {
    re = mul_add(zr, w.re, zi * -w.im);
    im = mul_add(zi, w.re, zr * w.im);
}

// z w, or z itself for the butterflies of k = 0, whose twiddles are all 1.
template <bool Twiddled>
inline void twiddled(const W& zr, const W& zi, Complex_F w, W& re, W& im) {
    if constexpr (Twiddled) {
        multiply(zr, zi, w, re, im);
    } else {
        re = zr;
        im = zi;
    }
}

// Combines four transforms of length h, A, B, C, D of the inputs j = 0, 2, 1, 3 mod 4, held in x0..x3,
// into bins k, k + h, k + 2h, k + 3h of length 4h: with W = e^(sign 2 pi i / 4h), b = W^2k B,
// c = W^k C, d = W^3k D, X = A + b +- (c + d) and A - b +- sign i (c - d). Three twiddles for four
// elements, where two radix-2 stages would need four: w[1] = W^2k, w[2] = W^k, w[3] = W^3k.
template <int V, bool Twiddled, bool Forward>
inline void radix4_butterfly(W* const (&x)[5], const Complex_F (&w)[5]) {
#pragma GCC unroll 1
    for (int v = 0; v < V; ++v) {
        W br, bi, cr, ci, dr, di;
        twiddled<Twiddled>(x[1][v], x[1][V + v], w[1], br, bi);
        twiddled<Twiddled>(x[2][v], x[2][V + v], w[2], cr, ci);
        twiddled<Twiddled>(x[3][v], x[3][V + v], w[3], dr, di);
        const W a0r = x[0][v] + br, a0i = x[0][V + v] + bi;
        const W a1r = x[0][v] - br, a1i = x[0][V + v] - bi;
        const W a2r = cr + dr, a2i = ci + di;
        // sign i (c - d), its sign taken by the additions below.
        const W a3r = Forward ? cr - dr : dr - cr, a3i = Forward ? ci - di : di - ci;
        x[0][v] = a0r + a2r;
        x[0][V + v] = a0i + a2i;
        x[2][v] = a0r - a2r;
        x[2][V + v] = a0i - a2i;
        x[1][v] = a1r - a3i;
        x[1][V + v] = a1i + a3r;
        x[3][v] = a1r + a3i;
        x[3][V + v] = a1i - a3r;
    }
}

// The 3-point transform of x0, w1 x1, w2 x2: with t = x1 + x2 and d = x1 - x2, X0 = x0 + t and
// X1,2 = x0 - t / 2 +- sign i sin(2 pi / 3) d, the sine folded into fused multiply-adds.
template <int V, bool Twiddled>
inline void radix3_butterfly(W* const (&x)[5], const Complex_F (&w)[5], float sign) {
    const float s = sign * 0.866025403784438647f;
#pragma GCC unroll 1
    for (int v = 0; v < V; ++v) {
        W br, bi, cr, ci;
        twiddled<Twiddled>(x[1][v], x[1][V + v], w[1], br, bi);
        twiddled<Twiddled>(x[2][v], x[2][V + v], w[2], cr, ci);
        const W tr = br + cr, ti = bi + ci;
        const W dr = br - cr, di = bi - ci;
        const W mr = mul_add(tr, -0.5f, x[0][v]), mi = mul_add(ti, -0.5f, x[0][V + v]);
        x[0][v] += tr;
        x[0][V + v] += ti;
        x[1][v] = mul_add(di, -s, mr);
        x[1][V + v] = mul_add(dr, s, mi);
        x[2][v] = mul_add(di, s, mr);
        x[2][V + v] = mul_add(dr, -s, mi);
    }
}

// The 5-point transform of x0 and the twiddled x1 .. x4, from the sums t1 = x1 + x4, t2 = x2 + x3 and
// the differences d1 = x1 - x4, d2 = x2 - x3 (c_k = cos(2 pi k / 5), s_k = sin(2 pi k / 5)):
// X1,4 = x0 + c1 t1 + c2 t2 +- sign i s1 (d1 + s2/s1 d2), X2,3 = x0 + c2 t1 + c1 t2 +- sign i s2 (d1 -
// s1/s2 d2); the sines factored out become fused multiply-adds of the last step.
template <int V, bool Twiddled>
inline void radix5_butterfly(W* const (&x)[5], const Complex_F (&w)[5], float sign) {
    constexpr float c1 = 0.309016994374947424f, c2 = -0.809016994374947424f;
    constexpr float r1 = 0.618033988749894848f, r2 = 1.618033988749894848f;  // s2 / s1, s1 / s2
    const float s1 = sign * 0.951056516295153572f, s2 = sign * 0.587785252292473129f;
#pragma GCC unroll 1
    for (int v = 0; v < V; ++v) {
        W r[5], i[5];
        for (int j = 1; j < 5; ++j) twiddled<Twiddled>(x[j][v], x[j][V + v], w[j], r[j], i[j]);
        const W t1r = r[1] + r[4], t1i = i[1] + i[4];
        const W t2r = r[2] + r[3], t2i = i[2] + i[3];
        const W d1r = r[1] - r[4], d1i = i[1] - i[4];
        const W d2r = r[2] - r[3], d2i = i[2] - i[3];
        const W x0r = x[0][v], x0i = x[0][V + v];
        const W ar = mul_add(t2r, c2, mul_add(t1r, c1, x0r)), ai = mul_add(t2i, c2, mul_add(t1i, c1, x0i));
        const W br = mul_add(t2r, c1, mul_add(t1r, c2, x0r)), bi = mul_add(t2i, c1, mul_add(t1i, c2, x0i));
        const W er = mul_add(d2r, r1, d1r), ei = mul_add(d2i, r1, d1i);
        const W fr = mul_add(d2r, -r2, d1r), fi = mul_add(d2i, -r2, d1i);
        x[0][v] = x0r + t1r + t2r;
        x[0][V + v] = x0i + t1i + t2i;
        x[1][v] = mul_add(ei, -s1, ar);
        x[1][V + v] = mul_add(er, s1, ai);
        x[4][v] = mul_add(ei, s1, ar);
        x[4][V + v] = mul_add(er, -s1, ai);
        x[2][v] = mul_add(fi, -s2, br);
        x[2][V + v] = mul_add(fr, s2, bi);
        x[3][v] = mul_add(fi, s2, br);
        x[3][V + v] = mul_add(fr, -s2, bi);
    }
}

// One butterfly of a radix-3, 4 or 5 pass: its elements start at x0, spaced apart by spacing vectors.
template <int V, int Radix, bool Twiddled, bool Forward>
inline void butterfly(W* x0, int64_t spacing, const Complex_F (&w)[5]) {
    constexpr float sign = Forward ? 1.0f : -1.0f;
    W* const x[5] = {x0, x0 + spacing, x0 + 2 * spacing, x0 + 3 * spacing, x0 + 4 * spacing};
    if constexpr (Radix == 3) radix3_butterfly<V, Twiddled>(x, w, sign);
    else if constexpr (Radix == 4) radix4_butterfly<V, Twiddled, Forward>(x, w);
    else radix5_butterfly<V, Twiddled>(x, w, sign);
}

// The twiddles of butterfly k of a pass: W^jk with W = e^(sign 2 pi i / (Radix h)), entry j k step of
// the table; radix 4 takes its inputs in the order of the two radix-2 steps it stands for.
template <int Radix>
inline void butterfly_twiddles(Complex_F (&w)[5], const float* twiddles, int64_t k, int64_t step, float sign) {
    constexpr int power[5] = {0, Radix == 4 ? 2 : 1, Radix == 4 ? 1 : 2, 3, 4};
    for (int j = 1; j < Radix; ++j) w[j] = twiddle(twiddles, power[j] * k * step, sign);
}

// A radix-3, 4 or 5 pass of half-span h over count elements: butterfly k of group g combines elements
// g + k + j h; butterflies k = 0 skip the twiddles, which are all 1.
template <int V, int Radix, bool Forward>
inline void pass(W* d, int64_t count, int64_t h, const float* twiddles, int64_t step) {
    constexpr int E = 2 * V;
    const int64_t spacing = h * E, span = Radix * h;
    Complex_F w[5] = {};
    for (int64_t g = 0; g < count; g += span) butterfly<V, Radix, false, Forward>(d + g * E, spacing, w);
    for (int64_t k = 1; k < h; ++k) {
        butterfly_twiddles<Radix>(w, twiddles, k, step, Forward ? 1.0f : -1.0f);
        for (int64_t g = k; g < count; g += span) butterfly<V, Radix, true, Forward>(d + g * E, spacing, w);
    }
}

// The radix-2 pass, first of all when there is one (half-span 1): no twiddles.
template <int V>
inline void radix2_pass(W* d, int64_t count) {
    constexpr int E = 2 * V;
    for (int64_t i = 0; i < count; i += 2) {
        W* x0 = d + i * E;
        W* x1 = x0 + E;
        for (int v = 0; v < E; ++v) {
            const W a = x0[v], b = x1[v];
            x0[v] = a + b;
            x1[v] = a - b;
        }
    }
}

// Passes first to last over the count elements at d, spans from h on, with the twiddle table of the
// whole transform's length n.
template <int V, bool Forward>
inline void run_passes(W* d, int64_t count, const Fft_Factors& f, int first, int last, int64_t h,
                       const float* twiddles, int64_t n) {
    for (int p = first; p < last; ++p) {
        const int radix = f.radix[p];
        const int64_t step = n / (radix * h);
        if (radix == 2) radix2_pass<V>(d, count);
        else if (radix == 3) pass<V, 3, Forward>(d, count, h, twiddles, step);
        else if (radix == 4) pass<V, 4, Forward>(d, count, h, twiddles, step);
        else pass<V, 5, Forward>(d, count, h, twiddles, step);
        h *= radix;
    }
}

// Each pass reads and writes every element. A pass touches only the elements of its own spans, so the
// passes of short spans run block by block while a block stays in the first-level cache; only the
// passes of longer spans stream the whole transform through the second level. Every butterfly
// computes as in pass-by-pass order, so results do not depend on the blocking.
template <int V, bool Forward>
inline void transform_blocked(W* data, int64_t n, const float* twiddles) {
    constexpr int64_t cached_bytes = 32768, element_bytes = 2 * V * sizeof(W);
    const Fft_Factors f = Fft_Factors::of(n);
    int blocked = 0;
    int64_t block = 1;
    while (blocked < f.count && block * f.radix[blocked] * element_bytes <= cached_bytes) block *= f.radix[blocked++];
    if (blocked > 0)
        for (int64_t b = 0; b < n; b += block)
            run_passes<V, Forward>(data + b * 2 * V, block, f, 0, blocked, 1, twiddles, n);
    run_passes<V, Forward>(data, n, f, blocked, f.count, block, twiddles, n);
}

// The direction is a template argument so that the butterflies' multiplications by sign i become
// additions and subtractions.
template <int V>
inline void transform_lanes(W* data, int64_t n, const float* twiddles, float sign) {
    if (sign > 0.0f) transform_blocked<V, true>(data, n, twiddles);
    else transform_blocked<V, false>(data, n, twiddles);
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

// The entry points on lanes of V Fft_Vectors, V a multiple of the Fft_Vectors one W holds: an element's
// real (or imaginary) parts are read as V / per_w vectors W.
constexpr int per_w = static_cast<int>(sizeof(W) / sizeof(Fft_Vector));

template <int V>
void transform(Fft_Vector* data, int64_t n, const float* twiddles, float sign) {
    transform_lanes<V / per_w>(reinterpret_cast<W*>(data), n, twiddles, sign);
}

template <int V>
void split_forward(Fft_Vector* data, int64_t half, const float* twiddles) {
    split_forward_lanes<V / per_w>(reinterpret_cast<W*>(data), half, twiddles);
}

template <int V>
void split_reverse(Fft_Vector* data, int64_t half, const float* twiddles, const int32_t* order) {
    split_reverse_lanes<V / per_w>(reinterpret_cast<W*>(data), half, twiddles, order);
}
