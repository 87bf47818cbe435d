#include "ui/file_name_edit.h"

#include <QDragEnterEvent>
#include <QDragMoveEvent>
#include <QDropEvent>
#include <QMimeData>
#include <QUrl>

namespace kestrelon::ui {

FileNameEdit::FileNameEdit(QWidget* parent) : QLineEdit(parent) {
  setAcceptDrops(true);
}

QStringList FileNameEdit::DroppedFiles(const QMimeData* data) {
  QStringList files;
  if (data == nullptr || !data->hasUrls()) {
    return files;
  }
  const QList<QUrl> urls = data->urls();
  for (const QUrl& url : urls) {
    if (url.isLocalFile()) {
      files.append(url.toLocalFile());
    }
  }
  return files;
}

// QLineEdit's own handlers would accept dragged text and insert it; only files are wanted here,
// and none while the box is read-only (a run is going on).
void FileNameEdit::dragEnterEvent(QDragEnterEvent* event) {
  if (isReadOnly() || DroppedFiles(event->mimeData()).isEmpty()) {
    event->ignore();
    return;
  }
  event->acceptProposedAction();
}

void FileNameEdit::dragMoveEvent(QDragMoveEvent* event) {
  if (isReadOnly() || DroppedFiles(event->mimeData()).isEmpty()) {
    event->ignore();
    return;
  }
  event->acceptProposedAction();
}

void FileNameEdit::dropEvent(QDropEvent* event) {
  const QStringList files = DroppedFiles(event->mimeData());
  if (isReadOnly() || files.isEmpty()) {
    event->ignore();
    return;
  }
  event->acceptProposedAction();
  Q_EMIT filesDropped(files);
}

}  // namespace kestrelon::ui
