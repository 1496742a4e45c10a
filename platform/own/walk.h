#pragma once
// The one walk of a top-level window's controls that both front ends draw with, as a renderer
// walks its widgets once for all of its backends: each front end implements the Painter (in
// pixels, in cells), and the walk decides what is drawn, as what, and in which order.

#include "platform/own/headless.h"

namespace headless {

class Painter {
  public:
    virtual ~Painter();
    // The top-level window itself: its frame, caption and face.
    virtual void Frame(const WindowInfo& top) = 0;
    virtual void GroupBox(const WindowInfo& control) = 0;
    virtual void PushButton(const WindowInfo& control) = 0;
    virtual void CheckBox(const WindowInfo& control) = 0;
    virtual void Slider(const WindowInfo& control) = 0;
    virtual void Tabs(const WindowInfo& control) = 0;
    virtual void Static(const WindowInfo& control) = 0;
};

// The frame, then the controls back to front, each before its own children. Among siblings, tab
// controls and group boxes come first, since the controls that lie on them show over them whatever
// their z-order.
void Paint(const TopLevel& top, Painter* painter);

}  // namespace headless
