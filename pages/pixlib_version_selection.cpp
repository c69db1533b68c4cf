#include "pages/pixlib_version_selection.h"

#include "engine/app_context.h"
#include "platform/ui/ui.h"
#include "platform/win_types.h"

namespace {

// The buttons in the order Select tests them; the variant is the position plus one.
constexpr int kByVariant[] = {DPixlibVersionSelection::kIntel, DPixlibVersionSelection::kIntelIpp,
                              DPixlibVersionSelection::kVisualC,
                              DPixlibVersionSelection::kVisualCIpp, DPixlibVersionSelection::kBeta};

}  // namespace

DPixlibVersionSelection::DPixlibVersionSelection(int variant, bool ippPresent)
    : ui::Window(kTemplateId, "Select Pixlib Version", ui::dluX(250), ui::dluY(150)),
      variant_(variant),
      ippPresent_(ippPresent) {}

void DPixlibVersionSelection::onInitDialog() {
  using ui::ControlKind;
  struct Choice {
    int id;
    const char* text;
  };
  const Choice choices[] = {{kVisualC, "Visual C Compiler DLL"},
                            {kIntel, "Intel Compiler DLL"},
                            {kVisualCIpp, "Visual C with IPP"},
                            {kIntelIpp, "Intel with IPP"},
                            {kBeta, "Visual C Beta DLL for test purposes"}};
  int top = 10;
  for (const Choice& c : choices) {
    addControl(c.id, ControlKind::RadioButton, ui::dluRect(14, top, 200, 11), c.text);
    top += 14;
  }
  show(kBeta, false);
  enable(kIntelIpp, ippPresent_);
  enable(kVisualCIpp, ippPresent_);
  addControl(kNotes, ControlKind::Static, ui::dluRect(14, 82, 222, 40),
             "Notes:\n(a) 'Visual C Compiler DLL' is the most robust and compatible DLL.\n(b) "
             "The 'Intel Compiler DLL' is faster but may have some incompatibility, hence it "
             "must be verified before using.\n(c) IPP speeds up image resampling (10x)");
  addControl(kSelect, ControlKind::Button, ui::dluRect(124, 128, 54, 14), "Select");
  addControl(kCancel, ControlKind::Button, ui::dluRect(184, 128, 54, 14), "Cancel");
  bool ippVariant = variant_ == 2 || variant_ == 4;
  if (variant_ >= 1 && variant_ <= 5 && (!ippVariant || ippPresent_))
    setCheck(kByVariant[variant_ - 1], 1);
}

void DPixlibVersionSelection::onCommand(int id) {
  // One choice at a time.
  for (int button : kByVariant)
    if (button != id && control(id) && control(id)->kind == ui::ControlKind::RadioButton)
      setCheck(button, 0);
  if (control(id) && control(id)->kind == ui::ControlKind::RadioButton) setCheck(id, 1);
}

void DPixlibVersionSelection::onOK() {
  for (int i = 0; i < 5; ++i)
    if (check(kByVariant[i])) {
      chosen_ = i + 1;
      endDialog(win::IDOK);
      return;
    }
  ui::messageBox(this, "Please select a version.", kInstallerCaption, win::MB_OK);
}
