// A file-name box that takes local files dropped on it and refuses every other drop.
#pragma once

#include <QLineEdit>
#include <QStringList>

class QMimeData;

namespace kestrelon::ui {

class FileNameEdit : public QLineEdit {
  Q_OBJECT

 public:
  explicit FileNameEdit(QWidget* parent = nullptr);

  // The local files a drop carries, in the order of the drop; empty when it carries none.
  static QStringList DroppedFiles(const QMimeData* data);

 Q_SIGNALS:
  // Local files were dropped on the box; the box's own text is left to the receiver.
  void filesDropped(const QStringList& files);

 protected:
  void dragEnterEvent(QDragEnterEvent* event) override;
  void dragMoveEvent(QDragMoveEvent* event) override;
  void dropEvent(QDropEvent* event) override;
};

}  // namespace kestrelon::ui
