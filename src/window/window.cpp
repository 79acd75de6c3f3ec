// The window backend on SDL2: presents the cell buffer as glyphs of a bitmap font, scaled
// by whole numbers and letterboxed; turns SDL's key presses and releases into the game's
// events; keeps time, and sleeps in the event wait so that a waiting game costs no CPU.
#include "window/window.h"

#include <SDL.h>
#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <string>
#include <unistd.h>
#include <vector>

#include "platform/eventqueue.h"
#include "platform/files.h"
#include "platform/keynames.h"
#include "platform/platform.h"
#include "platform/system.h"
#include "platform/systemclock.h"

// Last: Xlib's macros (None, True, Bool...) must not meet the game's headers.
#if defined(BRINEWORT_X11)
#include <SDL_syswm.h>
#if defined(SDL_VIDEO_DRIVER_X11)
#include <X11/Xutil.h>
#else
#undef BRINEWORT_X11 // this SDL has no X11 driver, so no window of ours is on X
#endif
#endif

namespace {

constexpr int blockingWaitMillis = 250; // how often a blocked read looks at the quit flag

volatile sig_atomic_t quitSignal = 0; // set by SIGINT, SIGTERM, SIGHUP
bool active = false;
bool windowClosed = false; // the player closed the window: the run ends like Quit
SDL_Window *window = nullptr;
SDL_Renderer *renderer = nullptr;
SDL_Texture *texture = nullptr;
CodePageFont font;
uint32_t argbPalette[16];                            // consolePalette as the texture's pixels
uint32_t pixels[screenPixelsHigh][screenPixelsWide]; // the screen as drawn, ARGB
Cell shownCells[screenHeight][screenWidth];
bool shownValid = false;   // false: every cell must be drawn again
bool textureStale = true;  // the texture lacks what pixels holds
bool redrawNeeded = false; // the window was exposed or resized, or a frame is held back
uint32_t lastShownMillis = 0;
// Presents coming faster than this (a replay at full speed) are drawn but shown at most this
// often, or a display without a graphics card spends its time on frames nobody can see; the
// next wait for a key or for time shows the last.
constexpr uint32_t frameMillis = 15;
EventQueue pending;
ReleaseFilter releaseFilter; // the releases of keys discarded while held
bool fullScreen = false;
// Full screen made by moving and sizing the window ourselves, where no window manager does
// it; and where the window stood before.
bool fullScreenByHand = false;
SDL_Rect windowedPlace{};

void onQuitSignal(int signal) {
    quitSignal = signal;
}

void installSignalHandlers() {
    struct sigaction quit {};
    quit.sa_handler = onQuitSignal;
    sigemptyset(&quit.sa_mask);
    quit.sa_flags = 0;
    sigaction(SIGINT, &quit, nullptr);
    sigaction(SIGTERM, &quit, nullptr);
    sigaction(SIGHUP, &quit, nullptr);
    std::signal(SIGPIPE, SIG_IGN);
    // Past a file size limit a write fails with an error the save reports, instead of a kill.
    std::signal(SIGXFSZ, SIG_IGN);
}

void checkQuit() {
    if (quitSignal != 0) throw RunEnded{quitSignal};
    if (windowClosed) throw RunEnded{0};
}

// The game's event for an SDL key, as the terminal backend gives the same key; false for
// keys the game has no code for (modifiers alone, for instance).
bool keyEventFromSdl(const SDL_Keysym &key, bool down, KeyEvent *event) {
    SDL_Keycode sym = key.sym;
    switch (sym) {
    case SDLK_UP:
        *event = keyEventFromNamedKey(NamedKey::up, down);
        return true;
    case SDLK_DOWN:
        *event = keyEventFromNamedKey(NamedKey::down, down);
        return true;
    case SDLK_LEFT:
        *event = keyEventFromNamedKey(NamedKey::left, down);
        return true;
    case SDLK_RIGHT:
        *event = keyEventFromNamedKey(NamedKey::right, down);
        return true;
    case SDLK_RETURN:
    case SDLK_KP_ENTER:
        *event = keyEventFromNamedKey(NamedKey::enter, down);
        return true;
    case SDLK_BACKSPACE:
        *event = keyEventFromNamedKey(NamedKey::backspace, down);
        return true;
    case SDLK_SPACE:
        *event = keyEventFromNamedKey(NamedKey::space, down);
        return true;
    case SDLK_ESCAPE:
        *event = keyEventFromNamedKey(NamedKey::escape, down);
        return true;
    case SDLK_TAB:
        *event = keyEventFromNamedKey(NamedKey::tab, down);
        return true;
    default:
        break;
    }
    if (sym >= SDLK_F1 && sym <= SDLK_F12)
        return keyEventFromFunctionKey(static_cast<int>(sym - SDLK_F1) + 1, down, event);
    // SDL names a typing key by what it types unshifted.
    if (sym <= 32 || sym >= 127) return false;
    return keyEventFromTypingKey(static_cast<char>(sym), (key.mod & KMOD_SHIFT) != 0,
                                 (key.mod & KMOD_CAPS) != 0, down, event);
}

void renderFrame() {
    if (textureStale) {
        SDL_UpdateTexture(texture, nullptr, pixels, static_cast<int>(sizeof pixels[0]));
        textureStale = false;
    }
    SDL_SetRenderDrawColor(renderer, 0, 0, 0, 255);
    SDL_RenderClear(renderer);
    SDL_RenderCopy(renderer, texture, nullptr, nullptr);
}

void showFrame() {
    renderFrame();
    SDL_RenderPresent(renderer);
    redrawNeeded = false;
    lastShownMillis = monotonicMillis();
}

#if defined(BRINEWORT_X11)
// The X server went away (closed, killed, the session ended): Xlib ends the process when this
// returns, and the exit handlers must not ask the dead display to tear the window down, which
// never returns.
int displayLost(Display *) {
    active = false;
    std::fputs("brinewort: the display went away\n", stderr);
    return 0;
}

// The window's X display and X window; false when the window is not on X.
bool x11WindowOf(Display **display, ::Window *x11Window) {
    SDL_SysWMinfo info;
    SDL_VERSION(&info.version);
    if (SDL_GetWindowWMInfo(window, &info) != SDL_TRUE || info.subsystem != SDL_SYSWM_X11)
        return false;
    *display = info.info.x11.display;
    *x11Window = info.info.x11.window;
    return true;
}
#endif

// Whether a window manager can make the window full screen. SDL asks the window manager for
// it and takes the window to be as large as the display from then on; on an X server without
// one (a bare Xvfb, a kiosk) the window stays as it was, and the picture, centred for the
// size SDL believes in, lands off-centre and cut off.
bool windowManagerDoesFullScreen() {
#if defined(BRINEWORT_X11)
    Display *display = nullptr;
    ::Window x11Window = 0;
    if (!x11WindowOf(&display, &x11Window)) return true;
    // The window manager lists what it does on the root window.
    Atom supported = XInternAtom(display, "_NET_SUPPORTED", True);
    Atom fullScreenState = XInternAtom(display, "_NET_WM_STATE_FULLSCREEN", True);
    if (supported == None || fullScreenState == None) return false;
    Atom type = None;
    int format = 0;
    unsigned long count = 0, left = 0;
    unsigned char *data = nullptr;
    bool found = false;
    if (XGetWindowProperty(display, DefaultRootWindow(display), supported, 0, 4096, False, XA_ATOM,
                           &type, &format, &count, &left, &data) == Success &&
        data != nullptr && format == 32) {
        const auto *atoms = reinterpret_cast<const Atom *>(data);
        found = std::find(atoms, atoms + count, fullScreenState) != atoms + count;
    }
    if (data != nullptr) XFree(data);
    return found;
#else
    return true;
#endif
}

// Full screen by the window manager where there is one that does it; otherwise the window
// is moved and sized to cover the display, and put back where it was afterwards. Either
// way the picture is centred in what the window becomes.
void toggleFullScreen() {
    fullScreen = !fullScreen;
    if (fullScreen) fullScreenByHand = !windowManagerDoesFullScreen();
    if (!fullScreenByHand) {
        SDL_SetWindowFullscreen(window, fullScreen ? SDL_WINDOW_FULLSCREEN_DESKTOP : 0);
    } else if (fullScreen) {
        SDL_GetWindowPosition(window, &windowedPlace.x, &windowedPlace.y);
        SDL_GetWindowSize(window, &windowedPlace.w, &windowedPlace.h);
        SDL_Rect display;
        if (SDL_GetDisplayBounds(SDL_GetWindowDisplayIndex(window), &display) == 0) {
            SDL_SetWindowPosition(window, display.x, display.y);
            SDL_SetWindowSize(window, display.w, display.h);
        }
    } else {
        SDL_SetWindowSize(window, windowedPlace.w, windowedPlace.h);
        SDL_SetWindowPosition(window, windowedPlace.x, windowedPlace.y);
    }
    redrawNeeded = true;
}

// Takes one SDL event: keys into the pending events, window changes noted.
void takeEvent(const SDL_Event &event) {
    switch (event.type) {
    case SDL_QUIT:
        windowClosed = true;
        break;
    case SDL_WINDOWEVENT:
        if (event.window.event == SDL_WINDOWEVENT_CLOSE) windowClosed = true;
        redrawNeeded = true; // exposed, resized, restored: show the screen again
        break;
    case SDL_RENDER_TARGETS_RESET:
    case SDL_RENDER_DEVICE_RESET:
        textureStale = true;
        redrawNeeded = true;
        break;
    case SDL_KEYDOWN:
    case SDL_KEYUP: {
        const SDL_Keysym &key = event.key.keysym;
        bool down = event.type == SDL_KEYDOWN;
        bool altEnter = key.sym == SDLK_RETURN && (key.mod & KMOD_ALT) != 0;
        // The window's own keys never reach the game, releases included.
        KeyEvent keyEvent;
        if (key.sym == SDLK_F11 || altEnter) {
            if (down && event.key.repeat == 0) toggleFullScreen();
            // Its release is the window's too, even when Alt is let go first.
            if (keyEventFromSdl(key, true, &keyEvent)) dropReleaseOf(releaseFilter, keyEvent);
            break;
        }
        if (keyEventFromSdl(key, down, &keyEvent)) queueRealKey(pending, releaseFilter, keyEvent);
        break;
    }
    default:
        break;
    }
}

void takeWaitingEvents() {
    SDL_Event event;
    while (queueHasRoom(pending, 1) && SDL_PollEvent(&event))
        takeEvent(event);
}

// Waits up to millis for an event and takes it and any that follow; redraws when asked.
void waitForEvents(int millis) {
    if (redrawNeeded) showFrame();
    SDL_Event event;
    if (SDL_WaitEventTimeout(&event, millis) != 0) takeEvent(event);
    takeWaitingEvents();
    if (redrawNeeded) showFrame();
}

void drawCell(int x, int y, Cell cell) {
    paintCell(font, cell, argbPalette, &pixels[0][0], x, y);
}

// The font: BRINEWORT_FONT when set, else the Terminus file in the usual font directories.
bool loadFont(std::string *tried, const char **reason) {
    const char *chosen = std::getenv("BRINEWORT_FONT");
    if (chosen != nullptr && chosen[0] != '\0') {
        *tried = chosen;
        return loadPcfFont(chosen, &font, reason);
    }
    XdgDataDirectories xdg = xdgDataDirectories(systemVariable);
    std::vector<std::string> directories = xdg.system;
    if (!xdg.home.empty()) directories.insert(directories.begin(), xdg.home);
    *reason = "not found";
    for (const std::string &directory : directories) {
        std::string path = directory + "/fonts/X11/misc/" + windowFontFile;
        if (access(path.c_str(), R_OK) != 0) continue;
        *tried = path;
        return loadPcfFont(path.c_str(), &font, reason);
    }
    *tried = windowFontFile;
    return false;
}

// Twice the font's size when the screen has room for it, else its own size.
int startScale() {
    SDL_Rect usable;
    if (SDL_GetDisplayUsableBounds(0, &usable) != 0) return 1;
    return usable.w >= 2 * screenPixelsWide && usable.h >= 2 * screenPixelsHigh ? 2 : 1;
}

// The window's icon: the game's smiling face, a glyph of its own font.
void setIcon() {
    constexpr int iconScale = 4;
    constexpr int size = glyphHeight * iconScale;
    SDL_Surface *icon = SDL_CreateRGBSurfaceWithFormat(0, size, size, 32, SDL_PIXELFORMAT_ARGB8888);
    if (icon == nullptr) return;
    const uint8_t *rows = font.rows[2];
    for (int y = 0; y < size; y++) {
        auto *out = reinterpret_cast<uint32_t *>(static_cast<uint8_t *>(icon->pixels) +
                                                 static_cast<ptrdiff_t>(y) * icon->pitch);
        for (int x = 0; x < size; x++) {
            // The 8x16 glyph stretched to a square.
            int column = x / (iconScale * 2);
            bool on = (rows[y / iconScale] & (0x80 >> column)) != 0;
            out[x] = on ? 0xFF000000u | consolePalette[14] : 0xFF000000u | consolePalette[1];
        }
    }
    SDL_SetWindowIcon(window, icon);
    SDL_FreeSurface(icon);
}

// --- The backend's entries ---

void windowShutdown() {
    if (!active) return;
    active = false;
    // SDL_Quit takes the window down, and with it its renderer and the renderer's texture.
    texture = nullptr;
    renderer = nullptr;
    window = nullptr;
    SDL_Quit();
}

bool windowInit() {
    std::string fontPath;
    const char *reason = nullptr;
    if (!loadFont(&fontPath, &reason)) {
        std::fprintf(stderr,
                     "brinewort: the window needs the 8x16 code page 437 font %s (%s); install "
                     "the package %s, or name such a PCF font file in BRINEWORT_FONT\n",
                     printableText(fontPath).c_str(), reason, windowFontPackage);
        return false;
    }
    for (int i = 0; i < 16; i++)
        argbPalette[i] = 0xFF000000u | consolePalette[i];
    // Ctrl-C in the terminal that started the game ends it as in the terminal backend.
    SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
    SDL_SetHint(SDL_HINT_RENDER_SCALE_QUALITY, "nearest");
    // A 640x400 picture scaled by whole numbers, shown only when the game pauses: the
    // software renderer does that at no real cost, the same on every machine, and reads
    // back exactly what is shown. SDL_RENDER_DRIVER still chooses another.
    SDL_SetHint(SDL_HINT_RENDER_DRIVER, "software");
    if (SDL_Init(SDL_INIT_VIDEO) != 0) {
        std::fprintf(stderr, "brinewort: cannot open a window: %s\n", SDL_GetError());
        return false;
    }
    installSignalHandlers();
    active = true;
    int scale = startScale();
    window = SDL_CreateWindow("Brinewort", SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED,
                              screenPixelsWide * scale, screenPixelsHigh * scale,
                              SDL_WINDOW_RESIZABLE | SDL_WINDOW_ALLOW_HIGHDPI);
    if (window != nullptr) renderer = SDL_CreateRenderer(window, -1, 0);
    if (renderer != nullptr) {
        texture = SDL_CreateTexture(renderer, SDL_PIXELFORMAT_ARGB8888, SDL_TEXTUREACCESS_STREAMING,
                                    screenPixelsWide, screenPixelsHigh);
    }
    if (texture == nullptr) {
        std::fprintf(stderr, "brinewort: cannot open a window: %s\n", SDL_GetError());
        windowShutdown();
        return false;
    }
    SDL_SetWindowMinimumSize(window, screenPixelsWide, screenPixelsHigh);
    // Whole-number scaling keeps every font pixel the same size; the rest is black border.
    SDL_RenderSetLogicalSize(renderer, screenPixelsWide, screenPixelsHigh);
    SDL_RenderSetIntegerScale(renderer, SDL_TRUE);
    SDL_StopTextInput();
    setIcon();
    queueClear(pending);
    releaseFilter = ReleaseFilter{};
    windowClosed = false;
    fullScreen = false;
    fullScreenByHand = false;
    shownValid = false;
    textureStale = true;
    redrawNeeded = true;
#if defined(BRINEWORT_X11)
    Display *display = nullptr;
    ::Window x11Window = 0;
    if (x11WindowOf(&display, &x11Window)) XSetIOErrorHandler(displayLost);
#endif
    static bool shutdownAtExit = false;
    if (!shutdownAtExit) std::atexit(windowShutdown);
    shutdownAtExit = true;
    return true;
}

void windowPresent(const ScreenCells &cells) {
    checkQuit();
    takeWaitingEvents();
    bool changed = false;
    for (int y = 0; y < screenHeight; y++) {
        for (int x = 0; x < screenWidth; x++) {
            Cell cell = cells[y][x];
            if (shownValid && cell == shownCells[y][x]) continue;
            drawCell(x, y, cell);
            shownCells[y][x] = cell;
            changed = true;
        }
    }
    shownValid = true;
    if (changed) textureStale = redrawNeeded = true;
    if (redrawNeeded && monotonicMillis() - lastShownMillis >= frameMillis) showFrame();
}

void windowReadEvent(KeyEvent *event) {
    for (;;) {
        checkQuit();
        if (queuePop(pending, event)) return;
        waitForEvents(blockingWaitMillis);
    }
}

int windowPollEvents(KeyEvent *events, int max, int waitMillis) {
    checkQuit();
    takeWaitingEvents();
    // Nothing pending: wait as long as asked, looking at the quit flag now and then.
    uint32_t started = monotonicMillis();
    while (pending.count == 0 && waitMillis != 0) {
        int left = blockingWaitMillis;
        if (waitMillis != waitUntilKey) {
            int elapsed = static_cast<int>(monotonicMillis() - started);
            if (elapsed >= waitMillis) break;
            left = std::min(left, waitMillis - elapsed);
        }
        waitForEvents(left);
        checkQuit();
    }
    int n = 0;
    while (n < max && queuePopPolled(pending, &events[n]))
        n++;
    return n;
}

void windowDiscardEvents() {
    takeWaitingEvents();
    queueDiscardRealKeys(pending, releaseFilter);
}

uint32_t windowTickMillis() {
    return monotonicMillis();
}

int windowTimeOfDayMillis() {
    return wallClockMillisPart();
}

// Sleeps in the event wait, so that the window is redrawn and can be closed meanwhile.
void windowSleepMillis(uint32_t ms) {
    checkQuit();
    uint32_t start = monotonicMillis();
    for (;;) {
        uint32_t elapsed = monotonicMillis() - start;
        if (elapsed >= ms) return;
        waitForEvents(static_cast<int>(ms - elapsed));
        checkQuit();
    }
}

void windowSetTitle(const char *title) {
    if (active) SDL_SetWindowTitle(window, title);
}

// The window has no text cursor, and is always the game's 80x25 cells.
void windowSetCursorVisible(bool) {}
void windowSetMinimumSize(int, int) {}

void windowReportError(const char *line) {
    std::fprintf(stderr, "%s\n", line);
}

} // namespace

