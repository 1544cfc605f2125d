// Small sound-making parts shared by the explosions and the music.
#pragma once

#include <algorithm>
#include <cmath>
#include <vector>

const double pi = 3.14159265358979323846;

inline double MidiToHz(int note) { return 440.0 * std::pow(2.0, (note - 69) / 12.0); }

// Sawtooth with polyBLEP corners, which keeps high notes from aliasing into hiss.
class Saw {
public:
    double Next(double hz, double rate)
    {
        const double dt = hz / rate;
        double value = 2.0 * phase - 1.0 - Blep(phase, dt);
        phase += dt;
        if (phase >= 1.0)
            phase -= 1.0;
        return value;
    }
    void SetPhase(double start) { phase = start; }

private:
    static double Blep(double t, double dt)
    {
        if (t < dt) {
            t /= dt;
            return t + t - t * t - 1.0;
        }
        if (t > 1.0 - dt) {
            t = (t - 1.0) / dt;
            return t * t + t + t + 1.0;
        }
        return 0.0;
    }

    double phase = 0.0;
};

// State-variable filter (trapezoidal form): stays stable while its cutoff sweeps.
class Filter {
public:
    void Tune(double cutoffHz, double q, double rate)
    {
        const double g = std::tan(pi * std::min(cutoffHz, 0.45 * rate) / rate);
        k = 1.0 / q;
        a1 = 1.0 / (1.0 + g * (g + k));
        a2 = g * a1;
        a3 = g * a2;
    }
    void Run(double x)
    {
        const double v3 = x - ic2;
        const double v1 = a1 * ic1 + a2 * v3;
        const double v2 = ic2 + a2 * ic1 + a3 * v3;
        ic1 = 2.0 * v1 - ic1;
        ic2 = 2.0 * v2 - ic2;
        low = v2;
        band = v1;
        high = x - k * v1 - v2;
    }
    double Low(double x) { Run(x); return low; }
    double Band(double x) { Run(x); return band; }
    double High(double x) { Run(x); return high; }

private:
    double k = 1.0, a1 = 0.0, a2 = 0.0, a3 = 0.0;
    double ic1 = 0.0, ic2 = 0.0;
    double low = 0.0, band = 0.0, high = 0.0;
};

// Scales the buffer so its loudest sample reaches `peak`.
inline void Normalise(std::vector<double>& samples, double peak)
{
    double loudest = 0.0;
    for (const double s : samples)
        loudest = std::max(loudest, std::abs(s));
    if (loudest > 0.0)
        for (double& s : samples)
            s *= peak / loudest;
}
