#include "ui/fonts.h"

#include <QApplication>
#include <QFontDatabase>
#include <QHash>
#include <QStringList>

namespace tarvo::ui {

namespace {

// Faces like the designed ones, in the order they are tried.
const QHash<QString, QStringList>& LikeFaces() {
    static const QHash<QString, QStringList> faces = {
        {"cambria", {"Caladea", "DejaVu Serif", "Nimbus Roman"}},
        {"courier new", {"Liberation Mono", "DejaVu Sans Mono", "Nimbus Mono PS"}},
        {"arial", {"Liberation Sans", "Arimo", "Nimbus Sans", "DejaVu Sans"}},
        // A heavy condensed sans.
        {"impact", {"Nimbus Sans Narrow", "Liberation Sans Narrow", "DejaVu Sans Condensed", "DejaVu Sans"}},
    };
    return faces;
}

// The installed family of that name, whatever its case; empty when none.
QString Find(const QString& family) {
    for (const QString& f : QFontDatabase::families())
        if (f.compare(family, Qt::CaseInsensitive) == 0) return f;
    return {};
}

}  // namespace

void InstallFontSubstitutes() {
    static const bool done = [] {
        QFont::insertSubstitution("Cambria", "Caladea");
        QFont::insertSubstitutions("Courier New", {"Liberation Mono", "DejaVu Sans Mono", "Nimbus Mono PS"});
        return true;
    }();
    (void)done;
}

QString InstalledFamily(const QString& family) {
    if (QString f = Find(family); !f.isEmpty()) return f;
    QStringList tried = QFont::substitutes(family);
    tried += LikeFaces().value(family.toLower());
    for (const QString& like : tried)
        if (QString f = Find(like); !f.isEmpty()) return f;
    return QApplication::font().family();
}

QFont DesignedFont(const QString& family, double points, bool bold) {
    QFont f(InstalledFamily(family));
    f.setPointSizeF(points);
    f.setBold(bold);
    return f;
}

}  // namespace tarvo::ui
