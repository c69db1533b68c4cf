#pragma once
// Python 2.7 and the extension packages the vision software and its demo profiles need:
// the first page installs them in groups and offers one of two OpenCV builds, the second
// holds six further packages, each on its own.
#include "pages/component_list_page.h"

class qnDInstallPY27Extensions : public qnDComponentListPage {
 public:
  enum : int {
    kInstall2D = 1029, kUninstall2D = 1108, kInstall3D = 1030, kUninstall3D = 1109,
    kInstallMySql = 1038, kUninstallMySql = 1110, kOpenCvList = 1237, kOpenCvStatus = 1036,
    kInformation = 1007,
  };
  static constexpr const char* kOpenCv249 = "OpenCV 2.4.9 (Python 27)";
  static constexpr const char* kOpenCv300 = "OpenCV 3.0.0";
  static constexpr const char* kNone = "None";

  explicit qnDInstallPY27Extensions(const std::string& title);

  void initPageControls() override;
  void refreshControls() override;
  void onCommand(int id) override;
  void onNotify(int id, ui::Event event) override;

  // Keeps the runtime's private python27.dll out of the way of a system-wide Python 2.7:
  // 1 done, -1 no runtime folder, -2 the rename failed.
  int updatePythonDllName(bool showMessages);
  void updateOpenCVSelection();
  int processNewOpenCV2XExtInstallation();

  const std::string& installedOpenCv() const { return openCv_.installed; }
  std::string information;
  std::string openCvStatus;

 protected:
  void onActivate() override;
  void afterActivate() override;

 private:
  bool anyStateIsNot(std::initializer_list<int> entries, ComponentState state) const;

  ExclusiveChoice openCv_;
};

class qnDInstallPY27Extensions2 : public qnDComponentListPage {
 public:
  enum : int { kInformation = 1007 };
  explicit qnDInstallPY27Extensions2(const std::string& title);

  std::string information;

 protected:
  void onActivate() override;
  void afterActivate() override {}
};
