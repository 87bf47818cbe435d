#include "ui/twips.h"

#include <QPaintDevice>
#include <QtMath>

namespace kestrelon::ui {

namespace {

int Scale(int value, int numerator, int denominator) {
  return qRound(static_cast<double>(value) * numerator / denominator);
}

}  // namespace

int TwipsToPixelsX(const QPaintDevice& device, int twips) {
  return Scale(twips, device.logicalDpiX(), kTwipsPerInch);
}

int TwipsToPixelsY(const QPaintDevice& device, int twips) {
  return Scale(twips, device.logicalDpiY(), kTwipsPerInch);
}

int PixelsToTwipsX(const QPaintDevice& device, int pixels) {
  return Scale(pixels, kTwipsPerInch, device.logicalDpiX());
}

int PixelsToTwipsY(const QPaintDevice& device, int pixels) {
  return Scale(pixels, kTwipsPerInch, device.logicalDpiY());
}

}  // namespace kestrelon::ui
