// The default soundtrack: a 120 BPM tune in A minor, synthesized note by note. Its sections
// loosely follow the pictures: a quiet intro while the title card rises, a verse for the
// marsh and the circus, a chorus for the high-wire act, a slide whistle and a "bonk" for
// the fall, a fanfare for the curtain call, then a second verse and chorus under the cards
// and a fading outro.
#include "tools/make_content/soundtrack.h"

#include <cmath>
#include <cstddef>
#include <initializer_list>

namespace {

constexpr double kPi = 3.14159265358979323846;
constexpr double kRate = kSoundRate;
constexpr double kBeat = 0.5;  // 120 beats per minute
constexpr double kBar = 4 * kBeat;
constexpr double kLength = 117.5;
constexpr double kFadeStart = 110.0;
constexpr double kFadeEnd = 117.0;

// A stereo buffer the length of the whole tune.
struct Bus {
    std::vector<float> l, r;
    Bus() : l(size_t(kLength * kRate), 0.0f), r(size_t(kLength * kRate), 0.0f) {}
    void Add(long i, double v, double pan)
    {
        if (i < 0 || size_t(i) >= l.size())
            return;
        // Equal-power pan, -1 left to 1 right.
        double a = (pan + 1) * kPi / 4;
        l[size_t(i)] += float(v * std::cos(a));
        r[size_t(i)] += float(v * std::sin(a));
    }
    void Add(long i, double vl, double vr, int)
    {
        if (i < 0 || size_t(i) >= l.size())
            return;
        l[size_t(i)] += float(vl);
        r[size_t(i)] += float(vr);
    }
};

struct Mix {
    Bus dry, echo, room;
};

long SampleAt(double seconds)
{
    return long(std::lround(seconds * kRate));
}

double MidiHz(double note)
{
    return 440.0 * std::pow(2.0, (note - 69.0) / 12.0);
}

// Fixed-seed white noise in [-1, 1].
struct Noise {
    uint32_t state;
    explicit Noise(uint32_t seed) : state(seed * 747796405u + 2891336453u) {}
    double Next()
    {
        state ^= state << 13;
        state ^= state >> 17;
        state ^= state << 5;
        return double(state) / 2147483647.5 - 1.0;
    }
};

// Band-limited step correction for the saw and pulse oscillators.
double PolyBlep(double t, double dt)
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

double Saw(double phase, double dt)
{
    return 2.0 * phase - 1.0 - PolyBlep(phase, dt);
}

double Wrap(double phase)
{
    return phase - std::floor(phase);
}

// A trapezoidal state-variable filter; stable under fast cutoff changes.
struct Filter {
    double ic1 = 0, ic2 = 0;
    double g = 0, k = 1, a1 = 0, a2 = 0, a3 = 0;
    void Set(double cutoff, double q)
    {
        cutoff = std::fmin(cutoff, kRate * 0.45);
        g = std::tan(kPi * cutoff / kRate);
        k = 1.0 / q;
        a1 = 1.0 / (1.0 + g * (g + k));
        a2 = g * a1;
        a3 = g * a2;
    }
    // Answers the low-pass output; `band` and `high` receive the others.
    double Run(double v0, double* band = nullptr, double* high = nullptr)
    {
        double v3 = v0 - ic2;
        double v1 = a1 * ic1 + a2 * v3;
        double v2 = ic2 + a2 * ic1 + a3 * v3;
        ic1 = 2 * v1 - ic1;
        ic2 = 2 * v2 - ic2;
        if (band)
            *band = v1;
        if (high)
            *high = v0 - k * v1 - v2;
        return v2;
    }
};

// ---- drums ----------------------------------------------------------------------------

void Kick(Mix& m, double at, double vel)
{
    long start = SampleAt(at);
    double phase = 0;
    for (long n = 0; n < long(0.45 * kRate); ++n) {
        double t = n / kRate;
        double f = 46 + 120 * std::exp(-t * 30);
        phase += f / kRate;
        double v = std::sin(2 * kPi * phase) * std::exp(-t * 7) + 0.25 * std::exp(-t * 300);
        v = std::tanh(1.6 * v) * 0.5 * vel;
        m.dry.Add(start + n, v, 0.0);
    }
}

void Tom(Mix& m, double at, double vel, double pitch)
{
    long start = SampleAt(at);
    double phase = 0;
    for (long n = 0; n < long(0.5 * kRate); ++n) {
        double t = n / kRate;
        double f = pitch * (1 + 1.2 * std::exp(-t * 25));
        phase += f / kRate;
        double v = std::sin(2 * kPi * phase) * std::exp(-t * 6) * 0.6 * vel;
        m.dry.Add(start + n, v, -0.1);
        m.room.Add(start + n, v * 0.4, 0.0);
    }
}

void Snare(Mix& m, double at, double vel, uint32_t seed)
{
    long start = SampleAt(at);
    Noise noise(seed);
    Filter hp;
    hp.Set(1800, 0.7);
    for (long n = 0; n < long(0.3 * kRate); ++n) {
        double t = n / kRate;
        double tone = std::sin(2 * kPi * 185 * t) * std::exp(-t * 24) * 0.5 +
                      std::sin(2 * kPi * 330 * t) * std::exp(-t * 34) * 0.2;
        double high;
        hp.Run(noise.Next(), nullptr, &high);
        double v = (tone + high * std::exp(-t * 15) * 0.7) * vel * 0.55;
        m.dry.Add(start + n, v, 0.05);
        m.room.Add(start + n, v * 0.35, 0.0);
    }
}

void Hat(Mix& m, double at, double vel, bool open, uint32_t seed)
{
    long start = SampleAt(at);
    Noise noise(seed);
    Filter hp1, hp2;
    hp1.Set(7000, 0.8);
    hp2.Set(7000, 0.8);
    double decay = open ? 11 : 65;
    for (long n = 0; n < long((open ? 0.4 : 0.09) * kRate); ++n) {
        double t = n / kRate;
        double h1, h2;
        hp1.Run(noise.Next(), nullptr, &h1);
        hp2.Run(h1, nullptr, &h2);
        double v = h2 * std::exp(-t * decay) * vel * 0.22;
        m.dry.Add(start + n, v, 0.3);
    }
}

void Crash(Mix& m, double at, double vel, uint32_t seed)
{
    long start = SampleAt(at);
    Noise nl(seed), nr(seed + 1);
    Filter hl, hr;
    hl.Set(4500, 0.7);
    hr.Set(4500, 0.7);
    for (long n = 0; n < long(2.4 * kRate); ++n) {
        double t = n / kRate;
        double a, b;
        hl.Run(nl.Next(), nullptr, &a);
        hr.Run(nr.Next(), nullptr, &b);
        double env = std::exp(-t * 2.2) * (1 - std::exp(-t * 800)) * vel * 0.14;
        m.dry.Add(start + n, a * env, b * env, 0);
        m.room.Add(start + n, a * env * 0.3, b * env * 0.3, 0);
    }
}

// ---- pitched voices -------------------------------------------------------------------

void Bass(Mix& m, double at, double dur, int note, double vel)
{
    long start = SampleAt(at);
    double f = MidiHz(note), dt = f / kRate;
    double p1 = 0, p2 = 0.3, ps = 0;
    Filter lp;
    long total = long((dur + 0.04) * kRate);
    for (long n = 0; n < total; ++n) {
        double t = n / kRate;
        if (n % 32 == 0)
            lp.Set(160 + 1300 * std::exp(-t * 9) * vel, 1.4);
        p1 = Wrap(p1 + dt * 1.002);
        p2 = Wrap(p2 + dt * 0.998);
        ps = Wrap(ps + dt);
        double osc = 0.5 * (Saw(p1, dt) + Saw(p2, dt));
        double v = lp.Run(osc) + 0.55 * std::sin(2 * kPi * ps);
        double env = std::fmin(1.0, t / 0.004);
        if (t > dur)
            env *= std::fmax(0.0, 1 - (t - dur) / 0.04);
        m.dry.Add(start + n, v * env * vel * 0.2, 0.0);
    }
}

// Soft string pad: three detuned saws per note, spread across the stereo field.
void Pad(Mix& m, double at, double dur, std::initializer_list<int> notes, double vel,
         double brightness)
{
    long start = SampleAt(at);
    const double release = 0.7, attack = 0.4;
    long total = long((dur + release) * kRate);
    int voice = 0;
    for (int note : notes) {
        double f = MidiHz(note);
        const double detune[3] = {-0.006, 0.0, 0.0065};
        const double pan[3] = {-0.7, 0.0, 0.7};
        double phase[3] = {0.1 * voice, 0.37 + 0.1 * voice, 0.71};
        Filter fl, fr;
        fl.Set(450 + 2300 * brightness, 0.8);
        fr.Set(450 + 2300 * brightness, 0.8);
        for (long n = 0; n < total; ++n) {
            double t = n / kRate;
            double l = 0, r = 0;
            for (int v = 0; v < 3; ++v) {
                double dt = f * (1 + detune[v]) / kRate;
                phase[v] = Wrap(phase[v] + dt);
                double s = Saw(phase[v], dt);
                double a = (pan[v] + 1) * kPi / 4;
                l += s * std::cos(a);
                r += s * std::sin(a);
            }
            double env = std::fmin(1.0, t / attack);
            if (t > dur)
                env *= std::exp(-(t - dur) * 6);
            env *= vel * 0.06;
            double ol = fl.Run(l) * env, orr = fr.Run(r) * env;
            m.dry.Add(start + n, ol, orr, 0);
            m.room.Add(start + n, ol * 0.5, orr * 0.5, 0);
        }
        ++voice;
    }
}

// Brassy stab for the fanfare: saws through a filter that closes quickly.
void Stab(Mix& m, double at, double dur, std::initializer_list<int> notes, double vel)
{
    long start = SampleAt(at);
    long total = long((dur + 0.15) * kRate);
    for (int note : notes) {
        double f = MidiHz(note);
        double p1 = 0, p2 = 0.5;
        Filter lp;
        for (long n = 0; n < total; ++n) {
            double t = n / kRate;
            if (n % 32 == 0)
                lp.Set(700 + 3200 * std::exp(-t * 7), 1.0);
            double dt1 = f * 1.003 / kRate, dt2 = f * 0.997 / kRate;
            p1 = Wrap(p1 + dt1);
            p2 = Wrap(p2 + dt2);
            double env = std::fmin(1.0, t / 0.012);
            if (t > dur)
                env *= std::exp(-(t - dur) * 25);
            double v = lp.Run(Saw(p1, dt1) + Saw(p2, dt2)) * env * vel * 0.07;
            m.dry.Add(start + n, v, 0.0);
            m.room.Add(start + n, v * 0.5, 0.0);
        }
    }
}

void Pluck(Mix& m, double at, int note, double vel, double pan)
{
    long start = SampleAt(at);
    double f = MidiHz(note);
    for (long n = 0; n < long(0.6 * kRate); ++n) {
        double t = n / kRate;
        double ph = 2 * kPi * f * t;
        double v = (std::sin(ph) + 0.3 * std::sin(2 * ph) * std::exp(-t * 12) +
                    0.12 * std::sin(3 * ph) * std::exp(-t * 20)) *
                   std::exp(-t * 9) * std::fmin(1.0, t / 0.002) * vel * 0.11;
        m.dry.Add(start + n, v, pan);
        m.echo.Add(start + n, v * 0.5, pan);
    }
}

// A glockenspiel-like bell: inharmonic partials with their own decays.
void Bell(Mix& m, double at, int note, double vel, double pan)
{
    long start = SampleAt(at);
    double f = MidiHz(note);
    const double ratio[4] = {1.0, 2.0, 3.01, 4.23};
    const double amp[4] = {1.0, 0.45, 0.22, 0.12};
    const double decay[4] = {2.2, 3.5, 5.5, 8.0};
    for (long n = 0; n < long(2.6 * kRate); ++n) {
        double t = n / kRate;
        double v = 0;
        for (int k = 0; k < 4; ++k)
            v += amp[k] * std::sin(2 * kPi * f * ratio[k] * t) * std::exp(-t * decay[k]);
        v *= std::fmin(1.0, t / 0.002) * vel * 0.1;
        m.dry.Add(start + n, v, pan);
        m.room.Add(start + n, v * 0.6, pan);
    }
}

// The lead: a pulse and a saw through a gentle filter, with delayed vibrato.
void Lead(Mix& m, double at, double dur, int note, double vel)
{
    long start = SampleAt(at);
    double f = MidiHz(note);
    double p1 = 0, p2 = 0.25;
    Filter lp;
    lp.Set(3200, 0.9);
    long total = long((dur + 0.12) * kRate);
    for (long n = 0; n < total; ++n) {
        double t = n / kRate;
        double vib = std::fmin(1.0, std::fmax(0.0, (t - 0.15) / 0.25)) * 0.2 *
                     std::sin(2 * kPi * 5.5 * t);
        double dt = f * std::pow(2.0, vib / 12.0) / kRate;
        p1 = Wrap(p1 + dt);
        p2 = Wrap(p2 + dt * 1.004);
        double pulse = Saw(p1, dt) - Saw(Wrap(p1 + 0.5), dt);
        double osc = 0.55 * pulse + 0.45 * Saw(p2, dt);
        double env = std::fmin(1.0, t / 0.01) * (0.8 + 0.2 * std::exp(-t * 8));
        if (t > dur)
            env *= std::exp(-(t - dur) * 40);
        double v = lp.Run(osc) * env * vel * 0.13;
        m.dry.Add(start + n, v, -0.1);
        m.echo.Add(start + n, v * 0.45, -0.1);
        m.room.Add(start + n, v * 0.35, 0.0);
    }
}

void SlideWhistle(Mix& m, double at, double dur, double fromHz, double toHz)
{
    long start = SampleAt(at);
    double phase = 0;
    for (long n = 0; n < long(dur * kRate); ++n) {
        double t = n / kRate, u = t / dur;
        double f = fromHz * std::pow(toHz / fromHz, u * u) * (1 + 0.012 * std::sin(2 * kPi * 6 * t));
        phase += f / kRate;
        double env = std::fmin(1.0, t / 0.03) * std::fmin(1.0, (dur - t) / 0.08);
        double v = (std::sin(2 * kPi * phase) + 0.08 * std::sin(4 * kPi * phase)) * env * 0.16;
        m.dry.Add(start + n, v, 0.15);
        m.room.Add(start + n, v * 0.5, 0.0);
    }
}

// ---- effects --------------------------------------------------------------------------

// Ping-pong echo of a dotted eighth, its repeats darkening.
void Echo(const Bus& in, Bus& out)
{
    const long d = SampleAt(0.75 * kBeat);
    const size_t n = in.l.size();
    std::vector<float> bl(n, 0.0f), br(n, 0.0f);
    double lpl = 0, lpr = 0;
    for (size_t i = 0; i < n; ++i) {
        double fl = i >= size_t(d) ? bl[i - size_t(d)] : 0.0;
        double fr = i >= size_t(d) ? br[i - size_t(d)] : 0.0;
        lpl += 0.35 * (fl - lpl);
        lpr += 0.35 * (fr - lpr);
        // The left input feeds the left line; each line feeds the other.
        bl[i] = float(in.l[i] + 0.4 * lpr);
        br[i] = float(in.r[i] + 0.4 * lpl);
        out.l[i] += float(fl * 0.55);
        out.r[i] += float(fr * 0.55);
    }
}

// A small Schroeder room: parallel damped combs, then allpasses, per channel.
void Room(const Bus& in, Bus& out)
{
    const size_t n = in.l.size();
    for (int ch = 0; ch < 2; ++ch) {
        const std::vector<float>& src = ch ? in.r : in.l;
        std::vector<float>& dst = ch ? out.r : out.l;
        const int spread = ch ? 23 : 0;
        const int combLen[4] = {1557 + spread, 1617 + spread, 1491 + spread, 1422 + spread};
        std::vector<double> wet(n, 0.0);
        for (int c = 0; c < 4; ++c) {
            std::vector<double> line(size_t(combLen[c]), 0.0);
            size_t pos = 0;
            double damp = 0;
            for (size_t i = 0; i < n; ++i) {
                double y = line[pos];
                damp = y * 0.7 + damp * 0.3;
                line[pos] = src[i] + damp * 0.82;
                wet[i] += y;
                pos = (pos + 1) % line.size();
            }
        }
        const int allLen[2] = {556 + spread, 441 + spread};
        for (int a = 0; a < 2; ++a) {
            std::vector<double> line(size_t(allLen[a]), 0.0);
            size_t pos = 0;
            for (size_t i = 0; i < n; ++i) {
                double b = line[pos];
                double y = -wet[i] + b;
                line[pos] = wet[i] + b * 0.5;
                wet[i] = y;
                pos = (pos + 1) % line.size();
            }
        }
        for (size_t i = 0; i < n; ++i)
            dst[i] += float(wet[i] * 0.09);
    }
}

// ---- the score ------------------------------------------------------------------------

struct Chord {
    int bass;
    int notes[3];
};

constexpr Chord kAm{33, {57, 60, 64}};
constexpr Chord kF{29, {57, 60, 65}};
constexpr Chord kC{36, {55, 60, 64}};
constexpr Chord kG{31, {55, 59, 62}};
constexpr Chord kEm{28, {55, 59, 64}};
constexpr Chord kDm{38, {57, 62, 65}};
constexpr Chord kE{28, {56, 59, 64}};

struct Note {
    double beat, length;
    int pitch;
};

// Four bars each, beats counted from the phrase's start.
const std::vector<Note> kVerseTune = {
    {0, 1, 76},    {1, 0.5, 72},  {1.5, 0.5, 74}, {2, 1, 76},    {3, 0.5, 79}, {3.5, 0.5, 76},
    {4, 1, 72},    {5, 1, 77},    {6, 0.5, 76},   {6.5, 0.5, 74}, {7, 1, 72},
    {8, 0.5, 67},  {8.5, 0.5, 72}, {9, 1, 76},    {10, 1, 74},   {11, 0.5, 72}, {11.5, 0.5, 71},
    {12, 2, 74},   {14, 1, 71},   {15, 1, 67},
};
const std::vector<Note> kChorusTune = {
    {0, 1, 81},    {1, 0.5, 79},  {1.5, 0.5, 77}, {2, 1, 79},   {3, 1, 81},
    {4, 1, 83},    {5, 0.5, 81},  {5.5, 0.5, 79}, {6, 2, 74},
    {8, 1, 79},    {9, 1, 76},    {10, 0.5, 79},  {10.5, 0.5, 83}, {11, 1, 79},
    {12, 1, 81},   {13, 1, 84},   {14, 2, 81},
};

enum class Part { Intro1, Intro2, Intro3, Fill, Verse, Chorus, Build, Fall, Fanfare, Breakdown, Outro, Last };

struct BarPlan {
    Part part;
    Chord chord;
};

// One entry per two-second bar.
std::vector<BarPlan> Plan()
{
    std::vector<BarPlan> plan;
    auto add = [&](Part p, std::initializer_list<Chord> chords) {
        for (const Chord& c : chords)
            plan.push_back({p, c});
    };
    add(Part::Intro1, {kAm, kF, kC, kG});                        // 0 s
    add(Part::Intro2, {kAm, kF, kC, kG});                        // 8 s
    add(Part::Intro3, {kAm, kF, kC, kG});                        // 16 s
    add(Part::Fill, {kE});                                       // 24 s
    add(Part::Verse, {kAm, kF, kC, kG, kAm, kF, kC, kG});        // 26 s: title, circus
    add(Part::Chorus, {kF, kG, kEm, kAm, kF, kG, kEm, kAm});     // 42 s: the high wire
    add(Part::Build, {kF, kG});                                  // 58 s: the wobble, the slip
    add(Part::Fall, {kDm});                                      // 62 s: the fall
    add(Part::Fanfare, {kC});                                    // 64 s: the curtain call
    add(Part::Breakdown, {kDm, kF, kE});                         // 66 s
    add(Part::Verse, {kAm, kF, kC, kG, kAm, kF, kC, kG});        // 72 s: greetings
    add(Part::Chorus, {kF, kG, kEm, kAm, kF, kG, kEm, kAm});     // 88 s: credits
    add(Part::Outro, {kAm, kF, kC, kG});                         // 104 s: the closing still
    add(Part::Last, {kAm, kAm});                                 // 112 s
    return plan;
}

// `pos` counts the bars since this part began.
void Drums(Mix& m, double t0, Part part, int pos, uint32_t& seed)
{
    const double s16 = kBeat / 4;
    switch (part) {
    case Part::Intro2:
        for (int i = 0; i < 8; ++i)
            Hat(m, t0 + i * 2 * s16, 0.25 + 0.1 * (i % 2), false, seed++);
        break;
    case Part::Intro3:
        for (int b = 0; b < 4; ++b)
            Kick(m, t0 + b * kBeat, 0.7);
        for (int i = 0; i < 8; ++i)
            Hat(m, t0 + i * 2 * s16, 0.35 + 0.15 * (i % 2), false, seed++);
        break;
    case Part::Fill:
        Kick(m, t0, 0.9);
        Kick(m, t0 + kBeat, 0.8);
        for (int i = 8; i < 16; ++i)
            Snare(m, t0 + i * s16, 0.3 + 0.06 * (i - 8), seed++);
        break;
    case Part::Verse:
    case Part::Outro: {
        bool thin = part == Part::Outro;
        int outroBar = pos;
        if (!thin || outroBar < 2) {
            Kick(m, t0, 1.0);
            Kick(m, t0 + 8 * s16, 0.95);
            if (!thin && pos % 2 == 1)
                Kick(m, t0 + 10 * s16, 0.7);
        }
        if (!thin) {
            Snare(m, t0 + 4 * s16, 0.9, seed++);
            Snare(m, t0 + 12 * s16, 0.9, seed++);
        }
        if (!thin || outroBar < 3)
            for (int i = 0; i < 8; ++i)
                Hat(m, t0 + i * 2 * s16, (i % 2) ? 0.55 : 0.35, false, seed++);
        break;
    }
    case Part::Chorus:
    case Part::Build:
        for (int b = 0; b < 4; ++b)
            Kick(m, t0 + b * kBeat, 1.0);
        Snare(m, t0 + 4 * s16, 1.0, seed++);
        Snare(m, t0 + 12 * s16, 1.0, seed++);
        for (int i = 0; i < 16; ++i) {
            bool offbeat = i % 4 == 2;
            Hat(m, t0 + i * s16, offbeat ? 0.6 : 0.25, offbeat, seed++);
        }
        if (part == Part::Build && pos == 1)
            for (int i = 8; i < 16; ++i)
                Snare(m, t0 + i * s16, 0.35 + 0.07 * (i - 8), seed++);
        break;
    case Part::Breakdown:
        if (pos == 2) {
            for (int i = 0; i < 8; ++i)
                Hat(m, t0 + i * 2 * s16, 0.3 + 0.04 * i, false, seed++);
            for (int i = 12; i < 16; ++i)
                Snare(m, t0 + i * s16, 0.4 + 0.1 * (i - 12), seed++);
        }
        break;
    default:
        break;
    }
}

void BassLine(Mix& m, double t0, Part part, const Chord& c)
{
    const double e = kBeat / 2;
    switch (part) {
    case Part::Intro3:
    case Part::Outro:
        for (int b = 0; b < 4; ++b)
            Bass(m, t0 + b * kBeat, kBeat * 0.9, c.bass + 12 * (b == 2), 0.7);
        break;
    case Part::Fill:
        Bass(m, t0, kBeat * 1.8, c.bass, 0.8);
        break;
    case Part::Verse:
    case Part::Chorus:
    case Part::Build: {
        const int step[8] = {0, 0, 12, 0, 0, 7, 12, 7};
        for (int i = 0; i < 8; ++i)
            Bass(m, t0 + i * e, e * 0.55, c.bass + step[i], part == Part::Verse ? 0.8 : 0.95);
        break;
    }
    case Part::Fanfare:
        Bass(m, t0 + kBeat * 2, kBeat * 0.9, 31, 0.9);
        Bass(m, t0 + kBeat * 3, kBeat * 0.95, 36, 0.9);
        break;
    case Part::Breakdown:
        Bass(m, t0, kBar * 0.95, c.bass, 0.6);
        break;
    case Part::Last:
        Bass(m, t0, kBar * 0.98, c.bass, 0.6);
        break;
    default:
        break;
    }
}

void Arpeggio(Mix& m, double t0, const Chord& c, double vel)
{
    const int order[8] = {0, 1, 2, 3, 2, 1, 0, 2};
    for (int i = 0; i < 16; ++i) {
        int k = order[i % 8];
        int note = k == 3 ? c.notes[0] + 24 : c.notes[k] + 12;
        Pluck(m, t0 + i * kBeat / 4, note, vel * ((i % 4 == 0) ? 1.0 : 0.7), (i % 2) ? 0.45 : -0.45);
    }
}

void Tune(Mix& m, double phraseStart, const std::vector<Note>& tune, bool bells, double vel,
          int transpose)
{
    for (size_t i = 0; i < tune.size(); ++i) {
        const Note& n = tune[i];
        double at = phraseStart + n.beat * kBeat;
        // A touch of unevenness in the playing, the same every time.
        double accent = (n.beat == std::floor(n.beat)) ? 1.0 : 0.85;
        if (bells)
            Bell(m, at, n.pitch + transpose, vel * accent, (i % 2) ? 0.3 : -0.3);
        else
            Lead(m, at, n.length * kBeat * 0.92, n.pitch + transpose, vel * accent);
    }
}

} // namespace

