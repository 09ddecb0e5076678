// The console and the Options dialog as a screen reader sees them, through
// the system's accessibility library from another process (the inspector):
// the label buttons, captions, About lines and pictures the windows draw
// themselves, where they stand, what is at a point, and pressing a button.
#include "accessible_view.h"
#include "dialog_fixture.h"

namespace orvan::e2e {
namespace {

using namespace std::chrono_literals;

// The failure code of a call on an object whose window has gone.
constexpr const char* kDisconnected = "0x80010108";  // RPC_E_DISCONNECTED

struct Expected {
    const char* role;
    const char* name;
    Rect rect;
    const char* description = "";
};

std::string Show(const std::vector<AccessibleInfo>& children) {
    std::string out;
    for (const AccessibleInfo& a : children)
        out += "\n  " + std::to_string(a.id) + " " + a.kind + " " + a.role + " \"" + a.name + "\" " +
               a.rect.ToString() + (a.invisible ? " invisible" : "") + (a.unavailable ? " unavailable" : "");
    return out;
}

ConsoleOptions WithProbeAsFirstTask(const std::string& probe, const ProbeLog& log) {
    ConsoleOptions options = WithSettings(SettingsWith("1", {{1, probe}}));
    options.environment = {log.EnvironmentEntry()};
    return options;
}

class Accessibility : public DialogTest {
protected:
    AccessibleView View(Hwnd window) { return AccessibleView(Inspect(), window); }
    AccessibleView Console() { return View(ConsoleWindow().hwnd); }

