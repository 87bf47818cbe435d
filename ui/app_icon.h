// The program's icon, drawn at run time for the window and at build time for the desktop's
// icon theme.
#pragma once

#include <QIcon>
#include <QImage>

namespace kestrelon::ui {

// A sorted routing table: rows of lines with an arrow, in 32 x 32 and 16 x 16 pixels.
QIcon KestrelonIcon();

// The same picture in size x size pixels, on a transparent ground. Needs no application object.
QImage KestrelonIconImage(int size);

}  // namespace kestrelon::ui
