// For the startup benchmark: with TAGWRIGHT_REPORT_SHOWN=1 in the environment, the program
// prints one line "shown <CLOCK_MONOTONIC ns> <VmHWM KiB> <process CPU time ns>" once its
// window has first been painted on screen, and then closes the window. Without the
// variable it does nothing.
#pragma once

class QWidget;

void reportFirstShowIfAsked(QWidget *window);
