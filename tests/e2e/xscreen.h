// The private X display: the Xvfb server itself, and a client of it that
// gives the tests real input (pointer warps, XTest presses and keys) and real
// pixels (XGetImage).
#pragma once

#include <cstdint>
#include <filesystem>
#include <chrono>
#include <initializer_list>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "process.h"
#include "records.h"

struct _XDisplay;

namespace orvan::e2e {

// A private Xvfb on a display number it picks itself (-displayfd), so it can
// never take the user's display.
class XServer {
public:
    // Throws std::runtime_error when Xvfb does not come up.
    XServer(int width, int height, const std::filesystem::path& log);
    ~XServer();
    XServer(const XServer&) = delete;
    XServer& operator=(const XServer&) = delete;

    const std::string& Name() const { return name_; }  // such as ":3"
    void Stop();

private:
    Process process_;
    std::string name_;
};

// Pixels as 0xRRGGBB, row by row.
struct Image {
    int width = 0;
    int height = 0;
    std::vector<std::uint32_t> pixels;

    std::uint32_t At(int x, int y) const {
        return pixels[static_cast<size_t>(y) * static_cast<size_t>(width) + static_cast<size_t>(x)];
    }
    size_t Count(std::uint32_t colour) const;
    // Binary PPM (P6); throws std::runtime_error when it cannot be written.
    void SavePpm(const std::filesystem::path& file) const;
    // PNG through ImageMagick's convert, or PPM beside it when that fails;
    // the file actually written.
    std::filesystem::path SavePng(const std::filesystem::path& file) const;
};

enum class Button { Left = 1, Middle = 2, Right = 3 };

// When the system takes a second press for a double-click: the same button
// within `time` of the first and less than half the rectangle away.
struct DoubleClickRule {
    Ms time{500};
    int width = 4;
    int height = 4;
};

class XScreen {
public:
    explicit XScreen(const std::string& displayName);
    ~XScreen();
    XScreen(const XScreen&) = delete;
    XScreen& operator=(const XScreen&) = delete;

    int Width() const { return width_; }
    int Height() const { return height_; }

    // ---- pointer: moved by the window system, buttons pressed through XTest
    void MovePointer(int x, int y);
    // Where the pointer is, in screen pixels.
    std::pair<int, int> PointerPosition();
    void PressButton(Button button);
    void ReleaseButton(Button button);
    // A click is never a double-click's second press: when the last press
    // was near enough and recent enough to make one, it waits until the
    // system's double-click time has passed.
    void Click(int x, int y, Button button = Button::Left);
    void DoubleClick(int x, int y, Button button = Button::Left);
    void SetDoubleClickRule(const DoubleClickRule& rule) { doubleClick_ = rule; }

    // ---- keyboard (XTest); keys are X keysym names: "Tab", "Return", "F4"
    void Key(const std::string& keysym);
    // Presses the keys in order and releases them in reverse: {"Alt_L", "F4"}.
    void Chord(std::initializer_list<std::string> keysyms);
    void Tab() { Key("Tab"); }
    void Enter() { Key("Return"); }
    void Escape() { Key("Escape"); }
    void AltF4() { Chord({"Alt_L", "F4"}); }

    // ---- pixels of the root window, as 0xRRGGBB
    std::uint32_t Pixel(int x, int y);
    Image Grab(const Rect& area);
    Image GrabAll() { return Grab(Rect{0, 0, width_, height_}); }
    std::filesystem::path Screenshot(const std::filesystem::path& png) { return GrabAll().SavePng(png); }

    // The X keyboard focus. Without a window manager nobody moves it, so
    // it stays PointerRoot (1): keys go to the window under the pointer.
    unsigned long KeyboardFocus();
    // Gives an X window the keyboard focus (back to PointerRoot when it goes
    // away).
    void FocusWindow(unsigned long window);
    // Waits until every request sent has been handled by the server.
    void Sync();

private:
    unsigned KeyCode(const std::string& keysym);
    void Key(unsigned code, bool down);

    // Waits until a press of `button` at the pointer cannot make a
    // double-click with the last press.
    void AwaitSinglePress(Button button);

    _XDisplay* display_ = nullptr;
    int width_ = 0;
    int height_ = 0;
    int pointerX_ = -1;
    int pointerY_ = -1;
    DoubleClickRule doubleClick_;
    struct Press {
        Button button;
        int x, y;
        std::chrono::steady_clock::time_point handled;  // the server had it by then
    };
    std::optional<Press> lastPress_;
};

// Waits until the pixel at (x, y) has the colour; the last colour seen.
std::uint32_t WaitForPixel(XScreen& screen, int x, int y, std::uint32_t colour, Ms timeout);

}  // namespace orvan::e2e
