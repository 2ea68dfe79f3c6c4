// Every service the presentation and the texture builder take from the outside world.
// The Parts include this header and nothing of SDL, gdk-pixbuf, FreeType or EGL.
//
// Two kinds of service:
//  - window, message queue, GL context, counter and sound go through the active backend
//    (`gSys`), a table of function pointers: the real one on SDL2 and SDL2_mixer, or the
//    recording backend of the tests, which the Parts cannot tell apart;
//  - pictures, glyph outlines, resources, files and offscreen GL are plain functions on
//    the real libraries, the same in every run.
// Each entry says what failure looks like. A failing service keeps a short reason for
// SysLastError(); the Parts never print it themselves.
#pragma once

#include <cstddef>
#include <cstdint>

// ---------------------------------------------------------------------------------------
// Handles. Opaque to the Parts; each backend defines what stands behind them.
typedef struct SysWindowData* SysWindow;
typedef struct SysDeviceData* SysDeviceContext;
typedef struct SysRenderData* SysRenderContext;
typedef struct SysStreamData* SysStream;

// ---------------------------------------------------------------------------------------
// Window messages, with the ids and values the window procedure is written against.
enum : unsigned {
    WM_SIZE = 0x0005,
    WM_ACTIVATE = 0x0006,
    WM_CLOSE = 0x0010,
    WM_QUIT = 0x0012,
    WM_KEYDOWN = 0x0100,
    WM_KEYUP = 0x0101,
    WM_SYSKEYDOWN = 0x0104,
    WM_SYSKEYUP = 0x0105,
    WM_SYSCOMMAND = 0x0112,
};

// Low word of WM_ACTIVATE's wParam; the high word is non-zero while minimised.
enum : unsigned { WA_INACTIVE = 0, WA_ACTIVE = 1, WA_CLICKACTIVE = 2 };

// wParam of WM_SYSCOMMAND.
enum : unsigned {
    SC_MINIMIZE = 0xF020,
    SC_CLOSE = 0xF060,
    SC_KEYMENU = 0xF100,
    SC_RESTORE = 0xF120,
    SC_SCREENSAVE = 0xF140,
    SC_MONITORPOWER = 0xF170,
};

// Virtual-key codes carried by WM_KEYDOWN/WM_KEYUP. Digits and letters are their ASCII
// capitals ('0'..'9', 'A'..'Z').
enum : unsigned {
    VK_BACK = 0x08, VK_TAB = 0x09, VK_RETURN = 0x0D, VK_SHIFT = 0x10, VK_CONTROL = 0x11,
    VK_MENU = 0x12, VK_PAUSE = 0x13, VK_CAPITAL = 0x14, VK_ESCAPE = 0x1B, VK_SPACE = 0x20,
    VK_PRIOR = 0x21, VK_NEXT = 0x22, VK_END = 0x23, VK_HOME = 0x24, VK_LEFT = 0x25,
    VK_UP = 0x26, VK_RIGHT = 0x27, VK_DOWN = 0x28, VK_PRINT = 0x2A, VK_INSERT = 0x2D,
    VK_DELETE = 0x2E, VK_NUMPAD0 = 0x60, VK_MULTIPLY = 0x6A, VK_ADD = 0x6B,
    VK_SUBTRACT = 0x6D, VK_DECIMAL = 0x6E, VK_DIVIDE = 0x6F, VK_F1 = 0x70, VK_F4 = 0x73,
    VK_F10 = 0x79, VK_F12 = 0x7B, VK_F24 = 0x87, VK_NUMLOCK = 0x90, VK_SCROLL = 0x91,
};

// One message as the queue hands it over.
struct SysMessage {
    SysWindow window;
    unsigned message;
    uintptr_t wParam;
    intptr_t lParam;
    uint32_t time;  // milliseconds since the window system started
    int32_t x, y;   // cursor position when the message was queued
};

typedef intptr_t (*SysWindowProc)(SysWindow window, unsigned message, uintptr_t wParam,
                                  intptr_t lParam);

// Message boxes: buttons, icons and answers.
enum : unsigned {
    MB_OK = 0x00,
    MB_YESNO = 0x04,
    MB_ICONSTOP = 0x10,
    MB_ICONEXCLAMATION = 0x30,
    MB_ICONINFORMATION = 0x40,
};
enum : int { IDOK = 1, IDYES = 6, IDNO = 7 };

// Display modes.
struct SysDisplayMode {
    int width;
    int height;
    int bitsPerPixel;
};
enum : int { DISP_CHANGE_SUCCESSFUL = 0, DISP_CHANGE_FAILED = -1 };
enum : unsigned { CDS_FULLSCREEN = 0x04 };

