#pragma once
// The main window as it is built, before start-up replaces its size and
// position: the numbers both front-ends lay their widgets out with, in pixels
// at 96 pixels per inch. Texts are in app/form_texts.h.

#include <array>

#include "app/controls.h"

namespace proclens::layout {

inline constexpr int kDesignLeft = 257;    // outer place and size; start-up replaces them
inline constexpr int kDesignTop = 122;
inline constexpr int kDesignWidth = 800;
inline constexpr int kDesignHeight = 600;

// From top to bottom: the panel, the list (the rest), the splitter, the
// browser pane and the status bar. A change of window height goes to the list.
inline constexpr int kTopPanelHeight = 40;
inline constexpr int kSplitterHeight = 4;
inline constexpr int kWebBrowserHeight = 360;
inline constexpr int kStatusBarHeight = 19;

// On the panel: the logo and the headline at the left, the three view-style
// buttons at the right (FormResize places them).
inline constexpr int kImage1Left = 7, kImage1Top = 7, kImage1Size = 32;
inline constexpr int kTopLabelLeft = 52, kTopLabelTop = 7;
inline constexpr int kTopLabelWidth = 358, kTopLabelHeight = 26;  // until it fits its text
inline constexpr int kSpeedButtonTop = 7, kSpeedButtonHeight = 26;
inline constexpr int kLargeSpeedButtonWidth = 28;
inline constexpr int kSmallSpeedButtonWidth = 29;
inline constexpr int kReportSpeedButtonWidth = 28;
inline constexpr int kSpeedButtonGlyphWidth = 23, kSpeedButtonGlyphHeight = 19;

// The list starts in report view with ReportSpeedButton down.
inline constexpr ViewStyle kInitialViewStyle = ViewStyle::Report;

struct ColumnDesign {
  int width;
  ColumnAlignment alignment;
};
// File name, full path (FormResize gives it the width left over), size text;
// the size is right-aligned so that the sizes line up.
inline constexpr std::array<ColumnDesign, 3> kColumns = {{{122, ColumnAlignment::Left},
                                                          {284, ColumnAlignment::Left},
                                                          {122, ColumnAlignment::Right}}};

inline constexpr int kLargeImageSize = 32;  // LargeImageList
inline constexpr int kSmallImageSize = 16;  // SmallImageList

}  // namespace proclens::layout
