#pragma once

#include <QDialog>
#include <QString>

#include <optional>
#include <utility>
#include <vector>

#include "events/event_form.h"
#include "text/cp932.h"

class QCheckBox;
class QComboBox;
class QGroupBox;
class QLineEdit;
class QSpinBox;

namespace qev {

// The dialog of できごとを追加 and できごとを編集: the file, both dates,
// the texts and the two levels of one event. OK is taken only when the
// event line can be written; otherwise the message names the field, which
// gets the focus, and the dialog stays open.
class EventDialog final : public QDialog {
  Q_OBJECT
 public:
  // `files`: the slots that can take the event (slot, label); `file` the one
  // chosen first. `editedLine`: the line an edit rewrites (the file is then
  // fixed), nothing for a new event.
  EventDialog(const std::vector<std::pair<int, QString>>& files, int file, const EventForm& form,
              std::optional<Sjis> editedLine, QWidget* parent);

  int file() const;
  EventForm form() const;
  // The line OK accepted.
  const Sjis& line() const { return line_; }

  void accept() override;

 private:
  QWidget* FieldWidget(FormField field) const;

  QComboBox* file_;
  QComboBox* era_;
  QSpinBox* year_;
  QCheckBox* approximate_;
  QGroupBox* second_;
  QComboBox* secondEra_;
  QSpinBox* secondYear_;
  QCheckBox* secondApproximate_;
  QLineEdit* period_;
  QLineEdit* event_;
  QLineEdit* memo1_;
  QLineEdit* memo2_;
  QComboBox* importance_;
  QComboBox* memorisation_;
  std::optional<Sjis> editedLine_;
  Sjis line_;
};

}  // namespace qev
