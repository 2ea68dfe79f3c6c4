// One real run of the program on the X display of DISPLAY (a 640x480x24 Xvfb): pictures of
// distinct plain colours and a tone soundtrack in a fresh data folder, screenshots of the
// root window at chosen times compared with the picture the timeline shows then, the
// sound that reached SDL's disk audio driver, and the run's own end.
//   presentation-check VORUZAVUR MAKE_TONE_MP3 FIND_TONE SHOTS_DIR
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <cairo.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <thread>
#include <vector>

#include "app/renderer_setup.h"
#include "tests/scenes/test_pictures.h"

namespace {

using Clock = std::chrono::steady_clock;

constexpr int kWidth = 640;
constexpr int kHeight = 480;
constexpr double kToneHz = 440.0;
constexpr int kMixRate = 44000;  // the rate the program opens the sound device at
// The run must be over well before this, or it is stopped and counted as hung.
constexpr double kHangSeconds = 180.0;

int gPassed = 0, gFailed = 0;

void Check(bool ok, const std::string& what) {
    (ok ? gPassed : gFailed)++;
    printf("%s: %s\n", ok ? "ok" : "FAILED", what.c_str());
    fflush(stdout);
}

// The catalogue's file as it lies on disk here: "data\Intro.jpg" -> "Intro.jpg".
std::string FileName(int index) { return std::string(kCatalogue[index].file).substr(5); }

// What one screenshot should show: a picture filling the screen, a card in the middle
// with black at both sides, or plain black.
struct Shot {
    double at;  // seconds after the launch
    int picture;  // catalogue row, or -1 for black
    bool card;
};

int Row(const char* file) {
    for (int i = 0; i < 29; ++i)
        if (std::string(kCatalogue[i].file) == file) return i;
    return -2;
}

struct Grabber {
    Display* display = nullptr;

    bool Open() { return (display = XOpenDisplay(nullptr)) != nullptr; }
    ~Grabber() {
        if (display) XCloseDisplay(display);
    }

