#pragma once
// The wizard sheet on a fresh machine with the scripted UI, for the page tests. The sheet is
// made on first use, so a test can prepare the machine before the pages read it.
#include <gtest/gtest.h>

#include <memory>

#include "app/installer_sheet.h"
#include "pages/wizard_pages.h"
#include "engine/app_context.h"
#include "platform/files.h"
#include "platform/ui/scripted_ui.h"
#include "tests/support/temp_machine.h"

class WizardFixture : public ::testing::Test {
 protected:
  void SetUp() override {
    ui::setBackend(&ui_);
    platform::files::createDirectory("C:\\Installer");
    appContext().applicationFolder = "C:\\Installer";
    appContext().isFolderWritable = true;
  }
  void TearDown() override {
    sheet_.reset();
    ui::setBackend(nullptr);
  }
  qnDPrismalSDKInstallerSheet& sheet() {
    if (!sheet_) {
      sheet_ = std::make_unique<qnDPrismalSDKInstallerSheet>(makeWizardPages);
      sheet_->beginShow();
    }
    return *sheet_;
  }
  template <class Page>
  Page& page(int index) {
    return *dynamic_cast<Page*>(sheet().page(index));
  }

  TempMachine machine_;
  ui::ScriptedUi ui_;
  std::unique_ptr<qnDPrismalSDKInstallerSheet> sheet_;
};
