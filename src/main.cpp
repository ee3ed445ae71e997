// Korvedex: lists the sequence tables of .mus sources.
#include "driver.h"

int main(int argc, char** argv) { return KorvedexMain(argc, argv); }
