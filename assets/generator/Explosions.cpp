// Synthesises the blasts from a fixed seed each, so every run writes the same files.
#include "Explosions.h"

#include "Random.h"
#include "Synth.h"
#include "Wav.h"

std::vector<ExplosionRecipe> ExplosionRecipes()
{
    return {
        {101, 1.4, 110.0, 38.0, 0.22, 0.28, 6000.0, 500.0, 45.0},   // short and sharp
        {202, 1.9, 90.0, 30.0, 0.35, 0.45, 3500.0, 300.0, 20.0},    // deep and rolling
        {303, 1.6, 140.0, 45.0, 0.18, 0.35, 9000.0, 700.0, 80.0},   // bright, lots of debris
        {404, 1.8, 75.0, 28.0, 0.40, 0.38, 4500.0, 380.0, 30.0},    // heavy, distant
    };
}

std::vector<double> SynthesiseExplosion(const ExplosionRecipe& recipe)
{
    const int frames = static_cast<int>(recipe.seconds * sampleRate);
    std::vector<double> out(frames);
    Random random(recipe.seed);
    Filter burst, rumble, debrisTone;
    rumble.Tune(90.0, 0.7, sampleRate);
    debrisTone.Tune(2500.0 + 1500.0 * random.Unit(), 1.5, sampleRate);
    double thumpPhase = 0.0;
    double debris = 0.0;
    const double debrisFall = std::exp(-1.0 / (0.004 * sampleRate));
    const double attack = 0.004;
    const double fadeStart = 0.8 * recipe.seconds;
    for (int i = 0; i < frames; ++i) {
        const double t = double(i) / sampleRate;
        const double pitch = recipe.thumpToHz + (recipe.thumpFromHz - recipe.thumpToHz) * std::exp(-t / 0.07);
        thumpPhase += 2.0 * pi * pitch / sampleRate;
        const double thump = std::sin(thumpPhase) * std::exp(-t / recipe.thumpDecay);

        burst.Tune(recipe.darkHz + (recipe.brightHz - recipe.darkHz) * std::exp(-t / 0.2), 0.8, sampleRate);
        const double noise = burst.Low(random.Signed()) * std::exp(-t / recipe.noiseDecay);
        const double roll = rumble.Low(random.Signed()) * 3.0 * std::exp(-t / (2.0 * recipe.noiseDecay));

        // Debris: sparse clicks, thinning out as the blast dies away.
        if (random.Unit() < recipe.debrisPerSecond * std::exp(-t / 0.6) / sampleRate)
            debris = random.Range(0.3, 1.0);
        debris *= debrisFall;
        const double crackle = debrisTone.Band(random.Signed() * debris);

        const double rise = std::min(1.0, t / attack);
        const double fade = t < fadeStart ? 1.0 : 0.5 + 0.5 * std::cos(pi * (t - fadeStart) / (recipe.seconds - fadeStart));
        out[i] = (0.9 * thump + 0.8 * noise + roll + 0.6 * crackle) * rise * fade;
    }
    Normalise(out, 0.85);
    return out;
}
