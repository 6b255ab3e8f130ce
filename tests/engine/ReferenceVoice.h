#pragma once
// An independent, deliberately plain rendition of the drum voice for comparing the
// engine against, sample by sample. It shares no code with the engine: one flat
// struct, arrays for the two envelopes, its own noise state, delay lines and table.

#include <cmath>
#include <cstdint>
#include <cstring>
#include <vector>

class ReferenceVoice
{
public:
    explicit ReferenceVoice(double sampleRate) : sr(sampleRate)
    {
        table.resize(16384);
        for (int j = 0; j < 16384; ++j)
            table[j] = std::cos(j * 3.141592653589793 * 2 / 16384);
        for (int c = 0; c < 2; ++c)
            line[c].assign(8192, 0.0);
        const double defaults[28] = {0, 120, 0, 0.8, 1, 1, 0, 0.5, 0.5, 0, 0,  0, 0, 0,
                                     0, 1,   0, 0.5, 0, 0, 0, 0,   64,  0, 64, 0, 1, 0};
        for (int i = 0; i < 28; ++i)
            p[i] = defaults[i];
    }

    double p[28];                                         // parameter values, set directly (already in range)
    double envelopeOutput(int k) const { return out[k]; } // 0 tonal, 1 noise
    uint32_t noise = 2u;                                  // the generator's state

    void render(double* outLeft, double* outRight, int n)
    {
        const double inv = 1 / sr;
        const int ms = static_cast<int>(sr * 0.001);
        const double times[2][2] = {
            {10 * lim(power(0.1 * p[16], 2), 0.0001, 1), 10 * lim(power(0.13 * p[17] + 0.07, 2), 0.0001, 1)},
            {10 * lim(power(0.1 * p[6], 2), 0.0001, 1), 10 * lim(power(0.29 * p[7] + 0.01, 2), 0.0001, 1)}};
        const double falling = 1 / std::fmax(std::fabs(sr * 0.001), 1);
        const double f0 = 100 + 300 * p[18];
        const double pf = p[18];
        const double q = 0.12 + 0.78 * p[8];
        double cLow = 2 * lim(q, 0, 0.5);
        double cHigh = 2 * (lim(q, 0.5, 1) - 0.5);
        double fLow = std::fmax(20 + 19980 * power(cLow, 3), 0);
        double fHigh = std::fmax(20 + 19980 * power(cHigh, 3), 0);
        double lp[5], hp[5];
        coefficients(fLow, false, lp);
        coefficients(fHigh, true, hp);
        double m = q < 0.45 ? 0 : (q <= 0.55 ? 10 * (q - 0.45) : 1);
        const double L = lim(0.5 * p[19], 0, 1);
        const double W = power(L, 3);
        const double k1 = 1.154 + 7.846 * W, k2 = 1 + 4 * W, N = std::tanh(k1);
        const double G = 0.9 - 0.2 * power(W, 0.45);
        const double dR = sr * 0.04 * p[14];
        const double dL = dR * 0.4;
        const double v = lim(p[24] * 0.00787, 0, 1);
        if (!(prevHalfGate > 0) && p[21] - 0.5 > 0)
            latched = v;
        prevHalfGate = p[21] - 0.5;
        const double gain = (1 + (latched - 1) * p[20]) * p[3];

        for (int i = 0; i < n; ++i)
        {
            double e[2];
            for (int k = 0; k < 2; ++k)
            {
                if (p[23] != lastRetrig[k])
                    countdown[k] = ms;
                lastRetrig[k] = p[23];
                double g = p[21];
                if (countdown[k] > 0)
                {
                    g = 0;
                    countdown[k] -= 1;
                }
                envelope(k, g, times[k][0], times[k][1]);
                double s = slide[k] + (out[k] - slide[k]) * (out[k] > slide[k] ? 1 : falling);
                slide[k] = den(s);
                e[k] = slide[k] < 1e-8 ? 0 : slide[k];
            }
            if (e[0] == 0)
                phase = 0;
            const double r = e[0] <= pf ? pf : (e[0] >= 1 ? 1 : e[0]);
            phase = phase + r * f0 * inv;
            if (phase < 0 || phase >= 1)
                phase = phase - (std::trunc(phase) - (phase < 0 ? 1 : 0));
            const uint32_t index = static_cast<uint32_t>(static_cast<uint64_t>(phase * 4294967296.0));
            const uint32_t j = index >> 18;
            const double c =
                table[j] + (table[(j + 1) & 16383] - table[j]) * ((index & 0x3FFFF) * 3.81471181759574e-06);
            const double t = quant(c * e[0]) * p[15];

            noise = noise * 1664525u + 1013904223u;
            const uint32_t bits = (noise & 0x007FFFFFu) | 0x3F800000u;
            float unit;
            std::memcpy(&unit, &bits, 4);
            const float white = unit * 2.0f - 3.0f;
            const double u = static_cast<double>(white) * e[1];

            const double yl = biquad(lp, lowMem, u);
            const double yh = biquad(hp, highMem, u);
            const double f = quant(yl + (yh - yl) * m) * p[5];
            const double s = (f + t) * 0.5;

            const double sm = (s + s1) * 0.5;
            const double A = N == 0 ? 0 : lim(G * std::tanh(s1 * k2 * k1) / N, -1, 1);
            const double B = N == 0 ? 0 : lim(G * std::tanh(sm * k2 * k1) / N, -1, 1);
            const double d = ((A + aPrev) * 0.5 + bPrev) * 0.5;
            const double z = d - dPrev + 0.9997 * zPrev;
            const double stage = L > 0 ? den(z) : s;
            s1 = den(s);
            aPrev = den(A);
            bPrev = den(B);
            dPrev = d;
            zPrev = z;

            outLeft[i] = lim(readLine(0, dL) * gain, -1.2, 1.2);
            outRight[i] = lim(readLine(1, dR) * gain, -1.2, 1.2);
            for (int c2 = 0; c2 < 2; ++c2)
            {
                last[c2] = wp[c2];
                line[c2][wp[c2]] = stage;
                wp[c2] = (wp[c2] + 1) & 8191;
            }
        }
    }

private:
    // The C library's pow, called at run time: with a constant exponent of 2 the
    // compiler would otherwise square instead, which is not always the library's result.
    static double power(double x, double y)
    {
        double (*volatile libraryPow)(double, double) = std::pow;
        return libraryPow(x, y);
    }
    static double lim(double x, double lo, double hi) { return x < lo ? lo : (x > hi ? hi : x); }
    static int exponent(double x)
    {
        uint64_t b;
        std::memcpy(&b, &x, 8);
        return static_cast<int>((b >> 52) & 0x7FF);
    }
    static double nan0(double x) { return exponent(x) >= 0x7FE ? 0 : x; }
    static double den(double x) { return exponent(x) <= 1 ? 0 : x; }
    static double recip(double x) { return x == 0 ? 0 : 1 / x; }
    static double quant(double x)
    {
        x = lim(x, -1, 1);
        x = std::trunc(x * 32768) / 32768;
        return lim(x, -1, 1);
    }

