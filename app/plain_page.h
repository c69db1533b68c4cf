#pragma once
// A page that keeps its place, title and short name in the wizard but has no components
// of its own yet.
#include "app/page_base.h"

class qnDPlainPage : public qnDPropertyPageBase {
 public:
  qnDPlainPage(int templateId, const std::string& title, const std::string& headerTitle,
               const char* shortName, bool skipInExtensionsOnly)
      : qnDPropertyPageBase(templateId, title, headerTitle),
        skipInExtensionsOnly_(skipInExtensionsOnly) {
    shortName_ = shortName;
  }
  bool skipPage() override { return false; }
  bool skipInExtensionsOnlyMode() override { return skipInExtensionsOnly_; }
  void refreshControls() override {}
  void initPageControls() override {}
  // Nothing may carry over from the page before: a page of its own sets the buttons.
  bool onSetActive() override {
    if (sheet()) {
      sheet()->setWizardButtons(ui::PSWIZB_BACK | ui::PSWIZB_NEXT);
      sheet()->setButtonText(ui::ID_SHEET_CANCEL, "Cancel");
    }
    return qnDPropertyPageBase::onSetActive();
  }

 private:
  bool skipInExtensionsOnly_;
};

// Declares a page class of the wizard that is still a plain page.
#define CORVANTA_PLAIN_PAGE(Class, templateId, header, shortName, skipInExtensionsOnly) \
  class Class : public qnDPlainPage {                                                  \
   public:                                                                             \
    explicit Class(const std::string& title)                                           \
        : qnDPlainPage(templateId, title, header, shortName, skipInExtensionsOnly) {}  \
  }
