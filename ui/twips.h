// Twips (1/1440 inch) to device pixels and back, through a paint device's logical DPI.
#pragma once

class QPaintDevice;

namespace kestrelon::ui {

inline constexpr int kTwipsPerInch = 1440;

// Horizontal and vertical conversions use the matching logical DPI of the device.
int TwipsToPixelsX(const QPaintDevice& device, int twips);
int TwipsToPixelsY(const QPaintDevice& device, int twips);
int PixelsToTwipsX(const QPaintDevice& device, int pixels);
int PixelsToTwipsY(const QPaintDevice& device, int pixels);

}  // namespace kestrelon::ui
