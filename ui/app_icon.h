// The window's icon, drawn at run time in the two sizes the window system asks for.
#pragma once

#include <QIcon>

namespace kestrelon::ui {

// A sorted routing table: rows of lines with an arrow, in 32 x 32 and 16 x 16 pixels.
QIcon KestrelonIcon();

}  // namespace kestrelon::ui
