// Arranges pads, a pulsing bass, drums and an echoing arpeggio over a four-bar progression.
#include "Music.h"

#include "Random.h"
#include "Synth.h"
#include "Wav.h"

namespace {

const double stepSeconds = 60.0 / 96.0 / 4.0;  // a sixteenth at 96 beats per minute
const int stepsPerBar = 16;
const double barSeconds = stepSeconds * stepsPerBar;
const int bars = 28;
const double tailSeconds = 1.5;

struct Chord {
    int bass;
    int pad[3];
    int arp[4];
};

// D minor, B flat, G minor, A major: the C sharp of the last chord keeps it restless.
const Chord progression[4] = {
    {38, {62, 65, 69}, {74, 77, 81, 77}},
    {34, {58, 62, 65}, {70, 74, 77, 74}},
    {31, {55, 58, 62}, {67, 70, 74, 70}},
    {33, {57, 61, 64}, {69, 73, 76, 73}},
};

struct Section {
    bool kick, snare, hats, arp, drone;
    double bassLevel;
    double bassBrightness;
};

// Intro, groove, full, a break, full again.
Section SectionOf(int bar)
{
    if (bar < 4)
        return {false, false, false, false, false, 0.5, 0.15};
    if (bar < 12)
        return {true, false, true, false, false, 1.0, 0.5};
    if (bar < 20)
        return {true, true, true, true, false, 1.0, 0.8};
    if (bar < 24)
        return {false, false, true, true, true, 0.6, 0.3};
    return {true, true, true, true, false, 1.0, 0.9};
}

class Track {
public:
    explicit Track(double seconds)
        : frames(static_cast<int>(seconds * sampleRate)), left(frames), right(frames), sendLeft(frames),
          sendRight(frames), random(7)
    {
    }

    // Adds one stereo frame `offset` frames after `start` seconds; `echo` of it also goes to the delay.
    void Add(double start, int offset, double l, double r, double echo = 0.0)
    {
        const int i = static_cast<int>(start * sampleRate) + offset;
        if (i < 0 || i >= frames)
            return;
        left[i] += l;
        right[i] += r;
        sendLeft[i] += l * echo;
        sendRight[i] += r * echo;
    }

    // Ping-pong echo three sixteenths long, darkened on every repeat.
    void RunEcho()
    {
        const int delay = static_cast<int>(3 * stepSeconds * sampleRate);
        Filter darkenLeft, darkenRight;
        darkenLeft.Tune(2500.0, 0.7, sampleRate);
        darkenRight.Tune(2500.0, 0.7, sampleRate);
        std::vector<double> lineLeft(frames), lineRight(frames);
        for (int i = 0; i < frames; ++i) {
            const double fromLeft = i >= delay ? lineLeft[i - delay] : 0.0;
            const double fromRight = i >= delay ? lineRight[i - delay] : 0.0;
            lineLeft[i] = sendLeft[i] + 0.4 * darkenRight.Low(fromRight);
            lineRight[i] = sendRight[i] + 0.4 * darkenLeft.Low(fromLeft);
            left[i] += fromLeft * 0.6;
            right[i] += fromRight * 0.6;
        }
    }

