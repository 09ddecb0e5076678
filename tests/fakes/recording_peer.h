// A window peer and window system that record what the core asks of the
// windowing system, and answer popup menus from a script.
#pragma once

#include <deque>
#include <functional>
#include <string>
#include <vector>

#include "ui/controls.h"
#include "ui/form.h"
#include "ui/peer.h"

namespace orvan::testing {

class RecordingPeer : public ui::WindowPeer {
public:
    std::vector<ui::Rect> invalidated;
    int updates = 0;
    std::function<void()> onUpdate;  // runs at every UpdateNow
    std::vector<std::string> listCalls;
    std::vector<bool> enabledChanges;
    std::vector<std::string> mirrored;  // the windowed controls shown anew, by name
    int formChanges = 0;
    int timerChanges = 0;
    std::vector<std::vector<ui::MenuItem>> menus;
    std::vector<std::pair<int, int>> menuPoints;
    std::deque<int> menuAnswers;  // empty: the menu is dismissed

    void Invalidate(const ui::Rect& rect) override { invalidated.push_back(rect); }
    void UpdateNow() override {
        ++updates;
        if (onUpdate) onUpdate();
    }
    void ControlChanged(const ui::Control& control, const ui::Change& change) override {
        static const char* const kListCalls[] = {nullptr, " insert ", " remove ", " select "};
        if (change.what == ui::Change::Look) mirrored.push_back(control.Name());
        if (change.what == ui::Change::Timing) ++timerChanges;
        if (change.what >= ui::Change::Inserted && change.what <= ui::Change::Selected)
            listCalls.push_back(control.Name() + kListCalls[change.what] + std::to_string(change.index));
    }
    void FormChanged() override { ++formChanges; }
    void EnabledChanged(bool enabled) override { enabledChanges.push_back(enabled); }
    int PopupMenu(const std::vector<ui::MenuItem>& items, int x, int y) override {
        menus.push_back(items);
        menuPoints.emplace_back(x, y);
        if (menuAnswers.empty()) return 0;
        int answer = menuAnswers.front();
        menuAnswers.pop_front();
        return answer;
    }
};

// A canvas that records what is drawn: the kind of each call and where.
class RecordingCanvas : public ui::Canvas {
public:
    std::vector<std::string> calls;

    void FillRect(const ui::Rect& rect, ui::Color) override { calls.push_back("fill " + Where(rect)); }
    void FillEllipse(const ui::Rect& rect, ui::Color) override { calls.push_back("ellipse " + Where(rect)); }
    void DrawLine(int x1, int y1, int x2, int y2, ui::Color) override {
        calls.push_back("line " + Where({x1, y1, x2, y2}));
    }
    void DrawText(const ui::Rect&, const std::string& text, const ui::Font&, ui::Color, ui::Align) override {
        calls.push_back("text " + text);
    }
    void DrawPicture(ui::PictureId picture, const ui::Rect& rect, bool) override {
        calls.push_back("picture " + std::to_string(static_cast<int>(picture)) + " " + Where(rect));
    }

private:
    static std::string Where(const ui::Rect& r) {
        return std::to_string(r.left) + "," + std::to_string(r.top) + "," + std::to_string(r.right) + "," +
               std::to_string(r.bottom);
    }
};

class RecordingWindows : public ui::WindowSystem {
public:
    struct Event {
        std::string what;
        std::string form;
    };
    std::vector<Event> events;
    std::vector<ui::Form*> open;
    ui::Scale scale;  // what a window opened is laid out at

    void Open(ui::Form& form, bool visible) override {
        form.SetScaling(scale);
        events.push_back({visible ? "open shown" : "open hidden", form.Name()});
        open.push_back(&form);
    }
    void Close(ui::Form& form) override {
        events.push_back({"close", form.Name()});
        std::erase(open, &form);
    }
    void BringToFront(ui::Form& form) override { events.push_back({"front", form.Name()}); }
};

}  // namespace orvan::testing
