#include "xscreen.h"

#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XTest.h>
#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <stdexcept>
#include <thread>

namespace orvan::e2e {
namespace {

// Reads the display number Xvfb writes to -displayfd.
std::string ReadDisplayNumber(int fd, Ms timeout) {
    std::string text;
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    while (text.find('\n') == std::string::npos) {
        const auto left = std::chrono::duration_cast<Ms>(deadline - std::chrono::steady_clock::now());
        pollfd p{fd, POLLIN, 0};
        if (left.count() <= 0 || poll(&p, 1, static_cast<int>(left.count())) <= 0) break;
        char buffer[32];
        const ssize_t n = read(fd, buffer, sizeof buffer);
        if (n <= 0) break;
        text.append(buffer, static_cast<size_t>(n));
    }
    const size_t end = text.find('\n');
    if (end == std::string::npos || end == 0) return {};
    return text.substr(0, end);
}

int Shift(unsigned long mask) {
    int shift = 0;
    while (mask && !(mask & 1)) {
        mask >>= 1;
        ++shift;
    }
    return shift;
}

std::uint32_t Channel(unsigned long pixel, unsigned long mask) {
    if (!mask) return 0;
    const unsigned long value = (pixel & mask) >> Shift(mask);
    const unsigned long max = mask >> Shift(mask);
    return static_cast<std::uint32_t>(value * 255 / max);
}

}  // namespace

// ---------------------------------------------------------------- XServer

XServer::XServer(int width, int height, const std::filesystem::path& log) {
    int fds[2];
    if (pipe2(fds, O_CLOEXEC) != 0) throw std::runtime_error("pipe failed");
    // Only the write end goes to Xvfb, which reports there the display
    // number it chose.
    fcntl(fds[1], F_SETFD, 0);
    ProcessSpec spec;
    spec.argv = {"Xvfb",      "-displayfd", std::to_string(fds[1]),
                 "-screen",   "0",          std::to_string(width) + "x" + std::to_string(height) + "x24",
                 "-nolisten", "tcp",        "-noreset"};
    spec.environment = CurrentEnvironment({}, {"DISPLAY"});
    spec.output = log;
    spec.dieWithUs = true;
    process_ = Process::Start(spec);
    close(fds[1]);
    const std::string number = ReadDisplayNumber(fds[0], Ms(15000));
    close(fds[0]);
    if (number.empty()) {
        process_.Kill();
        throw std::runtime_error("Xvfb did not start; see " + log.string());
    }
    name_ = ":" + number;
}

XServer::~XServer() { Stop(); }

void XServer::Stop() { process_.Stop(Ms(3000)); }

// ---------------------------------------------------------------- Image

size_t Image::Count(std::uint32_t colour) const {
    return static_cast<size_t>(std::count(pixels.begin(), pixels.end(), colour));
}

void Image::SavePpm(const std::filesystem::path& file) const {
    std::ofstream out(file, std::ios::binary);
    out << "P6\n" << width << " " << height << "\n255\n";
    for (std::uint32_t p : pixels) {
        const char rgb[3] = {static_cast<char>((p >> 16) & 0xFF), static_cast<char>((p >> 8) & 0xFF),
                             static_cast<char>(p & 0xFF)};
        out.write(rgb, 3);
    }
    if (!out) throw std::runtime_error("cannot write " + file.string());
}

std::filesystem::path Image::SavePng(const std::filesystem::path& file) const {
    std::filesystem::path ppm = file;
    ppm.replace_extension(".ppm");
    SavePpm(ppm);
    ProcessSpec convert;
    convert.argv = {"convert", ppm.string(), file.string()};
    convert.environment = CurrentEnvironment({}, {});
    const std::optional<int> status = RunToEnd(convert, Ms(20000));
    if (status && *status == 0 && std::filesystem::exists(file)) {
        std::filesystem::remove(ppm);
        return file;
    }
    return ppm;
}

// ---------------------------------------------------------------- XScreen

XScreen::XScreen(const std::string& displayName) {
    display_ = XOpenDisplay(displayName.c_str());
    if (!display_) throw std::runtime_error("cannot open X display " + displayName);
    int event = 0, error = 0, major = 0, minor = 0;
    if (!XTestQueryExtension(display_, &event, &error, &major, &minor)) {
        XCloseDisplay(display_);
        throw std::runtime_error("the X display has no XTest extension");
    }
    width_ = DisplayWidth(display_, DefaultScreen(display_));
    height_ = DisplayHeight(display_, DefaultScreen(display_));
}

XScreen::~XScreen() {
    if (display_) XCloseDisplay(display_);
}

unsigned long XScreen::KeyboardFocus() {
    ::Window window = 0;
    int revert = 0;
    XGetInputFocus(display_, &window, &revert);
    return window;
}

void XScreen::FocusWindow(unsigned long window) {
    XSetInputFocus(display_, window, RevertToPointerRoot, CurrentTime);
    Sync();
}

void XScreen::Sync() { XSync(display_, False); }

// The pointer is put in place as the window system moves it, and Wine gets
// the motion event a mouse makes. XTest's fake motion is not used: its device
// is absolute, and while a full-screen window holds the pointer Wine 8 reads
// that device's raw motion as a distance, so each jump also arrives as a move
// to the old place plus the new one (at the screen's edge, mostly). When the
// program takes its input between the two, it sees a move the test never made.
void XScreen::MovePointer(int x, int y) {
    XWarpPointer(display_, None, DefaultRootWindow(display_), 0, 0, 0, 0, x, y);
    Sync();
    const auto [toX, toY] = PointerPosition();
    if (toX != x || toY != y)
        throw std::runtime_error("the pointer went to " + std::to_string(toX) + "," + std::to_string(toY) + ", not " +
                                 std::to_string(x) + "," + std::to_string(y));
    pointerX_ = x;
    pointerY_ = y;
}

std::pair<int, int> XScreen::PointerPosition() {
    ::Window root = 0, child = 0;
    int rootX = 0, rootY = 0, winX = 0, winY = 0;
    unsigned int mask = 0;
    XQueryPointer(display_, DefaultRootWindow(display_), &root, &child, &rootX, &rootY, &winX, &winY, &mask);
    return {rootX, rootY};
}

void XScreen::PressButton(Button button) {
    XTestFakeButtonEvent(display_, static_cast<unsigned>(button), True, CurrentTime);
    Sync();
    // Wine stamps the press with the server's time, which is no later than now.
    lastPress_ = Press{button, pointerX_, pointerY_, std::chrono::steady_clock::now()};
}

void XScreen::AwaitSinglePress(Button button) {
    if (!lastPress_ || lastPress_->button != button) return;
    // Wine counts a press less than half the rectangle away; one more pixel
    // covers a system that counts the border too.
    if (std::abs(pointerX_ - lastPress_->x) > doubleClick_.width / 2 ||
        std::abs(pointerY_ - lastPress_->y) > doubleClick_.height / 2)
        return;
    // The condition is the system's own rule: a press counts as a double-click's
    // second when it comes within the double-click time of the last one. That
    // time passing is the event; nothing on the screen or in a window marks it,
    // so this waits for the instant itself (read from the system, not assumed).
    // The press goes out after this instant, so its server time is later still.
    std::this_thread::sleep_until(lastPress_->handled + doubleClick_.time + Ms(5));
}

void XScreen::ReleaseButton(Button button) {
    XTestFakeButtonEvent(display_, static_cast<unsigned>(button), False, CurrentTime);
    Sync();
}

// The server hands the events to Wine in the order they were made, so the
// program sees the move, the press and the release one after the other
// without any pause between them.
void XScreen::Click(int x, int y, Button button) {
    MovePointer(x, y);
    AwaitSinglePress(button);
    PressButton(button);
    ReleaseButton(button);
}

void XScreen::DoubleClick(int x, int y, Button button) {
    MovePointer(x, y);
    AwaitSinglePress(button);
    for (int i = 0; i < 2; ++i) {
        PressButton(button);
        ReleaseButton(button);
    }
}

unsigned XScreen::KeyCode(const std::string& keysym) {
    const KeySym sym = XStringToKeysym(keysym.c_str());
    const unsigned code = sym == NoSymbol ? 0 : XKeysymToKeycode(display_, sym);
    if (code == 0) throw std::invalid_argument("no key for keysym " + keysym);
    return code;
}

void XScreen::Key(unsigned code, bool down) {
    XTestFakeKeyEvent(display_, code, down ? True : False, CurrentTime);
    Sync();
}

void XScreen::Key(const std::string& keysym) {
    const unsigned code = KeyCode(keysym);
    Key(code, true);
    Key(code, false);
}

void XScreen::Chord(std::initializer_list<std::string> keysyms) {
    std::vector<unsigned> codes;
    for (const std::string& k : keysyms) codes.push_back(KeyCode(k));
    for (unsigned code : codes) Key(code, true);
    for (auto it = codes.rbegin(); it != codes.rend(); ++it) Key(*it, false);
}

std::uint32_t XScreen::Pixel(int x, int y) { return Grab(Rect{x, y, x + 1, y + 1}).pixels.at(0); }

Image XScreen::Grab(const Rect& area) {
    const Rect clipped{std::max(area.left, 0), std::max(area.top, 0), std::min(area.right, width_),
                       std::min(area.bottom, height_)};
    if (clipped.Width() <= 0 || clipped.Height() <= 0) {
        throw std::invalid_argument("nothing of " + area.ToString() + " is on the screen");
    }
    Sync();
    XImage* image =
        XGetImage(display_, DefaultRootWindow(display_), clipped.left, clipped.top,
                  static_cast<unsigned>(clipped.Width()), static_cast<unsigned>(clipped.Height()), AllPlanes, ZPixmap);
    if (!image) throw std::runtime_error("XGetImage failed for " + clipped.ToString());
    Image out;
    out.width = clipped.Width();
    out.height = clipped.Height();
    out.pixels.reserve(static_cast<size_t>(out.width) * static_cast<size_t>(out.height));
    for (int y = 0; y < out.height; ++y) {
        for (int x = 0; x < out.width; ++x) {
            const unsigned long p = XGetPixel(image, x, y);
            out.pixels.push_back(Channel(p, image->red_mask) << 16 | Channel(p, image->green_mask) << 8 |
                                 Channel(p, image->blue_mask));
        }
    }
    XDestroyImage(image);
    return out;
}

std::uint32_t WaitForPixel(XScreen& screen, int x, int y, std::uint32_t colour, Ms timeout) {
    std::uint32_t seen = 0;
    WaitUntil(
        [&] {
            seen = screen.Pixel(x, y);
            return seen == colour;
        },
        timeout);
    return seen;
}

}  // namespace orvan::e2e
