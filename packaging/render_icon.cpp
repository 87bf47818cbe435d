// Build-time tool: writes the program's icon as PNG files for the desktop's icon theme.
//   kestrelon-render-icon FOLDER SIZE...   writes FOLDER/SIZExSIZE/apps/kestrelon.png
#include <QDir>
#include <QImage>
#include <QString>
#include <cstdio>
#include <cstdlib>

#include "ui/app_icon.h"

int main(int argc, char* argv[]) {
  if (argc < 3) {
    std::fputs("usage: kestrelon-render-icon FOLDER SIZE...\n", stderr);
    return 2;
  }
  const QString root = QString::fromLocal8Bit(argv[1]);
  for (int i = 2; i < argc; ++i) {
    const int size = std::atoi(argv[i]);
    const QString folder = root + QStringLiteral("/%1x%1/apps").arg(size);
    const QString file = folder + QStringLiteral("/kestrelon.png");
    if (size <= 0 || !QDir().mkpath(folder) ||
        !kestrelon::ui::KestrelonIconImage(size).save(file, "PNG")) {
      std::fprintf(stderr, "kestrelon-render-icon: cannot write %s\n", qPrintable(file));
      return 2;
    }
  }
  return 0;
}