    // Whether every About line is shown (true) or hidden (false) to tools.
    bool AboutLinesShown(bool shown) {
        int lines = 0;
        for (const AccessibleInfo& a : Console().Children())
            if (a.role == "statictext" && a.rect.left == at::About().left) {
                ++lines;
                if (a.invisible == shown) return false;
            }
        return lines == 4;
    }
};

// At each scale, the rectangles the scale gives.
class ScaledAccessibility : public AtEachDpi<Accessibility> {};

TEST_P(ScaledAccessibility, ConsoleShowsWhatItDrawsTopFirstWhereItStandsThenItsLists) {
    StartConsole();
    const std::vector<AccessibleInfo> tree = Console().Tree();
    ASSERT_FALSE(tree.empty());
    EXPECT_EQ(tree[0].kind, "self");
    EXPECT_EQ(tree[0].role, "client");
    EXPECT_EQ(tree[0].name, "Orvan 97");
    EXPECT_EQ(tree[0].hwnd, ConsoleWindow().hwnd);

    const std::vector<AccessibleInfo> children(tree.begin() + 1, tree.end());
    const Expected drawn[] = {
        {"graphic", "Orvan 97", at::Title()},
        {"pushbutton", "Options", at::Options()},
        {"statictext", "Revision: 3", at::AboutLine(3)},
        {"statictext", "Version: 1.01", at::AboutLine(2)},
        {"statictext", "Program Information:", at::AboutLine(1)},
        {"statictext", "ORVAN 97 System Management Edition 1.01", at::AboutLine(0)},
        {"pushbutton", "ORVAN Edit", at::Edit()},
        {"pushbutton", "Define Task", at::Define()},
        {"pushbutton", "Execute Task", at::User(), "Starts the selected user task"},
        {"pushbutton", "Execute Task", at::Windows(), "Starts the selected Windows task"},
        {"statictext", "Please select a user task to execute.", at::UserCaption()},
        {"statictext", "Please select an Windows task to execute.", at::BuiltInCaption()},
        {"graphic", "Vostek logo", at::Logo()},
    };
    constexpr std::size_t kDrawn = std::size(drawn);
    ASSERT_EQ(children.size(), kDrawn + 2) << Show(children);
    for (std::size_t i = 0; i < kDrawn; ++i) {
        const AccessibleInfo& a = children[i];
        SCOPED_TRACE(drawn[i].name);
        EXPECT_EQ(a.id, static_cast<int>(i + 1));
        EXPECT_EQ(a.kind, "element");
        EXPECT_EQ(a.role, drawn[i].role);
        EXPECT_EQ(a.name, drawn[i].name);
        EXPECT_EQ(a.rect, drawn[i].rect);
        EXPECT_EQ(a.description, drawn[i].description) << "only the two buttons of one caption need one";
        EXPECT_EQ(a.unavailable, drawn[i].rect == at::Logo()) << "only the logo ignores the pointer";
        EXPECT_EQ(a.invisible, a.rect.left == at::About().left) << "only the About lines start hidden";
        EXPECT_EQ(a.action, a.role == "pushbutton" ? "Press" : "");
    }
    // The lists, as objects of their own that the system describes (what
    // it says of them is its own business: Wine's window objects say little).
    std::set<Hwnd> lists;
    for (std::size_t i = kDrawn; i < children.size(); ++i) {
        EXPECT_EQ(children[i].kind, "object");
        lists.insert(children[i].hwnd);
    }
    EXPECT_EQ(lists, (std::set<Hwnd>{BuiltInList(), UserList()}));

    // The user list's entries, where they stand, say the digit that starts them.
    const std::vector<AccessibleInfo> slots = AccessibleView(Inspect(), UserList()).Children();
    const ListInfo shown = Inspect().List(UserList());
    ASSERT_EQ(slots.size(), 10u) << Show(slots);
    for (std::size_t i = 0; i < slots.size(); ++i) {
        EXPECT_EQ(slots[i].name, shown.entries.at(i).text);
        EXPECT_EQ(slots[i].rect, shown.entries.at(i).rect) << slots[i].name;
        EXPECT_EQ(slots[i].shortcut, std::to_string((i + 1) % 10)) << slots[i].name;
    }
    for (const AccessibleInfo& task : AccessibleView(Inspect(), BuiltInList()).Children())
        EXPECT_EQ(task.shortcut, "") << task.name;
    EXPECT_TRUE(RequestClose());
}

ORVAN_AT_EACH_DPI(ScaledAccessibility);

TEST_F(Accessibility, ExecuteTaskFoundAtItsPlaceAndPressedStartsTheSelectedUserTask) {
    const ProbeLog log = NewProbeLog();
    StartConsole(WithProbeAsFirstTask(ProbeExe(), log));
    AccessibleView console = Console();

    // What is at a point: a list's own window, else the topmost control
    // drawn there, else the window.
    const std::optional<AccessibleInfo> button = console.At(at::User().CenterX(), at::User().CenterY());
    ASSERT_TRUE(button);
    EXPECT_EQ(button->role, "pushbutton");
    EXPECT_EQ(button->name, "Execute Task");
    EXPECT_EQ(button->rect, at::User());
    const std::optional<AccessibleInfo> list = console.At(at::UserList().CenterX(), at::UserList().CenterY());
    ASSERT_TRUE(list);
    EXPECT_EQ(list->hwnd, UserList());
    const std::optional<AccessibleInfo> title = console.At(at::Title().CenterX(), at::Title().CenterY());
    ASSERT_TRUE(title);
    EXPECT_EQ(title->name, "Orvan 97");
    EXPECT_EQ(title->kind, "element");
    // The logo lets the pointer through, but it is what lies there.
    const std::optional<AccessibleInfo> logo = console.At(at::Logo().CenterX(), at::Logo().CenterY());
    ASSERT_TRUE(logo);
    EXPECT_EQ(logo->kind, "element");
    EXPECT_EQ(logo->role, "graphic");
    EXPECT_EQ(logo->name, "Vostek logo");
    EXPECT_TRUE(logo->unavailable);
    const std::optional<AccessibleInfo> bare = console.At(at::Surface().CenterX(), at::Surface().CenterY());
    ASSERT_TRUE(bare);
    EXPECT_EQ(bare->kind, "self") << "the bare surface is the window's";

    EXPECT_EQ(console.Do(button->id), "");
    const std::optional<Record> start = log.WaitFor("start", 0, 10s);
    ASSERT_TRUE(start) << "the press started nothing";
    EXPECT_EQ(start->Get("module"), ProbeExe());
    EXPECT_EQ(start->Int("ppid"), ConsoleWindow().pid);
    EXPECT_EQ(start->Int("show"), 1);

    // A caption and a picture have nothing to press.
    EXPECT_NE(console.Do(1), "");
    EXPECT_NE(console.Press("Please select a user task to execute."), "");
    EXPECT_NE(console.Press("Execute Task"), "") << "two buttons have that name";
    EXPECT_TRUE(RequestClose());
    EXPECT_EQ(log.WaitForCount("start", 1, 0ms).size(), 1u);
}

TEST_F(Accessibility, NavigationGoesInOrderAndToTheNearestNeighbour) {
    StartConsole();
    AccessibleView console = Console();
    const std::vector<AccessibleInfo> children = console.Children();
    ASSERT_GE(children.size(), 13u);
    auto idOf = [&](const Rect& r) {
        for (const AccessibleInfo& a : children)
            if (a.rect == r) return a.id;
        return -1;
    };
    EXPECT_EQ(console.Navigate(0, "first").value_or(AccessibleInfo{}).name, "Orvan 97");
    EXPECT_EQ(console.Navigate(0, "last").value_or(AccessibleInfo{}).kind, "object");
    EXPECT_EQ(console.Navigate(idOf(at::Options()), "next").value_or(AccessibleInfo{}).name, "Revision: 3");
    EXPECT_EQ(console.Navigate(idOf(at::Options()), "previous").value_or(AccessibleInfo{}).name, "Orvan 97");
    EXPECT_FALSE(console.Navigate(1, "previous"));
    EXPECT_EQ(console.Navigate(idOf(at::Edit()), "down").value_or(AccessibleInfo{}).rect, at::Options());
    EXPECT_EQ(console.Navigate(idOf(at::Options()), "up").value_or(AccessibleInfo{}).rect, at::Edit());
    EXPECT_EQ(console.Navigate(idOf(at::UserCaption()), "left").value_or(AccessibleInfo{}).rect, at::User());
    EXPECT_FALSE(console.Navigate(idOf(at::Edit()), "left")) << "nothing lies left of the buttons";
    EXPECT_TRUE(RequestClose());
}

TEST_F(Accessibility, AboutLinesAreInvisibleUntilAboutIsChosen) {
    StartConsole();
    EXPECT_TRUE(AboutLinesShown(false)) << Show(Console().Children());

    std::optional<WindowInfo> menu = RightClickMenu(at::Logo());
    ASSERT_TRUE(menu);
    ClickOn(AboutEntry(*menu));
    EXPECT_TRUE(WaitUntil([&] { return AboutLinesShown(true); }, 5s)) << Show(Console().Children());
    // Shown, a line is what the pointer finds there.
    const std::optional<AccessibleInfo> line = Console().At(205, 64);
    ASSERT_TRUE(line);
    EXPECT_EQ(line->name, "ORVAN 97 System Management Edition 1.01");

    menu = RightClickMenu(at::Scaled({205, 60, 215, 68}));
    ASSERT_TRUE(menu);
    ClickOn(AboutEntry(*menu));
    EXPECT_TRUE(WaitUntil([&] { return AboutLinesShown(false); }, 5s)) << Show(Console().Children());
    EXPECT_TRUE(RequestClose());
}

TEST_F(Accessibility, OptionsDialogHoldsTheConsoleAndItsObjectOutlivesNoWindow) {
    const ProbeLog log = NewProbeLog();
    StartConsole(WithProbeAsFirstTask(ProbeExe(), log));
    AccessibleView console = Console();

    EXPECT_EQ(console.Press("Options"), "");
    std::optional<OptionsDialog> dialog;
    ASSERT_TRUE(WaitUntil([&] { return (dialog = FindOptions()).has_value(); }, 5s)) << "Options opened nothing";

    // The console is disabled: its buttons say so and take no press.
    EXPECT_TRUE(WaitUntil(
        [&] {
            for (const AccessibleInfo& a : console.Children())
                if (a.role == "pushbutton" && !a.unavailable) return false;
            return true;
        },
        5s))
        << Show(console.Children());
    const std::vector<AccessibleInfo> user = console.Named("Execute Task");
    ASSERT_EQ(user.size(), 2u);
    EXPECT_NE(console.Do(user[0].id), "") << "a press on the held console was taken";

    AccessibleView options = View(dialog->window.hwnd);
    const std::vector<AccessibleInfo> children = options.Children();
    ASSERT_EQ(children.size(), 3u) << Show(children);
    EXPECT_EQ(children[0].name, "OK");
    EXPECT_EQ(children[0].rect, dialog->OK());
    EXPECT_EQ(children[1].name, "Cancel");
    EXPECT_EQ(children[1].rect, dialog->Cancel());
    for (int i : {0, 1}) {
        EXPECT_EQ(children[static_cast<std::size_t>(i)].role, "pushbutton");
        EXPECT_FALSE(children[static_cast<std::size_t>(i)].unavailable);
    }
    EXPECT_EQ(children[2].kind, "object");
    EXPECT_EQ(children[2].hwnd, dialog->frame);

    options.Hold();
    EXPECT_EQ(options.Press("Cancel"), "");
    ASSERT_TRUE(WaitOptionsClosed());
    const Record held = options.Held();
    for (const char* call : {"count", "name", "location", "hit", "action"})
        EXPECT_EQ(held.Get(call), kDisconnected) << call << ": " << held.ToString();

    // The console takes presses again; the one refused above started nothing.
    EXPECT_TRUE(WaitUntil([&] { return !console.Named("Options").at(0).unavailable; }, 5s));
    EXPECT_EQ(console.Do(user[0].id), "");
    ASSERT_TRUE(log.WaitFor("start", 0, 10s)) << "the press started nothing";
    EXPECT_TRUE(RequestClose());
    EXPECT_EQ(log.WaitForCount("start", 1, 0ms).size(), 1u);
}

}  // namespace
}  // namespace orvan::e2e
