// The receivers the navigator reads: a serial receiver (a pseudo-terminal
// at 9600 baud stands in for it) unplugged and plugged back, gpsd (a local
// server speaking its protocol) restarting, a replayed log; the failures the
// status bar reports; the GPS receiver dialog.
#include "ui/navigate/receiver_link.h"

#include <pty.h>
#include <termios.h>
#include <unistd.h>

#include <QComboBox>
#include <QDialogButtonBox>
#include <QElapsedTimer>
#include <QFile>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <string>

#include "tests/support/golden.h"
#include "tests/ui/navigate/feed_device.h"
#include "tests/ui/qtest_main.h"
#include "ui/navigate/capped_lines.h"
#include "ui/navigate/receiver_dialog.h"

namespace korvexa {
namespace {

// The first fix of the walk log: 35 02.13988 N, 106 32.68692 W.
QByteArray FirstFix() {
  QFile file(QString::fromStdString(testing::TestData("nmea/walk.nmea").string()));
  if (!file.open(QIODevice::ReadOnly)) qFatal("cannot read the walk log");
  const QList<QByteArray> lines = file.readAll().split('\n');
  return lines[0] + '\n' + lines[1] + '\n';
}

bool IsTheFirstFix(const QList<QVariant>& signal) {
  const QGeoCoordinate at = signal.at(0).value<QGeoPositionInfo>().coordinate();
  return std::fabs(at.latitude() - (35 + 2.13988 / 60)) < 1e-9 &&
         std::fabs(at.longitude() + 106 + 32.68692 / 60) < 1e-9;
}

ReceiverLink* Link(const QString& text, QObject* parent) {
  return new ReceiverLink(ParseReceiverChoice(text.toStdString()), parent);
}

}  // namespace

class ReceiverLinkTest : public QObject {
  Q_OBJECT

