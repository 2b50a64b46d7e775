#pragma once
// Photo adjustments: colour effects, hue, colour controls, sharpness, blur,
// exposure and rotation, applied in that order to a copy of the image.

#include <QImage>

class ImageProcesser {
public:
    // grayscale, sepia, invrtclr: effects applied when set, in that order.
    // hue: angle in radians the colours turn around the grey axis (0 none).
    // sat, brt, con: saturation (1 none), brightness added (0 none),
    //   contrast around mid grey (1 none), applied together.
    // r: sharpness (0 none); b: blur radius in pixels (below 0.001 none;
    //   however large, it reaches no further than the image is long);
    // g: exposure in stops (0 none), applied in the order sharpness, blur,
    //   exposure.
    // rotate: degrees counter-clockwise, last; the image grows to hold the
    //   turned picture and the new corners are transparent.
    // tranprency is accepted but not applied.
    // A null image, or a failure on the way, gives a null image (the failure
    // is logged). With every value neutral the result has the same pixels as
    // the input.
    static QImage Get_Processed_Image(const QImage &image, bool grayscale, bool sepia, bool invrtclr, float hue,
                                      float sat, float brt, float con, int rotate, float r, float g, float b,
                                      float tranprency);
};
