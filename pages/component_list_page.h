#pragma once
// A wizard page that lists components: one row per entry of its install manager with the
// entry's name, state and progress and its Install and Uninstall buttons, the page's fixed
// texts and group boxes, an information text and a download button. The rows and their
// places are data (dialog units); what differs between pages is a few hooks.
#include <string>
#include <vector>

#include "app/page_base.h"
#include "engine/components.h"
#include "platform/ui/window.h"

// A place on the page in dialog units.
struct DluBox {
  int x, y, cx, cy;
};

struct ComponentRow {
  int entry;  // index in the page's manager
  int nameId, stateId, progressId;
  int installId = 0, uninstallId = 0;  // 0: the row has no such button
  int top = 0;                         // dialog units
  int infoId = 0;                      // an information icon before the name
  const char* infoTip = nullptr;
  int installX = 0;                    // dialog units; 0: the Install column
};

// Where a row's texts stand, in dialog units.
struct RowColumns {
  int nameX = 123, nameWidth = 180;
  int stateX = 307, stateWidth = 66;
  int progressX = 377, progressWidth = 68;
  int infoX = 0;
};

// A text of the template: a group box or a static text.
struct PageText {
  int id;
  ui::ControlKind kind;
  DluBox box;
  const char* text;  // null: bound to a page string instead
};

struct ComponentListLayout {
  int templateId;
  const char* headerTitle;
  const char* shortName;
  std::vector<PageText> texts;
  std::vector<ComponentRow> rows;
  int downloadId = qnDPropertyPageBase::kDownloadInstallablesId;
  int downloadTop = 0;  // dialog units
  const char* downloadTip = "Download Installables";
  const char* installTip = "Install";
  const char* uninstallTip = "Uninstall";
  bool checkWholeList = false;  // the Install buttons' repair prompt covers every entry
  RowColumns columns = {};
};

// A drop-down list of packages of which only one may be on the computer at a time: picking
// another asks before it replaces the installed one, "None" removes it.
struct ExclusiveChoice {
  static constexpr const char* kNone = "None";
  struct Option {
    std::string name;
    std::vector<int> installs;  // entries installed for it, in order
    int entry;                  // its own entry: removed with it, its state the status
  };
  int listId;
  std::vector<Option> options;  // the list shows them, then "None"
  const char* owner;            // class and method names for the debug lines
  const char* processName;
  const char* installName;
  std::string (*question)(const std::string& chosen);
  std::string installed = kNone;
};

class qnDComponentListPage : public qnDPropertyPageBase {
 public:
  // Columns of a row in dialog units; the image buttons stand where the pages put them
  // (674 and 700 pixels with the system's dialog font).
  static constexpr int kNameX = 123, kNameWidth = 180;
  static constexpr int kStateX = 307, kStateWidth = 66;
  static constexpr int kProgressX = 377, kProgressWidth = 68;
  static constexpr int kInstallX = 449, kUninstallX = 467, kDownloadX = 464;
  static constexpr int kButtonSize = 24;  // pixels, until the picture gives its own size

  qnDComponentListPage(const std::string& title, ComponentListLayout layout,
                       const std::vector<ComponentId>& components);

  bool skipPage() override { return false; }
  bool skipInExtensionsOnlyMode() override { return false; }
  void refreshControls() override;
  void initPageControls() override;
  bool onSetActive() override;
  void onCommand(int id) override;

  const ComponentListLayout& layout() const { return layout_; }
  ComponentState state(int entry) const;
  // The page's strings of one entry.
  const EntryStrings& strings(int entry) const { return strings_[entry]; }

 protected:
  // Wizard buttons, button 2 and the information text, before the base's activation steps.
  virtual void onActivate() = 0;
  // After the base's activation steps (selections that follow the states, warnings).
  virtual void afterActivate() {}
  // After an Install or Uninstall button's operation.
  virtual void afterRowCommand() {}
  // The page string a template text shows (texts declared without a fixed text).
  void bindPageText(int controlId, const std::string* text) { bindText(controlId, text); }
  void setWizard(unsigned buttons, const char* button2);
  bool allInstalled();
  // A status page holds the user until every entry is installed: Next only then, and the
  // page's text says which case it is. True when all are installed.
  bool updateHoldingStatus(std::string& text, const char* allInstalledText,
                           const char* missingText);

  void addImageButton(int id, int dluX, int dluTop, const char* image, const char* tip);

  void fillChoice(const ExclusiveChoice& choice);
  // Puts the list on the option named found ("None" when none is installed) and the status
  // text on its entry's state.
  void showChoice(ExclusiveChoice& choice, const std::string& found, std::string& status);
  // The rule on a selection change: true when it acted (the list is then shown again).
  bool processChoice(ExclusiveChoice& choice);

 private:
  void addRow(const ComponentRow& row);
  const ExclusiveChoice::Option* chosenOption(const ExclusiveChoice& choice, const char* method);

  ComponentListLayout layout_;
  std::vector<EntryStrings> strings_;
};