const Platform windowPlatform = {
    .name = "window",
    .init = windowInit,
    .shutdown = windowShutdown,
    .present = windowPresent,
    .readEvent = windowReadEvent,
    .pollEvents = windowPollEvents,
    .discardEvents = windowDiscardEvents,
    .tickMillis = windowTickMillis,
    .timeOfDayMillis = windowTimeOfDayMillis,
    .sleepMillis = windowSleepMillis,
    .setTitle = windowSetTitle,
    .setCursorVisible = windowSetCursorVisible,
    .setMinimumSize = windowSetMinimumSize,
    .reportError = windowReportError,
};

bool windowDisplayAvailable() {
    const char *x11 = std::getenv("DISPLAY");
    const char *wayland = std::getenv("WAYLAND_DISPLAY");
    return (x11 != nullptr && x11[0] != '\0') || (wayland != nullptr && wayland[0] != '\0');
}

const CodePageFont &windowFont() {
    return font;
}

namespace {

#if defined(BRINEWORT_X11)
bool x11ErrorSeen = false; // an X request of readShownPixels failed
int noteX11Error(Display *, XErrorEvent *) {
    x11ErrorSeen = true;
    return 0;
}
#endif

// What the X server shows of the window, whatever SDL believes its size to be; false when
// the window is not on X or cannot be read.
bool readShownPixels(WindowCapture *capture) {
#if defined(BRINEWORT_X11)
    Display *display = nullptr;
    ::Window x11Window = 0;
    if (!x11WindowOf(&display, &x11Window)) return false;
    renderFrame();
    SDL_RenderPresent(renderer);
    XSync(display, False);
    // A window partly off the screen cannot be read: an error, not the end of the program.
    x11ErrorSeen = false;
    XErrorHandler previous = XSetErrorHandler(noteX11Error);
    XWindowAttributes attributes{};
    XImage *image = nullptr;
    if (XGetWindowAttributes(display, x11Window, &attributes) != 0) {
        image = XGetImage(display, x11Window, 0, 0, static_cast<unsigned>(attributes.width),
                          static_cast<unsigned>(attributes.height), AllPlanes, ZPixmap);
    }
    XSync(display, False);
    XSetErrorHandler(previous);
    if (image == nullptr) return false;
    bool plain = !x11ErrorSeen && image->red_mask == 0xFF0000 && image->green_mask == 0xFF00 &&
                 image->blue_mask == 0xFF;
    if (plain) {
        capture->width = attributes.width;
        capture->height = attributes.height;
        capture->pixels.resize(static_cast<size_t>(capture->width) *
                               static_cast<size_t>(capture->height));
        for (int y = 0; y < capture->height; y++) {
            for (int x = 0; x < capture->width; x++) {
                capture->pixels[static_cast<size_t>(y) * static_cast<size_t>(capture->width) +
                                static_cast<size_t>(x)] =
                    static_cast<uint32_t>(XGetPixel(image, x, y) & 0xFFFFFF);
            }
        }
    }
    XDestroyImage(image);
    return plain;
#else
    (void)capture;
    return false;
#endif
}

// What the renderer draws for the window.
bool readRenderedPixels(WindowCapture *capture) {
    int width, height;
    if (SDL_GetRendererOutputSize(renderer, &width, &height) != 0) return false;
    // Read back a frame drawn just now (after a present the back buffer may hold anything),
    // all of it: with a logical size set, a read covers the letterboxed screen alone.
    renderFrame();
    SDL_RenderSetLogicalSize(renderer, 0, 0);
    capture->pixels.assign(static_cast<size_t>(width) * static_cast<size_t>(height), 0);
    bool read = SDL_RenderReadPixels(renderer, nullptr, SDL_PIXELFORMAT_ARGB8888,
                                     capture->pixels.data(), width * 4) == 0;
    SDL_RenderSetLogicalSize(renderer, screenPixelsWide, screenPixelsHigh);
    SDL_RenderPresent(renderer);
    if (!read) return false;
    for (uint32_t &pixel : capture->pixels)
        pixel &= 0xFFFFFFu;
    capture->width = width;
    capture->height = height;
    return true;
}

} // namespace

bool windowCapture(WindowCapture *capture) {
    if (!active) return false;
    SDL_Rect viewport;
    float scaleX, scaleY;
    SDL_RenderGetViewport(renderer, &viewport);
    SDL_RenderGetScale(renderer, &scaleX, &scaleY);
    if (!readShownPixels(capture) && !readRenderedPixels(capture)) return false;
    capture->scale = static_cast<int>(scaleX);
    capture->originX = static_cast<int>(static_cast<float>(viewport.x) * scaleX);
    capture->originY = static_cast<int>(static_cast<float>(viewport.y) * scaleY);
    return true;
}
