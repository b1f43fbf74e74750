// The program: the application object, the main window, the message loop.
#include "app/ZIriD.h"
#include "platform/ui/Application.h"

int main(int argc, char** argv) {
  ui::TApplication application(argc, argv);
  application.CreateForm(ZedUdezuv);
  const int code = application.Run();
  delete ZedUdezuv;
  return code;
}
