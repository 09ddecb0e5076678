// What the end-to-end tests change on the host to have the system refuse
// part of a save: an entry made immutable (no new name in a folder, no write
// to a file, not even for root; Wine reports it as access denied), a small
// tmpfs mounted over a folder (a full disk), a folder moved out of the way.
// Each is undone when its object goes, and RemoveTree undoes what a run that
// was killed part way left inside a tree before removing it, so no later run
// and no `rm -rf` meets an immutable folder or a mount.
#pragma once

#include <cstddef>
#include <filesystem>
#include <string>
#include <system_error>

namespace orvan::e2e {

// The immutable flag (chattr +i) on a folder or file. Throws
// std::runtime_error with the reason when it cannot be set (it takes root,
// and a file system that has the flag).
class Immutable {
public:
    explicit Immutable(std::filesystem::path path);
    ~Immutable();
    Immutable(const Immutable&) = delete;
    Immutable& operator=(const Immutable&) = delete;

private:
    std::filesystem::path path_;
};

// A tmpfs of `bytes` mounted over a folder, hiding what the folder holds
// until it is unmounted (lazily, should a process still hold a file there).
// Throws std::runtime_error with the reason when it cannot be mounted.
class SmallDisk {
public:
    SmallDisk(std::filesystem::path folder, std::size_t bytes);
    ~SmallDisk();
    SmallDisk(const SmallDisk&) = delete;
    SmallDisk& operator=(const SmallDisk&) = delete;

    // Takes every free block with one file of that name, so that not a
    // byte more can be stored.
    void Fill(const std::string& name);

private:
    std::filesystem::path folder_;
};

// A folder renamed to its name with ".away" added, and back when destroyed.
class MovedAway {
public:
    explicit MovedAway(std::filesystem::path path);
    ~MovedAway();
    MovedAway(const MovedAway&) = delete;
    MovedAway& operator=(const MovedAway&) = delete;

private:
    std::filesystem::path path_;
};

// Removes a tree after unmounting whatever is mounted inside it and, when
// that alone does not remove it, clearing the immutable flag of everything in
// it. `error` as std::filesystem::remove_all gives it.
void RemoveTree(const std::filesystem::path& root, std::error_code& error);

}  // namespace orvan::e2e
