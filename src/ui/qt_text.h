// The one place where the core's windows-1252 text meets Qt's Unicode.
#pragma once
#include <QString>
#include <string>
#include <string_view>

namespace tarvo::ui {

QString FromCore(std::string_view cp1252);
std::string ToCore(const QString& text);

}  // namespace tarvo::ui
