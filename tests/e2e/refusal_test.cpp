// The console's save beside the system's own private-profile writer
// (WritePrivateProfileStringA, called through the inspector with the same
// entries: those the start file lacks, since the user changes nothing), on
// the same file in the same state, for each way the harness can make the
// system refuse part of a save. Where the system saves, the console must
// save whole, without a box and leaving nothing beside the file; where the
// system does not, the console shows a box for each entry and leaves the
// file exactly as it was. Each row prints its line of the table
// in docs/settings-file.md.
#include <sys/stat.h>

#include <array>
#include <cctype>
#include <cstdio>
#include <fstream>
#include <functional>
#include <memory>
#include <set>
#include <vector>

#include "dialog_fixture.h"
#include "host.h"

namespace orvan::e2e {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

const std::string kSettingsFile = "C:\\Windows\\Orvan97.ini";
const std::string kWriteError = "Unexpected error writing to file: " + kSettingsFile;
const char* const kSlots[] = {"User Task One", "User Task Two",   "User Task Three", "User Task Four", "User Task Five",
                              "User Task Six", "User Task Seven", "User Task Eight", "User Task Nine", "User Task Ten"};

// A settings file a save starts from, and what the console's save makes of it.
struct Start {
    std::optional<std::string> bytes;  // none: no file
    std::string runMethod;             // as the file holds it once saved
    std::string taskThree;
    std::set<std::string> holds;  // the keys the start file holds, which the save leaves
    std::string saved;            // the whole new contents, as the console writes them

    // The entries of the save, in its order: those the file lacks.
    std::vector<std::array<std::string, 3>> Entries() const {
        std::vector<std::array<std::string, 3>> entries = {{"Options", "Program Run Method", runMethod}};
        for (int slot = 0; slot < 10; ++slot)
            entries.push_back({"User Tasks", kSlots[slot], slot == 2 ? taskThree : "xxx"});
        for (const auto& [key, value] : std::vector<std::pair<std::string, std::string>>{
                 {";", "   Please don't edit this file yourself."},
                 {"; ", "  You may incorrectly do so and corrupt"},
                 {";  ", " the file. If that occurs, delete this file. You"},
                 {";   ", "will then have to define your user tasks again."}})
            entries.push_back({"Note", key, value});
        std::erase_if(entries, [&](const auto& entry) { return holds.count(entry[1]) > 0; });
        return entries;
    }
    int Writes() const { return static_cast<int>(Entries().size()); }
    // What the run method and the ten tasks read as once they are saved.
    std::vector<std::string> SavedReads() const {
        std::vector<std::string> reads = {runMethod};
        for (int slot = 0; slot < 10; ++slot) reads.push_back(slot == 2 ? taskThree : "xxx");
        return reads;
    }
};

// A run method the console converts (3.5 reads as 4) and one user task,
// both kept as they stand: the save adds the rest.
Start SmallFile() {
    Start start;
    start.bytes = SettingsWith("3.5", {{3, "C:\\tools\\a.exe"}});
    start.runMethod = "3.5";
    start.taskThree = "C:\\tools\\a.exe";
    start.holds = {"Program Run Method", "User Task Three"};
    start.saved = FirstRunFile("3.5");
    const std::string three = "User Task Three=xxx\r\n";
    start.saved.erase(start.saved.find(three), three.size());
    start.saved.insert(start.saved.find("[User Tasks]\r\n") + 14, "User Task Three=C:\\tools\\a.exe\r\n");
    return start;
}

// One 4096-byte page of lines of its own: every write of the save adds to it.
Start PageFullFile() {
    std::string bytes = "[Mine]\r\n";
    for (int i = 0; 4096 - bytes.size() > 64; ++i)
        bytes += "k" + std::to_string(100 + i) + "=" + std::string(50, 'v') + "\r\n";
    bytes += "last=" + std::string(4096 - bytes.size() - 7, 'w') + "\r\n";
    Start start;
    start.bytes = bytes;
    start.runMethod = "1";
    start.taskThree = "xxx";
    start.saved = bytes + FirstRunFile("1");
    return start;
}

Start NoFile() {
    Start start;
    start.runMethod = "1";
    start.taskThree = "xxx";
    start.saved = FirstRunFile("1");
    return start;
}

// What one writer's save left.
struct Outcome {
    int saved = 0;                     // writes reported done: calls that returned nonzero, or writes without a box
    std::optional<std::string> bytes;  // the settings file, if one is there
    std::vector<std::string> reads;    // the run method and the ten tasks as the system's reader reads that file
    std::vector<std::string> beside;   // names left beside the file that were not there before
    bool replaced = false;             // the file left is another file than the one there before

