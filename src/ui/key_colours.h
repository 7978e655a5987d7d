// Colours a key is drawn in. The register gives every key a back colour from
// the store's settings (and may give it a text colour); the caption is drawn
// in a colour that reads on that back colour, and a disabled key is washed
// out so that it tells itself from an enabled one at a glance.
#pragma once
#include <QColor>

namespace tarvo::ui {

// The contrast ratio of two colours, 1 (the same) to 21 (black on white).
double ContrastRatio(const QColor& a, const QColor& b);

struct KeyColours {
    QColor back;     // the key's face
    QColor caption;  // its text
};

// Enabled: the register's back colour, and its text colour when that reads
// on it (contrast of at least kReadableContrast), else black or white,
// whichever reads better. Disabled: the face mixed towards grey and the
// caption faded towards the face, still legible.
constexpr double kReadableContrast = 4.5;
KeyColours KeyColoursFor(const QColor& back, const QColor& text, bool enabled);

}  // namespace tarvo::ui
