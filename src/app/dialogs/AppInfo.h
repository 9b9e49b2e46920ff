#pragma once

#include "Version.h"

#include <QString>

namespace app {

inline constexpr const char* kAppCaption = "PowerPoint Velmora V" VELMORA_VERSION;
// What --version prints.
inline constexpr const char* kVersionLine = "velmora " VELMORA_VERSION;
inline constexpr const char* kPackageDialogFilter =
    "PowerPoint Files(*.pptx)|*.pptx|Office "
    "documents|*.pptx;*.pptm;*.potx;*.potm;*.ppsx;*.ppsm;*.docx;*.docm;"
    "*.dotx;*.dotm;*.xlsx;*.xlsm;*.xltx;*.xltm";
inline constexpr const char* kMakerNotice =
    "Copyright (C) 2026 Velmora Software. MIT licence: free to use, copy, change and share; "
    "no warranty.";
inline constexpr const char* kMakerMail = "support@velmora.example.org";

// The maker's web address, as the About box and Help show it.
QString MakerAddress();

// Ask the desktop to open the maker's web page or a new mail to the support address; false when
// no browser or mail client took it.
bool OpenWebPage();
bool OpenMailLink();

} // namespace app
