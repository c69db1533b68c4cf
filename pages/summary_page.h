#pragma once
// The end of the installation part of the wizard: links that start the installed programs
// and open their documentation.
#include <string>

#include "app/page_base.h"

class qnDInstallSummaryCorvanta : public qnDPropertyPageBase {
 public:
  enum : int { kInformation = 1098 };
  // A link: its control, its text, where it leads below which folder, and how it starts.
  struct Link {
    int id;
    const char* text;
    bool inRuntime;         // else in the vision software's folder
    const char* target;     // appended to the folder as it is
    const char* workingIn;  // the working folder, likewise
    bool program;           // started outside the wizard's rights; else opened by the shell
  };
  static const Link kLinks[11];

  explicit qnDInstallSummaryCorvanta(const std::string& title);

  bool skipPage() override { return false; }
  bool skipInExtensionsOnlyMode() override { return false; }
  void refreshControls() override {}
  void initPageControls() override;
  bool onSetActive() override;
  void onNotify(int id, ui::Event event) override;

  // Starts a link's target; false when it could not (the reason was shown).
  bool openLink(const Link& link);
  const std::string& runtimeFolder() const { return runtime_; }
  const std::string& visionFolder() const { return vision_; }
  std::string information;

 private:
  void readFolders();

  std::string runtime_, vision_;
};