    // The root window as rows of 0x00RRGGBB, top row first; empty when it cannot be read.
    std::vector<uint32_t> Grab() {
        std::vector<uint32_t> pixels;
        XImage* image = XGetImage(display, DefaultRootWindow(display), 0, 0, kWidth, kHeight,
                                  AllPlanes, ZPixmap);
        if (!image) return pixels;
        pixels.resize(static_cast<size_t>(kWidth) * kHeight);
        for (int y = 0; y < kHeight; ++y)
            for (int x = 0; x < kWidth; ++x) {
                const unsigned long p = XGetPixel(image, x, y);
                auto channel = [p](unsigned long mask) {
                    int shift = 0;
                    while (mask && !(mask & 1)) mask >>= 1, ++shift;
                    return static_cast<uint32_t>((p >> shift) & 0xFF);
                };
                pixels[static_cast<size_t>(y) * kWidth + x] =
                    channel(image->red_mask) << 16 | channel(image->green_mask) << 8 |
                    channel(image->blue_mask);
            }
        XDestroyImage(image);
        return pixels;
    }
};

void SavePng(const std::vector<uint32_t>& pixels, const std::string& path) {
    cairo_surface_t* s = cairo_image_surface_create(CAIRO_FORMAT_RGB24, kWidth, kHeight);
    cairo_surface_flush(s);
    unsigned char* data = cairo_image_surface_get_data(s);
    const int stride = cairo_image_surface_get_stride(s);
    for (int y = 0; y < kHeight; ++y)
        memcpy(data + static_cast<size_t>(y) * stride, &pixels[static_cast<size_t>(y) * kWidth],
               kWidth * 4);
    cairo_surface_mark_dirty(s);
    cairo_surface_write_to_png(s, path.c_str());
    cairo_surface_destroy(s);
}

bool Near(uint32_t pixel, Rgb want) {
    const int r = (pixel >> 16) & 0xFF, g = (pixel >> 8) & 0xFF, b = pixel & 0xFF;
    // A JPEG of one plain colour comes back within a few steps; neighbours differ by 85.
    return std::abs(r - want.r) <= 24 && std::abs(g - want.g) <= 24 && std::abs(b - want.b) <= 24;
}

// The picture a pixel's colour belongs to, or its plain value.
std::string Describe(uint32_t pixel) {
    if (Near(pixel, Rgb{0, 0, 0})) return "black";
    for (int i = 0; i < 29; ++i)
        if (Near(pixel, TestColour(i))) return kCatalogue[i].file;
    char text[40];
    snprintf(text, sizeof text, "rgb(%u,%u,%u)", (pixel >> 16) & 0xFF, (pixel >> 8) & 0xFF,
             pixel & 0xFF);
    return text;
}

// Compares a grid of points with what the shot should show; "" when all agree.
std::string Compare(const std::vector<uint32_t>& pixels, const Shot& shot) {
    const Rgb black = {0, 0, 0};
    const Rgb want = shot.picture < 0 ? black : TestColour(shot.picture);
    for (int gy = 0; gy < 5; ++gy)
        for (int gx = 0; gx < 7; ++gx) {
            const int x = 4 + gx * (kWidth - 9) / 6, y = 4 + gy * (kHeight - 9) / 4;
            // The card, centred, leaves about 30 pixels of black at each side.
            const bool side = shot.card && (x < 20 || x > kWidth - 21);
            const bool inside = shot.card && x > 45 && x < kWidth - 46;
            if (shot.card && !side && !inside) continue;
            const Rgb expected = side ? black : want;
            const uint32_t got = pixels[static_cast<size_t>(y) * kWidth + x];
            if (!Near(got, expected))
                return Describe(got) + " at (" + std::to_string(x) + "," + std::to_string(y) +
                       ")";
        }
    return "";
}

std::string Run(const std::string& command, int* status) {
    std::string out;
    FILE* p = popen(command.c_str(), "r");
    if (!p) return out;
    char buf[256];
    while (fgets(buf, sizeof buf, p)) out += buf;
    *status = pclose(p);
    return out;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 5) {
        fprintf(stderr, "usage: presentation-check VORUZAVUR MAKE_TONE_MP3 FIND_TONE SHOTS_DIR\n");
        return 2;
    }
    const std::string program = argv[1], makeTone = argv[2], findTone = argv[3],
                      shotsDir = argv[4];
    Grabber grabber;
    if (!grabber.Open()) {
        fprintf(stderr, "presentation-check: no X display (DISPLAY=%s)\n",
                getenv("DISPLAY") ? getenv("DISPLAY") : "");
        return 2;
    }
    char folder[] = "/tmp/vz-presentation-XXXXXX";
    if (!mkdtemp(folder)) return 2;
    const std::string run = folder, data = run + "/data";
    mkdir(data.c_str(), 0755);
    mkdir(shotsDir.c_str(), 0755);
    if (!WriteTestPictureFiles(data, 160, 120)) {
        fprintf(stderr, "presentation-check: cannot write the test pictures\n");
        return 2;
    }
    int status = 0;
    Run("'" + makeTone + "' '" + data + "/Vellmarsh.mp3' 440 120 2>&1", &status);
    if (status != 0) {
        fprintf(stderr, "presentation-check: cannot make the soundtrack\n");
        return 2;
    }

    // Times well inside each picture's slot, so the moments between the launch and the
    // clock's zero, and between a frame and its presentation, do not matter.
    const Shot shots[] = {
        {4.0, -1, false},  // the intro card is still below the screen
        {15.0, Row("data\\Intro.jpg"), true},
        {31.0, Row("data\\Vellmarsh.jpg"), false},
        {37.2, Row("data\\Circus.jpg"), false},
        {41.0, Row("data\\TeltPobble1.jpg"), false},
        {45.5, Row("data\\WembleAnim03.jpg"), false},
        {50.5, Row("data\\WembleAnim08.jpg"), false},
        {57.5, Row("data\\WembleAnim15.jpg"), false},
        {63.5, Row("data\\WembleDead.jpg"), false},
        {66.5, Row("data\\HappyPobble.jpg"), false},
        {80.0, Row("data\\Greetings.jpg"), true},
        {97.5, Row("data\\Credits.jpg"), true},
        {111.0, Row("data\\Quibbet.jpg"), false},
    };

