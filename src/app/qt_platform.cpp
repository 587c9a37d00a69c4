#include "app/qt_platform.h"

#include <cstdio>

#include <QDateTime>
#include <QDialog>
#include <QDialogButtonBox>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QFormLayout>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QPushButton>
#include <QSignalBlocker>

#include <algorithm>

#include "events/slot_files.h"

namespace qev {
namespace {

QString FromUtf8(const std::string& text) {
  return QString::fromStdString(text);
}

}  // namespace

QtPlatform::QtPlatform(ViewWidget& view, QWidget* dialogParent)
    : view_(view),
      dialogParent_(dialogParent),
      viewCanvas_(view.backBuffer(), QRect(0, 0, view.layout().W, view.layout().H)),
      drawAreaCanvas_(view.backBuffer(),
                      QRect(view.layout().drawAreaX(), view.layout().drawAreaY(),
                            view.layout().drawAreaWidth(), view.layout().drawAreaHeight())),
      thumb_(view.scrollBar().value()),
      lastFolder_(QDir::currentPath()) {
  clock_.start();
}

PanelEdit& QtPlatform::Panel(InfoPanel panel) {
  return panel == InfoPanel::kLeft ? view_.leftPanel() : view_.rightPanel();
}

void QtPlatform::SetPanelText(InfoPanel panel, const Sjis& text) {
  QString shown = QString::fromStdString(DecodeCp932(PanelDisplayText(text)));
  shown.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
  Panel(panel).ShowText(shown);
}

Cp932Encoding QtPlatform::PanelText(InfoPanel panel) {
  // The edit gives its paragraphs (and line breaks typed inside one) as LF.
  QString text = Panel(panel).toPlainText();
  text.replace(QLatin1Char('\n'), QStringLiteral("\r\n"));
  return EncodeCp932(text.toStdString());
}

void QtPlatform::SetScrollThumb(int position) {
  QScrollBar& bar = view_.scrollBar();
  thumb_ = std::clamp(position, bar.minimum(), bar.maximum());
  ShowThumb();
}

void QtPlatform::ShowThumb() {
  // Moving the thumb from here is no scroll action: the bar's signals stay
  // quiet.
  QScrollBar& bar = view_.scrollBar();
  const QSignalBlocker quiet(bar);
  bar.setValue(thumb_);
}

LocalTime QtPlatform::Now() {
  const QDateTime now = QDateTime::currentDateTime();
  const QDate date = now.date();
  const QTime time = now.time();
  return {date.year(), date.month(), date.day(), time.hour(), time.minute(), time.second()};
}

std::optional<std::string> QtPlatform::FileDialog(FileDialogKind kind,
                                                  const std::string& initialPath) {
  const QString path = FromUtf8(initialPath);
  const QFileInfo info(path);
  // A bare file name opens in the folder last used: where the last dialog
  // was confirmed, or else where it opened.
  if (path.contains(QLatin1Char('/'))) lastFolder_ = info.absolutePath();
  const QString folder = lastFolder_;
  const QString fileName = info.fileName();

  std::optional<std::string> answer;
  if (!dialogAnswers.empty()) {
    dialogRequests.push_back({kind, folder, fileName});
    answer = dialogAnswers.front();
    dialogAnswers.pop_front();
  } else {
    QFileDialog dialog(dialogParent_);
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    if (kind == FileDialogKind::kOpen) {
      dialog.setAcceptMode(QFileDialog::AcceptOpen);
      dialog.setFileMode(QFileDialog::ExistingFile);
    } else {
      // Qt asks before overwriting an existing file.
      dialog.setAcceptMode(QFileDialog::AcceptSave);
      dialog.setFileMode(QFileDialog::AnyFile);
      // Picking a filter puts its extension into the name ("日本史.*");
      // the name goes back to ".txt", the only files read back. Queued, so
      // it runs after the dialog's own change of the name.
      QObject::connect(
          &dialog, &QFileDialog::filterSelected, &dialog,
          [&dialog] {
            auto* edit = dialog.findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
            if (edit == nullptr || edit->text().isEmpty()) return;
            const std::string name = edit->text().toStdString();
            if (SaveFileName(name) != name) {
              edit->setText(QFileInfo(edit->text()).completeBaseName() + QStringLiteral(".txt"));
            }
          },
          Qt::QueuedConnection);
    }
    dialog.setNameFilters({QStringLiteral("ﾃｷｽﾄ(*.txt)"), QStringLiteral("ﾍｯﾀﾞ(*.h)"),
                           QStringLiteral("ｿｰｽ(*.cpp)"), QStringLiteral("全て(*.*)")});
    dialog.setDefaultSuffix(QStringLiteral("txt"));
    dialog.setDirectory(folder);
    // A name that is not there would leave "Open" disabled until the user
    // clears it.
    if (kind == FileDialogKind::kSave || QFileInfo::exists(QDir(folder).filePath(fileName))) {
      dialog.selectFile(fileName);
    }
    if (dialog.exec() == QDialog::Accepted && !dialog.selectedFiles().isEmpty()) {
      answer = dialog.selectedFiles().first().toStdString();
    }
  }
  if (answer) lastFolder_ = QFileInfo(FromUtf8(*answer)).absolutePath();
  NoteUncovered();
  return answer;
}

MenuCommand QtPlatform::PopupMenu(const std::vector<MenuItem>& items, int x, int y) {
  const QPoint global = view_.mapToGlobal(QPoint(x, y));
  MenuCommand chosen = MenuCommand::kNone;
  if (!menuAnswers.empty()) {
    menuRequests.push_back({items, global});
    chosen = menuAnswers.front();
    menuAnswers.pop_front();
  } else {
    QMenu menu(&view_);
    for (const MenuItem& item : items) {
      menu.addAction(FromUtf8(item.text))->setData(static_cast<int>(item.command));
    }
    if (const QAction* action = menu.exec(global)) {
      chosen = static_cast<MenuCommand>(action->data().toInt());
    }
  }
  NoteUncovered();
  return chosen;
}

void QtPlatform::ShowMessage(const std::string& text, MessageKind kind) {
  if (unattended_) {
    std::fprintf(stderr, "%s\n", text.c_str());
    return;
  }
  if (!messageAnswers.empty()) {
    messageRequests.push_back(text);
    messageAnswers.pop_front();
  } else {
    QMessageBox box(
        kind == MessageKind::kInformation ? QMessageBox::Information : QMessageBox::Warning,
        QString(), FromUtf8(text), QMessageBox::Ok, dialogParent_);
    box.exec();
  }
  NoteUncovered();
}

bool QtPlatform::AskToSaveAnyway(const std::string& text) {
  bool save = false;
  if (!messageAnswers.empty()) {
    messageRequests.push_back(text);
    save = messageAnswers.front() == SaveAnswer::kSave;
    messageAnswers.pop_front();
  } else {
    QMessageBox box(QMessageBox::Warning, QString(), FromUtf8(text),
                    QMessageBox::Save | QMessageBox::Cancel, dialogParent_);
    box.setDefaultButton(QMessageBox::Cancel);
    box.setEscapeButton(QMessageBox::Cancel);
    save = box.exec() == QMessageBox::Save;
  }
  NoteUncovered();
  return save;
}

SaveAnswer QtPlatform::AskToSave(const std::string& text) {
  SaveAnswer answer = SaveAnswer::kCancel;
  if (!messageAnswers.empty()) {
    messageRequests.push_back(text);
    answer = messageAnswers.front();
    messageAnswers.pop_front();
  } else {
    QMessageBox box(QMessageBox::Question, QString(), FromUtf8(text),
                    QMessageBox::Save | QMessageBox::Discard | QMessageBox::Cancel, dialogParent_);
    box.button(QMessageBox::Save)->setText(QStringLiteral("保存"));
    box.button(QMessageBox::Discard)->setText(QStringLiteral("保存しない"));
    box.button(QMessageBox::Cancel)->setText(QStringLiteral("キャンセル"));
    box.setDefaultButton(QMessageBox::Save);
    box.setEscapeButton(QMessageBox::Cancel);
    switch (box.exec()) {
      case QMessageBox::Save:
        answer = SaveAnswer::kSave;
        break;
      case QMessageBox::Discard:
        answer = SaveAnswer::kDiscard;
        break;
      default:
        break;
    }
  }
  NoteUncovered();
  return answer;
}

ChangedFileAnswer QtPlatform::AskChangedFile(const std::string& text) {
  ChangedFileAnswer answer = ChangedFileAnswer::kCancel;
  if (!changedFileAnswers.empty()) {
    messageRequests.push_back(text);
    answer = changedFileAnswers.front();
    changedFileAnswers.pop_front();
  } else {
    QMessageBox box(QMessageBox::Warning, QString(), FromUtf8(text), QMessageBox::NoButton,
                    dialogParent_);
    QPushButton* overwrite =
        box.addButton(QStringLiteral("上書き保存"), QMessageBox::DestructiveRole);
    QPushButton* saveAs = box.addButton(QStringLiteral("別の名前で保存…"), QMessageBox::AcceptRole);
    QPushButton* cancel = box.addButton(QStringLiteral("キャンセル"), QMessageBox::RejectRole);
    box.setDefaultButton(cancel);
    box.setEscapeButton(cancel);
    box.exec();
    if (box.clickedButton() == overwrite) answer = ChangedFileAnswer::kOverwrite;
    if (box.clickedButton() == saveAs) answer = ChangedFileAnswer::kSaveAs;
  }
  NoteUncovered();
  return answer;
}

std::optional<NewFileAnswer> QtPlatform::AskNewFile(const NewFileAnswer& typed) {
  std::optional<NewFileAnswer> answer;
  if (!newFileAnswers.empty()) {
    answer = newFileAnswers.front();
    newFileAnswers.pop_front();
  } else {
    QDialog dialog(dialogParent_);
    dialog.setWindowTitle(QStringLiteral("新しいファイルを作る"));
    auto* name = new QLineEdit(FromUtf8(typed.name));
    name->setMinimumWidth(260);
    auto* title = new QLineEdit(FromUtf8(typed.title));
    title->setPlaceholderText(QStringLiteral("空ならファイル名"));
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    buttons->button(QDialogButtonBox::Cancel)->setText(QStringLiteral("キャンセル"));
    QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
    auto* form = new QFormLayout(&dialog);
    form->addRow(QStringLiteral("ファイル名 (.txt)"), name);
    form->addRow(QStringLiteral("タイトル"), title);
    form->addRow(buttons);
    name->setFocus();
    if (dialog.exec() == QDialog::Accepted) {
      answer = NewFileAnswer{name->text().toStdString(), title->text().toStdString()};
    }
  }
  NoteUncovered();
  return answer;
}

}  // namespace qev
