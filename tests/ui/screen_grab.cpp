// screen_grab: saves a rectangle of the X screen as a PNG file, for the smoke
// test of the real program (which knows nothing of it).
// usage: screen_grab OUTPUT.png X Y WIDTH HEIGHT
#include <QGuiApplication>
#include <QPixmap>
#include <QScreen>
#include <cstdio>

int main(int argc, char** argv) {
  QGuiApplication app(argc, argv);
  const QStringList args = QGuiApplication::arguments();
  if (args.size() != 6) {
    std::fputs("usage: screen_grab OUTPUT.png X Y WIDTH HEIGHT\n", stderr);
    return 2;
  }
  const QPixmap shot = QGuiApplication::primaryScreen()->grabWindow(0, args[2].toInt(), args[3].toInt(),
                                                                    args[4].toInt(), args[5].toInt());
  if (shot.isNull() || !shot.save(args[1], "PNG")) {
    std::fprintf(stderr, "error: cannot save the screen to %s\n", qPrintable(args[1]));
    return 1;
  }
  return 0;
}
