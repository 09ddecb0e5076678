#include "dialog_fixture.h"
#include "ui/options_layout.h"
#include "version.h"

#include <thread>

namespace orvan::e2e {

using namespace std::chrono_literals;

namespace {

// The file-name field of Wine's Open-file dialog (cmb13).
constexpr int kFileNameField = 1148;
constexpr const char* kOpenFileTitle = "Orvan 97 User Tasks";

}  // namespace

Rect OptionsDialog::Option(const std::string& caption) const {
    auto it = options.find(caption);
    return it == options.end() ? Rect{} : it->second.rect;
}

// ---------------------------------------------------------------- the Options dialog

namespace {
const ui::OptionsLayout& Dialog() {
    static const ui::OptionsLayout dialog;
    return dialog;
}
// A rectangle of the dialog's layout at a DPI.
Rect AtDpi(const ui::Control& control, int dpi) {
    ui::OptionsLayout dialog;
    dialog.SetScaling(ui::Scale(dpi));
    for (const ui::Control* c : dialog.DrawingOrder())
        if (c->Name() == control.Name()) return FromLayout(c->Bounds());
    return {};
}
}  // namespace

Rect OptionsDialog::OK() const { return InClient(AtDpi(Dialog().OK, dpi)); }
Rect OptionsDialog::Cancel() const { return InClient(AtDpi(Dialog().Cancel, dpi)); }
Rect OptionsDialog::Header() const {
    const ui::Scale scale(dpi);
    return InClient({scale.Pixels(150 * 15), scale.Pixels(14 * 15), scale.Pixels(350 * 15), scale.Pixels(34 * 15)});
}
int OptionsDialog::LaidOutWidth() const { return ui::Scale(dpi).Pixels(Dialog().ClientWidth); }
int OptionsDialog::LaidOutHeight() const { return ui::Scale(dpi).Pixels(Dialog().ClientHeight); }

std::optional<OptionsDialog> DialogTest::FindOptions() {
    for (const WindowInfo& w : Inspect().Windows()) {
        if (!w.visible || w.className != ORVAN_CONSOLE_CLASS || w.hwnd == ConsoleWindow().hwnd ||
            w.pid != ConsoleWindow().pid)
            continue;
        OptionsDialog dialog;
        dialog.window = w;
        dialog.dpi = Session::Get().Dpi();
        std::vector<ChildInfo> children;
        try {
            children = Inspect().Children(w.hwnd);
        } catch (const std::exception&) {
            continue;  // closed since the list was taken
        }
        for (const ChildInfo& c : children) {
            if (c.className == "Orvan97Frame") dialog.frame = c.hwnd;
            if (c.className == "Button") dialog.options[c.text] = c;
        }
        return dialog;
    }
    return std::nullopt;
}

std::optional<OptionsDialog> DialogTest::OpenOptions() {
    ClickOn(at::Options());
    std::optional<OptionsDialog> dialog;
    // Its option buttons are made with it; wait for all four all the same.
    WaitUntil(
        [&] {
            dialog = FindOptions();
            return dialog && dialog->options.size() == 4;
        },
        10s);
    if (!dialog) ADD_FAILURE() << "the Options dialog did not open";
    return dialog;
}

bool DialogTest::WaitOptionsClosed() {
    return WaitUntil([&] { return !FindOptions(); }, 5s);
}

std::string DialogTest::CheckedOption(const OptionsDialog& dialog) {
    std::string checked;
    for (const auto& [caption, child] : dialog.options)
        if (Inspect().Checked(child.hwnd) == 1) checked += (checked.empty() ? "" : "+") + caption;
    return checked;
}

void DialogTest::ClickOption(const OptionsDialog& dialog, const std::string& caption) {
    const Rect r = dialog.Option(caption);
    ASSERT_GT(r.Width(), 0) << "no option button \"" << caption << "\"";
    ClickOn(r);
    EXPECT_TRUE(WaitUntil([&] { return CheckedOption(dialog) == caption; }, 5s))
        << caption << " did not take the selection: " << CheckedOption(dialog);
}

// ---------------------------------------------------------------- the context menu

std::optional<WindowInfo> DialogTest::FindMenu() {
    for (const WindowInfo& w : Inspect().Windows())
        if (w.visible && w.className == "#32768") return w;
    return std::nullopt;
}

std::optional<WindowInfo> DialogTest::WaitMenu() {
    std::optional<WindowInfo> menu;
    WaitUntil(
        [&] {
            menu = FindMenu();
            // Placed (a menu just shown may not have its size yet) and
            // painted: its right part is no longer what the console shows there.
            return menu && menu->rect.Width() > 8 && menu->rect.Height() > 0 &&
                   Screen().Pixel(menu->rect.right - 8, ExitEntry(*menu).CenterY()) != kFrameBlue;
        },
        5s);
    return menu;
}

bool DialogTest::WaitMenuGone() {
    return WaitUntil([&] { return !FindMenu(); }, 5s);
}

// Two entries with a separator between them: the upper and the lower
// quarter of the menu lie well inside the one and the other.
Rect DialogTest::AboutEntry(const WindowInfo& menu) {
    const int y = menu.rect.top + menu.rect.Height() / 4;
    return {menu.rect.left + 4, y - 2, menu.rect.right - 4, y + 3};
}

Rect DialogTest::ExitEntry(const WindowInfo& menu) {
    const int y = menu.rect.bottom - menu.rect.Height() / 4;
    return {menu.rect.left + 4, y - 2, menu.rect.right - 4, y + 3};
}

bool DialogTest::AboutTicked(const WindowInfo& menu) {
    // The tick stands in the strip left of the entry's text; without it the
    // strip is all of the menu's own colour.
    const Rect entry = AboutEntry(menu);
    const std::uint32_t ground = Screen().Pixel(menu.rect.right - 6, entry.CenterY());
    const Image strip = Screen().Grab(Rect{menu.rect.left + 3, entry.top - 5, menu.rect.left + 15, entry.bottom + 5});
    return strip.pixels.size() - strip.Count(ground) > 4;
}

std::optional<WindowInfo> DialogTest::RightClickMenu(const Rect& r) {
    ClickOn(r, Button::Right);
    return WaitMenu();
}

// ---------------------------------------------------------------- the Open-file dialog

void DialogTest::DefineThroughDialog(const std::string& windowsPath, bool confirm) {
    ClickOn(at::Define());
    const std::optional<WindowInfo> dialog = Inspect().WaitWindow(kOpenFileTitle, 10s);
    ASSERT_TRUE(dialog) << "the Open-file dialog did not open";
    std::optional<ChildInfo> field;
    for (const ChildInfo& c : Inspect().Children(dialog->hwnd))
        if (c.className == "Edit" && c.id == kFileNameField) field = c;
    ASSERT_TRUE(field) << "the dialog has no file-name field";
    ASSERT_TRUE(WaitUntil([&] { return Inspect().Focus().focus == field->hwnd; }, 5s))
        << "the file-name field does not have the focus";
    Inspect().SetText(field->hwnd, windowsPath);
    if (confirm)
        Enter();
    else
        Escape();
    ASSERT_TRUE(WaitUntil([&] { return !Inspect().FindWindow(kOpenFileTitle); }, 10s))
        << "the Open-file dialog is still open";
}

}  // namespace orvan::e2e