    bool SavedWhole(const Start& start) const { return saved == start.Writes() && reads == start.SavedReads(); }
};

// Undoes what a row did to the host, when it goes.
class Undo {
public:
    explicit Undo(std::function<void()> undo) : undo_(std::move(undo)) {}
    ~Undo() { undo_(); }
    Undo(const Undo&) = delete;
    Undo& operator=(const Undo&) = delete;

private:
    std::function<void()> undo_;
};
using Arranged = std::shared_ptr<void>;

class Refusals : public DialogTest {
protected:
    fs::path Folder() const { return SettingsPath().parent_path(); }

    // What a writer may leave beside the file: our temporary files (orv*.tmp)
    // and the whole copy (Orvan97.ini.new), and anything else named so.
    std::set<std::string> Beside() const {
        std::set<std::string> names;
        std::error_code error;
        for (fs::directory_iterator it(Folder(), error), end; !error && it != end; it.increment(error)) {
            std::string name = it->path().filename().string();
            for (char& c : name) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
            if (name.rfind("orv", 0) == 0 && name != "orvan97.ini") names.insert(name);
        }
        return names;
    }

    // The settings file's inode, 0 when there is none.
    ino_t Inode() const {
        struct stat info {};
        return stat(SettingsPath().c_str(), &info) == 0 ? info.st_ino : 0;
    }

    void Finish(Outcome& outcome, const std::set<std::string>& before, ino_t inode) {
        outcome.bytes = Settings();
        outcome.replaced = inode != 0 && Inode() != 0 && Inode() != inode;
        for (const std::string& name : Beside())
            if (!before.count(name)) outcome.beside.push_back(name);
    }

    // The run method and the ten tasks as the system reads bytes a writer left.
    std::vector<std::string> SystemReads(const std::optional<std::string>& bytes, const std::string& name) {
        fs::remove(Scratch() / name);
        if (bytes) std::ofstream(Scratch() / name, std::ios::binary) << *bytes;
        const std::string file = ScratchWindows() + "\\" + name;
        std::vector<std::string> reads = {Inspect().ReadProfileString(file, "Options", "Program Run Method")};
        for (const char* slot : kSlots) reads.push_back(Inspect().ReadProfileString(file, "User Tasks", slot));
        return reads;
    }

    void Reset(const Start& start) {
        fs::remove_all(SettingsPath());
        if (start.bytes) WriteSettings(*start.bytes);
    }

    Outcome SystemSave(const Start& start, const std::function<Arranged()>& arrange) {
        Reset(start);
        Outcome outcome;
        {
            const Arranged state = arrange();
            const std::set<std::string> before = Beside();
            const ino_t inode = Inode();
            for (const auto& [section, key, value] : start.Entries())
                outcome.saved += Inspect().WriteProfileString(kSettingsFile, section, key, value).written ? 1 : 0;
            Finish(outcome, before, inode);
        }
        outcome.reads = SystemReads(outcome.bytes, "system.ini");
        return outcome;
    }

    Outcome ConsoleSave(const Start& start, const std::function<Arranged()>& arrange) {
        Reset(start);
        ConsoleOptions options;
        options.waitForSlide = false;
        StartConsole(options);
        Outcome outcome;
        {
            const Arranged state = arrange();
            const std::set<std::string> before = Beside();
            const ino_t inode = Inode();
            Inspect().Close(ConsoleWindow().hwnd);
            outcome.saved = start.Writes() - PressErrorBoxesUntilTheConsoleEnds(start.Writes());
            Finish(outcome, before, inode);
        }
        outcome.reads = SystemReads(outcome.bytes, "console.ini");
        return outcome;
    }

