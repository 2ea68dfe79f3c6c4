// timeline-sheet: plays the presentation offscreen on a scripted clock and lays the frames
// at chosen clock samples out on one contact-sheet PNG, each with its time underneath.
#include <GL/gl.h>
#include <cairo.h>
#include <limits.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "app/render_window.h"
#include "app/renderer_setup.h"
#include "platform/platform.h"
#include "timeline/demo_clock.h"
#include "timeline/scene_sequencer.h"

namespace {

constexpr int kFrameWidth = 640;
constexpr int kFrameHeight = 480;
constexpr int kThumbWidth = kFrameWidth / 2;
constexpr int kThumbHeight = kFrameHeight / 2;
constexpr int kMargin = 16;
constexpr int kCaptionHeight = 30;
constexpr int kHeaderHeight = 40;

const double kDefaultSamples[] = {10, 15, 20, 30, 37, 41, 50.5, 62.5, 66, 80, 97.5, 110};

void Usage(FILE* to) {
    fprintf(to,
            "usage: timeline-sheet [--data DIR] [--out FILE] [--columns N] [SECONDS...]\n"
            "\n"
            "Plays the presentation offscreen on a scripted clock, reading the pictures\n"
            "from DIR as the program reads its data folder, and writes a contact sheet of\n"
            "the frames shown at the given clock samples, in rising order, each with its\n"
            "time underneath. The chain is replayed from the start, so every scene still\n"
            "hands over on its own end time.\n"
            "\n"
            "  --data DIR    folder holding Intro.jpg ... Quibbet.jpg (default: ./data)\n"
            "  --out FILE    PNG to write (default: timeline-sheet.png)\n"
            "  --columns N   frames per row, 1 to 12 (default: 4)\n"
            "  SECONDS       clock samples from 0 to 200 (default: 10 15 20 30 37 41 50.5\n"
            "                62.5 66 80 97.5 110)\n");
}

// The clock counts in ticks of 2^-20 s, so every sample given in whole binary fractions
// of a second reaches the scenes exactly.
constexpr int64_t kTicksPerSecond = int64_t{1} << 20;
int64_t gScriptedTicks = 0;
int64_t ScriptedCounter() { return gScriptedTicks; }
int64_t ScriptedFrequency() { return kTicksPerSecond; }

// Everything of the active backend but its counter.
void UseScriptedClock() {
    static SysBackend scripted;
    scripted = *gSys;
    scripted.name = "scripted clock";
    scripted.QueryCounter = ScriptedCounter;
    scripted.QueryFrequency = ScriptedFrequency;
    SysUseBackend(&scripted);
    gScriptedTicks = 0;
    gClock = DemoClock();  // the timeline's zero at tick 0
    ResetSceneState();
}

const char* const kSceneNames[] = {"intro", "title", "circus", "flip-book", "credits"};

// The scene that claims the next evaluation of the chain, or null once it is over.
const char* RunningScene() {
    const bool locked[] = {gScenes.introLocked, gScenes.titleLocked, gScenes.circusLocked,
                           gScenes.flipBookLocked, gScenes.creditsLocked};
    for (int i = 0; i < 5; ++i)
        if (!locked[i]) return kSceneNames[i];
    return nullptr;
}

struct Frame {
    double t;
    const char* scene;  // null: the presentation had already ended
    cairo_surface_t* image;
};

// One evaluation of the chain at t; the scene that drew it, or null when none did.
const char* EvaluateAt(double t) {
    gScriptedTicks = static_cast<int64_t>(std::llround(t * kTicksPerSecond));
    const char* scene = RunningScene();
    return RunSceneChain() ? scene : nullptr;
}

cairo_surface_t* CaptureFrame() {
    std::vector<uint8_t> rgba(static_cast<size_t>(kFrameWidth) * kFrameHeight * 4);
    glFinish();
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, 0, kFrameWidth, kFrameHeight, GL_RGBA, GL_UNSIGNED_BYTE, rgba.data());
    cairo_surface_t* image =
        cairo_image_surface_create(CAIRO_FORMAT_RGB24, kFrameWidth, kFrameHeight);
    cairo_surface_flush(image);
    uint8_t* data = cairo_image_surface_get_data(image);
    const int stride = cairo_image_surface_get_stride(image);
    // GL's rows run bottom-up, cairo's top-down.
    for (int y = 0; y < kFrameHeight; ++y) {
        const uint8_t* from = &rgba[static_cast<size_t>(kFrameHeight - 1 - y) * kFrameWidth * 4];
        uint32_t* to = reinterpret_cast<uint32_t*>(data + static_cast<size_t>(y) * stride);
        for (int x = 0; x < kFrameWidth; ++x, from += 4)
            to[x] = (uint32_t{from[0]} << 16) | (uint32_t{from[1]} << 8) | from[2];
    }
    cairo_surface_mark_dirty(image);
    return image;
}

