#include "console_fixture.h"
#include "version.h"

#include <algorithm>
#include <fstream>
#include <map>
#include <memory>

namespace orvan::e2e {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

std::string SettingsWith(const std::string& runMethod, const std::map<int, std::string>& slots) {
    std::string file = "[Options]\r\nProgram Run Method=" + runMethod + "\r\n[User Tasks]\r\n";
    for (const auto& [slot, path] : slots)
        file += std::string(kSlotLabels.at(static_cast<size_t>(slot - 1))) + "=" + path + "\r\n";
    return file;
}

std::string FirstRunFile(const std::string& runMethod, const std::map<int, std::string>& slots) {
    std::map<int, std::string> all = slots;
    for (int slot = 1; slot <= static_cast<int>(kSlotLabels.size()); ++slot) all.emplace(slot, "xxx");
    return SettingsWith(runMethod, all) +
           "[Note]\r\n"
           ";=   Please don't edit this file yourself.\r\n"
           "; =  You may incorrectly do so and corrupt\r\n"
           ";  = the file. If that occurs, delete this file. You\r\n"
           ";   =will then have to define your user tasks again.\r\n";
}

const ui::ConsoleLayout& LaidOut(int dpi) {
    static std::map<int, std::unique_ptr<ui::ConsoleLayout>> layouts;
    std::unique_ptr<ui::ConsoleLayout>& layout = layouts[dpi];
    if (!layout) {
        layout = std::make_unique<ui::ConsoleLayout>();
        layout->SetScaling(ui::Scale(dpi));
        for (ui::Label* button : {&layout->Edit, &layout->Options, &layout->Windows, &layout->User, &layout->Define})
            button->SetLeft(ui::ConsoleLayout::kButtonWorkLeft);
    }
    return *layout;
}

Rect FromLayout(const ui::Rect& r) { return {r.left, r.top, r.right, r.bottom}; }

namespace at {
namespace {
const ui::ConsoleLayout& Now() { return LaidOut(Session::Get().Dpi()); }
}  // namespace

Rect Edit() { return FromLayout(Now().Edit.Bounds()); }
Rect Options() { return FromLayout(Now().Options.Bounds()); }
Rect Windows() { return FromLayout(Now().Windows.Bounds()); }
Rect User() { return FromLayout(Now().User.Bounds()); }
Rect Define() { return FromLayout(Now().Define.Bounds()); }
Rect BuiltInList() { return FromLayout(Now().lstWindows.Bounds()); }
Rect UserList() { return FromLayout(Now().lstUser.Bounds()); }
Rect BuiltInCaption() { return FromLayout(Now().lblWindows.Bounds()); }
Rect UserCaption() { return FromLayout(Now().lblUser.Bounds()); }
Rect Title() { return FromLayout(Now().Image1.Bounds()); }
Rect Logo() { return FromLayout(Now().Vostek.Bounds()); }
Rect AboutLine(int line) { return FromLayout(Now().lblAbout.at(static_cast<std::size_t>(line)).Bounds()); }
Rect About() {
    ui::Rect panel;
    for (const ui::Label& line : Now().lblAbout) panel = panel.Union(line.Bounds());
    return FromLayout(panel);
}
Rect Surface() { return Scaled({60, 140, 140, 180}); }
Rect Scaled(const Rect& pixels) {
    const ui::Scale scale(Session::Get().Dpi());
    const auto edge = [&](int p) { return scale.Pixels(p * 15.0); };
    return {edge(pixels.left), edge(pixels.top), edge(pixels.right), edge(pixels.bottom)};
}
}  // namespace at

std::optional<WindowInfo> WaitForConsoleWindow(Inspector& inspector, Ms timeout) {
    std::optional<WindowInfo> window;
    WaitUntil(
        [&] {
            for (const WindowInfo& w : inspector.Windows())
                if (w.title == ORVAN_CONSOLE_CAPTION && w.className == ORVAN_CONSOLE_CLASS && w.visible) window = w;
            return window.has_value();
        },
        timeout);
    return window;
}

void ConsoleTest::SetUp() {
    E2ETest::SetUp();
    fs::remove_all(SettingsPath());
    fs::create_directories(AppDir());
    fs::copy_file(Session::Get().Win32File("orvan97.exe"), AppDir() / "orvan97.exe");
}

void ConsoleTest::TearDown() {
    E2ETest::TearDown();
    if (process_.Running()) process_.Kill();
    fs::remove_all(SettingsPath());
}

fs::path ConsoleTest::SettingsPath() const {
    return Session::Get().Wine().Prefix() / "drive_c" / "windows" / "Orvan97.ini";
}

void ConsoleTest::WriteSettings(const std::string& bytes) const {
    std::ofstream out(SettingsPath(), std::ios::binary | std::ios::trunc);
    out << bytes;
}

std::optional<std::string> ConsoleTest::Settings() const {
    if (!fs::is_regular_file(SettingsPath())) return std::nullopt;
    return ReadFile(SettingsPath());
}

WindowInfo ConsoleTest::StartConsole(const ConsoleOptions& options) {
    if (options.settings) WriteSettings(*options.settings);
    // The pointer rests off the panel: a button that slid in under a pointer
    // an earlier test left there could be lit as the slide ends.
    Screen().MovePointer(kScreenWidth - 8, kScreenHeight - 8);
    LaunchOptions launch;
    launch.directory = AppDirWindows();
    launch.environment = options.environment;
    process_ = Wine().Launch((AppDir() / "orvan97.exe").string(), {}, launch);
    const std::optional<WindowInfo> window = WaitForConsoleWindow(Inspect(), AllowStarts(20s));
    if (!window) {
        ADD_FAILURE() << "the console's window did not appear";
        return {};
    }
    console_ = *window;
    if (options.waitForSlide) {
        // The buttons' last column of pixels is idle only once they stand at their place.
        for (const Rect& r : {at::Edit(), at::Options(), at::Windows(), at::User(), at::Define()})
            if (!WaitUntil([&] { return Screen().Pixel(r.right - 1, r.CenterY()) == kIdle; }, 10s))
                ADD_FAILURE() << "a button did not reach its column: " << r.ToString();
    }
    // Seen again: the first look may catch the window on its way to maximized.
    WaitUntil(
        [&] {
            if (auto now = Inspect().Window(console_.hwnd)) console_ = *now;
            return console_.maximized;
        },
        5s);
    return console_;
}

Hwnd ConsoleTest::ListAt(const Rect& r) {
    for (const ChildInfo& c : Inspect().Children(console_.hwnd))
        if (c.className == "ListBox" && c.rect == r) return c.hwnd;
    ADD_FAILURE() << "no list box at " << r.ToString();
    return 0;
}

Hwnd ConsoleTest::BuiltInList() { return ListAt(at::BuiltInList()); }
Hwnd ConsoleTest::UserList() { return ListAt(at::UserList()); }

bool ConsoleTest::RequestClose(std::chrono::milliseconds timeout) {
    Inspect().Close(console_.hwnd);
    return WaitConsoleExit(timeout);
}

bool ConsoleTest::WaitConsoleExit(std::chrono::milliseconds timeout) { return process_.WaitExit(timeout).has_value(); }

void ConsoleTest::SelectEntry(Hwnd list, int index) {
    ClickOn(Inspect().List(list).entries.at(static_cast<size_t>(index)).rect);
    ASSERT_TRUE(WaitUntil([&] { return Inspect().List(list).selected == index; }, std::chrono::seconds(5)));
}

void ConsoleTest::ClickOn(const Rect& r, Button button) { Screen().Click(r.CenterX(), r.CenterY(), button); }

std::uint32_t ConsoleTest::ColourOf(const Rect& r) { return Screen().Pixel(r.left + 4, r.CenterY()); }

bool ConsoleTest::WaitColour(const Rect& r, std::uint32_t colour, std::chrono::milliseconds timeout) {
    return WaitUntil([&] { return ColourOf(r) == colour; }, timeout);
}

// ---------------------------------------------------------------- pointer and faces

void ConsoleTest::MoveTo(const Rect& r) { Screen().MovePointer(r.CenterX(), r.CenterY()); }

bool ConsoleTest::Uncovered(const Rect& r) {
    for (const WindowInfo& w : Inspect().Windows()) {  // topmost first
        if (w.hwnd == console_.hwnd) return true;
        if (w.visible && w.rect.Overlaps(r)) return false;
    }
    return true;
}

void ConsoleTest::SettleConsole() {
    // A button and a place away from it that no other window covers.
    std::vector<Rect> free;
    for (const Rect& r : {at::Options(), at::Edit(), at::Define(), at::User(), at::Windows()})
        if (Uncovered(r)) free.push_back(r);
    const bool surface = Uncovered(at::Surface());
    if (free.size() < (surface ? 1u : 2u)) {
        ADD_FAILURE() << "other windows cover the console's buttons";
        return;
    }
    const Rect button = free[0];
    MoveTo(button);
    EXPECT_TRUE(WaitFace(button, kLit)) << "the console does not follow the pointer";
    MoveTo(surface ? at::Surface() : free[1]);
    EXPECT_TRUE(WaitFace(button, kIdle)) << "the console does not follow the pointer";
}

bool ConsoleTest::FaceIs(const Rect& button, std::uint32_t colour) {
    const Image face = Screen().Grab(button);
    const std::uint32_t other = colour == kLit ? kIdle : kLit;
    // The caption takes less than half of the face.
    return face.Count(other) == 0 && face.Count(colour) * 2 > face.pixels.size();
}

bool ConsoleTest::WaitFace(const Rect& button, std::uint32_t colour) {
    return WaitUntil([&] { return FaceIs(button, colour); }, 5s);
}

void ConsoleTest::ExpectCaptionFits(const ui::Label& label, const Rect& onScreen) {
    const ui::Font& font = label.TextFont();
    const Inspector::TextSize text = Inspect().MeasureText(
        font.face, ui::Scale(Session::Get().Dpi()).FontPixels(font.points), font.weight, label.Caption());
    EXPECT_LE(text.width + 2, onScreen.Width()) << label.Name() << " is too narrow for its caption";
    EXPECT_LE(text.height, onScreen.Height()) << label.Name() << " is too low for its caption";
    // The ink: what is not the label's own colour.
    const ui::Color back = label.BackColor();
    const std::uint32_t own = (back & 0xFF) << 16 | (back & 0xFF00) | (back >> 16 & 0xFF);
    const Image face = Screen().Grab(onScreen);
    int left = face.width, right = -1, bottom = -1;
    for (int y = 0; y < face.height; ++y)
        for (int x = 0; x < face.width; ++x)
            if (face.At(x, y) != own) {
                left = std::min(left, x);
                right = std::max(right, x);
                bottom = std::max(bottom, y);
            }
    EXPECT_GT(left, 0) << label.Name() << ": its caption touches its left edge";
    EXPECT_LT(right, face.width - 1) << label.Name() << ": its caption touches its right edge";
    EXPECT_LT(bottom, face.height - 1) << label.Name() << ": its caption reaches its bottom edge";
    EXPECT_GE(right - left + 1, text.width * 8 / 10) << label.Name() << ": its caption is not drawn whole";
}

std::string DpiName(const ::testing::TestParamInfo<int>& info) { return std::to_string(info.param); }

std::optional<std::string> ConsoleTest::ValueIn(const std::string& file, const std::string& key) {
    std::size_t at = 0;
    while (at < file.size()) {
        std::size_t end = file.find("\r\n", at);
        if (end == std::string::npos) end = file.size();
        const std::string line = file.substr(at, end - at);
        if (line.rfind(key + "=", 0) == 0) return line.substr(key.size() + 1);
        at = end + 2;
    }
    return std::nullopt;
}

}  // namespace orvan::e2e
