#pragma once

// What the Wheels window's tabs show alike.

#include <cstdint>
#include <filesystem>
#include <string>

#include <QString>

#include "checking/NumberPatterns.h"
#include "windowing/window/BusyCursor.h"

namespace bm::app::wheelswindow {

inline const QString kTextFiles = QStringLiteral("Text Files (*.txt)");

inline QString Grouped(std::int64_t n)
{
    return QString::fromStdString(FormatWhole(n, Pattern::Grouped, UiSeparators()));
}

// "1 play", "163 plays".
inline QString Count(std::int64_t n, const char* one, const char* many)
{
    return Grouped(n) + QLatin1Char(' ') + QLatin1String(n == 1 ? one : many);
}

inline std::string FileName(const std::filesystem::path& file)
{
    return file.filename().string();
}

}  // namespace bm::app::wheelswindow
