// Download error texts and the failure options dialog.
#include <gtest/gtest.h>

#include "platform/ui/scripted_ui.h"
#include "platform/win_types.h"
#include "runners/custom_exception.h"

namespace {

TEST(DownloadErrors, CodesGiveTheirTexts) {
  const std::pair<int, const char*> rows[] = {
      {-1001, "Error - Invalid URL"},
      {-1002, "Error - Server does not provide HTTP service"},
      {-1003, "Error - Login rejected by the server"},
      {-1004, "Error - Server Redirection"},
      {404, "Server responded with HTTP error - 404"},
      {307, "Server responded with HTTP error - 307"},
      {1, "Server responded with HTTP error - 1"},
      {0, "Unexpected error"},
      {-1005, "Unexpected error"},
      {-1000, "Unexpected error"},
  };
  for (auto [code, text] : rows) {
    SCOPED_TRACE(code);
    EXPECT_EQ(downloadErrorText(code), text);
    try {
      throwCustomException(code);
    } catch (const CCustomException& e) {
      EXPECT_EQ(e.code, code);
      EXPECT_STREQ(e.what(), text);
    }
  }
}

TEST(DownloadErrors, FailureOptionsGiveTheirChoice) {
  using D = DDownloadErrorHandlingOption;
  struct Row {
    int button;
    int choice;
    int result;
  };
  const Row rows[] = {{D::IDC_RETRY, D::kRetry, win::IDOK},
                      {D::IDC_IGNORE, D::kIgnore, win::IDOK},
                      {D::IDC_IGNORE_ALL, D::kIgnoreAll, win::IDOK},
                      {D::IDC_QUIT, D::kQuit, win::IDCANCEL},
                      {2, D::kQuit, win::IDCANCEL}};  // the close box
  ui::ScriptedUi scripted;
  ui::setBackend(&scripted);
  for (const Row& row : rows) {
    SCOPED_TRACE(row.button);
    scripted.clearHooks();
    int button = row.button;
    scripted.whenShown("Unabe to Download Component",
                       [button](ui::Window& w) { w.click(button); });
    D dialog;
    dialog.choice = 7;  // so that every button, the close box too, is seen to set it
    dialog.message = "Error - Unable to download the component 'x.exe'";
    EXPECT_EQ(dialog.doModal(), row.result);
    EXPECT_EQ(dialog.choice, row.choice);
  }
  EXPECT_TRUE(scripted.wasShown("Error - Unable to download the component 'x.exe'"));
  ui::setBackend(nullptr);
}

}  // namespace
