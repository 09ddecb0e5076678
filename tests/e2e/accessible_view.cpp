#include "accessible_view.h"

namespace orvan::e2e {

AccessibleInfo AccessibleInfo::From(const Record& r) {
    AccessibleInfo a;
    a.id = static_cast<int>(r.Int("id"));
    a.kind = r.Get("kind");
    a.role = r.Get("role");
    a.name = r.Get("name");
    a.description = r.Get("description");
    a.state = static_cast<std::uint32_t>(r.Int("state"));
    a.invisible = r.Flag("invisible");
    a.unavailable = r.Flag("unavailable");
    a.rect = r.RectOf("rect");
    a.action = r.Get("action");
    a.shortcut = r.Get("shortcut");
    a.hwnd = r.Handle("hwnd");
    return a;
}

std::vector<AccessibleInfo> AccessibleView::Tree() {
    std::vector<AccessibleInfo> tree;
    for (const Record& r : inspector_.Ask({"acc", std::to_string(window_)})) tree.push_back(AccessibleInfo::From(r));
    return tree;
}

std::vector<AccessibleInfo> AccessibleView::Children() {
    std::vector<AccessibleInfo> tree = Tree();
    if (!tree.empty()) tree.erase(tree.begin());
    return tree;
}

std::vector<AccessibleInfo> AccessibleView::Named(const std::string& name) {
    std::vector<AccessibleInfo> named;
    for (const AccessibleInfo& a : Children())
        if (a.name == name) named.push_back(a);
    return named;
}

std::optional<AccessibleInfo> AccessibleView::At(int x, int y) {
    const Inspector::Reply reply =
        inspector_.Send({"acc-hit", std::to_string(window_), std::to_string(x), std::to_string(y)});
    if (!reply.ok || reply.records.empty()) return std::nullopt;
    return AccessibleInfo::From(reply.records[0]);
}

std::optional<AccessibleInfo> AccessibleView::Navigate(int id, const std::string& direction) {
    const Inspector::Reply reply = inspector_.Send({"acc-nav", std::to_string(window_), std::to_string(id), direction});
    if (!reply.ok || reply.records.empty()) return std::nullopt;
    return AccessibleInfo::From(reply.records[0]);
}

std::string AccessibleView::Do(int id) {
    const Inspector::Reply reply = inspector_.Send({"acc-do", std::to_string(window_), std::to_string(id)});
    return reply.ok ? "" : reply.error;
}

std::string AccessibleView::Press(const std::string& name) {
    const Inspector::Reply reply = inspector_.Send({"acc-press", std::to_string(window_), name});
    return reply.ok ? "" : reply.error;
}

void AccessibleView::Hold() { inspector_.Ask({"acc-hold", std::to_string(window_)}); }

Record AccessibleView::Held() { return inspector_.Ask({"acc-held", std::to_string(window_)}).at(0); }

}  // namespace orvan::e2e
