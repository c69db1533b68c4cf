#pragma once
// The runtime's optional image processing speed-ups: the IPP module, installed as a
// component, and the build of the image library the runtime loads, switched by copying
// one variant's files over the active ones.
#include "pages/component_list_page.h"

class qnDInstallModules : public qnDComponentListPage {
 public:
  enum : int {
    kIppName = 1143, kIppState = 1144, kIppProgress = 1145, kInstallIpp = 1141,
    kRemoveIpp = 1142, kIppNote = 1148, kVariantText = 1149, kStatusText = 1150, kChange = 1151,
    kInformation = 1007,
  };
  // The variant folders below "3.2.1.158" in the runtime folder, by variant number (0 is
  // none of them) and their texts.
  static const char* const kVariantFolders[6];
  static const char* const kVariantTexts[6];

  explicit qnDInstallModules(const std::string& title);

  void initPageControls() override;
  void onCommand(int id) override;
  long onWizardNext() override;
  bool onQueryCancel() override;

  void evaluatePixlibVariant();
  void changePixlibVariant();
  int activeVariant() const { return variant_; }

  std::string information, ippNote, variantText = "Default", statusText;

 protected:
  void onActivate() override;
  void afterActivate() override { evaluatePixlibVariant(); }

 private:
  bool runtimeInstalled();
  bool runtimeFolder(std::string& folder);
  void warnUnlessOk();

  int variant_ = 0;
};