std::vector<int16_t> SynthesizeSoundtrack()
{
    Mix m;
    std::vector<BarPlan> plan = Plan();
    uint32_t seed = 1;
    for (size_t bar = 0; bar < plan.size(); ++bar) {
        const double t0 = bar * kBar;
        const BarPlan& p = plan[bar];
        const Chord& c = p.chord;
        const int b = int(bar);
        // Bars since this part began: phrases of the tune start every four bars.
        int pos = 0;
        while (pos < b && plan[bar - size_t(pos) - 1].part == p.part)
            ++pos;

        // Pads under almost everything, opening up through the intro.
        double bright = 0.35;
        double padVel = 1.0;
        switch (p.part) {
        case Part::Intro1: bright = 0.1 + 0.06 * b; padVel = 1.0 + 0.1 * b; break;
        case Part::Intro2: bright = 0.3; padVel = 1.2; break;
        case Part::Chorus: case Part::Build: bright = 0.55; break;
        case Part::Breakdown: bright = 0.6; padVel = 1.2; break;
        case Part::Fall: bright = 0.15; padVel = 0.5; break;
        case Part::Fanfare: padVel = 0.0; break;
        case Part::Last: bright = 0.25; padVel = 1.1; break;
        default: break;
        }
        if (p.part == Part::Last) {
            if (bar + 1 == plan.size())
                continue;
            Pad(m, t0, 2 * kBar, {c.notes[0], c.notes[1], c.notes[2]}, padVel, bright);
            Bell(m, t0, 69, 0.9, 0.0);
            Bell(m, t0 + kBeat * 1.5, 76, 0.6, 0.3);
            Bell(m, t0 + kBeat * 3, 81, 0.5, -0.3);
            BassLine(m, t0, p.part, c);
            continue;
        }
        if (padVel > 0)
            Pad(m, t0, kBar, {c.notes[0], c.notes[1], c.notes[2]}, padVel, bright);

        Drums(m, t0, p.part, pos, seed);
        BassLine(m, t0, p.part, c);

        switch (p.part) {
        case Part::Intro1:
            Bell(m, t0, c.notes[0] + 12, 0.8, -0.2);
            Bell(m, t0 + kBeat * 2, c.notes[2] + 12, 0.5, 0.2);
            break;
        case Part::Intro2:
            Arpeggio(m, t0, c, 0.5 + 0.08 * (b - 4));
            if (b == 4)
                Crash(m, t0, 0.5, seed++);
            break;
        case Part::Intro3:
            Arpeggio(m, t0, c, 0.6);
            if (b == 8) {
                Crash(m, t0, 0.7, seed++);
                Tune(m, t0, kVerseTune, true, 0.6, 0);
            }
            break;
        case Part::Fill:
            Arpeggio(m, t0, c, 0.5);
            break;
        case Part::Verse:
            Arpeggio(m, t0, c, 0.35);
            if (pos % 4 == 0)
                Tune(m, t0, kVerseTune, false, 1.0, 0);
            if (pos == 0)
                Crash(m, t0, 0.9, seed++);
            break;
        case Part::Chorus:
            Arpeggio(m, t0, c, 0.45);
            if (pos % 4 == 0) {
                Tune(m, t0, kChorusTune, false, 1.0, 0);
                Tune(m, t0, kChorusTune, true, 0.35, 12);
                Crash(m, t0, 0.9, seed++);
            }
            break;
        case Part::Build:
            Arpeggio(m, t0, c, 0.55);
            if (c.bass == kF.bass) {
                Lead(m, t0, kBeat * 1.5, 81, 1.0);
                Lead(m, t0 + kBeat * 1.5, kBeat * 0.5, 79, 0.9);
                Lead(m, t0 + kBeat * 2, kBeat * 2, 77, 1.0);
                Crash(m, t0, 0.8, seed++);
            } else {
                // The wobble: a trill that teeters.
                for (int i = 0; i < 8; ++i)
                    Lead(m, t0 + i * kBeat / 2, kBeat * 0.45, (i % 2) ? 83 : 79, 0.9);
            }
            break;
        case Part::Fall:
            SlideWhistle(m, t0 + 0.05, 1.25, 1700, 240);
            Tom(m, t0 + 1.35, 1.0, 70);
            Crash(m, t0 + 1.35, 0.5, seed++);
            break;
        case Part::Fanfare:
            Snare(m, t0 + 0.3, 0.5, seed++);
            Snare(m, t0 + 0.55, 0.6, seed++);
            // Ta-da: dominant, dominant, home.
            Stab(m, t0 + 1.0, 0.18, {59, 62, 67, 71}, 1.0);
            Stab(m, t0 + 1.25, 0.18, {59, 62, 67, 71}, 0.9);
            Stab(m, t0 + 1.5, 0.45, {64, 67, 72, 76}, 1.0);
            Kick(m, t0 + 1.0, 0.9);
            Kick(m, t0 + 1.5, 0.9);
            Crash(m, t0 + 1.5, 0.9, seed++);
            break;
        case Part::Breakdown:
            Arpeggio(m, t0, c, 0.6);
            Bell(m, t0, c.notes[2] + 12, 0.7, -0.3);
            Bell(m, t0 + kBeat * 1.5, c.notes[1] + 12, 0.5, 0.3);
            Bell(m, t0 + kBeat * 3, c.notes[0] + 12, 0.5, 0.0);
            break;
        case Part::Outro:
            Arpeggio(m, t0, c, 0.4 - 0.06 * (b - 52));
            if (b == 52) {
                Tune(m, t0, kVerseTune, true, 0.7, 0);
                Crash(m, t0, 0.7, seed++);
            }
            break;
        default:
            break;
        }
    }

    Echo(m.echo, m.dry);
    Room(m.room, m.dry);

    // Master: block DC, fade in and out, then bring the peak to about -1 dB with a soft knee
    // so no sample clips.
    const size_t n = m.dry.l.size();
    std::vector<double> l(n), r(n);
    double xl = 0, yl = 0, xr = 0, yr = 0;
    double peak = 1e-9;
    for (size_t i = 0; i < n; ++i) {
        double t = i / kRate;
        double gain = std::fmin(1.0, t / 0.02);
        if (t > kFadeStart) {
            double u = std::fmin(1.0, (t - kFadeStart) / (kFadeEnd - kFadeStart));
            gain *= 0.5 * (1 + std::cos(kPi * u));
        }
        double a = m.dry.l[i], b = m.dry.r[i];
        yl = a - xl + 0.9995 * yl;
        xl = a;
        yr = b - xr + 0.9995 * yr;
        xr = b;
        l[i] = yl * gain;
        r[i] = yr * gain;
        peak = std::fmax(peak, std::fmax(std::fabs(l[i]), std::fabs(r[i])));
    }
    const double drive = 1.25 / peak, ceiling = 0.89 / std::tanh(1.25);
    std::vector<int16_t> out(n * 2);
    for (size_t i = 0; i < n; ++i) {
        double a = std::tanh(l[i] * drive) * ceiling, b = std::tanh(r[i] * drive) * ceiling;
        out[2 * i] = int16_t(std::lround(a * 32767.0));
        out[2 * i + 1] = int16_t(std::lround(b * 32767.0));
    }
    return out;
}