// Window class and styles.
enum : unsigned { CS_VREDRAW = 0x01, CS_HREDRAW = 0x02, CS_OWNDC = 0x20 };
enum : unsigned {
    WS_POPUP = 0x80000000u,
    WS_OVERLAPPEDWINDOW = 0x00CF0000u,
    WS_CLIPSIBLINGS = 0x04000000u,
    WS_CLIPCHILDREN = 0x02000000u,
    WS_EX_APPWINDOW = 0x00040000u,
    WS_EX_WINDOWEDGE = 0x00000100u,
};
enum : int { SW_SHOW = 5 };

struct SysWindowClass {
    unsigned style;
    SysWindowProc windowProc;
    const char* className;
};

struct SysRect {
    int left, top, right, bottom;
};

// The pixel format asked of a window's device context.
enum : unsigned { PFD_DOUBLEBUFFER = 0x01, PFD_DRAW_TO_WINDOW = 0x04, PFD_SUPPORT_OPENGL = 0x20 };
enum : int { PFD_TYPE_RGBA = 0, PFD_MAIN_PLANE = 0 };
struct SysPixelFormat {
    unsigned flags;
    int pixelType;
    int colorBits;
    int alphaBits;
    int accumBits;
    int depthBits;
    int stencilBits;
    int auxBuffers;
    int layerType;
};

// ---------------------------------------------------------------------------------------
// The backend: window service, message queue, GL context, counter and sound.
struct SysBackend {
    const char* name;

    // -- window service
    // Starts the window system and records the class; false when it cannot start.
    bool (*RegisterWindowClass)(const SysWindowClass* windowClass);
    // Stops the window system; false when no such class was registered.
    bool (*UnregisterWindowClass)(const char* className);
    // With a mode: switch the window's display to exactly that mode (CDS_FULLSCREEN),
    // answering DISP_CHANGE_SUCCESSFUL or DISP_CHANGE_FAILED. With null: back to the
    // desktop's own mode.
    int (*ChangeDisplayMode)(const SysDisplayMode* mode, unsigned flags);
    // Shows a box with MB_OK or MB_YESNO and an MB_ICON*; answers IDOK, IDYES or IDNO.
    // A box that cannot be shown writes its caption and text to standard error and
    // answers 0.
    int (*MessageBox)(const char* text, const char* caption, unsigned type);
    void (*ShowCursor)(bool show);
    // Widens a client rectangle to the outer size of a window with these styles.
    void (*AdjustWindowRect)(SysRect* rect, unsigned style, unsigned exStyle);
    // Creates the window, hidden until ShowWindow; null on failure.
    SysWindow (*CreateWindow)(unsigned exStyle, const char* className, const char* title,
                              unsigned style, int x, int y, int width, int height);
    bool (*DestroyWindow)(SysWindow window);
    // The window's own device context; null on failure.
    SysDeviceContext (*GetDC)(SysWindow window);
    bool (*ReleaseDC)(SysWindow window, SysDeviceContext dc);
    // Index of the format that best matches, 0 when none does.
    int (*ChoosePixelFormat)(SysDeviceContext dc, const SysPixelFormat* format);
    bool (*SetPixelFormat)(SysDeviceContext dc, int index, const SysPixelFormat* format);
    // GL rendering context on the device context; null on failure.
    SysRenderContext (*CreateContext)(SysDeviceContext dc);
    // Makes the pair current; (null, null) releases the current context.
    bool (*MakeCurrent)(SysDeviceContext dc, SysRenderContext rc);
    bool (*DeleteContext)(SysRenderContext rc);
    void (*ShowWindow)(SysWindow window, int how);
    void (*SetForegroundWindow)(SysWindow window);
    void (*SetFocus)(SysWindow window);

    // -- message queue
    // Takes one pending message off the queue without waiting; false when none is pending.
    bool (*PeekMessage)(SysMessage* message);
    void (*TranslateMessage)(const SysMessage* message);
    // Hands the message to the window procedure of its window's class.
    intptr_t (*DispatchMessage)(const SysMessage* message);
    // What the window system does with a message nobody handled.
    intptr_t (*DefWindowProc)(SysWindow window, unsigned message, uintptr_t wParam,
                              intptr_t lParam);
    void (*PostQuitMessage)(int exitCode);
    // Presents the back buffer, in step with the display's refresh where it has one.
    bool (*SwapBuffers)(SysDeviceContext dc);

    // -- high-resolution counter
    int64_t (*QueryCounter)();
    int64_t (*QueryFrequency)();  // ticks per second

    // -- sound: one streamed soundtrack
    // false when no audio device could be opened; the program runs on silently.
    bool (*SoundInit)(int mixRate, int softwareChannels, unsigned flags);
    // Opens the file for streaming; null when it cannot be opened or decoded.
    SysStream (*SoundStreamOpen)(const char* file, unsigned mode, int offset, int length);
    // Starts playing in the background; the channel used, or -1. A null stream fails.
    int (*SoundStreamPlay)(int channel, SysStream stream);
    // Both accept a null stream and answer false for it.
    bool (*SoundStreamStop)(SysStream stream);
    bool (*SoundStreamClose)(SysStream stream);
    void (*SoundClose)();
};

