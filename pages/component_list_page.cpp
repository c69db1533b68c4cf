#include "pages/component_list_page.h"

#include "engine/app_context.h"
#include "platform/debug.h"
#include "platform/ui/ui.h"
#include "platform/win_types.h"

qnDComponentListPage::qnDComponentListPage(const std::string& title, ComponentListLayout layout,
                                           const std::vector<ComponentId>& components)
    : qnDPropertyPageBase(layout.templateId, title, layout.headerTitle),
      layout_(std::move(layout)),
      strings_(components.size()) {
  shortName_ = layout_.shortName;
  std::vector<ComponentEntry> entries;
  entries.reserve(components.size());
  for (std::size_t i = 0; i < components.size(); ++i)
    entries.emplace_back(components[i], &strings_[i].name, &strings_[i].state,
                         &strings_[i].progress);
  std::vector<ComponentEntry*> pointers;
  for (auto& e : entries) pointers.push_back(&e);
  manager().setComponents(static_cast<unsigned>(pointers.size()), pointers.data());
  for (const ComponentRow& row : layout_.rows) {
    bindText(row.nameId, &strings_[row.entry].name);
    if (row.stateId) bindText(row.stateId, &strings_[row.entry].state);
    if (row.progressId) bindText(row.progressId, &strings_[row.entry].progress);
  }
}

ComponentState qnDComponentListPage::state(int entry) const {
  const ComponentEntry* e = const_cast<qnDComponentListPage*>(this)->manager().entry(entry);
  return e ? e->stateValue() : ComponentState::Unknown;
}

void qnDComponentListPage::addImageButton(int id, int x, int dluTop, const char* image,
                                          const char* tip) {
  int left = ui::dluX(x), top = ui::dluY(dluTop);
  auto& button = addControl(id, ui::ControlKind::ImageButton,
                            {left, top, left + kButtonSize, top + kButtonSize});
  button.image = image;
  button.tooltip = tip;
}

void qnDComponentListPage::addRow(const ComponentRow& row) {
  // Texts sit a little lower than the buttons of their row so both look centred.
  const int textTop = row.top + 3, textHeight = 10;
  const RowColumns& c = layout_.columns;
  if (row.infoId) {
    int left = ui::dluX(c.infoX), top = ui::dluY(row.top);
    auto& info = addControl(row.infoId, ui::ControlKind::ImageStatic,
                            {left, top, left + kButtonSize, top + kButtonSize});
    info.image = "206";
    info.tooltip = row.infoTip ? row.infoTip : "";
  }
  addControl(row.nameId, ui::ControlKind::Static,
             ui::dluRect(c.nameX, textTop, c.nameWidth, textHeight));
  if (row.stateId)
    addControl(row.stateId, ui::ControlKind::Static,
               ui::dluRect(c.stateX, textTop, c.stateWidth, textHeight));
  if (row.progressId)
    addControl(row.progressId, ui::ControlKind::Static,
               ui::dluRect(c.progressX, textTop, c.progressWidth, textHeight));
  if (row.installId)
    addImageButton(row.installId, row.installX ? row.installX : kInstallX, row.top, "191",
                   layout_.installTip);
  if (row.uninstallId)
    addImageButton(row.uninstallId, kUninstallX, row.top, "190", layout_.uninstallTip);
}

void qnDComponentListPage::initPageControls() {
  for (const PageText& t : layout_.texts)
    addControl(t.id, t.kind, ui::dluRect(t.box.x, t.box.y, t.box.cx, t.box.cy),
               t.text ? t.text : "");
  for (const ComponentRow& row : layout_.rows) addRow(row);
  addImageButton(layout_.downloadId, kDownloadX, layout_.downloadTop, "202",
                 layout_.downloadTip);
}

void qnDComponentListPage::refreshControls() {
  for (const ComponentRow& row : layout_.rows) {
    ComponentState s = state(row.entry);
    if (row.installId) enable(row.installId, s != ComponentState::Installed);
    if (row.uninstallId) enable(row.uninstallId, s != ComponentState::NotInstalled);
  }
}

bool qnDComponentListPage::onSetActive() {
  onActivate();
  show(layout_.downloadId, appContext().isFolderWritable);
  bool result = qnDPropertyPageBase::onSetActive();
  afterActivate();
  return result;
}

