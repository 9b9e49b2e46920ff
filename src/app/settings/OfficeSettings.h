#pragma once

#include <QStringList>

#include <string>

// The Options settings for other package kinds and for custom properties, remembered between runs with the
// rest of the program's settings.
namespace app {

// The extensions Add Folder and dropped folders take; {"pptx"} until the user chooses others.
[[nodiscard]] QStringList FileTypesSetting();
void SetFileTypesSetting(const QStringList& extensions);
// The setting as the extension list of a folder scan ("*.pptx;*.potx;").
[[nodiscard]] std::string ScanExtensionListSetting();

// Whether the grid shows the custom properties (and the exports include them); off by default.
[[nodiscard]] bool ShowCustomPropertiesSetting();
void SetShowCustomPropertiesSetting(bool shown);

} // namespace app
