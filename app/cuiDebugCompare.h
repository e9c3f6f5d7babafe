#pragma once
// The debug compare window: every byte of the working image that differs from the
// comparison image, "%04X : %02X -> %02X" per line; the comparison image then takes a copy
// of the working image, so the next look shows only newer changes.

class QWidget;
class cuiMain;

namespace cuiDebugCompare {
void show(cuiMain& shell, QWidget* parent);
}
