#pragma once
// The control panel as a person finds it on screen: windows named by the texts they show. Used by
// the scenario runner and the monkey test; both act through the headless driver only.

#include <string>

#include "platform/own/headless.h"

namespace screen {

// The panel's window, found by its caption; null when it is not on screen.
HWND Panel();
// A slider or its value label, by the caption of the group box around them.
HWND Slider(const std::string& group);
HWND ValueLabel(const std::string& group);
// A push button or check box, by its caption.
HWND ButtonWithCaption(const std::string& caption);
HWND Tabs();
// The tab's position in the row, or -1.
int TabIndex(const std::string& text);
// The selected tab's text; empty when none is selected.
std::string SelectedTab();

std::string Text(HWND window);
// -1000000 when the window is no slider.
int SliderPosition(HWND slider);
bool IsChecked(HWND box);

}  // namespace screen
