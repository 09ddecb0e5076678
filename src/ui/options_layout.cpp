#include "ui/options_layout.h"

namespace orvan::ui {

namespace {

const Font kDialogFont{"MS Sans Serif", 8, 400};

void MakeOption(OptionButton& option, const Frame& frame, const char* caption, const char* tip, float left, int top,
                int width, int tabIndex) {
    option.SetCaption(caption);
    option.SetToolTipText(tip);
    option.SetBackColor(kBlack);
    option.SetForeColor(kWhite);
    option.TabIndex = tabIndex;
    option.Place(left, top, width, 375);
    option.SetContainer(&frame);
}

void MakeLine(Line& line, const Frame& frame, int y) {
    line.SetEnds(120, y, 3240, y);
    line.SetBorderColor(OptionsLayout::kOrange);
    line.SetContainer(&frame);
}

}  // namespace

OptionsLayout::OptionsLayout()
    : Form("frmOptions"),
      fraLaunch(*this, "fraLaunch"),
      OK(*this, "OK"),
      Cancel(*this, "Cancel"),
      optNormBack(*this, "optNormBack"),
      optNormFront(*this, "optNormFront"),
      optMin(*this, "optMin"),
      optMax(*this, "optMax"),
      linOrvan{Line(*this, "linOrvan", 0), Line(*this, "linOrvan", 1)} {
    Border = BorderStyle::FixedDialog;
    ControlBox = false;
    SetBackColor(kBlack);
    SetForeColor(0xDB9400);
    SetTextFont(kDialogFont);
    SetPicture(PictureId::OptionsHeader);
    ClientLeft = 1650;
    ClientTop = 1515;
    ClientWidth = 5535;
    ClientHeight = 2175;

    fraLaunch.SetCaption("How Should Programs Be Run?");
    fraLaunch.SetBackColor(kBlack);
    fraLaunch.SetForeColor(kWhite);
    fraLaunch.Place(240, 720, 3375, 1335);

    DefineLabelButton(OK, "OK", 3720, 790, 1620);
    DefineLabelButton(Cancel, "Cancel", 3720, 1210, 1620);

    MakeOption(optNormBack, fraLaunch, "Back - Normal", "Will send application to back at standard size.", 120, 300,
               1455, 3);
    MakeOption(optNormFront, fraLaunch, "Front - Normal", "Will bring application to front at standard size.", 120, 780,
               1455, 2);
    MakeOption(optMin, fraLaunch, "Back - Minimized", "Will send application to back minimized.", 1680, 300, 1575, 1);
    MakeOption(optMax, fraLaunch, "Front - Maximized", "Will bring application to front maximized.", 1680, 780, 1575,
               0);
    optNormFront.SetValue(true);

    MakeLine(linOrvan[0], fraLaunch, 1200);
    MakeLine(linOrvan[1], fraLaunch, 240);

    Stack(OK);
    Stack(Cancel);
    Stack(linOrvan[0]);
    Stack(linOrvan[1]);

    AddWindowed(fraLaunch);
    for (OptionButton* o : {&optNormBack, &optNormFront, &optMin, &optMax}) AddWindowed(*o);
}

}  // namespace orvan::ui