 private Q_SLOTS:
  void aSerialReceiverIsReadAtTheChosenSpeed();
  void gpsdIsAskedForNmea();
  void anEndlessLineFromGpsdIsDroppedAndTheMemoryStays();
  void aFloodOfLinesIsOfferedAFewATurnNewestKept();
  void aFailureIsSaidPlainly_data();
  void aFailureIsSaidPlainly();
  void aLogIsReplayedAtItsOwnPace();
  void theDialogGivesBackWhatItShows_data();
  void theDialogGivesBackWhatItShows();
};

// The receiver is ttyUSB0 in a folder of the test: a link to a
// pseudo-terminal, gone when unplugged, to a new one when plugged back.
struct PluggedReceiver {
  QString path;
  int receiver = -1, port = -1;
  bool Plug() {
    char name[256] = {};
    return openpty(&receiver, &port, name, nullptr, nullptr) == 0 && QFile::link(QString::fromLocal8Bit(name), path);
  }
  void Unplug() {
    close(receiver);
    close(port);
    QFile::remove(path);
  }
  bool Send(const QByteArray& bytes) {
    return write(receiver, bytes.constData(), size_t(bytes.size())) == bytes.size();
  }
};

void ReceiverLinkTest::aSerialReceiverIsReadAtTheChosenSpeed() {
  QTemporaryDir folder;
  const QString device = folder.filePath(QStringLiteral("ttyUSB0"));
  PluggedReceiver receiver{device};
  QVERIFY(receiver.Plug());
  QObject owner;
  ReceiverLink* link = Link(QStringLiteral("serial:%1@9600").arg(device), &owner);
  QSignalSpy positions(link, &ReceiverLink::positionUpdated);
  QSignalSpy waits(link, &ReceiverLink::reconnecting);
  QSignalSpy reached(link, &ReceiverLink::reached);
  link->Start();
  QCOMPARE(waits.count(), 0);
  termios settings{};
  QVERIFY(tcgetattr(receiver.port, &settings) == 0);
  QCOMPARE(cfgetispeed(&settings), speed_t(B9600));
  QVERIFY(receiver.Send(FirstFix()));
  QVERIFY(positions.wait());
  QVERIFY(IsTheFirstFix(positions.first()));

  receiver.Unplug();
  QVERIFY(waits.wait());
  QCOMPARE(waits.last().at(0).toString(),
           QStringLiteral("The receiver on %1 went away; waiting for it to come back").arg(device));
  QVERIFY(receiver.Plug());
  QTRY_COMPARE_WITH_TIMEOUT(reached.count(), 2, 12000);
  QVERIFY(receiver.Send(FirstFix()));
  QVERIFY(positions.wait());
  receiver.Unplug();
}

// gpsd greets, is asked to watch with NMEA, then sends its reports and the
// receiver's sentences on the one connection; closing it is a failure.
void ReceiverLinkTest::gpsdIsAskedForNmea() {
  QTcpServer gpsd;
  QVERIFY(gpsd.listen(QHostAddress::LocalHost));
  QObject owner;
  ReceiverLink* link = Link(QStringLiteral("gpsd:127.0.0.1:%1").arg(gpsd.serverPort()), &owner);
  QSignalSpy positions(link, &ReceiverLink::positionUpdated);
  QSignalSpy failures(link, &ReceiverLink::failed);
  QSignalSpy waits(link, &ReceiverLink::reconnecting);
  QSignalSpy reached(link, &ReceiverLink::reached);
  link->Start();
  QTRY_VERIFY(gpsd.hasPendingConnections());
  QTcpSocket* client = gpsd.nextPendingConnection();
  client->write(R"({"class":"VERSION","release":"3.22","rev":"3.22","proto_major":3,"proto_minor":14})"
                "\n");
  QTRY_VERIFY(client->canReadLine());
  const QByteArray watch = client->readLine();
  QVERIFY2(watch.startsWith("?WATCH={") && watch.contains(R"("enable":true)") && watch.contains(R"("nmea":true)"),
           watch.constData());
  client->write(R"({"class":"DEVICES","devices":[{"class":"DEVICE","path":"/dev/ttyUSB0"}]})"
                "\n" +
                FirstFix() +
                R"({"class":"TPV","mode":3})"
                "\n");
  QVERIFY(positions.wait());
  QVERIFY(IsTheFirstFix(positions.first()));
  // gpsd restarts: the link comes back a second later.
  client->close();
  QVERIFY(waits.wait());
  QCOMPARE(waits.first().at(0).toString(),
           QStringLiteral("Reconnecting to gpsd on 127.0.0.1:%1 (try 2)...").arg(gpsd.serverPort()));
  QTRY_VERIFY_WITH_TIMEOUT(gpsd.hasPendingConnections(), 3000);
  QTRY_COMPARE(reached.count(), 2);
  QCOMPARE(failures.count(), 0);
}

long ResidentMegabytes() {
  QFile statm(QStringLiteral("/proc/self/statm"));
  if (!statm.open(QIODevice::ReadOnly)) return 0;
  return statm.readAll().split(' ').value(1).toLong() * sysconf(_SC_PAGESIZE) / 1'000'000;
}

// A minute of one line without end: a megabyte more whenever the last is
// sent, menus opening all along, the program's memory looked at every turn.
void ReceiverLinkTest::anEndlessLineFromGpsdIsDroppedAndTheMemoryStays() {
  QTcpServer gpsd;
  QVERIFY(gpsd.listen(QHostAddress::LocalHost));
  QObject owner;
  ReceiverLink* link = Link(QStringLiteral("gpsd:127.0.0.1:%1").arg(gpsd.serverPort()), &owner);
  QSignalSpy positions(link, &ReceiverLink::positionUpdated);
  link->Start();
  QTRY_VERIFY(gpsd.hasPendingConnections());
  QTcpSocket* client = gpsd.nextPendingConnection();
  const QByteArray run(1 << 20, 'x');
  long most = 0;
  qint64 sent = 0;
  QTimer flood;
  connect(&flood, &QTimer::timeout, [&] {
    most = std::max(most, ResidentMegabytes());
    if (client->bytesToWrite() > 0) return;
    client->write(run);
    sent += run.size();
  });
  flood.start(0);
  QMenu menu;
  menu.addAction(QStringLiteral("Centre on me"));
  QElapsedTimer minute;
  minute.start();
  while (minute.elapsed() < 60'000) {
    QElapsedTimer asked;
    asked.start();
    QTimer::singleShot(0, &menu, [&menu] { menu.popup(QPoint(10, 10)); });
    QTRY_VERIFY_WITH_TIMEOUT(menu.isVisible(), 1000);
    menu.close();
    QVERIFY2(asked.elapsed() < 1000, qPrintable(QStringLiteral("a menu took %1 ms").arg(asked.elapsed())));
    QTest::qWait(300);
  }
  flood.stop();
  QVERIFY2(sent > 600'000'000, qPrintable(QString::number(sent)));  // twice the bound at least
  QVERIFY2(most > 0 && most < 300, qPrintable(QStringLiteral("%1 MB resident").arg(most)));
  QTRY_COMPARE(client->bytesToWrite(), 0);
  client->write("\n" + FirstFix());
  QVERIFY(positions.wait());
  QVERIFY(IsTheFirstFix(positions.first()));
}

void ReceiverLinkTest::aFloodOfLinesIsOfferedAFewATurnNewestKept() {
  FeedDevice flood;
  auto* lines = new CappedLines(&flood);
  QByteArray sent;
  for (int i = 0; i < 100'000; ++i) sent += "$GPGGA," + QByteArray::number(i) + "\n";
  flood.Feed(sent);
  QVERIFY(lines->Held() <= CappedLines::kQueueLimit);
  QByteArray last;
  for (int turn = 0; turn < 2; ++turn) {
    int read = 0;
    for (; lines->canReadLine(); ++read) last = lines->readLine();
    QCOMPARE(read, CappedLines::kLinesPerTurn);
    QCoreApplication::processEvents();
  }
  while (QCoreApplication::processEvents(), lines->canReadLine()) {
    while (lines->canReadLine()) last = lines->readLine();
  }
  QCOMPARE(last, QByteArray("$GPGGA,99999\n"));
}

void ReceiverLinkTest::aFailureIsSaidPlainly_data() {
  QTest::addColumn<QString>("receiver");  // %1: a port where nothing listens
  QTest::addColumn<QString>("said");      // its start
  QTest::addColumn<bool>("again");        // tried again, or failed for good
  QTest::newRow("no such port") << QStringLiteral("serial:/dev/korvexa-no-such-port@9600")
                                << QStringLiteral("Cannot open /dev/korvexa-no-such-port: ") << true;
  QTest::newRow("gpsd refusing") << QStringLiteral("gpsd:127.0.0.1:%1")
                                 << QStringLiteral("Reconnecting to gpsd on 127.0.0.1:%1 (try 2)...") << true;
  QTest::newRow("no such log") << QStringLiteral("file:/korvexa-no-such-folder/walk.nmea")
                               << QStringLiteral("Cannot read the log /korvexa-no-such-folder/walk.nmea: ") << false;
}

void ReceiverLinkTest::aFailureIsSaidPlainly() {
  QFETCH(QString, receiver);
  QFETCH(QString, said);
  QFETCH(bool, again);
  QTcpServer closed;
  QVERIFY(closed.listen(QHostAddress::LocalHost));
  const quint16 nobody = closed.serverPort();
  closed.close();
  QObject owner;
  ReceiverLink* link = Link(receiver.contains(QStringLiteral("%1")) ? receiver.arg(nobody) : receiver, &owner);
  QSignalSpy failures(link, again ? &ReceiverLink::reconnecting : &ReceiverLink::failed);
  link->Start();
  QVERIFY(failures.count() == 1 || failures.wait());
  const QString expected = said.contains(QStringLiteral("%1")) ? said.arg(nobody) : said;
  QVERIFY2(failures.first().at(0).toString().startsWith(expected), qPrintable(failures.first().at(0).toString()));
}

// Eleven of the log's twelve fixes a tenth of a second apart (Qt's replay
// keeps the last back), in their order and at their pace.
void ReceiverLinkTest::aLogIsReplayedAtItsOwnPace() {
  QObject owner;
  ReceiverLink* link =
      Link(QStringLiteral("file:") + QString::fromStdString(testing::TestData("nmea/replay.nmea").string()), &owner);
  QList<double> latitudes;
  QElapsedTimer clock;
  qint64 first = -1, last = -1;
  connect(link, &ReceiverLink::positionUpdated, &owner, [&](const QGeoPositionInfo& info) {
    latitudes << info.coordinate().latitude();
    last = clock.elapsed();
    if (first < 0) first = last;
  });
  QSignalSpy ended(link, &ReceiverLink::logEnded);
  clock.start();
  link->Start();
  QTRY_COMPARE(latitudes.size(), 11);
  QVERIFY(std::is_sorted(latitudes.begin(), latitudes.end()));
  QVERIFY2(last - first >= 900, qPrintable(QString::number(last - first)));
  QVERIFY(ended.count() == 1 || ended.wait());
}

void ReceiverLinkTest::theDialogGivesBackWhatItShows_data() {
  QTest::addColumn<QString>("receiver");
  QTest::newRow("serial") << QStringLiteral("serial:/dev/rfcomm0@38400");
  QTest::newRow("gpsd") << QStringLiteral("gpsd:survey-pc:2948");
  QTest::newRow("log") << QStringLiteral("file:/home/crew/walk.nmea");
}

// Browse fills in a log; OK waits for a complete choice.
void ReceiverLinkTest::theDialogGivesBackWhatItShows() {
  QFETCH(QString, receiver);
  const ReceiverChoice shown = ParseReceiverChoice(receiver.toStdString());
  ReceiverDialog dialog(shown, {QStringLiteral("/dev/ttyUSB0")},
                        [](QWidget*) { return std::optional<QString>(QStringLiteral("/tmp/chosen.nmea")); });
  QVERIFY(dialog.choice() == shown);
  QPushButton* ok = dialog.buttons->button(QDialogButtonBox::Ok);
  QVERIFY(ok->isEnabled());
  dialog.serial->setChecked(true);
  dialog.serialPort->setEditText(QString());
  QVERIFY(!ok->isEnabled());
  dialog.findChild<QPushButton*>(QStringLiteral("browse"))->click();
  QVERIFY(dialog.log->isChecked() && ok->isEnabled());
  QVERIFY(dialog.choice().log == "/tmp/chosen.nmea");
}

}  // namespace korvexa

KORVEXA_QTEST_MAIN(korvexa::ReceiverLinkTest)
#include "receiver_link_test.moc"
