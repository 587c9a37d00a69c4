#pragma once

#include <QDialog>
#include <QIcon>

namespace qev {

// The program's icon: a zigzag time line with a marked point.
QIcon ProgramIcon();

// The version box of the main menu.
class AboutDialog final : public QDialog {
  Q_OBJECT
 public:
  explicit AboutDialog(QWidget* parent = nullptr);
};

}  // namespace qev