    const int frames;
    std::vector<double> left, right;
    std::vector<double> sendLeft, sendRight;
    Random random;
};

void Pad(Track& track, double start, double length, const int (&notes)[3], double level)
{
    const double release = 0.8;
    const int frames = static_cast<int>((length + release) * sampleRate);
    for (const int note : notes) {
        const double hz = MidiToHz(note);
        Saw a, b;
        a.SetPhase(track.random.Unit());
        b.SetPhase(track.random.Unit());
        Filter fl, fr;
        fl.Tune(1100.0, 0.7, sampleRate);
        fr.Tune(1100.0, 0.7, sampleRate);
        for (int i = 0; i < frames; ++i) {
            const double t = double(i) / sampleRate;
            const double envelope = std::min(1.0, t / 0.5) * (t < length ? 1.0 : 1.0 - (t - length) / release);
            const double sa = a.Next(hz * 1.004, sampleRate);
            const double sb = b.Next(hz * 0.996, sampleRate);
            track.Add(start, i, fl.Low(0.7 * sa + 0.3 * sb) * envelope * level,
                      fr.Low(0.3 * sa + 0.7 * sb) * envelope * level);
        }
    }
}

void Bass(Track& track, double start, double length, int note, double level, double brightness)
{
    const double hz = MidiToHz(note);
    Saw saw;
    Filter filter;
    const int frames = static_cast<int>((length + 0.02) * sampleRate);
    for (int i = 0; i < frames; ++i) {
        const double t = double(i) / sampleRate;
        filter.Tune(180.0 + brightness * 1600.0 * std::exp(-t / 0.07), 2.2, sampleRate);
        const double tone = filter.Low(saw.Next(hz, sampleRate)) + 0.5 * std::sin(2.0 * pi * hz * t);
        const double envelope = std::min(1.0, t / 0.003) * (t < length ? 1.0 - 0.4 * t / length : 0.6 * (1.0 - (t - length) / 0.02));
        const double s = tone * envelope * level * 0.32;
        track.Add(start, i, s, s);
    }
}

void Kick(Track& track, double start, double level)
{
    double phase = 0.0;
    const int frames = static_cast<int>(0.45 * sampleRate);
    for (int i = 0; i < frames; ++i) {
        const double t = double(i) / sampleRate;
        phase += 2.0 * pi * (45.0 + 110.0 * std::exp(-t / 0.035)) / sampleRate;
        const double s = (std::sin(phase) * std::exp(-t / 0.22) + 0.3 * std::exp(-t / 0.002)) * level * 0.6;
        track.Add(start, i, s, s);
    }
}

void Snare(Track& track, double start, double level)
{
    Filter body;
    body.Tune(1800.0, 0.8, sampleRate);
    const int frames = static_cast<int>(0.35 * sampleRate);
    for (int i = 0; i < frames; ++i) {
        const double t = double(i) / sampleRate;
        const double s = (body.Band(track.random.Signed()) * 1.6 * std::exp(-t / 0.11) +
                          0.4 * std::sin(2.0 * pi * 190.0 * t) * std::exp(-t / 0.04)) * level * 0.35;
        track.Add(start, i, s * 0.9, s, 0.25);
    }
}

void Hat(Track& track, double start, double level, bool open)
{
    Filter hiss;
    hiss.Tune(7500.0, 0.9, sampleRate);
    const double decay = open ? 0.16 : 0.03;
    const int frames = static_cast<int>(decay * 6.0 * sampleRate);
    for (int i = 0; i < frames; ++i) {
        const double t = double(i) / sampleRate;
        const double s = hiss.High(track.random.Signed()) * std::exp(-t / decay) * level * 0.12;
        track.Add(start, i, s * 0.8, s);
    }
}

void Pluck(Track& track, double start, int note, double level, double pan)
{
    const double hz = MidiToHz(note);
    Saw saw;
    Filter filter;
    const int frames = static_cast<int>(0.4 * sampleRate);
    for (int i = 0; i < frames; ++i) {
        const double t = double(i) / sampleRate;
        filter.Tune(500.0 + 2800.0 * std::exp(-t / 0.09), 1.4, sampleRate);
        const double s = filter.Low(saw.Next(hz, sampleRate)) * std::exp(-t / 0.12) * level * 0.09;
        track.Add(start, i, s * (1.0 - pan), s * (1.0 + pan), 0.45);
    }
}

// A thin high tone that wavers: the unease of the break.
void Drone(Track& track, double start, double length, int note, double level)
{
    const double hz = MidiToHz(note);
    const int frames = static_cast<int>(length * sampleRate);
    for (int i = 0; i < frames; ++i) {
        const double t = double(i) / sampleRate;
        const double swell = std::sin(pi * t / length);
        const double wobble = 1.0 + 0.004 * std::sin(2.0 * pi * 5.0 * t);
        const double s = std::sin(2.0 * pi * hz * t * wobble) * swell * (0.7 + 0.3 * std::sin(2.0 * pi * 0.8 * t)) * level * 0.05;
        track.Add(start, i, s, s * 0.8, 0.3);
    }
}

void PlayBar(Track& track, int bar)
{
    const Chord& chord = progression[bar % 4];
    const Section section = SectionOf(bar);
    const double start = bar * barSeconds;
    const double padLevel = bar < 4 ? 0.25 * (bar + 1) : 1.0;
    Pad(track, start, barSeconds, chord.pad, 0.11 * padLevel);
    for (int step = 0; step < stepsPerBar; ++step) {
        const double at = start + step * stepSeconds;
        if (step % 2 == 0) {
            const int octave = (step == 6 || step == 14) ? 12 : 0;
            Bass(track, at, stepSeconds * 1.4, chord.bass + octave, section.bassLevel * (step == 0 ? 1.0 : 0.8),
                 section.bassBrightness);
        }
        if (section.kick && (step == 0 || step == 8 || (bar % 2 == 1 && step == 10)))
            Kick(track, at, 1.0);
        if (section.snare && (step == 4 || step == 12))
            Snare(track, at, 1.0);
        // A roll into the next section.
        if (section.snare && (bar == 19 || bar == 27) && step >= 13)
            Snare(track, at, 0.5 + 0.15 * (step - 13));
        if (section.hats)
            Hat(track, at, step % 4 == 2 ? 1.0 : 0.35, step == 14 && bar % 4 == 3);
        if (section.arp)
            Pluck(track, at, chord.arp[step % 4] + (step >= 8 && bar % 2 == 1 ? 12 : 0),
                  section.drone ? 0.6 : 1.0, step % 2 == 0 ? -0.4 : 0.4);
    }
    if (section.drone && bar % 2 == 0)
        Drone(track, start, 2.0 * barSeconds, 81, 1.0);
}

} // namespace

std::vector<double> ComposeMusic()
{
    Track track(bars * barSeconds + tailSeconds);
    for (int bar = 0; bar < bars; ++bar)
        PlayBar(track, bar);
    track.RunEcho();
    // The last bar and the tail fade out; a soft clip rounds off the rare peaks.
    const double fadeFrom = (bars - 1) * barSeconds;
    const double fadeLength = barSeconds + tailSeconds;
    std::vector<double> out(2 * static_cast<size_t>(track.frames));
    for (int i = 0; i < track.frames; ++i) {
        const double t = double(i) / sampleRate;
        const double gain = t < fadeFrom ? 1.0 : std::max(0.0, 1.0 - (t - fadeFrom) / fadeLength);
        out[2 * i] = std::tanh(1.2 * track.left[i]) * gain;
        out[2 * i + 1] = std::tanh(1.2 * track.right[i]) * gain;
    }
    Normalise(out, 0.75);
    return out;
}
