// A gpsd that sends one line without end for a minute: the receiver link
// reading it keeps the memory of the program under 300 MB all along, and a
// menu still opens and closes on time while the flood comes in.
#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <QElapsedTimer>
#include <QFile>
#include <QMenu>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>
#include <algorithm>
#include <atomic>
#include <cerrno>
#include <chrono>
#include <string>
#include <thread>

#include "tests/ui/qtest_main.h"
#include "ui/navigate/receiver_link.h"

namespace korvexa {
namespace {

// gpsd on a port of its own, sending 'x' at 32 MB/s to whoever connects, on
// a thread of its own: the event loop under test does not pace it.
class EndlessGpsd {
 public:
  EndlessGpsd() {
    listener_ = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t size = sizeof address;
    ::bind(listener_, reinterpret_cast<sockaddr*>(&address), size);
    ::listen(listener_, 4);
    ::getsockname(listener_, reinterpret_cast<sockaddr*>(&address), &size);
    port_ = ntohs(address.sin_port);
    thread_ = std::thread([this] { Serve(); });
  }
  ~EndlessGpsd() {
    stop_ = true;
    ::shutdown(listener_, SHUT_RDWR);  // ends the accept
    thread_.join();
    ::close(listener_);
  }
  int Port() const { return port_; }
  long long Sent() const { return sent_; }

 private:
  void Serve() {
    const std::string run(1 << 16, 'x');
    const timeval patience{0, 100'000};  // a send blocked this long looks at stop_ again
    const auto start = std::chrono::steady_clock::now();
    int client = -1;
    while (!stop_ && (client = ::accept4(listener_, nullptr, nullptr, SOCK_CLOEXEC)) >= 0) {
      ::setsockopt(client, SOL_SOCKET, SO_SNDTIMEO, &patience, sizeof patience);
      for (ssize_t sent = 0; !stop_ && (sent >= 0 || errno == EAGAIN || errno == EINTR);) {
        std::this_thread::sleep_until(start + std::chrono::microseconds(sent_ / 32));  // 32 bytes a microsecond
        sent = ::send(client, run.data(), run.size(), MSG_NOSIGNAL);
        sent_ += std::max<ssize_t>(sent, 0);
      }
      ::close(client);
    }
  }

  int listener_ = -1;
  int port_ = 0;
  std::atomic<bool> stop_ = false;
  std::atomic<long long> sent_ = 0;
  std::thread thread_;
};

long ResidentMegabytes() {
  QFile status(QStringLiteral("/proc/self/status"));
  if (!status.open(QIODevice::ReadOnly)) return -1;
  for (const QByteArray& line : status.readAll().split('\n')) {
    if (line.startsWith("VmRSS:")) return line.mid(6).trimmed().split(' ').value(0).toLong() / 1000;
  }
  return -1;
}

}  // namespace

class EndlessGpsdTest : public QObject {
  Q_OBJECT

 private Q_SLOTS:
  void aMinuteOfOneLineKeepsTheMemoryAndTheMenus();
};

void EndlessGpsdTest::aMinuteOfOneLineKeepsTheMemoryAndTheMenus() {
  EndlessGpsd gpsd;
  ReceiverLink link(ParseReceiverChoice("gpsd:127.0.0.1:" + std::to_string(gpsd.Port())));
  long most = 0;
  QTimer watch;
  connect(&watch, &QTimer::timeout, [&] { most = std::max(most, ResidentMegabytes()); });
  watch.start(100);
  link.Start();
  QMenu menu;
  menu.addAction(QStringLiteral("Centre on me"));
  QElapsedTimer asked;
  qint64 shown = -1;
  connect(&menu, &QMenu::aboutToShow, [&] {
    shown = asked.elapsed();
    QTimer::singleShot(200, &menu, &QMenu::close);
  });
  QSignalSpy hidden(&menu, &QMenu::aboutToHide);
  QElapsedTimer minute;
  minute.start();
  for (int round = 0; minute.elapsed() < 60'000; ++round) {
    shown = -1;
    asked.start();
    QTimer::singleShot(0, &menu, [&] { menu.popup(QPoint(10, 10)); });
    QVERIFY(hidden.wait(5000));
    QVERIFY2(shown >= 0 && shown < 1000,
             qPrintable(QStringLiteral("round %1: shown after %2 ms").arg(round).arg(shown)));
    QVERIFY2(asked.elapsed() < 1200,
             qPrintable(QStringLiteral("round %1: closed after %2 ms").arg(round).arg(asked.elapsed())));
    QVERIFY2(most > 0 && most < 300, qPrintable(QStringLiteral("%1 MB resident").arg(most)));
    QTest::qWait(300);
  }
  QVERIFY2(gpsd.Sent() > 600'000'000, qPrintable(QString::number(gpsd.Sent())));  // twice the bound, at least
}

}  // namespace korvexa

KORVEXA_QTEST_MAIN(korvexa::EndlessGpsdTest)
#include "endless_gpsd_test.moc"
