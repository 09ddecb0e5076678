#include "app/frmOrvan97.h"

#include <array>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "tasks/define.h"
#include "tasks/launch.h"
#include "ui/hover.h"

namespace orvan::app {

namespace {

// Runs steps that end early, silently, on an error, as the console's load
// and "Define Task" do. The one error their steps raise is a list index
// outside its list (the remembered selection may be none); anything else is
// a fault and goes on up.
template <typename Step>
void EndsSilently(Step&& step) {
    try {
        step();
    } catch (const std::out_of_range&) {
    }
}

// The user slot a list index names, if any.
std::optional<std::size_t> SlotAt(int index) {
    if (index < 0 || index >= static_cast<int>(settings::kSlotCount)) return std::nullopt;
    return static_cast<std::size_t>(index);
}

// The digit that starts each user slot: 1 to 9 slots One to Nine, 0 slot Ten.
constexpr std::array<int, settings::kSlotCount> kSlotDigits = {1, 2, 3, 4, 5, 6, 7, 8, 9, 0};

// The user slot a digit's key stands for, on the main keys or the number pad.
std::optional<std::size_t> SlotOfDigit(int keyCode) {
    for (const int zero : {ui::kKey0, ui::kKeyNumpad0})
        for (std::size_t slot = 0; slot < kSlotDigits.size(); ++slot)
            if (keyCode == zero + kSlotDigits[slot]) return slot;
    return std::nullopt;
}

}  // namespace

frmOrvan97::frmOrvan97(platform::Services& sys, settings::modIni& ini, Shell& shell)
    : sys_(sys), ini_(ini), shell_(shell) {
    for (const tasks::BuiltInTask& task : tasks::kBuiltInTasks) lstWindows.AddItem(task.entry);
    std::vector<std::string> keys;
    for (const int digit : kSlotDigits) keys.push_back(std::to_string(digit));
    lstUser.SetEntryShortcuts(std::move(keys));
    lstUser.SetOLEDropMode(ui::OLEDropMode::Manual);
    Bind();
}

void frmOrvan97::Bind() {
    auto right = [this](const ui::MouseArgs& a) { RightButtonDown(a.button); };
    Edit.Click = [this] { Edit_Click(); };
    Options.Click = [this] { Options_Click(); };
    Windows.Click = [this] { Windows_Click(); };
    Windows.MouseDown = right;
    User.Click = [this] { User_Click(); };
    User.MouseDown = right;
    Define.Click = [this] { Define_Click(); };
    Define.MouseDown = right;
    lblWindows.MouseDown = right;
    lblUser.MouseDown = right;
    for (ui::Label& line : lblAbout) line.MouseDown = right;
    lstWindows.KeyDown = [this](const ui::KeyArgs& k) { return ConsoleKeyDown(k, &frmOrvan97::lstWindows_DblClick); };
    lstUser.KeyDown = [this](const ui::KeyArgs& k) { return ConsoleKeyDown(k, &frmOrvan97::lstUser_DblClick); };
    FormKeyDown = [this](const ui::KeyArgs& k) { return ConsoleKeyDown(k, nullptr); };
    lstWindows.DblClick = [this] { lstWindows_DblClick(); };
    lstWindows.MouseDown = right;
    lstUser.DblClick = [this] { lstUser_DblClick(); };
    lstUser.OLEDragDrop = [this](const ui::DropArgs& drop) { lstUser_OLEDragDrop(drop); };
    lstUser.MouseDown = right;
    SurfaceMouseDown = right;
    tmrAnimate.Tick = [this] { tmrAnimate_Timer(); };

    // Hover: a button lights itself and clears the rest of its group (the
    // upper pair, the lower trio); the lists clear the lower trio, the
    // background every button; any other control changes nothing.
    using ui::Clear;
    using ui::Light;
    ui::BindHover(*this, {
                             {&Edit, {Light(Edit), Clear(Options)}},
                             {&Options, {Clear(Edit), Light(Options)}},
                             {&Windows, {Clear(User), Clear(Define), Light(Windows)}},
                             {&User, {Clear(Windows), Clear(Define), Light(User)}},
                             {&Define, {Clear(Windows), Clear(User), Light(Define)}},
                             {&lstWindows, {Clear(Windows), Clear(User), Clear(Define)}},
                             {&lstUser, {Clear(Windows), Clear(User), Clear(Define)}},
                             {nullptr, {Clear(Edit), Clear(Options), Clear(Windows), Clear(User), Clear(Define)}},
                         });
}

// ------------------------------------------------------------------ load and unload

void frmOrvan97::Form_Load() {
    EndsSilently([&] { ini_.LoadAll(); });
    EndsSilently([&] { FillUserList(); });
    EndsSilently([&] { lstWindows.SetText(lstWindows.List(0)); });
    EndsSilently([&] { lstUser.SetText(lstUser.List(0)); });
}

void frmOrvan97::FillUserList() {
    for (std::size_t slot = 0; slot < settings::kSlotCount; ++slot)
        lstUser.AddItem(tasks::UserEntryText(slot, ini_.TaskPath[slot]));
}

void frmOrvan97::Form_Unload(bool& /*cancel*/) { ini_.SaveAll(); }

// ------------------------------------------------------------------ launching

void frmOrvan97::Windows_Click() {
    const int index = lstWindows.ListIndex();
    // A built-in task that cannot start passes silently: its result is not read.
    if (index >= 0 && index < static_cast<int>(tasks::kBuiltInTasks.size()))
        tasks::StartBuiltIn(sys_, index, ini_.RunMethod);
}

void frmOrvan97::lstWindows_DblClick() { Windows_Click(); }

void frmOrvan97::User_Click() {
    const std::optional<std::size_t> slot = SlotAt(lstUser.ListIndex());
    if (!slot) return;
    // The failure names the path that was started, its variables expanded.
    const std::string path = tasks::ExpandedTaskPath(sys_, ini_.TaskPath[*slot]);
    platform::StartResult started = tasks::StartUserTask(sys_, path, ini_.RunMethod);
    if (!started.ok)
        sys_.ShowMessage(tasks::UserTaskFailure(path, started.error), tasks::kAppTitle,
                         platform::MessageIcon::Exclamation);
}

void frmOrvan97::lstUser_DblClick() { User_Click(); }

void frmOrvan97::Edit_Click() {
    if (!tasks::StartEditor(sys_).ok)
        sys_.ShowMessage(tasks::kEditorMissing, tasks::kAppTitle, platform::MessageIcon::Exclamation);
}

void frmOrvan97::Define_Click() {
    EndsSilently([this] {
        const int remembered = lstUser.ListIndex();
        std::optional<platform::ChosenFile> chosen = sys_.OpenFileDialog(tasks::DialogSpec(
            cdbUserTasks.DialogTitle, cdbUserTasks.Filter, cdbUserTasks.FilterIndex, cdbUserTasks.DefaultExt));
        if (!chosen || chosen->path.empty()) return;
        // Only a path that the settings file gives back whole, and that names
        // the chosen file, is kept; anything else is refused before a change.
        const tasks::KeptPath kept = tasks::KeepChosenFile(*chosen);
        if (kept.form == tasks::KeptPath::Form::Refused) {
            sys_.ShowMessageUtf8(kept.refusal, tasks::kAppTitle, platform::MessageIcon::Exclamation);
            return;
        }
        const std::string& file = kept.taskPath;
        if (const std::optional<std::size_t> slot = SlotAt(lstUser.ListIndex())) {
            ini_.TaskPath[*slot] = file;
            ini_.WriteIni(settings::kUserTasksSection, settings::kSlotLabels[*slot], file, ini_.IniPath);
        }
        for (std::size_t i = 0; i < settings::kSlotCount; ++i) lstUser.RemoveItem(0);
        FillUserList();
        lstWindows.SetText(lstWindows.List(0));
        lstUser.SetText(lstUser.List(remembered));
    });
}

void frmOrvan97::lstUser_OLEDragDrop(const ui::DropArgs& drop) {
    const std::optional<std::size_t> first = SlotAt(drop.entry);
    if (!first) return;
    std::size_t slot = *first;
    for (const platform::DroppedFile& dropped : drop.files) {
        if (slot >= settings::kSlotCount) break;
        // The rules of "Define Task": a refused file takes no slot.
        const tasks::KeptPath kept = tasks::KeepDroppedFile(dropped);
        if (kept.form == tasks::KeptPath::Form::Refused) {
            sys_.ShowMessageUtf8(kept.refusal, tasks::kAppTitle, platform::MessageIcon::Exclamation);
            continue;
        }
        ini_.TaskPath[slot] = kept.taskPath;
        ini_.WriteIni(settings::kUserTasksSection, settings::kSlotLabels[slot], kept.taskPath, ini_.IniPath);
        ++slot;
    }
    if (slot == *first) return;
    for (std::size_t i = 0; i < settings::kSlotCount; ++i) lstUser.RemoveItem(0);
    FillUserList();
    lstUser.SetListIndex(static_cast<int>(*first));
}

void frmOrvan97::Options_Click() {
    shell_.ShowOptions();
    SetEnabled(false);
}

// ------------------------------------------------------------------ the opening slide

void frmOrvan97::tmrAnimate_Timer() {
    AnimateButtons();
    tmrAnimate.SetTimerEnabled(false);
}

void frmOrvan97::AnimateButtons() {
    const std::array<ui::Label*, 5> buttons{&Edit, &Options, &Windows, &User, &Define};
    for (int pass = 1; pass <= kSlidePasses; ++pass) {
        for (ui::Label* button : buttons)
            if (button->Left() < kButtonWorkLeft) button->SetLeft(button->Left() + kSlideStep);
        // Paint each pass, so the motion reaches the screen.
        if (Peer()) Peer()->UpdateNow();
        bool done = true;
        for (ui::Label* button : buttons) done = done && button->Left() == kButtonWorkLeft;
        if (done) break;
    }
}

// ------------------------------------------------------------------ the context menu

void frmOrvan97::RightButtonDown(int button) {
    if (button == ui::kRightButton) shell_.ShowContextMenu();
}

// ------------------------------------------------------------------ the keyboard

bool frmOrvan97::ConsoleKeyDown(const ui::KeyArgs& key, void (frmOrvan97::*start)()) {
    const int modifiers = key.shift & (ui::kShiftMask | ui::kCtrlMask | ui::kAltMask);
    if (key.keyCode == ui::kKeyReturn && modifiers == 0 && start) {
        (this->*start)();
        return true;
    }
    if (const std::optional<std::size_t> slot = SlotOfDigit(key.keyCode); slot && modifiers == 0) {
        // The slot's entry selected first, so the user sees what starts.
        lstUser.SetListIndex(static_cast<int>(*slot));
        User_Click();
        return true;
    }
    if ((key.keyCode == ui::kKeyApps && modifiers == 0) ||
        (key.keyCode == ui::kKeyF10 && modifiers == ui::kShiftMask)) {
        shell_.ShowContextMenu();
        return true;
    }
    return false;
}

}  // namespace orvan::app
