// The typefaces the register's windows ask for, as this machine has them. A
// family that is not installed is drawn in its metric twin or a like face
// when one is installed, else in the application's own text font: the font
// matcher left to itself may swap an unknown family for a symbol font, and a
// key's figures then show as dingbats.
#pragma once
#include <QFont>
#include <QString>

namespace tarvo::ui {

// "Cambria" is drawn with the metric-compatible "Caladea" where it is missing,
// "Courier New" (the printout's) with a fixed-pitch typeface of the system.
void InstallFontSubstitutes();

// The installed family drawn for `family`: itself, its substitute, a like
// face, or the application font's family.
QString InstalledFamily(const QString& family);
// `family` (as InstalledFamily resolves it) at `points`, bold or not.
QFont DesignedFont(const QString& family, double points, bool bold = false);

}  // namespace tarvo::ui
