#pragma once
// The readme page: the suite's release notes, an RTF document on the server, shown in a
// rich text box. A writable installation fetches it anew on every start; otherwise the copy
// beside the installer serves.
#include <string>

#include "app/page_base.h"
#include "engine/component_entry.h"

class qnDInstallReleaseNotes : public qnDPropertyPageBase {
 public:
  enum : int { kReadme = 1135, kHint = 1007, kRefresh = 1134 };
  // What the rich text box reads of the local document at most.
  static constexpr uint64_t kMaxReadmeBytes = 32ull << 20;

  explicit qnDInstallReleaseNotes(const std::string& title);

  bool skipPage() override { return false; }
  bool skipInExtensionsOnlyMode() override { return false; }
  void refreshControls() override {}
  void initPageControls() override;
  bool onSetActive() override;
  void onCommand(int id) override;

  // Fetches the document (or keeps the local copy) and shows it: true when a local
  // document was there to show.
  bool refreshReadme(bool replaceExisting, bool showErrors);
  // The local document, beside the installer.
  std::string readmePath() const;

  std::string hint;

 private:
  EntryStrings strings_;
  ComponentEntry entry_;
};