    // Each "Error" box the console shows on its way out, checked and closed;
    // how many there were, at most one a write.
    int PressErrorBoxesUntilTheConsoleEnds(int writes) {
        int boxes = 0;
        for (;;) {
            std::optional<MessageBoxInfo> box;
            WaitUntil(
                [&] {
                    if (!ConsoleProcess().Running()) return true;
                    for (const MessageBoxInfo& b : Inspect().MessageBoxes())
                        if (b.title == "Error") box = b;
                    return box.has_value();
                },
                AllowStarts(20s));
            if (!box) break;
            box = Inspect().WaitMessageBox("Error", 10s);  // until its icon can be told
            if (!box) {
                ADD_FAILURE() << "the Error box went away by itself";
                break;
            }
            EXPECT_EQ(box->Text(), kWriteError);
            EXPECT_EQ(box->icon, "hand");
            if (box->buttons.size() != 1u || ++boxes > writes) {
                ADD_FAILURE() << "box " << boxes << " is not the write error's";
                break;
            }
            Inspect().Press(box->hwnd, box->buttons[0].id);
            WaitUntil([&] { return !Inspect().Window(box->hwnd).has_value(); }, 5s);
        }
        EXPECT_TRUE(WaitConsoleExit(10s)) << "the console did not end";
        return boxes;
    }

    // A table cell: the writes that failed, the file left and what is beside it.
    static std::string Describe(const Outcome& o, const Start& start) {
        std::string bytes = "torn, " + std::to_string(o.bytes ? o.bytes->size() : 0) + " bytes";
        if (!o.bytes) {
            bytes = "none";
        } else if (o.bytes == start.bytes) {
            bytes = "as it was";
        } else if (o.bytes == start.saved) {
            bytes = "the whole new contents";
        } else if (o.reads == start.SavedReads()) {
            bytes = "saved in its own layout";
        }
        if (o.bytes && o.bytes != start.bytes) bytes += o.replaced ? " (replaced)" : " (in place)";
        int readBack = 0;
        for (std::size_t i = 0; i < o.reads.size(); ++i) readBack += o.reads[i] == start.SavedReads()[i] ? 1 : 0;
        std::string beside;
        for (const std::string& name : o.beside) beside += " " + name;
        return std::to_string(start.Writes() - o.saved) + " of " + std::to_string(start.Writes()) +
               " writes failed; file " + bytes + ", " + std::to_string(readBack) +
               " of 11 entries read as saved; beside:" + (beside.empty() ? " nothing" : beside);
    }

    // One row of the table: the system's writer, then the console, on the
    // same start in the same state.
    void Row(const std::string& name, const Start& start, bool systemSaves, const std::function<Arranged()>& arrange) {
        SCOPED_TRACE(name);
        const Outcome system = SystemSave(start, arrange);
        const Outcome console = ConsoleSave(start, arrange);
        std::printf("refusal | %s | system: %s | console: %s\n", name.c_str(), Describe(system, start).c_str(),
                    Describe(console, start).c_str());
        EXPECT_EQ(system.SavedWhole(start), systemSaves) << "the system's writer does not do what the table says";
        if (system.SavedWhole(start)) {
            EXPECT_EQ(console.saved, start.Writes()) << "a box where the system saves";
            EXPECT_EQ(console.bytes, start.saved) << "not the whole new contents";
            EXPECT_EQ(console.reads, system.reads);
        } else {
            EXPECT_EQ(console.saved, 0) << "a write reported done where the system could not save";
            EXPECT_EQ(console.bytes, start.bytes) << "the file was touched";
        }
        EXPECT_TRUE(console.beside.empty()) << "left beside the file: " << console.beside.front();
    }

    // The file held open by another program, here the inspector.
    Arranged Held(bool shareDelete) {
        Inspect().HoldFile(kSettingsFile,
                           shareDelete ? Inspector::Sharing::ReadWriteDelete : Inspector::Sharing::ReadWrite);
        return std::make_shared<Undo>([this] { Inspect().ReleaseFiles(); });
    }

