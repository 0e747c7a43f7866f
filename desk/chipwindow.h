// The chip window class: painting, clicks, dragging, the menu, DPI changes.
#pragma once

bool RegisterChipClass();
