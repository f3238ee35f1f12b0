#include "checks/LumaImage.h"

#include <opencv2/imgproc.hpp>

namespace lumo::checks {

LumaImage lumaOf(const photo::BgrImage &photo, int maxHeight)
{
    if (photo.isEmpty())
        return {};
    cv::Mat bgr(photo.height(), photo.width(), CV_8UC3, const_cast<std::uint8_t *>(photo.bits()),
                std::size_t(photo.stride()));
    // A picture many times the wanted height is thinned to every n-th pixel first, keeping
    // twice the wanted height for the averaging: a large frame costs little more than a small one.
    if (const int step = maxHeight > 0 ? bgr.rows / (2 * maxHeight) : 0; step >= 2) {
        cv::Mat thinned;
        cv::resize(bgr, thinned, cv::Size(std::max(1, bgr.cols / step), bgr.rows / step), 0, 0,
                   cv::INTER_NEAREST);
        bgr = thinned;
    }
    cv::Mat grey;
    cv::cvtColor(bgr, grey, cv::COLOR_BGR2GRAY);
    if (maxHeight > 0 && grey.rows > maxHeight) {
        const int width = std::max(1, int(std::lround(double(grey.cols) * maxHeight / grey.rows)));
        cv::Mat smaller;
        cv::resize(grey, smaller, cv::Size(width, maxHeight), 0, 0, cv::INTER_AREA);
        grey = smaller;
    }
    LumaImage luma;
    luma.width = grey.cols;
    luma.height = grey.rows;
    luma.pixels.resize(std::size_t(grey.cols) * std::size_t(grey.rows));
    for (int y = 0; y < grey.rows; ++y)
        std::copy_n(grey.ptr<std::uint8_t>(y), grey.cols,
                    luma.pixels.data() + std::size_t(y) * grey.cols);
    return luma;
}

} // namespace lumo::checks
