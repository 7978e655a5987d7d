#include "ui/key_colours.h"

#include <cmath>

namespace tarvo::ui {

namespace {

double Linear(double channel) {
    const double c = channel / 255.0;
    return c <= 0.03928 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
}

double Luminance(const QColor& c) {
    return 0.2126 * Linear(c.red()) + 0.7152 * Linear(c.green()) + 0.0722 * Linear(c.blue());
}

QColor Mix(const QColor& a, const QColor& b, double towardsB) {
    auto ch = [&](int x, int y) { return static_cast<int>(std::lround(x + (y - x) * towardsB)); };
    return QColor(ch(a.red(), b.red()), ch(a.green(), b.green()), ch(a.blue(), b.blue()));
}

QColor BestOfBlackAndWhite(const QColor& back) {
    const QColor black(0, 0, 0), white(255, 255, 255);
    return ContrastRatio(black, back) >= ContrastRatio(white, back) ? black : white;
}

// The grey a disabled key's face is drawn towards, and how far.
const QColor kDisabledGrey(200, 200, 200);
constexpr double kFaceWash = 0.6;
constexpr double kCaptionFade = 0.45;

}  // namespace

double ContrastRatio(const QColor& a, const QColor& b) {
    double la = Luminance(a), lb = Luminance(b);
    if (la < lb) std::swap(la, lb);
    return (la + 0.05) / (lb + 0.05);
}

KeyColours KeyColoursFor(const QColor& back, const QColor& text, bool enabled) {
    if (enabled) return {back, ContrastRatio(text, back) >= kReadableContrast ? text : BestOfBlackAndWhite(back)};
    const QColor face = Mix(back, kDisabledGrey, kFaceWash);
    return {face, Mix(BestOfBlackAndWhite(face), face, kCaptionFade)};
}

}  // namespace tarvo::ui
