#pragma once
// The choice of the image library build the runtime loads: one button per variant, the IPP
// builds only when the IPP module is present.
#include "platform/ui/window.h"

class DPixlibVersionSelection : public ui::Window {
 public:
  static constexpr int kTemplateId = 154;
  enum : int {
    kIntel = 1168, kIntelIpp = 1169, kVisualC = 1171, kVisualCIpp = 1172, kBeta = 1173,
    kNotes = 1236, kSelect = 1, kCancel = 2,
  };

  DPixlibVersionSelection(int variant, bool ippPresent);

  // The variant chosen with Select (1 to 5); 0 after Cancel.
  int chosen() const { return chosen_; }

  void onInitDialog() override;
  void onCommand(int id) override;
  void onOK() override;

 private:
  int variant_;
  bool ippPresent_;
  int chosen_ = 0;
};
