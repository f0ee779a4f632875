// demo-ctl: plays the world outside the demo. "demo-ctl plug-in" plugs a USB stick into the
// running spindlebay-demo, "demo-ctl pull-out" pulls it out again.
#include <windows.h>

#include <cstdio>
#include <cstring>

int main(int argc, char** argv) {
  UINT message = 0;
  if (argc == 2 && std::strcmp(argv[1], "plug-in") == 0) message = WM_APP + 1;
  if (argc == 2 && std::strcmp(argv[1], "pull-out") == 0) message = WM_APP + 2;
  if (message == 0) {
    std::fprintf(stderr, "usage: demo-ctl plug-in|pull-out\n");
    return 2;
  }
  HWND driver = ::FindWindowW(L"SpindlebayDemoDriver", nullptr);
  if (driver == nullptr) {
    std::fprintf(stderr, "demo-ctl: spindlebay-demo is not running\n");
    return 1;
  }
  return ::PostMessageW(driver, message, 0, 0) ? 0 : 1;
}