void qnDComponentListPage::onCommand(int id) {
  if (id == layout_.downloadId) {
    bool skipAllErrors = false;  // each press starts with "Ignore All" cleared
    runDownloadAllComponents(&skipAllErrors);
    return;
  }
  for (const ComponentRow& row : layout_.rows) {
    if (row.installId && id == row.installId) {
      runInstallComponents(row.entry, row.entry, layout_.checkWholeList);
      afterRowCommand();
      return;
    }
    if (row.uninstallId && id == row.uninstallId) {
      runUninstallComponents(row.entry, row.entry);
      afterRowCommand();
      return;
    }
  }
  qnDPropertyPageBase::onCommand(id);
}

void qnDComponentListPage::setWizard(unsigned buttons, const char* button2) {
  if (!sheet()) return;
  sheet()->setWizardButtons(buttons);
  sheet()->setButtonText(ui::ID_SHEET_CANCEL, button2);
}

bool qnDComponentListPage::allInstalled() {
  return manager().count() != 0 &&
         manager().updateComponentStates(0, static_cast<int>(manager().count()) - 1) == 1;
}

bool qnDComponentListPage::updateHoldingStatus(std::string& text, const char* allInstalledText,
                                               const char* missingText) {
  bool all = allInstalled();
  if (sheet()) sheet()->setWizardButtons(all ? ui::PSWIZB_BACK | ui::PSWIZB_NEXT : ui::PSWIZB_BACK);
  text = all ? allInstalledText : missingText;
  updateData();
  return all;
}

void qnDComponentListPage::fillChoice(const ExclusiveChoice& choice) {
  std::vector<std::string> items;
  for (const auto& option : choice.options) items.push_back(option.name);
  items.push_back(ExclusiveChoice::kNone);
  setItems(choice.listId, std::move(items));
}

void qnDComponentListPage::showChoice(ExclusiveChoice& choice, const std::string& found,
                                      std::string& status) {
  const auto* list = control(choice.listId);
  int index = -1;
  for (size_t i = 0; list && i < list->items.size() && index < 0; ++i)
    if (list->items[i] == found) index = static_cast<int>(i);
  setSelection(choice.listId, index);
  choice.installed = index >= 0 ? list->items[index] : ExclusiveChoice::kNone;
  status.clear();
  for (const auto& option : choice.options)
    if (option.name == choice.installed) status = "Status: " + strings(option.entry).state;
  updateData();
}

const ExclusiveChoice::Option* qnDComponentListPage::chosenOption(const ExclusiveChoice& choice,
                                                                  const char* method) {
  const auto* list = control(choice.listId);
  int index = selection(choice.listId);
  if (!list || index < 0 || index >= static_cast<int>(list->items.size())) {
    platform::debugOutput(std::string(choice.owner) + "::" + method +
                          " - Unable to get new selection\n");
    return nullptr;
  }
  for (const auto& option : choice.options)
    if (option.name == list->items[index]) return &option;
  return nullptr;  // "None"
}

bool qnDComponentListPage::processChoice(ExclusiveChoice& choice) {
  const ExclusiveChoice::Option* chosen = chosenOption(choice, choice.processName);
  const std::string name = chosen ? chosen->name : ExclusiveChoice::kNone;
  if (name == choice.installed) return false;
  auto uninstallCurrent = [&] {
    for (const auto& option : choice.options)
      if (option.name == choice.installed) runUninstallComponents(option.entry, option.entry);
  };
  // The list is read again: a question answered in between may have moved it.
  auto installNew = [&] {
    if (const auto* option = chosenOption(choice, choice.installName))
      runInstallSelectedComponents(option->installs.data(),
                                   static_cast<int>(option->installs.size()));
  };
  if (choice.installed != ExclusiveChoice::kNone && chosen) {
    if (ui::messageBox(this, choice.question(name), kInstallerCaption, win::MB_YESNO) ==
        win::IDYES) {
      uninstallCurrent();
      installNew();
    }
  } else if (choice.installed != ExclusiveChoice::kNone) {
    uninstallCurrent();
  } else {
    installNew();
  }
  return true;
}
