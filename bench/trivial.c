/* A Win32 program that starts and ends: what any start under Wine costs.
   Built a second time with READ_CTRL_KEY, it reads the Ctrl key first, as
   every run of the program must; that loads user32, whose start under Wine
   is most of what a run costs beyond this floor. */
#include <windows.h>

int WINAPI WinMain(HINSTANCE instance, HINSTANCE previous, LPSTR command_line, int show) {
  (void)instance;
  (void)previous;
  (void)command_line;
  (void)show;
#ifdef READ_CTRL_KEY
  return GetKeyState(VK_CONTROL) < 0 ? 1 : 0;
#else
  return 0;
#endif
}
