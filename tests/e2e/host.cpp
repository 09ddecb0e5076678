#include "host.h"

#include <fcntl.h>
#include <linux/fs.h>
#include <sys/ioctl.h>
#include <sys/mount.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <vector>

namespace orvan::e2e {
namespace {

namespace fs = std::filesystem;

// 0, or the errno of the failing step.
int SetImmutable(const fs::path& path, bool on) {
    const int fd = open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOFOLLOW);
    if (fd < 0) return errno;
    int flags = 0;
    int error = ioctl(fd, FS_IOC_GETFLAGS, &flags) == 0 ? 0 : errno;
    const int wanted = on ? flags | FS_IMMUTABLE_FL : flags & ~FS_IMMUTABLE_FL;
    if (error == 0 && wanted != flags && ioctl(fd, FS_IOC_SETFLAGS, &wanted) != 0) error = errno;
    close(fd);
    return error;
}

// A mount point as /proc/self/mountinfo writes it: blanks, tabs, line ends
// and backslashes as three octal digits after a backslash.
std::string Unescape(const std::string& field) {
    std::string out;
    for (std::size_t i = 0; i < field.size(); ++i) {
        if (field[i] == '\\' && i + 3 < field.size()) {
            out += static_cast<char>(std::stoi(field.substr(i + 1, 3), nullptr, 8));
            i += 3;
        } else {
            out += field[i];
        }
    }
    return out;
}

// Every mount point inside root (root itself too), deepest first.
std::vector<fs::path> MountsUnder(const fs::path& root) {
    std::vector<fs::path> mounts;
    std::ifstream info("/proc/self/mountinfo");
    const std::string prefix = root.lexically_normal().string();
    for (std::string line; std::getline(info, line);) {
        std::istringstream fields(line);
        std::string id, parent, device, source, point;
        fields >> id >> parent >> device >> source >> point;
        const std::string path = Unescape(point);
        if (path == prefix || path.rfind(prefix + "/", 0) == 0) mounts.emplace_back(path);
    }
    std::sort(mounts.begin(), mounts.end(),
              [](const fs::path& a, const fs::path& b) { return a.string().size() > b.string().size(); });
    return mounts;
}

void ClearImmutableUnder(const fs::path& root) {
    std::error_code error;
    SetImmutable(root, false);
    for (fs::recursive_directory_iterator it(root, fs::directory_options::skip_permission_denied, error), end;
         !error && it != end; it.increment(error)) {
        if (!it->is_symlink(error)) SetImmutable(it->path(), false);
    }
}

}  // namespace

Immutable::Immutable(fs::path path) : path_(std::move(path)) {
    if (const int error = SetImmutable(path_, true))
        throw std::runtime_error("cannot make " + path_.string() +
                                 " immutable (chattr +i, which takes root): " + std::strerror(error));
}

Immutable::~Immutable() { SetImmutable(path_, false); }

SmallDisk::SmallDisk(fs::path folder, std::size_t bytes) : folder_(std::move(folder)) {
    const std::string options = "size=" + std::to_string(bytes) + ",mode=0755";
    if (mount("tmpfs", folder_.c_str(), "tmpfs", MS_NOSUID | MS_NODEV, options.c_str()) != 0)
        throw std::runtime_error("cannot mount a tmpfs over " + folder_.string() +
                                 " (which takes root): " + std::strerror(errno));
}

SmallDisk::~SmallDisk() { umount2(folder_.c_str(), MNT_DETACH); }

void SmallDisk::Fill(const std::string& name) {
    const int fd = open((folder_ / name).c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd < 0) throw std::runtime_error("cannot fill " + folder_.string() + ": " + std::strerror(errno));
    const std::vector<char> block(4096, '\0');
    while (write(fd, block.data(), block.size()) > 0) {
    }
    const int error = errno;
    close(fd);
    if (error != ENOSPC) throw std::runtime_error("filling " + folder_.string() + " stopped: " + std::strerror(error));
}

MovedAway::MovedAway(fs::path path) : path_(std::move(path)) {
    fs::rename(path_, path_.string() + ".away");  // throws with the reason
}

MovedAway::~MovedAway() {
    std::error_code error;
    fs::rename(path_.string() + ".away", path_, error);
}

void RemoveTree(const fs::path& root, std::error_code& error) {
    for (const fs::path& mount : MountsUnder(root)) umount2(mount.c_str(), MNT_DETACH);
    error.clear();
    fs::remove_all(root, error);
    if (!error) return;
    ClearImmutableUnder(root);
    error.clear();
    fs::remove_all(root, error);
}

}  // namespace orvan::e2e
