// Texts that fit their controls. Every control of the register window has a
// designed font; a text that does not fit its control at that size is drawn
// smaller, down to kSmallestFitPoints (the designed size is the largest).
// Keys and labels wrap between words first.
#pragma once
#include <QFont>
#include <QPoint>
#include <QRect>
#include <QSize>
#include <QString>
#include <optional>

class QPushButton;
class QWidget;

namespace tarvo::ui {

constexpr double kSmallestFitPoints = 6;

// A key's caption as drawn: trailing blanks of each line and empty lines at
// either end left out ("Cash\n" is drawn as "Cash", centred).
QString ShownCaption(const QString& caption);

// Where a key draws its caption.
QRect KeyCaptionRect(const QPushButton* key);

// The room a control draws its text in.
struct TextRoom {
    QRect rect;
    bool wraps = false;    // between words, into more lines
    bool scrolls = false;  // a multi-line box: only its width counts
};
// Null for a control that shows no text (a line, a plain widget).
std::optional<TextRoom> TextRoomOf(const QWidget* control);
// The text a control shows (a key's caption as drawn, a box's text).
QString TextOf(const QWidget* control);

bool TextFits(const QFont& font, const QString& text, const TextRoom& room);
// `designed`, or the largest smaller size (in half points) at which `text`
// fits, at least kSmallestFitPoints.
QFont FittingFont(const QFont& designed, const QString& text, const TextRoom& room);

// A form drawn at its designed size and shown at any size: its controls at
// their designed places times the scale of the window against the design,
// the whole centred.
struct DesignScale {
    double scale = 1;
    QPoint offset;  // of the design's top left corner in the window
    DesignScale(QSize window, int designWidth, int designHeight);
    // A designed rectangle at this scale (not yet moved by the offset).
    QRect Place(const QRect& designed) const;
};
// `control` in `designed` font, scaled, and made smaller where its text
// would not fit its room.
void FitScaled(QWidget* control, const QFont& designed, double scale);

}  // namespace tarvo::ui
