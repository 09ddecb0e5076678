// What accessibility tools see of a window, asked of the inspector's acc
// commands (tools/inspector/accessibility.cpp).
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "windows_view.h"

namespace orvan::e2e {

// The client object of a window (kind "self"), or one of its children: an
// "element" the object describes by its id, or an "object" of its own (a
// native child window's).
struct AccessibleInfo {
    int id = 0;
    std::string kind;
    std::string role;  // pushbutton, statictext, graphic, client, window, ...
    std::string name;
    std::string description;
    std::uint32_t state = 0;
    bool invisible = false;
    bool unavailable = false;
    Rect rect;  // screen pixels
    std::string action;
    std::string shortcut;
    Hwnd hwnd = 0;  // the window of an object

    static AccessibleInfo From(const Record& record);
};

class AccessibleView {
public:
    AccessibleView(Inspector& inspector, Hwnd window) : inspector_(inspector), window_(window) {}

    // The object itself, then its children in order.
    std::vector<AccessibleInfo> Tree();
    std::vector<AccessibleInfo> Children();
    // The elements named so, in order.
    std::vector<AccessibleInfo> Named(const std::string& name);
    std::optional<AccessibleInfo> At(int x, int y);
    // From child `id` (0: the object) in a direction: up down left right next
    // previous first last.
    std::optional<AccessibleInfo> Navigate(int id, const std::string& direction);
    // The default action of child `id`; the inspector's error, "" when it
    // was done.
    std::string Do(int id);
    // The default action of the one child with that name; "" when done.
    std::string Press(const std::string& name);
    // Keeps the object in the inspector, to be asked after the window is gone.
    void Hold();
    // The result codes the kept object gives: count name location hit action.
    Record Held();

private:
    Inspector& inspector_;
    Hwnd window_;
};

}  // namespace orvan::e2e