// Replays the chain over the samples in rising order. Before each sample the chain gets a
// frame on every end time passed since the last one, where a real run hands over.
std::vector<Frame> PlaySamples(std::vector<double> samples) {
    std::sort(samples.begin(), samples.end());
    const double endTimes[] = {gScenes.introEnd, gScenes.titleEnd, gScenes.circusEnd,
                               gScenes.flipBookEnd, gScenes.creditsEnd};
    std::vector<Frame> frames;
    double last = -INFINITY;
    for (double t : samples) {
        for (double end : endTimes)
            if (end > last && end < t) EvaluateAt(end);
        const char* scene = EvaluateAt(t);
        frames.push_back({t, scene, scene ? CaptureFrame() : nullptr});
        last = t;
    }
    return frames;
}

std::string Seconds(double t) {
    char text[32];
    snprintf(text, sizeof text, "%.3f", t);
    std::string s = text;
    while (s.back() == '0' && s[s.size() - 2] != '.') s.pop_back();
    return s + " s";
}

bool WriteSheet(const std::vector<Frame>& frames, int columns, const char* out) {
    columns = std::min<int>(columns, static_cast<int>(frames.size()));
    const int rows = (static_cast<int>(frames.size()) + columns - 1) / columns;
    const int width = kMargin + columns * (kThumbWidth + kMargin);
    const int height = kHeaderHeight + rows * (kThumbHeight + kCaptionHeight + kMargin);
    cairo_surface_t* sheet = cairo_image_surface_create(CAIRO_FORMAT_RGB24, width, height);
    cairo_t* cr = cairo_create(sheet);
    cairo_set_source_rgb(cr, 0.12, 0.12, 0.13);
    cairo_paint(cr);

    cairo_select_font_face(cr, "sans-serif", CAIRO_FONT_SLANT_NORMAL, CAIRO_FONT_WEIGHT_BOLD);
    cairo_set_font_size(cr, 17);
    cairo_set_source_rgb(cr, 0.92, 0.92, 0.92);
    cairo_move_to(cr, kMargin, 27);
    cairo_show_text(cr, "Voruzavur Kestrafen Vellmarsh: the timeline, frame by frame");

    for (size_t i = 0; i < frames.size(); ++i) {
        const Frame& f = frames[i];
        const double x = kMargin + static_cast<int>(i % columns) * (kThumbWidth + kMargin);
        const double y = kHeaderHeight + static_cast<int>(i / columns) *
                                             (kThumbHeight + kCaptionHeight + kMargin);
        cairo_save(cr);
        cairo_rectangle(cr, x, y, kThumbWidth, kThumbHeight);
        cairo_clip(cr);
        if (f.image) {
            cairo_translate(cr, x, y);
            cairo_scale(cr, static_cast<double>(kThumbWidth) / kFrameWidth,
                        static_cast<double>(kThumbHeight) / kFrameHeight);
            cairo_set_source_surface(cr, f.image, 0, 0);
            cairo_pattern_set_filter(cairo_get_source(cr), CAIRO_FILTER_GOOD);
        } else {
            cairo_set_source_rgb(cr, 0.3, 0.3, 0.32);
        }
        cairo_paint(cr);
        cairo_restore(cr);

        std::string caption = Seconds(f.t);
        caption += f.scene ? std::string("  ") + f.scene : "  presentation over";
        cairo_set_source_rgb(cr, 0.85, 0.85, 0.85);
        cairo_select_font_face(cr, "sans-serif", CAIRO_FONT_SLANT_NORMAL,
                               CAIRO_FONT_WEIGHT_NORMAL);
        cairo_set_font_size(cr, 15);
        cairo_move_to(cr, x + 2, y + kThumbHeight + 20);
        cairo_show_text(cr, caption.c_str());
    }
    cairo_destroy(cr);
    const cairo_status_t status = cairo_surface_write_to_png(sheet, out);
    cairo_surface_destroy(sheet);
    if (status != CAIRO_STATUS_SUCCESS) {
        fprintf(stderr, "timeline-sheet: cannot write %s: %s\n", out,
                cairo_status_to_string(status));
        return false;
    }
    return true;
}

