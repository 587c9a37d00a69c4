#pragma once

#include <QDialog>

class QTextBrowser;

namespace qev {

// "はじめに": one page on how to study with the program: the line, the
// self-test, the record, finding and adding events, and every key.
class GettingStartedWindow final : public QDialog {
  Q_OBJECT
 public:
  explicit GettingStartedWindow(QWidget* mainWindow);

  // Shows the page from its top, within the screen.
  void Open();
  QString pageText() const;

 private:
  QTextBrowser* page_;
};

}  // namespace qev
