#pragma once
// The whole toolkit-neutral application model in one include.

#include "platform/appkit/NSApplication.h"
#include "platform/appkit/NSButton.h"
#include "platform/appkit/NSMainInterface.h"
#include "platform/appkit/NSMenu.h"
#include "platform/appkit/NSMenuItem.h"
#include "platform/appkit/NSSegmentedCell.h"
#include "platform/appkit/NSSlider.h"
#include "platform/appkit/NSStatusBar.h"
#include "platform/appkit/NSStatusItem.h"
#include "platform/appkit/NSTextField.h"
#include "platform/appkit/NSWindow.h"
