// The program's start: the one window over the reader library, and the event loop.
#pragma once

class QWidget;

// Runs the program to its end and returns its exit code. beforeShow, when given, sees the
// window once it is built, before it is first shown.
int runProgram(int argc, char *argv[], void (*beforeShow)(QWidget *window) = nullptr);
