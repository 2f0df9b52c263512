// How large the iris comes out on a layer. The drawing and the defocus margins both take it from here:
// margins smaller than the drawn iris let the blur wrap round the frame onto the opposite edge.
#pragma once

#include <cstdint>
#include <optional>

namespace nb {

// Every blade shape lies within this ellipse: horizontal radius rx, vertical radius q·rx, in pixels of
// the layer's resolution.
struct Iris_Ellipse {
    double rx = 0.0;
    double q = 1.0;  // vertical over horizontal radius, at least 0.05
};

// The ellipse for an iris of `radius` full-resolution pixels squeezed by `aspect` (0 round, positive
// wider, negative taller) on a layer of the given pixel aspect and resolution factors. Nothing when the
// settings describe no drawable iris: a radius that is negative or not a number, or an aspect or pixel
// aspect that turns the horizontal radius negative or either radius infinite.
std::optional<Iris_Ellipse> iris_ellipse(float radius, float aspect, float pixel_aspect, float horizontal_factor,
                                         float vertical_factor);

// Layer pixels of an iris image per output pixel, across (x) and down (y).
struct Iris_Image_Zoom {
    double x = 0.0;
    double y = 0.0;

    // Zooms that are not positive and finite (zero resolution factors or pixel aspects) describe no
    // image: nothing is drawn, and nothing reached.
    bool drawable() const;
};

// An iris image is scaled so that its shorter side, in full-resolution pixels, spans 2·radius + 1;
// across, the two layers' pixel aspects are taken into account as well.
Iris_Image_Zoom iris_image_zoom(int64_t width, int64_t height, float horizontal_factor, float vertical_factor,
                                float pixel_aspect, float radius, float out_pixel_aspect);

}  // namespace nb
