// For the startup benchmark: a program that calls this prints one line
// "shown <CLOCK_MONOTONIC ns> <VmHWM KiB> <process CPU time ns>" once its window has first
// been painted on screen, and then closes the window.
#pragma once

class QWidget;

void reportFirstShow(QWidget *window);
