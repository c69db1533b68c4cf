#pragma once
// The IO drivers, SDK and utility the vision software uses for digital input and output:
// five rows, each installed and removed on its own.
#include "pages/component_list_page.h"

class qnDInstallIOSystemInstallations : public qnDComponentListPage {
 public:
  enum : int { kInformation = 1007 };
  explicit qnDInstallIOSystemInstallations(const std::string& title);

  std::string information;

 protected:
  void onActivate() override;
};