// The active backend; the SDL one unless a test chose another. Constant-initialised, so
// it is usable from static initialisers.
extern const SysBackend* gSys;
const SysBackend* SysSdlBackend();
void SysUseBackend(const SysBackend* backend);

// The reason of the last failure of any service, or "" when none failed yet.
const char* SysLastError();
// Records a reason (printf style) and answers false, for `return SysFail(...)`.
bool SysFail(const char* format, ...) __attribute__((format(printf, 1, 2)));

// ---------------------------------------------------------------------------------------
// Offscreen GL: a current GL 1.1 context without any window system (EGL, surfaceless).
// For tools, tests and fuzzers. Answers false when no context could be made.
bool SysCreateOffscreenGL(int width, int height);
void SysDestroyOffscreenGL();

// ---------------------------------------------------------------------------------------
// Picture service: decodes whatever gdk-pixbuf reads (JPEG, BMP, GIF's first frame,
// icons, PNG, TIFF ...), Windows metafiles, and enhanced metafiles.
struct SysPicture;
// Opens a file path or URL; null when it cannot be opened or decoded. URLs are not
// fetched: they fail at once.
SysPicture* SysPictureOpenPath(const char* path);
// Decodes a picture file held in memory; null on failure.
SysPicture* SysPictureOpenMemory(const void* bytes, size_t size);
// The picture's extent in HIMETRIC units (2540 to the inch): a raster picture's pixels
// at SysPicturePixelsPerInch(), a metafile's frame.
void SysPictureExtent(const SysPicture* picture, int32_t* width, int32_t* height);
// Pixels per logical inch of the screen the pictures are measured for (96 both ways).
int SysPicturePixelsPerInch(bool vertical);
// Draws the whole picture upright, stretched to width x height, into bottom-up rows of
// blue, green, red and a fourth byte; transparent parts come out black. false when it
// cannot draw.
bool SysPictureRender(SysPicture* picture, uint8_t* pixels, int width, int height);
void SysPictureRelease(SysPicture* picture);

// ---------------------------------------------------------------------------------------
// Program resources: blobs compiled into the program (see cmake/EmbedResources.cmake),
// found by number and type name. false when there is no such resource.
bool SysFindResource(uint16_t id, const char* type, const void** bytes, uint32_t* size);

// ---------------------------------------------------------------------------------------
// Files.
// The longest path this platform takes, terminating zero included.
constexpr size_t kSysPathMax = 4096;
// The native path separator.
constexpr char kSysPathSeparator = '/';
// Copies the current directory into out; false when it cannot be read or does not fit.
bool SysCurrentDirectory(char* out, size_t capacity);
// Opens an existing regular file for reading. Anything else (a directory, a FIFO, a
// device) is refused without blocking. Answers a descriptor, or -1.
int SysOpenRegularFile(const char* path);
// Creates a new file for writing only, readable by its owner only. Whatever stood at the
// path (a file, a symbolic or a hard link) is unlinked first and never written through.
// Answers a descriptor, or -1.
int SysCreatePrivateFile(const char* path);
bool SysWriteAll(int fd, const void* bytes, size_t size);
void SysCloseFile(int fd);
bool SysDeleteFile(const char* path);

// ---------------------------------------------------------------------------------------
// Glyph outlines: a TrueType or Type 1 face found by family name and weight (fontconfig),
// its glyphs flattened into closed polygons (FreeType).
struct SysOutlineFace;
// Weight as in CSS: 400 regular, 700 bold; the installed weight nearest to it is taken.
// A face counts when its family is the one named or one the fontconfig configuration
// binds strongly in its place (a metric alias: "times" finds Nimbus Roman); a generic
// fallback does not. null when no such face is installed.
SysOutlineFace* SysOpenOutlineFace(const char* family, int weight);
// Accepts null.
void SysCloseOutlineFace(SysOutlineFace* face);

struct SysGlyphPoint {
    float x, y;  // em units, y up, origin at the pen position on the baseline
};
struct SysGlyphShape {
    // Closed contours, each a run of at least three points in `points` (the last point
    // joins the first; consecutive points differ). The filled area lies to the left of
    // the direction of travel: outer contours run counter-clockwise, holes clockwise.
    const SysGlyphPoint* points;
    const uint32_t* contourEnds;  // one past the last point of each contour
    uint32_t contourCount;
    float advance;  // em units
};
// Flattens the glyph of an 8-bit character code (Windows-1252) so that no chord strays
// more than `deviation` em from the curve. Control codes (0x00 to 0x1F, 0x7F) have no
// contours but the advance the face gives them. The shape's storage is the face's and
// stays valid until the next call on that face. false when the code is undefined in
// Windows-1252 (0x81, 0x8D, 0x8F, 0x90, 0x9D) or the face has no glyph for it.
bool SysGlyphOutline(SysOutlineFace* face, unsigned code, float deviation,
                     SysGlyphShape* shape);
