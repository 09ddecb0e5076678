// A console on the fake platform, started the way the program starts it.
#pragma once

#include <gtest/gtest.h>

#include <array>
#include <memory>
#include <optional>
#include <string>

#include "app/application.h"
#include "fakes/fake_platform.h"
#include "fakes/recording_peer.h"

namespace orvan::testing {

inline const std::string kIni = "C:\\Windows\\Orvan97.ini";

// The DPIs a test of places runs at: each the pictures are made for, and
// one between them.
inline constexpr std::array<int, 5> kTestDpis = {96, 108, 120, 144, 192};

class ConsoleTest : public ::testing::Test {
protected:
    FakePlatform sys;
    RecordingWindows windows;
    RecordingPeer peer;
    std::unique_ptr<app::Application> application;
    // The DPI the windows are laid out at, as the front end chooses it.
    int dpi = ui::kBaseDpi;

    void Start(std::optional<std::string> settings = std::nullopt) {
        if (settings) sys.files[kIni] = *settings;
        application = std::make_unique<app::Application>(sys, windows);
        application->Console().SetScaling(ui::Scale(dpi));
        windows.scale = ui::Scale(dpi);
        application->Console().Attach(&peer);
        application->Start();
    }

    // A place the 96-DPI layout gives in pixels, at the test's DPI.
    int Scaled(int pixels) const { return ui::Scale(dpi).Pixels(pixels * 15.0); }
    std::pair<int, int> Scaled(std::pair<int, int> at) const { return {Scaled(at.first), Scaled(at.second)}; }

    app::frmOrvan97& Console() { return application->Console(); }
    settings::modIni& Ini() { return application->Ini(); }

    // A settings file with the run method and some user tasks.
    static std::string Settings(const std::string& runMethod, const std::string& tasks = "") {
        return "[Options]\r\nProgram Run Method=" + runMethod + "\r\n[User Tasks]\r\n" + tasks;
    }

    // The centre of a control, in client pixels.
    static std::pair<int, int> Centre(const ui::Control& control) {
        ui::Rect r = control.Bounds();
        return {(r.left + r.right) / 2, (r.top + r.bottom) / 2};
    }

    void ClickAt(ui::Form& form, std::pair<int, int> at) {
        form.PointerDown(ui::kLeftButton, 0, at.first, at.second, false);
        form.PointerUp(ui::kLeftButton, 0, at.first, at.second);
    }
};

}  // namespace orvan::testing
