#include "checks/PhotoMeasures.h"

#include <opencv2/imgproc.hpp>

#include <cmath>

namespace lumo::checks {

namespace {

cv::Mat matOf(const LumaImage &image)
{
    return cv::Mat(image.height, image.width, CV_8UC1,
                   const_cast<std::uint8_t *>(image.pixels.data()));
}

cv::Rect inside(const LumaImage &image, const QRect &r)
{
    return cv::Rect(r.x(), r.y(), r.width(), r.height()) &
           cv::Rect(0, 0, image.width, image.height);
}

// The middle of a face box: cheeks, nose, eyes and mouth, without hair or background.
cv::Rect skinOf(const LumaImage &image, const QRect &face)
{
    const int dx = face.width() / 4, dy = face.height() / 5;
    return inside(image, face.adjusted(dx, dy, -dx, -dy / 2));
}

} // namespace

double sharpnessOf(const LumaImage &image, const QRect &face)
{
    const cv::Rect area = inside(image, face);
    if (area.width < 8 || area.height < 8)
        return 0;
    // 96 pixels across: a registry photo's face box is bigger, so its detail survives, and
    // a live frame's smaller face is not favoured by having fewer pixels.
    cv::Mat fixed, laplacian;
    cv::resize(matOf(image)(area), fixed, cv::Size(96, 96), 0, 0, cv::INTER_AREA);
    cv::Laplacian(fixed, laplacian, CV_32F);
    cv::Scalar mean, deviation, lapMean, lapDeviation;
    cv::meanStdDev(fixed, mean, deviation);
    cv::meanStdDev(laplacian, lapMean, lapDeviation);
    const double contrast = std::max(deviation[0], 8.0);
    return lapDeviation[0] * lapDeviation[0] / contrast;
}

FaceLight faceLightOf(const LumaImage &image, const QRect &face)
{
    const cv::Rect area = skinOf(image, face);
    if (area.empty())
        return {};
    const cv::Mat skin = matOf(image)(area);
    FaceLight light;
    light.mean = cv::mean(skin)[0];
    light.clipped = double(cv::countNonZero(skin >= 250)) / double(area.area());
    int histogram[256] = {};
    for (int y = 0; y < skin.rows; ++y)
        for (int x = 0; x < skin.cols; ++x)
            ++histogram[skin.at<std::uint8_t>(y, x)];
    int level = 255;
    for (int above = 0; level > 0 && (above += histogram[level]) * 10 < area.area();)
        --level;
    light.highlight = level;
    return light;
}

BackgroundLook backgroundOf(const LumaImage &image, const QRectF &head)
{
    const cv::Mat grey = matOf(image);
    const int bottom = std::clamp(int(head.top() + head.height() * 0.55), 0, image.height);
    if (bottom < 4)
        return {};
    cv::Mat mask(bottom, image.width, CV_8UC1, cv::Scalar(255));
    // Hair and ears reach past the estimate; the ellipse is widened for them.
    const cv::Point2f centre(float(head.center().x()), float(head.center().y()));
    cv::ellipse(mask,
                cv::RotatedRect(
                    centre, cv::Size2f(float(head.width() * 1.2), float(head.height() * 1.15)), 0),
                cv::Scalar(0), cv::FILLED);
    // Away from the photo's border, where a camera's frame may be cut.
    cv::rectangle(mask, cv::Rect(0, 0, image.width, bottom), cv::Scalar(0), 2);
    const int counted = cv::countNonZero(mask);
    BackgroundLook look;
    look.share = double(counted) / (double(image.width) * image.height);
    if (counted < 100)
        return look;
    const cv::Mat area = grey(cv::Rect(0, 0, image.width, bottom));
    cv::Scalar mean, deviation;
    cv::meanStdDev(area, mean, deviation, mask);
    look.mean = mean[0];
    look.spread = deviation[0];
    return look;
}

} // namespace lumo::checks
