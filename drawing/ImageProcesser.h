#pragma once
// Photo adjustments: colour effects, hue, colour controls, sharpness, blur,
// exposure and rotation, applied in that order to a copy of the image. Runs
// on any thread: it reads nothing but its arguments.

#include "platform/Image.h"

#include <QImage>

namespace drawing {

// The adjustments of one photo, at neutral values unless set.
// hue: angle in radians the colours turn around the grey axis (0 none).
// saturation, brightness, contrast: saturation (1 none), brightness added
//   (0 none), contrast around mid grey (1 none), applied together.
// sharpness (0 none); blur: radius in pixels (below 0.001 none; however
//   large, it reaches no further than the image is long); exposure in stops
//   (0 none); applied in the order sharpness, blur, exposure.
// rotate: degrees counter-clockwise, whole degrees, last; the image grows to
//   hold the turned picture and the new corners are transparent.
// transparency is kept with the photo but not applied.
struct PhotoAdjustments {
    float rotate = 0, transparency = 100, hue = 0, saturation = 1, brightness = 0, contrast = 1;
    float sharpness = 0, exposure = 0, blur = 0;
    bool grayScale = false, sepia = false, invert = false;
    bool operator==(const PhotoAdjustments &) const = default;
};

// The photo with `adjustments` applied to its own pixels (a vector picture
// drawn at 144 dpi first), shown at the photo's scale: a turned photo grows
// in points as it grows in pixels. A null photo comes back as it is (with
// why it could not be read); a failed adjustment gives a null image.
platform::Image adjustedPhoto(const platform::Image &photo, const PhotoAdjustments &adjustments);

} // namespace drawing

class ImageProcesser {
public:
    // The image with `adjustments` applied. A null image, or a failure on the
    // way, gives a null image (the failure is logged). With every value
    // neutral the result has the same pixels as the input.
    static QImage Get_Processed_Image(const QImage &image, const drawing::PhotoAdjustments &adjustments);

    // The same with the adjustments one by one: grayscale, sepia, invrtclr
    // the effects, r sharpness, g exposure, b blur.
    static QImage Get_Processed_Image(const QImage &image, bool grayscale, bool sepia, bool invrtclr, float hue,
                                      float sat, float brt, float con, int rotate, float r, float g, float b,
                                      float tranprency)
    {
        return Get_Processed_Image(image, {float(rotate), tranprency, hue, sat, brt, con, r, g, b, grayscale, sepia,
                                           invrtclr});
    }
};