    const std::string audio = run + "/audio.raw";
    const Clock::time_point launch = Clock::now();
    const pid_t child = fork();
    if (child == 0) {
        if (chdir(run.c_str()) != 0) _exit(126);
        setenv("SDL_AUDIODRIVER", "disk", 1);
        setenv("SDL_DISKAUDIOFILE", audio.c_str(), 1);
        execl(program.c_str(), program.c_str(), static_cast<char*>(nullptr));
        _exit(127);
    }
    if (child < 0) return 2;

    auto since = [&] { return std::chrono::duration<double>(Clock::now() - launch).count(); };
    int waitStatus = 0;
    bool ended = false;
    for (const Shot& shot : shots) {
        std::this_thread::sleep_until(launch + std::chrono::duration_cast<Clock::duration>(
                                                   std::chrono::duration<double>(shot.at)));
        if (waitpid(child, &waitStatus, WNOHANG) == child) {
            ended = true;
            char at[32];
            snprintf(at, sizeof at, "%.1f s", shot.at);
            Check(false, std::string("the program still runs at ") + at + " (it ended early, " +
                             (WIFSIGNALED(waitStatus)
                                  ? "killed by signal " + std::to_string(WTERMSIG(waitStatus))
                                  : "status " + std::to_string(WEXITSTATUS(waitStatus))) +
                             ")");
            break;
        }
        const std::vector<uint32_t> pixels = grabber.Grab();
        char name[64];
        snprintf(name, sizeof name, "/at-%06.2f.png", shot.at);
        if (!pixels.empty()) SavePng(pixels, shotsDir + name);
        const std::string what = shot.picture < 0 ? "black"
                                                  : std::string(kCatalogue[shot.picture].file) +
                                                        (shot.card ? " card" : " still");
        const std::string diff = pixels.empty() ? "no screenshot" : Compare(pixels, shot);
        char at[32];
        snprintf(at, sizeof at, "%.1f s", shot.at);
        Check(diff.empty(), std::string("at ") + at + " the screen shows " + what +
                                (diff.empty() ? "" : ", but it shows " + diff));
    }

    while (!ended && since() < kHangSeconds) {
        if (waitpid(child, &waitStatus, WNOHANG) == child) {
            ended = true;
            break;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
    const double endedAt = since();
    if (!ended) {
        kill(child, SIGKILL);
        waitpid(child, &waitStatus, 0);
    }
    Check(ended, "the run ends by itself");
    if (ended) {
        Check(WIFEXITED(waitStatus) && WEXITSTATUS(waitStatus) == 0,
              "the exit status is 0 (" +
                  (WIFSIGNALED(waitStatus)
                       ? "killed by signal " + std::to_string(WTERMSIG(waitStatus))
                       : "status " + std::to_string(WEXITSTATUS(waitStatus))) +
                  ")");
        // The clock starts after the launch, so the whole timeline lies inside the run.
        Check(endedAt >= 114.0, "the run lasts the whole timeline (" +
                                    std::to_string(endedAt) + " s after the launch)");
    }

    // The soundtrack's tone in what the disk driver wrote: most of the capture, not a blip.
    const std::string found =
        Run("'" + findTone + "' '" + audio + "' " + std::to_string(kMixRate) + " " +
                std::to_string(static_cast<int>(kToneHz)) + " 2>&1",
            &status);
    double toneSeconds = 0, totalSeconds = 0;
    const bool parsed =
        sscanf(found.c_str(), "%lf s of %*f Hz in %lf s", &toneSeconds, &totalSeconds) == 2;
    Check(parsed && status == 0 && toneSeconds >= 10.0 && toneSeconds >= 0.8 * totalSeconds,
          "the captured sound holds the soundtrack: " + found.substr(0, found.find('\n')));

    for (const char* f : {"/audio.raw", "/data/Vellmarsh.mp3"}) unlink((run + f).c_str());
    for (int i = 0; i < 29; ++i) unlink((data + "/" + FileName(i)).c_str());
    rmdir(data.c_str());
    rmdir(run.c_str());
    printf("%d passed, %d failed\n", gPassed, gFailed);
    return gFailed == 0 ? 0 : 1;
}
