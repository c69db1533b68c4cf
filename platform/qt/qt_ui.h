#pragma once
// The Qt renderer of the UI layer: one widget per control at the control's rectangle,
// kept in step with the model both ways. Holds no behaviour of the system's own.
#include <QImage>
#include <QObject>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "platform/ui/ui.h"

class QEventLoop;
class QFont;
class QTimer;
class QWidget;

namespace ui {
class PropertySheet;
}

namespace qtui {

class HelpBrowser;

// Converts the rich text of a control (RTF) to plain text for display.
std::string rtfToPlainText(const std::string& rtf);

class QtUi : public ui::Backend {
 public:
  // Build after the QApplication exists, on its thread.
  QtUi();
  ~QtUi() override;

  // Folder of the image resources ("191.png", "129.bmp", ...); searched before the
  // defaults: $CORVANTA_RES_DIR, then a "res" folder beside or above the executable.
  static void setResourceDir(const std::string& dir);
  // Path of the image resource with that name, or empty when there is none.
  static std::string findImage(const std::string& name);

  // Dialog base units of a font (set for the UI layer from the controls' font when the
  // renderer is built).
  static ui::BaseUnits baseUnitsOf(const QFont& font);

  // The window a model is shown in (a page: its sheet's window), or nullptr.
  QWidget* topLevel(ui::Window& w) const;
  // The widget of one control of a shown model (a page's control while it is active).
  QWidget* widget(ui::Window& w, int controlId) const;
  // The currently shown window as an image; null when w is not shown.
  QImage grab(ui::Window& w) const;
  bool saveScreenshot(ui::Window& w, const std::string& pngPath) const;

  // The page view of a help window that is shown, or nullptr.
  HelpBrowser* helpBrowser(const ui::Window& w) const;

  // Backend.
  int runModal(ui::Window& w) override;
  void showModeless(ui::Window& w) override;
  void hideModeless(ui::Window& w) override;
  void showHelp(ui::Window& w, const std::string& folder, const std::string& target) override;
  void changed(ui::Window& w, int controlId) override;
  int messageBox(ui::Window* owner, const std::string& text, const std::string& caption,
                 unsigned type) override;
  std::string browseForFolder(ui::Window* owner, const std::string& title) override;
  bool askCredentials(const std::string& server, std::string& user,
                      std::string& password) override;
  void post(std::function<void()> task) override;
  void startTimer(ui::Window& w, int id, int periodMs) override;
  void stopTimer(ui::Window& w, int id) override;
  void pump() override;

 private:
  struct View;
  View* open(ui::Window& w, bool modal);
  void close(ui::Window& w);
  View* viewOf(const ui::Window& w, bool* isPage) const;
  QWidget* makeWidget(View& v, ui::Window& model, const ui::Control& c, QWidget* parent);
  void apply(QWidget* widget, const ui::Control& c);
  void syncControl(View& v, ui::Window& model, int id);
  void rebuildPage(View& v);
  // Ends the loops of the modal runs whose window has ended.
  void checkEnded();
  bool onGuiThread() const;
  int messageBoxHere(ui::Window* owner, const std::string& text, const std::string& caption,
                     unsigned type);
  bool credentialsHere(const std::string& server, std::string& user, std::string& password);

  std::unique_ptr<QObject> dispatcher_;
  std::map<const ui::Window*, std::unique_ptr<View>> views_;
  // Help windows' page views (children of their windows' dialogs).
  std::map<const ui::Window*, HelpBrowser*> helps_;
  std::vector<std::pair<ui::Window*, QEventLoop*>> loops_;
  std::map<std::pair<const ui::Window*, int>, QTimer*> timers_;
  int applying_ = 0;  // widget signals caused by model updates are not user input
};

}  // namespace qtui
