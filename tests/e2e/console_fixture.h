// The console under Wine: its settings file in the prefix, a copy of the
// program in a folder of the test's own, and the places of its controls on
// the screen (the console covers the screen from its top-left corner, so
// client pixels are screen pixels).
#pragma once

#include <array>
#include <chrono>
#include <map>
#include <filesystem>
#include <optional>
#include <string>

#include "harness.h"
#include "ui/console_layout.h"

namespace orvan::e2e {

// Screen colours, 0xRRGGBB.
constexpr std::uint32_t kIdle = 0x0087C8;
constexpr std::uint32_t kLit = 0x95DDFF;
constexpr std::uint32_t kFrameBlue = 0x0084C6;
constexpr std::uint32_t kBlack = 0x000000;

// Where the console's controls stand once the opening slide has ended, at
// the screen's DPI the programs take now (Session::Dpi): the layout's own
// rectangles (ui::ConsoleLayout), as the console lays itself out there.
namespace at {
Rect Edit();
Rect Options();
Rect Windows();
Rect User();
Rect Define();
Rect BuiltInList();
Rect UserList();
Rect BuiltInCaption();
Rect UserCaption();
Rect Title();
Rect Logo();
// The About panel's lines, top first, and the whole panel, over the logo.
Rect AboutLine(int line);
Rect About();
// The console's surface with nothing on it: the left column of the upper
// frame.
Rect Surface();
// A place the 96-DPI layout gives in pixels, at the screen's DPI.
Rect Scaled(const Rect& pixels);
}  // namespace at

// The console's layout at a DPI once the opening slide has ended, for what
// `at` does not name.
const ui::ConsoleLayout& LaidOut(int dpi);
// A rectangle of the layout as the tests' own.
Rect FromLayout(const ui::Rect& r);

// The console's top window once it shows, from whichever program.
std::optional<WindowInfo> WaitForConsoleWindow(Inspector& inspector, Ms timeout);

inline constexpr std::array<const char*, 10> kSlotLabels = {
    "User Task One", "User Task Two",   "User Task Three", "User Task Four", "User Task Five",
    "User Task Six", "User Task Seven", "User Task Eight", "User Task Nine", "User Task Ten"};

// A settings file with the run method's text and the given slots (1 to 10)
// only, as someone may have written it.
std::string SettingsWith(const std::string& runMethod, const std::map<int, std::string>& slots = {});

// The settings file as the console writes it on a first run, with the given
// slots' values (1 to 10) in place of "xxx".
std::string FirstRunFile(const std::string& runMethod = "1", const std::map<int, std::string>& slots = {});

struct ConsoleOptions {
    // The bytes of C:\Windows\Orvan97.ini before the start; none: no file.
    std::optional<std::string> settings;
    // Added to the console's environment (the probe's log, PATH).
    Environment environment;
    // Wait until the five buttons stand in their column.
    bool waitForSlide = true;
};

inline ConsoleOptions WithSettings(std::string bytes) {
    ConsoleOptions options;
    options.settings = std::move(bytes);
    return options;
}

class ConsoleTest : public E2ETest {
protected:
    void SetUp() override;
    void TearDown() override;

    // The settings file in the prefix, C:\Windows\Orvan97.ini.
    std::filesystem::path SettingsPath() const;
    void WriteSettings(const std::string& bytes) const;
    std::optional<std::string> Settings() const;

    // The folder the console runs from (a copy of orvan97.exe), which is
    // also its current directory.
    std::filesystem::path AppDir() const { return Scratch() / "app"; }
    std::string AppDirWindows() const { return Session::Get().Wine().WindowsPath(AppDir()); }

    // Starts the console and waits for its window; fails the test when it
    // does not come up.
    WindowInfo StartConsole(const ConsoleOptions& options = {});
    const WindowInfo& ConsoleWindow() const { return console_; }
    Process& ConsoleProcess() { return process_; }

    // The native list boxes of the console.
    Hwnd BuiltInList();
    Hwnd UserList();

    // A close request, as the system sends one (WM_CLOSE), then waits for
    // the process to end.
    bool RequestClose(std::chrono::milliseconds timeout = std::chrono::seconds(20));
    bool WaitConsoleExit(std::chrono::milliseconds timeout);

    // A click at the centre of a rectangle: the pointer moves there, then
    // presses and releases, as a hand would.
    void ClickOn(const Rect& r, Button button = Button::Left);
    // Waits until the pixel at the centre of r's left part has the colour.
    bool WaitColour(const Rect& r, std::uint32_t colour, std::chrono::milliseconds timeout = std::chrono::seconds(5));
    std::uint32_t ColourOf(const Rect& r);

    // A click on the list's entry, waiting until it is the selected one.
    void SelectEntry(Hwnd list, int index);
    // Rests the pointer at a rectangle's centre.
    void MoveTo(const Rect& r);
    // Waits until the console has handled every pointer event so far: lights
    // a button no other window covers ("Options" when it can) and clears it
    // over the surface, so one change at least is seen whatever stood
    // before. Leaves every console button idle, unless other windows cover
    // the surface (then another button stays lit).
    void SettleConsole();
    // Whether no window above the console covers any of the rectangle.
    bool Uncovered(const Rect& r);
    // Whether the button's face, text aside, is wholly the colour.
    bool FaceIs(const Rect& button, std::uint32_t colour);
    bool WaitFace(const Rect& button, std::uint32_t colour);
    // The label's caption fits it where it stands on the screen: the text,
    // as the system measures it in the label's font at the screen's DPI,
    // is narrower than the label and no taller, and it is drawn whole, the
    // label's own colour all around it.
    void ExpectCaptionFits(const ui::Label& label, const Rect& onScreen);

    // The first settings file line that starts with the key and '='.
    static std::optional<std::string> ValueIn(const std::string& file, const std::string& key);

private:
    Hwnd ListAt(const Rect& r);

    WindowInfo console_;
    Process process_;
};

// A fixture's tests at each scale a screen commonly runs at (the DPIs the
// pictures are made for), named by the DPI: "Dpi/Hover.Name/144".
template <typename Fixture>
class AtEachDpi : public Fixture, public ::testing::WithParamInterface<int> {
protected:
    int Dpi() const override { return this->GetParam(); }
};
std::string DpiName(const ::testing::TestParamInfo<int>& info);
#define ORVAN_AT_EACH_DPI(Fixture) \
    INSTANTIATE_TEST_SUITE_P(Dpi, Fixture, ::testing::ValuesIn(ui::kPictureDpis), DpiName)

}  // namespace orvan::e2e