    void coefficients(double f, bool high, double* k) const
    {
        const double w = sr == 0 ? 0 : f * 6.2831853071796 / sr;
        const double alpha = std::sin(w) * 0.5 * 2;
        const double g = recip(1 + alpha);
        const double cw = std::cos(w);
        if (high)
        {
            k[0] = (1 + cw) * 0.5 * g;
            k[1] = -(1 + cw) * g;
        }
        else
        {
            k[0] = (1 - cw) * 0.5 * g;
            k[1] = (1 - cw) * g;
        }
        k[2] = k[0];
        k[3] = -2 * cw * g;
        k[4] = (1 - alpha) * g;
    }

    static double biquad(const double* k, double* mem, double u)
    {
        const double y = k[0] * u + k[1] * mem[0] + k[2] * mem[1] - k[3] * mem[2] - k[4] * mem[3];
        mem[1] = den(mem[0]);
        mem[0] = den(u);
        mem[3] = den(mem[2]);
        mem[2] = den(y);
        return y;
    }

    void envelope(int k, double g, double A, double D)
    {
        const bool rise = g - gatePrev[k] == 1;
        const bool fall = g - gatePrev[k] == -1;
        gatePrev[k] = g;
        const double releaseLength = held[k] * D;
        if (rise)
        {
            stg[k] = 1;
            ph[k] = 0;
        }
        if (fall)
        {
            stg[k] = 4;
            ph[k] = 0;
            held[k] = out[k];
        }
        if (stg[k] == 1)
        {
            ph[k] += recip(A * sr);
            out[k] = nan0(power(ph[k], 2.001));
            if (ph[k] > 1)
            {
                stg[k] = 2;
                ph[k] = 0;
            }
        }
        if (stg[k] == 2 && !(fall))
        {
            ph[k] += recip(D * sr);
            out[k] = nan0(power(1 - ph[k], 2.001));
            if (ph[k] > 1)
            {
                stg[k] = 3;
                ph[k] = 0;
                out[k] = 0;
            }
        }
        else if (stg[k] == 3)
        {
            ph[k] = 0;
            out[k] = 0;
        }
        else if (stg[k] == 4)
        {
            ph[k] += recip(releaseLength * sr);
            out[k] = held[k] * nan0(power(1 - ph[k], 2.001));
            if (ph[k] > 3)
            {
                stg[k] = 0;
                ph[k] = 0;
                out[k] = 0;
            }
        }
    }

    double readLine(int c, double d) const
    {
        const double minimum = wp[c] != last[c] ? 1 : 0;
        if (d < minimum)
            d = minimum;
        if (d > 8000)
            d = 8000;
        const double pos = (8192 + wp[c]) - d;
        const int i = static_cast<int>(std::trunc(pos));
        const double fr = pos - i;
        const double a = line[c][i & 8191];
        return a + (line[c][(i + 1) & 8191] - a) * fr;
    }

    double sr;
    std::vector<double> table;
    std::vector<double> line[2];
    int wp[2] = {0, 0}, last[2] = {0, 0};
    double countdown[2] = {0, 0}, lastRetrig[2] = {0, 0}, gatePrev[2] = {0, 0};
    double stg[2] = {0, 0}, ph[2] = {0, 0}, out[2] = {0, 0}, held[2] = {0, 0}, slide[2] = {0, 0};
    double phase = 0;
    double lowMem[4] = {0, 0, 0, 0}, highMem[4] = {0, 0, 0, 0};
    double s1 = 0, aPrev = 0, bPrev = 0, dPrev = 0, zPrev = 0;
    double prevHalfGate = 0, latched = 0;
};
