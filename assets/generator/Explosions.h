// The four blast sounds: a low thump under a burst of filtered noise with flying debris.
#pragma once

#include <cstdint>
#include <vector>

struct ExplosionRecipe {
    std::uint64_t seed;
    double seconds;        // whole length; the tail fades to silence by then
    double thumpFromHz;    // the thump's pitch falls from here...
    double thumpToHz;      // ...to here
    double thumpDecay;     // seconds for the thump to fall to 1/e
    double noiseDecay;     // seconds for the noise burst to fall to 1/e
    double brightHz;       // noise cutoff at the blast...
    double darkHz;         // ...closing to this
    double debrisPerSecond;
};

// The recipes of "explosion-01.wav" to "explosion-04.wav", in that order.
std::vector<ExplosionRecipe> ExplosionRecipes();

// Mono samples at the WAV sample rate, peak just under full scale.
std::vector<double> SynthesiseExplosion(const ExplosionRecipe& recipe);
