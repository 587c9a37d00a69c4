#pragma once

#include <QDialog>

class QTextBrowser;

namespace qev {

// "はじめに": one page on how to study with the program: the line, the
// self-test, the record, finding and adding events, and every key.
class GettingStartedWindow final : public QDialog {
  Q_OBJECT
 public:
  // `screen`: the size of the screen the program is laid out for.
  GettingStartedWindow(QWidget* mainWindow, QSize screen);

  // Shows the page from its top, within the screen.
  void Open();
  QString pageText() const;

 private:
  QSize screen_;
  QTextBrowser* page_;
};

}  // namespace qev
