#include "ui/console_layout.h"

#include "version.h"

namespace orvan::ui {

namespace {

const Font kWindowFont{"Tahoma", 8.25, 700};

void MakeCaption(Label& label, const char* caption, int top) {
    label.SetCaption(caption);
    label.SetTextFont(kWindowFont);
    label.SetForeColor(kLitColor);
    label.SetBackColor(kBlack);
    label.Place(2880, top, 9015, 255);
}

void MakeAboutLine(Label& label, const char* caption, int top, int width) {
    label.SetCaption(caption);
    label.SetTextFont(kWindowFont);
    label.SetForeColor(kLitColor);
    label.SetOpaque(false);
    label.Place(3000, top, width, 255);
    label.SetVisible(false);
}

void MakeList(ListBox& list, int top, int height, int tabIndex) {
    list.SetTextFont(kWindowFont);
    list.SetBackColor(kBlack);
    list.SetForeColor(kLitColor);
    list.TabIndex = tabIndex;
    list.Place(2880, top, 9015, height);
}

}  // namespace

ConsoleLayout::ConsoleLayout()
    : Form("frmOrvan97"),
      Edit(*this, "Edit"),
      Options(*this, "Options"),
      Windows(*this, "Windows"),
      User(*this, "User"),
      Define(*this, "Define"),
      lblWindows(*this, "lblWindows"),
      lblUser(*this, "lblUser"),
      lblAbout{Label(*this, "lblAbout", 0), Label(*this, "lblAbout", 2), Label(*this, "lblAbout", 3),
               Label(*this, "lblAbout", 4)},
      Image1(*this, "Image1"),
      Vostek(*this, "Vostek"),
      shpOrvan{Shape(*this, "shpOrvan", 21), Shape(*this, "shpOrvan", 22), Shape(*this, "shpOrvan", 12)},
      lstWindows(*this, "lstWindows", ListOrder::Sorted),
      lstUser(*this, "lstUser"),
      tmrAnimate(*this, "tmrAnimate") {
    SetCaption(ORVAN_CONSOLE_CAPTION);
    Border = BorderStyle::None;
    ControlBox = false;
    StartMaximized = true;
    SetBackColor(kBlack);
    SetForeColor(kIdleColor);
    SetTextFont(kWindowFont);
    SetPicture(PictureId::Background);
    ClientLeft = 1680;
    ClientTop = 1515;
    ClientWidth = 6330;
    ClientHeight = 5160;

    DefineLabelButton(Edit, "ORVAN Edit", kButtonStartLeft, 885, 2580);
    DefineLabelButton(Options, "Options", kButtonStartLeft, 1250, 2580);
    DefineLabelButton(Windows, "Execute Task", kButtonStartLeft, 4440, 2580);
    DefineLabelButton(User, "Execute Task", kButtonStartLeft, 6240, 2580);
    // The two "Execute Task" buttons share their caption; the list each
    // starts from tells them apart.
    Windows.AccessibleDescription = "Starts the selected Windows task";
    User.AccessibleDescription = "Starts the selected user task";
    DefineLabelButton(Define, "Define Task", kButtonStartLeft, 6600, 2580);

    MakeCaption(lblWindows, "Please select an Windows task to execute.", 4320);
    MakeCaption(lblUser, "Please select a user task to execute.", 6120);

    MakeAboutLine(lblAbout[0], "ORVAN 97 System Management Edition " ORVAN_VERSION, 840, 4935);
    MakeAboutLine(lblAbout[1], "Program Information:", 1440, 5055);
    MakeAboutLine(lblAbout[2], "Version: " ORVAN_VERSION, 1680, 5055);
    MakeAboutLine(lblAbout[3], "Revision: " ORVAN_REVISION_TEXT, 1920, 5055);

    Image1.SetPicture(PictureId::Title);
    Image1.Place(3105, 150, 1470, 420);
    Image1.AltText = "Orvan 97";
    Vostek.SetPicture(PictureId::Logo);
    Vostek.SetStretch(true);
    Vostek.SetEnabled(false);
    Vostek.Place(2880, 720, 8895, 2775);
    Vostek.AltText = "Vostek logo";

    shpOrvan[0].SetFigure(ShapeKind::Circle);
    shpOrvan[0].SetFillColor(kBlack);
    shpOrvan[0].Place(2760, 600, 375, 375);
    shpOrvan[1].SetFigure(ShapeKind::Rectangle);
    shpOrvan[1].SetFillColor(kIdleColor);
    shpOrvan[1].Place(2760, 600, 255, 255);
    shpOrvan[2].SetFigure(ShapeKind::Circle);
    shpOrvan[2].SetFillColor(kIdleColor);
    shpOrvan[2].Place(11400, 120, 495, 480);

    MakeList(lstWindows, 4560, 1395, 1);
    MakeList(lstUser, 6360, 1980, 0);

    tmrAnimate.SetInterval(250);

    cdbUserTasks.DialogTitle = "Orvan 97 User Tasks";
    cdbUserTasks.Filter = "Executables|*.exe|All Files|*.*";
    cdbUserTasks.DefaultExt = "*.exe";

    // Top of the stack first.
    Stack(Image1);
    Stack(Options);
    for (int i = 3; i >= 0; --i) Stack(lblAbout[static_cast<std::size_t>(i)]);
    Stack(Edit);
    Stack(Define);
    Stack(User);
    Stack(Windows);
    Stack(lblUser);
    Stack(lblWindows);
    Stack(Vostek);
    for (Shape& s : shpOrvan) Stack(s);

    AddWindowed(lstWindows);
    AddWindowed(lstUser);
    AddTimer(tmrAnimate);
}

}  // namespace orvan::ui
