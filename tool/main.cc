#include "util/failure.h"

int main(int argc, char** /*argv*/) {
  if (argc != 10) tintrod::fail(tintrod::Failure::kUsage);
  return 0;
}