// InitRenderer looks for "data\..." under the working directory, so it runs in a fresh
// folder whose "data" is a link to the one asked for. Answers the pictures loaded, or -1.
int LoadCatalogue(const char* dataDir) {
    char real[PATH_MAX];
    struct stat info;
    if (!realpath(dataDir, real) || stat(real, &info) != 0 || !S_ISDIR(info.st_mode)) {
        fprintf(stderr, "timeline-sheet: %s is not a folder\n", dataDir);
        return -1;
    }
    char cwd[PATH_MAX];
    char folder[] = "/tmp/timeline-sheet-XXXXXX";
    if (!getcwd(cwd, sizeof cwd) || !mkdtemp(folder)) {
        fprintf(stderr, "timeline-sheet: no working folder: %s\n", strerror(errno));
        return -1;
    }
    const std::string link = std::string(folder) + "/data";
    const bool ready = symlink(real, link.c_str()) == 0 && chdir(folder) == 0;
    if (ready) InitRenderer();
    const bool back = chdir(cwd) == 0;
    unlink(link.c_str());
    rmdir(folder);
    if (!ready || !back) {
        fprintf(stderr, "timeline-sheet: cannot set up the data folder: %s\n", strerror(errno));
        return -1;
    }
    int loaded = 0;
    for (const CatalogueEntry& entry : kCatalogue) loaded += entry.slot->glName != 0;
    return loaded;
}

bool ParseSeconds(const char* text, double* t) {
    char* end = nullptr;
    errno = 0;
    *t = strtod(text, &end);
    return errno == 0 && end != text && *end == '\0' && std::isfinite(*t) && *t >= 0.0 &&
           *t <= 200.0;
}

}  // namespace

int main(int argc, char** argv) {
    const char* dataDir = "data";
    const char* out = "timeline-sheet.png";
    int columns = 4;
    std::vector<double> samples;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        const bool hasValue = i + 1 < argc;
        if (arg == "--help" || arg == "-h") {
            Usage(stdout);
            return 0;
        } else if (arg == "--data" && hasValue) {
            dataDir = argv[++i];
        } else if (arg == "--out" && hasValue) {
            out = argv[++i];
        } else if (arg == "--columns" && hasValue) {
            char* end = nullptr;
            const long n = strtol(argv[++i], &end, 10);
            if (*end != '\0' || end == argv[i] || n < 1 || n > 12) {
                fprintf(stderr, "timeline-sheet: --columns takes 1 to 12, not %s\n", argv[i]);
                return 2;
            }
            columns = static_cast<int>(n);
        } else if (arg.size() > 1 && arg[0] == '-' && !isdigit(static_cast<unsigned char>(arg[1])) &&
                   arg[1] != '.') {
            fprintf(stderr, "timeline-sheet: unknown option or missing value: %s\n", argv[i]);
            Usage(stderr);
            return 2;
        } else {
            double t = 0.0;
            if (!ParseSeconds(argv[i], &t)) {
                fprintf(stderr, "timeline-sheet: %s is not a clock sample from 0 to 200 s\n",
                        argv[i]);
                return 2;
            }
            samples.push_back(t);
        }
    }
    if (samples.empty()) samples.assign(std::begin(kDefaultSamples), std::end(kDefaultSamples));

    if (!SysCreateOffscreenGL(kFrameWidth, kFrameHeight)) {
        fprintf(stderr, "timeline-sheet: no offscreen GL: %s\n", SysLastError());
        return 1;
    }
    UseScriptedClock();
    ResizeViewport(kFrameWidth, kFrameHeight);
    const int loaded = LoadCatalogue(dataDir);
    if (loaded < 0) return 1;
    if (loaded < 29)
        fprintf(stderr, "timeline-sheet: only %d of the 29 pictures loaded from %s; the rest "
                        "show as bare quads\n", loaded, dataDir);

    std::vector<Frame> frames = PlaySamples(samples);
    const bool written = WriteSheet(frames, columns, out);
    for (Frame& f : frames)
        if (f.image) cairo_surface_destroy(f.image);
    for (const CatalogueEntry& entry : kCatalogue) gTextureBuilder->ReleaseTexture(entry.slot);
    SysDestroyOffscreenGL();
    if (!written) return 1;
    printf("timeline-sheet: %zu frames written to %s\n", frames.size(), out);
    return 0;
}
