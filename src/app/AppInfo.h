#pragma once

namespace app {

inline constexpr const char* kAppCaption = "PowerPoint Velmora V2.7.3";
inline constexpr const char* kPackageDialogFilter =
    "PowerPoint Files(*.pptx)|*.pptx|Office "
    "documents|*.pptx;*.pptm;*.potx;*.potm;*.ppsx;*.ppsm;*.docx;*.docm;"
    "*.dotx;*.dotm;*.xlsx;*.xlsm;*.xltx;*.xltm";
inline constexpr const char* kMakerNotice = "Copyright (C) Velmora Software. All rights reserved.";
inline constexpr const char* kMakerMail = "support@velmora.example.org";

// Ask the desktop to open the maker's web page or a new mail to the support address; whether a
// browser or mail client answers is not reported.
void OpenWebPage();
void OpenMailLink();

} // namespace app
