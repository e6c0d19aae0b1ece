#include "htmlview/PageResources.h"

#include <QFile>
#include <QFileInfo>
#include <QImage>

#include "dictionary/DataFileLocation.h"

namespace {

// Far more than the logo; a larger file there is not ours.
constexpr qint64 kMaxLogoSize = 1 << 20;

// An image of one clear pixel: Qt goes to the file system itself for an image that comes back null.
QImage Nothing() {
  QImage clear(1, 1, QImage::Format_ARGB32);
  clear.fill(Qt::transparent);
  return clear;
}

QImage Logo(const QStringList& folders) {
  if (folders.isEmpty()) return Nothing();
  const QFileInfo file(folders.front() + u'/' + QLatin1StringView(kLogoFile));
  // Only a plain file is opened: a FIFO would block, a device would never end.
  if (!file.isFile() || file.size() > kMaxLogoSize) return Nothing();
  QFile logo(file.filePath());
  if (!logo.open(QIODevice::ReadOnly)) return Nothing();
  const QImage image = QImage::fromData(logo.read(kMaxLogoSize));
  return image.isNull() ? Nothing() : image;
}

}  // namespace

QVariant ProgramResource(int type, const QUrl& name, const QStringList& folders) {
  if (type == QTextDocument::ImageResource) {
    return name.toString() == QLatin1StringView(kLogoFile) ? Logo(folders) : Nothing();
  }
  return QString();
}
