// terrak-mapgen: writes demo OCAD maps from an analytic terrain.
#include <cstdio>

int main() {
  std::fputs("terrak-mapgen: not yet able to write maps\n", stderr);
  return 2;
}
