#include "ui/qt_text.h"

#include "common/cp1252.h"

namespace tarvo::ui {

QString FromCore(std::string_view cp1252) { return QString::fromStdString(Cp1252ToUtf8(cp1252)); }

std::string ToCore(const QString& text) { return Utf8ToCp1252(text.toStdString()); }

}  // namespace tarvo::ui
