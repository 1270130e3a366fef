// The program itself with the first-paint probe: it reports when its window is first on
// screen and then closes it. The startup benchmark measures it; the tests run it once.
#include "bench/shown_report.h"
#include "qt/program.h"

int main(int argc, char *argv[])
{
    return runProgram(argc, argv, reportFirstShow);
}
