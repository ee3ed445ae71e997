// Korvedex: lists the sequence tables of .mus sources.
#include "driver.h"
#include "platform/platform.h"

int main(int argc, char** argv) {
  platform::UseBinaryStandardStreams();
  return KorvedexMain(argc, argv);
}
