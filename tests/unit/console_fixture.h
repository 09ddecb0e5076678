// A console on the fake platform, started the way the program starts it.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <optional>
#include <string>

#include "app/application.h"
#include "fakes/fake_platform.h"
#include "fakes/recording_peer.h"

namespace orvan::testing {

inline const std::string kIni = "C:\\Windows\\Orvan97.ini";

class ConsoleTest : public ::testing::Test {
protected:
    FakePlatform sys;
    RecordingWindows windows;
    RecordingPeer peer;
    std::unique_ptr<app::Application> application;

    void Start(std::optional<std::string> settings = std::nullopt) {
        if (settings) sys.files[kIni] = *settings;
        application = std::make_unique<app::Application>(sys, windows);
        application->Console().Attach(&peer);
        application->Start();
    }

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