    // A tmpfs over the Windows folder holding the start file, every other
    // block taken.
    Arranged FullDisk(const Start& start) {
        auto disk = std::make_shared<SmallDisk>(Folder(), 64 * 1024);
        WriteSettings(*start.bytes);
        disk->Fill("filler");
        return disk;
    }
};

TEST_F(Refusals, WhereTheSystemSavesTheConsoleSavesWholeWithoutABox) {
    const Start small = SmallFile();
    Row("the file held open, without delete sharing", small, true, [&] { return Held(false); });
    Row("the file held open, with delete sharing", small, true, [&] { return Held(true); });
    Row("the folder takes no new file (chattr +i), the file writable", small, true,
        [&] { return std::make_shared<Immutable>(Folder()); });
    Row("the file read-only (mode 0444; Wine lets root write it)", small, true, [&] {
        fs::permissions(SettingsPath(), fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
        return std::make_shared<Undo>([this] {
            std::error_code error;
            fs::permissions(SettingsPath(), fs::perms::owner_write, fs::perm_options::add, error);
        });
    });
    Row("the disk full, the new contents within the file's own block", small, true, [&] { return FullDisk(small); });
}

TEST_F(Refusals, WhereTheSystemCannotSaveTheConsoleShowsItsBoxesAndLeavesTheFile) {
    const Start small = SmallFile();
    Row("the file read-only even to root (chattr +i)", small, false,
        [&] { return std::make_shared<Immutable>(SettingsPath()); });
    Row("the folder missing", NoFile(), false, [&] { return std::make_shared<MovedAway>(Folder()); });
    Row("the settings path a folder", NoFile(), false, [&] {
        fs::create_directory(SettingsPath());
        return std::make_shared<Undo>([this] { fs::remove_all(SettingsPath()); });
    });
    // Wine's writer reports all fifteen writes done here, and leaves the file
    // cut at the block it had: nothing of the save is in it.
    const Start full = PageFullFile();
    Row("the disk full, the new contents needing another block", full, false, [&] { return FullDisk(full); });
}

// The settings file kept in a Windows folder that takes no new file, the
// file itself writable: what an administrator grants a legacy program. The
// run method chosen in Options, a task defined (written at once) and Exit
// all save in place, without a box, leaving nothing beside the file.
TEST_F(Refusals, WithTheWindowsFolderTakingNoNewFileOptionsDefineTaskAndExitSave) {
    const fs::path tasks = Scratch() / "my tasks";
    fs::create_directories(tasks);
    fs::copy_file(Session::Get().ToolFile("probe.exe"), tasks / "probe task.exe");
    const std::string task = Wine().WindowsPath(tasks / "probe task.exe");
    WriteSettings(FirstRunFile("1"));
    const Immutable folder(Folder());
    const std::set<std::string> before = Beside();
    StartConsole();

    std::optional<OptionsDialog> dialog = OpenOptions();
    ASSERT_TRUE(dialog);
    ClickOption(*dialog, "Back - Minimized");
    ClickOn(dialog->OK());
    ASSERT_TRUE(WaitOptionsClosed());
    ASSERT_TRUE(WaitUntil([&] { return Inspect().Window(ConsoleWindow().hwnd)->enabled; }, 5s));

    ClickOn(Inspect().List(UserList()).entries.at(1).rect);
    ASSERT_TRUE(WaitUntil([&] { return Inspect().List(UserList()).selected == 1; }, 5s));
    DefineThroughDialog(task);
    // The list is rebuilt only after the write, and a box would hold it.
    ASSERT_TRUE(
        WaitUntil([&] { return Inspect().List(UserList()).entries.at(1).text == "User Task Two - " + task; }, 5s))
        << "the definition did not come through";
    const std::string defined = FirstRunFile("1", {{2, task}});
    EXPECT_EQ(Settings().value_or("(none)"), defined) << "the entry was not written at once";

    const std::optional<WindowInfo> menu = RightClickMenu(at::Surface());
    ASSERT_TRUE(menu);
    ClickOn(ExitEntry(*menu));
    EXPECT_EQ(ConsoleProcess().WaitExit(20s), 0) << "an Error box would have kept the console open";
    std::string exited = defined;
    exited.replace(exited.find("Program Run Method=1"), 20, "Program Run Method=6");
    EXPECT_EQ(Settings().value_or("(none)"), exited);
    EXPECT_EQ(Beside(), before) << "a file was left beside the settings";
}

}  // namespace
}  // namespace orvan::e2e
